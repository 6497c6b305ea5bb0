// Blending of neighbouring airfoils and Reynolds combinations; segment lookups.
#include <gtest/gtest.h>

#include <memory>

#include "TestPolars.h"
#include "bemt/Common.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ToolsAirfoil.h"

namespace {

using bemt::ProfileParamsCombined;
using korvane::testing::ConstantPolar;

// Linear in the ratio, extrapolated beyond the ends; switched off, the start airfoil holds up
// to the segment end. A Reynolds combination blends by the Reynolds number whatever the
// switch, also with polars it owns alone.
TEST(Blending, BlendsLinearlyOrByReynoldsNumber) {
    ConstantPolar low(0.4, 0.01), high(0.8, 0.03);
    ProfileParamsCombined blend;
    blend.setProfiles(&low, &high);
    blend.setRatio(0.25);
    EXPECT_DOUBLE_EQ(blend.cl(0.1), 0.5);
    EXPECT_DOUBLE_EQ(blend.cd(0.1), 0.015);
    blend.setRatio(1.5);
    EXPECT_DOUBLE_EQ(blend.cl(0.1), 1.0);

    blend.setAirfoilBlending(false);
    blend.setRatio(0.999);
    EXPECT_DOUBLE_EQ(blend.cl(0.1), 0.4);
    blend.setRatio(1.0);
    EXPECT_DOUBLE_EQ(blend.cl(0.1), 0.8);

    ProfileParamsCombined combination;
    combination.setProfiles(std::make_shared<ConstantPolar>(0.4, 0.01), std::make_shared<ConstantPolar>(0.8, 0.03));
    combination.setAirfoilBlending(false);
    combination.setReynoldsRange(200000, 1000000);
    combination.setReynolds(600000);
    EXPECT_DOUBLE_EQ(combination.cl(0.1), 0.6);
    combination.setReynolds(100000);
    EXPECT_DOUBLE_EQ(combination.ratio(), -0.125);
}

TEST(Blending, RangeIsTheOverlapAndReynoldsReachesOnlyDependentPolars) {
    bemt::ProfileParamsNACA naca(bemt::NACA_0012);
    ConstantPolar list(0.5, 0.01, bemt::Common::deg2rad(-10), bemt::Common::deg2rad(20));
    ProfileParamsCombined blend;
    blend.setProfiles(&naca, &list);
    EXPECT_DOUBLE_EQ(blend.alphaMin(), bemt::Common::deg2rad(-10));
    EXPECT_DOUBLE_EQ(blend.alphaMax(), bemt::Common::deg2rad(20));
    EXPECT_TRUE(blend.outOfRange(bemt::Common::deg2rad(25)));
    EXPECT_TRUE(blend.hasReynoldsRange());
    blend.setReynolds(300000);
    EXPECT_DOUBLE_EQ(naca.getCurrentReynolds(), 300000);
    EXPECT_DOUBLE_EQ(blend.getCurrentReynolds(), 1000000);
}

// The segment of a position, clamped to the first and last; the Reynolds number of each
// polar set at its own point.
TEST(ToolsAirfoil, FindSegmentClampsAndSetupReynoldsSetsEachPolarAtItsOwnPoint) {
    auto p = std::make_shared<ConstantPolar>(0.5, 0.01);
    std::vector<bemt::AirfoilSegment> three = {{0.1, 0.4, p, p}, {0.4, 0.7, p, p}, {0.7, 1.0, p, p}};
    const std::pair<double, int> found[] = {{0.0, 0}, {0.1, 0}, {0.4, 1}, {0.69, 1}, {0.7, 2}, {1.3, 2}};
    for (const auto& [x, index] : found) EXPECT_EQ(bemt::ToolsAirfoil::findSegment(x, &three), &three[index]) << x;

    auto shared = std::make_shared<korvane::testing::ReynoldsRecordingPolar>();
    auto first = std::make_shared<korvane::testing::ReynoldsRecordingPolar>();
    auto last = std::make_shared<ConstantPolar>(0.5, 0.01);  // no Reynolds range: untouched
    std::vector<bemt::AirfoilSegment> segments = {{0.1, 0.5, first, shared}, {0.5, 1.0, shared, last}};
    bemt::OperatingConditions op;
    const bemt::spline chord({0.0, 1.0}, {0.1, 0.05}, bemt::spline::linear);
    bemt::ToolsAirfoil::setupReynolds(&segments, &chord, op);

    EXPECT_EQ(first->calls, 1);
    EXPECT_EQ(shared->calls, 2);  // as the end of one segment and the start of the next
    EXPECT_DOUBLE_EQ(shared->getCurrentReynolds(), bemt::Common::reynolds(0.5, chord(0.5), op));
    EXPECT_DOUBLE_EQ(first->getCurrentReynolds(), bemt::Common::reynolds(0.1, chord(0.1), op));
}

}  // namespace
