// Operating point analysis, blade design and the sweeps: element order and passes,
// progress and abort, the pitch and characteristics ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "DefaultRotor.h"
#include "ErrorOf.h"
#include "TestPolars.h"
#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
#include "bemt/Error.h"

namespace {

using korvane::testing::defaultRotor;
using korvane::testing::errorOf;
using korvane::testing::ignoreProgress;

struct ProgressLog {
    std::vector<int> percents;
    std::vector<std::string> texts;
    bemt::ProgressCallback callback() {
        return [this](int p, const std::string& t) {
            percents.push_back(p);
            texts.push_back(t);
        };
    }
};

TEST(AnalyzeOp, DefaultRotorGivesSortedConvergedElementsAndConsistentTotals) {
    for (auto solver : {bemt::Ning, bemt::FixedPoint2D}) {
        bemt::BEMTTools tools(solver);
        const auto data = defaultRotor(solver);
        const auto op = tools.analyzeOp(data, ignoreProgress, 0.0);
        ASSERT_EQ(op.solutions.size(), 100u);
        EXPECT_TRUE(op.converged);
        double P = 0.0, T = 0.0;
        for (std::size_t i = 0; i < op.solutions.size(); ++i) {
            if (i > 0) {
                EXPECT_LT(op.solutions[i - 1].r, op.solutions[i].r);
            }
            P += op.solutions[i].dP;
            T += op.solutions[i].dT;
        }
        EXPECT_NEAR(op.P, P, 1e-6 * P);
        EXPECT_NEAR(op.T, T, 1e-6 * T);
        EXPECT_DOUBLE_EQ(op.dr, 23.5 / 100);
        // A plausible three-bladed rotor: below Betz, thrust coefficient below one.
        EXPECT_GT(op.Cp, 0.3);
        EXPECT_LT(op.Cp, 16.0 / 27.0);
        EXPECT_LT(op.Ct, 1.0);
        // Pitching to feather turns every element and sheds power.
        const auto pitched = tools.analyzeOp(data, ignoreProgress, 5.0);
        for (std::size_t i = 0; i < op.solutions.size(); ++i)
            EXPECT_NEAR(pitched.solutions[i].theta - op.solutions[i].theta, bemt::Common::deg2rad(5.0), 1e-12);
        EXPECT_LT(pitched.P, op.P);
    }
}

// Each computation reports in its own words and ends at 100, also with a single step: one
// element, one design iteration, one tip speed ratio (the rise of a sweep's progress: the
// parallel sweep tests). A progress call that throws stops it, reaching the caller as such.
TEST(Progress, EachComputationNamesItselfAndEndsAtHundred) {
    auto data = defaultRotor(bemt::Ning);
    bemt::BEMTTools tools(bemt::Ning);
    ProgressLog op, design, characteristics;
    data.settings.n_elements = 1;
    EXPECT_DOUBLE_EQ(tools.analyzeOp(data, op.callback(), 0.0).solutions.at(0).r, 1.5 + 23.5 / 2);
    EXPECT_EQ(op.percents, (std::vector<int>{100, 100}));
    EXPECT_EQ(op.texts.front(), "Computing the operating point.");

    data.settings.n_elements = 4;
    tools.characteristicsSweep(data, bemt::tipSpeedRatio, {7.0, 7.0, 0.5}, {0.0, 0.0, 1.0}, characteristics.callback());
    EXPECT_EQ(characteristics.percents.back(), 100);
    EXPECT_EQ(characteristics.texts.back(), "Computing wind turbine characteristics.");

    data.settings.max_iterations = 1;
    tools.designBlade(data, design.callback(), 0.2);
    EXPECT_EQ(design.percents, (std::vector<int>{100, 100}));
    EXPECT_EQ(design.texts.front(), "Designing the blade.");

    int calls = 0;
    auto abortAfterFive = [&](int, std::string) {
        if (++calls == 5) throw bemt::Aborted("stop");
    };
    data = defaultRotor();
    EXPECT_THROW(bemt::BEMTTools(bemt::FixedPoint2D).analyzeOp(data, abortAfterFive, 0.0), bemt::Aborted);
    EXPECT_EQ(calls, 5);
}

TEST(AnalyzeOp, PolarsWithoutReynoldsRangeAreSolvedOnceAndUnconvergedElementsDoNotCount) {
    auto data = defaultRotor(bemt::FixedPoint2D);
    auto polar = std::make_shared<korvane::testing::ConstantPolar>(0.8, 0.01);
    data.segments = {{0.06, 1.0, polar, polar}};
    data.settings.max_iterations = 3;  // nothing converges in three relaxed steps
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    const auto op = tools.analyzeOp(data, ignoreProgress, 0.0);
    EXPECT_FALSE(op.converged);
    EXPECT_EQ(op.P, 0.0);
    EXPECT_EQ(op.T, 0.0);
    for (const auto& s : op.solutions) EXPECT_NE(s.dP, 0.0);  // still computed, just not summed
}

TEST(SweepRange, CountsEveryPositionWithoutLosingTheLastToRounding) {
    const std::pair<bemt::SweepRange, int> counts[] = {
        {{0.0, 0.3, 0.1}, 4} /* a running sum gives 3 */, {{0.0, 20.0, 5.0}, 5}, {{2.0, 2.0, 5.0}, 1},
        {{0.0, 14.0, 0.5}, 29}, {{0.0, 1.0, 0.3}, 4}, {{3.0, 2.0, 1.0}, 0}};
    for (const auto& [range, count] : counts) EXPECT_EQ(range.count(), count) << range.min << " " << range.max;
    EXPECT_DOUBLE_EQ((bemt::SweepRange{0.0, 0.3, 0.1}.value(3)), 0.30000000000000004);
    EXPECT_THROW((bemt::SweepRange{0.0, 1.0, 0.0}.count()), bemt::Error);
    EXPECT_THROW((bemt::SweepRange{0.0, 1.0, std::nan("")}.count()), bemt::Error);
    // Counts beyond the int range are refused, not wrapped (a negative count once reached
    // vector::reserve).
    for (const bemt::SweepRange range : {bemt::SweepRange{1.0, 2.0, 1e-300}, bemt::SweepRange{0.0, 1e12, 1.0},
                                         bemt::SweepRange{0.0, INFINITY, 1.0}, bemt::SweepRange{-1e308, 1e308, 1e-3}})
        EXPECT_NE(errorOf([&] { range.count(); }).find("has too many positions"), std::string::npos);
    EXPECT_DOUBLE_EQ((bemt::SweepRange{0.0, 1e12, 1.0}.positions()), 1e12 + 1);
    EXPECT_EQ((bemt::SweepRange{0.0, 1e8, 1.0}.count()), 100000001);
}

// Every range option, project check and count field refuses in these words.
TEST(SweepRange, SaysWhyThreeNumbersMakeNoRange) {
    const std::string what = "the pitch range";
    EXPECT_EQ((bemt::SweepRange{0.0, 1.0, std::nan("")}.refusal(what)),
              "the pitch range holds a value that is not a number.");
    EXPECT_EQ((bemt::SweepRange{10.0, 0.0, 1.0}.refusal(what)), "the pitch range ends before it starts.");
    EXPECT_EQ((bemt::SweepRange{10.0, 0.0, 1.0}.refusal(what, true)),
              "the pitch range ends (0) before it starts (10).");
    EXPECT_EQ((bemt::SweepRange{0.0, 10.0, 0.0}.refusal(what)),
              "the step of the pitch range must be greater than zero.");
    EXPECT_EQ((bemt::SweepRange{0.0, 90.0, 0.01}.sizeRefusal(what, 1001)),
              "the pitch range asks for 9001 positions, more than 1001.");
    // One position needs no step; a count field shows nothing for what is no range.
    EXPECT_FALSE((bemt::SweepRange{7.0, 7.0, 0.0}.refusal(what)));
    EXPECT_EQ((bemt::SweepRange{7.0, 7.0, 0.0}.countIfRange()), 1);
    for (const bemt::SweepRange range : {bemt::SweepRange{0.0, 10.0, 0.0}, bemt::SweepRange{1.0, 0.0, 1.0},
                                         bemt::SweepRange{0.0, 1e12, 1e-3}})
        EXPECT_FALSE(range.countIfRange());
    EXPECT_EQ(bemt::SweepRange::stepFor(0.0, 20.0, 41), 0.5);
    EXPECT_FALSE(bemt::SweepRange::stepFor(0.0, 20.0, 1));
}

TEST(AnalyzeOp, PowerAboveTheBetzLimitIsMarkedNotConverged) {
    // A negative drag coefficient pushes the blades forward: the momentum balance then
    // yields power no rotor can extract from the wind.
    auto data = defaultRotor();
    auto pushing = std::make_shared<korvane::testing::ThinAirfoilPolar>(-0.5);
    data.segments = {{0.06, 1.0, pushing, pushing}};
    bemt::BEMTTools tools;
    const auto op = tools.analyzeOp(data, ignoreProgress, 0.0);
    ASSERT_GT(op.Cp, bemt::kBetzLimit);
    EXPECT_FALSE(op.converged);
    EXPECT_EQ(bemt::betzLimitNote(4.14),
              "Cp 4.14 lies above the Betz limit 16/27 = 0.593, which no rotor reaches: the result is marked not "
              "converged. Check the airfoil data (a negative drag coefficient, for example).");
    // The ideal rotor of the same blade stays below the limit and converged.
    data.segments = {{0.06, 1.0, std::make_shared<korvane::testing::ThinAirfoilPolar>(0.0),
                      std::make_shared<korvane::testing::ThinAirfoilPolar>(0.0)}};
    const auto ideal = tools.analyzeOp(data, ignoreProgress, 0.0);
    EXPECT_LT(ideal.Cp, bemt::kBetzLimit);
    EXPECT_TRUE(ideal.converged);
}

// Near V0 = 0 no result is a number to trust: Ning's bisection once stopped where the
// residual was small only because a was 1e9 (Cp -1.8e27, "converged"), and at 1e-300 the
// wind's power underflows to 0 (Cp NaN, "converged" at the tip speed ratio 7 of a surface).
TEST(AnalyzeOp, AWindNearZeroIsNeverConverged) {
    const double om = bemt::Common::rpm2rads(18.0);
    const std::vector<std::pair<double, double>> winds{{1e-9, om}, {1e-300, om}, {1e-300, 7.0 * 1e-300 / 25.0}};
    for (const auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
        for (const auto& [v, omega] : winds) {
            auto data = defaultRotor(solver, 20);
            data.conditions.V0 = v;
            data.conditions.Om = omega;
            data.conditions.TSR = omega * data.conditions.R / v;
            bemt::BEMTTools tools(solver);
            EXPECT_FALSE(tools.analyzeOp(data, ignoreProgress, 0.0).converged) << solver << " V0 " << v;
        }
    }
}

TEST(Sweeps, OnePointPerPitchWithItsLabelAndCharacteristicsFromTwoTenths) {
    auto data = defaultRotor(bemt::Ning, 10);
    bemt::BEMTTools tools(bemt::Ning);
    ProgressLog log;
    const auto points = tools.pitchSweep(data, {0.0, 0.3, 0.1}, log.callback());
    ASSERT_EQ(points.size(), 4u);
    EXPECT_DOUBLE_EQ(points[3].pitch, 0.30000000000000004);
    EXPECT_EQ(log.texts.back(), "Computing the operating point (0.3 °).");
    EXPECT_EQ(tools.pitchSweep(data, {5.0, 5.0, 1.0}, ignoreProgress).size(), 1u);
    EXPECT_EQ(bemt::BEMTTools::pitchRange(bemt::ComputeSettings{}).count(), 1);  // pitch regulation off: pitch 0

    // Characteristics start at a tip speed ratio of 0.2 and vary the chosen quantity.
    const auto tsr = tools.characteristicsSweep(data, bemt::tipSpeedRatio, {0.0, 2.0, 1.0}, {0.0, 0.0, 1.0},
                                                ignoreProgress);
    ASSERT_EQ(tsr.size(), 3u);
    EXPECT_DOUBLE_EQ(tsr[0].conditions.TSR, 0.2);
    EXPECT_DOUBLE_EQ(tsr[1].conditions.TSR, 1.0);
    EXPECT_DOUBLE_EQ(tsr[2].conditions.TSR, 2.0);
    // The rotation speed stays; the wind velocity follows.
    EXPECT_DOUBLE_EQ(tsr[1].conditions.V0, data.conditions.Om * data.conditions.R / 1.0);

    const auto wind = tools.characteristicsSweep(data, bemt::windVelocity, {4.0, 12.0, 4.0}, {0.0, 10.0, 5.0},
                                                 ignoreProgress);
    ASSERT_EQ(wind.size(), 3u);
    EXPECT_EQ(wind[0].points.size(), 3u);
    EXPECT_DOUBLE_EQ(wind[2].conditions.V0, 12.0);
    EXPECT_DOUBLE_EQ(wind[2].conditions.TSR, data.conditions.Om * data.conditions.R / 12.0);
}

TEST(DesignBlade, PointsAtElementCentresWithTheChordLimitFromTwoElements) {
    auto data = defaultRotor(bemt::Ning, 20);
    bemt::BEMTTools tools(bemt::Ning);
    const auto blade = tools.designBlade(data, ignoreProgress, 0.08);
    ASSERT_EQ(blade.chordPoints.size(), 20u);
    const double h = data.conditions.Rh / data.conditions.R;
    EXPECT_NEAR(blade.chordPoints.front().x_rel, h + 0.5 * (1.0 - h) / 20, 1e-12);
    EXPECT_NEAR(blade.twistPoints.back().x_rel, 1.0 - 0.5 * (1.0 - h) / 20, 1e-12);
    // The ideal chord grows towards the hub; there the limit holds it.
    EXPECT_DOUBLE_EQ(blade.chordPoints.front().c_rel, 0.08);
    for (const auto& p : blade.chordPoints) EXPECT_LE(p.c_rel, 0.08);
    EXPECT_LT(blade.chordPoints.back().c_rel, 0.08);
    // Twist falls from hub to tip.
    EXPECT_GT(blade.twistPoints.front().twist_deg, blade.twistPoints.back().twist_deg);

    // One element was once refused as "Increase the number of points to create a spline."
    data.settings.n_elements = 1;
    EXPECT_EQ(errorOf([&] { tools.designBlade(data, ignoreProgress, 0.2); }),
              "The blade design needs at least 2 blade elements to draw its chord and twist through, not 1.");
    data.settings.n_elements = 2;
    EXPECT_EQ(tools.designBlade(data, ignoreProgress, 0.2).chordPoints.size(), 2u);
}

TEST(DesignSweep, AnalysesTheDesignedBladeAndBeatsTheGuessedOne) {
    auto data = defaultRotor(bemt::Ning, 40);
    bemt::BEMTTools tools(bemt::Ning);
    ProgressLog log;
    const auto design = tools.designSweep(data, {0.0, 0.0, 1.0}, 0.2, log.callback());
    ASSERT_EQ(design.points.size(), 1u);
    EXPECT_EQ(log.texts.back(), "Blade design: computing the operating point (0 °).");
    const auto guessed = tools.analyzeOp(data, ignoreProgress, 0.0);
    EXPECT_GT(design.points[0].op.Cp, guessed.Cp);
}

}  // namespace
