#pragma once
// The figures that compare two blades of one rotor: the annual energy in each wind
// climate, the power curve's peak Cp and largest thrust, and the blade area, a proxy
// for its mass.

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
    double area = 0.0;                        // m², one blade
};

// The summary of the blade of data (its chord and twist points) under turbine.
BladeSummary summariseBlade(bemt::BEMTTools& tools, const bemt::InputDataSet& data,
                            const bemt::TurbineSettings& turbine, const bemt::ProgressCallback& progress);

}  // namespace korvane::optimise
