#pragma once
// Writing the command line's results without endangering anything: no output may be
// one of the command's input files, a set of CSV files appears complete or not at all,
// and every write says whether it created or replaced a file, or why it failed.

#include <string>
#include <utility>
#include <vector>

namespace korvane::cli {

// Throws "The output file OUT is the input file IN; ..." when an output path names
// the same file as an input path (also through other spellings, links or hard links).
void refuseInputsAsOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

// One file written, with what became of its path.
struct WrittenFile {
    std::string path;
    bool replaced = false;  // a file of that name existed before
};

// Writes one file in place of any earlier one; on failure the message gives the reason.
WrittenFile writeOutputFile(const std::string& path, const std::string& text);

// Writes the files (name, text) into folder (created when missing): first all into a
// hidden temporary folder beside them, then moved into place. A failure while writing
// leaves the folder as it was; the temporary folder is removed either way.
std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace korvane::cli
