#include "bemt/SectorModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/ProfileParams.h"

namespace bemt {

namespace {

constexpr double kPi = std::numbers::pi;
// Pitt and Peters' factor of the first harmonic of the induction over a skewed disc.
constexpr double kPittPeters = 15.0 * kPi / 32.0;
// The wake skews further than the inflow by this share of the axial induction.
constexpr double kWakeSkewPerInduction = 0.6;

}  // namespace

SectorModel::SectorModel(const InputDataSet& data)
    : m_plain(Rotor::isPlain(data.rotor, data.prebendPoints)),
      m_sectors(m_plain ? 1 : data.rotor.sectorCount()),
      m_cosYaw(std::cos(Common::deg2rad(data.rotor.yaw))),
      m_sinYaw(std::sin(Common::deg2rad(data.rotor.yaw))),
      m_cosTilt(std::cos(Common::deg2rad(data.rotor.tilt))),
      m_sinTilt(std::sin(Common::deg2rad(data.rotor.tilt))),
      m_hubHeight(data.rotor.hub_height),
      m_shear(data.rotor.shear_exponent),
      m_R(data.conditions.R) {
    const OperatingConditions& c = data.conditions;
    const int n = std::max(data.settings.n_elements, 0);
    const double precone = Common::deg2rad(data.rotor.precone);
    const double cosP = std::cos(precone);
    const double sinP = std::sin(precone);
    const PrebendCurve prebend(data.prebendPoints);
    m_sweptRadius = m_plain ? c.R : c.R * cosP + prebend(1.0) * sinP;

    // The plain rotor is computed without the shape.
    const double dx = n > 0 ? (1.0 - c.Rh / c.R) / n : 0.0;
    const double dr = dx * c.R;
    m_shape.reserve(static_cast<std::size_t>(m_plain ? 0 : n));
    for (int i = 0; i < n && !m_plain; ++i) {
        const double x = Common::i2x_rel(i, n, c);
        ElementShape e;
        e.r = x * c.R;
        const double p = prebend(x);
        const double dp = prebend(x + 0.5 * dx) - prebend(x - 0.5 * dx);
        const double cone = precone - std::atan2(dp, dr);
        e.z = e.r * cosP + p * sinP;
        e.x = -e.r * sinP + p * cosP;
        e.cosCone = std::cos(cone);
        e.sinCone = std::sin(cone);
        e.ds = std::hypot(dr, dp);
        m_shape.push_back(e);
    }

    // The inflow's skew from the shaft axis, and the azimuth where the wind's in-plane
    // part, V (cos y sin t cos psi + sin y sin psi), points out along the blade: that
    // blade lies furthest downwind.
    m_chi0 = std::acos(std::clamp(m_cosYaw * m_cosTilt, -1.0, 1.0));
    m_psiDownwind = std::atan2(m_sinYaw, m_cosYaw * m_sinTilt);
    m_skew = data.rotor.skew == SkewCorrection::PittPeters && m_chi0 > 0.0;
}

double SectorModel::azimuth(int k) const { return 2.0 * kPi * k / m_sectors; }

ElementInflow SectorModel::inflow(int i, double psi, double U, double Om) const {
    const ElementShape& e = shape(i);
    const double cosPsi = std::cos(psi);
    const double sinPsi = std::sin(psi);
    ElementInflow in;
    in.h = e.z * cosPsi * m_cosTilt - e.x * m_sinTilt;
    // Above a hub height that lies above the tip, 1 + h/H stays positive; the clamp only
    // guards a prebend reaching below the ground.
    const double V = m_shear != 0.0 ? U * std::pow(std::max(0.0, 1.0 + in.h / m_hubHeight), m_shear) : U;
    in.Vx = V * (m_cosYaw * m_cosTilt * e.cosCone + (m_cosYaw * m_sinTilt * cosPsi + m_sinYaw * sinPsi) * e.sinCone);
    in.Vy = V * (m_cosYaw * m_sinTilt * sinPsi - m_sinYaw * cosPsi) + Om * e.z;
    return in;
}

OperatingConditions SectorModel::localConditions(const OperatingConditions& rotor, const ElementInflow& inflow,
                                                 double r) {
    OperatingConditions local = rotor;
    local.V0 = inflow.Vx;
    local.Om = inflow.Vy / r;
    local.TSR = inflow.Vy * rotor.R / (r * inflow.Vx);
    return local;
}

Solution SectorModel::withoutInduction(const BladeElement& element, const ElementInflow& inflow) {
    Solution s;
    s.r = element.r;
    s.c = element.c;
    s.theta = element.theta;
    s.profile = element.profile;
    s.phi = std::atan2(inflow.Vx, inflow.Vy);
    s.alpha = s.phi - element.theta;
    const LiftDrag coefficients = element.profile->coefficients(s.alpha);
    s.cl = coefficients.cl;
    s.cd = coefficients.cd;
    s.extrapolated = element.profile->outOfRange(s.alpha);
    return s;
}

double SectorModel::skewedInduction(double a, double x, double psi) const {
    if (!m_skew) return a;
    const double chi = (1.0 + kWakeSkewPerInduction * a) * m_chi0;
    const double tanHalf = chi > kPi / 2.0 ? 1.0 : std::tan(0.5 * chi);
    return a * (1.0 + kPittPeters * x * tanHalf * std::cos(psi - m_psiDownwind));
}

void SectorModel::skew(Solution& s, int i, double psi, const ElementInflow& inflow, ProfileParams& polar) const {
    if (!m_skew) return;
    s.a = skewedInduction(s.a, shape(i).r / m_R, psi);
    s.phi = std::atan2(inflow.Vx * (1.0 - s.a), inflow.Vy * (1.0 + s.a_));
    s.alpha = s.phi - s.theta;
    const LiftDrag coefficients = polar.coefficients(s.alpha);
    s.cl = coefficients.cl;
    s.cd = coefficients.cd;
    s.extrapolated = polar.outOfRange(s.alpha);
}

SectorElement SectorModel::loads(int i, const Solution& s, const ElementInflow& inflow,
                                 const OperatingConditions& rotor) const {
    const ElementShape& e = shape(i);
    SectorElement out;
    out.solution = s;
    out.Vx = inflow.Vx;
    out.Vy = inflow.Vy;
    const double axial = inflow.Vx * (1.0 - s.a);
    const double tangential = inflow.Vy * (1.0 + s.a_);
    const double q = 0.5 * rotor.rho * (axial * axial + tangential * tangential) * s.c;
    const double sinPhi = std::sin(s.phi);
    const double cosPhi = std::cos(s.phi);
    out.Np = q * (s.cl * cosPhi + s.cd * sinPhi);
    out.Tp = q * (s.cl * sinPhi - s.cd * cosPhi);
    out.solution.dT = rotor.B * out.Np * e.cosCone * e.ds;
    out.solution.dP = rotor.B * out.Tp * e.z * e.ds * rotor.Om;
    if (!(std::isfinite(out.solution.dP) && std::isfinite(out.solution.dT))) out.solution.converged = false;
    return out;
}

}  // namespace bemt
