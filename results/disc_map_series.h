#pragma once
// The angle of attack and normal force of every blade element at every azimuth sector of
// an operating point, as the chart "over the rotor disc" draws them: two numbers per
// element and sector, taken out of the core's per-sector solutions so that a window
// holds no more than it shows.

#include <string>
#include <vector>

#include "bemt/Records.h"

namespace result_series {

enum class DiscQuantity { AngleOfAttack, NormalForce };

struct DiscMap {
    std::vector<double> azimuth;             // degrees, one per sector
    std::vector<double> x;                   // x/R of the elements
    std::vector<std::vector<double>> alpha;  // [sector][element], degrees
    std::vector<std::vector<double>> Np;     // [sector][element], N/m

    bool empty() const { return azimuth.empty(); }
    const std::vector<std::vector<double>>& values(DiscQuantity q) const {
        return q == DiscQuantity::AngleOfAttack ? alpha : Np;
    }
};

// The quantity at every sector and element; fromMean: less the element's mean over the
// sectors (of its finite values), so that the variation around the revolution shows where
// the values along the blade span far more (the angle of attack of a cylinder root).
std::vector<std::vector<double>> discValues(const DiscMap& map, DiscQuantity quantity, bool fromMean);

// One map per point, in their order; a point computed in one sector gets an empty map.
// The points' sectors are released.
std::vector<DiscMap> takeDiscMaps(std::vector<bemt::pitchControlledOperatingPoint>& points);

// The values as CSV text (UTF-8), one row per element and sector: azimuth, x/R and the
// quantity (or its change from the mean), with ten significant digits as the other exports.
std::string discMapCsv(const DiscMap& map, DiscQuantity quantity, bool fromMean);

}  // namespace result_series
