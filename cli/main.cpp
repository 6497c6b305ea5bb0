// korvane-cli: the rotor computations of a .kvp project without a display.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "cli/commands.h"
#include "cli/exchange_commands.h"

namespace {

using namespace korvane::cli;

const char* const kFooter = R"(Results:
  A summary table goes to standard output. --csv DIR writes CSV files with a header
  row and units: for op and design <cmd>_summary.csv (one row per pitch angle) and
  <cmd>_elements_pitch_<P>.csv (one row per blade element), for design also
  design_blade.csv; for char characteristics.csv (one row per step and pitch angle).
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

Exchange with OpenFAST:
  import openfast MODEL.fst --out P.kvp   the rotor of an OpenFAST model (ElastoDyn and
                                          AeroDyn v15 files named by the .fst)
  import aerodyn AD15.dat --hub-radius RH --tip-radius R --blades B --out P.kvp
  export aerodyn P.kvp --out DIR [--nodes N]   AeroDyn blade file, one airfoil table per
                                          airfoil point and the AFNames lines
  What a model holds but Korvane does not compute (cone, tilt, prebend, sweep, drag
  left out of the induction) is listed on standard error and in the project's notes.

Ctrl-C stops a computation. Exit status: 0 success, 1 error (unreadable or invalid
project, failed computation or output), 2 wrong command line, 130 stopped by Ctrl-C.

Examples:
  korvane-cli op examples/new_turbine.kvp
  korvane-cli op examples/naca_blade.kvp --pitch 0:10:2.5 --csv results/
  korvane-cli char examples/new_turbine.kvp --range 2:12:0.5 --json cp.json
  korvane-cli design examples/new_turbine.kvp --c-limit 0.12 --json - | jq .design
  korvane-cli new my_rotor.kvp
  korvane-cli import openfast examples/openfast-nrel5mw/NREL-5MW/NREL-5MW.fst --out nrel5mw.kvp
  korvane-cli export aerodyn nrel5mw.kvp --out aerodyn/)";

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
        "Number of blade elements")->check(CLI::Range(1, 100000))->option_text("N");
    command.add_option_function<double>(
        "--accuracy", [&options](const double& a) { options.overrides.accuracy = a; },
        "Tolerance of every iteration")->check(CLI::PositiveNumber)->option_text("EPS");
    command.add_option_function<int>(
        "--max-iterations", [&options](const int& n) { options.overrides.maxIterations = n; },
        "Iteration limit")->check(CLI::Range(1, 100000000))->option_text("N");
    command.add_option("--pitch", pitch,
                       "Blade pitch angles in degrees, VALUE or MIN:MAX:STEP (switches pitch regulation on)")
        ->type_name("P|MIN:MAX:STEP");
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
        "Largest relative chord c/R of the design")->check(CLI::PositiveNumber)->option_text("C/R");
    characteristics->add_option("--range", range, "Range of the characteristics, MIN:MAX:STEP")
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

    ImportOptions importOptions;
    CLI::App* importCommand = app.add_subcommand("import", "Make a project from another program's files");
    importCommand->require_subcommand(1);
    CLI::App* importOpenFast =
        importCommand->add_subcommand("openfast", "The rotor of an OpenFAST model (.fst with ElastoDyn and AeroDyn v15)");
    CLI::App* importAeroDyn = importCommand->add_subcommand(
        "aerodyn", "The blade of an AeroDyn v15 primary input, with the rotor size given here");
    for (CLI::App* command : {importOpenFast, importAeroDyn}) {
        command->add_option("FILE", importOptions.source, "The model file")->required();
        command->add_option("--out", importOptions.out, "The project file to write")->required()->type_name("FILE");
        command->add_flag("-f,--force", importOptions.force, "Replace an existing project file");
    }
    importAeroDyn->add_option("--hub-radius", importOptions.rotor.hubRadius, "Hub radius, m")
        ->required()->check(CLI::NonNegativeNumber)->type_name("RH");
    importAeroDyn->add_option("--tip-radius", importOptions.rotor.tipRadius, "Rotor (tip) radius, m")
        ->required()->check(CLI::PositiveNumber)->type_name("R");
    importAeroDyn->add_option("--blades", importOptions.rotor.blades, "Number of blades")
        ->required()->check(CLI::Range(1, 100))->type_name("B");

    ExportOptions exportOptions;
    CLI::App* exportCommand = app.add_subcommand("export", "Write the project's blade in another program's format");
    exportCommand->require_subcommand(1);
    CLI::App* exportAeroDyn = exportCommand->add_subcommand(
        "aerodyn", "AeroDyn v15 blade file, one airfoil table per airfoil point and the AFNames lines");
    exportAeroDyn->add_option("PROJECT", exportOptions.projectPath, "The .kvp project file")->required();
    exportAeroDyn->add_option("--out", exportOptions.folder, "Folder for the files (created when missing)")
        ->required()->type_name("DIR");
    exportAeroDyn->add_option_function<int>(
        "--nodes", [&exportOptions](const int& n) { exportOptions.nodes = n; },
        "Number of nodes, evenly spaced from hub to tip (default: the chord and airfoil points)")
        ->check(CLI::Range(2, 10000))->option_text("N");
    exportAeroDyn->add_flag("-q,--quiet", exportOptions.quiet, "No list of written files");
    create->add_flag("-f,--force", force, "Replace an existing file");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kSuccess : kUsage;
    }

    try {
        if (create->parsed()) return runNew(newPath, force);
        if (importOpenFast->parsed()) return runImportOpenFast(importOptions);
        if (importAeroDyn->parsed()) return runImportAeroDyn(importOptions);
        if (exportAeroDyn->parsed()) return runExportAeroDyn(exportOptions);
        if (!pitch.empty()) options.overrides.pitch = parseRange(pitch, "--pitch");
        if (!range.empty()) options.overrides.range = parseRange(range, "--range");
        const std::string command = op->parsed() ? "op" : design->parsed() ? "design" : "char";
        return runComputation(command, options);
    } catch (const std::string& message) {
        std::fprintf(stderr, "korvane-cli: %s\n", message.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
    }
    return kFailure;
}
