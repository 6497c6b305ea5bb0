#pragma once
// The files a project reads, and the rule every writer of the command line and of the
// Python module keeps: no output is one of them, and no two outputs are the same file.

#include <string>
#include <vector>

#include "project/project_data.h"

namespace korvane {

// The files a computation on the project reads: the project file (when projectPath is
// not empty) and its airfoil data files.
std::vector<std::string> inputFiles(const std::string& projectPath, const ProjectData& project);

// Throws "The output file OUT is the input file IN; ..." when an output path names
// the same file as an input path, and "The outputs A and B are the same file; ..." when
// two outputs do (also through other spellings, links or hard links).
// Whether a and b name the same file, also through other spellings, links (a link to a
// file not yet written included, as the writer follows it) and hard links.
bool sameFile(const std::string& a, const std::string& b);

void refuseInputsAsOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

}  // namespace korvane
