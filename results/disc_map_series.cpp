#include "results/disc_map_series.h"

#include <cmath>

#include "bemt/Common.h"
#include "bemt/NumberText.h"

namespace result_series {

namespace {

DiscMap discMap(const bemt::OperatingPoint& op) {
    DiscMap map;
    if (op.sectors.size() < 2) return map;
    for (const bemt::SectorElement& e : op.sectors.front().elements) map.x.push_back(e.solution.r / op.conditions.R);
    for (const bemt::RotorSector& sector : op.sectors) {
        map.azimuth.push_back(bemt::Common::rad2deg(sector.azimuth));
        std::vector<double> alpha, normal;
        alpha.reserve(sector.elements.size());
        normal.reserve(sector.elements.size());
        for (const bemt::SectorElement& e : sector.elements) {
            alpha.push_back(bemt::Common::rad2deg(e.solution.alpha));
            normal.push_back(e.Np);
        }
        map.alpha.push_back(std::move(alpha));
        map.Np.push_back(std::move(normal));
    }
    return map;
}

}  // namespace

std::vector<DiscMap> takeDiscMaps(std::vector<bemt::pitchControlledOperatingPoint>& points) {
    std::vector<DiscMap> maps;
    maps.reserve(points.size());
    for (auto& point : points) {
        maps.push_back(discMap(point.op));
        std::vector<bemt::RotorSector>().swap(point.op.sectors);
    }
    return maps;
}

std::vector<std::vector<double>> discValues(const DiscMap& map, DiscQuantity quantity, bool fromMean) {
    std::vector<std::vector<double>> values = map.values(quantity);
    if (!fromMean) return values;
    for (std::size_t i = 0; i < map.x.size(); ++i) {
        double sum = 0.0;
        int count = 0;
        for (const auto& sector : values)
            if (std::isfinite(sector[i])) {
                sum += sector[i];
                ++count;
            }
        const double mean = count > 0 ? sum / count : 0.0;
        for (auto& sector : values) sector[i] -= mean;
    }
    return values;
}

std::string discMapCsv(const DiscMap& map, DiscQuantity quantity, bool fromMean) {
    const auto number = [](double v) { return bemt::NumberText::formatted("%.10g", v); };
    const bool alpha = quantity == DiscQuantity::AngleOfAttack;
    std::string text = "Azimuth ψ [°],x/R [-],";
    if (fromMean)
        text += alpha ? "Angle of attack less its azimuth mean Δα [°]\n" : "Normal force less its azimuth mean ΔNp [N/m]\n";
    else
        text += alpha ? "Angle of attack α [°]\n" : "Normal force Np [N/m]\n";
    const auto values = discValues(map, quantity, fromMean);
    for (std::size_t k = 0; k < map.azimuth.size(); ++k)
        for (std::size_t i = 0; i < map.x.size(); ++i)
            text += number(map.azimuth[k]) + "," + number(map.x[i]) + "," + number(values[k][i]) + "\n";
    return text;
}

}  // namespace result_series
