// The blade optimiser against an independent optimum and the limits it promises: the
// ideal rotor (Glauert's Cp), each limit met by the blade it returns (checked on a
// power curve computed anew), the same result on any number of threads, and a stop that
// keeps the best feasible blade.
#include "optimise/BladeOptimiser.h"
#include "optimise/OptimisedBlade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "DefaultRotor.h"
#include "bemt/TestPolars.h"
#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"

namespace {

using namespace bemt;
using korvane::OptimisationObjective;
using korvane::OptimisationSettings;
using namespace korvane::optimise;
using korvane::testing::ignoreProgress;

const OptimisationCallback kNoProgress = [](const OptimisationProgress&) {};

// Practically no tip loss (100 blades) and no drag: Glauert's optimum with wake rotation,
// Cp 0.582 at a tip speed ratio of 7.5 (Manwell, McGowan and Rogers, table 3.2).
TEST(BladeOptimiser, IdealRotorFromAPoorStartReachesGlauertsOptimumAndTheDesignedBlade) {
    InputDataSet data;
    data.conditions = {.R = 10.0, .Rh = 0.1, .L = 9.9, .B = 100, .V0 = 10.0, .TSR = 7.5, .Om = 7.5};
    data.settings = {Ning, 60, 1e-7, 5000, 0.1};
    auto polar = std::make_shared<korvane::testing::ThinAirfoilPolar>(0.0);
    data.segments.push_back({0.0, 1.0, polar, polar});
    data.chordPoints = {{0.01, 0.004}, {1.0, 0.004}};  // constant chord and twist
    data.twistPoints = {{0.01, 0.0}, {1.0, 0.0}};

    OptimisationSettings settings;
    settings.objective = OptimisationObjective::PowerCoefficient;
    settings.free_root_chord = true;
    settings.chord_min = 1e-4;
    settings.chord_max = 0.02;
    const auto result = optimiseBlade(data, TurbineSettings{}, settings, 2, kNoProgress);
    EXPECT_TRUE(result.feasible);
    EXPECT_NEAR(result.best.objective, 0.582, 0.005 * 0.582) << result.evaluations;

    BEMTTools tools(Ning);
    InputDataSet designed = data;
    const DesignedBlade blade = tools.designBlade(data, ignoreProgress, 10.0);
    designed.chordPoints = blade.chordPoints;
    designed.twistPoints = blade.twistPoints;
    const double designedCp = tools.analyzeOp(designed, ignoreProgress, 0.0).Cp;
    EXPECT_NEAR(result.best.objective, designedCp, 0.003 * designedCp);
}

// The default turbine of the new project's rotor (taken with 20 elements below), with a
// fixed target tip speed ratio (no search for it at every evaluation).
TurbineSettings smallTurbine(const InputDataSet& data) {
    TurbineSettings turbine = Turbine::defaults(data.conditions);
    turbine.tsr_target = 6.0;
    return turbine;
}

OptimisationSettings limited(double maxChord, double thrustRatio, double thrust = OptimisationSettings::kNone,
                             bool freeRoot = false, bool designedStart = false) {
    OptimisationSettings s;
    s.free_root_chord = freeRoot;
    s.start_designed = designedStart;
    s.control_points = 5;
    s.budget = 200;
    s.max_chord = maxChord;
    s.max_thrust_ratio = thrustRatio;
    s.max_thrust = thrust;
    return s;
}

TEST(BladeOptimiser, EveryLimitHoldsOnTheReturnedBlade) {
    const InputDataSet data = korvane::testing::defaultRotor(Ning, 20);
    const TurbineSettings turbine = smallTurbine(data);
    OptimisationSettings startOnly = limited(4.0, 0.9);
    // The smallest budget that reaches a blade of the search: the start and one more.
    startOnly.method = korvane::OptimisationMethod::Cobyla;
    startOnly.budget = 2;
    const BladeResponse start = optimiseBlade(data, turbine, startOnly, 2, kNoProgress).start;
    // The root moment alone, at 80 % of the start's.
    OptimisationSettings moment = limited(4.0, OptimisationSettings::kNone);
    moment.max_root_moment = 0.8 * start.maxRootMoment;
    // The root chord is 3.6 m: a largest chord of 3 m needs it freed.
    for (const OptimisationSettings& s : {limited(3.0, 0.9, OptimisationSettings::kNone, true),
                                          limited(4.0, OptimisationSettings::kNone, 0.95 * start.maxThrust),
                                          limited(4.0, 1.0, OptimisationSettings::kNone, false, true), moment}) {
        const auto r = optimiseBlade(data, turbine, s, 2, kNoProgress);
        ASSERT_TRUE(r.feasible) << s.max_chord;
        // The root moment limit lies below the start: the blade must give up energy for it.
        if (std::isnan(s.max_root_moment)) {
            EXPECT_GT(r.best.objective, r.start.objective);
        }
        // The project's chord is largest at the root: it must fall all the way. The designed
        // start may grow from the fixed root to its largest point first.
        auto byChord = [](const auto& a, const auto& b) { return a.c_rel < b.c_rel; };
        const auto peak =
            s.start_designed ? std::max_element(r.chord.begin(), r.chord.end(), byChord) - r.chord.begin() : 0;
        for (std::size_t i = 0; i < r.chord.size(); ++i) {
            EXPECT_LE(r.chord[i].c_rel * data.conditions.R, s.max_chord * (1.0 + 1e-12));
            if (i == 0) continue;
            if (static_cast<std::ptrdiff_t>(i) > peak) {
                EXPECT_LE(r.chord[i].c_rel, r.chord[i - 1].c_rel + 1e-4 * s.chord_max);
            }
            EXPECT_LE(r.twist[i].twist_deg, r.twist[i - 1].twist_deg + 1e-4 * 50.0);
        }
        if (!s.free_root_chord) {
            EXPECT_EQ(r.chord.front().c_rel, data.chordPoints.front().c_rel);
        }

        // The power curve of the returned blade, computed anew.
        InputDataSet blade = data;
        blade.chordPoints = r.chord;
        blade.twistPoints = r.twist;
        BEMTTools tools(Ning);
        const PowerCurve curve = TurbineController(tools, blade, turbine).powerCurve(ignoreProgress);
        double thrust = 0.0;
        double rootMoment = 0.0;
        for (const PowerCurvePoint& p : curve.points) {
            thrust = std::max(thrust, p.T);
            rootMoment = std::max(rootMoment, p.M_root_max);
        }
        if (!std::isnan(r.thrustLimit)) {
            EXPECT_LE(thrust, r.thrustLimit * (1.0 + 5e-4));
        }
        EXPECT_DOUBLE_EQ(r.best.maxRootMoment, rootMoment);
        if (!std::isnan(s.max_root_moment)) {
            EXPECT_LE(rootMoment, s.max_root_moment * (1.0 + 5e-4));
            // The start exceeds the limit: the optimiser had to bring the moment down.
            EXPECT_GT(r.start.maxRootMoment, s.max_root_moment);
        }
        EXPECT_DOUBLE_EQ(AnnualEnergy::ofCurve(curve, turbine).front().energy, r.best.objective);
    }
}

// The result does not depend on the number of threads and keeps to the budget; a stop
// keeps the best feasible blade so far.
TEST(BladeOptimiser, TheResultDoesNotDependOnTheNumberOfThreadsAndAStopKeepsTheBestSoFar) {
    const InputDataSet data = korvane::testing::defaultRotor(Ning, 20);
    const TurbineSettings turbine = smallTurbine(data);
    OptimisationSettings s = limited(4.0, 0.9);
    s.budget = 40;
    const auto one = optimiseBlade(data, turbine, s, 1, kNoProgress);
    const auto three = optimiseBlade(data, turbine, s, 3, kNoProgress);
    EXPECT_EQ(one.evaluations, three.evaluations);
    EXPECT_LE(one.evaluations, s.budget) << "the starting blade's evaluation counts too";
    EXPECT_EQ(one.best.objective, three.best.objective);
    for (std::size_t i = 0; i < one.chord.size(); ++i) {
        EXPECT_EQ(one.chord[i].c_rel, three.chord[i].c_rel);
        EXPECT_EQ(one.twist[i].twist_deg, three.twist[i].twist_deg);
    }

    const auto r = optimiseBlade(data, turbine, limited(4.0, 0.9), 2, [](const OptimisationProgress& p) {
        if (p.iteration >= 6) throw bemt::Aborted("stopped");
    });
    EXPECT_EQ(r.end, OptimisationEnd::Stopped);
    ASSERT_TRUE(r.feasible);
    double best = -std::numeric_limits<double>::infinity();
    for (const OptimisationRecord& h : r.history)
        if (h.feasible) best = std::max(best, h.objective);
    EXPECT_EQ(r.best.objective, best);
}

// A blade worse than the project's is said so, for the objective optimised: the chosen
// climate's energy (not another's) or Cp at the design point.
TEST(OptimisedBlade, ALossAgainstTheProjectsBladeIsSaid) {
    TurbineSettings turbine;
    turbine.wind_climates = {{"Site A", 2.0, 8.0}, {"Site B", 2.0, 10.0}};
    BladeComparison c;
    c.before.energy = {{turbine.wind_climates[0], 10.0e6}, {turbine.wind_climates[1], 20.0e6}};
    c.after.energy = {{turbine.wind_climates[0], 9.5e6}, {turbine.wind_climates[1], 21.0e6}};
    c.before.designCp = 0.45;
    c.after.designCp = 0.46;
    OptimisationSettings s;
    s.climate = "Site A";
    EXPECT_EQ(lossText(c, s, turbine), "The optimised blade gives less than the project's: 9.5 MWh against 10.0 MWh a year.");
    s.climate = "Site B";
    EXPECT_EQ(lossText(c, s, turbine), "");
    s.objective = OptimisationObjective::PowerCoefficient;
    EXPECT_EQ(lossText(c, s, turbine), "");
    c.after.designCp = 0.44;
    EXPECT_EQ(lossText(c, s, turbine), "The optimised blade gives less than the project's: Cp 0.4400 against 0.4500.");
}

}  // namespace
