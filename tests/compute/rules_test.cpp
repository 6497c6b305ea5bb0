// The rules of the compute panel and the result windows that need no display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/compute_rules.h"
#include "results/result_rules.h"

namespace {

bemt::ComputeSettings pitchSweep(double min, double max, double step) {
    bemt::ComputeSettings s;
    s.enable_pitch = true;
    s.p_min = min;
    s.p_max = max;
    s.p_step = step;
    return s;
}

TEST(PitchPositions, ElevenAreAcceptedTwelveAndMoreRefused) {
    EXPECT_EQ(compute_rules::pitchPositions(pitchSweep(0, 20, 2)), 11);
    EXPECT_FALSE(compute_rules::pitchRefusal(pitchSweep(0, 20, 2)));
    for (const auto& s : {pitchSweep(0, 22, 2), pitchSweep(0, 20, 1)}) {
        const auto refusal = compute_rules::pitchRefusal(s);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->caption, "Too many pitch positions.");
        EXPECT_EQ(refusal->message, "Maximum number of pitch positions is 11.");
    }
    EXPECT_EQ(compute_rules::pitchPositions(pitchSweep(0, 20, 1)), 21);
}

TEST(PitchPositions, EqualEndsRunOnceAndNoRegulationRunsZeroOnly) {
    EXPECT_EQ(compute_rules::pitchPositions(pitchSweep(7, 7, 0)), 1);
    EXPECT_FALSE(compute_rules::pitchRefusal(pitchSweep(7, 7, 0)));
    bemt::ComputeSettings off = pitchSweep(0, 100, 1);  // would be 101 positions if it were on
    off.enable_pitch = false;
    EXPECT_EQ(compute_rules::pitchPositions(off), 1);
    EXPECT_FALSE(compute_rules::pitchRefusal(off));
}

TEST(PitchPositions, AnEmptyRangeIsRefusedInsteadOfOpeningAnEmptyWindow) {
    for (const auto& s : {pitchSweep(10, 0, 2), pitchSweep(0, 10, 0), pitchSweep(0, 10, -1)}) {
        const auto refusal = compute_rules::pitchRefusal(s);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->caption, "No pitch positions.");
    }
}

TEST(RangeFields, StepsAndStepSizeFollowEachOther) {
    EXPECT_EQ(compute_rules::rangeSteps(0, 20, 0.5), 41);
    EXPECT_EQ(compute_rules::rangeSteps(0, 14, 0.5), 29);
    EXPECT_EQ(compute_rules::rangeSteps(0, 10, 3), 4);  // 0, 3, 6, 9
    // Counted as the sweep counts, so 0.3 / 0.1 = 2.9999999999999996 still gives 4 values.
    EXPECT_EQ(compute_rules::rangeSteps(0, 0.3, 0.1), 4);
    EXPECT_FALSE(compute_rules::rangeSteps(0, 20, 0));
    EXPECT_FALSE(compute_rules::rangeSteps(20, 0, 1));
}

// Which fields of a performance surface's grid turn red: those that keep the command
// line's --tsr, --pitch and --wind from accepting the grid, and only those.
TEST(SurfaceGrid, TheFieldsAtFaultAndNoOthersAreRed) {
    using compute_rules::SurfaceField;
    struct Case {
        double wind;
        bemt::SweepRange tsr, pitch;
        std::vector<int> red;
        // The end of each range the user typed last.
        std::array<SurfaceField, 2> typed = {SurfaceField::TsrMax, SurfaceField::PitchMax};
    } cases[] = {
        {10, {2, 14, 0.5}, {-2, 20, 1}, {}},
        {10, {5, 5, 0.5}, {7, 7, 0}, {}},                                 // one position of each
        {0, {0, 14, 0.5}, {-2, 20, 1}, {SurfaceField::SurfaceWind, SurfaceField::TsrMin}},
        {10, {14, 2, 0.5}, {20, -2, 1}, {1, 4}},                          // both ranges backwards
        {10, {14, 2, 0.5}, {20, -2, 1}, {0, 4}, {SurfaceField::TsrMin, SurfaceField::PitchMax}},
        {10, {14, 2, 0.5}, {20, -2, 1}, {1, 3}, {SurfaceField::TsrMax, SurfaceField::PitchMin}},
        {10, {2, 14, 0}, {-2, 20, 0}, {SurfaceField::TsrStep, SurfaceField::PitchStep}},
        {10, {2, 150, 0.5}, {200, 20, 1}, {SurfaceField::TsrMax, SurfaceField::PitchMin}},  // no partner marked
        {10, {20, std::nan(""), 0.5}, {-2, 20, 1}, {SurfaceField::TsrMax}},                 // a field without a number
        {10, {2, 14, 150}, {-2, 20, 200}, {SurfaceField::TsrStep, SurfaceField::PitchStep}},
        {10, {0.01, 100, 0.01}, {-2, 20, 1}, {SurfaceField::TsrStep}},      // 10 000 tip speed ratios
        {10, {2, 14, 0.5}, {-5, 90, 0.05}, {SurfaceField::PitchStep}},     // 1 901 pitch angles
        {10, {1, 100, 0.1}, {-5, 90, 0.2}, {SurfaceField::TsrStep, SurfaceField::PitchStep}},  // 991 x 476 points
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.tsr.min << ":" << c.tsr.max << ":" << c.tsr.step << " " << c.pitch.min
                                          << ":" << c.pitch.max << ":" << c.pitch.step);
        const auto faults = compute_rules::surfaceGridFaults(c.wind, c.tsr, c.pitch, c.typed);
        std::vector<int> red;
        for (int i = 0; i < compute_rules::kSurfaceFields; ++i)
            if (faults[static_cast<std::size_t>(i)]) red.push_back(i);
        std::vector<int> expected = c.red;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(red, expected);
    }
}

TEST(ResultTitles, FrameTitleCarriesSerialNumberAndTime) {
    const wxDateTime time(5, wxDateTime::Jan, 2026, 14, 5, 9);
    EXPECT_EQ(result_rules::frameTitle(3, "Performance and blade characteristics", time),
              "3 | Performance and blade characteristics | 14:05:09");
    EXPECT_EQ(result_rules::frameTitle(0, "Turbine characteristics", time), "Turbine characteristics | 14:05:09");
    EXPECT_EQ(result_rules::analyzerTitle(2, time), "Airfoils data analyzer | 2 | 14:05:09");
}

TEST(ResultTitles, SingleAndSeveralPitchAngles) {
    EXPECT_EQ(result_rules::opChartTitle("Induction factors", true, 0.0),
              wxString::FromUTF8("Induction factors at pitch angle 0 ° vs relative x/R"));
    EXPECT_EQ(result_rules::opChartTitle("Induction factors", false, 0.0),
              "Induction factors vs relative x/R and pitch angle");
    EXPECT_EQ(result_rules::opChartTitle("Blade shape", true, 12.345),
              wxString::FromUTF8("Blade shape at pitch angle 12.3 ° vs relative x/R"));
    EXPECT_EQ(result_rules::charChartTitle("Turbine's power", "wind velocity", true, 5.0),
              wxString::FromUTF8("Turbine's power at pitch angle 5 ° vs wind velocity"));
    EXPECT_EQ(result_rules::charChartTitle("Turbine's power coefficient", "tip speed ratio", false, 0.0),
              "Turbine's power coefficient vs tip speed ratio and pitch angle");
    EXPECT_EQ(result_rules::pitchLegend(-2.5), wxString::FromUTF8("-2.5 °"));
    EXPECT_EQ(result_rules::pitchHeading(12.0), wxString::FromUTF8("Pitch angle 12 °"));
    EXPECT_EQ(result_rules::analyzerChartTitle("Polar chart", 0.0625, 1920000.0),
              wxString::FromUTF8("Polar chart at x/R = 0.0625, Re = 1.92 × 10⁶"));
    EXPECT_EQ(result_rules::powerOfTenText(1234.0, 3), "1234");
    EXPECT_EQ(result_rules::powerOfTenText(0.05, 3), "0.05");
    EXPECT_EQ(result_rules::powerOfTenText(-2.5e-5, 2), wxString::FromUTF8("-2.5 × 10⁻⁵"));
}

TEST(ExportNames, TitleBecomesAFileName) {
    EXPECT_EQ(result_rules::exportFileName("Reynolds number, tip loss factor vs relative x/R and pitch angle", ".csv"),
              "reynolds_number_tip_loss_factor_vs_relative_x_r_and_pitch_angle.csv");
    EXPECT_EQ(result_rules::exportFileName(wxString::FromUTF8("Blade shape at pitch angle 0 ° vs relative x/R"), ".png"),
              "blade_shape_at_pitch_angle_0_deg_vs_relative_x_r.png");
    // Plain names: no "=", "+" or runs of "_".
    EXPECT_EQ(result_rules::exportFileName("Polar chart at x/R =0.45, Re =4.1e+06", ".png"),
              "polar_chart_at_x_r_0.45_re_4.1e6.png");
    EXPECT_EQ(result_rules::exportFileName("Lift at Re =2e-05 (x/R = 1)", ".csv"), "lift_at_re_2e-5_x_r_1.csv");
    // The analyser's titles write powers of ten in superscript: the exponent stays.
    EXPECT_EQ(result_rules::exportFileName(wxString::FromUTF8("Polar chart at x/R = 0.45, Re = 1.15 × 10⁷"), ".csv"),
              "polar_chart_at_x_r_0.45_re_1.15e7.csv");
    EXPECT_EQ(result_rules::exportFileName(wxString::FromUTF8("Lift at Re = 2 × 10⁻⁵"), ".csv"), "lift_at_re_2e-5.csv");
    EXPECT_EQ(result_rules::exportFileName("Turbine's power", ".csv"), "turbine_s_power.csv");
}

TEST(AnalyzerAngles, DataRangeWidenedByFourPercentInWholeStepsWithinTheCircle) {
    using Bands = std::vector<result_rules::Interval>;
    const struct {
        double min, max, step;
        bool full;
        std::size_t count;
        double front, back;
        Bands outOfRange;
    } rows[] = {
        // 1 °: m = floor(1.2) = 1, so -11 .. 21; one degree out of range each side.
        {-10, 20, 1.0, false, 33, -11.0, 21.0, Bands{{-11.0, -10.0}, {20.0, 21.0}}},
        {-10, 20, 5.0, false, 7, -10.0, 20.0, Bands{}},  // m = floor(0.24) * 5 = 0
        // Half-degree steps keep their count despite rounding: m = floor(2.4) * 0.5 = 1.
        {-10, 20, 0.5, false, 65, -11.0, 21.0, Bands{{-11.0, -10.0}, {20.0, 21.0}}},
        {-10, 20, 5.0, true, 73, -180.0, 180.0, Bands{{-180.0, -10.0}, {20.0, 180.0}}},
        // A 360° table: the widened default view once ran to ±194° and was flagged out of
        // range, while the full range showed less.
        {-180, 180, 0.5, false, 721, -180.0, 180.0, Bands{}},
        {-180, 180, 2.0, false, 181, -180.0, 180.0, Bands{}},
        {-180, 180, 5.0, false, 73, -180.0, 180.0, Bands{}},
        {-180, 180, 5.0, true, 73, -180.0, 180.0, Bands{}},
        // A table that ends near the circle's end: the margin stops at 180°.
        {-170, 170, 1.0, false, 361, -180.0, 180.0, Bands{{-180.0, -170.0}, {170.0, 180.0}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.min << " .. " << row.max << " by " << row.step << " " << row.full);
        const auto angles = result_rules::analyzerAngles(row.min, row.max, row.step, row.full);
        ASSERT_EQ(angles.angles.size(), row.count);
        EXPECT_DOUBLE_EQ(angles.angles.front(), row.front);
        EXPECT_DOUBLE_EQ(angles.angles.back(), row.back);
        EXPECT_EQ(angles.outOfRange, row.outOfRange);
    }
    EXPECT_TRUE(result_rules::analyzerAngles(-10, 20, 0.0, false).angles.empty());
}

TEST(FlaggedIntervals, NeighboursMeetHalfwayAndRunsMerge) {
    const std::vector<double> x = {0.1, 0.2, 0.3, 0.4, 0.5};
    const auto bands = result_rules::flaggedIntervals(x, {true, true, false, false, true}, 0.01);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_NEAR(bands[0].first, 0.05, 1e-12);
    EXPECT_NEAR(bands[0].second, 0.25, 1e-12);
    EXPECT_NEAR(bands[1].first, 0.45, 1e-12);
    EXPECT_NEAR(bands[1].second, 0.55, 1e-12);
    // Falling positions (wind velocities of a tip speed ratio sweep) give ordered bands.
    const auto falling = result_rules::flaggedIntervals({30.0, 20.0, 15.0}, {false, true, false}, 0.01);
    ASSERT_EQ(falling.size(), 1u);
    EXPECT_DOUBLE_EQ(falling[0].first, 17.5);
    EXPECT_DOUBLE_EQ(falling[0].second, 25.0);
    const auto lone = result_rules::flaggedIntervals({0.5}, {true}, 0.01);
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_NEAR(lone[0].second - lone[0].first, 0.02, 1e-12);
}

}  // namespace

namespace {

TEST(AirfoilFiles, ThePointWithoutAFileIsNamed) {
    std::vector<bemt::AirfoilPoint> points(3);
    points[0].x_rel = 0.06;
    points[0].data_type = bemt::NACA0012;
    points[1].x_rel = 0.5;
    points[1].data_type = bemt::CSVData;
    points[1].path = "polar.csv";
    points[2].x_rel = 0.75;
    points[2].data_type = bemt::Coordinates;
    points[2].repeat = true;  // reads the previous point's file
    EXPECT_FALSE(compute_rules::missingAirfoilFile(points));
    points[2].repeat = false;
    EXPECT_EQ(compute_rules::missingAirfoilFile(points),
              "Airfoil point 3 (x/R = 0.75, Coordinates) has no data file. Choose its file on the \"Airfoils data\" "
              "page.");
    points[1].path.clear();
    EXPECT_EQ(compute_rules::missingAirfoilFile(points),
              "Airfoil point 2 (x/R = 0.5, CSV data) has no data file. Choose its file on the \"Airfoils data\" page.");
}

}  // namespace
