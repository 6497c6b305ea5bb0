#include "bemt/Solver.h"

#include <cmath>
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

double Solver::F(double phi) const { return lossFactor(std::sin(phi)); }

}  // namespace bemt
