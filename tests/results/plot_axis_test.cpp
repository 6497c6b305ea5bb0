#include <gtest/gtest.h>

#include "results/plot_axis.h"

namespace {

// Tick positions are sums of intervals; they agree with the figures to rounding.
constexpr double kTol = 1e-12;

PlotAxis axisOver(double min, double max) {
    PlotAxis axis;
    axis.widen({min, max});
    axis.computeTicks(false);
    return axis;
}

struct TickCase {
    double min, max;
    double interval, start, end;
    int ticks;
};

TEST(PlotAxisTicks, FollowTheDecadeRules) {
    const TickCase cases[] = {
        {0.3, 7.9, 1.0, 0.0, 8.0, 9},     // r = 7.6 > 5: interval p
        {2.0, 9.0, 1.0, 0.0, 9.0, 10},    // start two intervals above zero drops to 0
        {3.0, 12.0, 1.0, 3.0, 12.0, 10},  // three intervals above zero stays
        {0.25, 1.0, 0.1, 0.0, 1.0, 11},   // start 0.2 is two intervals: 0
        {10.0, 250.0, 50.0, 0.0, 250.0, 6},  // r = 2.4: interval p/2
        {0.0, 1.0, 0.2, 0.0, 1.0, 6},     // r = 1: interval p/5
    };
    for (const auto& c : cases) {
        const PlotAxis axis = axisOver(c.min, c.max);
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        EXPECT_NEAR(axis.interval, c.interval, kTol);
        EXPECT_NEAR(axis.start, c.start, kTol);
        EXPECT_NEAR(axis.end, c.end, kTol);
        EXPECT_NEAR(axis.range, c.end - c.start, kTol);
        EXPECT_EQ(axis.ticks, c.ticks);
    }
}

TEST(PlotAxisTicks, NegativeDataAndImposedIntervals) {
    PlotAxis axis = axisOver(-7.5, -0.5);  // d = 7, interval 1
    EXPECT_DOUBLE_EQ(axis.start, -8.0);
    EXPECT_DOUBLE_EQ(axis.end, 0.0);
    EXPECT_EQ(axis.ticks, 9);
    EXPECT_EQ(axis.ticksBelowZero(), 8);

    axis.computeTicks(false, 2.5);
    EXPECT_DOUBLE_EQ(axis.interval, 2.5);
    EXPECT_DOUBLE_EQ(axis.start, -7.5);
    EXPECT_DOUBLE_EQ(axis.end, 0.0);
    EXPECT_EQ(axis.ticks, 4);
}

TEST(PlotAxisTicks, LogarithmicAxisTicksAtWholeExponents) {
    PlotAxis axis;
    axis.widen({5.3, 6.8});  // log10 of Reynolds numbers
    axis.computeTicks(true);
    EXPECT_DOUBLE_EQ(axis.interval, 1.0);
    EXPECT_DOUBLE_EQ(axis.start, 5.0);
    EXPECT_DOUBLE_EQ(axis.end, 7.0);
    EXPECT_EQ(axis.ticks, 3);
}

TEST(PlotAxisTicks, ForcedZeroStartsAtZero) {
    PlotAxis axis;
    axis.widen({40.0, 47.0});
    axis.computeTicks(false, 0.0, true);  // the data now span 0 .. 47: r = 4.7
    EXPECT_DOUBLE_EQ(axis.interval, 5.0);
    EXPECT_DOUBLE_EQ(axis.start, 0.0);
    EXPECT_DOUBLE_EQ(axis.end, 50.0);
}

TEST(PlotAxisTicks, SingleValuesAndEmptyAxes) {
    // One value gets the interval of its decade and one interval to be drawn in.
    PlotAxis axis = axisOver(3.0, 3.0);
    EXPECT_DOUBLE_EQ(axis.interval, 1.0);
    EXPECT_DOUBLE_EQ(axis.start, 3.0);
    EXPECT_DOUBLE_EQ(axis.end, 4.0);
    EXPECT_EQ(axis.ticks, 2);

    // Zero has no decade; the axis still gets a finite scale.
    axis = axisOver(0.0, 0.0);
    EXPECT_DOUBLE_EQ(axis.interval, 1.0);
    EXPECT_EQ(axis.ticks, 2);

    PlotAxis empty;
    empty.computeTicks(false);
    EXPECT_FALSE(empty.hasData());
    EXPECT_EQ(empty.ticks, 0);
    EXPECT_EQ(empty.range, 0.0);
}

TEST(PlotAxisTicks, NonFiniteValuesAreIgnored) {
    PlotAxis axis;
    axis.widen({std::numeric_limits<double>::quiet_NaN(), 0.3, std::numeric_limits<double>::infinity(), 7.9});
    axis.computeTicks(false);
    EXPECT_DOUBLE_EQ(axis.dataMin, 0.3);
    EXPECT_DOUBLE_EQ(axis.dataMax, 7.9);
    EXPECT_EQ(axis.ticks, 9);
}

TEST(PlotAxisProportional, BothAxesTakeTheLargerInterval) {
    // A blade outline: x/R 0.1 .. 1 (interval 0.1), c/R -0.075 .. 0.025 (interval 0.02).
    PlotAxis x = axisOver(0.1, 1.0);
    PlotAxis y = axisOver(-0.075, 0.025);
    ASSERT_NEAR(y.interval, 0.02, kTol);
    makeProportional(x, y, false, false, false);
    EXPECT_NEAR(x.interval, 0.1, kTol);
    EXPECT_NEAR(y.interval, 0.1, kTol);
    EXPECT_NEAR(y.start, -0.1, kTol);
    EXPECT_NEAR(y.end, 0.1, kTol);
    EXPECT_EQ(y.ticks, 3);
}

TEST(PlotAxisMatching, ASingleIntervalIsSplitToMeetTheOtherGrid) {
    PlotAxis y1 = axisOver(0.0, 8.0);  // 9 ticks
    PlotAxis y2 = axisOver(3.0, 3.0);  // 2 ticks: 3 .. 4
    matchAxes(y1, y2);
    EXPECT_EQ(y1.ticks, 9);
    EXPECT_DOUBLE_EQ(y2.interval, 0.25);  // 8 = 4 * 2: k = 4
    EXPECT_EQ(y2.ticks, 5);
}

TEST(PlotAxisMatching, MultiplesNeedNoChange) {
    PlotAxis y1 = axisOver(0.0, 0.5);  // interval 0.05, 11 ticks: 10 intervals
    PlotAxis y2 = axisOver(0.0, 1.0);  // interval 0.2, 6 ticks: 5 intervals
    ASSERT_EQ(y1.ticks, 11);
    ASSERT_EQ(y2.ticks, 6);
    matchAxes(y1, y2);
    EXPECT_EQ(y1.ticks, 11);
    EXPECT_EQ(y2.ticks, 6);
    EXPECT_DOUBLE_EQ(y2.end, 1.0);
}

TEST(PlotAxisMatching, TheShorterAxisIsExtendedUpwards) {
    PlotAxis y1 = axisOver(0.0, 8.0);   // 9 ticks
    PlotAxis y2 = axisOver(0.0, 0.5);   // interval 0.05, 11 ticks
    ASSERT_EQ(y2.ticks, 11);
    matchAxes(y1, y2);
    EXPECT_EQ(y1.ticks, 11);
    EXPECT_DOUBLE_EQ(y1.start, 0.0);
    EXPECT_DOUBLE_EQ(y1.end, 10.0);
    EXPECT_DOUBLE_EQ(y1.range, 10.0);
    EXPECT_EQ(y2.ticks, 11);
}

TEST(PlotAxisMatching, TheShorterAxisFirstGrowsBelowZero) {
    PlotAxis y1 = axisOver(-0.3, 0.7);  // interval 0.2: -0.4 .. 0.8, 7 ticks, 2 below zero
    PlotAxis y2 = axisOver(0.0, 10.0);  // interval 2: 0 .. 10, 6 ticks
    ASSERT_EQ(y1.ticks, 7);
    ASSERT_EQ(y1.ticksBelowZero(), 2);
    matchAxes(y1, y2);
    EXPECT_EQ(y2.ticks, 7);
    EXPECT_DOUBLE_EQ(y2.start, -2.0);
    EXPECT_DOUBLE_EQ(y2.end, 10.0);
    EXPECT_DOUBLE_EQ(y2.range, 12.0);
}

TEST(PlotAxisLabels, FormatFollowsTheInterval) {
    EXPECT_STREQ(tickLabelFormat(5000.0), "%.2g");
    EXPECT_STREQ(tickLabelFormat(1000.0), "%.2g");
    EXPECT_STREQ(tickLabelFormat(50.0), "%.0f");
    EXPECT_STREQ(tickLabelFormat(1.0), "%.0f");
    EXPECT_STREQ(tickLabelFormat(0.5), "%.1f");
    EXPECT_STREQ(tickLabelFormat(0.1), "%.1f");
    EXPECT_STREQ(tickLabelFormat(0.02), "%.2f");
    EXPECT_STREQ(tickLabelFormat(0.005), "%.3f");

    EXPECT_EQ(tickLabel(2000.0, 1000.0, false), "2e+03");
    EXPECT_EQ(tickLabel(0.30000000000000004, 0.1, false), "0.3");
    EXPECT_EQ(tickLabel(-1e-17, 0.1, false), "0.0");  // no "-0.0" from rounding noise
    EXPECT_EQ(tickLabel(6.0, 1.0, true), "10⁶");
    EXPECT_EQ(tickLabel(-3.0, 1.0, true), "10⁻³");
}

}  // namespace

namespace {

TEST(PlotAxisZoom, ZoomShowsTheSpanWithoutDroppingToZero) {
    PlotAxis axis;
    axis.widen({0.0, 100.0});
    axis.computeTicks(false);
    axis.zoomTo(1.5, 9.0, false);  // d = 7.5: interval 1; the start 1 is one interval up
    EXPECT_DOUBLE_EQ(axis.interval, 1.0);
    EXPECT_DOUBLE_EQ(axis.start, 1.0);
    EXPECT_DOUBLE_EQ(axis.end, 9.0);
    EXPECT_EQ(axis.ticks, 9);
    axis.zoomTo(5.0, 5.0, false);  // an empty span changes nothing
    EXPECT_DOUBLE_EQ(axis.start, 1.0);
}

}  // namespace

namespace {

TEST(PlotAxisTicks, OverflowingDataGiveNoTicks) {
    PlotAxis axis;
    axis.widen({-1e308, 1e308});  // the span overflows
    axis.computeTicks(false);
    EXPECT_EQ(axis.ticks, 0);
    EXPECT_EQ(axis.range, 0.0);
}

}  // namespace
