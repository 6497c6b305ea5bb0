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

// The list a point editor remaps from when the hub or rotor radius changes: the list as
// it was before the radii began to change, so that the values a radius passes through
// while it is typed do not add up, and a radius typed back gives every position exactly.
template <typename Point>
struct RemapBase {
    std::vector<Point> points;
    double hubFraction = -1.0;
    std::vector<double> shown;  // the positions as the last remap put them

    // A list shown as a file, an action or the user left it: remaps start from it.
    void reset(const std::vector<Point>& list, double fraction) {
        points = list;
        hubFraction = fraction;
        remapped(list);
    }
    void remapped(const std::vector<Point>& list) {
        shown.clear();
        for (const auto& p : list) shown.push_back(p.x_rel);
    }
    // The list edited: while its positions are those of the last remap, its values go into
    // the base at the base's positions; a moved position starts the base anew.
    void edited(const std::vector<Point>& list, double fraction) {
        bool kept = list.size() == shown.size() && list.size() == points.size();
        for (std::size_t i = 0; kept && i < list.size(); ++i) kept = list[i].x_rel == shown[i];
        if (!kept) return reset(list, fraction);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const double x = points[i].x_rel;
            points[i] = list[i];
            points[i].x_rel = x;
        }
    }
};

}  // namespace field_rules
