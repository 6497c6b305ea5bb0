#pragma once
// Lookups on a finished list of airfoil segments: the segment of a blade position, and
// the Reynolds numbers of the segments' Reynolds-dependent polars.

#include <vector>

#include "bemt/Records.h"
#include "bemt/spline.h"

namespace bemt {

class ToolsAirfoil {
public:
    // The first segment when x <= its start; otherwise the first segment (not the last)
    // with start <= x < end; otherwise the last segment. The list must not be empty.
    static AirfoilSegment* findSegment(double x, std::vector<AirfoilSegment>* segments);

    // Sets every Reynolds-dependent polar to the Reynolds number at its own point,
    // using the relative chord spline and guessed induction factors.
    static void setupReynolds(std::vector<AirfoilSegment>* segments, const spline* chord,
                              const OperatingConditions& conditions);
};

}  // namespace bemt
