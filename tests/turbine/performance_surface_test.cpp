// Performance surfaces: every grid value is the operating point of its tip speed ratio
// and pitch, the torque coefficient is Cp R / (TSR R_p), also for a coned and tilted
// rotor whose coefficients are on its swept radius R_p, and impossible grids are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "DefaultRotor.h"
#include "bemt/ErrorOf.h"
#include "turbine/PerformanceSurface.h"

namespace {

using bemt::PerformanceSurface;
using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

TEST(PerformanceSurface, EveryValueIsTheOperatingPointOfItsTipSpeedRatioAndPitch) {
    for (const double precone : {0.0, 10.0}) {
        auto data = defaultRotor(bemt::Ning, 20);
        data.rotor.precone = precone;
        data.rotor.tilt = precone / 2.0;
        const double Rp = 25.0 * std::cos(precone * std::numbers::pi / 180.0);
        bemt::BEMTTools tools(bemt::Ning);
        const auto s = PerformanceSurface::compute(tools, data, 9.0, {3.0, 9.0, 2.0}, {-2.0, 6.0, 4.0}, ignoreProgress);
        EXPECT_EQ(s.wind, 9.0);
        ASSERT_EQ(s.tsr, (std::vector<double>{3.0, 5.0, 7.0, 9.0}));
        ASSERT_EQ(s.pitch, (std::vector<double>{-2.0, 2.0, 6.0}));
        ASSERT_EQ(s.cp.size(), 4u);
        bemt::BEMTTools single(bemt::Ning);
        for (std::size_t i = 0; i < s.tsr.size(); ++i) {
            ASSERT_EQ(s.cp[i].size(), 3u);
            ASSERT_EQ(s.ct[i].size(), 3u);
            ASSERT_EQ(s.cq[i].size(), 3u);
            for (std::size_t j = 0; j < s.pitch.size(); ++j) {
                auto d = data;
                d.conditions.V0 = 9.0;
                d.conditions.TSR = s.tsr[i];
                d.conditions.Om = s.tsr[i] * 9.0 / d.conditions.R;
                const auto op = single.analyzeOp(d, ignoreProgress, s.pitch[j]);
                SCOPED_TRACE(testing::Message() << "TSR " << s.tsr[i] << " pitch " << s.pitch[j]);
                EXPECT_NEAR(s.cp[i][j], op.Cp, 1e-9);
                EXPECT_NEAR(s.ct[i][j], op.Ct, 1e-9);
                // Torque over (rho/2 pi R_p^2 V^2 R_p).
                const double torqueReference = 0.5 * 1.225 * std::numbers::pi * Rp * Rp * 81.0 * Rp;
                EXPECT_NEAR(s.cq[i][j], op.P / op.conditions.Om / torqueReference, 1e-9);
                EXPECT_EQ(s.converged[i][j], op.converged);
                EXPECT_EQ(s.extrapolated[i][j], op.extrapolated);
            }
        }
        // Feathering sheds power at the design tip speed ratio.
        EXPECT_GT(s.cp[2][0], s.cp[2][2]);
    }
}

TEST(PerformanceSurface, RefusesImpossibleGrids) {
    const auto data = defaultRotor(bemt::Ning);
    bemt::BEMTTools tools(bemt::Ning);
    auto message = [&](double wind, bemt::SweepRange tsr, bemt::SweepRange pitch) {
        return korvane::testing::errorOf(
            [&] { PerformanceSurface::compute(tools, data, wind, tsr, pitch, ignoreProgress); });
    };
    const std::string wind = "The wind speed of the performance surface: the wind velocity V0 [m/s] ";
    EXPECT_EQ(message(0.0, {2, 4, 1}, {0, 0, 1}), wind + "0 lies outside its range, greater than 0 and at most 100.");
    EXPECT_EQ(message(8.0, {2, 4, 1}, {-90, 0, 1}),
              "The pitch of the performance surface: the pitch angle [deg] -90 lies outside its range, -5 to 90.");
    EXPECT_EQ(message(8.0, {0, 4, 1}, {0, 0, 1}),
              "The tip speed ratios of a performance surface must be greater than zero.");
    EXPECT_EQ(message(8.0, {4, 2, 1}, {0, 0, 1}), "The tip speed ratio range ends before it starts.");
    EXPECT_EQ(message(8.0, {2, 4, 1}, {0, 5, 0}), "The step of the pitch range must be greater than zero.");
    // The limits of the command line's --tsr and --pitch.
    EXPECT_EQ(message(8.0, {2, 150, 1}, {0, 0, 1}),
              "The tip speed ratios of the performance surface: the tip speed ratio 150 lies outside its range, "
              "greater than 0 and at most 100.");
    EXPECT_EQ(message(8.0, {0.01, 100, 0.01}, {0, 0, 1}),
              "The performance surface: the tip speed ratio range asks for 10000 positions, more than 1001.");
    EXPECT_EQ(message(8.0, {1, 100, 0.1}, {-5, 90, 0.2}),
              "A performance surface has at most 250000 points; 991 tip speed ratios and 476 pitch angles ask for "
              "471716.");
}

}  // namespace
