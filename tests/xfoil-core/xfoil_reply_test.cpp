// Reading XFOIL's replies, on text printed by XFOIL 6.99.

#include <gtest/gtest.h>

#include <sstream>

#include "XfoilReply.h"

namespace {

xfoilcore::XfoilReply reply(const std::string& text) {
    xfoilcore::XfoilReply r;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) r.addLine(line);
    return r;
}

const std::string kConverged = R"(
 Solving BL system ...
   6   rms: 0.1146E-03   max: 0.1616E-02   C at   18  2
       a =  5.000      CL =  0.5573
      Cm =  0.0017     CD =  0.00851   =>   CDf =  0.00543    CDp =  0.00304
 Side 1  free  transition at x/c =  0.0445   23
 MRCHUE: Convergence failed at  70  side 2    Res = 0.2314E-01
   7   rms: 0.8336E-04   max: -.1369E-02   D at   35  1
       a =  5.000      CL =  0.5580
      Cm =  0.0017     CD =  0.00848   =>   CDf =  0.00543    CDp =  0.00304
      9.000    3.3234   0.008477   0.000000   0.000000   0.000000    0.1486     #
)";

TEST(XfoilReply, ConvergedReplyGivesTheLastBlock) {
    const auto r = reply(kConverged);
    EXPECT_TRUE(r.converged());
    EXPECT_DOUBLE_EQ(r.cl(), 0.5580);
    EXPECT_DOUBLE_EQ(r.cd(), 0.00848);
    EXPECT_FALSE(r.sawNaN());
}

TEST(XfoilReply, FailureSignals) {
    auto r = reply(kConverged + " VISCAL:  Convergence failed\n Type \"!\" to continue iterating\n");
    EXPECT_FALSE(r.converged());
    EXPECT_TRUE(r.hasCoefficients());
    r = reply("  20   rms: NaN   max: NaN\n       a =  5.000      CL =     NaN\n"
              "      Cm =     NaN     CD =      NaN\n");
    EXPECT_FALSE(r.converged());
    EXPECT_TRUE(r.sawNaN());
    r = reply("       a = *******      CL =  0.5000\n      Cm =  0.0017     CD = *********\n");
    EXPECT_FALSE(r.converged());
    EXPECT_TRUE(r.sawNaN());
    EXPECT_FALSE(reply(" ALFA command not recognized.\n").converged());
    EXPECT_FALSE(reply("       a =  5.000      CL =  0.5580\n").converged());  // no drag line
    EXPECT_TRUE(reply("  ***  No airfoil available  ***\n").noAirfoil());
}

TEST(XfoilReply, InitToggleIsRead) {
    EXPECT_TRUE(reply(" BLs will be initialized on next point\n").initArmed());
    EXPECT_TRUE(reply(" BLs are assumed to be initialized\n").initDisarmed());
}

}  // namespace
