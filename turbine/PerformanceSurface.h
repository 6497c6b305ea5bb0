#pragma once
// Power, thrust and torque coefficients of a rotor over a grid of tip speed ratio and
// blade pitch at one wind speed (the rotor speed follows from the tip speed ratio), the
// tables controller tuning works from. Rows are tip speed ratios, columns pitch angles.
// The coefficients are on the swept radius R_p, the tip speed ratio on R (see OperatingPoint).

#include <string>
#include <vector>

#include "bemt/BEMTTools.h"

namespace bemt {

struct PerformanceSurface {
    double wind = 0.0;                 // m/s
    std::vector<double> tsr;           // rows
    std::vector<double> pitch;         // columns, degrees
    std::vector<std::vector<double>> cp;
    std::vector<std::vector<double>> ct;
    std::vector<std::vector<double>> cq;   // torque / (rho/2 pi R_p^2 V^2 R_p) = Cp R / (TSR R_p)
    std::vector<std::vector<bool>> converged;
    std::vector<std::vector<bool>> extrapolated;

    // Largest number of grid points one surface computes.
    static constexpr int kMaxPoints = 250000;

    // Throws a message when the wind speed lies outside the limits of V0, a range is not
    // a range, a tip speed ratio is not positive, a pitch angle lies outside the limits
    // of every pitch setting, or the grid has too many points.
    static void check(double wind, const SweepRange& tsr, const SweepRange& pitch);

    // Every grid point computed with the rotor and solver settings of data. The tip
    // speed ratios must be positive and the wind speed positive (messages otherwise).
    static PerformanceSurface compute(BEMTTools& tools, const InputDataSet& data, double wind, const SweepRange& tsr,
                                      const SweepRange& pitch, const ProgressCallback& progress);
};

}  // namespace bemt
