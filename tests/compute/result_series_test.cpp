// The curves of the result windows, checked against the totals they are made from.
#include <gtest/gtest.h>

#include <cmath>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
#include "results/result_series.h"

namespace {

using namespace korvane::testing;
using result_series::OpChart;

TEST(OpSeries, PowerAndThrustDistributionsIntegrateToOne) {
    bemt::InputDataSet data = defaultRotor();
    data.settings.n_elements = 40;
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    const auto points = tools.pitchSweep(data, {0.0, 4.0, 4.0}, ignoreProgress);
    const auto series = result_series::opSeries(points);
    ASSERT_EQ(series.pitches.size(), 2u);
    ASSERT_EQ(series.x.size(), 40u);
    for (std::size_t p = 0; p < points.size(); ++p) {
        const auto& op = points[p].op;
        ASSERT_TRUE(op.converged);
        // Σ (dP/dr R/|P|) dr/R = P/|P|: the curve is the power per unit of x/R.
        double power = 0.0, thrust = 0.0;
        for (std::size_t i = 0; i < series.x.size(); ++i) {
            power += series.pitches[p].y1[OpChart::PowerThrust][i] * op.dr / op.conditions.R;
            thrust += series.pitches[p].y2[OpChart::PowerThrust][i] * op.dr / op.conditions.R;
        }
        EXPECT_NEAR(power, op.P > 0 ? 1.0 : -1.0, 1e-12);
        EXPECT_NEAR(thrust, 1.0, 1e-12);
        EXPECT_TRUE(series.pitches[p].unconverged.empty());
    }
    // The blade's own twist does not move with the blade pitch; the angle of attack does.
    EXPECT_NEAR(series.pitches[0].y2[OpChart::BladeShape][10], series.pitches[1].y2[OpChart::BladeShape][10], 1e-12);
    EXPECT_LT(series.pitches[1].y1[OpChart::Angles][30], series.pitches[0].y1[OpChart::Angles][30]);
    // Angles in degrees, Reynolds numbers as decades.
    const auto& s = points[0].op.solutions[20];
    EXPECT_DOUBLE_EQ(series.pitches[0].y2[OpChart::Angles][20], bemt::Common::rad2deg(s.phi));
    EXPECT_GT(series.pitches[0].y1[OpChart::Reynolds][20], 5.0);
    EXPECT_LT(series.pitches[0].y1[OpChart::Reynolds][20], 8.0);
}

TEST(OpSeries, StandingRotorDrawsNoInfinities) {
    bemt::pitchControlledOperatingPoint point;
    point.op.conditions.R = 10.0;
    point.op.dr = 1.0;
    bemt::Solution s;
    s.r = 5.0;
    s.c = 1.0;
    s.dP = 0.0;
    s.dT = 0.0;
    s.converged = false;
    point.op.solutions = {s};
    const auto series = result_series::opSeries({point});
    EXPECT_EQ(series.pitches[0].y1[OpChart::PowerThrust][0], 0.0);
    EXPECT_EQ(series.pitches[0].y2[OpChart::PowerThrust][0], 0.0);
    ASSERT_EQ(series.pitches[0].unconverged.size(), 1u);
    EXPECT_LT(series.pitches[0].unconverged[0].first, 0.5);
    EXPECT_GT(series.pitches[0].unconverged[0].second, 0.5);
}

TEST(CharSeries, TipSpeedRatioSweepKeepsBothAxes) {
    bemt::InputDataSet data = defaultRotor();
    data.settings.n_elements = 10;
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    const auto steps = tools.characteristicsSweep(data, bemt::tipSpeedRatio, {4.0, 8.0, 2.0}, {0.0, 5.0, 5.0},
                                                  ignoreProgress);
    const auto series = result_series::charSeries(steps, bemt::tipSpeedRatio);
    ASSERT_EQ(series.pitches.size(), 2u);
    EXPECT_EQ(series.pitches[1].pitch, 5.0);
    // Every chart runs over the tip speed ratio; the wind velocity V0 = Om R / TSR stays beside it.
    ASSERT_EQ(series.swept, (std::vector<double>{4.0, 6.0, 8.0}));
    const double omR = data.conditions.Om * data.conditions.R;
    EXPECT_DOUBLE_EQ(series.wind[0], omR / 4.0);
    EXPECT_DOUBLE_EQ(series.wind[2], omR / 8.0);
    const double thrustFactor = series.thrustUnit.factor;
    EXPECT_DOUBLE_EQ(series.pitches[1].y[result_series::Thrust][2] * thrustFactor, steps[2].points[1].op.T);
    EXPECT_EQ(series.pitches[1].y[result_series::ThrustCoefficient][2], steps[2].points[1].op.Ct);
    EXPECT_EQ(result_series::sweptLabel(bemt::tipSpeedRatio), wxString::FromUTF8("Tip speed ratio λ [-]"));
    EXPECT_EQ(result_series::sweptLabel(bemt::windVelocity), "Wind velocity [m/s]");
}

TEST(CharSeries, PowerThrustAndRootMomentsReadInEngineeringUnits) {
    EXPECT_EQ(result_series::scaledUnit(850.0).prefix, "");
    EXPECT_EQ(result_series::scaledUnit(1000.0).prefix, "k");
    EXPECT_DOUBLE_EQ(result_series::scaledUnit(2.3e5).factor, 1e3);
    EXPECT_EQ(result_series::scaledUnit(2.3e6).prefix, "M");
    EXPECT_DOUBLE_EQ(result_series::scaledUnit(2.3e6).factor, 1e6);

    // Two steps of a hand-made sweep: 1.5 MW, 180 kN and 1.2 MN m at the most.
    std::vector<bemt::pitchControlledCharacteristicElement> steps(2);
    steps[0].conditions.V0 = 8.0;
    steps[1].conditions.V0 = 12.0;
    steps[0].points = {{0.0, {}}};
    steps[1].points = {{0.0, {}}};
    steps[0].points[0].op.P = 4.0e5;
    steps[1].points[0].op.P = 1.5e6;
    steps[0].points[0].op.T = 9.0e4;
    steps[1].points[0].op.T = 1.8e5;
    // Root moments below a mega newton metre whose largest values reach one: both on one scale.
    steps[0].points[0].op.rootMoment = 8.0e5;
    steps[0].points[0].op.rootMomentMax = 1.2e6;
    steps[1].points[0].op.rootMoment = 9.0e5;
    steps[1].points[0].op.rootMomentMax = 9.5e5;
    const auto series = result_series::charSeries(steps, bemt::windVelocity);
    EXPECT_EQ(series.y1Labels[result_series::Power], "Power P [MW]");
    EXPECT_EQ(series.y1Labels[result_series::Thrust], "Thrust T [kN]");
    EXPECT_EQ(series.y1Labels[result_series::PowerCoefficient], "Power coefficient Cp [-]");
    EXPECT_DOUBLE_EQ(series.pitches[0].y[result_series::Power][1], 1.5);
    EXPECT_DOUBLE_EQ(series.pitches[0].y[result_series::Thrust][0], 90.0);
    EXPECT_EQ(series.y1Labels[result_series::RootMoment], "Root bending moment M_root [MN m]");
    EXPECT_EQ(series.y1Labels[result_series::RootMomentMax], "Largest root bending moment M_root_max [MN m]");
    EXPECT_DOUBLE_EQ(series.pitches[0].y[result_series::RootMoment][0], 0.8);
    EXPECT_DOUBLE_EQ(series.pitches[0].y[result_series::RootMomentMax][1], 0.95);
}

}  // namespace
