// The built-in NACA tables against the published section data (Sheldahl and Klimas,
// SAND80-2114, 1981): the telling rows below 30 degrees, the Reynolds-independent values
// from 30 to 180 degrees, the angle grids, and the polar's symmetry and blending rules.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bemt/Common.h"
#include "bemt/ProfileParamsNACA.h"

namespace {

using bemt::Common::deg2rad;
using bemt::ProfileParamsNACA;

constexpr double kExact = 1e-12;
const double kLevelReynolds[3] = {1e5, 1e6, 1e7};

struct TellingRow {
    bemt::NACAairfoil airfoil;
    int level;
    double cl5, cl10, maxCl, maxClAngle, cd0, cd10;
};

const TellingRow kTellingRows[] = {
    {bemt::NACA_0012, 0, 0.55, 0.0413, 0.9496, 27, 0.0133, 0.06},
    {bemt::NACA_0012, 1, 0.55, 1.0512, 1.1212, 12, 0.0065, 0.0147},
    {bemt::NACA_0012, 2, 0.55, 1.1, 1.3423, 14, 0.0064, 0.0106},
    {bemt::NACA_0015, 0, 0.518, 0.5122, 0.8277, 27, 0.0147, 0.0277},
    {bemt::NACA_0015, 1, 0.55, 1.0141, 1.0971, 12, 0.0074, 0.0152},
    {bemt::NACA_0015, 2, 0.55, 1.0685, 1.3298, 15, 0.0068, 0.0113},
    {bemt::NACA_0018, 0, 0.4753, 0.6248, 0.6606, 9, 0.0162, 0.0288},
    {bemt::NACA_0018, 1, 0.55, 0.9751, 1.0804, 13, 0.0082, 0.0154},
    {bemt::NACA_0018, 2, 0.55, 1.0404, 1.3067, 16, 0.0073, 0.0117},
    {bemt::NACA_0021, 0, 0.4324, 0.578, 0.5874, 9, 0.0177, 0.0297},
    {bemt::NACA_0021, 1, 0.5192, 0.9364, 1.1018, 25, 0.0089, 0.0154},
    {bemt::NACA_0021, 2, 0.55, 1.0049, 1.3476, 25, 0.0078, 0.0121},
    {bemt::NACA_0025, 0, 0.3413, 0.4749, 0.5574, 25, 0.0197, 0.0311},
    {bemt::NACA_0025, 1, 0.4844, 0.871, 1.2317, 27, 0.0097, 0.0157},
    {bemt::NACA_0025, 2, 0.5097, 0.9472, 1.4395, 27, 0.0084, 0.0126},
};

// The compiled lift and drag tables of each airfoil.
using P = ProfileParamsNACA;
const P::TableTriple* const kTables[5][2] = {{&P::cl_naca0012, &P::cd_naca0012}, {&P::cl_naca0015, &P::cd_naca0015},
                                             {&P::cl_naca0018, &P::cd_naca0018}, {&P::cl_naca0021, &P::cd_naca0021},
                                             {&P::cl_naca0025, &P::cd_naca0025}};

ProfileParamsNACA polarAt(bemt::NACAairfoil airfoil, double reynolds) {
    ProfileParamsNACA polar(airfoil);
    polar.setReynolds(reynolds);
    return polar;
}

TEST(NacaTables, TellingRowsBelowThirtyDegrees) {
    for (const auto& row : kTellingRows) {
        SCOPED_TRACE("airfoil " + std::to_string(row.airfoil) + " level " + std::to_string(row.level));
        auto polar = polarAt(row.airfoil, kLevelReynolds[row.level]);
        EXPECT_NEAR(polar.cl(deg2rad(5)), row.cl5, kExact);
        EXPECT_NEAR(polar.cl(deg2rad(10)), row.cl10, kExact);
        EXPECT_NEAR(polar.cd(deg2rad(0)), row.cd0, kExact);
        EXPECT_NEAR(polar.cd(deg2rad(10)), row.cd10, kExact);
        EXPECT_NEAR(polar.cl(0.0), 0.0, kExact);

        // The largest lift below 30 degrees lies on a grid point (the tables are linear).
        double best = -1.0, bestAngle = -1.0;
        for (double a : (*kTables[row.airfoil][0])[row.level].xValues()) {
            if (a >= 30) break;
            const double cl = polar.cl(deg2rad(a));
            if (cl > best) {
                best = cl;
                bestAngle = a;
            }
        }
        EXPECT_NEAR(best, row.maxCl, kExact);
        EXPECT_EQ(bestAngle, row.maxClAngle);
    }
}

TEST(NacaTables, ValuesFromThirtyToOneEightyDegreesDoNotDependOnReynolds) {
    const std::vector<double> cl0012 = {0.915, 1.02,  1.075, 1.085, 1.04,  0.965, 0.875, 0.765, 0.65,  0.515, 0.37,
                                        0.22,  0.07,  -0.07, -0.22, -0.37, -0.51, -0.625, -0.735, -0.84, -0.91, -0.945,
                                        -0.945, -0.91, -0.85, -0.74, -0.66, -0.675, -0.85, -0.69, 0};
    const std::vector<double> clOthers = {0.855, 0.98,  1.035, 1.05,  1.02,  0.955, 0.875, 0.76,  0.63,  0.5,  0.36,
                                          0.23,  0.09,  -0.05, -0.185, -0.32, -0.45, -0.575, -0.67, -0.76, -0.85, -0.93,
                                          -0.98, -0.9,  -0.77, -0.67, -0.635, -0.68, -0.85, -0.66, 0};
    const std::vector<double> cdAll = {0.57,  0.745, 0.92,  1.075, 1.215, 1.345, 1.47,  1.575, 1.665, 1.735, 1.78,
                                       1.8,   1.8,   1.78,  1.75,  1.7,   1.635, 1.555, 1.465, 1.35,  1.225, 1.085,
                                       0.925, 0.755, 0.575, 0.42,  0.32,  0.23,  0.14,  0.055, 0.025};
    const bemt::NACAairfoil airfoils[] = {bemt::NACA_0012, bemt::NACA_0015, bemt::NACA_0018, bemt::NACA_0021,
                                          bemt::NACA_0025};
    for (auto airfoil : airfoils) {
        for (double re : kLevelReynolds) {
            SCOPED_TRACE("airfoil " + std::to_string(airfoil) + " Re " + std::to_string(re));
            auto polar = polarAt(airfoil, re);
            for (std::size_t k = 0; k < cdAll.size(); ++k) {
                const int angle = 30 + 5 * static_cast<int>(k);
                double cl = airfoil == bemt::NACA_0012 ? cl0012[k] : clOthers[k];
                if (angle == 80 && airfoil >= bemt::NACA_0018) cl = 0.365;
                double cd = cdAll[k];
                if (angle == 75 && airfoil == bemt::NACA_0018) cd = 1.738;
                EXPECT_NEAR(polar.cl(deg2rad(angle)), cl, kExact) << angle << " deg";
                EXPECT_NEAR(polar.cd(deg2rad(angle)), cd, kExact) << angle << " deg";
            }
        }
    }
}

// Each compiled table lies on the angle grid its airfoil and level are published with.
TEST(NacaTables, EachTableLiesOnItsPublishedAngleGrid) {
    const std::vector<double>* grids[5][3] = {
        {&bemt::alpha_long, &bemt::alpha_long, &bemt::alpha_long},
        {&bemt::alpha_long, &bemt::alpha_long, &bemt::alpha_long},
        {&bemt::alpha_extra_short, &bemt::alpha_short, &bemt::alpha_medium_long},
        {&bemt::alpha_extra_short, &bemt::alpha_medium, &bemt::alpha_medium_long},
        {&bemt::alpha_shorter, &bemt::alpha_long, &bemt::alpha_long},
    };
    for (int airfoil = 0; airfoil < 5; ++airfoil) {
        for (int level = 0; level < 3; ++level) {
            for (const auto* table : kTables[airfoil])
                EXPECT_EQ((*table)[level].xValues(), *grids[airfoil][level]) << airfoil << "/" << level;
        }
    }
    EXPECT_EQ(bemt::alpha_extra_short.size(), 50u);  // 0 to 12 by 1, 14 to 22 by 2, 25, 30 to 180 by 5
}

TEST(NacaPolar, IsOddInLiftEvenInDragFoldsOneTurnAndBlendsTheReynoldsLevelsLinearly) {
    for (int airfoil = 0; airfoil <= 5; ++airfoil) {
        auto polar = polarAt(static_cast<bemt::NACAairfoil>(airfoil), 3e5);
        for (double a : {0.01, 0.2, 0.7, 1.5, 2.9}) {
            EXPECT_DOUBLE_EQ(polar.cl(-a), -polar.cl(a));
            EXPECT_DOUBLE_EQ(polar.cd(-a), polar.cd(a));
        }
        EXPECT_NEAR(polar.cl(deg2rad(180)), 0.0, kExact);
    }
    // 200 degrees is evaluated as -160 degrees: -cl(160) = +0.635 for NACA 0015.
    auto naca0015 = polarAt(bemt::NACA_0015, 1e6);
    EXPECT_NEAR(naca0015.cl(deg2rad(200)), 0.635, 1e-12);
    EXPECT_TRUE(naca0015.outOfRange(3.2));
    EXPECT_FALSE(naca0015.outOfRange(3.1));
    for (double re : kLevelReynolds) EXPECT_NEAR(polarAt(bemt::NACA_0021, re).cd(deg2rad(180)), 0.025, kExact);

    // The Reynolds levels are blended linearly.
    auto low = polarAt(bemt::NACA_0012, 1e5);
    auto middle = polarAt(bemt::NACA_0012, 1e6);
    auto high = polarAt(bemt::NACA_0012, 1e7);
    auto between = polarAt(bemt::NACA_0012, 550000);
    auto beyond = polarAt(bemt::NACA_0012, 2e7);
    const double a = deg2rad(10);
    EXPECT_NEAR(between.cl(a), 0.5 * (low.cl(a) + middle.cl(a)), kExact);
    EXPECT_NEAR(between.cd(a), 0.5 * (low.cd(a) + middle.cd(a)), kExact);
    // 2e7 extrapolates from the middle and high tables with weight 19/9.
    EXPECT_NEAR(beyond.cl(a), middle.cl(a) + 19.0 / 9.0 * (high.cl(a) - middle.cl(a)), kExact);
    // Half way between grid points, the table is linear.
    EXPECT_NEAR(middle.cl(deg2rad(9.5)), 0.5 * (0.9661 + 1.0512), kExact);
    // So each element sets its own Reynolds number on the polar.
    EXPECT_TRUE(middle.hasReynoldsRange());
}

}  // namespace
