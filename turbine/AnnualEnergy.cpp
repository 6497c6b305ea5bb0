#include "turbine/AnnualEnergy.h"

#include <algorithm>
#include <cmath>

#include "bemt/Error.h"

namespace bemt {

double AnnualEnergy::weibullCdf(double v, double k, double A) {
    if (!(v > 0.0)) return 0.0;
    return 1.0 - std::exp(-std::pow(v / A, k));
}

AnnualEnergy AnnualEnergy::compute(const std::vector<double>& windSpeeds, const std::vector<double>& power,
                                   double windStep, const WindClimate& climate, double availability,
                                   double ratedPower) {
    if (windSpeeds.size() != power.size()) throw bemt::Error("The annual energy needs one power value per wind speed.");
    AnnualEnergy result;
    double meanPower = 0.0;
    const double half = 0.5 * windStep;
    for (std::size_t i = 0; i < windSpeeds.size(); ++i) {
        const double v = windSpeeds[i];
        const double probability = weibullCdf(v + half, climate.k, climate.A) - weibullCdf(v - half, climate.k, climate.A);
        if (power[i] > ratedPower) ++result.binsAtRated;
        meanPower += std::min(power[i], ratedPower) * probability;
    }
    result.climate = climate;
    result.energy = kHoursPerYear * availability * meanPower;
    result.capacityFactor = result.energy / (kHoursPerYear * ratedPower);
    return result;
}

std::vector<AnnualEnergy> AnnualEnergy::ofCurve(const PowerCurve& curve, const TurbineSettings& settings) {
    std::vector<double> v, p;
    for (const PowerCurvePoint& point : curve.points) {
        v.push_back(point.V0);
        p.push_back(point.P);
    }
    std::vector<AnnualEnergy> energies;
    for (const WindClimate& climate : settings.wind_climates)
        energies.push_back(compute(v, p, settings.wind_step, climate, settings.availability, settings.rated_power));
    return energies;
}

}  // namespace bemt
