// The Viterna extension of list polars: continuity at the ends of the table, the values
// at 90 and 180 degrees from the formulas, a hand-computed value in between, symmetry,
// and the default drag coefficient of a blade.

#include <gtest/gtest.h>

#include <cmath>

#include "bemt/Common.h"
#include "ErrorOf.h"
#include "bemt/ProfileParamsList.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/ViternaExtension.h"

namespace {

using bemt::Common::deg2rad;

bemt::ProfileParamsList viternaPolar(std::vector<double> alpha, std::vector<double> cl, std::vector<double> cd,
                                     double cdMax) {
    bemt::ProfileParamsList polar;
    polar.setTable(std::move(alpha), std::move(cl), std::move(cd));
    polar.setExtension(bemt::PolarExtension::Viterna, cdMax);
    return polar;
}

TEST(Viterna, TheFormulasMeetTheTableAtItsEndAndGiveHandComputedValues) {
    // End point 15 degrees, cl 1.2, cd 0.03, cdMax 1.3; values at 45 degrees computed by
    // hand from cl = cdMax/2 sin 2a + KL cos^2 a / sin a and cd = cdMax sin^2 a + KD cos a.
    const bemt::ViternaExtension upper({15.0, 1.2, 0.03}, 1.3, 0.01);
    EXPECT_NEAR(upper.cl(15.0), 1.2, 1e-12);
    EXPECT_NEAR(upper.cd(15.0), 0.03, 1e-12);
    EXPECT_NEAR(upper.cl(45.0), 0.821633369868, 1e-9);
    EXPECT_NEAR(upper.cd(45.0), 0.608211986847, 1e-9);
    // Flat plate from behind: cl = cdMax/2 sin 2a, cd = cdMax sin^2 a + cd180 cos^2 a.
    EXPECT_NEAR(upper.cl(135.0), -0.65, 1e-12);
    EXPECT_NEAR(upper.cd(135.0), 0.655, 1e-12);
}

TEST(Viterna, ContinuousAtTheStallAngleOnBothSidesAndAFlatPlateAtNinety) {
    auto polar = viternaPolar({-8.0, -4.0, 0.0, 4.0, 8.0, 12.0, 15.0}, {-0.6, -0.2, 0.25, 0.7, 1.1, 1.3, 1.25},
                              {0.012, 0.009, 0.008, 0.009, 0.012, 0.02, 0.05}, 1.4);
    for (const double end : {15.0, -8.0}) {
        const double below = polar.cl(deg2rad(end - 1e-7));
        const double above = polar.cl(deg2rad(end + 1e-7));
        EXPECT_NEAR(below, above, 1e-5) << end;
        EXPECT_NEAR(polar.cd(deg2rad(end - 1e-7)), polar.cd(deg2rad(end + 1e-7)), 1e-5) << end;
    }
    EXPECT_NEAR(polar.cl(deg2rad(15.0)), 1.25, 1e-12);
    EXPECT_NEAR(polar.cl(deg2rad(-8.0)), -0.6, 1e-12);
    // The extension starts at the table, without a gap: one degree beyond the end it
    // follows the formulas.
    const bemt::ViternaExtension upper({15.0, 1.25, 0.05}, 1.4, 0.008);
    EXPECT_NEAR(polar.cl(deg2rad(16.0)), upper.cl(16.0), 1e-12);
    EXPECT_NEAR(polar.cd(deg2rad(16.0)), upper.cd(16.0), 1e-12);
    // At 90 degrees the drag of a flat plate (cdMax), at 180 degrees the smallest tabulated one.
    for (const double sign : {1.0, -1.0}) {
        EXPECT_NEAR(polar.cl(deg2rad(sign * 90.0)), 0.0, 1e-12);
        EXPECT_NEAR(polar.cd(deg2rad(sign * 90.0)), 1.4, 1e-12);
        EXPECT_NEAR(polar.cl(deg2rad(sign * 180.0)), 0.0, 1e-12);
        EXPECT_NEAR(polar.cd(deg2rad(sign * 180.0)), 0.008, 1e-12);
    }
}

// cl = 0.1 per degree, cd = 0.01 + 0.0001 alpha^2, -12 to 12 degrees.
TEST(Viterna, ASymmetricTableGetsAnOddLiftAndAnEvenDrag) {
    std::vector<double> a, l, d;
    for (int deg = -12; deg <= 12; ++deg) {
        a.push_back(deg);
        l.push_back(0.1 * deg);
        d.push_back(0.01 + 0.0001 * deg * deg);
    }
    auto polar = viternaPolar(a, l, d, 1.3);
    for (double deg = 0.5; deg <= 180.0; deg += 2.5) {
        EXPECT_NEAR(polar.cl(deg2rad(-deg)), -polar.cl(deg2rad(deg)), 1e-12) << deg;
        EXPECT_NEAR(polar.cd(deg2rad(-deg)), polar.cd(deg2rad(deg)), 1e-12) << deg;
    }
}

TEST(Viterna, ATableEndingBeyondNinetyDegreesCannotBeMatched) {
    auto polar = viternaPolar({-10.0, 0.0, 120.0}, {-0.8, 0.2, -0.5}, {0.02, 0.01, 1.2}, 1.3);
    EXPECT_EQ(korvane::testing::errorOf([&] { polar.setSplines(); }),
              "The polar cannot be extended: " + bemt::ViternaExtension::kRangeProblem +
                  " (the table spans -10 to 120 degrees).");
    // A table over the whole circle needs no extension.
    auto full = viternaPolar({-180.0, 0.0, 180.0}, {0.0, 0.0, 0.0}, {0.5, 0.5, 0.5}, 1.3);
    EXPECT_NO_THROW(full.setSplines());
}

TEST(Viterna, TheDefaultDragAtNinetyDegreesFollowsTheBladesAspectRatio) {
    EXPECT_NEAR(bemt::ViternaExtension::defaultCdMax(17.0), 1.416, 1e-12);
    EXPECT_NEAR(bemt::ViternaExtension::defaultCdMax(80.0), 2.01, 1e-12);  // capped at 50
    // Constant c/R 0.05: aspect ratio R / c = 20; a chord tapering from 0.08 to 0.02
    // has the mean 0.05 too.
    EXPECT_NEAR(bemt::ToolsAirfoil::bladeAspectRatio({{0.1, 0.05}, {1.0, 0.05}}), 20.0, 1e-12);
    EXPECT_NEAR(bemt::ToolsAirfoil::bladeAspectRatio({{0.2, 0.08}, {0.6, 0.05}, {1.0, 0.02}}), 20.0, 1e-12);
    EXPECT_TRUE(std::isinf(bemt::ToolsAirfoil::bladeAspectRatio({})));

    std::vector<bemt::AirfoilPoint> points(2);
    points[1].cd_max = 1.2;  // the user's own value stays
    const auto filled = bemt::ToolsAirfoil::withBladeDefaults(points, {{0.1, 0.05}, {1.0, 0.05}});
    EXPECT_NEAR(filled[0].cd_max, 1.11 + 0.018 * 20.0, 1e-12);
    EXPECT_EQ(filled[1].cd_max, 1.2);
}

}  // namespace
