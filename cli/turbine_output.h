#pragma once
// The power curve with its annual energy, and the performance surface, as summary
// tables, CSV files with units in the headers, and JSON documents (SI units, angles in
// degrees).

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "project/result_json.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace korvane::cli {

void printPowerCurve(std::FILE* out, const PowerCurveResult& result);
// power_curve.csv and aep.csv.
std::vector<std::pair<std::string, std::string>> powerCurveCsv(const PowerCurveResult& result);

void printSurface(std::FILE* out, const bemt::PerformanceSurface& surface, const std::string& projectPath,
                  const std::string& model);
// surface_cp.csv, surface_ct.csv and surface_cq.csv: one row per tip speed ratio, one
// column per pitch angle.
std::vector<std::pair<std::string, std::string>> surfaceCsv(const bemt::PerformanceSurface& surface);

}  // namespace korvane::cli
