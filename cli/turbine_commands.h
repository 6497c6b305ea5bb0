#pragma once
// korvane-cli power-curve and surface: the rotor under its controller with the annual
// energy, and the performance coefficients over tip speed ratio and pitch.

#include <optional>
#include <string>
#include <vector>

#include "turbine/TurbineSettings.h"
#include "cli/commands.h"

namespace korvane::cli {

// Turbine settings given on the command line in place of the project's.
struct TurbineOverrides {
    std::optional<double> ratedPower;
    std::optional<double> efficiency;
    std::optional<double> rpmMin;
    std::optional<double> rpmMax;
    std::optional<double> tsrTarget;   // NaN: automatic
    std::optional<bemt::ControlMode> control;
    std::optional<bemt::SweepRange> wind;
    std::vector<bemt::WindClimate> climates;   // replace the project's when any are given
};

struct SurfaceOptions {
    bemt::SweepRange tsr;
    bemt::SweepRange pitch;
    std::optional<double> wind;   // default: the project's V0
    std::string roscoPath;        // empty: no file
};

// "MIN:MAX" (rpm); "K,A" (Weibull); "auto" or a number (tip speed ratio). Each throws a
// message naming the option for anything else.
std::pair<double, double> parseRpmRange(const std::string& text);
bemt::WindClimate parseWeibull(const std::string& text);
double parseTsrTarget(const std::string& text);

// The project's turbine settings with the overrides; throws the first value out of range.
bemt::TurbineSettings turbineSettings(const ProjectData& project, const TurbineOverrides& overrides);

// command is the subcommand's name, as the JSON document names it.
int runPowerCurve(const std::string& command, const ComputeOptions& options, const TurbineOverrides& overrides);
int runSurface(const std::string& command, const ComputeOptions& options, const SurfaceOptions& surface);

}  // namespace korvane::cli
