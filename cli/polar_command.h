#pragma once
// korvane-cli polar: the polar the computations use at one position along the blade,
// with the 2D values beside those corrected for stall delay.

#include <optional>
#include <string>

#include "bemt/SweepRange.h"
#include "cli/commands.h"

namespace korvane::cli {

struct PolarOptions {
    double x = 0.0;                         // x/R
    std::optional<bemt::SweepRange> alpha;  // degrees; default: every whole degree of the airfoil data
};

// What --alpha accepts: the angles of an XFOIL sweep.
RangeLimits polarAngleLimits();

int runPolar(const std::string& command, const ComputeOptions& options, const PolarOptions& polar);

}  // namespace korvane::cli
