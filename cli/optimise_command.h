#pragma once
// korvane-cli optimise: the project's blade optimised for the most annual energy (or Cp)
// within its limits, written as a new project beside a before/after table.

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "cli/commands.h"

namespace korvane::cli {

// The optimisation settings given on the command line in place of the project's.
struct OptimiseOptions {
    std::string objective;
    std::string climate;
    std::string vary;
    std::string method;
    std::string start;
    std::optional<int> points;
    std::optional<int> budget;
    std::optional<double> maxChord;
    std::optional<double> maxThrust;
    std::optional<double> maxThrustRatio;
    std::optional<double> maxRootMoment;
    bool freeRootChord = false;
    std::string out;
    bool force = false;
};

void addOptimiseOptions(CLI::App& command, OptimiseOptions& options);

// command is the subcommand's name, as the JSON document names it.
int runOptimise(const std::string& command, const ComputeOptions& options, const OptimiseOptions& optimise);

}  // namespace korvane::cli
