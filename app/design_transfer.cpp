#include "app/design_transfer.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace design_transfer {

namespace {

double range(const std::vector<double>& values) {
    if (values.empty()) return 0.0;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

// The design point followed worst by the interpolation through points, and how badly.
std::pair<std::size_t, double> worstPoint(const Curve& points, const Curve& design, bemt::spline::spline_type kind) {
    const bemt::spline through(points.x, points.values, kind);
    std::pair<std::size_t, double> worst{0, 0.0};
    for (std::size_t j = 0; j < design.x.size(); ++j) {
        const double difference = std::fabs(through(design.x[j]) - design.values[j]);
        if (difference > worst.second) worst = {j, difference};
    }
    return worst;
}

}  // namespace

double deviation(const Curve& points, const Curve& design, bemt::spline::spline_type kind) {
    const double span = range(design.values);
    if (!(span > 0.0)) return 0.0;
    return worstPoint(points, design, kind).second / span;
}

Curve followingPoints(const Curve& design, bemt::spline::spline_type kind, double tolerance) {
    const std::size_t n = design.x.size();
    if (n <= 2) return design;
    const double allowed = tolerance * range(design.values);
    std::set<std::size_t> kept = {0, n - 1};
    while (kept.size() < n) {
        Curve points;
        for (const std::size_t i : kept) {
            points.x.push_back(design.x[i]);
            points.values.push_back(design.values[i]);
        }
        const auto [index, difference] = worstPoint(points, design, kind);
        if (difference <= allowed || kept.count(index)) return points;
        kept.insert(index);
    }
    return design;
}

Curve resampled(const Curve& design, const std::vector<double>& x) {
    const bemt::spline designed(design.x, design.values, bemt::spline::cubic);
    Curve curve{x, {}};
    for (const double position : x) curve.values.push_back(designed(position));
    return curve;
}

}  // namespace design_transfer
