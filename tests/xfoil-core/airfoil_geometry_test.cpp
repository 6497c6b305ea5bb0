// Preparing coordinates for XFOIL: thickness against the NACA designations,
// normalisation, and every kind of outline that XFOIL cannot analyse.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "AirfoilGeometry.h"

namespace {

using namespace xfoilcore;

std::vector<Point> example(const std::string& name) {
    std::ifstream file(std::string(KORVANE_EXAMPLE_AIRFOILS) + "/" + name);
    std::string line;
    std::getline(file, line);  // name
    std::vector<Point> points;
    for (Point p; file >> p.x >> p.y;) points.push_back(p);
    return points;
}

// The last two digits of a NACA four-digit designation are the thickness in percent.
TEST(AirfoilGeometry, ThicknessMatchesTheNacaDesignation) {
    for (const auto& [name, thickness] : {std::pair{"naca0012.dat", 0.12}, std::pair{"naca2412.dat", 0.12},
                                          std::pair{"naca4415.dat", 0.15}, std::pair{"naca0021.dat", 0.21}})
        EXPECT_NEAR(prepareAirfoil(example(name)).thickness, thickness, 0.001) << name;
}

TEST(AirfoilGeometry, ScaledShiftedAndRotatedInputIsNormalised) {
    const auto base = prepareAirfoil(example("naca4415.dat"));
    std::vector<Point> moved;
    const double turn = 0.1;  // radians
    for (const Point& p : example("naca4415.dat")) {
        moved.push_back({3.0 + 2.0 * (p.x * std::cos(turn) - p.y * std::sin(turn)),
                         -1.0 + 2.0 * (p.x * std::sin(turn) + p.y * std::cos(turn))});
    }
    const auto prepared = prepareAirfoil(moved);
    ASSERT_TRUE(prepared.valid);
    EXPECT_NEAR(prepared.thickness, base.thickness, 1e-9);
    // Leading edge at the origin, trailing edge at distance 1.
    const Point te = prepared.points.front();
    EXPECT_NEAR(std::hypot(te.x, te.y), 1.0, 1e-9);
}

TEST(AirfoilGeometry, DuplicatesAreDroppedAndLargeInputsThinned) {
    std::vector<Point> doubled;
    for (const Point& p : example("naca0012.dat")) {
        doubled.push_back(p);
        doubled.push_back(p);
    }
    const auto prepared = prepareAirfoil(doubled);
    ASSERT_TRUE(prepared.valid);
    EXPECT_EQ(prepared.points.size(), 161u);

    std::vector<Point> dense;
    const int n = 600;
    for (int i = 0; i <= 2 * n; ++i) {
        const double beta = std::numbers::pi * std::abs(i - n) / n;
        const double x = (1 - std::cos(beta)) / 2;
        const double t = 0.6 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                                0.1036 * x * x * x * x);
        dense.push_back({x, i < n ? t : -t});
    }
    const auto thinned = prepareAirfoil(dense);
    ASSERT_TRUE(thinned.valid) << thinned.reason;
    EXPECT_LE(thinned.points.size(), kMaxPoints);
    EXPECT_NEAR(thinned.thickness, 0.12, 0.001);
    bool hasLeadingEdge = false;
    for (const Point& p : thinned.points) hasLeadingEdge = hasLeadingEdge || (p.x == 0.0 && p.y == 0.0);
    EXPECT_TRUE(hasLeadingEdge);
}

// A surface with fewer points than its share of the thinned outline must not come out
// with repeated points, which make XFOIL stop.
TEST(AirfoilGeometry, LopsidedLargeInputIsThinnedWithoutRepeats) {
    std::vector<Point> lopsided = {{1, 0.001}, {0.5, 0.06}, {0, 0}};
    for (int i = 1; i <= 3000; ++i) {
        const double x = i / 3000.0;
        lopsided.push_back({x, -0.06 * std::sin(std::numbers::pi * std::sqrt(x)) - 0.001 * x});
    }
    const auto prepared = prepareAirfoil(lopsided);
    ASSERT_TRUE(prepared.valid) << prepared.reason;
    EXPECT_LE(prepared.points.size(), kMaxPoints);
    for (std::size_t i = 1; i < prepared.points.size(); ++i) {
        EXPECT_FALSE(prepared.points[i].x == prepared.points[i - 1].x &&
                     prepared.points[i].y == prepared.points[i - 1].y)
            << i;
    }
    EXPECT_DOUBLE_EQ(prepared.points[2].x, 0.0);  // the leading edge is kept
}

TEST(AirfoilGeometry, OutlinesXfoilCannotAnalyseAreRefused) {
    auto mirrored = example("naca2412.dat");
    for (Point& p : mirrored) p.x = -p.x;
    EXPECT_EQ(prepareAirfoil(mirrored).reason,
              "the trailing edge lies left of the leading edge (mirrored coordinates)");
    EXPECT_FALSE(prepareAirfoil({}).valid);
    EXPECT_FALSE(prepareAirfoil({{1, 0}, {0, 0}, {1, 0.01}}).valid);
    std::vector<Point> same(20, Point{0.5, 0.5});
    EXPECT_FALSE(prepareAirfoil(same).valid);
    auto withNan = example("naca0012.dat");
    withNan[40].y = std::nan("");
    EXPECT_FALSE(prepareAirfoil(withNan).valid);
    std::vector<Point> plate;
    for (int i = 10; i >= 0; --i) plate.push_back({i / 10.0, 0});
    for (int i = 1; i <= 10; ++i) plate.push_back({i / 10.0, 0});
    EXPECT_FALSE(prepareAirfoil(plate).valid);
    const std::vector<Point> eight = {{1, 0},    {0.8, 0.05}, {0.6, -0.05}, {0.4, 0.05}, {0.2, -0.05}, {0, 0},
                                      {0.2, 0.05}, {0.4, -0.05}, {0.6, 0.05}, {0.8, -0.05}, {1, 0}};
    EXPECT_TRUE(selfIntersecting(eight));
    EXPECT_FALSE(prepareAirfoil(eight).valid);
    EXPECT_FALSE(selfIntersecting(example("naca2412.dat")));
}

}  // namespace
