#include "bemt/Solver2D.h"

#include <cmath>

#include "bemt/ProfileParams.h"

namespace bemt {

using namespace empirical;

double Solver2D::phi() const { return inflowAngle(a, a_); }
double Solver2D::alpha() const { return phi_ - theta; }

double Solver2D::cax() const {
    const double al = phi_ - theta;
    return profile->cl(al) * std::cos(phi_) + profile->cd(al) * std::sin(phi_);
}

double Solver2D::ctan() const {
    const double al = phi_ - theta;
    return profile->cl(al) * std::sin(phi_) - profile->cd(al) * std::cos(phi_);
}

Solution Solver2D::solve(const BladeElement& element, const OperatingConditions& conditions,
                         const SolverSettings& settings) {
    a = 0.0;
    a_ = 0.0;
    return solveBEM(element, conditions, settings);
}

Solution Solver2D::solve(const BladeElement& element, const OperatingConditions& conditions,
                         const SolverSettings& settings, const Solution& previous) {
    a = previous.a;
    a_ = previous.a_;
    return solveBEM(element, conditions, settings);
}

Solution Solver2D::solveBEM(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set) {
    Solution out = Solver::solve(element, cond, set);
    const double omega = settings.relaxation_factor;
    const double eps = settings.accuracy;
    const int N = settings.max_iterations;

    int k = 0;
    while (true) {
        const double a0 = a;
        const double a_0 = a_;
        phi_ = phi();
        const double sinPhi = std::sin(phi_);
        const double cosPhi = std::cos(phi_);
        F_ = lossFactor(sinPhi);
        const auto [cl, cdPolar] = profile->coefficients(phi_ - theta);
        const double cd = inductionDrag(cdPolar);

        double a1;
        if (a0 <= kHighlyLoaded) {
            a1 = 0.25 * sigma * (1.0 - a0) * (cl * cosPhi + cd * sinPhi) / (sinPhi * sinPhi * F_);
        } else {
            const double tanPhi = std::tan(phi_);
            const double CT = sigma * (1.0 - a0) * (1.0 - a0) * (cl * cosPhi + cd * sinPhi) * (1.0 + 1.0 / (tanPhi * tanPhi));
            a1 = std::sqrt((CT - k8_9 - (4.0 * F_ - k40_9) * a0) / (k50_9 - 4.0 * F_));
        }
        ++k;
        const double a_1 =
            settings.wake_rotation ? 0.25 * sigma * (1.0 + a_0) * (cl * sinPhi - cd * cosPhi) / (sinPhi * cosPhi * F_)
                                   : 0.0;

        a = omega * a1 + (1.0 - omega) * a0;
        a_ = omega * a_1 + (1.0 - omega) * a_0;

        if (std::fabs(a0 - a) <= eps && std::fabs(a_0 - a_) <= eps) break;
        if (k >= N) break;
        // A NaN makes both tolerance tests false; stop at once instead of spinning to N.
        if (std::isnan(a) || std::isnan(a_)) break;
    }

    out.a = a;
    out.a_ = a_;
    out.phi = phi_;
    out.alpha = phi_ - theta;
    const LiftDrag coefficients = profile->coefficients(out.alpha);
    out.cl = coefficients.cl;
    out.cd = coefficients.cd;
    out.F = F(phi_);
    out.extrapolated = profile->outOfRange(out.alpha);
    out.converged = k < N && !std::isnan(a) && !std::isnan(a_);
    return out;
}

}  // namespace bemt
