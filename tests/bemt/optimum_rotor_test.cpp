// Verification against Glauert's optimum rotor with wake rotation (Glauert 1935; the
// table of maximum power coefficients in Manwell, McGowan and Rogers, "Wind Energy
// Explained", 2nd ed., table 3.2): a blade designed for maximal power with an ideal
// airfoil (cl = 2 pi alpha, no drag) and practically no tip loss (100 blades) must reach
// Glauert's Cp, and the thrust of Betz's ideal disc, when analysed with any of the three
// element solvers.
#include <gtest/gtest.h>

#include <memory>

#include "DefaultRotor.h"
#include "TestPolars.h"
#include "bemt/BEMTTools.h"

namespace {

using korvane::testing::ignoreProgress;

bemt::InputDataSet idealRotor(double tsr, int blades, double drag) {
    bemt::InputDataSet data;
    data.conditions = {.R = 10.0, .Rh = 0.1, .L = 9.9, .B = blades, .V0 = 10.0, .TSR = tsr, .Om = tsr};  // Rh/R 0.01
    data.settings = {bemt::FixedPoint2D, 100, 1e-8, 20000, 0.3};
    auto polar = std::make_shared<korvane::testing::ThinAirfoilPolar>(drag);
    data.segments.push_back({0.0, 1.0, polar, polar});
    return data;
}

bemt::OperatingPoint designed(bemt::SolverType solver, double tsr, int blades, double drag) {
    bemt::InputDataSet data = idealRotor(tsr, blades, drag);
    data.settings.solver = solver;
    bemt::BEMTTools tools(solver);
    const auto blade = tools.designBlade(data, ignoreProgress, 10.0);  // no chord limit
    data.chordPoints = blade.chordPoints;
    data.twistPoints = blade.twistPoints;
    const auto op = tools.analyzeOp(data, ignoreProgress, 0.0);
    EXPECT_TRUE(op.converged);
    return op;
}

struct GlauertPoint {
    double tsr;
    double cp;
};

class OptimumRotor : public ::testing::TestWithParam<bemt::SolverType> {};

TEST_P(OptimumRotor, ReachesGlauertsPowerCoefficient) {
    for (const auto& [tsr, cp] : {GlauertPoint{2.5, 0.532}, GlauertPoint{5.0, 0.570}, GlauertPoint{7.5, 0.582},
                                  GlauertPoint{10.0, 0.585}}) {
        const auto op = designed(GetParam(), tsr, 100, 0.0);
        EXPECT_NEAR(op.Cp, cp, 0.01 * cp) << "TSR " << tsr;
        // The thrust of Betz's ideal disc, a = 1/3: Ct = 4 a (1 - a) = 8/9.
        EXPECT_NEAR(op.Ct, 8.0 / 9.0, 0.01) << "TSR " << tsr;
    }
}

// Below Glauert's figures, and so below the Betz limit.
TEST_P(OptimumRotor, TipLossAndDragLowerThePower) {
    const double ideal = designed(GetParam(), 7.5, 100, 0.0).Cp;
    const double threeBlades = designed(GetParam(), 7.5, 3, 0.0).Cp;
    const double withDrag = designed(GetParam(), 7.5, 3, 0.01).Cp;
    EXPECT_LT(threeBlades, ideal);
    EXPECT_LT(withDrag, threeBlades);
}

INSTANTIATE_TEST_SUITE_P(AllSolvers, OptimumRotor,
                         ::testing::Values(bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D));

}  // namespace
