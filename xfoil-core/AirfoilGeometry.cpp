#include "AirfoilGeometry.h"

#include <algorithm>
#include <cmath>

namespace xfoilcore {

namespace {

double cross(const Point& o, const Point& a, const Point& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Proper crossing only: segments that merely touch (a shared trailing-edge point, or
// trailing-edge points a rounding error apart on a chord-1 outline) do not count.
bool segmentsCross(const Point& a, const Point& b, const Point& c, const Point& d) {
    constexpr double eps = 1e-12;
    auto opposite = [](double u, double v) { return (u > eps && v < -eps) || (u < -eps && v > eps); };
    return opposite(cross(c, d, a), cross(c, d, b)) && opposite(cross(a, b, c), cross(a, b, d));
}

// y of the polyline at x, from its first segment spanning x.
bool interpolateY(const std::vector<Point>& branch, double x, double& y) {
    for (std::size_t i = 0; i + 1 < branch.size(); ++i) {
        const Point& a = branch[i];
        const Point& b = branch[i + 1];
        if ((x < std::min(a.x, b.x)) || (x > std::max(a.x, b.x))) continue;
        if (a.x == b.x) {
            y = std::max(a.y, b.y);
            return true;
        }
        y = a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        return true;
    }
    return false;
}

double largestGap(const std::vector<Point>& from, const std::vector<Point>& to) {
    double gap = 0.0;
    for (const Point& p : from) {
        double y = 0.0;
        if (p.x > 0.0 && p.x < 1.0 && interpolateY(to, p.x, y)) gap = std::max(gap, std::fabs(p.y - y));
    }
    return gap;
}

// At most kMaxPoints points, evenly by index along each surface, keeping both ends and
// the leading edge, whose new index goes to leadingEdge. Picks that repeat a point
// (a surface with fewer points than its share) are dropped: XFOIL stops on duplicates.
std::vector<Point> thinned(const std::vector<Point>& points, std::size_t& leadingEdge) {
    if (points.size() <= kMaxPoints) return points;
    std::vector<Point> out;
    std::size_t last = points.size();
    auto keep = [&](std::size_t index) {
        if (index == last) return;
        last = index;
        out.push_back(points[index]);
    };
    const std::size_t half = kMaxPoints / 2;
    const std::size_t le = leadingEdge;
    for (std::size_t k = 0; k < half; ++k) keep(le * k / half);
    leadingEdge = out.size();
    keep(le);
    const std::size_t tail = points.size() - 1 - le;
    for (std::size_t k = 1; k < half - 1; ++k) keep(le + tail * k / (half - 1));
    keep(points.size() - 1);
    return out;
}

}  // namespace

bool selfIntersecting(const std::vector<Point>& points) {
    const std::size_t segments = points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        for (std::size_t j = i + 2; j < segments; ++j) {
            if (segmentsCross(points[i], points[i + 1], points[j], points[j + 1])) return true;
        }
    }
    return false;
}

double relativeThickness(const std::vector<Point>& normalised, std::size_t leadingEdge) {
    // Into the chord frame: the trailing-edge mid-point on the positive x axis.
    const Point te{(normalised.front().x + normalised.back().x) / 2, (normalised.front().y + normalised.back().y) / 2};
    const double angle = std::atan2(te.y, te.x);
    const double c = std::cos(-angle), s = std::sin(-angle);
    std::vector<Point> rotated;
    rotated.reserve(normalised.size());
    for (const Point& p : normalised) rotated.push_back({p.x * c - p.y * s, p.x * s + p.y * c});
    const std::vector<Point> first(rotated.begin(), rotated.begin() + static_cast<std::ptrdiff_t>(leadingEdge) + 1);
    const std::vector<Point> second(rotated.begin() + static_cast<std::ptrdiff_t>(leadingEdge), rotated.end());
    return std::max(largestGap(first, second), largestGap(second, first));
}

PreparedAirfoil prepareAirfoil(const std::vector<Point>& raw) {
    PreparedAirfoil result;
    for (const Point& p : raw) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            result.reason = "a coordinate is not a finite number";
            return result;
        }
    }
    std::vector<Point> points;
    for (const Point& p : raw) {
        if (points.empty() || p.x != points.back().x || p.y != points.back().y) points.push_back(p);
    }
    if (points.size() < kMinPoints) {
        result.reason = "too few distinct points";
        return result;
    }

    const Point te{(points.front().x + points.back().x) / 2, (points.front().y + points.back().y) / 2};
    std::size_t leadingEdge = 0;
    double chord = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double d = std::hypot(points[i].x - te.x, points[i].y - te.y);
        if (d > chord) {
            chord = d;
            leadingEdge = i;
        }
    }
    if (!(chord > 0.0) || leadingEdge == 0 || leadingEdge + 1 == points.size()) {
        result.reason = "no leading edge between the trailing-edge points";
        return result;
    }
    const Point le = points[leadingEdge];
    if (le.x > te.x) {
        // XFOIL would analyse it flying backwards, slowly and uselessly.
        result.reason = "the trailing edge lies left of the leading edge (mirrored coordinates)";
        return result;
    }
    for (Point& p : points) p = {(p.x - le.x) / chord, (p.y - le.y) / chord};
    // XFOIL sees the thinned outline, so that is the one to check (and it keeps the
    // quadratic crossing test short).
    points = thinned(points, leadingEdge);

    if (selfIntersecting(points)) {
        result.reason = "the outline crosses itself";
        return result;
    }
    result.thickness = relativeThickness(points, leadingEdge);
    if (!(result.thickness > 1e-4)) {
        result.reason = "the airfoil has no thickness";
        return result;
    }
    result.points = std::move(points);
    result.valid = true;
    return result;
}

}  // namespace xfoilcore
