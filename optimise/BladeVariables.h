#pragma once
// The design variables of a blade optimisation and the blade they describe. The chord and
// twist are given at control points evenly between the project's first and last chord
// point (the blade between them follows the project's interpolation: linear chord, spline
// twist), optionally with the controller's target tip speed ratio. Each variable is
// scaled to [0, 1] between its bounds, so that one finite-difference step and one
// tolerance suit all of them. The monotonic chord and twist limits are linear in the
// variables and are computed here with their exact gradients.

#include <string>
#include <vector>

#include "bemt/Records.h"
#include "project/optimisation_settings.h"

namespace korvane::optimise {

class BladeVariables {
public:
    // The control points and their start from chord and twist (the project's blade), the
    // start tip speed ratio tsr (used when it is varied). Throws a message when the fixed
    // root chord lies above the largest chord allowed.
    BladeVariables(const std::vector<bemt::ChordPoint>& chord, const std::vector<bemt::TwistPoint>& twist, double R,
                   double tsr, const OptimisationSettings& settings);

    int count() const { return static_cast<int>(m_start.size()); }
    const std::vector<double>& start() const { return m_start; }
    int controlPoints() const { return static_cast<int>(m_x.size()); }

    // The blade of x into chord and twist (sized to the control points) and its tip
    // speed ratio (the start's when it is not varied). Allocates nothing.
    void apply(const double* x, std::vector<bemt::ChordPoint>& chord, std::vector<bemt::TwistPoint>& twist,
               double& tsr) const;

    // The linear limits g(x) <= 0 (chord from its largest start point to the tip, twist
    // toward the tip, each not increasing): their number, and their values at x with
    // the gradient row by row (count() per limit) when gradient is not null.
    int linearLimits() const { return static_cast<int>(m_pairs.size()); }
    int chordLimits() const { return m_chordPairs; }   // the first ones; the twist's follow
    void linearValues(const double* x, double* values, double* gradient) const;

    // The smallest and largest tip speed ratio the optimiser may choose.
    static constexpr double kTsrMin = 1.0;
    static constexpr double kTsrMax = 20.0;

private:
    // One quantity at one control point: fixed, or variable index with its bounds.
    struct Value {
        int index = -1;     // into x; -1: fixed
        double fixed = 0.0;
        double lo = 0.0;
        double span = 1.0;
        double at(const double* x) const { return index < 0 ? fixed : lo + span * x[index]; }
    };
    Value variable(double start, double lo, double hi, bool varied);

    std::vector<double> m_x;       // control point positions x/R
    std::vector<Value> m_chord;    // c/R
    std::vector<Value> m_twist;    // degrees
    Value m_tsr;
    std::vector<double> m_start;   // scaled
    // Each linear limit: value at the later point minus value at the earlier, scaled.
    struct Pair {
        const Value* earlier;
        const Value* later;
    };
    std::vector<Pair> m_pairs;
    int m_chordPairs = 0;
};

}  // namespace korvane::optimise
