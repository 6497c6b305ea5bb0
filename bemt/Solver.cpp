#include "bemt/Solver.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/Solver2D.h"
#include "bemt/SolverNR.h"
#include "bemt/SolverNing.h"

namespace bemt {

std::unique_ptr<Solver> Solver::create(SolverType type) {
    switch (type) {
        case Ning: return std::make_unique<SolverNing>();
        case NewtonRaphson: return std::make_unique<SolverNR>();
        default: return std::make_unique<Solver2D>();
    }
}

Solution Solver::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set) {
    settings = set;
    conditions = cond;
    r = element.r;
    c = element.c;
    theta = element.theta;
    profile = element.profile;
    lambda_r = (r / conditions.R) * conditions.TSR;
    sigma = conditions.B * c / (2.0 * std::numbers::pi * r);
    lossExponents = Common::tipLossExponents(r, conditions);
    fullInduction = settings.wake_rotation && settings.drag_in_induction;
    // A term switched off contributes the factor 1: its exponent makes exp() vanish.
    if (!settings.tip_loss) lossExponents.tip = -std::numeric_limits<double>::infinity();
    if (!settings.hub_loss) lossExponents.hub = -std::numeric_limits<double>::infinity();

    Solution s;
    s.r = element.r;
    s.c = element.c;
    s.theta = element.theta;
    s.profile = element.profile;
    return s;
}

Solution Solver::solve(const BladeElement& element, const OperatingConditions& cond, const SolverSettings& set,
                       const Solution&) {
    return solve(element, cond, set);
}

bool Solver::physical(const Solution& s) const {
    // Agreement of the inflow angle with the induction: the root finders stop within the
    // accuracy on the residual, which moves phi by a few times the accuracy at most.
    constexpr double kInflowTolerancePerAccuracy = 100.0;
    for (double v : {s.phi, s.a, s.a_, s.cl, s.cd, s.F})
        if (!std::isfinite(v)) return false;
    if (!inRange(s)) return false;
    const double inflow = std::atan2(1.0 - s.a, (1.0 + s.a_) * lambda_r);
    return std::fabs(std::sin(s.phi - inflow)) <= kInflowTolerancePerAccuracy * settings.accuracy;
}

double Solver::F(double phi) const { return lossFactor(std::sin(phi)); }

}  // namespace bemt
