#include "app/field_rules.h"

#include "bemt/Common.h"

namespace field_rules {

double tipSpeedRatio(double rpm, double radius, double windVelocity) {
    return bemt::Common::rpm2rads(rpm) * radius / windVelocity;
}

double windVelocity(double rpm, double radius, double tipSpeedRatio) {
    return bemt::Common::rpm2rads(rpm) * radius / tipSpeedRatio;
}

double remapPosition(double x, double from, double to) { return (x - from) * (1.0 - to) / (1.0 - from) + to; }

}  // namespace field_rules
