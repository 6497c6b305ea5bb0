#include "results/contour_lines.h"

#include <array>
#include <cmath>

namespace {

struct Point {
    double x, y;
};

}  // namespace

std::vector<ContourSegment> contourSegments(const std::vector<double>& x, const std::vector<double>& y,
                                            const std::vector<std::vector<double>>& values, double level) {
    std::vector<ContourSegment> segments;
    if (x.size() < 2 || y.size() < 2 || values.size() < x.size()) return segments;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        if (values[i].size() < y.size() || values[i + 1].size() < y.size()) continue;
        for (std::size_t j = 0; j + 1 < y.size(); ++j) {
            // Corners counter-clockwise from the lower left.
            const std::array<Point, 4> corner = {{{x[i], y[j]}, {x[i + 1], y[j]}, {x[i + 1], y[j + 1]}, {x[i], y[j + 1]}}};
            const std::array<double, 4> v = {values[i][j], values[i + 1][j], values[i + 1][j + 1], values[i][j + 1]};
            if (!std::isfinite(v[0] + v[1] + v[2] + v[3])) continue;
            // Where each side passes the level (bottom, right, top, left).
            std::vector<Point> crossings;
            std::vector<int> sides;
            for (int k = 0; k < 4; ++k) {
                const int next = (k + 1) % 4;
                if ((v[k] >= level) == (v[next] >= level)) continue;
                const double t = (level - v[k]) / (v[next] - v[k]);
                crossings.push_back({corner[k].x + t * (corner[next].x - corner[k].x),
                                     corner[k].y + t * (corner[next].y - corner[k].y)});
                sides.push_back(k);
            }
            const auto add = [&](std::size_t a, std::size_t b) {
                segments.push_back({crossings[a].x, crossings[a].y, crossings[b].x, crossings[b].y});
            };
            if (crossings.size() == 2) {
                add(0, 1);
            } else if (crossings.size() == 4) {
                // A saddle: the centre's side decides which corners the lines cut off.
                const bool centreAbove = (v[0] + v[1] + v[2] + v[3]) / 4.0 >= level;
                if (centreAbove == (v[0] >= level)) {
                    add(0, 1);  // cuts off the lower right and the upper left corners
                    add(2, 3);
                } else {
                    add(3, 0);  // cuts off the lower left and the upper right corners
                    add(1, 2);
                }
            }
        }
    }
    return segments;
}
