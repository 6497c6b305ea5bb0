#pragma once
// The subcommands of korvane-cli in one table: each one's name, its description for
// --help, the options it takes and what runs it. main registers them from the table and
// runs the one the command line named; no subcommand runs by default.

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/exchange_commands.h"
#include "cli/study_command.h"
#include "cli/optimise_command.h"
#include "cli/polar_command.h"
#include "cli/turbine_commands.h"

namespace korvane::cli {

struct Subcommand {
    std::string name;
    std::string description;
    // Adds the options of the subcommand to its CLI11 app.
    std::function<void(CLI::App&)> addOptions;
    // Runs the parsed subcommand, given its name; returns the exit status.
    std::function<int(const std::string& name)> run;
    // Its own subcommands, one of which must be given (import openfast, ...).
    std::vector<Subcommand> subcommands = {};
};

// What the options of the command line hold once it is parsed.
struct CommandLine {
    ComputeOptions compute;
    std::string pitch;   // op, design and char
    std::string range;   // char
    TurbineOverrides turbine;
    std::string rpm;
    std::string tsrTarget;
    std::string wind;
    std::vector<std::string> weibull;
    std::vector<std::string> rayleigh;
    SurfaceOptions surface;
    std::string surfaceTsr;
    std::string surfacePitch;
    std::string newPath;
    bool force = false;
    ImportOptions import;
    ExportOptions exportOptions;
    StudyOptions study;
    OptimiseOptions optimise;
    PolarOptions polar;
    std::string polarAlpha;
};

// Every subcommand of korvane-cli, in the order --help lists them; their options fill line.
std::vector<Subcommand> subcommandTable(CommandLine& line);

// Adds the subcommands of table (and theirs) to app.
void addSubcommands(CLI::App& app, const std::vector<Subcommand>& table);

// Runs the subcommand of table that the parsed command line named. Throws
// std::logic_error when it named none.
int runParsedSubcommand(const CLI::App& app, const std::vector<Subcommand>& table);

}  // namespace korvane::cli
