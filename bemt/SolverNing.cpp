#include "bemt/SolverNing.h"

#include <cmath>
#include <numbers>

#include "bemt/HelperRootFinder.h"
#include "bemt/ProfileParams.h"

namespace bemt {

namespace {
constexpr double k2_3 = 2.0 / 3.0;
constexpr double k25_9 = 25.0 / 9.0;
constexpr double k10_9 = 10.0 / 9.0;
constexpr double k4_3 = 4.0 / 3.0;
constexpr double kPi = std::numbers::pi;
// Lower end of the brackets: phi = 0 itself makes the loss factor degenerate.
constexpr double kPhiMin = 1e-6;
}  // namespace

double SolverNing::alpha(double phi) const { return phi - theta; }

double SolverNing::cn(double phi) const {
    const double al = alpha(phi);
    return profile->cl(al) * std::cos(phi) + profile->cd(al) * std::sin(phi);
}

double SolverNing::ct(double phi) const {
    const double al = alpha(phi);
    return profile->cl(al) * std::sin(phi) - profile->cd(al) * std::cos(phi);
}

double SolverNing::kappa(double phi) const {
    const double s = std::sin(phi);
    return sigma * cn(phi) / (4.0 * F(phi) * s * s);
}

double SolverNing::kappa_(double phi) const {
    return sigma * ct(phi) / (4.0 * F(phi) * std::sin(phi) * std::cos(phi));
}

double SolverNing::a(double phi) const {
    double k = kappa(phi);
    if (k < k2_3) return k / (1.0 + k);
    const double f = F(phi);
    double g3 = 2.0 * f * k - (k25_9 - 2.0 * f);
    while (g3 == 0.0) {
        k += 1e-5;
        g3 = 2.0 * f * k - (k25_9 - 2.0 * f);
    }
    const double g1 = 2.0 * f * k - (k10_9 - f);
    const double g2 = 2.0 * f * k - f * (k4_3 - f);
    return (g1 - std::sqrt(g2)) / g3;
}

double SolverNing::a_(double phi) const {
    const double k = kappa_(phi);
    return k / (1.0 - k);
}

double SolverNing::f(double phi) const {
    if (a(phi) == 0.0) phi += settings.accuracy;
    return std::sin(phi) / (1.0 - a(phi)) - std::cos(phi) * (1.0 - kappa_(phi)) / lambda_r;
}

double SolverNing::f_PB(double phi) const {
    return std::sin(phi) * (1.0 - kappa(phi)) - std::cos(phi) * (1.0 - kappa_(phi)) / lambda_r;
}

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set) {
    Solution out = Solver::solve(element, cond, set);
    const double eps = settings.accuracy;
    const int N = settings.max_iterations;

    auto residual = [this](double p) { return f(p); };
    auto residualBrake = [this](double p) { return f_PB(p); };

    std::pair<double, bool> root;
    if (f(kPi / 2.0) > 0) {
        root = HelperRootFinder::bisectionRoot(residual, kPhiMin, kPi / 2.0, eps, N);
    } else if (f_PB(-kPi / 4.0) < 0 && f_PB(kPhiMin) > 0) {
        root = HelperRootFinder::bisectionRoot(residualBrake, -kPi / 4.0, kPhiMin, eps, N);
    } else {
        root = HelperRootFinder::bisectionRoot(residual, kPi / 2.0, kPi, eps, N);
    }
    const double phi = root.first;

    out.phi = phi;
    out.alpha = phi - theta;
    out.a = a(phi);
    out.a_ = a_(phi);
    // A NaN residual ends the bisection at once as if it had converged; NaN induction
    // factors say otherwise.
    out.converged = root.second && !std::isnan(phi) && !std::isnan(out.a) && !std::isnan(out.a_);
    out.cl = profile->cl(out.alpha);
    out.cd = profile->cd(out.alpha);
    out.F = F(phi);
    out.extrapolated = profile->outOfRange(out.alpha);
    return out;
}

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& conditions,
                           const SolverSettings& settings, const Solution&) {
    return solve(element, conditions, settings);
}

}  // namespace bemt
