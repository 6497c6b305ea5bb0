#pragma once
// Checks and prepares airfoil coordinates before XFOIL sees them: XFOIL stops or runs
// into NaN states on duplicated points, too few points, crossed outlines or unscaled
// input, so those are caught here, and the thickness is computed here as well.

#include <string>
#include <vector>

namespace xfoilcore {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

struct PreparedAirfoil {
    bool valid = false;
    std::string reason;            // why the coordinates cannot be analysed
    std::vector<Point> points;     // leading edge at the origin, chord 1, file order
    double thickness = 0.0;        // largest thickness, fraction of chord
};

// Fewer points than this are not an airfoil outline.
constexpr std::size_t kMinPoints = 10;
// XFOIL repanels to 160 nodes; larger inputs are thinned to this many points first.
constexpr std::size_t kMaxPoints = 400;

PreparedAirfoil prepareAirfoil(const std::vector<Point>& raw);

// Largest distance between the upper and the lower surface across the chord line, for
// coordinates normalised to the leading edge at the origin and chord 1.
double relativeThickness(const std::vector<Point>& normalised, std::size_t leadingEdge);

// True when two non-neighbouring segments of the open outline cross.
bool selfIntersecting(const std::vector<Point>& points);

}  // namespace xfoilcore
