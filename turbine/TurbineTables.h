#pragma once
// The power curve, its annual energy and the performance surface as CSV tables with
// units in the headers, shared by the command line and the desktop program's exports.

#include <string>
#include <vector>

#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace bemt::TurbineTables {

// One row per wind speed.
std::string powerCurveCsv(const PowerCurve& curve);
// One row per wind climate.
std::string annualEnergyCsv(const std::vector<AnnualEnergy>& energy);
// One row per tip speed ratio, one column per pitch angle, of one of the surface's matrices.
std::string surfaceCsv(const PerformanceSurface& surface, const std::vector<std::vector<double>>& values);

// A number as the tables hold it ("%.10g"), and a text field quoted when it needs to be.
std::string number(double value);
std::string text(const std::string& value);

}  // namespace bemt::TurbineTables
