#include "results/blade_outline.h"

#include "bemt/Common.h"

BladeOutline bladeOutline(const std::vector<bemt::ChordPoint>& points) {
    BladeOutline outline;
    if (points.empty()) return outline;
    const std::size_t n = points.size();
    outline.x.reserve(2 * n + 1);
    outline.y.reserve(2 * n + 1);
    for (const auto& p : points) {
        outline.x.push_back(p.x_rel);
        outline.y.push_back(0.25 * p.c_rel);
    }
    for (std::size_t i = n; i-- > 0;) {
        outline.x.push_back(points[i].x_rel);
        outline.y.push_back(-0.75 * points[i].c_rel);
    }
    outline.x.push_back(outline.x.front());
    outline.y.push_back(outline.y.front());
    outline.relativeArea = bemt::Common::relativeBladeArea(points);
    return outline;
}
