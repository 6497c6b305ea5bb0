#include "bemt/ViternaExtension.h"

#include <algorithm>
#include <cmath>

#include "bemt/Common.h"

namespace bemt {

namespace {
constexpr double kMaxAspectRatio = 50.0;
}

ViternaExtension::ViternaExtension(End upper, double cdMax, double cd180) : m_cdMax(cdMax), m_cd180(cd180) {
    const double a = Common::deg2rad(upper.alphaDeg);
    const double s = std::sin(a);
    const double c = std::cos(a);
    m_kl = (upper.cl - cdMax * s * c) * s / (c * c);
    m_kd = (upper.cd - cdMax * s * s) / c;
}

ViternaExtension ViternaExtension::lowerSide(End lower, double cdMax, double cd180) {
    return ViternaExtension({-lower.alphaDeg, -lower.cl, lower.cd}, cdMax, cd180);
}

double ViternaExtension::cl(double alphaDeg) const {
    const double a = Common::deg2rad(alphaDeg);
    const double s = std::sin(a);
    const double c = std::cos(a);
    const double plate = 0.5 * m_cdMax * std::sin(2.0 * a);
    if (alphaDeg >= 90.0) return plate;
    return plate + m_kl * c * c / s;
}

double ViternaExtension::cd(double alphaDeg) const {
    const double a = Common::deg2rad(alphaDeg);
    const double s = std::sin(a);
    const double c = std::cos(a);
    if (alphaDeg >= 90.0) return m_cdMax * s * s + m_cd180 * c * c;
    return m_cdMax * s * s + m_kd * c;
}

double ViternaExtension::defaultCdMax(double aspectRatio) {
    return 1.11 + 0.018 * std::min(aspectRatio, kMaxAspectRatio);
}

bool ViternaExtension::canMatch(double alphaDeg) { return alphaDeg > 0.0 && alphaDeg < 90.0; }

}  // namespace bemt
