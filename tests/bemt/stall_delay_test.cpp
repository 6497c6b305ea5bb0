// Rotational stall delay against hand computations: the lift factors of Du & Selig and
// Snel, the fade, the limit and Eggers' drag, the lift line of a table whose line is
// known, a cylinder left alone, and the settings' problems.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TestPolars.h"
#include "bemt/Common.h"
#include "bemt/StallDelay.h"

namespace {

using bemt::Common::deg2rad;
namespace StallDelay = bemt::StallDelay;

TEST(StallDelay, LiftFactorsOfBothModelsAgreeWithHandValues) {
    // c/r 0.3 at x 0.2, lambda 7: Lambda = 7/sqrt(50), (c/r)^(1/(Lambda x)) = 0.3^5.0508.
    EXPECT_NEAR(StallDelay::duSeligFactor(0.3, 0.2, 7.0), 0.441049511541, 1e-11);
    // c/r 0.05 at x 0.8 gives -0.0631 by the formula: clamped.
    EXPECT_EQ(StallDelay::duSeligFactor(0.05, 0.8, 7.0), 0.0);
    EXPECT_NEAR(StallDelay::snelFactor(0.2), 0.12, 1e-15);
    bemt::StallDelaySettings outboard;
    outboard.x_max = 0.5;
    EXPECT_EQ(StallDelay::liftFactor(outboard, 0.3, 0.6, 7.0), 0.0);
    EXPECT_GT(StallDelay::liftFactor(outboard, 0.3, 0.4, 7.0), 0.0);
}

// Line 2 pi alpha; default fade (25 to 45 degrees) and limit (0.25). Expected values by
// hand: dcl = w clamp(f (2 pi alpha - cl)), dcd = dcl (sin a - 0.12 cos a)/(cos a + 0.12 sin a).
TEST(StallDelay, CorrectionFadesLimitsAndAddsEggersDrag) {
    struct Row {
        double alphaDeg, cl, cd, factor;
        bemt::StallDrag drag;
        double cl3d, cd3d;
    };
    const Row rows[] = {
        {10.0, 0.9, 0.02, 0.5, bemt::StallDrag::Eggers, 0.998311355616, 0.0254228386983},   // full
        {10.0, 0.9, 0.02, 0.5, bemt::StallDrag::None, 0.998311355616, 0.02},                // lift only
        {35.0, 1.0, 0.3, 0.5, bemt::StallDrag::Eggers, 1.125, 0.366904313701},              // limit, half fade
        {50.0, 1.1, 0.8, 0.5, bemt::StallDrag::Eggers, 1.1, 0.8},                            // beyond the fade
        {-20.0, -0.8, 0.1, 0.1, bemt::StallDrag::Eggers, -0.939324542246, 0.170508490361},  // negative stall
        {370.0, 0.9, 0.02, 0.5, bemt::StallDrag::Eggers, 0.998311355616, 0.0254228386983},  // a full turn on
    };
    for (const Row& row : rows) {
        bemt::StallDelaySettings settings;
        settings.drag = row.drag;
        const bemt::StallDelayCorrection correction(settings, row.factor, {2.0 * std::numbers::pi, 0.0});
        const bemt::LiftDrag corrected = correction.apply(deg2rad(row.alphaDeg), {row.cl, row.cd});
        EXPECT_NEAR(corrected.cl, row.cl3d, 1e-11) << row.alphaDeg;
        EXPECT_NEAR(corrected.cd, row.cd3d, 1e-11) << row.alphaDeg;
    }
}

// Eggers' factor is evaluated by its own tangent over the whole fade range (the limit of
// fade_end is 80 degrees: the angle less atan 0.12 stays within 87 degrees).
TEST(StallDelay, EggersTangentAgreesWithTheLibrarysOverTheFadeRange) {
    for (double x = -1.52; x <= 1.52; x += 0.0007) {
        const double expected = std::tan(x);
        EXPECT_NEAR(bemt::StallDelayCorrection::tangent(x), expected, 4e-15 * std::fabs(expected) + 1e-300) << x;
    }
}

// cl = 0.1 (alpha + 2) per degree up to 8 degrees, stalled beyond: the fit over -5 to 5
// degrees finds the line; a cylinder has none and stays as it is.
TEST(StallDelay, ElementFitsTheTablesLineAndLeavesACylinderAlone) {
    auto polar = korvane::testing::csvPolar(
        "alpha,cl,cd\n-10,-0.8,0.02\n-5,-0.3,0.01\n-3,-0.1,0.01\n0,0.2,0.01\n2,0.4,0.01\n5,0.7,0.012\n8,1.0,0.02\n"
        "12,1.1,0.05\n16,0.9,0.12\n20,0.8,0.2\n");
    const bemt::StallDelayCorrection correction = bemt::stallDelayCorrection({}, 0.2, 0.06, 7.0, *polar);
    ASSERT_TRUE(correction.active());
    EXPECT_NEAR(correction.line().slope, 0.1 * 180.0 / std::numbers::pi, 1e-9);
    EXPECT_NEAR(correction.line().alpha0, deg2rad(-2.0), 1e-12);
    EXPECT_NEAR(correction.factor(), StallDelay::duSeligFactor(0.3, 0.2, 7.0), 1e-15);
    // On the line there is nothing to correct.
    EXPECT_NEAR(correction.apply(deg2rad(2.0), {0.4, 0.01}).cl, 0.4, 1e-12);

    auto cylinderRows = korvane::testing::csvPolar("alpha,cl,cd\n-30,0,0.5\n-4,0,0.5\n4,0,0.5\n40,0,0.5\n");
    const bemt::StallDelayCorrection round = bemt::stallDelayCorrection({}, 0.2, 0.06, 7.0, *cylinderRows);
    EXPECT_FALSE(round.active());
    EXPECT_EQ(round.apply(deg2rad(20.0), {0.0, 0.5}).cl, 0.0);
    // A table with one row in the window is read at every degree of it: its line
    // (0.1 per degree through 0, between its rows) is found all the same.
    auto coarse = korvane::testing::csvPolar("alpha,cl,cd\n-10,-1.0,0.02\n0,0.0,0.01\n10,1.0,0.02\n");
    EXPECT_NEAR(bemt::stallDelayCorrection({}, 0.2, 0.06, 7.0, *coarse).line().alpha0, 0.0, 1e-3);
}

TEST(StallDelay, SettingsOutsideTheirRangesAreNamedByKey) {
    using Settings = bemt::StallDelaySettings;
    struct Case {
        void (*change)(Settings&);
        const char* key;
        const char* message;
    };
    const Case cases[] = {
        {[](Settings& s) { s.fit_min = std::nan(""); }, "fit_min",
         "the fit angle of the lift line [deg] nan lies outside its range, -30 to 30."},
        {[](Settings& s) { s.fit_min = 5.0, s.fit_max = -5.0; }, "fit_max",
         "the fit window must end above its start: fit_min 5, fit_max -5."},
        {[](Settings& s) { s.fade_start = 50.0; }, "fade_end",
         "the fade must end above its start: fade_start 50, fade_end 45."},
        {[](Settings& s) { s.fade_end = 100.0; }, "fade_end", "the fade angle [deg] 100 lies outside its range, 0 to 80."},
        {[](Settings& s) { s.max_delta_cl = -1.0; }, "max_delta_cl",
         "the largest lift change -1 lies outside its range, 0 to 2."},
        {[](Settings& s) { s.x_max = 0.0; }, "x_max",
         "the outer limit x/R of the correction 0 lies outside its range, greater than 0 and at most 1."},
    };
    for (const Case& c : cases) {
        Settings settings;
        c.change(settings);
        const auto problems = StallDelay::problems(settings);
        ASSERT_EQ(problems.size(), 1u) << c.key;
        EXPECT_EQ(problems[0].key, c.key);
        EXPECT_EQ(problems[0].message, c.message);
    }
    EXPECT_TRUE(StallDelay::problems({}).empty());
    bemt::StallLift lift;
    EXPECT_FALSE(StallDelay::liftFromName("Du_Selig", lift));
    EXPECT_TRUE(StallDelay::liftFromName("snel", lift));
}

}  // namespace
