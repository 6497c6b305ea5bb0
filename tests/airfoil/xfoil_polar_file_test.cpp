// XFOIL polar save files: a file written by XFOIL itself, hand-written variants and every
// message.

#include <gtest/gtest.h>

#include <sstream>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "bemt/ProfileParamsXfoilPolar.h"

namespace {

using bemt::Common::deg2rad;
using bemt::ProfileParamsXfoilPolar;

const std::string kXfoilFile = std::string(KORVANE_AIRFOIL_TEST_DATA) + "/naca4415_re1e6_xfoil_polar.txt";

const std::string kHeader = R"(
       XFOIL         Version 6.99

 Calculated polar for: NACA 4415

 1 1 Reynolds number fixed          Mach number fixed

 xtrf =   1.000 (top)        1.000 (bottom)
 Mach =   0.100     Re =     2.500 e 5     Ncrit =   7.000

   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr
  ------ -------- --------- --------- -------- -------- --------
)";

std::string loadError(const std::string& text) {
    std::istringstream in(text);
    ProfileParamsXfoilPolar polar;
    return korvane::testing::errorOf([&] { polar.loadFile(in, "p.txt"); });
}

TEST(XfoilPolarFile, AFileWrittenByXfoilItselfReadsBackRowForRow) {
    ProfileParamsXfoilPolar polar;
    polar.loadFile(kXfoilFile);
    EXPECT_DOUBLE_EQ(polar.fileReynolds(), 1e6);
    EXPECT_DOUBLE_EQ(polar.getCurrentReynolds(), 1e6);
    EXPECT_EQ(polar.fileMach(), 0.0);
    EXPECT_EQ(polar.fileNcrit(), 9.0);
    ASSERT_EQ(polar.size(), 16u);  // -4 to 12 degrees without the unconverged 7
    EXPECT_EQ(polar.alphaList().front(), -4.0);
    EXPECT_EQ(polar.alphaList().back(), 12.0);
    // Rows of the file, copied by hand.
    EXPECT_NEAR(polar.cl(deg2rad(-4.0)), 0.0296, 1e-12);
    EXPECT_NEAR(polar.cd(deg2rad(-4.0)), 0.00840, 1e-12);
    EXPECT_NEAR(polar.cl(deg2rad(4.0)), 0.9194, 1e-12);
    EXPECT_NEAR(polar.cd(deg2rad(4.0)), 0.00776, 1e-12);
    EXPECT_NEAR(polar.cl(deg2rad(12.0)), 1.5471, 1e-12);
    EXPECT_NEAR(polar.cd(deg2rad(12.0)), 0.02108, 1e-12);
    // Between 6 and 8 degrees the spline bridges the missing row.
    EXPECT_GT(polar.cl(deg2rad(7.0)), 1.1241);
    EXPECT_LT(polar.cl(deg2rad(7.0)), 1.3137);
    EXPECT_TRUE(polar.outOfRange(deg2rad(13.0)));
}

TEST(XfoilPolarFile, HeaderValuesAndRowsInTheOrderXfoilComputedThem) {
    // A sweep from 0 up and then from 0 down appends the negative angles last. Asterisks
    // where a transition value did not fit its column touch the CM column.
    const std::string rows = "   0.000   0.4707   0.00764   0.00076  -0.1013   0.5629   0.3745\n"
                             "   1.000   0.5768   0.00713   0.00087  -0.1004*********   0.6693\r\n"
                             "  -1.000   0.3610   0.00776   0.00076  -0.1018   0.6052   0.2635\n";
    // XFOIL's spelling first; hand-written ones once read as 2.5.
    for (const char* reynolds : {"2.500 e 5", "2.500 e5", "2.5e5", "250000"}) {
        std::string header = kHeader;
        header.replace(header.find("2.500 e 5"), 9, reynolds);
        std::istringstream in(header + rows);
        ProfileParamsXfoilPolar polar;
        polar.loadFile(in, "p.txt");
        EXPECT_DOUBLE_EQ(polar.fileReynolds(), 2.5e5) << reynolds;
        EXPECT_DOUBLE_EQ(polar.fileMach(), 0.1);
        EXPECT_DOUBLE_EQ(polar.fileNcrit(), 7.0);
        EXPECT_EQ(polar.alphaList(), (std::vector<double>{-1.0, 0.0, 1.0}));
        EXPECT_EQ(polar.clList(), (std::vector<double>{0.3610, 0.4707, 0.5768}));
        EXPECT_EQ(polar.cdList(), (std::vector<double>{0.00776, 0.00764, 0.00713}));
    }
}

TEST(XfoilPolarFile, EveryMalformedFileIsRefusedWithFileLineAndReason) {
    const std::string row = "   0.000   0.4707   0.00764   0.00076  -0.1013   0.5629   0.3745\n";
    const std::string row2 = "   1.000   0.5768   0.00713   0.00087  -0.1004   0.5274   0.6693\n";
    auto header = [](const std::string& from, const std::string& to) {
        std::string text = kHeader;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
        std::string message;
    } cases[] = {
        {"not a polar file", "alpha,cl,cd\n0,0.1,0.01\n",
         "p.txt: this is not an XFOIL polar file: the header line with \"Re =\" is missing."},
        {"columns before the header", "alpha CL CD\n0 0.1 0.01\n",
         "p.txt, line 1: the header line with \"Re =\" is missing before the column names."},
        {"empty file", "", "p.txt: this is not an XFOIL polar file: the header line with \"Re =\" is missing."},
        {"Reynolds number in another notation", header("2.500 e 5", "1.000 x 10^6"),
         "p.txt, line 9: Re must be a number such as \"1.000 e 6\", as XFOIL writes it, not \"1.000 x 10^6\"."},
        {"Reynolds number with a decimal comma", header("2.500 e 5", "1,000 e 6"),
         "p.txt, line 9: Re is written with a decimal comma (\"1,000 e 6\"); write a decimal point."},
        {"inviscid polar", header("2.500 e 5", "0.000 e 6"),
         "p.txt, line 9: Re = 0.000 e 6: the Reynolds number 0 lies outside its range, 10000 to 100000000."},
        {"Reynolds number beyond the range", header("2.500 e 5", "1.000 e 60"),
         "p.txt, line 9: Re = 1.000 e 60: the Reynolds number 1e+60 lies outside its range, 10000 to 100000000."},
        {"text after Ncrit", header("7.000", "7.000 x"),
         "p.txt, line 9: Ncrit must be a number such as \"9.000\", as XFOIL writes it, not \"7.000 x\"."},
        {"Reynolds number varying with CL",
         header(" 1 1 Reynolds number fixed          Mach number fixed",
                " 2 2 Reynolds number ~ 1/sqrt(CL)   Mach number ~ 1/sqrt(CL)"),
         "p.txt, line 6: this is a polar of type 2 (\"Reynolds number ~ 1/sqrt(CL)\"), whose Reynolds number varies "
         "with CL; only polars at a fixed Reynolds number (type 1) can be read."},
        {"no column line", header("   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr\n", ""),
         "p.txt: the column line (alpha CL CD ...) is missing."},
        {"no CD column", header("CD       CDp", "Cx       CDp") + row + row2,
         "p.txt, line 11: the column line must name the columns CL and CD."},
        {"no dashes", header("  ------ -------- --------- --------- -------- -------- --------\n", "") + row + row2,
         "p.txt, line 12: a line of dashes was expected below the column names."},
        {"a short row", kHeader + row + "   1.000   0.5768   0.00713\n",
         "p.txt, line 14: the row holds 3 numbers, the column line names 7."},
        {"not a number", kHeader + row + "   1.000   NaN   0.00713   0.00087  -0.1004   0.5274   0.6693\n",
         "p.txt, line 14: CL must be a finite number, not \"NaN\"."},
        {"decimal comma", kHeader + row + "   1,000   0.5768   0.00713   0.00087  -0.1004   0.5274   0.6693\n",
         "p.txt, line 14: alpha is written with a decimal comma (\"1,000\"); write a decimal point."},
        {"negative drag", kHeader + row + "   1.000   0.5768  -0.00713   0.00087  -0.1004   0.5274   0.6693\n",
         "p.txt, line 14: CD must not be negative, not -0.00713."},
        {"angle beyond 180", kHeader + row + " 181.000   0.5768   0.00713   0.00087  -0.1004   0.5274   0.6693\n",
         "p.txt, line 14: alpha must lie within -180 to 180 degrees, not 181."},
        {"an angle twice", kHeader + row + row2 + row, "p.txt, line 15: the angle 0 occurs twice (also on line 13)."},
        {"one row", kHeader + row, "p.txt: the polar holds 1 rows; at least 2 are needed."},
    };
    for (const auto& c : cases) EXPECT_EQ(loadError(c.text), c.message) << c.what;
}

}  // namespace
