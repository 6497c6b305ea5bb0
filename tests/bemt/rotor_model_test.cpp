// The rotor beyond the flat disc: the inflow of one element by hand, the Pitt-Peters
// redistribution by hand, and the properties the model must have (cone scaling, tilt and
// yaw alike, the sign of yaw, sector convergence, elements with the wind from behind,
// the root moment as the sum of its elements).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "DefaultRotor.h"
#include "TestPolars.h"
#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
#include "bemt/SectorModel.h"

namespace {

using bemt::Common::deg2rad;
using korvane::testing::ignoreProgress;

// The default rotor with a Reynolds-independent polar (thin airfoil, cd 0.01), so that
// the relative speed changes nothing but the loads.
bemt::InputDataSet thinRotor(bemt::SolverType solver = bemt::Ning) {
    auto data = korvane::testing::defaultRotor(solver, 40);
    auto polar = std::make_shared<korvane::testing::ThinAirfoilPolar>(0.01);
    data.segments = {{0.06, 1.0, polar, polar}};
    return data;
}

bemt::OperatingPoint operatingPoint(const bemt::InputDataSet& data) {
    bemt::BEMTTools tools(data.settings.solver);
    return tools.analyzeOp(data, ignoreProgress, 0.0);
}

// One element of R 20 m, Rh 2 m (r = 11 m) at precone 4, tilt 6, yaw 30 degrees in a wind
// of 10 m/s at hub height 100 m with shear exponent 0.2, at 1 rad/s:
//   z = 11 cos 4 = 10.97320, x = -11 sin 4 = -0.76732, c = 4 deg;
//   h = z cos psi cos 6 - x sin 6, V = 10 (1 + h/100)^0.2,
//   Vx = V [cos 30 cos 6 cos 4 + (cos 30 sin 6 cos psi + sin 30 sin psi) sin 4],
//   Vy = V (cos 30 sin 6 sin psi - sin 30 cos psi) + z.
TEST(SectorModel, GivesTheHandComputedInflowAtFourAzimuths) {
    bemt::InputDataSet data;
    data.conditions.R = 20.0;
    data.conditions.Rh = 2.0;
    data.settings.n_elements = 1;
    data.rotor = {4.0, 6.0, 30.0, 100.0, 0.2};
    const bemt::SectorModel model(data);
    struct Row {
        double psi, Vx, Vy, h;
    };
    for (const Row& row : {Row{0.0, 8.83741689205, 5.86780946254, 10.9932990972},
                           Row{90.0, 8.94204798914, 11.8785927659, 0.0802069070379},
                           Row{180.0, 8.33533451031, 15.8598513208, -10.8328852831},
                           Row{270.0, 8.24437138857, 10.0678163399, 0.0802069070379}}) {
        const bemt::ElementInflow in = model.inflow(0, deg2rad(row.psi), 10.0, 1.0);
        EXPECT_NEAR(in.Vx, row.Vx, 1e-10) << row.psi;
        EXPECT_NEAR(in.Vy, row.Vy, 1e-10) << row.psi;
        EXPECT_NEAR(in.h, row.h, 1e-10) << row.psi;
    }
    EXPECT_EQ(model.sectors(), 8);  // auto with a varying inflow
    EXPECT_NEAR(model.sweptRadius(), 20.0 * std::cos(deg2rad(4.0)), 1e-12);
}

// a (1 + 15 pi/32 x tan(chi/2) cos(psi - psi_d)), chi = (1 + 0.6 a) chi0:
//   yaw 30: chi0 = 30, psi_d = 90 deg (the wind's in-plane part runs toward psi 90),
//     chi = 35.4 deg, tan 17.7 deg = 0.319109; at psi 90: 0.3 (1 + 1.47262 0.8 0.319109).
//   tilt 5: chi0 = 5, psi_d = 0 (the upper blade lies downwind).
//   yaw 80, tilt 20: chi0 = 80.61 deg, chi = 95.1 deg beyond 90: tan(chi/2) taken as 1.
TEST(SectorModel, RedistributesTheInductionAsPittAndPeters) {
    struct Row {
        double yaw, tilt, a, x, psi, expected;
    };
    for (const Row& row : {Row{30.0, 0.0, 0.3, 0.8, 90.0, 0.4127936371552951}, Row{30.0, 0.0, 0.3, 0.8, 0.0, 0.3},
                           Row{30.0, 0.0, 0.3, 0.8, 270.0, 0.18720636284470485},
                           Row{0.0, 5.0, 0.25, 0.5, 0.0, 0.259244450342896},
                           Row{80.0, 20.0, 0.3, 0.6, 86.54882160298115, 0.3 * (1.0 + 15.0 * std::numbers::pi / 32.0 * 0.6)}}) {
        bemt::InputDataSet data;
        data.settings.n_elements = 1;
        data.rotor.yaw = row.yaw;
        data.rotor.tilt = row.tilt;
        data.rotor.skew = bemt::SkewCorrection::PittPeters;
        EXPECT_NEAR(bemt::SectorModel(data).skewedInduction(row.a, row.x, deg2rad(row.psi)), row.expected, 1e-12)
            << row.yaw << " " << row.tilt << " " << row.psi;
        data.rotor.skew = bemt::SkewCorrection::None;
        EXPECT_EQ(bemt::SectorModel(data).skewedInduction(row.a, row.x, deg2rad(row.psi)), row.a);
    }
}

// Precone alone turns the blade's plane: Vx = V cos c and Vy = Om r cos c keep their
// ratio, so phi, a and a' stay, the loads scale by cos^2 c, thrust and torque (arm
// r cos c) by cos^3 c, and Cp and Ct on R_p = R cos c by cos c. (Two sectors keep the
// rotor without cone on the sector model's loads, from W^2 = (Vx (1 - a))^2 + (Vy (1 + a'))^2,
// which the plain rotor takes from W = V0 (1 - a) / sin phi: equal within the accuracy.)
TEST(RotorModel, PreconeScalesTheCoefficientsByItsCosine) {
    auto data = thinRotor();
    data.rotor.sectors = 2;
    const auto plain = operatingPoint(data);
    EXPECT_NEAR(plain.Cp, operatingPoint(thinRotor()).Cp, 1e-5);
    data.rotor.precone = 12.0;
    const auto coned = operatingPoint(data);
    const double k = std::cos(deg2rad(12.0));
    EXPECT_NEAR(coned.Cp, plain.Cp * k, 1e-12 * plain.Cp);
    EXPECT_NEAR(coned.Ct, plain.Ct * k, 1e-12 * plain.Ct);
    ASSERT_EQ(coned.solutions.size(), plain.solutions.size());
    for (std::size_t i = 0; i < plain.solutions.size(); ++i) {
        EXPECT_NEAR(coned.solutions[i].phi, plain.solutions[i].phi, 1e-12);
        EXPECT_NEAR(coned.solutions[i].a, plain.solutions[i].a, 1e-12);
        EXPECT_NEAR(coned.solutions[i].a_, plain.solutions[i].a_, 1e-12);
    }
}

// Pairs of rotors that differ only by a turn of the azimuth, so that their sector means
// agree: without precone and shear a tilt t is a yaw t a quarter turn on (Vy = V sin t
// sin psi + Om r against -V sin t cos psi + Om r); without shear the yaw -y at psi + 180
// deg is the yaw y at psi, also with precone and the skewed wake.
TEST(RotorModel, TiltAndYawAreAlikeAndTheSignOfYawDoesNotMatter) {
    struct Pair {
        const char* name;
        bemt::RotorGeometry first, second;
    };
    bemt::RotorGeometry tilt, yaw, plus, minus;
    tilt.tilt = 15.0;
    yaw.yaw = 15.0;
    plus.yaw = 25.0;
    plus.precone = 5.0;
    plus.skew = bemt::SkewCorrection::PittPeters;
    minus = plus;
    minus.yaw = -25.0;
    for (const Pair& pair : {Pair{"tilt = yaw", tilt, yaw}, Pair{"yaw sign", plus, minus}}) {
        for (auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
            auto data = thinRotor(solver);
            data.rotor = pair.first;
            const auto first = operatingPoint(data);
            data.rotor = pair.second;
            const auto second = operatingPoint(data);
            SCOPED_TRACE(std::string(pair.name) + ", solver " + std::to_string(solver));
            EXPECT_TRUE(first.converged);
            EXPECT_NEAR(first.Cp, second.Cp, 1e-9);
            EXPECT_NEAR(first.Ct, second.Ct, 1e-9);
            EXPECT_NEAR(first.rootMomentMax, second.rootMomentMax, 1e-9 * first.rootMomentMax);
        }
    }
}

// A smooth inflow (tilt, yaw and shear) averaged over 8 sectors is within 0.1 % of 16;
// the root moment's mean is the mean of the sectors' sums Np (r - Rh) dr, its maximum
// their largest, and thrust and power the means of the sectors'.
TEST(RotorModel, SectorsConvergeAndTheRootMomentIsTheSumOfItsElements) {
    auto data = thinRotor();
    data.rotor = {3.0, 5.0, 10.0, 80.0, 0.2};
    const auto eight = operatingPoint(data);
    data.rotor.sectors = 16;
    const auto sixteen = operatingPoint(data);
    EXPECT_NEAR(eight.Cp, sixteen.Cp, 1e-3 * sixteen.Cp);
    EXPECT_NEAR(eight.Ct, sixteen.Ct, 1e-3 * sixteen.Ct);
    ASSERT_EQ(sixteen.sectors.size(), 16u);

    const double Rh = data.conditions.Rh;
    const double dr = data.conditions.L / data.settings.n_elements;
    double mean = 0.0, largest = 0.0, thrust = 0.0;
    for (const bemt::RotorSector& sector : sixteen.sectors) {
        double moment = 0.0;
        for (const bemt::SectorElement& e : sector.elements) moment += e.Np * (e.solution.r - Rh) * dr;
        EXPECT_NEAR(sector.rootMoment, moment, 1e-9 * moment);
        mean += moment / 16.0;
        largest = std::max(largest, moment);
        thrust += sector.T / 16.0;
    }
    EXPECT_NEAR(sixteen.rootMoment, mean, 1e-9 * mean);
    EXPECT_NEAR(sixteen.rootMomentMax, largest, 1e-9 * largest);
    EXPECT_NEAR(sixteen.T, thrust, 1e-9 * thrust);
    EXPECT_GT(largest, 1.01 * mean);  // the shear loads the upper blade more
}

// Yawed 60 degrees at TSR 5.9, the root elements move with the wind's in-plane part
// faster than they turn (Vy < 0 near psi 0): each solver solves them with the inflow from
// behind the rotor plane, 90 < phi < 180 deg, tan phi = Vx (1 - a) / (Vy (1 + a')), the
// NACA 0012 table giving the coefficients of the stalled root. Where Vy nearly vanishes
// they are solved without tangential induction.
TEST(RotorModel, ElementsWithTheWindFromBehindAreSolved) {
    for (auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
        auto data = korvane::testing::defaultRotor(solver, 40);
        data.rotor.yaw = 60.0;
        const auto op = operatingPoint(data);
        int behind = 0;
        for (const bemt::SectorElement& e : op.sectors.front().elements) {
            if (!(e.Vy < 0.0)) continue;
            ++behind;
            const bemt::Solution& s = e.solution;
            SCOPED_TRACE("solver " + std::to_string(solver) + ", r " + std::to_string(s.r));
            EXPECT_TRUE(s.converged);
            EXPECT_GT(s.phi, std::numbers::pi / 2.0);
            EXPECT_LT(s.phi, std::numbers::pi);
            EXPECT_NEAR(std::atan2(e.Vx * (1.0 - s.a), e.Vy * (1.0 + s.a_)), s.phi, 1e-4);
        }
        EXPECT_GE(behind, 3);
    }
}

}  // namespace
