#include "bemt/SolverNR.h"

#include <cmath>

#include "bemt/ProfileParams.h"

namespace bemt {

using namespace empirical;

namespace {
// Step of the forward differences of the Jacobian.
constexpr double kStep = 1e-10;
}  // namespace

double SolverNR::phi(double a, double a_) const { return inflowAngle(a, a_); }
double SolverNR::alpha(double a, double a_) const { return phi(a, a_) - theta; }

double SolverNR::cax(double a, double a_) const {
    const double p = phi(a, a_);
    const double al = p - theta;
    return profile->cl(al) * std::cos(p) + profile->cd(al) * std::sin(p);
}

double SolverNR::ctan(double a, double a_) const {
    const double p = phi(a, a_);
    const double al = p - theta;
    return profile->cl(al) * std::sin(p) - profile->cd(al) * std::cos(p);
}

double SolverNR::F(double a, double a_) const { return Solver::F(phi(a, a_)); }

SolverNR::Residuals SolverNR::residuals(double a, double a_) const {
    const double p = phi(a, a_);
    const double s = std::sin(p);
    const double c = std::cos(p);
    const double f = lossFactor(s);
    const auto [cl, cd] = profile->coefficients(p - theta);
    const double cdInduction = inductionDrag(cd);
    const double axialForce = cl * c + cdInduction * s;
    const double tangentialForce = cl * s - cdInduction * c;

    Residuals r;
    if (a <= kHighlyLoaded) {
        r.axial = sigma * (1.0 - a) * axialForce / (s * s) - 4.0 * a * f;
    } else {
        const double t = std::tan(p);
        r.axial = sigma * (1.0 - a) * (1.0 - a) * axialForce * (1.0 + 1.0 / (t * t))
                  - (k8_9 + (4.0 * f - k40_9) * a + (k50_9 - 4.0 * f) * a * a);
    }
    // Without wake rotation the tangential equation only holds a' at 0.
    r.tangential = settings.wake_rotation ? sigma * (1.0 + a_) * tangentialForce / (s * c) - 4.0 * a_ * f : a_;
    return r;
}

Solution SolverNR::solve(const BladeElement& element, const OperatingConditions& conditions,
                         const SolverSettings& settings) {
    return solve(element, conditions, settings, 0.0, 0.0);
}

Solution SolverNR::solve(const BladeElement& element, const OperatingConditions& conditions,
                         const SolverSettings& settings, const Solution& previous) {
    return solve(element, conditions, settings, previous.a, previous.a_);
}

Solution SolverNR::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set,
                         double a0, double a_0) {
    Solution out = Solver::solve(element, cond, set);
    const double eps = settings.accuracy;
    const int N = settings.max_iterations;
    const double omega = settings.relaxation_factor;

    double a = a0;
    double a_ = a_0;
    int k = 0;
    while (true) {
        const double aPrev = a;
        const double a_Prev = a_;
        const Residuals g = residuals(a, a_);
        const Residuals gA = residuals(a + kStep, a_);
        const Residuals gA_ = residuals(a, a_ + kStep);
        const double A = (gA.tangential - g.tangential) / kStep;
        const double B = (gA_.tangential - g.tangential) / kStep;
        const double C = (gA.axial - g.axial) / kStep;
        const double D = (gA_.axial - g.axial) / kStep;
        const double delta = A * D - B * C;

        // Cramer's rule; the second factor uses the residuals at the updated first one.
        const double aN = a - (D * g.tangential - B * g.axial) / delta;
        const Residuals gN = residuals(aN, a_);
        const double a_N = a_ - (A * gN.axial - C * gN.tangential) / delta;
        ++k;

        a = omega * aN + (1.0 - omega) * aPrev;
        a_ = omega * a_N + (1.0 - omega) * a_Prev;

        if (std::fabs(a - aPrev) <= eps && std::fabs(a_ - a_Prev) <= eps) break;
        if (k >= N) break;
        if (std::isnan(a) || std::isnan(a_)) break;
    }
    converged = k < N && !std::isnan(a) && !std::isnan(a_);

    out.a = a;
    out.a_ = a_;
    out.phi = phi(a, a_);
    out.alpha = out.phi - theta;
    const LiftDrag coefficients = profile->coefficients(out.alpha);
    out.cl = coefficients.cl;
    out.cd = coefficients.cd;
    out.F = F(a, a_);
    out.extrapolated = profile->outOfRange(out.alpha);
    out.converged = converged;
    return out;
}

}  // namespace bemt
