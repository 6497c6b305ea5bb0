// Airfoil coordinate files: the shipped Selig files, hand-written variants (no title,
// blank lines, CRLF, a byte-order mark, extra columns), and every refusal with its
// file and line: words, single numbers, decimal commas, trailing text, numbers out of
// range or not finite, no points at all, mirrored coordinates.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "AirfoilTestSupport.h"
#include "bemt/AirfoilCoordinates.h"
#include "bemt/Error.h"

namespace {

using bemt::AirfoilCoordinates;

AirfoilCoordinates read(const std::string& text) {
    std::istringstream in(text);
    return AirfoilCoordinates::read(in, "foil.dat");
}

std::string refusal(const std::string& text) {
    return korvane::testing::errorOf([&] { read(text); });
}

// The shipped Selig files; coordinates mirrored in x (trailing edge at x = -1) would make
// XFOIL fly the airfoil backwards for minutes and are refused, shifted and scaled ones are fine.
TEST(AirfoilCoordinates, ShippedSeligFilesReadCompletelyAndMirroredOnesAreRefused) {
    for (const char* name : {"naca0012.dat", "naca0021.dat", "naca2412.dat", "naca4415.dat"}) {
        std::ifstream file(korvane::testing::exampleAirfoil(name));
        const auto coords = AirfoilCoordinates::read(file, name);
        // A name line and 161 points, from the trailing edge round to the trailing edge.
        ASSERT_EQ(coords.points().size(), 161u) << name;
        EXPECT_DOUBLE_EQ(coords.points().front().x, 1.0) << name;
        EXPECT_DOUBLE_EQ(coords.points()[80].x, 0.0) << name;
        EXPECT_DOUBLE_EQ(coords.points().back().x, 1.0) << name;
        EXPECT_EQ(coords.file(), name);
    }
    std::ifstream file(korvane::testing::exampleAirfoil("naca2412.dat"));
    const auto naca = AirfoilCoordinates::read(file, "naca2412.dat");
    std::string mirrored = "NACA 2412 mirrored\n";
    std::string scaled = "NACA 2412 shifted and scaled\n";
    for (const auto& p : naca.points()) {
        mirrored += std::to_string(-p.x) + " " + std::to_string(p.y) + "\n";
        scaled += std::to_string(5 + 2 * p.x) + " " + std::to_string(2 * p.y) + "\n";
    }
    EXPECT_EQ(refusal(mirrored),
              "The coordinates in foil.dat are mirrored: the trailing edge lies at x = -1, left of the leading edge "
              "at x = 0. Give them with the trailing edge on the right (x = 1 at the trailing edge, 0 at the leading "
              "edge).");
    EXPECT_EQ(read(scaled).points().size(), 161u);
}

TEST(AirfoilCoordinates, HandWrittenVariants) {
    const std::vector<std::string> variants = {
        "1 0\n0.5 0.05\n0 0\n0.5 -0.05\n1 0\n",                             // no title
        "\xEF\xBB\xBF" "1 0\n0.5 0.05\n0 0\n0.5 -0.05\n1 0\n",              // byte-order mark, no title
        "NACA 0010 (thin)\r\n1 0\r\n0.5 0.05\r\n0 0\r\n0.5 -0.05\r\n1 0\r\n",  // CRLF
        "\n  Name\n\n1 0\n\n0.5 0.05\n  0 0  \n\t0.5\t-0.05\n1 0\n\n",       // blank lines, tabs
        "4412 airfoil\n1 0 0\n0.5 0.05 0\n0 0 0\n0.5 -0.05 z\n+1 0E0\n",     // extra columns, + and E
    };
    for (const auto& text : variants) {
        const auto coords = read(text);
        ASSERT_EQ(coords.points().size(), 5u) << text;
        EXPECT_DOUBLE_EQ(coords.points()[1].y, 0.05) << text;
        EXPECT_DOUBLE_EQ(coords.points()[3].y, -0.05) << text;
        EXPECT_DOUBLE_EQ(coords.points()[4].x, 1.0) << text;
    }
}

TEST(AirfoilCoordinates, LinesThatAreNoPointsAreRefusedWithFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Name\n1 0\n0.5 1e309\n0 0\n", "The line 3 of foil.dat holds a number out of range: 1e309."},
        {"Name\n1 0\n0.5 -2e38\n0.5 4e38\n", "The line 4 of foil.dat holds a number out of range: 4e38."},
        {"Name\n1 0\n\n0.5 nan\n0 0\n", "The line 4 of foil.dat holds a coordinate that is not a finite number: nan."},
        {"Name\n1 0\n-inf 0.5\n", "The line 3 of foil.dat holds a coordinate that is not a finite number: -inf."},
        {"1 nan\n0 0\n", "The line 1 of foil.dat holds a coordinate that is not a finite number: nan."},
        {"Name\n1 0\n12\n0 0\n", "The line 3 of foil.dat is not a pair of coordinates x y: \"12\"."},
        {"Name\n1 0\nupper surface\n", "The line 3 of foil.dat is not a pair of coordinates x y: \"upper surface\"."},
        {"Name\n1 0\n0.5 0.05xyz\n", "The line 3 of foil.dat is not a pair of coordinates x y: \"0.5 0.05xyz\"."},
        {"Name\n1,0\n", "The line 2 of foil.dat is not a pair of coordinates x y: \"1,0\"."},
        {"Name\n1 0\n0,5 0,05\n", "decimal comma in line 3 of foil.dat: write 0.5"},
        {"Name\n1 0\n0.5 --1\n", "The line 3 of foil.dat is not a pair of coordinates x y: \"0.5 --1\"."},
        {"Name\n1 0\n0.5 \x01\x02\n", "The line 3 of foil.dat is not a pair of coordinates x y: \"0.5 ??\"."},
        {"", "The file foil.dat holds no airfoil coordinates (lines of x and y)."},
        {"Only a name\n\n", "The file foil.dat holds no airfoil coordinates (lines of x and y)."},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(refusal(text), message) << text;
}

}  // namespace
