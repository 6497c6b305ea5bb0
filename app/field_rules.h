#pragma once
// The arithmetic behind the editors' coupled fields, kept apart from the controls so it
// can be checked on its own: tip speed ratio and wind velocity, and the remapping of
// blade positions when the hub moves.

#include <cmath>
#include <vector>

#include "bemt/Records.h"

namespace field_rules {

// λ = ω R / V with ω from rpm.
double tipSpeedRatio(double rpm, double radius, double windVelocity);
// V = ω R / λ.
double windVelocity(double rpm, double radius, double tipSpeedRatio);

// Maps a position on the blade span [from, 1] onto [to, 1] (from and to are hub radius /
// rotor radius before and after): a point keeps its share of the span, a point at the
// hub stays at the hub, the tip stays at the tip.
double remapPosition(double x, double from, double to);

// Remaps the x_rel of every point from the span [from, 1] onto [to, 1]. An unchanged hub
// fraction moves nothing (not even by rounding, which would count as a change of the
// project).
template <typename Point>
void remapPositions(std::vector<Point>& points, double from, double to) {
    if (from == to || !(from < 1.0) || !std::isfinite(from) || !std::isfinite(to)) return;
    for (auto& p : points) p.x_rel = remapPosition(p.x_rel, from, to);
}

}  // namespace field_rules
