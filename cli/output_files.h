#pragma once
// Writing the command line's results without endangering anything: no output may be
// one of the command's input files, a set of CSV files appears complete or not at all,
// and every write says whether it created or replaced a file, or why it failed.

#include <string>
#include <utility>
#include <vector>

#include "project/file_set.h"
#include "project/file_writer.h"
#include "project/input_files.h"
#include "project/text_file.h"

namespace korvane::cli {

// Writes one file, its text as it is produced, in place of any earlier one; on failure
// the message gives the reason.
WrittenFile writeOutputFile(const std::string& path, const TextProducer& produce);

// "Created PATH", "Replaced PATH" or (a device, a pipe) "Wrote PATH" on standard error.
void reportWritten(const WrittenFile& file);

// The CSV files (name, text) into folder as one set (see writeFileSet).
std::vector<WrittenFile> writeCsvSet(const std::string& folder,
                                     const std::vector<std::pair<std::string, TextProducer>>& files);

}  // namespace korvane::cli
