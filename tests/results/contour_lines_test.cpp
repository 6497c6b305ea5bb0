// Contour lines by marching squares, against values whose level lines are known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "results/contour_lines.h"

namespace {

TEST(ContourLines, FollowTheLevelOfLinearValuesAndSkipMissingCells) {
    // v = x + y on a 3 x 3 grid: the level 1.5 is the straight line x + y = 1.5, crossing
    // three cells; each piece ends on the cell sides where the sides' values pass 1.5.
    const std::vector<double> x = {0.0, 1.0, 2.0}, y = {0.0, 1.0, 2.0};
    std::vector<std::vector<double>> v(3, std::vector<double>(3));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) v[i][j] = x[i] + y[j];
    const auto line = contourSegments(x, y, v, 1.5);
    ASSERT_EQ(line.size(), 3u);
    for (const ContourSegment& s : line) {
        EXPECT_NEAR(s.x1 + s.y1, 1.5, 1e-12);
        EXPECT_NEAR(s.x2 + s.y2, 1.5, 1e-12);
        EXPECT_GT(std::hypot(s.x2 - s.x1, s.y2 - s.y1), 0.5);
    }
    // Outside the values, or in a cell with a missing value: nothing.
    EXPECT_TRUE(contourSegments(x, y, v, 5.0).empty());
    v[0][0] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(contourSegments(x, y, v, 0.5).size(), 0u);
    EXPECT_EQ(contourSegments(x, y, v, 1.5).size(), 2u);

    // A saddle (1 0 / 0 1) with its mean 0.5 above the level 0.4: the two high corners
    // connect, two short pieces cut off the low corners.
    const std::vector<double> u = {0.0, 1.0};
    const auto saddle = contourSegments(u, u, {{1.0, 0.0}, {0.0, 1.0}}, 0.4);
    ASSERT_EQ(saddle.size(), 2u);
    for (const ContourSegment& s : saddle) EXPECT_NEAR(std::hypot(s.x2 - s.x1, s.y2 - s.y1), 0.4 * std::sqrt(2.0), 1e-12);
}

}  // namespace
