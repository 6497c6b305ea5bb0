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

// The root of a residual in [lo, hi] with the values at the ends: Brent's method where
// they bracket a sign change clearly (both beyond eps); other brackets keep bisection's
// behaviour (a midpoint that happens to lie within eps, or failure after n steps).
template <class Residual>
std::pair<double, bool> findRoot(Residual& residual, double lo, double hi, double fLo, double fHi, double eps,
                                 int n) {
    const bool bracketed = std::fabs(fLo) > eps && std::fabs(fHi) > eps && ((fLo < 0) != (fHi < 0));
    if (bracketed) return HelperRootFinder::brentRoot(residual, lo, hi, fLo, fHi, eps, n);
    return HelperRootFinder::bisectionRoot(residual, lo, hi, eps, n);
}
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
    in.cl = cl;
    in.cd = cd;
    // One test for the whole model, which the residuals evaluate many times per element.
    const double cdInduction = fullInduction ? cd : inductionDrag(cd);
    in.kappa = sigma * (cl * in.cosPhi + cdInduction * in.sinPhi) / (4.0 * in.F * in.sinPhi * in.sinPhi);
    in.kappa_ = fullInduction || settings.wake_rotation
                    ? sigma * (cl * in.sinPhi - cdInduction * in.cosPhi) / (4.0 * in.F * in.sinPhi * in.cosPhi)
                    : 0.0;
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

double SolverNing::brakeResidual(const Inflow& in) const {
    return in.sinPhi * (1.0 - in.kappa) - in.cosPhi * (1.0 - in.kappa_) / lambda_r;
}

double SolverNing::f_PB(double phi) const { return brakeResidual(inflow(phi)); }

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set) {
    Solution out = Solver::solve(element, cond, set);
    const double eps = settings.accuracy;
    const int N = settings.max_iterations;

    // The inflow of the last residual evaluated: usually the root's, so it is not
    // evaluated again.
    Inflow last{};
    auto momentum = [this, &last](double p) {
        last = inflow(p);
        return residual(last);
    };
    auto brake = [this, &last](double p) {
        last = inflow(p);
        return brakeResidual(last);
    };

    std::pair<double, bool> root;
    const double fHalfPi = momentum(kPi / 2.0);
    if (lambda_r < 0.0) {
        // The blade moves with the wind's in-plane part faster than it turns: the inflow
        // comes from behind the rotor plane, phi between 90 and 180 degrees, where the
        // momentum residual mirrors the one between 0 and 90.
        root = findRoot(momentum, kPi / 2.0, kPi - kPhiMin, fHalfPi, momentum(kPi - kPhiMin), eps, N);
    } else if (fHalfPi > 0) {
        root = findRoot(momentum, kPhiMin, kPi / 2.0, momentum(kPhiMin), fHalfPi, eps, N);
    } else if (const double fBrakeLo = brake(-kPi / 4.0), fBrakeHi = brake(kPhiMin); fBrakeLo < 0 && fBrakeHi > 0) {
        root = findRoot(brake, -kPi / 4.0, kPhiMin, fBrakeLo, fBrakeHi, eps, N);
    } else {
        root = findRoot(momentum, kPi / 2.0, kPi, fHalfPi, momentum(kPi), eps, N);
    }
    const double phi = root.first;

    out.phi = phi;
    out.alpha = phi - theta;
    const Inflow atRoot = last.phi == phi ? last : inflow(phi);
    out.a = axialInduction(atRoot);
    out.a_ = tangentialInduction(atRoot);
    // A NaN residual ends bisection at once as if it had converged (Brent's method says it
    // did not); NaN induction factors say otherwise.
    out.converged = root.second && !std::isnan(phi) && !std::isnan(out.a) && !std::isnan(out.a_);
    out.cl = atRoot.cl;
    out.cd = atRoot.cd;
    out.F = atRoot.F;
    out.extrapolated = profile->outOfRange(out.alpha);
    return out;
}

Solution SolverNing::solve(const BladeElement& element, const OperatingConditions& conditions,
                           const SolverSettings& settings, const Solution&) {
    return solve(element, conditions, settings);
}

}  // namespace bemt
