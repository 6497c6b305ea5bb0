#pragma once
// Ning's method: the inflow angle phi is the root of one residual in one unknown, so a
// solution is found whenever the residual changes sign in the searched bracket; the
// induction factors follow from phi (S. A. Ning, "A simple solution method for the
// blade element momentum equations with guaranteed convergence", Wind Energy, 2014).
// Where the bracket's ends change sign, Brent's method finds the root in it, as in Ning's
// own implementation (CCBlade).

#include "bemt/Solver.h"

namespace bemt {

class SolverNing final : public Solver {
public:
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings) override;
    // The previous solution is not needed: the brackets do not depend on it.
    Solution solve(const BladeElement& element, const OperatingConditions& conditions,
                   const SolverSettings& settings, const Solution& previous) override;

    double alpha(double phi) const;
    double cn(double phi) const;
    double ct(double phi) const;
    double kappa(double phi) const;
    double kappa_(double phi) const;
    // Axial induction: momentum region for kappa < 2/3, empirical region above.
    double a(double phi) const;
    double a_(double phi) const;
    // Residual of the momentum and empirical regions.
    double f(double phi) const;
    // Residual of the propeller brake region.
    double f_PB(double phi) const;

protected:
    // The propeller brake state (phi < 0) has a > 1; the others a < 1.
    bool inRange(const Solution& s) const override {
        return (s.phi < 0.0 ? s.a > 1.0 : s.a < 1.0) && s.a_ > -1.0;
    }

private:
    // Everything the residuals need at one inflow angle, evaluated once.
    struct Inflow {
        double phi, sinPhi, cosPhi, F, cl, cd, kappa, kappa_;
    };
    Inflow inflow(double phi) const;
    static double axialInduction(const Inflow& in);
    static double tangentialInduction(const Inflow& in) { return in.kappa_ / (1.0 - in.kappa_); }
    double residual(const Inflow& in) const;
    double brakeResidual(const Inflow& in) const;
};

}  // namespace bemt
