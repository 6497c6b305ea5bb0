#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

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
    bool logarithmic = false, forceZero = false;
};

TEST(PlotAxisTicks, FollowTheDecadeRules) {
    const TickCase cases[] = {
        {0.3, 7.9, 1.0, 0.0, 8.0, 9},                   // r = 7.6 > 5: interval p
        {2.0, 9.0, 1.0, 0.0, 9.0, 10},                  // start two intervals above zero drops to 0
        {3.0, 12.0, 1.0, 3.0, 12.0, 10},                // three intervals above zero stays
        {0.25, 1.0, 0.1, 0.0, 1.0, 11},                 // start 0.2 is two intervals: 0
        {10.0, 250.0, 50.0, 0.0, 250.0, 6},             // r = 2.4: interval p/2
        {0.0, 1.0, 0.2, 0.0, 1.0, 6},                   // r = 1: interval p/5
        {-7.5, -0.5, 1.0, -8.0, 0.0, 9},                // negative data: d = 7
        {5.3, 6.8, 1.0, 5.0, 7.0, 3, true},             // log10 of Reynolds numbers: whole exponents
        {40.0, 47.0, 5.0, 0.0, 50.0, 11, false, true},  // forced zero: the data span 0 .. 47, r = 4.7
        {3.0, 3.0, 1.0, 2.0, 4.0, 3},                   // one value: its decade's interval on either side
        {2.0, 2.0, 1.0, 1.0, 3.0, 3},                   // also where a range would start at 0
        {20.0, 20.0, 10.0, 10.0, 30.0, 3},
    };
    for (const auto& c : cases) {
        PlotAxis axis;
        axis.widen({c.min, c.max});
        axis.computeTicks(c.logarithmic, 0.0, c.forceZero);
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        EXPECT_NEAR(axis.interval, c.interval, kTol);
        EXPECT_NEAR(axis.start, c.start, kTol);
        EXPECT_NEAR(axis.end, c.end, kTol);
        EXPECT_NEAR(axis.range, c.end - c.start, kTol);
        EXPECT_EQ(axis.ticks, c.ticks);
    }
}

TEST(PlotAxisTicks, NegativeDataAndImposedIntervals) {
    PlotAxis axis = axisOver(-7.5, -0.5);  // -8 .. 0 by 1
    EXPECT_EQ(axis.ticksBelowZero(), 8);

    axis.computeTicks(false, 2.5);
    EXPECT_DOUBLE_EQ(axis.interval, 2.5);
    EXPECT_DOUBLE_EQ(axis.start, -7.5);
    EXPECT_DOUBLE_EQ(axis.end, 0.0);
    EXPECT_EQ(axis.ticks, 4);
}

TEST(PlotAxisTicks, SingleValuesAndEmptyAxes) {
    // Zero has no decade; the axis still gets a finite scale, with the value in the middle.
    PlotAxis axis = axisOver(0.0, 0.0);
    EXPECT_DOUBLE_EQ(axis.interval, 1.0);
    EXPECT_DOUBLE_EQ(axis.start, -1.0);
    EXPECT_EQ(axis.ticks, 3);

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

// Both axes share their grid lines, cover their data, and spend little height on nothing.
void expectMatched(const PlotAxis& y1, const PlotAxis& y2, double maxWaste) {
    EXPECT_EQ(y1.ticks, y2.ticks);
    for (const PlotAxis* a : {&y1, &y2}) {
        EXPECT_LE(a->start, a->shownMin + 1e-12);
        EXPECT_GE(a->end, a->shownMax - 1e-12);
        EXPECT_NEAR(a->range, a->end - a->start, 1e-12);
        if (a->shownMax > a->shownMin) {
            EXPECT_LE(a->range / (a->shownMax - a->shownMin), maxWaste);
        }
    }
}

TEST(PlotAxisMatching, LiftAndDragShareGridLinesWithoutStretchingLift) {
    // An XFOIL polar: Cl -0.9 .. 1.6 on the left, Cd 0.005 .. 0.25 on the right. The lift
    // axis once ran to 4.5 here, for a peak of 1.6.
    PlotAxis cl = axisOver(-0.9, 1.6), cd = axisOver(0.005, 0.25);
    matchAxes(cl, cd);
    expectMatched(cl, cd, 2.0);
    EXPECT_LE(cl.end, 2.0);
    EXPECT_GE(cl.start, -1.0);
}

TEST(PlotAxisMatching, RandomPairsCoverTheirDataOnCommonGridLines) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> exponent(-3.0, 6.0), share(-1.0, 1.0);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const double scale1 = std::pow(10.0, exponent(random)), scale2 = std::pow(10.0, exponent(random));
        double a = share(random) * scale1, b = share(random) * scale1;
        double c = share(random) * scale2, d = share(random) * scale2;
        PlotAxis y1 = axisOver(std::min(a, b), std::max(a, b)), y2 = axisOver(std::min(c, d), std::max(c, d));
        matchAxes(y1, y2);
        expectMatched(y1, y2, 3.0);
    }
}

TEST(PlotAxisMatching, LogarithmicLeftAxisKeepsWholeDecadesAndForcedZeroStays) {
    // log10 Re 5.3 .. 6.8 against a tip loss factor 0.2 .. 1.
    PlotAxis re;
    re.widen({5.3, 6.8});
    re.computeTicks(true);
    PlotAxis f = axisOver(0.2, 1.0);
    matchAxes(re, f, true);
    expectMatched(re, f, 3.0);
    EXPECT_DOUBLE_EQ(re.interval, std::round(re.interval));
    EXPECT_DOUBLE_EQ(re.start, std::round(re.start));

    // Forced zero: 0 stays inside both matched axes.
    PlotAxis p, t;
    p.widen({40.0, 470.0});
    p.computeTicks(false, 0.0, true);
    t.widen({3.0, 9.0});
    t.computeTicks(false, 0.0, true);
    matchAxes(p, t);
    expectMatched(p, t, 3.0);
    EXPECT_DOUBLE_EQ(p.start, 0.0);
    EXPECT_DOUBLE_EQ(t.start, 0.0);
}

TEST(PlotAxisForceZero, IncludesZeroAndNeverHidesData) {
    // Power of a pitched rotor: negative at low wind. Forcing zero must keep the curve.
    PlotAxis negative;
    negative.widen({-120.0, 35.0});
    negative.computeTicks(false, 0.0, true);
    EXPECT_LE(negative.start, -120.0);
    EXPECT_GE(negative.end, 35.0);
    PlotAxis below;
    below.widen({-80.0, -20.0});
    below.computeTicks(false, 0.0, true);
    EXPECT_LE(below.start, -80.0);
    EXPECT_DOUBLE_EQ(below.end, 0.0);
    PlotAxis above;
    above.widen({40.0, 47.0});
    above.computeTicks(false, 0.0, true);
    EXPECT_DOUBLE_EQ(above.start, 0.0);
    EXPECT_GE(above.end, 47.0);
    // Without forcing, the axis hugs the data.
    above.computeTicks(false);
    EXPECT_DOUBLE_EQ(above.start, 40.0);
}

bool allDistinct(const std::vector<std::string>& labels) {
    return std::set<std::string>(labels.begin(), labels.end()).size() == labels.size();
}

std::string joined(const std::vector<std::string>& labels) {
    std::string text;
    for (const auto& l : labels) text += l + " ";
    return text;
}

TEST(PlotAxisLabels, DigitsFollowTheInterval) {
    EXPECT_EQ(tickLabels(axisOver(0.0, 250.0), false), (std::vector<std::string>{"0", "50", "100", "150", "200", "250"}));
    EXPECT_EQ(tickLabels(axisOver(0.0, 0.5), false)[1], "0.05");
    EXPECT_EQ(tickLabels(axisOver(0.0, 1.0), false)[1], "0.2");
    EXPECT_EQ(tickLabels(axisOver(-0.8, 0.1), false).front(), "-0.8");
    // Rounding noise gives no "-0.0".
    PlotAxis noisy = axisOver(-0.3, 0.3);
    for (const auto& label : tickLabels(noisy, false)) EXPECT_NE(label, "-0.0");
    // Cd axis 0.009 .. 0.011: the labels once read 0.010 0.010 0.009.
    const auto cd = tickLabels(axisOver(0.0091, 0.0109), false);
    EXPECT_TRUE(allDistinct(cd)) << joined(cd);
    EXPECT_EQ(cd.front(), "0.0090");
    // Millions in powers of ten, with the digits that tell ticks apart.
    const auto big = tickLabels(axisOver(2.0e6, 2.4e6), false);
    EXPECT_EQ(big.front(), "2.00e+06");
    EXPECT_TRUE(allDistinct(big)) << joined(big);
}

TEST(PlotAxisLabels, LogarithmicAxesLabelDecadesAndZoomedValues) {
    PlotAxis re;
    re.widen({5.3, 6.8});
    re.computeTicks(true);
    EXPECT_EQ(tickLabels(re, true), (std::vector<std::string>{"10⁵", "10⁶", "10⁷"}));
    PlotAxis small;
    small.widen({-3.2, -1.1});
    small.computeTicks(true);
    EXPECT_EQ(tickLabels(small, true).front(), "10⁻⁴");
    // Zoomed within a decade (the labels once read 10⁶ 10⁶ 10⁶ 10⁷): the values.
    re.zoomTo(6.0, 6.5, true);
    const auto zoomed = tickLabels(re, true);
    EXPECT_TRUE(allDistinct(zoomed)) << joined(zoomed);
    EXPECT_EQ(zoomed.front(), "1e+06");
}

TEST(PlotAxisLabels, DistinctOverRandomLinearAndLogarithmicRanges) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-5.0, 8.0), share(-1.0, 1.0), unit(0.0, 1.0);
    for (int i = 0; i < 400; ++i) {
        const double scale = std::pow(10.0, exponent(random));
        double a = share(random) * scale, b = share(random) * scale;
        if (i % 4 == 0) b = a + std::fabs(a) * 1e-3 * unit(random) + scale * 1e-6;  // narrow spans far from zero
        const double lo = std::min(a, b), hi = std::max(a, b);
        PlotAxis axis = axisOver(lo, hi);
        const auto labels = tickLabels(axis, false);
        ASSERT_EQ(static_cast<int>(labels.size()), axis.ticks);
        EXPECT_TRUE(allDistinct(labels)) << lo << " .. " << hi << ": " << joined(labels);
        // Zoomed views of the same data.
        const double from = lo + (hi - lo) * unit(random) * 0.5;
        axis.zoomTo(from, from + (hi - from) * (0.01 + unit(random)), false);
        const auto zoomed = tickLabels(axis, false);
        EXPECT_TRUE(allDistinct(zoomed)) << axis.start << " .. " << axis.end << ": " << joined(zoomed);

        // Exponents of Reynolds numbers and the like, whole and zoomed.
        PlotAxis log;
        const double e1 = 8.0 * unit(random) - 1.0, e2 = e1 + 4.0 * unit(random);
        log.widen({e1, e2});
        log.computeTicks(true);
        const auto decades = tickLabels(log, true);
        EXPECT_TRUE(allDistinct(decades)) << e1 << " .. " << e2 << ": " << joined(decades);
        log.zoomTo(e1, e1 + (e2 - e1 + 0.01) * unit(random) + 0.001, true);
        const auto values = tickLabels(log, true);
        EXPECT_TRUE(allDistinct(values)) << log.start << " .. " << log.end << ": " << joined(values);
    }
}

TEST(PlotAxisZoom, ZoomShowsExactlyTheSpanWithRoundTicksInside) {
    PlotAxis axis;
    axis.widen({0.0, 250.0});
    axis.computeTicks(false);
    axis.zoomTo(12.5, 187.5, false);  // d = 175: interval 20
    EXPECT_DOUBLE_EQ(axis.start, 12.5);
    EXPECT_DOUBLE_EQ(axis.end, 187.5);
    EXPECT_DOUBLE_EQ(axis.interval, 20.0);
    EXPECT_DOUBLE_EQ(axis.firstTick, 20.0);
    EXPECT_EQ(axis.ticks, 9);  // 20 .. 180
    EXPECT_DOUBLE_EQ(axis.tick(8), 180.0);
    axis.zoomTo(5.0, 5.0, false);  // an empty span changes nothing
    EXPECT_DOUBLE_EQ(axis.start, 12.5);
}

TEST(PlotAxisTicks, OverflowingDataGiveNoTicks) {
    PlotAxis axis;
    axis.widen({-1e308, 1e308});  // the span overflows
    axis.computeTicks(false);
    EXPECT_EQ(axis.ticks, 0);
    EXPECT_EQ(axis.range, 0.0);
}

}  // namespace
