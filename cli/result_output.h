#pragma once
// The results of a command as a readable table, as CSV files with headers and units,
// and as one JSON document (SI units, angles in degrees).

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "project/project_data.h"
#include "project/file_writer.h"
#include "project/text_file.h"
#include "bemt/BEMTTools.h"
#include "cli/json_stream.h"

namespace korvane::cli {

// What op, design and char compute.
enum class Computation { OperatingPoint, Design, Characteristics };

struct CommandResult {
    Computation computation = Computation::OperatingPoint;
    std::string command;  // the subcommand's name: JSON "command", CSV file names
    std::string projectPath;
    ProjectData project;  // after the command line's overrides
    std::vector<bemt::pitchControlledOperatingPoint> points;           // op, design
    std::optional<bemt::DesignedBlade> design;                         // design
    std::vector<bemt::pitchControlledCharacteristicElement> steps;     // char
};

void printSummary(std::FILE* out, const CommandResult& result);

// The CSV files of a result as (file name, text written as it is produced):
// <cmd>_summary.csv, <cmd>_elements_<n>_pitch_<P>.csv numbered in sweep order,
// design_blade.csv, or characteristics.csv. They refer to result.
std::vector<std::pair<std::string, TextProducer>> csvFiles(const CommandResult& result);

// A number as CSV files hold it ("%.10g").
std::string csvNumber(double value);

// Whether and how the polars were corrected, for every result document:
// {"corrected": false}, or the settings with the tip speed ratio of the model.
Json stallDelayJson(const std::optional<bemt::StallDelayInput>& used);
// The same in one line for the summaries.
std::string polarsNote(const std::optional<bemt::StallDelayInput>& used);

// The whole result as one JSON document, written point by point.
void writeJson(std::ostream& out, const CommandResult& result);

}  // namespace korvane::cli
