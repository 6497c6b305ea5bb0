// Root finders and maximisers on functions with known roots and maxima.
#include <gtest/gtest.h>

#include <cmath>

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

// Brent's own test function (Brent 1973; also Forsythe, Malcolm and Moler): the real root
// of x^3 - 2x - 5 is 2.0945514815423265, found in a few evaluations where bisection needs
// about 40. Like the inflow residual near zero inflow angle, log(x / 0.3) - 1e-9 / x is
// hugely larger at one end than at the other; its root is 0.3 + 1e-9 to first order.
TEST(RootFinder, BrentFindsTheRootInAFewEvaluations) {
    const struct {
        double (*f)(double);
        double a, b, tolerance, root;
        int evaluations;
    } cases[] = {{[](double x) { return (x * x - 2.0) * x - 5.0; }, 2.0, 3.0, 1e-12, 2.0945514815423265, 9},
                 {[](double x) { return std::log(x / 0.3) - 1e-9 / x; }, 1e-12, 2.0, 1e-10, 0.3 + 1e-9, 20}};
    for (const auto& c : cases) {
        int evaluations = 0;
        auto counted = [&](double x) { ++evaluations; return c.f(x); };
        const auto found = HelperRootFinder::brentRoot(counted, c.a, c.b, c.f(c.a), c.f(c.b), c.tolerance, 100);
        EXPECT_TRUE(found.second);
        EXPECT_NEAR(found.first, c.root, 1e-12);
        EXPECT_LE(std::fabs(c.f(found.first)), c.tolerance);
        EXPECT_LE(evaluations, c.evaluations);
    }
}

// A sign change without a root, NaN values and the iteration limit are reported as failure.
TEST(RootFinder, BrentReportsJumpsNaNAndTheLimitAsNotFound) {
    auto jump = [](double x) { return x < 0.3 ? -1.0 : 1.0; };
    const auto atJump = HelperRootFinder::brentRoot(jump, 0.0, 1.0, -1.0, 1.0, 1e-6, 1000);
    EXPECT_FALSE(atJump.second);
    EXPECT_NEAR(atJump.first, 0.3, 1e-15);

    auto holed = [](double x) { return x > 0.25 ? std::nan("") : x - 0.7; };
    EXPECT_FALSE(HelperRootFinder::brentRoot(holed, 0.0, 1.0, -0.7, 0.3, 1e-6, 1000).second);

    auto cubic = [](double x) { return (x * x - 2.0) * x - 5.0; };
    EXPECT_FALSE(HelperRootFinder::brentRoot(cubic, 2.0, 3.0, cubic(2.0), cubic(3.0), 1e-12, 2).second);
    EXPECT_FALSE(HelperRootFinder::brentRoot(cubic, 2.0, 3.0, cubic(2.0), cubic(3.0), 1e-12, 0).second);
}

// Newton to the square root of two; the maximisers stay inside the interval, the sampling
// one starting from its lower end.
TEST(RootFinder, NewtonAndTheMaximisersOnKnownFunctions) {
    EXPECT_NEAR(HelperRootFinder::newtonRoot([](double x) { return x * x - 2.0; }, 1.0, 1e-10, 100), std::sqrt(2.0),
                1e-8);
    auto peak = [](double x) { return -(x - 0.3) * (x - 0.3); };
    auto rising = [](double x) { return x; };
    EXPECT_NEAR(HelperRootFinder::gradientMaximize(peak, 0.0, 1.0, 1e-6, 1000), 0.3, 1e-5);
    EXPECT_NEAR(HelperRootFinder::gradientMaximize(rising, 0.0, 1.0, 1e-6, 1000), 1.0, 1e-5);
    EXPECT_NEAR(HelperRootFinder::gradientMaximize([](double x) { return -x; }, 0.0, 1.0, 1e-6, 1000), 0.0, 1e-5);
    EXPECT_DOUBLE_EQ(HelperRootFinder::stepByStepMaximize(rising, 0.0, 1.0, 5.0, 100), 0.0);
    EXPECT_NEAR(HelperRootFinder::stepByStepMaximize([](double x) { return -std::fabs(x - 0.5); }, 0.0, 1.0, 0.1, 100),
                0.5, 1e-12);
}

// The searches of the turbine controller, on Brent's cubic and its mirror image.
TEST(RootFinder, IllinoisBisectionAndGoldenSectionFindRootAndMaximum) {
    const double root = 2.0945514815423265;
    auto cubic = [](double x) { return (x * x - 2.0) * x - 5.0; };
    int evaluations = 0;
    auto falling = [&](double x) { ++evaluations; return -cubic(x); };
    // Plain regula falsi keeps the end at 3 and needs 28 evaluations for this.
    const double illinois =
        HelperRootFinder::illinoisRoot(falling, 2.0, 3.0, -cubic(2.0), -cubic(3.0), 1e-12, 1e-15, 100);
    EXPECT_NEAR(illinois, root, 1e-13);
    EXPECT_LE(evaluations, 10);
    EXPECT_EQ(HelperRootFinder::illinoisRoot(falling, 2.0, 3.0, -cubic(2.0), -cubic(3.0), 1e-12, 1e-15, 0), 2.0);

    // Bisection to 0.01, then the chord through the last bracket.
    const double bisected = HelperRootFinder::bisectionInterpolatedRoot(cubic, 2.0, 3.0, cubic(2.0), cubic(3.0), 0.01);
    EXPECT_NEAR(bisected, root, 1e-4);

    int steps = 0;
    auto peak = [](double x) { return -(x - 0.3) * (x - 0.3); };
    const double top = HelperRootFinder::goldenSectionMaximize(peak, 0.0, 1.0, 1e-6, [&](int k, int total) {
        EXPECT_EQ(k, steps++);
        EXPECT_EQ(total, 29);  // 0.618^29 < 1e-6
    });
    EXPECT_NEAR(top, 0.3, 1e-6);
    EXPECT_EQ(steps, 29);
}

}  // namespace
