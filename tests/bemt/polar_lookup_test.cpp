// The combined lift and drag lookup of the solvers against the separate lookups, for
// every kind of polar, whatever the order of the angles asked (the search starts where
// the previous one ended); the spline's search from a starting piece.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

#include "TestPolars.h"
#include "bemt/Common.h"
#include "bemt/ProfileParamsCSV.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"

namespace {

using bemt::Common::deg2rad;
using korvane::testing::csvPolar;
constexpr double kPi = std::numbers::pi;

// Each knot, the numbers just beside it and `between` points evenly inside each gap.
std::vector<double> probesAround(const std::vector<double>& knots, int between) {
    std::vector<double> probes;
    for (std::size_t i = 0; i < knots.size(); ++i) {
        const double knot = knots[i];
        probes.insert(probes.end(), {knot, std::nextafter(knot, INFINITY), std::nextafter(knot, -INFINITY)});
        for (int k = 1; i + 1 < knots.size() && k <= between; ++k)
            probes.push_back(knots[i] + k * (knots[i + 1] - knots[i]) / (between + 1));
    }
    return probes;
}

// Angles (radians) around the tabulated angles (degrees) on both sides of zero, at and
// beyond +-180 degrees, in a shuffled order and once more in ascending order.
std::vector<double> probeAngles(std::vector<double> deg) {
    for (std::size_t i = 0, n = deg.size(); i < n; ++i) deg.push_back(-deg[i]);
    std::sort(deg.begin(), deg.end());
    deg = probesAround(deg, 1);
    deg.insert(deg.end(), {-200.0, 200.0, -359.0, 359.0, -0.0});
    std::vector<double> angles{kPi, -kPi};
    for (double a : deg) angles.push_back(deg2rad(a));
    std::shuffle(angles.begin(), angles.end(), std::mt19937(12));
    std::vector<double> ascending = angles;
    std::sort(ascending.begin(), ascending.end());
    angles.insert(angles.end(), ascending.begin(), ascending.end());
    return angles;
}

// Exactly the separate answers, including the sign of zero and NaN.
void expectSameAsSeparate(bemt::ProfileParams& polar, const std::vector<double>& angles, const char* what) {
    for (double alpha : angles) {
        const bemt::LiftDrag both = polar.coefficients(alpha);
        const double cl = polar.cl(alpha);
        const double cd = polar.cd(alpha);
        EXPECT_EQ(std::signbit(both.cl), std::signbit(cl)) << what << " at " << alpha;
        if (std::isnan(cl)) {
            EXPECT_TRUE(std::isnan(both.cl)) << what << " at " << alpha;
        } else {
            EXPECT_EQ(both.cl, cl) << what << " at " << alpha;
        }
        EXPECT_EQ(both.cd, cd) << what << " at " << alpha;
    }
}

const std::string kMeasured =
    "alpha,cl,cd\n-12.5,-0.7,0.03\n-8,-0.5,0.012\n-4,-0.1,0.008\n0,0.3,0.007\n4,0.72,0.008\n8,1.1,0.011\n"
    "12,1.32,0.02\n15.5,1.2,0.05\n";

TEST(PolarLookup, NacaTablesGiveTheSeparateValuesForEveryAirfoilAndReynoldsNumber) {
    const auto angles = probeAngles(bemt::alpha_long);
    const auto shortGrid = probeAngles(bemt::alpha_extra_short);
    for (auto airfoil : {bemt::NACA_0012, bemt::NACA_0015, bemt::NACA_0018, bemt::NACA_0021, bemt::NACA_0025}) {
        bemt::ProfileParamsNACA polar(airfoil);
        // Both level pairs, their anchors, and extrapolation below and above them.
        for (double re : {5e4, 1e5, 3e5, 1e6, 2.5e6, 1e7, 2e7}) {
            polar.setReynolds(re);
            expectSameAsSeparate(polar, angles, "NACA");
            expectSameAsSeparate(polar, shortGrid, "NACA on the short grid");
        }
    }
}

TEST(PolarLookup, ListPolarsGiveTheSeparateValuesInsideAndOutsideTheirTable) {
    auto polar = csvPolar(kMeasured);
    std::vector<double> tabulated = polar->alphaList();
    for (double a = -180.0; a <= 180.0; a += 1.0) tabulated.push_back(a);  // the NACA extension
    std::sort(tabulated.begin(), tabulated.end());
    expectSameAsSeparate(*polar, probeAngles(tabulated), "CSV");
    EXPECT_DOUBLE_EQ(polar->coefficients(deg2rad(4.0)).cl, 0.72);
    EXPECT_DOUBLE_EQ(polar->coefficients(deg2rad(4.0)).cd, 0.008);
    // A polar whose splines are not built yet builds them for the combined lookup too.
    auto fresh = csvPolar(kMeasured);
    EXPECT_DOUBLE_EQ(fresh->coefficients(deg2rad(-8.0)).cl, -0.5);
}

TEST(PolarLookup, BlendsGiveTheSeparateValuesWithAndWithoutInterpolation) {
    auto measured = csvPolar(kMeasured);
    auto naca = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0018);
    naca->setReynolds(4e5);
    bemt::ProfileParamsCombined blend;
    blend.setProfiles(measured.get(), naca.get());
    const auto angles = probeAngles(measured->alphaList());
    for (bool interpolation : {true, false}) {
        blend.setAirfoilBlending(interpolation);
        for (double ratio : {0.0, 0.3, 0.999, 1.0, 1.7, -0.4}) {
            blend.setRatio(ratio);
            expectSameAsSeparate(blend, angles, "blend");
        }
    }

    // A Reynolds combination blends by the Reynolds number whatever the switch says.
    bemt::ProfileParamsCombined combination;
    combination.setProfiles(std::shared_ptr<bemt::ProfileParams>(csvPolar(kMeasured)),
                            std::shared_ptr<bemt::ProfileParams>(naca));
    combination.setReynoldsRange(2e5, 1e6);
    combination.setReynolds(6e5);
    combination.setAirfoilBlending(false);
    expectSameAsSeparate(combination, angles, "Reynolds combination");

    // Polars that only answer cl and cd separately get both from the base class.
    korvane::testing::ThinAirfoilPolar thin(0.01);
    EXPECT_DOUBLE_EQ(thin.coefficients(0.1).cl, 2.0 * kPi * 0.1);
    EXPECT_DOUBLE_EQ(thin.coefficients(0.1).cd, 0.01);
}

// The piece of t is the last knot at or below t (0 left of the knots, the last knot right
// of them and for NaN), as a binary search over the knots finds it.
std::size_t searchedPiece(const bemt::spline& s, double t) {
    const auto& x = s.xValues();
    const auto it = std::upper_bound(x.begin(), x.end(), t);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - x.begin() - 1, 0));
}

TEST(SplineSearch, TheBucketIndexFindsThePieceABinarySearchFinds) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> gap(0.01, 10.0);
    std::vector<std::vector<double>> knotSets;
    // An airfoil table refined near zero lift, as the 5-MW polars are.
    knotSets.push_back({-180, -175, -160, -155, -90, -30, -10, -9.5, -9, -5, -1, -0.5, 0, 0.5, 1, 5, 9, 9.5, 10,
                        30, 90, 155, 160, 175, 180});
    // Random gaps over many orders of magnitude.
    std::vector<double> knots{-3.0};
    for (int i = 0; i < 300; ++i) knots.push_back(knots.back() + gap(random) * (i % 17 == 0 ? 1e-6 : 1.0));
    knotSets.push_back(knots);
    // A cluster far closer than the rest: more buckets than the index holds.
    knots = {0.0, 1e-9, 2e-9, 3e-9, 1.0, 2.0, 1000.0};
    knotSets.push_back(knots);
    // Two knots, and knots whose range overflows.
    knotSets.push_back({-1.0, 1.0});
    knotSets.push_back({-1e308, -1.0, 0.0, 1e-300, 1e308});
    for (const auto& x : knotSets) {
        const bemt::spline s(x, std::vector<double>(x.size(), 1.0), bemt::spline::linear);
        std::vector<double> probes = probesAround(x, 7);
        probes.insert(probes.end(), {std::nan(""), INFINITY, -INFINITY, -1e300, 1e300, 0.0, -0.0});
        for (double t : probes) EXPECT_EQ(s.piece(t), searchedPiece(s, t)) << "t " << t;
    }
}

TEST(SplineSearch, AStartingPieceNeverChangesThePieceFound) {
    const bemt::spline s({-3.0, -1.0, 0.0, 0.5, 2.0, 7.0}, {1.0, 0.0, 2.0, 1.0, 3.0, 0.0}, bemt::spline::cubic_hermite);
    std::vector<double> probes{-10.0, -3.0, -2.0, -1.0, -0.5, 0.0, 0.25, 0.5, 1.0, 2.0, 6.9, 7.0, 8.0, -0.0};
    for (double knot : s.xValues()) {
        probes.push_back(std::nextafter(knot, 1e9));
        probes.push_back(std::nextafter(knot, -1e9));
    }
    for (double t : probes) {
        for (std::size_t hint = 0; hint < 9; ++hint) {
            EXPECT_EQ(s.piece(t, hint), s.piece(t)) << "t " << t << " hint " << hint;
        }
    }
}

}  // namespace
