// The full-circle extension of tabulated polars: where the NACA data join, which NACA
// airfoil is chosen by thickness, folding, the tabulated range and the failures.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "bemt/ProfileParamsList.h"
#include "bemt/ProfileParamsNACA.h"

namespace {

using bemt::Common::deg2rad;
using korvane::testing::errorOf;

// A list polar holding whatever angles it is given, as no reader would pass them.
struct TablePolar : bemt::ProfileParamsList {
    explicit TablePolar(const std::vector<double>& anglesDeg) {
        for (double a : anglesDeg) appendPoint(a, 0.7, 0.02);
        setBoundsFromList();
    }
};

// A polar tabulated at the given angles with constant cl 0.7 and cd 0.02, so that
// tabulated data and NACA data are easy to tell apart.
std::unique_ptr<bemt::ProfileParamsList> constantPolar(const std::vector<double>& anglesDeg, double thickness = 0.15) {
    auto polar = std::make_unique<TablePolar>(anglesDeg);
    polar->setRelativeThickness(thickness);
    return polar;
}

double nacaCl(bemt::NACAairfoil airfoil, double deg, double re = 1e6) {
    bemt::ProfileParamsNACA naca(airfoil);
    naca.setReynolds(re);
    return naca.cl(deg2rad(deg));
}

TEST(ListPolar, JoinsNacaDataTwentyDegreesBelowAndFifteenAboveTheTable) {
    auto polar = constantPolar({-10, 0, 10, 20});
    // Knots of the extension reproduce the NACA data exactly.
    for (double deg : {-180.0, -100.0, -31.0, -30.0, 35.0, 90.0, 180.0}) {
        EXPECT_NEAR(polar->cl(deg2rad(deg)), nacaCl(bemt::NACA_0015, deg), 1e-9) << deg;
    }
    // Tabulated points are kept.
    EXPECT_DOUBLE_EQ(polar->cl(deg2rad(0)), 0.7);
    EXPECT_DOUBLE_EQ(polar->cd(deg2rad(20)), 0.02);
    // In the gaps the spline bridges: neither table value nor NACA value at 34°.
    EXPECT_NE(polar->cl(deg2rad(34)), nacaCl(bemt::NACA_0015, 34));
    // The tabulated range; outOfRange does not fold, cl does.
    EXPECT_DOUBLE_EQ(polar->alphaMin(), deg2rad(-10));
    EXPECT_DOUBLE_EQ(polar->alphaMax(), deg2rad(20));
    EXPECT_TRUE(polar->outOfRange(deg2rad(25)));
    EXPECT_FALSE(polar->outOfRange(deg2rad(20)));
    EXPECT_FALSE(polar->outOfRange(deg2rad(-10)));
    EXPECT_TRUE(polar->outOfRange(deg2rad(-10.5)));
    EXPECT_TRUE(polar->outOfRange(deg2rad(5) + 2 * std::numbers::pi));
    EXPECT_DOUBLE_EQ(polar->cl(deg2rad(5) + 2 * std::numbers::pi), polar->cl(deg2rad(5)));
    EXPECT_DOUBLE_EQ(polar->cd(deg2rad(-175) - 2 * std::numbers::pi), polar->cd(deg2rad(-175)));
}

TEST(ListPolar, NacaAirfoilChosenByThicknessInPercentOfChord) {
    struct Case {
        double thickness;
        bemt::NACAairfoil expected;
    };
    const std::vector<Case> cases = {{0.12, bemt::NACA_0012}, {0.1349, bemt::NACA_0012}, {0.135, bemt::NACA_0015},
                                     {0.15, bemt::NACA_0015}, {0.18, bemt::NACA_0018}, {0.195, bemt::NACA_0021},
                                     {0.21, bemt::NACA_0021}, {0.229, bemt::NACA_0021}, {0.23, bemt::NACA_0025},
                                     {0.40, bemt::NACA_0025}};
    for (const Case& c : cases) {
        auto polar = constantPolar({15, 20}, c.thickness);
        // Knots from -180° to -5° (table from 15° to 20°), where the five airfoils differ.
        for (double deg = -180; deg <= -5; deg += 1) {
            ASSERT_NEAR(polar->cl(deg2rad(deg)), nacaCl(c.expected, deg), 1e-9) << c.thickness << " at " << deg;
        }
    }
}

TEST(ListPolar, ShortenedAndMissingExtensions) {
    // Lowest angle -155°: leading extension -180 ... -175 only.
    auto near = constantPolar({-155, -150});
    EXPECT_NEAR(near->cl(deg2rad(-175)), nacaCl(bemt::NACA_0015, -175), 1e-9);
    // Lowest angle -165°: no leading extension; -180° is extrapolated from the table
    // instead of taking the NACA value 0.
    auto none = constantPolar({-165, -160, 0});
    EXPECT_NEAR(none->cl(deg2rad(-180)), 0.7, 0.05);
    // Highest angle 170°: s = 185, no trailing extension (NACA cl at 180° would be 0).
    auto high = constantPolar({0, 170});
    EXPECT_GT(high->cl(deg2rad(180)), 0.2);
    // Highest angle 12.5°: the trailing extension starts at 27°.
    auto half = constantPolar({0, 12.5});
    EXPECT_NEAR(half->cl(deg2rad(27)), nacaCl(bemt::NACA_0015, 27), 1e-9);
    EXPECT_NE(half->cl(deg2rad(26)), nacaCl(bemt::NACA_0015, 26));
}

TEST(ListPolar, SetReynoldsRebuildsTheExtensionAtOnce) {
    auto polar = constantPolar({15, 20}, 0.21);
    EXPECT_DOUBLE_EQ(polar->cl(deg2rad(-5)), -0.5192);  // NACA 0021, middle level
    polar->setReynolds(100000);
    EXPECT_DOUBLE_EQ(polar->getCurrentReynolds(), 100000);
    EXPECT_DOUBLE_EQ(polar->cl(deg2rad(-5)), -0.4324);  // low level
    EXPECT_FALSE(polar->hasReynoldsRange());
}

// Unusable tables throw the spline's messages. First or last angles far outside the circle
// once made the extension step by one degree from there to 180 (for ever at 2^53 and
// beyond): refusing is as good as finishing; angles that are no finite numbers are refused.
TEST(ListPolar, UnusableTablesAndExtremeOrNonFiniteBoundsAreRefusedWithoutHanging) {
    bemt::ProfileParamsList empty;
    EXPECT_EQ(errorOf([&] { empty.cl(0.0); }), "Increase the number of points to create a spline.");

    auto descending = constantPolar({10, 0});
    EXPECT_DOUBLE_EQ(descending->alphaMin(), deg2rad(10));
    EXPECT_DOUBLE_EQ(descending->alphaMax(), deg2rad(0));
    EXPECT_EQ(errorOf([&] { descending->cl(0.0); }),
              "X values must be ordered from the lowest to the highest to create a spline.");
    for (const auto& angles : {std::vector<double>{-1e300, 0.0}, std::vector<double>{0.0, 1e300},
                               std::vector<double>{-1e17, 1e17}})
        errorOf([&] { constantPolar(angles)->setSplines(); });
    for (const auto& angles : {std::vector<double>{-INFINITY, 0.0}, std::vector<double>{0.0, INFINITY},
                               std::vector<double>{NAN, 0.0}, std::vector<double>{0.0, NAN}}) {
        EXPECT_EQ(errorOf([&] { constantPolar(angles)->setSplines(); }), bemt::ProfileParamsList::kNotFiniteAngles);
    }
}

}  // namespace
