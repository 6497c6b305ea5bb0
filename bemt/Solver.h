#pragma once
// An element solver finds the induction factors of one blade element. The base class
// sets up the element's state once (local speed ratio, solidity, polar) and gives the
// starting record; the derived solvers iterate. Non-convergence is never an exception:
// `converged` is false when the iteration limit was reached or a NaN appeared, and
// `extrapolated` is true when the polar was used outside its data.

#include <cmath>
#include <memory>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/Records.h"

namespace bemt {

// Heavily loaded elements (a above kHighlyLoaded) leave momentum theory; the fixed-point
// and Newton-Raphson solvers then use the empirical thrust relation
// CT = 8/9 + (4F - 40/9) a + (50/9 - 4F) a^2.
namespace empirical {
inline constexpr double kHighlyLoaded = 0.4;
inline constexpr double k8_9 = 8.0 / 9.0;
inline constexpr double k40_9 = 40.0 / 9.0;
inline constexpr double k50_9 = 50.0 / 9.0;
}  // namespace empirical

class Solver {
public:
    virtual ~Solver() = default;

    // The solver of a type: 0 Ning, 1 Newton-Raphson, any other value fixed point.
    static std::unique_ptr<Solver> create(SolverType type);

    // Solves from the solver's own first guess.
    virtual Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                           const SolverSettings& settings);
    // Solves starting from the state of a neighbouring element (solvers may ignore it).
    virtual Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                           const SolverSettings& settings, const Solution& previous);

    // Whether the last solved state is one the solver's equations describe: every value
    // finite, the induction within the solver's range (see inRange), and the inflow angle
    // the one the induction gives, tan phi = (1 - a) / ((1 + a') lambda_r), within 100
    // times the accuracy. A root finder can stop on a residual that is small only because
    // the induction is huge (V0 near 0); such a state is no solution.
    bool physical(const Solution& s) const;

protected:
    // The induction the solver's flow states cover: a < 1 (the flow through the rotor
    // keeps its direction; momentum and empirical states) and a' > -1 (the flow past the
    // blade keeps its direction).
    virtual bool inRange(const Solution& s) const { return s.a < 1.0 && s.a_ > -1.0; }

    // Combined tip and hub loss at this element's radius, from phi or from sin(phi).
    double F(double phi) const;
    double lossFactor(double sinPhi) const { return Common::glauertTipLoss(lossExponents, sinPhi); }
    // The inflow angle the induction gives, tan phi = (1 - a) / ((1 + a') lambda_r): between
    // 90 and 180 degrees where the blade moves with the wind's in-plane part faster than
    // it turns (lambda_r < 0, the root of a strongly yawed rotor).
    double inflowAngle(double a, double a_) const {
        const double phi = std::atan((1.0 - a) / (1.0 + a_) / lambda_r);
        return lambda_r < 0.0 ? phi + std::numbers::pi : phi;
    }
    // The drag coefficient the induction equations see: none when drag_in_induction is off.
    double inductionDrag(double cd) const { return settings.drag_in_induction ? cd : 0.0; }

    SolverSettings settings;
    OperatingConditions conditions;
    double r = 0.0;         // element radius, m
    double c = 0.0;         // chord, m
    double theta = 0.0;     // local pitch, rad
    double lambda_r = 0.0;  // local speed ratio (r/R) TSR: Vy / Vx of the element
    bool fullInduction = true;  // wake rotation and drag both in the induction equations
    double sigma = 0.0;     // local solidity B c / (2 pi r)
    ProfileParams* profile = nullptr;
    Common::TipLossExponents lossExponents{0.0, 0.0};
};

}  // namespace bemt
