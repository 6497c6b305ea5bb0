#include <gtest/gtest.h>

#include "results/blade_outline.h"

namespace {

// The outline runs along the leading edge from root to tip, back along the trailing edge
// and to the root again; the area is the trapezoids' by hand.
TEST(BladeOutline, ClosedOutlinesAndTheTrapezoidAreaOfAnyNumberOfPoints) {
    const struct {
        std::vector<bemt::ChordPoint> points;
        std::vector<double> x, y;  // all of the outline, or its first points
        std::size_t size;
        double area;
    } rows[] = {
        {{}, {}, {}, 0, 0.0},
        {{{0.5, 0.08}}, {}, {0.02, -0.06, 0.02}, 3, 0.0},
        // (0.1 + 0.05) / 2 * 0.9
        {{{0.1, 0.1}, {1.0, 0.05}}, {0.1, 1.0, 1.0, 0.1, 0.1}, {0.025, 0.0125, -0.0375, -0.075, 0.025}, 5, 0.0675},
        // 0.2 .. 0.6 with c 0.1 -> 0.06, 0.6 .. 1.0 with 0.06 -> 0.02.
        {{{0.2, 0.1}, {0.6, 0.06}, {1.0, 0.02}}, {}, {}, 7, 0.08 * 0.4 + 0.04 * 0.4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.points.size());
        const BladeOutline outline = bladeOutline(row.points);
        ASSERT_EQ(outline.x.size(), row.size);
        for (std::size_t i = 0; i < row.x.size(); ++i) EXPECT_DOUBLE_EQ(outline.x[i], row.x[i]) << i;
        for (std::size_t i = 0; i < row.y.size(); ++i) EXPECT_DOUBLE_EQ(outline.y[i], row.y[i]) << i;
        EXPECT_NEAR(outline.relativeArea, row.area, 1e-15);
    }
}

}  // namespace
