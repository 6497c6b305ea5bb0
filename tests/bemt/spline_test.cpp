// The spline against closed-form interpolants: each kind reproduces the polynomials it
// must reproduce exactly, and refuses unusable point sets with its three messages.
#include "bemt/spline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ErrorOf.h"

namespace {

using bemt::spline;

constexpr double kTight = 1e-12;

std::string failureOf(const std::vector<double>& x, const std::vector<double>& y, spline::spline_type type,
                      spline::bd_type left = spline::second_derivative) {
    return korvane::testing::errorOf([&] { spline s(x, y, type, false, left, 0.0); });
}

TEST(Spline, RefusesUnusablePointsWithItsThreeMessages) {
    const std::string tooFew = "Increase the number of points to create a spline.";
    for (auto type : {spline::linear, spline::cubic, spline::cubic_hermite}) {
        EXPECT_EQ(failureOf({1, 2}, {1}, type), "Sizes of x and y value arrays must match.");
        EXPECT_EQ(failureOf({}, {}, type), tooFew);
        EXPECT_EQ(failureOf({1}, {1}, type), tooFew);
        EXPECT_EQ(failureOf({0, 1, 1, 2}, {0, 1, 2, 3}, type),
                  "X values must be ordered from the lowest to the highest to create a spline.");
        EXPECT_EQ(failureOf({0, 2, 1}, {0, 1, 2}, type),
                  "X values must be ordered from the lowest to the highest to create a spline.");
    }
    // The not-a-knot condition needs at least four points.
    EXPECT_EQ(failureOf({0, 1}, {0, 1}, spline::cubic, spline::not_a_knot), tooFew);
    EXPECT_EQ(failureOf({0, 1, 2}, {0, 1, 0}, spline::cubic, spline::not_a_knot), tooFew);
    EXPECT_EQ(failureOf({0, 1, 2, 3}, {0, 1, 0, 1}, spline::cubic, spline::not_a_knot), "");
}

// Linear: the knots, blends between them and straight continuations of the outer pieces.
// Two knots give a straight line whatever kind was asked.
TEST(Spline, LinearHitsTheKnotsAndBlendsBetweenThem) {
    const std::vector<double> x = {0.0, 1.0, 3.0, 4.0};
    const std::vector<double> y = {1.0, 3.0, -1.0, 0.5};
    spline s(x, y, spline::linear);
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_DOUBLE_EQ(s(x[i]), y[i]);
    for (const auto& [t, value] : {std::pair{2.0, 1.0}, {3.5, -0.25}, {-1.0, -1.0}, {5.0, 2.0}})
        EXPECT_NEAR(s(t), value, kTight) << t;

    spline two({1.0, 3.0}, {2.0, 6.0}, spline::cubic);
    EXPECT_EQ(two.type(), spline::linear);
    for (double t : {-1.0, 1.0, 2.0, 3.0, 10.0}) EXPECT_NEAR(two(t), 2.0 * t, kTight);
}

// Through (0,0), (1,1), (2,0) the natural spline is 1.5t - 0.5t^3 on [0, 1], mirrored
// about t = 1, and continues as a straight line left of 0. Points set anew replace these
// and keep the kind.
TEST(Spline, NaturalCubicMatchesTheClosedForm) {
    spline s({0.0, 1.0, 2.0}, {0.0, 1.0, 0.0});
    EXPECT_NEAR(s(1.0), 1.0, kTight);
    for (double t : {0.1, 0.25, 0.5, 0.9}) {
        EXPECT_NEAR(s(t), 1.5 * t - 0.5 * t * t * t, kTight);
        EXPECT_NEAR(s(2.0 - t), s(t), kTight);
    }
    EXPECT_NEAR(s(-1.0), -1.5, kTight);
    EXPECT_NEAR(s(-2.0), -3.0, kTight);
    s.set_points({0.0, 1.0, 2.0, 3.0}, {0.0, 2.0, 4.0, 6.0}, spline::cubic);
    EXPECT_NEAR(s(2.5), 5.0, kTight);
}

TEST(Spline, CubicReproducesACubicWithExactEndConditions) {
    auto f = [](double t) { return t * t * t - 2.0 * t + 1.0; };
    auto df = [](double t) { return 3.0 * t * t - 2.0; };
    const std::vector<double> x = {0.0, 1.0, 2.0, 3.5, 5.0};
    std::vector<double> y;
    for (double t : x) y.push_back(f(t));

    spline notAKnot(x, y, spline::cubic, false, spline::not_a_knot, 0.0, spline::not_a_knot, 0.0);
    spline clamped(x, y, spline::cubic, false, spline::first_derivative, df(0.0), spline::first_derivative, df(5.0));
    for (double t : {0.3, 1.7, 2.2, 4.9}) {
        EXPECT_NEAR(notAKnot(t), f(t), 1e-9) << t;
        EXPECT_NEAR(clamped(t), f(t), 1e-9) << t;
    }
}

TEST(Spline, HermiteReproducesAQuadraticInsideAndOutside) {
    // Three-point differences are exact for a quadratic, and so are second-derivative
    // end conditions of value 2, so t^2 comes back everywhere, extrapolation included.
    const std::vector<double> x = {0.0, 0.5, 1.5, 2.0, 3.0};
    std::vector<double> y;
    for (double t : x) y.push_back(t * t);
    spline s(x, y, spline::cubic_hermite, false, spline::second_derivative, 2.0, spline::second_derivative, 2.0);
    for (double t : {-1.0, 0.25, 1.0, 1.75, 2.5, 3.0, 4.0}) EXPECT_NEAR(s(t), t * t, 1e-12) << t;

    spline clamped(x, y, spline::cubic_hermite, false, spline::first_derivative, 0.0, spline::first_derivative, 6.0);
    for (double t : {0.25, 1.0, 2.5}) EXPECT_NEAR(clamped(t), t * t, 1e-12) << t;
}

}  // namespace
