#include "app/field_rules.h"

#include <limits>

#include "app/compute_rules.h"
#include "bemt/Common.h"
#include "bemt/SweepRange.h"

namespace field_rules {

double tipSpeedRatio(double rpm, double radius, double windVelocity) {
    return bemt::Common::rpm2rads(rpm) * radius / windVelocity;
}

double windVelocity(double rpm, double radius, double tipSpeedRatio) {
    return bemt::Common::rpm2rads(rpm) * radius / tipSpeedRatio;
}

double stepCount(double min, double max, double step) {
    // Counted as the computations count them, so the field shows what will be computed.
    const auto steps = compute_rules::rangeSteps(min, max, step);
    return steps ? static_cast<double>(*steps) : std::numeric_limits<double>::quiet_NaN();
}

double stepSize(double min, double max, double steps) {
    return bemt::SweepRange::stepFor(min, max, steps).value_or(std::numeric_limits<double>::quiet_NaN());
}

double remapPosition(double x, double from, double to) { return (x - from) * (1.0 - to) / (1.0 - from) + to; }

}  // namespace field_rules
