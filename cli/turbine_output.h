#pragma once
// The power curve with its annual energy, and the performance surface, as summary
// tables, CSV files with units in the headers, and JSON documents (SI units, angles in
// degrees).

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace korvane::cli {

struct PowerCurveResult {
    std::string command;   // the subcommand's name, as the JSON document names it
    std::string projectPath;
    bemt::TurbineSettings settings;
    bemt::PowerCurve curve;
    std::vector<bemt::AnnualEnergy> energy;
    std::optional<bemt::StallDelayInput> stallDelay;  // how the polars were corrected
};

void printPowerCurve(std::FILE* out, const PowerCurveResult& result);
// power_curve.csv and aep.csv.
std::vector<std::pair<std::string, std::string>> powerCurveCsv(const PowerCurveResult& result);
std::string powerCurveJson(const PowerCurveResult& result);

void printSurface(std::FILE* out, const bemt::PerformanceSurface& surface, const std::string& projectPath);
// surface_cp.csv, surface_ct.csv and surface_cq.csv: one row per tip speed ratio, one
// column per pitch angle.
std::vector<std::pair<std::string, std::string>> surfaceCsv(const bemt::PerformanceSurface& surface);
// The surface as one JSON document of the subcommand command, written row by row.
void writeSurfaceJson(std::ostream& out, const bemt::PerformanceSurface& surface, const std::string& command,
                      const std::optional<bemt::StallDelayInput>& stallDelay);

}  // namespace korvane::cli
