#pragma once
// The results of a command as a readable table, as CSV files with headers and units,
// and as one JSON document (SI units, angles in degrees).

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/project_data.h"
#include "bemt/BEMTTools.h"

namespace korvane::cli {

struct CommandResult {
    std::string command;  // "op", "design" or "char"
    std::string projectPath;
    ProjectData project;  // after the command line's overrides
    std::vector<bemt::pitchControlledOperatingPoint> points;           // op, design
    std::optional<bemt::DesignedBlade> design;                         // design
    std::vector<bemt::pitchControlledCharacteristicElement> steps;     // char
};

void printSummary(std::FILE* out, const CommandResult& result);

// Writes the CSV files into folder (created when missing) and returns their paths.
std::vector<std::string> writeCsvFiles(const std::string& folder, const CommandResult& result);

std::string jsonDocument(const CommandResult& result);

}  // namespace korvane::cli
