#pragma once
// korvane-cli optimise: the project's blade optimised for the most annual energy (or Cp)
// within its limits, written as a new project beside a before/after table.

#include <CLI/CLI.hpp>
#include <string>

#include "cli/commands.h"
#include "optimise/OptimisationRun.h"

namespace korvane::cli {

// The optimisation settings given on the command line in place of the project's, and
// the file to write.
struct OptimiseOptions {
    optimise::OptimisationRequest request;
    std::string out;
    bool force = false;
};

void addOptimiseOptions(CLI::App& command, OptimiseOptions& options);

// command is the subcommand's name, as the JSON document names it.
int runOptimise(const std::string& command, const ComputeOptions& options, const OptimiseOptions& optimise);

}  // namespace korvane::cli
