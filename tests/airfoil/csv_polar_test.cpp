// Reading CSV polar files: both separators, headers, the field rules and every message.

#include <gtest/gtest.h>

#include <sstream>

#include "AirfoilTestSupport.h"
#include "bemt/Common.h"
#include "bemt/ProfileParamsCSV.h"

namespace {

using bemt::Common::deg2rad;
using korvane::testing::TempDir;

const std::string kFormat = "The CSV file could not be read properly. Check the format.";

struct Loaded {
    bemt::ProfileParamsCSV polar;
    std::string error;
};

Loaded load(const std::string& text, const std::string& preceding, bemt::CSVSeparator sep) {
    Loaded result;
    std::istringstream in(text);
    try {
        result.polar.loadFile(&in, preceding, sep);
    } catch (const std::string& message) {
        result.error = message;
    }
    return result;
}

TEST(CsvPolar, CommaFileWithTitleHeaderAndExtraColumn) {
    const auto r = load("NACA 4412 at Re 1e6\nAlpha,Cl,Cd\n-4.0,-0.21,0.0081\n0.0,0.25,0.0062,0.5\n4.0,0.7,0.0071\n",
                        "Alpha", bemt::Comma);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.polar.alphaList(), (std::vector<double>{-4.0, 0.0, 4.0}));
    EXPECT_EQ(r.polar.clList(), (std::vector<double>{-0.21, 0.25, 0.7}));
    EXPECT_EQ(r.polar.cdList(), (std::vector<double>{0.0081, 0.0062, 0.0071}));
    auto polar = r.polar;
    EXPECT_DOUBLE_EQ(polar.alphaMin(), deg2rad(-4.0));
    EXPECT_DOUBLE_EQ(polar.alphaMax(), deg2rad(4.0));
    EXPECT_DOUBLE_EQ(polar.cl(0.0), 0.25);
}

TEST(CsvPolar, WhitespaceFileWithTabsBlankLinesAndComments) {
    const auto r = load("xfoil polar\n alpha    CL   CD\n-2\t-0.1\t0.007\n\n   \n0 0.1 0.006 extra words\n", "alpha",
                        bemt::Whitespace);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.polar.alphaList(), (std::vector<double>{-2, 0}));
    EXPECT_EQ(r.polar.cdList(), (std::vector<double>{0.007, 0.006}));
    // Any separator value other than comma reads white space.
    const auto other = load("h\n1 2 3\n", "h", static_cast<bemt::CSVSeparator>(7));
    EXPECT_EQ(other.error, "");
    EXPECT_EQ(other.polar.size(), 1u);
}

TEST(CsvPolar, NumberFieldsReadLikeStrtod) {
    const auto r = load("h\n+1.5e1,  2.5E-1 ,5deg\n16,0.3,0.01\r\n", "h", bemt::Comma);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.polar.alphaList(), (std::vector<double>{15.0, 16.0}));
    EXPECT_EQ(r.polar.clList(), (std::vector<double>{0.25, 0.3}));
    EXPECT_EQ(r.polar.cdList(), (std::vector<double>{5.0, 0.01}));
}

TEST(CsvPolar, EmptyPrecedingTextSkipsOnlyTheFirstLine) {
    const auto r = load("1,0.1,0.01\n2,0.2,0.02\n", "", bemt::Comma);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.polar.alphaList(), (std::vector<double>{2}));
}

TEST(CsvPolar, MalformedDataGiveTheFormatMessage) {
    // The marker also occurs in the title, so the real header is read as data.
    EXPECT_EQ(load("Alpha polar\nAlpha,Cl,Cd\n0,0.1,0.01\n", "Alpha", bemt::Comma).error, kFormat);
    // No line holds the marker.
    EXPECT_EQ(load("x\n0,0.1,0.01\n", "Alpha", bemt::Comma).error, kFormat);
    // Only the header.
    EXPECT_EQ(load("Alpha,Cl,Cd\n", "Alpha", bemt::Comma).error, kFormat);
    // Comma mode: a blank line after the marker, and a line of two fields.
    EXPECT_EQ(load("h\n0,0.1,0.01\n\n", "h", bemt::Comma).error, kFormat);
    EXPECT_EQ(load("h\n0,0.1\n1,0.2,0.02\n", "h", bemt::Comma).error, kFormat);
    EXPECT_EQ(load("h\n0,,0.01\n", "h", bemt::Comma).error, kFormat);
    // Whitespace mode: a short line leaves the lists of unequal length.
    EXPECT_EQ(load("h\n0 0.1 0.01\n1 0.2\n", "h", bemt::Whitespace).error, kFormat);
    EXPECT_EQ(load("h\n0 zero 0.01\n", "h", bemt::Whitespace).error, kFormat);
    // Out of the range of double.
    EXPECT_EQ(load("h\n0 1e999 0.01\n", "h", bemt::Whitespace).error, kFormat);
}

TEST(CsvPolar, DescendingAnglesLoadButCannotBeInterpolated) {
    auto r = load("h\n5 0.5 0.01\n0 0 0.01\n", "h", bemt::Whitespace);
    ASSERT_EQ(r.error, "");
    EXPECT_DOUBLE_EQ(r.polar.alphaMin(), deg2rad(5));
    EXPECT_THROW(r.polar.cl(0.0), std::string);
}

TEST(CsvPolar, FileFormNamesTheFile) {
    TempDir dir;
    const auto good = dir.write("good.csv", "Alpha,Cl,Cd\n0,0.1,0.01\n1,0.2,0.011\n");
    bemt::ProfileParamsCSV polar;
    polar.loadFile(good.string(), "Alpha", bemt::Comma);
    EXPECT_EQ(polar.size(), 2u);

    const auto bad = dir.write("bad.csv", "Alpha,Cl,Cd\n0;0.1;0.01\n");
    try {
        polar.loadFile(bad.string(), "Alpha", bemt::Comma);
        FAIL();
    } catch (const std::string& m) {
        EXPECT_EQ(m, "The CSV file " + bad.string() + " could not be read properly. Check the format.");
    }
    const std::string missing = (dir.path() / "missing.csv").string();
    try {
        polar.loadFile(missing, "Alpha", bemt::Comma);
        FAIL();
    } catch (const std::string& m) {
        EXPECT_EQ(m, "File " + missing + " does not exist or is not readable.");
    }
}

TEST(CsvPolar, ShippedExamplePolarsLoad) {
    for (const char* name : {"naca2412_re1e6.csv", "naca4415_re5e5.csv"}) {
        bemt::ProfileParamsCSV polar;
        polar.loadFile(korvane::testing::exampleAirfoil(name), "Alpha", bemt::Comma);
        EXPECT_GT(polar.size(), 40u) << name;
        EXPECT_GT(polar.cl(deg2rad(5)), 0.6) << name;  // cambered: lift well above the flat-plate value
    }
}

}  // namespace
