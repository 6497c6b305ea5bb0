// Segments from airfoil points of the exchange types: AeroDyn tables and XFOIL polar
// files, the Reynolds number of a repeated multi-table point, and the Viterna extension
// chosen per point.

#include <gtest/gtest.h>

#include <sstream>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "bemt/ProfileParamsXfoilPolar.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/ViternaExtension.h"

namespace {

using bemt::AirfoilPoint;
using bemt::Common::deg2rad;
using bemt::ToolsAirfoil;

const std::string kTwoTables = R"(2  NumTabs
0.5  Re
False  InclUAdata
3  NumAlf
-10  -1.0  0.01
0  0.0  0.01
10  1.0  0.01
1.5  Re
False  InclUAdata
3  NumAlf
-10  -0.8  0.03
0  0.2  0.03
10  1.2  0.03
)";

const std::string kPolarFile = R"( Mach =   0.000     Re =     1.000 e 6     Ncrit =   9.000
   alpha    CL        CD
  ------ -------- ---------
  -4.000   0.0296   0.00840
   0.000   0.4707   0.00764
  12.000   1.5471   0.02108
)";

std::istream* openFile(const std::string& path) {
    if (path == "two.dat") return new std::istringstream(kTwoTables);
    if (path == "polar.txt") return new std::istringstream(kPolarFile);
    if (path == "broken.dat") return new std::istringstream("1 NumTabs\n");
    if (path == "wide.dat")
        return new std::istringstream("1 NumTabs\n1 Re\nF InclUAdata\n3 NumAlf\n-10 -0.8 0.02\n0 0.2 0.01\n120 -0.5 1.2\n");
    return nullptr;
}

AirfoilPoint point(double x, bemt::AirfoilType type, const std::string& path) {
    AirfoilPoint p;
    p.x_rel = x;
    p.data_type = type;
    p.path = path;
    return p;
}

std::vector<bemt::AirfoilSegment> build(const std::vector<AirfoilPoint>& points) {
    return ToolsAirfoil::segmentsFromPoints(points, openFile, bemt::OperatingConditions{}, nullptr, nullptr);
}

std::string buildError(const std::vector<AirfoilPoint>& points) {
    return korvane::testing::errorOf([&] { build(points); });
}

TEST(ExchangeSegments, AeroDynTablesAndXfoilPolarFilesBecomePolars) {
    const auto segments = build({point(0.2, bemt::AeroDynTable, "two.dat"), point(1.0, bemt::XfoilPolarFile, "polar.txt")});
    ASSERT_EQ(segments.size(), 1u);
    ASSERT_NE(dynamic_cast<bemt::ProfileParamsAeroDyn*>(segments[0].first.get()), nullptr);
    ASSERT_NE(dynamic_cast<bemt::ProfileParamsXfoilPolar*>(segments[0].second.get()), nullptr);
    EXPECT_TRUE(segments[0].first->hasReynoldsRange());
    EXPECT_FALSE(segments[0].second->hasReynoldsRange());
    EXPECT_NEAR(segments[0].second->cl(deg2rad(12.0)), 1.5471, 1e-12);
}

TEST(ExchangeSegments, ARepeatedMultiTablePointFollowsItsOwnReynoldsNumber) {
    AirfoilPoint repeated = point(1.0, bemt::NACA0012, "");
    repeated.repeat = true;
    auto segments = build({point(0.2, bemt::AeroDynTable, "two.dat"), repeated});
    ASSERT_NE(segments[0].first.get(), segments[0].second.get());
    segments[0].first->setReynolds(0.5e6);
    segments[0].second->setReynolds(1.5e6);
    EXPECT_NEAR(segments[0].first->cl(deg2rad(10.0)), 1.0, 1e-12);
    EXPECT_NEAR(segments[0].second->cl(deg2rad(10.0)), 1.2, 1e-12);
}

TEST(ExchangeSegments, TheViternaExtensionIsChosenPerPoint) {
    AirfoilPoint viterna = point(0.2, bemt::XfoilPolarFile, "polar.txt");
    viterna.extension = bemt::ExtensionViterna;
    viterna.cd_max = 1.5;
    const auto segments = build({viterna, point(1.0, bemt::XfoilPolarFile, "polar.txt")});
    EXPECT_NEAR(segments[0].first->cd(deg2rad(90.0)), 1.5, 1e-12);
    EXPECT_NEAR(segments[0].first->cd(deg2rad(180.0)), 0.00764, 1e-12);
    // The other point keeps the NACA extension.
    EXPECT_GT(std::abs(segments[0].second->cd(deg2rad(90.0)) - 1.5), 0.01);
}

TEST(ExchangeSegments, FileProblemsNameTheFile) {
    EXPECT_EQ(buildError({point(0.2, bemt::AeroDynTable, "missing.dat"), point(1.0, bemt::NACA0012, "")}),
              "File missing.dat does not exist or is not readable.");
    EXPECT_EQ(buildError({point(0.2, bemt::AeroDynTable, "broken.dat"), point(1.0, bemt::NACA0012, "")}),
              "broken.dat: the keyword Re is missing in table 1 of 1 (NumTabs is 1).");
    AirfoilPoint beyond = point(0.2, bemt::AeroDynTable, "wide.dat");
    beyond.extension = bemt::ExtensionViterna;
    EXPECT_EQ(buildError({beyond, point(1.0, bemt::NACA0012, "")}),
              "wide.dat: The polar cannot be extended: " + bemt::ViternaExtension::kRangeProblem +
                  " (the table spans -10 to 120 degrees).");
}

}  // namespace
