// AeroDyn v15 airfoil tables: the real files of the NREL 5-MW model, a hand-written file
// with two Reynolds-number tables, and one malformed variant per message.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "bemt/ProfileParamsNACA.h"

namespace {

using bemt::Common::deg2rad;
using bemt::ProfileParamsAeroDyn;

const std::string kFolder = KORVANE_OPENFAST_AIRFOILS;

// Two tables at 0.5 and 1.5 million over the full circle: cl differs by 0.2 and cd by
// 0.02 between them, so any blend is easy to compute by hand.
const std::string kTwoTables = R"(! ------------ AirfoilInfo v1.01.x Input File ----------------------------------
! hand-written test file
"default"     InterpOrd         ! Interpolation order
       0.21   RelThickness      ! thickness / chord
          1   NonDimArea        ! area / chord^2
          0   NumCoords         ! no coordinates
          2   NumTabs           ! Number of airfoil tables in this file.
! table 1
        0.5   Re                ! Reynolds number in millions
          0   UserProp          ! User property
true          InclUAdata        ! UA data follow, fewer than usual and in another order
       -3.2   alpha0            ! 0-lift angle of attack
     7.4888   C_nalpha          ! slope
    "DEFAULT" UACutout          ! cut-out
          5   NumAlf            ! Number of data lines in the following table
!    Alpha      Cl      Cd        Cm
  -180.00    0.000   0.0100   0.0
   -10.00   -1.000   0.0100   0.0
     0.00    0.000   0.0100   0.0
! a comment line between the rows
    10.00    1.000   0.0100   0.0
   180.00    0.000   0.0100   0.0
! table 2
        1.5   Re                ! Reynolds number in millions
          0   UserProp          ! User property
False         InclUAdata        ! no UA data
          5   NumAlf            ! Number of data lines in the following table
  -180.00    0.200   0.0300
   -10.00   -0.800   0.0300
     0.00    0.200   0.0300
    10.00    1.200   0.0300   ! a trailing comment, which AeroDyn ignores
   180.00    0.200   0.0300
)";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string loadError(const std::string& text) {
    std::istringstream in(text);
    ProfileParamsAeroDyn polar;
    return korvane::testing::errorOf([&] { polar.loadFile(in, "t.dat"); });
}

TEST(AeroDynTable, EveryAirfoilFileOfTheNrel5MwModelIsReadAndAMissingFileIsNamed) {
    const std::pair<const char*, std::size_t> files[] = {{"Cylinder1", 3},  {"Cylinder2", 3},   {"DU40_A17", 136},
                                                         {"DU35_A17", 135}, {"DU30_A17", 143},  {"DU25_A17", 140},
                                                         {"DU21_A17", 142}, {"NACA64_A17", 127}};
    for (const auto& [name, rows] : files) {
        SCOPED_TRACE(name);
        ProfileParamsAeroDyn polar;
        ASSERT_NO_THROW(polar.loadFile(kFolder + "/" + name + ".dat"));
        ASSERT_EQ(polar.tables().size(), 1u);
        const auto& table = polar.tables().front();
        EXPECT_DOUBLE_EQ(table.reynolds, 0.75e6);
        EXPECT_EQ(table.polar.size(), rows);
        EXPECT_EQ(table.polar.alphaList().front(), -180.0);
        EXPECT_EQ(table.polar.alphaList().back(), 180.0);
        EXPECT_FALSE(polar.hasReynoldsRange());
    }
    // The polar answers rows copied from the files by hand (the first row after the
    // unsteady-aerodynamics block, and two further ones) at their angles.
    ProfileParamsAeroDyn du40;
    du40.loadFile(kFolder + "/DU40_A17.dat");
    EXPECT_NEAR(du40.cl(deg2rad(-175.0)), 0.218, 1e-12);
    EXPECT_NEAR(du40.cd(deg2rad(-175.0)), 0.0699, 1e-12);
    EXPECT_NEAR(du40.cd(deg2rad(-90.0)), 1.3460, 1e-12);
    ProfileParamsAeroDyn cylinder;
    cylinder.loadFile(kFolder + "/Cylinder2.dat");
    EXPECT_NEAR(cylinder.cd(deg2rad(37.0)), 0.35, 1e-12);
    EXPECT_NEAR(cylinder.cl(deg2rad(37.0)), 0.0, 1e-12);
    EXPECT_EQ(korvane::testing::errorOf([&] { cylinder.loadFile("/nonexistent/af.dat"); }),
              "The file /nonexistent/af.dat could not be opened: No such file or directory.");
}

// Also with CRLF line endings and keywords in another case.
std::string crlfUpperCase(const std::string& text) {
    std::string crlf;
    for (const char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return replaced(replaced(crlf, "NumTabs", "NUMTABS"), "NumAlf", "numalf");
}

TEST(AeroDynTable, TwoReynoldsTablesAreInterpolatedLinearlyAndClampedOutside) {
    for (const std::string& text : {kTwoTables, crlfUpperCase(kTwoTables)}) {
        std::istringstream in(text);
        ProfileParamsAeroDyn polar;
        polar.loadFile(in, "two.dat");
        ASSERT_EQ(polar.tables().size(), 2u);
        EXPECT_TRUE(polar.hasReynoldsRange());
        EXPECT_DOUBLE_EQ(polar.getReynoldsLo(), 0.5e6);
        EXPECT_DOUBLE_EQ(polar.getReynoldsHi(), 1.5e6);
        EXPECT_DOUBLE_EQ(polar.relativeThickness(), 0.21);
        const double a = deg2rad(10.0);

        polar.setReynolds(1.0e6);  // halfway
        EXPECT_NEAR(polar.cl(a), 1.1, 1e-12);
        EXPECT_NEAR(polar.cd(a), 0.02, 1e-12);
        polar.setReynolds(1.25e6);  // three quarters
        EXPECT_NEAR(polar.cl(a), 1.15, 1e-12);
        EXPECT_NEAR(polar.cd(-a), 0.025, 1e-12);
        polar.setReynolds(0.1e6);  // below: the first table
        EXPECT_NEAR(polar.cl(a), 1.0, 1e-12);
        polar.setReynolds(9e6);  // above: the last table
        EXPECT_NEAR(polar.cl(a), 1.2, 1e-12);
        EXPECT_NEAR(polar.cd(a), 0.03, 1e-12);
    }
}

TEST(AeroDynTable, RelThicknessChoosesTheNacaDataOfTheExtension) {
    const std::string narrow = R"(0.18   RelThickness  - thickness
1  NumTabs  - one table
1.0  Re
0 UserProp
False  InclUAdata
3  NumAlf
-5  -0.5  0.01
0  0.0  0.008
5  0.5  0.01
)";
    std::istringstream in(narrow);
    ProfileParamsAeroDyn polar;
    polar.loadFile(in, "narrow.dat");
    bemt::ProfileParamsNACA naca(bemt::NACA_0018);
    naca.setReynolds(1e6);
    EXPECT_NEAR(polar.cl(deg2rad(90.0)), naca.cl(deg2rad(90.0)), 1e-9);
    EXPECT_NEAR(polar.cd(deg2rad(-120.0)), naca.cd(deg2rad(-120.0)), 1e-9);
    EXPECT_TRUE(polar.outOfRange(deg2rad(6.0)));
    EXPECT_FALSE(polar.outOfRange(deg2rad(4.0)));

    // "default" thickness: the list polars' default.
    std::istringstream byDefault(replaced(narrow, "0.18   RelThickness", "default   RelThickness"));
    polar.loadFile(byDefault, "narrow.dat");
    EXPECT_EQ(polar.relativeThickness(), 0.15);
}

TEST(AeroDynTable, EveryMalformedFileIsRefusedWithFileLineAndReason) {
    const struct {
        const char* what;
        std::string text;
        std::string message;
    } cases[] = {
        {"no NumTabs", replaced(kTwoTables, "          2   NumTabs           ! Number of airfoil tables in this file.\n", ""),
         "t.dat, line 16: a line of the form \"value  Keyword\" was expected before NumTabs."},
        {"NumTabs absent from a file of keywords only", "0.2  RelThickness\n",
         "t.dat: the keyword NumTabs is missing (the number of tables)."},
        {"NumTabs not a whole number", replaced(kTwoTables, "2   NumTabs", "2.5   NumTabs"),
         "t.dat, line 7: NumTabs must be a whole number of at least 1, not \"2.5\"."},
        {"no Re", replaced(kTwoTables, "        1.5   Re ", "        1.5   Rey"),
         "t.dat, line 27: the keyword Re is missing in table 2 of 2."},
        {"no InclUAdata", replaced(kTwoTables, "False         InclUAdata", "False         InclUA"),
         "t.dat, line 27: the keyword InclUAdata is missing in table 2 of 2."},
        {"no NumAlf", replaced(kTwoTables, "          5   NumAlf            ! Number of data lines in the following table\n  -180.00    0.200",
                               "  -180.00    0.200"),
         "t.dat, line 27: a line of the form \"value  Keyword\" was expected in table 2 of 2 before its NumAlf line."},
        {"a table missing", replaced(kTwoTables, "2   NumTabs", "3   NumTabs"),
         "t.dat: the keyword Re is missing in table 3 of 3 (NumTabs is 3)."},
        {"a table too many", replaced(kTwoTables, "2   NumTabs", "1   NumTabs"),
         "t.dat, line 27: a further table follows, but NumTabs is 1."},
        {"fewer rows than NumAlf", replaced(kTwoTables, "5   NumAlf            ! Number of data lines in the following table\n!",
                                            "6   NumAlf            ! Number of data lines in the following table\n!"),
         "t.dat, line 24: NumAlf (line 15) announces 6 rows in table 1 of 2, but only 5 follow."},
        {"more rows than NumAlf", replaced(kTwoTables, "5   NumAlf            ! Number of data lines in the following table\n!",
                                           "4   NumAlf            ! Number of data lines in the following table\n!"),
         "t.dat, line 22: more rows follow than NumAlf (line 15) announces for table 1 of 2 (4)."},
        {"alpha not increasing", replaced(kTwoTables, "     0.00    0.000   0.0100", "   -10.00    0.000   0.0100"),
         "t.dat, line 19: alpha must increase strictly from row to row (-10 follows -10)."},
        {"alpha beyond 180", replaced(kTwoTables, "   180.00    0.200", "   190.00    0.200"),
         "t.dat, line 32: alpha must lie within -180 to 180 degrees, not 190."},
        {"negative drag", replaced(kTwoTables, "0.000   0.0100   0.0\n! a", "0.000   -0.0100   0.0\n! a"),
         "t.dat, line 19: Cd must not be negative, not -0.01."},
        {"not a number", replaced(kTwoTables, "    10.00    1.000", "    10.00    nan"),
         "t.dat, line 21: Cl must be a finite number, not \"nan\"."},
        {"beyond a double", replaced(kTwoTables, "    10.00    1.000", "    10.00    1e400"),
         "t.dat, line 21: Cl must be a finite number, not \"1e400\"."},
        {"trailing text", replaced(kTwoTables, "    10.00    1.000", "    10.00    1.0x"),
         "t.dat, line 21: Cl must be a finite number, not \"1.0x\"."},
        {"text after the last column",
         replaced(kTwoTables, "    10.00    1.000   0.0100   0.0", "    10.00    1.000   0.0100   0.0 extra"),
         "t.dat, line 21: unexpected text \"extra\" in a row of table 1 of 2; a row holds numbers only."},
        {"decimal comma in a row", replaced(kTwoTables, "    10.00    1.000", "    10.00    1,000"),
         "t.dat, line 21: Cl is written with a decimal comma (\"1,000\"); write a decimal point."},
        {"decimal comma in a value", replaced(kTwoTables, "        0.5   Re", "        0,5   Re"),
         "t.dat, line 9: Re is written with a decimal comma; write a decimal point."},
        {"a row without Cd", replaced(kTwoTables, "    10.00    1.000   0.0100   0.0", "    10.00    1.000"),
         "t.dat, line 21: the row has no Cd column (2 numbers, at least 3 expected)."},
        {"Re beyond the Reynolds range", replaced(kTwoTables, "        0.5   Re", "        1e-12   Re"),
         "t.dat, line 9: Re 1e-12 (million): the Reynolds number 1e-06 lies outside its range, 10000 to 100000000."},
        {"equal Reynolds numbers", replaced(kTwoTables, "        1.5   Re", "        0.5   Re"),
         "t.dat: two tables have the same Reynolds number (0.5 million); tables that differ only in UserProp are "
         "not supported."},
        {"thickness beyond the chord", replaced(kTwoTables, "0.21   RelThickness", "21   RelThickness"),
         "t.dat, line 4: RelThickness must be a fraction of chord above 0 and at most 1, not 21."},
        {"InclUAdata not a flag", replaced(kTwoTables, "true          InclUAdata", "maybe         InclUAdata"),
         "t.dat, line 11: InclUAdata must be True or False, not \"maybe\"."},
        {"empty file", "", "t.dat: the keyword NumTabs is missing (the number of tables)."},
    };
    for (const auto& c : cases) EXPECT_EQ(loadError(c.text), c.message) << c.what;
}

}  // namespace
