#pragma once
// The subcommands of korvane-cli. Each returns the program's exit status; failures are
// thrown as std::string messages for the user.

#include <optional>
#include <string>

#include "cli/project_input.h"

namespace korvane::cli {

enum ExitStatus : int {
    kSuccess = 0,
    kFailure = 1,     // unreadable or invalid project, failed computation or output
    kUsage = 2,       // wrong command line
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

// command is "op", "design" or "char".
int runComputation(const std::string& command, const ComputeOptions& options);

// Writes the new-project defaults to path; an existing file is replaced only with force.
int runNew(const std::string& path, bool force);

}  // namespace korvane::cli
