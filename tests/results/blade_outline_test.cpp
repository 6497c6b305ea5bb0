#include <gtest/gtest.h>

#include "results/blade_outline.h"

namespace {

TEST(BladeOutline, TwoPointsGiveAClosedOutlineAndTheTrapezoidArea) {
    const BladeOutline outline = bladeOutline({{0.1, 0.1}, {1.0, 0.05}});
    // Leading edge root to tip, trailing edge tip to root, root again.
    const std::vector<double> x = {0.1, 1.0, 1.0, 0.1, 0.1};
    const std::vector<double> y = {0.025, 0.0125, -0.0375, -0.075, 0.025};
    ASSERT_EQ(outline.x.size(), 5u);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_DOUBLE_EQ(outline.x[i], x[i]);
        EXPECT_DOUBLE_EQ(outline.y[i], y[i]);
    }
    // (0.1 + 0.05) / 2 * 0.9
    EXPECT_NEAR(outline.relativeArea, 0.0675, 1e-15);
}

TEST(BladeOutline, SinglePointHasThreeOutlinePointsAndNoArea) {
    const BladeOutline outline = bladeOutline({{0.5, 0.08}});
    EXPECT_EQ(outline.x.size(), 3u);
    EXPECT_DOUBLE_EQ(outline.y[0], 0.02);
    EXPECT_DOUBLE_EQ(outline.y[1], -0.06);
    EXPECT_DOUBLE_EQ(outline.y[2], 0.02);
    EXPECT_EQ(outline.relativeArea, 0.0);
}

TEST(BladeOutline, NoPointsNoOutline) {
    const BladeOutline outline = bladeOutline({});
    EXPECT_TRUE(outline.x.empty());
    EXPECT_EQ(outline.relativeArea, 0.0);
}

TEST(BladeOutline, AreaOfATaperedBladeByHand) {
    // Three stations: 0.2 .. 0.6 with c 0.1 -> 0.06, 0.6 .. 1.0 with 0.06 -> 0.02.
    const BladeOutline outline = bladeOutline({{0.2, 0.1}, {0.6, 0.06}, {1.0, 0.02}});
    EXPECT_NEAR(outline.relativeArea, 0.08 * 0.4 + 0.04 * 0.4, 1e-15);
    EXPECT_EQ(outline.x.size(), 7u);
}

}  // namespace
