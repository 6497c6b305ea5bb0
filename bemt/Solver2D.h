#pragma once
// Relaxed fixed-point iteration on both induction factors: the classical BEM update of
// a and a' from the momentum balances, with the empirical thrust relation for heavily
// loaded elements (a > 0.4).

#include "bemt/Solver.h"

namespace bemt {

class Solver2D final : public Solver {
public:
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings) override;
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings, const Solution& previous) override;

    // Inflow and attack angles and force coefficients at the current (a, a_).
    double phi() const;
    double alpha() const;
    double cax() const;
    double ctan() const;

private:
    Solution solveBEM(const BladeElement& element, const OperatingConditions& conditions,
                      const SolverSettings& settings);

    double a = 0.0;
    double a_ = 0.0;
    double phi_ = 0.0;
    double F_ = 1.0;
};

}  // namespace bemt
