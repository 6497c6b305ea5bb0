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
#include "project/result_json.h"
#include "project/file_writer.h"
#include "project/text_file.h"
#include "bemt/BEMTTools.h"

namespace korvane::cli {

void printSummary(std::FILE* out, const CommandResult& result);

// The CSV files of a result as (file name, text written as it is produced):
// <cmd>_summary.csv, <cmd>_elements_<n>_pitch_<P>.csv numbered in sweep order,
// design_blade.csv, or characteristics.csv. They refer to result.
std::vector<std::pair<std::string, TextProducer>> csvFiles(const CommandResult& result);

// A number as CSV files hold it ("%.10g").
std::string csvNumber(double value);

}  // namespace korvane::cli
