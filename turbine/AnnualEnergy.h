#pragma once
// Annual energy yield of a power curve in a Weibull wind climate, by the bin method: each
// wind speed V of the curve stands for the bin [V - step/2, V + step/2], weighted by the
// probability of the wind falling into it. No bin counts more than the rated power, which
// the generator cannot exceed (a fixed-pitch rotor above rated must stall there), so the
// capacity factor never exceeds 1.

#include <string>
#include <vector>

#include "turbine/TurbineController.h"
#include "turbine/TurbineSettings.h"

namespace bemt {

struct AnnualEnergy {
    WindClimate climate;
    double energy = 0.0;           // Wh per year
    double capacityFactor = 0.0;   // energy / (8760 h x rated power)
    int binsAtRated = 0;           // wind speeds above rated power, counted at rated power

    double megawattHours() const { return energy * 1e-6; }

    static constexpr double kHoursPerYear = 8760.0;

    // Weibull cumulative distribution 1 - exp(-(v/A)^k); 0 for v <= 0.
    static double weibullCdf(double v, double k, double A);

    // 8760 h x availability x sum of min(P(V_i), rated) (F(V_i + step/2) - F(V_i - step/2)),
    // with the wind speeds windSpeeds and the electrical powers power (W) of the curve.
    static AnnualEnergy compute(const std::vector<double>& windSpeeds, const std::vector<double>& power,
                                double windStep, const WindClimate& climate, double availability,
                                double ratedPower);

    // The energy of a power curve in each wind climate of the settings it was computed with.
    static std::vector<AnnualEnergy> ofCurve(const PowerCurve& curve, const TurbineSettings& settings);
};

}  // namespace bemt
