#pragma once
// The figures that compare two blades of one rotor: the annual energy in each wind
// climate, the power curve's peak Cp, largest thrust and root bending moment, and the
// blade area, a proxy for its mass; and Cp over the tip speed ratio.

#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"
#include "turbine/TurbineSettings.h"

namespace korvane::optimise {

struct BladeSummary {
    bemt::PowerCurve curve;
    std::vector<bemt::AnnualEnergy> energy;   // one per wind climate
    double designCp = 0.0;                    // at the project's design point
    double peakCp = 0.0;                      // over the power curve
    double maxThrust = 0.0;                   // N, over the power curve
    double maxRootMoment = 0.0;               // N m, over the power curve and the azimuth
    double area = 0.0;                        // m², one blade
};

// The summary of the blade of data (its chord and twist points) under turbine.
BladeSummary summariseBlade(bemt::BEMTTools& tools, const bemt::InputDataSet& data,
                            const bemt::TurbineSettings& turbine, const bemt::ProgressCallback& progress);

// Cp of the rotor of data at the design wind speed and the given pitch (degrees), over
// the tip speed ratios tsr (computed side by side on the tools' threads).
struct CpCurve {
    std::vector<double> tsr;
    std::vector<double> cp;
    std::vector<bool> converged;
};
CpCurve cpOverTsr(bemt::BEMTTools& tools, const bemt::InputDataSet& data, double pitch, std::vector<double> tsr,
                  const bemt::ProgressCallback& progress);

}  // namespace korvane::optimise
