// Root finders and maximisers on functions with known roots and maxima.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "bemt/HelperRootFinder.h"

namespace {

using bemt::HelperRootFinder;

TEST(RootFinder, BisectionFindsTheRootAndReportsTheLimit) {
    auto f = [](double x) { return x; };
    const auto found = HelperRootFinder::bisectionRoot(f, -1.0, 3.0, 1e-9, 1000);
    EXPECT_NEAR(found.first, 0.0, 1e-9);
    EXPECT_TRUE(found.second);

    const auto limited = HelperRootFinder::bisectionRoot(f, -1.0, 3.0, 1e-9, 1);
    EXPECT_DOUBLE_EQ(limited.first, 1.0);
    EXPECT_FALSE(limited.second);

    // The first midpoint is within tolerance: returned at once.
    const auto immediate = HelperRootFinder::bisectionRoot(f, -1.0, 1.0, 1e-9, 1000);
    EXPECT_DOUBLE_EQ(immediate.first, 0.0);
    EXPECT_TRUE(immediate.second);
}

TEST(RootFinder, NewtonConvergesToSquareRootOfTwo) {
    EXPECT_NEAR(HelperRootFinder::newtonRoot([](double x) { return x * x - 2.0; }, 1.0, 1e-10, 100), std::sqrt(2.0),
                1e-8);
}

TEST(RootFinder, GradientMaximizeStaysInsideTheInterval) {
    EXPECT_NEAR(HelperRootFinder::gradientMaximize([](double x) { return -(x - 0.3) * (x - 0.3); }, 0.0, 1.0, 1e-6, 1000),
                0.3, 1e-5);
    EXPECT_NEAR(HelperRootFinder::gradientMaximize([](double x) { return x; }, 0.0, 1.0, 1e-6, 1000), 1.0, 1e-5);
    EXPECT_NEAR(HelperRootFinder::gradientMaximize([](double x) { return -x; }, 0.0, 1.0, 1e-6, 1000), 0.0, 1e-5);
}

TEST(RootFinder, StepByStepMaximizeSamplesFromTheLowerEnd) {
    EXPECT_DOUBLE_EQ(HelperRootFinder::stepByStepMaximize([](double x) { return x; }, 0.0, 1.0, 5.0, 100), 0.0);
    EXPECT_NEAR(HelperRootFinder::stepByStepMaximize([](double x) { return -std::fabs(x - 0.5); }, 0.0, 1.0, 0.1, 100),
                0.5, 1e-12);
}

TEST(RootFinder, EmptyFunctionThrowsBadFunctionCall) {
    std::function<double(double)> empty;
    EXPECT_THROW(HelperRootFinder::bisectionRoot(empty, 0.0, 1.0, 1e-6, 10), std::bad_function_call);
    EXPECT_THROW(HelperRootFinder::gradientMaximize(empty, 0.0, 1.0, 1e-6, 10), std::bad_function_call);
}

}  // namespace
