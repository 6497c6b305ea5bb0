#pragma once
// The arithmetic behind the editors' coupled fields, kept apart from the controls so it
// can be checked on its own: tip speed ratio and wind velocity, step counts and step
// sizes of a sweep, and the remapping of blade positions when the hub moves.

#include <cmath>
#include <vector>

#include "bemt/Records.h"

namespace field_rules {

// λ = ω R / V with ω from rpm.
double tipSpeedRatio(double rpm, double radius, double windVelocity);
// V = ω R / λ.
double windVelocity(double rpm, double radius, double tipSpeedRatio);

// Number of values of a sweep from min to max by step, as the computations count them
// (0 to 0.3 by 0.1 gives 4); NaN for a range that computes nothing.
double stepCount(double min, double max, double step);
// Step of a sweep with the given number of values: (max - min) / (steps - 1); NaN for
// fewer than two values.
double stepSize(double min, double max, double steps);

// Maps a position from [x0, 1] onto [h, 1], so that a list starting at x0 starts at the
// hub h again and keeps its end.
double remapPosition(double x, double x0, double h);

// Remaps the x_rel of every point from the first point's position onto [h, 1]. A list
// that starts at the tip (or is empty) has no span to map and stays as it is.
template <typename Point>
void remapPositions(std::vector<Point>& points, double h) {
    if (points.empty()) return;
    const double x0 = points.front().x_rel;
    // Already starting at the hub: nothing moves (not even by rounding, which would
    // count as a change of the project).
    if (!(x0 < 1.0) || !std::isfinite(h) || x0 == h) return;
    for (auto& p : points) p.x_rel = remapPosition(p.x_rel, x0, h);
}

}  // namespace field_rules
