#include "app/field_rules.h"

#include <limits>

#include "app/compute_rules.h"
#include "bemt/Common.h"

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

double stepSize(double min, double max, double steps) { return (max - min) / (steps - 1.0); }

void guardZeroSpeeds(bemt::OperatingConditions& c) {
    constexpr double kTiny = 1e-6;
    if (c.V0 == 0.0) {
        c.V0 = kTiny;
        c.TSR = c.Om * c.R / kTiny;
    }
    if (c.TSR == 0.0) {
        c.TSR = kTiny;
        c.V0 = c.Om * c.R / kTiny;
    }
    // Standing still (no rotation) the second rule gives the wind velocity 0 again.
    if (c.V0 == 0.0) c.V0 = kTiny;
}

double remapPosition(double x, double x0, double h) { return (x - x0) * (1.0 - h) / (1.0 - x0) + h; }

}  // namespace field_rules
