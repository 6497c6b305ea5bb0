#include <gtest/gtest.h>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"

namespace {
using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

TEST(OperatingPoint, DefaultRotorSmoke) {
    for (auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
        bemt::BEMTTools tools(solver);
        const auto op = tools.analyzeOp(defaultRotor(solver), ignoreProgress, 0.0);
        std::printf("solver %d: P %.1f W Cp %.4f T %.1f Ct %.4f conv %d extra %d\n", solver, op.P, op.Cp, op.T, op.Ct,
                    op.converged, op.extrapolated);
        EXPECT_EQ(op.solutions.size(), 100u);
    }
}
}  // namespace
