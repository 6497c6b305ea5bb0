// Reading CSV polar files: both separators, headers, the field rules and every message.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "AirfoilTestSupport.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ProfileParamsCSV.h"

namespace {

using bemt::Common::deg2rad;
using korvane::testing::errorOf;
using korvane::testing::TempDir;

struct Loaded {
    bemt::ProfileParamsCSV polar;
    std::string error;
};

Loaded load(const std::string& text, const std::string& preceding, bemt::CSVSeparator sep) {
    Loaded result;
    std::istringstream in(text);
    result.error = errorOf([&] { result.polar.loadFile(&in, preceding, sep, "p.csv"); });
    return result;
}

// Rows follow the line holding the marker (or the first line when it is empty); fields
// beyond three, blank lines and words after the numbers are ignored.
TEST(CsvPolar, FilesOfBothSeparatorsAreRead) {
    using Rows = std::vector<double>;
    const struct {
        std::string text, marker;
        bemt::CSVSeparator separator;
        Rows alpha, cl, cd;
    } cases[] = {
        {"NACA 4412 at Re 1e6\nAlpha,Cl,Cd\n-4.0,-0.21,0.0081\n0.0,0.25,0.0062,0.5\n4.0,0.7,0.0071\n", "Alpha",
         bemt::Comma, {-4.0, 0.0, 4.0}, {-0.21, 0.25, 0.7}, {0.0081, 0.0062, 0.0071}},
        {"xfoil polar\n alpha    CL   CD\n-2\t-0.1\t0.007\n\n   \n0 0.1 0.006 extra words\n", "alpha",
         bemt::Whitespace, {-2, 0}, {-0.1, 0.1}, {0.007, 0.006}},
        // Any separator value other than comma reads white space.
        {"h\n1 2 3\n", "h", static_cast<bemt::CSVSeparator>(7), {1}, {2}, {3}},
        // Exponents, signs and spaces around numbers; CRLF.
        {"h\n+1.5e1,  2.5E-1 ,5e-3\n16,0.3,0.01\r\n", "h", bemt::Comma, {15.0, 16.0}, {0.25, 0.3}, {0.005, 0.01}},
        {"1,0.1,0.01\n2,0.2,0.02\n", "", bemt::Comma, {2}, {0.2}, {0.02}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = load(c.text, c.marker, c.separator);
        ASSERT_EQ(r.error, "");
        EXPECT_EQ(r.polar.alphaList(), c.alpha);
        EXPECT_EQ(r.polar.clList(), c.cl);
        EXPECT_EQ(r.polar.cdList(), c.cd);
    }
    auto polar = load(cases[0].text, "Alpha", bemt::Comma).polar;
    EXPECT_DOUBLE_EQ(polar.alphaMin(), deg2rad(-4.0));
    EXPECT_DOUBLE_EQ(polar.alphaMax(), deg2rad(4.0));
    EXPECT_DOUBLE_EQ(polar.cl(0.0), 0.25);
}

// Every refused line is named by its number in the file (header lines counted).
TEST(CsvPolar, MalformedFilesAreRefusedWithFileAndLine) {
    auto notNumber = [](int line, const std::string& word) {
        return "line " + std::to_string(line) + " of p.csv: \"" + word +
               "\" is not a number (three numbers expected: angle of attack, cl, cd).";
    };
    const std::string noData =
        "The CSV file p.csv could not be read properly. Check the format. No data lines "
        "follow a line containing \"Alpha\".";
    const struct {
        std::string text;
        bemt::CSVSeparator separator;
        std::string message;
        std::string marker = "h";
    } cases[] = {
        // The marker also occurs in the title, so the real header is read as data.
        {"Alpha polar\nAlpha,Cl,Cd\n0,0.1,0.01\n", bemt::Comma, notNumber(2, "Alpha"), "Alpha"},
        // Comma mode: a blank line after the marker, a line of two fields, an empty field.
        {"h\n0,0.1,0.01\n\n", bemt::Comma,
         "line 3 of p.csv: three numbers expected (angle of attack, cl, cd), found an empty line."},
        {"h\n0,0.1\n1,0.2,0.02\n", bemt::Comma,
         "line 2 of p.csv: three numbers expected (angle of attack, cl, cd), found 2 fields."},
        {"h\n0,,0.01\n", bemt::Comma, notNumber(2, "")},
        // Whitespace mode: a short line, a word.
        {"h\n0 0.1 0.01\n1 0.2\n", bemt::Whitespace,
         "line 3 of p.csv: three numbers expected (angle of attack, cl, cd), found 2 words."},
        {"h\n0 zero 0.01\n", bemt::Whitespace, notNumber(2, "zero")},
        // Trailing text once read as the number before it.
        {"h\n4.5xyz 0.5 0.01\n", bemt::Whitespace, notNumber(2, "4.5xyz")},
        {"h\n5deg,0.5,0.01\n", bemt::Comma, notNumber(2, "5deg")},
        // Values that are no finite numbers.
        {"h\n0 1e999 0.01\n", bemt::Whitespace, "line 2 of p.csv: 1e999 is not a finite number."},
        {"h\n0 nan 0.01\n", bemt::Whitespace, "line 2 of p.csv: nan is not a finite number."},
        {"h\n0,0.1,0.01\n1,0.2,inf\n", bemt::Comma, "line 3 of p.csv: inf is not a finite number."},
        {"h\n-inf,0.1,0.01\n", bemt::Comma, "line 2 of p.csv: -inf is not a finite number."},
        // Angles beyond the circle: loading them once extended the polar for ever.
        {"h\n-1e20 0.1 0.01\n", bemt::Whitespace,
         "line 2 of p.csv: the angle of attack -1e+20 lies outside -180 to 180 degrees."},
        {"h\n0 0.1 0.01\n180.5 0.1 0.01\n", bemt::Whitespace,
         "line 3 of p.csv: the angle of attack 180.5 lies outside -180 to 180 degrees."},
        // Angles that repeat or go back.
        {"h\n-10 0.1 0.01\n-9.5 0.2 0.01\n-9.5 0.2 0.01\n", bemt::Whitespace,
         "line 4 of p.csv: angles must increase (-9.5 follows -9.5)"},
        {"h\n5,0.5,0.01\n0,0,0.01\n", bemt::Comma, "line 3 of p.csv: angles must increase (0 follows 5)"},
        // A negative drag coefficient once gave seven times the Betz limit.
        {"h\n0 0.1 0.01\n1 0.2 -5\n", bemt::Whitespace, "line 3 of p.csv: the drag coefficient -5 is negative."},
        // Whitespace mode once read "0,8911" as 0; semicolons in comma mode once gave cl 8911.
        {"h\n-4,0 -0,21 0,0081\n", bemt::Whitespace, "decimal comma in line 2 of p.csv: write -4.0"},
        {"h\n0 0,8911 0.0062\n", bemt::Whitespace, "decimal comma in line 2 of p.csv: write 0.8911"},
        {"h\n0;0,8911;0,0062\n", bemt::Comma, "decimal comma in line 2 of p.csv: write 0.8911"},
        {"h\n1;0,25\n", bemt::Comma, "decimal comma in line 2 of p.csv: write 0.25"},
        // No data after the marker.
        {"x\n0,0.1,0.01\n", bemt::Comma, noData, "Alpha"},
        {"Alpha,Cl,Cd\n", bemt::Comma, noData, "Alpha"},
        {"Alpha Cl Cd\n\n  \n", bemt::Whitespace, noData, "Alpha"},
    };
    for (const auto& c : cases) EXPECT_EQ(load(c.text, c.marker, c.separator).error, c.message) << c.text;
}

// Files on disk: the shipped example polars, a written one, and the messages naming the file.
TEST(CsvPolar, FilesAreReadFromDiskAndNamedInTheMessages) {
    for (const char* name : {"naca2412_re1e6.csv", "naca4415_re5e5.csv"}) {
        bemt::ProfileParamsCSV polar;
        polar.loadFile(korvane::testing::exampleAirfoil(name), "Alpha", bemt::Comma);
        EXPECT_GT(polar.size(), 40u) << name;
        EXPECT_GT(polar.cl(deg2rad(5)), 0.6) << name;  // cambered: lift well above the flat-plate value
    }
    TempDir dir;
    const auto good = dir.write("good.csv", "Alpha,Cl,Cd\n0,0.1,0.01\n1,0.2,0.011\n");
    bemt::ProfileParamsCSV polar;
    polar.loadFile(good.string(), "Alpha", bemt::Comma);
    EXPECT_EQ(polar.size(), 2u);

    const auto bad = dir.write("bad.csv", "Alpha,Cl,Cd\n0;0.1;0.01\n");
    EXPECT_EQ(errorOf([&] { polar.loadFile(bad.string(), "Alpha", bemt::Comma); }),
              "line 2 of " + bad.string() + ": three numbers expected (angle of attack, cl, cd), found 1 field.");
    const std::string missing = (dir.path() / "missing.csv").string();
    EXPECT_EQ(errorOf([&] { polar.loadFile(missing, "Alpha", bemt::Comma); }),
              "The file " + missing + " could not be opened: No such file or directory.");
}

}  // namespace
