#pragma once
// A blade computation over `n_elements` equal annuli between hub and tip: solves single
// elements (optionally starting from the previous element's solution), evaluates their
// power and thrust and the angle of best lift-to-drag ratio, and designs elements for
// the ideal rotor with wake rotation.

#include "bemt/Records.h"

namespace bemt {

class Solver;

// Chord and twist of one designed element.
struct DesignedElement {
    double twist_deg = 0.0;
    double c_rel = 0.0;  // c/R
    double x_rel = 0.0;  // r/R
};

class Compute {
public:
    // The solver is not owned; settings and conditions are copied.
    Compute(Solver* solver, const SolverSettings& settings, const OperatingConditions& conditions);

    // The conditions of the next solves and loads (an element's own inflow).
    void setConditions(const OperatingConditions& c) { conditions = c; }

    // Centre of element i: Rh + (i + 0.5) dr.
    double elementRadius(int i) const;

    // The next solve (only the next one) starts from s, or from the stored solution.
    void usePrevSolution(const Solution& s);
    void usePrevSolution(bool use);

    Solution BEMSolve(const BladeElement& e);
    Solution BEMSolve(double r, double c, double theta, ProfileParams* p);
    Solution BEMSolve(int i, double c, double theta, ProfileParams* p);

    // Solves the element and completes it with alphaOpt, dP and dT.
    Solution analyzeElement(double r, double c, double theta, ProfileParams* p);
    // Completes a solved element of chord c with alphaOpt, dP and dT.
    void completeElement(Solution& s, double c, ProfileParams* p) const;
    // The same with the best-ratio angle known already.
    void completeElement(Solution& s, double c, double alphaOpt) const;

    double dT(double c, const Solution& s) const;
    double dT(int i, double c, double theta, ProfileParams* p);
    double dP(double r, double c, const Solution& s) const;
    double dP(int i, double c, double theta, ProfileParams* p);

    // Element design for the ideal rotor with wake rotation.
    double optAlpha(ProfileParams* p, double lo, double hi) const;
    double optAlpha(ProfileParams* p) const;
    double optA(double r);
    double twist(double r, double alpha, double a) const;
    double twist(double r, double alpha);
    double chord(double r, double alpha, ProfileParams* p, double a) const;
    double chord(double r, double alpha, ProfileParams* p);
    DesignedElement designElement(int i, ProfileParams* p);

    double elementWidth() const { return dr; }

private:
    // Relative velocity of a solved element.
    double relativeVelocity(const Solution& s) const;

    Solver* solver;
    SolverSettings settings;
    OperatingConditions conditions;
    double dr;
    double lambda_r = 0.0;
    bool usePrev = false;
    Solution prev;
};

}  // namespace bemt
