#pragma once
// Newton-Raphson iteration on the axial and tangential momentum residuals as functions
// of (a, a'), with forward-difference partial derivatives and the same under-relaxation
// and convergence test as the fixed-point solver.

#include "bemt/Solver.h"

namespace bemt {

class SolverNR final : public Solver {
public:
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings) override;
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings, const Solution& previous) override;
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings, double a0, double a_0);

    double phi(double a, double a_) const;
    double alpha(double a, double a_) const;
    double cax(double a, double a_) const;
    double ctan(double a, double a_) const;
    double F(double a, double a_) const;

    bool lastConverged() const { return converged; }

private:
    // Both momentum residuals at one state, sharing one polar evaluation: axial
    // (momentum balance for a <= 0.4, empirical thrust relation above) and tangential.
    struct Residuals {
        double axial;
        double tangential;
    };
    Residuals residuals(double a, double a_) const;

    bool converged = false;
};

}  // namespace bemt
