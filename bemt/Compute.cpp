#include "bemt/Compute.h"

#include <cmath>

#include "bemt/Common.h"
#include "bemt/HelperRootFinder.h"
#include "bemt/ProfileParams.h"
#include "bemt/Solver.h"

namespace bemt {

namespace {
constexpr double kFourPi = 12.566370614359172;
// Replaces a zero drag coefficient in the lift-to-drag ratio.
constexpr double kTinyDrag = 1e-7;
constexpr double kBestRatioSearchDeg = 10.0;

double liftToDrag(ProfileParams* p, double alpha) {
    auto [cl, cd] = p->coefficients(alpha);
    if (cd == 0.0) cd = kTinyDrag;
    return cl / cd;
}
}  // namespace

Compute::Compute(Solver* s, const SolverSettings& set, const OperatingConditions& cond)
    : solver(s), settings(set), conditions(cond), dr(cond.L / set.n_elements) {}

double Compute::elementRadius(int i) const { return conditions.Rh + (i + 0.5) * dr; }

void Compute::usePrevSolution(const Solution& s) {
    prev = s;
    usePrev = true;
}

void Compute::usePrevSolution(bool use) { usePrev = use; }

Solution Compute::BEMSolve(const BladeElement& e) {
    Solution s;
    if (usePrev) {
        usePrev = false;
        s = solver->solve(e, conditions, settings, prev);
    } else {
        s = solver->solve(e, conditions, settings);
    }
    if (s.converged && !solver->physical(s)) s.converged = false;
    return s;
}

Solution Compute::BEMSolve(double r, double c, double theta, ProfileParams* p) {
    return BEMSolve(BladeElement{r, c, theta, p});
}

Solution Compute::BEMSolve(int i, double c, double theta, ProfileParams* p) {
    return BEMSolve(BladeElement{elementRadius(i), c, theta, p});
}

double Compute::relativeVelocity(const Solution& s) const {
    return conditions.V0 * (1.0 - s.a) / std::sin(s.phi);
}

double Compute::dT(double c, const Solution& s) const {
    const double W = relativeVelocity(s);
    return 0.5 * conditions.B * conditions.rho * W * W * (s.cl * std::cos(s.phi) + s.cd * std::sin(s.phi)) * c * dr;
}

double Compute::dP(double r, double c, const Solution& s) const {
    const double W = relativeVelocity(s);
    return 0.5 * conditions.B * conditions.Om * conditions.rho * W * W
           * (s.cl * std::sin(s.phi) - s.cd * std::cos(s.phi)) * c * r * dr;
}

double Compute::dT(int i, double c, double theta, ProfileParams* p) { return dT(c, BEMSolve(i, c, theta, p)); }

double Compute::dP(int i, double c, double theta, ProfileParams* p) {
    return dP(elementRadius(i), c, BEMSolve(i, c, theta, p));
}

Solution Compute::analyzeElement(double r, double c, double theta, ProfileParams* p) {
    Solution s = BEMSolve(r, c, theta, p);
    completeElement(s, c, p);
    return s;
}

void Compute::completeElement(Solution& s, double c, ProfileParams* p) const { completeElement(s, c, optAlpha(p)); }

void Compute::completeElement(Solution& s, double c, double alphaOpt) const {
    s.alphaOpt = alphaOpt;
    s.dP = dP(s.r, c, s);
    s.dT = dT(c, s);
    // Loads that are not numbers (V0 so small that W underflows, say) are no solution.
    if (!(std::isfinite(s.dP) && std::isfinite(s.dT))) s.converged = false;
}

double Compute::optAlpha(ProfileParams* p, double lo, double hi) const {
    return HelperRootFinder::gradientMaximize([p](double alpha) { return liftToDrag(p, alpha); }, lo, hi,
                                              settings.accuracy, settings.max_iterations);
}

double Compute::optAlpha(ProfileParams* p) const { return optAlpha(p, 0.0, Common::deg2rad(kBestRatioSearchDeg)); }

double Compute::optA(double r) {
    lambda_r = (r / conditions.R) * conditions.TSR;
    const double l2 = lambda_r * lambda_r;
    // Optimum-rotor relation between a and the local speed ratio; its root lies in [1/4, 1/3].
    auto h = [l2](double a) { return 16.0 * std::pow(a, 3) - 24.0 * a * a + (9.0 - 3.0 * l2) * a + l2 - 1.0; };
    return HelperRootFinder::bisectionRoot(h, 0.25, 1.0 / 3.0, settings.accuracy, settings.max_iterations).first;
}

double Compute::twist(double r, double alpha, double a) const {
    return std::atan((4.0 * a - 1.0) * (1.0 - a) / (a * conditions.TSR) / (r / conditions.R)) - alpha;
}

double Compute::twist(double r, double alpha) { return twist(r, alpha, optA(r)); }

double Compute::chord(double r, double alpha, ProfileParams* p, double a) const {
    const double x = r / conditions.R;
    const double Q = (4.0 * a - 1.0) * (4.0 * a - 1.0) * (1.0 - a) * (1.0 - a);
    const double aTSR = a * conditions.TSR;
    return conditions.R * (kFourPi / (conditions.TSR * conditions.B)) / p->cl(alpha) * Q / a
           / std::sqrt(aTSR * aTSR * x * x + Q);
}

double Compute::chord(double r, double alpha, ProfileParams* p) { return chord(r, alpha, p, optA(r)); }

DesignedElement Compute::designElement(int i, ProfileParams* p) {
    const double alphaOpt = optAlpha(p);
    const double r = elementRadius(i);
    const double a = optA(r);
    return DesignedElement{Common::rad2deg(twist(r, alphaOpt, a)), chord(r, alphaOpt, p, a) / conditions.R,
                           r / conditions.R};
}

}  // namespace bemt
