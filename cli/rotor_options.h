#pragma once
// The rotor geometry, inflow and BEM model switches on the command line: options every
// computing subcommand takes, the values they replace in the project, and the model in
// words for the summaries.

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "bemt/RotorGeometry.h"
#include "project/project_data.h"

namespace korvane::cli {

struct RotorOverrides {
    std::optional<double> precone, tilt, yaw, shearExponent, hubHeight;
    std::optional<int> sectors;  // RotorGeometry::kAutoSectors for auto
    std::optional<bemt::SkewCorrection> skew;
    bool noTipLoss = false, noHubLoss = false, noWakeRotation = false, noDragInInduction = false;
};

// Adds --precone, --tilt, --yaw, --shear, --hub-height, --sectors, --skew and the
// --no-... switches to command.
void addRotorOptions(CLI::App& command, RotorOverrides& overrides);

void applyRotorOverrides(ProjectData& project, const RotorOverrides& overrides);

}  // namespace korvane::cli
