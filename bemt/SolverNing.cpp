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

SolverNing::Inflow SolverNing::inflow(double phi) const {
    Inflow in;
    in.phi = phi;
    in.sinPhi = std::sin(phi);
    in.cosPhi = std::cos(phi);
    in.F = lossFactor(in.sinPhi);
    const auto [cl, cd] = profile->coefficients(phi - theta);
    in.kappa = sigma * (cl * in.cosPhi + cd * in.sinPhi) / (4.0 * in.F * in.sinPhi * in.sinPhi);
    in.kappa_ = sigma * (cl * in.sinPhi - cd * in.cosPhi) / (4.0 * in.F * in.sinPhi * in.cosPhi);
    return in;
}

double SolverNing::axialInduction(const Inflow& in) {
    double k = in.kappa;
    if (k < k2_3) return k / (1.0 + k);
    const double f = in.F;
    double g3 = 2.0 * f * k - (k25_9 - 2.0 * f);
    while (g3 == 0.0) {
        k += 1e-5;
        g3 = 2.0 * f * k - (k25_9 - 2.0 * f);
    }
    const double g1 = 2.0 * f * k - (k10_9 - f);
    const double g2 = 2.0 * f * k - f * (k4_3 - f);
    return (g1 - std::sqrt(g2)) / g3;
}

double SolverNing::residual(const Inflow& at) const {
    // Where the axial induction is exactly zero the residual is taken a little further on.
    const double a = axialInduction(at);
    if (a == 0.0) {
        const Inflow further = inflow(at.phi + settings.accuracy);
        return further.sinPhi / (1.0 - axialInduction(further)) - further.cosPhi * (1.0 - further.kappa_) / lambda_r;
    }
    return at.sinPhi / (1.0 - a) - at.cosPhi * (1.0 - at.kappa_) / lambda_r;
}

double SolverNing::kappa(double phi) const { return inflow(phi).kappa; }
double SolverNing::kappa_(double phi) const { return inflow(phi).kappa_; }
double SolverNing::a(double phi) const { return axialInduction(inflow(phi)); }
double SolverNing::a_(double phi) const { return tangentialInduction(inflow(phi)); }
double SolverNing::f(double phi) const { return residual(inflow(phi)); }

double SolverNing::f_PB(double phi) const {
    const Inflow in = inflow(phi);
    return in.sinPhi * (1.0 - in.kappa) - in.cosPhi * (1.0 - in.kappa_) / lambda_r;
}

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set) {
    Solution out = Solver::solve(element, cond, set);
    const double eps = settings.accuracy;
    const int N = settings.max_iterations;

    auto momentum = [this](double p) { return f(p); };
    auto brake = [this](double p) { return f_PB(p); };

    std::pair<double, bool> root;
    if (f(kPi / 2.0) > 0) {
        root = HelperRootFinder::bisectionRoot(momentum, kPhiMin, kPi / 2.0, eps, N);
    } else if (f_PB(-kPi / 4.0) < 0 && f_PB(kPhiMin) > 0) {
        root = HelperRootFinder::bisectionRoot(brake, -kPi / 4.0, kPhiMin, eps, N);
    } else {
        root = HelperRootFinder::bisectionRoot(momentum, kPi / 2.0, kPi, eps, N);
    }
    const double phi = root.first;

    out.phi = phi;
    out.alpha = phi - theta;
    const Inflow atRoot = inflow(phi);
    out.a = axialInduction(atRoot);
    out.a_ = tangentialInduction(atRoot);
    // A NaN residual ends the bisection at once as if it had converged; NaN induction
    // factors say otherwise.
    out.converged = root.second && !std::isnan(phi) && !std::isnan(out.a) && !std::isnan(out.a_);
    const LiftDrag coefficients = profile->coefficients(out.alpha);
    out.cl = coefficients.cl;
    out.cd = coefficients.cd;
    out.F = atRoot.F;
    out.extrapolated = profile->outOfRange(out.alpha);
    return out;
}

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& conditions,
                           const SolverSettings& settings, const Solution&) {
    return solve(element, conditions, settings);
}

}  // namespace bemt
