// Shared formulas: loss factor, conversions, reference values (element positions: the
// operating point and design tests).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "bemt/Common.h"

namespace {

namespace Common = bemt::Common;

TEST(Common, LossFactorReynoldsNumberAndConversionsByHand) {
    const bemt::OperatingConditions op{.R = 50.0, .Rh = 1.0, .B = 3};
    const double phi = 0.3;
    EXPECT_NEAR(Common::glauertTipLoss(op.R, phi, op), 1e-10, 1e-15);
    EXPECT_NEAR(Common::glauertTipLoss(op.Rh, phi, op), 1e-10, 1e-15);
    EXPECT_GT(Common::glauertTipLoss(0.5 * op.R, phi, op), 0.99);
    // Prandtl's tip factor by hand at x = 0.9, phi = 0.3, B = 3:
    // exp(-1.5 * 0.1 / 0.9 / sin 0.3) = exp(-0.563976) = 0.568942, acos = 0.965578,
    // times 2/pi = 0.614706; the hub factor is 1 this far out.
    const double F = Common::glauertTipLoss(0.9 * op.R, phi, op);
    EXPECT_NEAR(F, 0.614706, 2e-6);

    const bemt::OperatingConditions ten;  // R 10, V0 10, TSR 5, rho 1.225, mu 1.789e-5
    // W = 10 * sqrt((1.01 * 0.5 * 5)^2 + 0.7^2) = 26.20234 m/s; c = 0.05 * 10 = 0.5 m;
    // Re = 1.225 * 26.20234 * 0.5 / 1.789e-5 = 897090.
    EXPECT_NEAR(Common::reynolds(0.5, 0.05, 0.3, 0.01, ten), 897090.0, 1.0);
    EXPECT_DOUBLE_EQ(Common::rpm2rads(30.0), std::numbers::pi);
    EXPECT_DOUBLE_EQ(Common::rads2rpm(std::numbers::pi), 30.0);
    // Planform area by trapezoids: (0.1 + 0.08) / 2 * 0.4 + (0.08 + 0.02) / 2 * 0.5 = 0.061.
    EXPECT_NEAR(Common::relativeBladeArea({{0.1, 0.1}, {0.5, 0.08}, {1.0, 0.02}}), 0.061, 1e-15);
}

// Far from tip and hub a loss term is pi/2 without evaluating exp and acos: the factor must
// stay the full formula's to the last bit, on both sides of the threshold and for the
// degenerate inflow angles.
TEST(Common, LossFactorFarFromTipAndHubIsTheFullFormulaBitForBit) {
    const double halfPi2 = 2.0 / std::numbers::pi;
    auto full = [&](const Common::TipLossExponents& e, double sinPhi) {
        return halfPi2 * std::acos(std::exp(e.tip / sinPhi)) * halfPi2 * std::acos(std::exp(e.hub / sinPhi)) + 1e-10;
    };
    const std::vector<double> sines{1.0, 0.5, 0.1, 1e-3, 1e-6, 0.0, -0.0, -0.2, std::nan("")};
    std::vector<double> exponents{0.0, -1e-3, -1.0, -10.0, -36.0, -37.0, -39.9, -40.0, -40.1, -45.0, -745.0, -1e6};
    for (double e = -30.0; e > -50.0; e -= 0.37) exponents.push_back(e);
    for (double tip : exponents) {
        for (double hub : exponents) {
            for (double s : sines) {
                const Common::TipLossExponents e{tip, hub};
                const double expected = full(e, s);
                const double actual = Common::glauertTipLoss(e, s);
                if (std::isnan(expected)) {
                    EXPECT_TRUE(std::isnan(actual)) << tip << " " << hub << " " << s;
                } else {
                    EXPECT_EQ(actual, expected) << tip << " " << hub << " " << s;
                }
            }
        }
    }
}

}  // namespace
