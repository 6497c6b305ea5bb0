// korvane-cli: the rotor computations of a .kvp project without a display.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>

#include "bemt/ValueLimits.h"
#include "bemt/ThreadCount.h"
#include "cli/commands.h"

namespace {

using namespace korvane::cli;
namespace Limits = bemt::Limits;

const char* const kFooter = R"(Results:
  A summary table goes to standard output. --csv DIR writes CSV files with a header
  row and units: for op and design <cmd>_summary.csv (one row per pitch angle) and
  <cmd>_elements_<N>_pitch_<P>.csv (one row per blade element, N numbering the pitch
  angles), for design also design_blade.csv; for char characteristics.csv (one row
  per step and pitch angle). The set appears complete or not at all. No output may
  be the project or one of its airfoil files. Each file written is listed on stderr
  as "Created" or "Replaced".
  --json FILE (or - for standard output, which then holds the JSON alone) writes
  SI units with angles in degrees:
    op, design: {"command", "conditions": {"R", "Rh", "B", "V0", "TSR", "Om", "rho", "mu"},
      "points": [{"pitch", "P", "T", "Cp", "Ct", "converged", "extrapolated",
        "elements": [{"x_rel", "r", "c", "twist_deg", "phi_deg", "alpha_deg",
          "alpha_opt_deg", "a", "a_", "cl", "cd", "F", "Re", "dP", "dT",
          "converged", "extrapolated"}]}]}
      design adds "design": {"chord_points": [{"x_rel", "c_rel"}],
                             "twist_points": [{"x_rel", "twist_deg"}]}
    char: {"command", "range_type": "wind_velocity" | "tip_speed_ratio",
      "steps": [{"V0", "TSR", "points": [{"pitch", "P", "T", "Cp", "Ct",
        "converged", "extrapolated"}]}]}
  Values that are not numbers are written as null.

Airfoils: the built-in NACA 0012 to 0025 tables, CSV polar files, and airfoil
coordinate files analysed by XFOIL (xfoil-core, looked for beside korvane-cli), as
the project's airfoil points give them; relative file paths are read from the
project file's folder.

Limits: every project setting has a physical range, the same in the project file, on
the command line and in the desktop program (accuracy 1e-08 to 0.1, relaxation factor
0.01 to 1, 1 to 10000 blade elements, chord c/R greater than 0, ...); a value outside
it is refused with the value and the range. One command computes at most 1001 pitch
angles (the desktop program 11) and 500 characteristics steps.

The operating points of a sweep are computed in parallel, on every core unless --threads
or the environment variable KORVANE_THREADS (a whole number from 1 to 1024) says
otherwise; the results do not depend on the number of threads.

Ctrl-C stops a computation. Exit status: 0 success, 1 error (unreadable or invalid
project, failed computation or output), 2 wrong command line, 130 stopped by Ctrl-C.

Examples:
  korvane-cli op examples/new_turbine.kvp
  korvane-cli op examples/naca_blade.kvp --pitch 0:10:2.5 --csv results/
  korvane-cli char examples/new_turbine.kvp --range 2:12:0.5 --json cp.json
  korvane-cli design examples/new_turbine.kvp --c-limit 0.12 --json - | jq .design
  korvane-cli new my_rotor.kvp)";

// Refuses a number outside the setting's range with the range; text that is no number
// is left to the conversion, which says so.
CLI::Validator within(const bemt::ValueLimit& limit) {
    return CLI::Validator(
        [limit](std::string& input) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(input.c_str(), &end);
            if (input.empty() || *end != '\0' || limit.contains(value)) return std::string();
            return limit.refusal(value);
        },
        "");
}

// Options shared by op, design and char.
void addComputeOptions(CLI::App& command, ComputeOptions& options, std::string& pitch) {
    command.add_option("PROJECT", options.projectPath, "The .kvp project file")->required();
    command.add_option("--csv", options.csvFolder, "Write CSV files into DIR (created when missing)")
        ->type_name("DIR");
    command.add_option("--json", options.jsonPath, "Write the results as JSON to FILE, or - for standard output")
        ->type_name("FILE");
    command.add_flag("-q,--quiet", options.quiet, "No summary table and no list of written files");
    command.add_flag_callback(
        "--no-progress", [&options] { options.progress = false; },
        "No progress bar (it shows only when stderr is a terminal)");

    const std::map<std::string, bemt::SolverType> solvers{
        {"ning", bemt::Ning}, {"nr", bemt::NewtonRaphson}, {"2d", bemt::FixedPoint2D},
        {"0", bemt::Ning},    {"1", bemt::NewtonRaphson},  {"2", bemt::FixedPoint2D}};
    command
        .add_option_function<bemt::SolverType>(
            "--solver", [&options](const bemt::SolverType& s) { options.overrides.solver = s; },
            "Element solver instead of the project's: ning (0), nr (Newton-Raphson, 1) or 2d (fixed point, 2)")
        ->transform(CLI::CheckedTransformer(solvers, CLI::ignore_case))
        ->option_text("ning|nr|2d");
    command.add_option_function<int>(
        "--elements", [&options](const int& n) { options.overrides.elements = n; },
        "Number of blade elements, " + Limits::elements.rangeText() + " (design: at least 2)")
        ->check(within(Limits::elements))->option_text("N");
    command.add_option_function<double>(
        "--accuracy", [&options](const double& a) { options.overrides.accuracy = a; },
        "Tolerance of every iteration, " + Limits::accuracy.rangeText())
        ->check(within(Limits::accuracy))->option_text("EPS");
    command.add_option_function<int>(
        "--max-iterations", [&options](const int& n) { options.overrides.maxIterations = n; },
        "Iteration limit, " + Limits::maxIterations.rangeText())
        ->check(within(Limits::maxIterations))->option_text("N");
    command.add_option("--pitch", pitch,
                       "Blade pitch angles in degrees, VALUE or MIN:MAX:STEP (switches pitch regulation on); angles " +
                           Limits::pitchAngle.rangeText() + ", at most " +
                           std::to_string(Limits::kMaxPitchPositions) + " of them")
        ->type_name("P|MIN:MAX:STEP");
    command.add_option_function<int>(
        "--threads", [&options](const int& n) { options.threads = n; },
        "Threads of the pitch and characteristics sweeps (default: KORVANE_THREADS, otherwise every core)")
        ->check(CLI::Range(1, bemt::ThreadCount::kMax))->option_text("N");
    command.add_option_function<bool>(
        "--interpolation", [&options](const bool& on) { options.overrides.interpolation = on; },
        "Blend neighbouring airfoils along the blade: on or off (default: the project's setting)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, bool>{{"on", true}, {"off", false}}, CLI::ignore_case))
        ->option_text("on|off");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Wind turbine rotor computations by blade element momentum theory on a Korvane project (.kvp)",
                 "korvane-cli"};
    app.set_version_flag("--version", std::string("korvane-cli ") + KORVANE_VERSION);
    app.footer(kFooter);
    app.require_subcommand(1);
    app.fallthrough(false);

    ComputeOptions options;
    std::string pitch;
    std::string range;
    std::string newPath;
    bool force = false;

    CLI::App* op = app.add_subcommand(
        "op", "Operating point, one per pitch angle of the project's compute settings (pitch regulation on: the "
              "pitch range; off: pitch 0)");
    CLI::App* design = app.add_subcommand(
        "design", "Blade design with the project's chord limit, then the operating point of the designed blade");
    CLI::App* characteristics =
        app.add_subcommand("char", "Characteristics over the project's range of wind velocity or tip speed ratio");
    CLI::App* create = app.add_subcommand("new", "Write the new-project defaults to FILE");

    for (CLI::App* command : {op, design, characteristics}) addComputeOptions(*command, options, pitch);
    design->add_option_function<double>(
        "--c-limit", [&options](const double& c) { options.overrides.chordLimit = c; },
        "Largest relative chord c/R of the design, " + Limits::chordLimit.rangeText())
        ->check(within(Limits::chordLimit))->option_text("C/R");
    characteristics
        ->add_option("--range", range,
                     "Range of the characteristics, MIN:MAX:STEP; values " + Limits::rangeValue.rangeText() +
                         ", step " + Limits::rangeStep.rangeText() + ", at most " +
                         std::to_string(Limits::kMaxCharacteristicSteps) + " steps")
        ->type_name("MIN:MAX:STEP");
    characteristics
        ->add_option_function<bemt::ComputeRangeType>(
            "--range-type", [&options](const bemt::ComputeRangeType& t) { options.overrides.rangeType = t; },
            "Quantity of the range: wind (wind velocity, m/s) or tsr (tip speed ratio)")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, bemt::ComputeRangeType>{{"wind", bemt::windVelocity}, {"tsr", bemt::tipSpeedRatio}},
            CLI::ignore_case))
        ->option_text("wind|tsr");
    create->add_option("FILE", newPath, "The project file to write")->required();
    create->add_flag("-f,--force", force, "Replace an existing file");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kSuccess : kUsage;
    }

    try {
        if (create->parsed()) return runNew(newPath, force);
        if (!pitch.empty()) options.overrides.pitch = parseRange(pitch, "--pitch", pitchLimits());
        if (!range.empty()) options.overrides.range = parseRange(range, "--range", characteristicsLimits());
        const std::string command = op->parsed() ? "op" : design->parsed() ? "design" : "char";
        return runComputation(command, options);
    } catch (const OptionError& e) {
        std::fprintf(stderr, "korvane-cli: %s\n", e.message.c_str());
        return kUsage;
    } catch (const std::string& message) {
        std::fprintf(stderr, "korvane-cli: %s\n", message.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
    }
    return kFailure;
}
