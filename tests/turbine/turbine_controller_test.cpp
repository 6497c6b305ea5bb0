// The power curve under the four control modes. A rotor of ideal airfoils (lift 2 pi
// alpha, no drag, no Reynolds number dependence) has a power coefficient that depends on
// the tip speed ratio and pitch alone, so at a held tip speed ratio its power grows with
// the cube of the wind speed: the region boundaries and the rated wind speed follow in
// closed form. The pitch control is checked on the NACA 0012 rotor of a new project,
// whose power rises and falls with the pitch as the sections stall.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "DefaultRotor.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/TestPolars.h"
#include "turbine/TurbineController.h"

namespace {

using bemt::ControlMode;
using bemt::PowerCurve;
using bemt::PowerCurvePoint;
using bemt::TurbineController;
using bemt::TurbineSettings;
using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

constexpr double kTsr = 6.0;

// The rotor of a new project with 30 elements, of ideal airfoils when asked.
bemt::InputDataSet rotor(bool ideal) {
    auto data = defaultRotor(bemt::Ning, 30);
    auto polar = std::make_shared<korvane::testing::ThinAirfoilPolar>();
    if (ideal) data.segments = {{0.06, 1.0, polar, polar}};
    return data;
}

double rpmFor(double windSpeed, double R) { return bemt::Common::rads2rpm(kTsr * windSpeed / R); }

// Wind 3 to 12 m/s by 0.5, cut-in 3.5, cut-out 11, speed held between the speeds that
// hold TSR 6 at 4.25 and 8.75 m/s.
TurbineSettings idealSettings(const bemt::InputDataSet& data, ControlMode mode, double ratedPower) {
    TurbineSettings t = bemt::Turbine::defaults(data.conditions);
    t.control = mode;
    t.rated_power = ratedPower;
    t.efficiency = 0.9;
    t.tsr_target = kTsr;
    t.rpm_min = rpmFor(4.25, data.conditions.R);
    t.rpm_max = rpmFor(8.75, data.conditions.R);
    t.cut_in = 3.5;
    t.cut_out = 11.0;
    t.wind_min = 3.0;
    t.wind_max = 12.0;
    t.wind_step = 0.5;
    return t;
}

double discPower(const bemt::OperatingConditions& c, double v) {
    return 0.5 * c.rho * std::numbers::pi * c.R * c.R * v * v * v;
}

// The operating point of data at wind speed v, rotor speed om [rad/s] and pitch [deg].
bemt::OperatingPoint operatingPoint(const bemt::InputDataSet& data, double v, double om, double pitch) {
    auto d = data;
    d.conditions.V0 = v;
    d.conditions.Om = om;
    d.conditions.TSR = om * d.conditions.R / v;
    return bemt::BEMTTools(bemt::Ning).analyzeOp(d, ignoreProgress, pitch);
}

// The ideal rotor, its power coefficient at TSR 6 and pitch 0, and its power curves.
class IdealRotor : public ::testing::Test {
protected:
    const bemt::InputDataSet data = rotor(true);
    const double cp = operatingPoint(data, 6.0, kTsr * 6.0 / data.conditions.R, 0.0).Cp;
    bemt::BEMTTools tools{bemt::Ning};

    // Rated power reached at wind speed v while the tip speed ratio is held.
    double ratedAt(double v) const { return 0.9 * cp * discPower(data.conditions, v); }
    PowerCurve curve(const TurbineSettings& t) { return TurbineController(tools, data, t).powerCurve(ignoreProgress); }
};

// The new project's rotor with 30 elements and its turbine.
class NewTurbine : public ::testing::Test {
protected:
    const bemt::InputDataSet data = rotor(false);
    TurbineSettings t = bemt::Turbine::defaults(data.conditions);
    bemt::BEMTTools tools{bemt::Ning};
};

const PowerCurvePoint& row(const PowerCurve& curve, double v) {
    for (const auto& p : curve.points)
        if (std::fabs(p.V0 - v) < 1e-9) return p;
    throw bemt::Error("no row");
}

TEST_F(IdealRotor, VariableSpeedHoldsTheTipSpeedRatioBetweenItsLimitsAndCapsAtRated) {
    ASSERT_GT(cp, 0.4);
    // Rated power reached at 7.13 m/s, inside the region of the held tip speed ratio.
    const double ratedWind = 7.13;
    const double rated = ratedAt(ratedWind);
    const TurbineSettings t = idealSettings(data, ControlMode::VariableSpeedVariablePitch, rated);
    const PowerCurve curve = this->curve(t);

    ASSERT_EQ(curve.points.size(), 19u);
    EXPECT_NEAR(curve.ratedWindSpeed, ratedWind, 0.01);

    // Cut-in and cut-out themselves are computed; outside them nothing is.
    const std::pair<double, double> regions[] = {{3.0, 0.0}, {3.5, 1.5}, {4.0, 1.5}, {4.5, 2.0},
                                                 {7.0, 2.0}, {7.5, 3.0}, {11.0, 3.0}, {11.5, 4.0}};
    for (const auto& [v, region] : regions) {
        EXPECT_EQ(row(curve, v).region, region) << v;
        EXPECT_EQ(row(curve, v).computed, region != 0.0 && region != 4.0) << v;
    }
    EXPECT_EQ(row(curve, 3.0).P, 0.0);
    EXPECT_EQ(row(curve, 12.0).P, 0.0);
    EXPECT_NEAR(row(curve, 4.0).rpm, t.rpm_min, 1e-12);

    for (double v : {4.5, 5.0, 6.0, 7.0}) {
        const auto& p = row(curve, v);
        SCOPED_TRACE(v);
        EXPECT_NEAR(p.TSR, kTsr, 1e-12);
        EXPECT_NEAR(p.rpm, rpmFor(v, data.conditions.R), 1e-9);
        EXPECT_EQ(p.pitch, 0.0);
        // Held tip speed ratio: the same power coefficient, power growing as V^3.
        EXPECT_NEAR(p.Cp, cp, 1e-6);
        EXPECT_NEAR(p.P_aero, cp * discPower(data.conditions, v), 1e-5 * p.P_aero);
        EXPECT_NEAR(p.P, 0.9 * p.P_aero, 1e-9 * p.P);
        const double om = bemt::Common::rpm2rads(p.rpm);
        EXPECT_NEAR(p.Q, p.P_aero / om, 1e-9 * p.Q);
        // Cq = Cp / TSR.
        EXPECT_NEAR(p.Cq, p.Cp / p.TSR, 1e-12);
        EXPECT_GT(p.T, 0.0);
        EXPECT_NEAR(p.Ct, p.T / (0.5 * data.conditions.rho * std::numbers::pi * 625.0 * v * v), 1e-12);
    }
    // Rotor speed held at its maximum above 8.75 m/s, pitched to rated above 7.13 m/s:
    // the pitch that holds rated power rises with the wind.
    double lastPitch = 0.0;
    for (double v = 7.5; v <= 11.0; v += 0.5) {
        const auto& p = row(curve, v);
        SCOPED_TRACE(v);
        EXPECT_EQ(p.region, 3.0);
        EXPECT_EQ(p.P, rated);
        EXPECT_NEAR(0.9 * p.P_aero, rated, 1e-4 * rated);
        EXPECT_GT(p.pitch, lastPitch);
        EXPECT_FALSE(p.pitch_limited);
        lastPitch = p.pitch;
    }
    EXPECT_NEAR(row(curve, 9.0).rpm, t.rpm_max, 1e-12);
    EXPECT_NEAR(row(curve, 8.0).rpm, rpmFor(8.0, data.conditions.R), 1e-9);
}

TEST_F(IdealRotor, FixedSpeedAndFixedPitchVariants) {
    const double rated = ratedAt(7.13);
    // Fixed pitch: the rotor gives what it gives; region 3 marks where it exceeds rated.
    {
        const auto curve = this->curve(idealSettings(data, ControlMode::VariableSpeedFixedPitch, rated));
        EXPECT_NEAR(curve.ratedWindSpeed, 7.13, 0.01);
        for (const auto& p : curve.points) {
            if (!p.computed) continue;
            SCOPED_TRACE(p.V0);
            EXPECT_EQ(p.pitch, 0.0);
            EXPECT_EQ(p.region == 3.0, p.P > rated);
            EXPECT_EQ(p.over_rated, p.P > rated);
        }
        EXPECT_GT(row(curve, 11.0).P, 2.0 * rated);
    }
    // Fixed speed: every computed row at the largest rotor speed.
    for (auto mode : {ControlMode::FixedSpeedVariablePitch, ControlMode::FixedSpeedFixedPitch}) {
        const auto t = idealSettings(data, mode, rated);
        const auto curve = this->curve(t);
        bool pitched = false;
        for (const auto& p : curve.points) {
            if (!p.computed) continue;
            SCOPED_TRACE(p.V0);
            EXPECT_NEAR(p.rpm, t.rpm_max, 1e-12);
            EXPECT_NEAR(p.TSR, bemt::Common::rpm2rads(t.rpm_max) * data.conditions.R / p.V0, 1e-12);
            if (p.region == 3.0) {
                if (mode == ControlMode::FixedSpeedVariablePitch) {
                    EXPECT_NEAR(0.9 * p.P_aero, rated, 1e-4 * rated);
                    EXPECT_GT(p.pitch, 0.0);
                    pitched = true;
                } else {
                    EXPECT_GT(p.P, rated);
                }
                EXPECT_EQ(p.over_rated, mode == ControlMode::FixedSpeedFixedPitch);
            } else {
                EXPECT_EQ(p.region, 2.5);
                EXPECT_LE(p.P, rated);
                EXPECT_EQ(p.pitch, 0.0);
            }
        }
        EXPECT_EQ(pitched, mode == ControlMode::FixedSpeedVariablePitch);
    }
}

TEST_F(IdealRotor, PitchLimitedRowsAreFlaggedAndKeepTheirPower) {
    const double rated = ratedAt(6.0);
    auto t = idealSettings(data, ControlMode::VariableSpeedVariablePitch, rated);
    t.max_pitch = 1.0;
    const auto curve = this->curve(t);
    int limited = 0;
    for (const auto& p : curve.points) {
        if (!p.pitch_limited) continue;
        ++limited;
        SCOPED_TRACE(p.V0);
        EXPECT_EQ(p.region, 3.0);
        EXPECT_EQ(p.pitch, 1.0);
        EXPECT_GT(p.P, rated);
    }
    EXPECT_GT(limited, 0);
    EXPECT_TRUE(row(curve, 11.0).pitch_limited);
    EXPECT_FALSE(row(curve, 5.0).pitch_limited);
}

// At a tip speed ratio far above its design the rotor's drag outweighs its lift: the
// generator drives it and draws the rotor power plus the drivetrain losses, P_aero / eta.
TEST_F(NewTurbine, AMotoringRotorDrawsItsRotorPowerOverTheEfficiency) {
    EXPECT_NEAR(TurbineController::electricalPower(-183124.3, 0.944), -193987.6, 0.1);
    EXPECT_NEAR(TurbineController::electricalPower(183124.3, 0.944), 172869.3, 0.1);
    t.control = ControlMode::FixedSpeedFixedPitch;
    t.efficiency = 0.944;
    t.cut_in = 1.0;
    t.wind_min = 1.0;
    t.wind_max = 8.0;
    t.wind_step = 1.0;
    const auto curve = TurbineController(tools, data, t).powerCurve(ignoreProgress);
    int motoring = 0;
    for (const auto& p : curve.points) {
        SCOPED_TRACE(p.V0);
        EXPECT_EQ(p.motoring, p.P_aero < 0.0);
        if (!p.motoring) continue;
        ++motoring;
        EXPECT_NEAR(p.P, p.P_aero / 0.944, 1e-9 * std::fabs(p.P));
    }
    EXPECT_GT(motoring, 0);
    EXPECT_FALSE(row(curve, 8.0).motoring);
}

TEST_F(NewTurbine, PitchOfTheStallingRotorIsTheSmallestThatHoldsRatedPower) {
    t.rated_power = 150e3;
    t.tsr_target = 6.0;
    t.wind_min = 6.0;
    t.wind_max = 20.0;
    t.wind_step = 2.0;
    const auto curve = TurbineController(tools, data, t).powerCurve(ignoreProgress);
    int pitched = 0;
    for (const auto& p : curve.points) {
        if (p.region != 3.0) continue;
        ++pitched;
        SCOPED_TRACE(p.V0);
        EXPECT_NEAR(p.P_aero, t.rated_power, 1e-4 * t.rated_power);
        ASSERT_GT(p.pitch, 0.0);
        // Every whole degree below the solved pitch still leaves more than rated power.
        for (double q = 0.0; q < p.pitch - 1e-6; q += 1.0)
            EXPECT_GT(operatingPoint(data, p.V0, bemt::Common::rpm2rads(p.rpm), q).P, t.rated_power) << "pitch " << q;
    }
    EXPECT_GE(pitched, 3);
}

TEST_F(NewTurbine, OnceAtRatedPowerTheStallingRotorHoldsItWhereFinePitchGivesLess) {
    // At fine pitch this blade gives 480 kW at 10 m/s, stalls to 245 kW at 17 m/s and
    // gives 410 kW at 25 m/s; towards feather it gives 300 kW at every wind speed.
    t.rated_power = 300e3;
    t.wind_min = 6.0;
    t.wind_max = 25.0;
    t.wind_step = 1.0;
    const auto curve = TurbineController(tools, data, t).powerCurve(ignoreProgress);
    ASSERT_LT(operatingPoint(data, 17.0, bemt::Common::rpm2rads(row(curve, 17.0).rpm), 0.0).P, t.rated_power);
    double lastPitch = 0.0;
    for (const auto& p : curve.points) {
        if (p.V0 < 10.0) continue;
        SCOPED_TRACE(p.V0);
        EXPECT_EQ(p.region, 3.0);
        EXPECT_NEAR(p.P_aero, t.rated_power, 1e-4 * t.rated_power);
        EXPECT_GE(p.pitch, lastPitch);
        lastPitch = p.pitch;
    }
}

TEST_F(NewTurbine, AutomaticTipSpeedRatioIsThatOfMaximalPowerCoefficient) {
    TurbineController controller(tools, data, t);
    const double found = controller.optimalTipSpeedRatio(ignoreProgress);
    const double v = data.conditions.V0;
    auto cp = [&](double tsr) { return operatingPoint(data, v, tsr * v / data.conditions.R, 0.0).Cp; };
    double bestTsr = 0.0, bestCp = -1.0;
    for (double tsr = 2.0; tsr <= 14.0; tsr += 0.05) {
        const double c = cp(tsr);
        if (c > bestCp) {
            bestCp = c;
            bestTsr = tsr;
        }
    }
    EXPECT_NEAR(found, bestTsr, 0.05);
    EXPECT_GE(cp(found), bestCp - 1e-6);
    // Within 1e-3 of the maximum: no better power coefficient a little to either side.
    EXPECT_GE(cp(found), cp(found + 2e-3) - 1e-7);
    EXPECT_GE(cp(found), cp(found - 2e-3) - 1e-7);

    // The power curve searches it too, its progress rising to 100.
    std::vector<int> percents;
    const auto curve = controller.powerCurve([&](int p, const std::string&) { percents.push_back(p); });
    EXPECT_DOUBLE_EQ(curve.tsrTarget, found);
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

}  // namespace
