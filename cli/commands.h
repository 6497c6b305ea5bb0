#pragma once
// The computing subcommands of korvane-cli. Each returns the program's exit status;
// failures are thrown as bemt::Error messages for the user.

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "project/file_writer.h"
#include "project/input_files.h"
#include "project/text_file.h"
#include "cli/project_input.h"
#include "cli/result_output.h"

namespace korvane::cli {

enum ExitStatus : int {
    kSuccess = 0,
    kFailure = 1,     // unreadable or invalid project, failed computation or output
    kUsage = 2,       // wrong command line
    kNotConverged = 3,  // results written, but not every operating point converged
    kAborted = 130,   // stopped with Ctrl-C
};

struct ComputeOptions {
    std::string projectPath;
    Overrides overrides;
    std::string csvFolder;  // empty: no CSV files
    std::string jsonPath;   // empty: no JSON; "-": standard output
    bool quiet = false;     // no summary table
    bool progress = true;   // progress bar when stderr is a terminal
    std::optional<int> threads;  // threads of the sweeps; default KORVANE_THREADS or every core
};

// The operating points of a command's results: how many did not converge, and how many
// of those hold values that are not numbers (NaN, infinite).
struct ConvergenceCount {
    std::size_t points = 0;
    std::size_t unconverged = 0;
    std::size_t notANumber = 0;
    void add(bool converged, std::initializer_list<double> values);
};
// kSuccess when every point converged; otherwise kNotConverged, said on stderr unless quiet.
int convergenceStatus(const ConvergenceCount& count, bool quiet);

// op, design or char; command is the subcommand's name, as the results name it.
int runComputation(Computation computation, const std::string& command, const ComputeOptions& options);

// Files (name or path) with their text, written as it is produced.
using OutputFiles = std::vector<std::pair<std::string, TextProducer>>;

// Files whose text is already whole.
OutputFiles wholeTexts(std::vector<std::pair<std::string, std::string>> files);

// What a command writes: its JSON document, its CSV files and the summary table for
// standard output.
struct CommandOutputs {
    TextProducer json;
    std::function<OutputFiles()> csvFiles;
    std::function<void(std::FILE*)> summary;
    // Further files a command was asked for.
    OutputFiles files = {};
};
// Writes them as the options ask; no output may replace one of the project's input files.
void writeOutputs(const CommandOutputs& outputs, const ComputeOptions& options, const ProjectData& project);


// Reads the project, applies the overrides, then adjust (a command's own overrides and
// checks), checks it for computing, refuses a JSON output that would replace an input
// (before the work, which may take long), and runs work on the core's input with the
// project's solver while a progress bar shows and Ctrl-C stops it. Returns the project
// as used, or nothing when Ctrl-C stopped the work (the message is printed).
using ProjectWork = std::function<void(bemt::BEMTTools&, const bemt::InputDataSet&, const ProjectData&,
                                       const bemt::ProgressCallback&)>;
std::optional<ProjectData> runOnProject(const ComputeOptions& options, const std::function<void(ProjectData&)>& adjust,
                                        const ProjectWork& work);

// Writes the new-project defaults to path; an existing file is replaced only with force.
int runNew(const std::string& path, bool force);

}  // namespace korvane::cli
