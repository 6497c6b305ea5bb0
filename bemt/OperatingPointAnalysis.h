#pragma once
// The operating point of a given blade at given conditions and blade pitch: every
// element solved (from the middle of the blade outwards, then from the middle inwards,
// each starting from its converged neighbour), the Reynolds numbers of
// Reynolds-dependent polars refined per element, and thrust and power summed over the
// converged elements.

#include <functional>
#include <vector>

#include "bemt/Records.h"
#include "bemt/spline.h"

namespace bemt {

class Solver;

class OperatingPointAnalysis {
public:
    // Builds the chord and twist distributions of data once, for any number of operating
    // points. Throws the spline messages (too few chord or twist points, ...).
    explicit OperatingPointAnalysis(const InputDataSet& data);

    // One operating point with solver on segments. The segments' polars receive the
    // Reynolds numbers of this analysis, so no other thread may use them meanwhile.
    // elementDone is called after every element with the number of elements finished;
    // it may throw to abort, and the exception propagates.
    OperatingPoint analyze(Solver& solver, std::vector<AirfoilSegment>& segments,
                           const OperatingConditions& conditions, double pitch,
                           const std::function<void(int)>& elementDone) const;

    int elements() const { return m_settings.n_elements; }

private:
    SolverSettings m_settings;
    spline m_chord;  // c/R over r/R, linear
    spline m_twist;  // degrees over r/R, cubic
};

}  // namespace bemt
