// Annual energy by the bin method against sums worked out by hand, the Rayleigh climate
// as a Weibull one, and the availability and capacity factor.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bemt/Error.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineSettings.h"

namespace {

using bemt::AnnualEnergy;
using bemt::WindClimate;

TEST(AnnualEnergy, BinSumOfASmallCurveMatchesTheHandComputation) {
    // Bins [3.5, 4.5], [4.5, 5.5], [5.5, 6.5] of a Weibull climate k = 2, A = 6 m/s:
    // F = 0.288427, 0.430217, 0.568409, 0.690752; 8760 h x (100 x 0.141790 + 200 x 0.138192
    // + 300 x 0.122342) W = 687836.5 Wh.
    const auto aep = AnnualEnergy::compute({4.0, 5.0, 6.0}, {100.0, 200.0, 300.0}, 1.0, {"site", 2.0, 6.0}, 1.0, 300.0);
    EXPECT_NEAR(aep.energy, 687836.5163, 1e-3);
    EXPECT_NEAR(aep.megawattHours(), 0.6878365163, 1e-9);
    EXPECT_NEAR(aep.capacityFactor, 687836.5163 / (8760.0 * 300.0), 1e-9);
    EXPECT_EQ(aep.climate.name, "site");
    EXPECT_EQ(aep.binsAtRated, 0);

    // A generator rated 150 W counts 150 W in the two bins above it (a fixed-pitch rotor
    // must stall there): 8760 h x (100 x 0.141790 + 150 x (0.138192 + 0.122342)) W.
    const auto capped =
        AnnualEnergy::compute({4.0, 5.0, 6.0}, {100.0, 200.0, 300.0}, 1.0, {"site", 2.0, 6.0}, 1.0, 150.0);
    EXPECT_NEAR(capped.energy, 466550.3811, 1e-3);
    EXPECT_EQ(capped.binsAtRated, 2);

    // A bin reaching below zero counts only from zero: F(v <= 0) = 0.
    const auto low = AnnualEnergy::compute({0.0, 1.0}, {1000.0, 2000.0}, 1.0, {"low", 1.5, 7.0}, 1.0, 2000.0);
    EXPECT_NEAR(low.energy, 1488838.9266, 1e-3);
}

TEST(AnnualEnergy, WeibullDistributionLimits) {
    EXPECT_EQ(AnnualEnergy::weibullCdf(0.0, 2.0, 8.0), 0.0);
    EXPECT_EQ(AnnualEnergy::weibullCdf(-3.0, 2.0, 8.0), 0.0);
    // At v = A every Weibull distribution has reached 1 - 1/e.
    for (double k : {1.0, 2.0, 3.5}) EXPECT_NEAR(AnnualEnergy::weibullCdf(8.0, k, 8.0), 1.0 - std::exp(-1.0), 1e-15);
    EXPECT_NEAR(AnnualEnergy::weibullCdf(1e3, 2.0, 8.0), 1.0, 1e-15);

    // A constant power over bins covering all the wind of the year gives 8760 h x P.
    std::vector<double> v, p;
    for (int i = 0; i <= 100; ++i) {
        v.push_back(i * 0.5);
        p.push_back(1000.0);
    }
    const auto all = AnnualEnergy::compute(v, p, 0.5, {"all", 2.0, 8.0}, 1.0, 1000.0);
    EXPECT_NEAR(all.energy, 8760.0 * 1000.0, 1e-6);
    EXPECT_NEAR(all.capacityFactor, 1.0, 1e-12);
    // Three times the rated power all year is still a capacity factor of 1, never 3.
    EXPECT_NEAR(AnnualEnergy::compute(v, p, 0.5, {"all", 2.0, 8.0}, 1.0, p[0] / 3.0).capacityFactor, 1.0, 1e-12);
}

TEST(AnnualEnergy, RayleighIsWeibullOfShapeTwoAndAvailabilityScalesLinearly) {
    const WindClimate rayleigh = bemt::Turbine::rayleighClimate("mean 8.5", 8.5);
    EXPECT_EQ(rayleigh.k, 2.0);
    // The mean of a Weibull distribution is A Gamma(1 + 1/k); Gamma(1.5) = sqrt(pi)/2.
    EXPECT_NEAR(rayleigh.A * 0.886226925452758, 8.5, 1e-12);

    const std::vector<double> v{3.0, 5.0, 7.0, 9.0, 11.0, 13.0};
    const std::vector<double> p{10.0, 80.0, 250.0, 500.0, 600.0, 600.0};
    const auto asRayleigh = AnnualEnergy::compute(v, p, 2.0, rayleigh, 1.0, 600.0);
    const WindClimate weibull{"weibull", 2.0, 2.0 * 8.5 / std::sqrt(std::numbers::pi)};
    const auto asWeibull = AnnualEnergy::compute(v, p, 2.0, weibull, 1.0, 600.0);
    EXPECT_DOUBLE_EQ(asRayleigh.energy, asWeibull.energy);

    for (double availability : {0.0, 0.25, 0.97}) {
        const auto partial = AnnualEnergy::compute(v, p, 2.0, rayleigh, availability, 600.0);
        EXPECT_NEAR(partial.energy, availability * asRayleigh.energy, 1e-9 * asRayleigh.energy);
        EXPECT_NEAR(partial.capacityFactor, availability * asRayleigh.capacityFactor, 1e-12);
    }
    EXPECT_THROW(AnnualEnergy::compute({1.0, 2.0}, {1.0}, 1.0, rayleigh, 1.0, 1.0), bemt::Error);
}

}  // namespace
