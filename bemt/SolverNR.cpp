#include "bemt/SolverNR.h"

#include <cmath>

#include "bemt/ProfileParams.h"

namespace bemt {

namespace {
constexpr double k8_9 = 8.0 / 9.0;
constexpr double k40_9 = 40.0 / 9.0;
constexpr double k50_9 = 50.0 / 9.0;
constexpr double kHighlyLoaded = 0.4;
// Step of the forward differences of the Jacobian.
constexpr double kStep = 1e-10;
}  // namespace

double SolverNR::phi(double a, double a_) const { return std::atan((1.0 - a) / (1.0 + a_) / lambda_r); }
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

double SolverNR::residualAxial(double a, double a_) const {
    const double p = phi(a, a_);
    const double f = Solver::F(p);
    const double s = std::sin(p);
    if (a <= kHighlyLoaded) return sigma * (1.0 - a) * cax(a, a_) / (s * s) - 4.0 * a * f;
    const double t = std::tan(p);
    return sigma * (1.0 - a) * (1.0 - a) * cax(a, a_) * (1.0 + 1.0 / (t * t))
           - (k8_9 + (4.0 * f - k40_9) * a + (k50_9 - 4.0 * f) * a * a);
}

double SolverNR::residualTangential(double a, double a_) const {
    const double p = phi(a, a_);
    return sigma * (1.0 + a_) * ctan(a, a_) / (std::sin(p) * std::cos(p)) - 4.0 * a_ * Solver::F(p);
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
        const double gt = residualTangential(a, a_);
        const double ga = residualAxial(a, a_);
        const double A = (residualTangential(a + kStep, a_) - gt) / kStep;
        const double B = (residualTangential(a, a_ + kStep) - gt) / kStep;
        const double C = (residualAxial(a + kStep, a_) - ga) / kStep;
        const double D = (residualAxial(a, a_ + kStep) - ga) / kStep;
        const double delta = A * D - B * C;

        // Cramer's rule; the second factor uses the residuals at the updated first one.
        const double aN = a - (D * gt - B * ga) / delta;
        const double a_N = a_ - (A * residualAxial(aN, a_) - C * residualTangential(aN, a_)) / delta;
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
    out.cl = profile->cl(out.alpha);
    out.cd = profile->cd(out.alpha);
    out.F = F(a, a_);
    out.extrapolated = profile->outOfRange(out.alpha);
    out.converged = converged;
    return out;
}

}  // namespace bemt
