// korvane-cli: the rotor computations of a .kvp project without a display.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <system_error>
#include <type_traits>

#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/MemoryBudget.h"
#include "bemt/NumberText.h"
#include "bemt/ThreadCount.h"
#include "bemt/ValueLimits.h"
#include "cli/commands.h"
#include "cli/exchange_commands.h"
#include "cli/turbine_commands.h"

namespace {

using namespace korvane::cli;
namespace Limits = bemt::Limits;

const char* const kFooterResults = R"(Results:
  A summary table goes to standard output. --csv DIR writes CSV files with a header
  row and units: for op and design <cmd>_summary.csv (one row per pitch angle) and
  <cmd>_elements_<N>_pitch_<P>.csv (one row per blade element, N numbering the pitch
  angles), for design also design_blade.csv; for char characteristics.csv (one row
  per step and pitch angle). The set appears complete or not at all. No output may
  be the project or one of its airfoil files. Each file written is listed on stderr
  as "Created", "Replaced" or (a pipe, a device: written in place) "Wrote".
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
    power-curve: {"command", "tsr_target", "rated_wind_speed",
      "points": [{"V0", "region", "rpm", "TSR", "pitch", "P_aero", "P", "T", "Q",
        "Cp", "Ct", "Cq", "converged", "extrapolated", "pitch_limited", "over_rated",
        "motoring"}],
      "aep": [{"name", "k", "A", "aep_MWh", "capacity_factor", "bins_at_rated"}]}
      (CSV: power_curve.csv and aep.csv)
    surface: {"command", "wind", "tsr": [...], "pitch": [...], "cp": [[...]],
      "ct": [[...]], "cq": [[...]], "converged": [[...]]}, rows by tip speed ratio,
      columns by pitch (CSV: surface_cp.csv, surface_ct.csv, surface_cq.csv)
  Values that are not numbers are written as null.

Airfoils: the built-in NACA 0012 to 0025 tables, CSV polar files, and airfoil
coordinate files analysed by XFOIL (xfoil-core, looked for beside korvane-cli), as
the project's airfoil points give them; relative file paths are read from the
project file's folder.

)";

// The ranges named in the footer, from the limits the program applies.
std::string limitsParagraph() {
    const std::string smallest = bemt::NumberText::shortText(bemt::BEMTTools::kSmallestSweepValue);
    return "Limits: every project setting has a physical range, the same in the project file, on\n"
           "the command line and in the desktop program (rotor radius " + Limits::R.rangeText() + " m, hub radius\n" +
           Limits::Rh.rangeText() + " m, " + Limits::B.rangeText() + " blades, rotation speed up to " +
           bemt::NumberText::shortText(bemt::Common::rads2rpm(Limits::Om.highest)) + " rpm, accuracy " +
           Limits::accuracy.rangeText() + ",\nrelaxation factor " + Limits::relaxation.rangeText() + ", " +
           Limits::elements.rangeText() + " blade elements, chord c/R " + Limits::relativeChord.rangeText() +
           ",\n...); a value outside it is refused with the value and the range. One command computes\n"
           "at most " + std::to_string(Limits::kMaxPitchPositions) + " pitch angles (the desktop program " +
           std::to_string(Limits::kMaxGuiPitchPositions) + ") and " + std::to_string(Limits::kMaxCharacteristicSteps) +
           " characteristics steps.\nEvery pitch angle lies within " + Limits::pitchAngle.rangeText() +
           " deg, every wind speed one sets (V0, a\nsurface's wind, cut-in, cut-out) " + Limits::V0.rangeText() +
           " m/s. A characteristics\nsweep over the tip speed ratio runs at the project's rotation speed, at "
           "V0 = Om R / TSR:\na small ratio means a very high wind. Range values below " + smallest +
           " are computed at " + smallest + ".\n\n";
}

const char* const kFooterExchange = R"(The operating points of a sweep are computed in parallel, on every core unless --threads
or the environment variable KORVANE_THREADS (a whole number from 1 to 1024) says
otherwise; the results do not depend on the number of threads.

Exchange with OpenFAST:
  import openfast MODEL.fst --out P.kvp   the rotor of an OpenFAST model (ElastoDyn and
                                          AeroDyn v15 files named by the .fst)
  import aerodyn AD15.dat --hub-radius RH --tip-radius R --blades B --out P.kvp
  export aerodyn P.kvp --out DIR [--nodes N]   AeroDyn blade file, one airfoil table per
                                          airfoil point and the AFNames lines
  What a model holds but Korvane does not compute (cone, tilt, prebend, sweep, drag
  left out of the induction) is listed on standard error and in the project's notes.

Power curves: rows flagged over_rated give more than rated power at fixed pitch (a
stall-regulated blade must stall there); the annual energy counts at most the rated
power per wind speed, so the capacity factor never exceeds 1. Rows flagged motoring draw
P_aero / efficiency from the grid and count in the annual energy: choose the cut-in at
or above the first wind speed that is not motoring.

Ctrl-C stops a computation. Exit status: 0 success, 1 error (unreadable or invalid
project, failed computation or output), 2 wrong command line, 3 results written but not
every operating point converged (a result that is not a number never counts as
converged; stderr says how many), 130 stopped by Ctrl-C.

Examples:
  korvane-cli op examples/new_turbine.kvp
  korvane-cli op examples/naca_blade.kvp --pitch 0:10:2.5 --csv results/
  korvane-cli char examples/new_turbine.kvp --range 2:12:0.5 --json cp.json
  korvane-cli design examples/new_turbine.kvp --c-limit 0.12 --json - | jq .design
  korvane-cli power-curve examples/nrel5mw.kvp --rayleigh 7.5 --csv results/
  korvane-cli surface examples/nrel5mw.kvp --tsr 2:14:0.25 --pitch -2:20:0.5 --rosco Cp_Ct_Cq.txt
  korvane-cli new my_rotor.kvp
  korvane-cli import openfast examples/openfast-nrel5mw/NREL-5MW/NREL-5MW.fst --out nrel5mw.kvp
  korvane-cli export aerodyn nrel5mw.kvp --out aerodyn/)";

// The check every numeric option shares: one finite number written with a decimal
// point, within the setting's range, and for a count a whole number (written back
// without its fraction, "10.0" as "10", for the conversion to an integer).
CLI::Validator numberWithin(const bemt::ValueLimit& limit, bool whole = false) {
    return CLI::Validator(
        [limit, whole](std::string& input) -> std::string {
            const auto number = bemt::NumberText::wholeDouble(input);
            if (number.kind == bemt::NumberText::Whole::NotANumber) {
                if (bemt::hasDecimalComma(input)) return input + " is written with a decimal comma; write a decimal point.";
                return "\"" + input + "\" is not a number.";
            }
            if (number.kind == bemt::NumberText::Whole::NotFinite) return input + " is not a finite number.";
            if (whole && number.value != std::trunc(number.value)) return input + " is not a whole number.";
            if (!limit.contains(number.value)) return limit.refusal(number.value);
            if (whole) input = bemt::NumberText::formatted("%.0f", number.value);
            return std::string();
        },
        "");
}

CLI::Validator countWithin(const bemt::ValueLimit& limit) { return numberWithin(limit, true); }

// The number numberWithin accepted, read by the same rules: CLI11's own conversion
// (strtold) never reads a number of the command line.
double optionNumber(const std::string& text) { return bemt::NumberText::wholeDouble(text).value; }

// An option of one number within limit, a whole one for T = int, handed to set.
template <typename T>
CLI::Option* addNumberOption(CLI::App& command, const std::string& name, std::function<void(T)> set,
                             const std::string& description, const bemt::ValueLimit& limit) {
    CLI::Option* option = command.add_option_function<std::string>(
        name, [set = std::move(set)](const std::string& text) { set(static_cast<T>(optionNumber(text))); },
        description);
    if constexpr (std::is_integral_v<T>) return option->transform(countWithin(limit));
    return option->check(numberWithin(limit));
}

// Options whose range the turbine settings check as a whole.
constexpr bemt::ValueLimit kAnyNumber{"the value", -bemt::ValueLimit::kUnbounded, bemt::ValueLimit::kUnbounded};

// An empty value would read as an option not given and be ignored: every option that
// takes a value, of every command, refuses it by name.
void refuseEmptyValues(CLI::App& app) {
    const CLI::Validator notEmpty(
        [](std::string& input) {
            return input.empty() ? std::string("the value is empty; give one, or leave the option out.") : std::string();
        },
        "");
    for (CLI::Option* option : app.get_options()) {
        if (option->nonpositional() && option->get_type_size_min() > 0) option->check(notEmpty);
    }
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) refuseEmptyValues(*command);
}

// Ranges of options that are no project setting.
constexpr bemt::ValueLimit kThreads{"the number of threads", 1.0, bemt::ThreadCount::kMax};
constexpr bemt::ValueLimit kNodes{"the number of nodes", 2.0, Limits::kMaxElements};

// Options shared by every computing command.
void addComputeOptions(CLI::App& command, ComputeOptions& options) {
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
    addNumberOption<int>(
        command, "--elements", [&options](int n) { options.overrides.elements = n; },
        "Number of blade elements, " + Limits::elements.rangeText() + " (design: at least 2)", Limits::elements)
        ->option_text("N");
    addNumberOption<double>(
        command, "--accuracy", [&options](double a) { options.overrides.accuracy = a; },
        "Tolerance of every iteration, " + Limits::accuracy.rangeText(), Limits::accuracy)
        ->option_text("EPS");
    addNumberOption<int>(
        command, "--max-iterations", [&options](int n) { options.overrides.maxIterations = n; },
        "Iteration limit, " + Limits::maxIterations.rangeText(), Limits::maxIterations)
        ->option_text("N");
    addNumberOption<int>(
        command, "--threads", [&options](int n) { options.threads = n; },
        "Threads of the pitch and characteristics sweeps (default: KORVANE_THREADS, otherwise every core)", kThreads)
        ->option_text("N");
    command.add_option_function<bool>(
        "--interpolation", [&options](const bool& on) { options.overrides.interpolation = on; },
        "Blend neighbouring airfoils along the blade: on or off (default: the project's setting)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, bool>{{"on", true}, {"off", false}}, CLI::ignore_case))
        ->option_text("on|off");
}

// The turbine settings of power-curve.
void addTurbineOptions(CLI::App& command, TurbineOverrides& overrides, std::string& rpm,
                       std::string& tsrTarget, std::string& wind, std::vector<std::string>& weibull,
                       std::vector<std::string>& rayleigh) {
    addNumberOption<double>(
        command, "--rated-power", [&overrides](double w) { overrides.ratedPower = w; }, "Rated electrical power in W",
        kAnyNumber)
        ->option_text("W");
    addNumberOption<double>(
        command, "--efficiency", [&overrides](double e) { overrides.efficiency = e; },
        "Drivetrain and generator efficiency, over 0 and at most 1", kAnyNumber)
        ->option_text("E");
    command.add_option("--rpm", rpm, "Rotor speed limits in rpm, MIN:MAX (fixed speed runs at MAX)")
        ->type_name("MIN:MAX");
    command.add_option("--tsr-target", tsrTarget,
                       "Tip speed ratio held below rated power, or auto (that of maximal Cp at fine pitch)")
        ->type_name("X|auto");
    const std::map<std::string, bemt::ControlMode> modes{
        {"vsvp", bemt::ControlMode::VariableSpeedVariablePitch},
        {"vsfp", bemt::ControlMode::VariableSpeedFixedPitch},
        {"fsvp", bemt::ControlMode::FixedSpeedVariablePitch},
        {"fsfp", bemt::ControlMode::FixedSpeedFixedPitch}};
    command
        .add_option_function<bemt::ControlMode>(
            "--control", [&overrides](const bemt::ControlMode& m) { overrides.control = m; },
            "Variable or fixed speed (vs/fs) and pitch (vp/fp)")
        ->transform(CLI::CheckedTransformer(modes, CLI::ignore_case))
        ->option_text("vsvp|vsfp|fsvp|fsfp");
    command.add_option("--wind", wind, "Wind speeds of the curve in m/s, MIN:MAX:STEP; values " +
                                           Limits::windSpeed.rangeText())
        ->type_name("MIN:MAX:STEP");
    command.add_option("--weibull", weibull, "A Weibull wind climate, shape K and scale A in m/s (repeatable)")
        ->type_name("K,A");
    command.add_option("--rayleigh", rayleigh, "A Rayleigh wind climate of mean speed MEAN in m/s (repeatable)")
        ->type_name("MEAN")->check(numberWithin(Limits::meanWindSpeed));
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Wind turbine rotor computations by blade element momentum theory on a Korvane project (.kvp)",
                 "korvane-cli"};
    app.set_version_flag("--version", std::string("korvane-cli ") + KORVANE_VERSION);
    app.footer(std::string(kFooterResults) + limitsParagraph() + kFooterExchange);
    app.require_subcommand(1);
    app.fallthrough(false);

    ComputeOptions options;
    std::string pitch;
    TurbineOverrides turbine;
    SurfaceOptions surfaceOptions;
    std::string rpm;
    std::string tsrTarget;
    std::string wind;
    std::vector<std::string> weibull;
    std::vector<std::string> rayleigh;
    std::string surfaceTsr;
    std::string surfacePitch;
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
    CLI::App* powerCurve = app.add_subcommand(
        "power-curve", "Power curve under the project's speed and pitch control, with the annual energy of its wind "
                       "climates");
    CLI::App* surface = app.add_subcommand(
        "surface", "Power, thrust and torque coefficients over tip speed ratio and pitch at one wind speed");
    CLI::App* create = app.add_subcommand("new", "Write the new-project defaults to FILE");

    for (CLI::App* command : {op, design, characteristics, powerCurve, surface}) addComputeOptions(*command, options);
    for (CLI::App* command : {op, design, characteristics}) {
        command->add_option("--pitch", pitch,
                            "Blade pitch angles in degrees, VALUE or MIN:MAX:STEP (switches pitch regulation on)")
            ->type_name("P|MIN:MAX:STEP");
    }
    addTurbineOptions(*powerCurve, turbine, rpm, tsrTarget, wind, weibull, rayleigh);
    surface->add_option("--tsr", surfaceTsr, "Tip speed ratios, MIN:MAX:STEP")->required()->type_name("MIN:MAX:STEP");
    surface->add_option("--pitch", surfacePitch, "Pitch angles in degrees, MIN:MAX:STEP")
        ->required()
        ->type_name("MIN:MAX:STEP");
    addNumberOption<double>(
        *surface, "--wind", [&surfaceOptions](double v) { surfaceOptions.wind = v; },
        "Wind speed in m/s, " + Limits::V0.rangeText() + " (default: the project's wind velocity)", Limits::V0)
        ->option_text("V");
    surface->add_option("--rosco", surfaceOptions.roscoPath,
                        "Write the Cp, Ct and Cq tables in the text layout controller tuning tools read")
        ->type_name("FILE");
    addNumberOption<double>(
        *design, "--c-limit", [&options](double c) { options.overrides.chordLimit = c; },
        "Largest relative chord c/R of the design, " + Limits::chordLimit.rangeText(), Limits::chordLimit)
        ->option_text("C/R");
    characteristics
        ->add_option("--range", range,
                     "Range of the characteristics, MIN:MAX:STEP; values " + Limits::rangeValue.rangeText() +
                         ", step " + Limits::rangeStep.rangeText() + ", at most " +
                         std::to_string(Limits::kMaxCharacteristicSteps) + " steps; values below " +
                         bemt::NumberText::shortText(bemt::BEMTTools::kSmallestSweepValue) + " are computed at " +
                         bemt::NumberText::shortText(bemt::BEMTTools::kSmallestSweepValue) +
                         " (over the tip speed ratio, V0 = Om R / TSR)")
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
    addNumberOption<double>(
        *importAeroDyn, "--hub-radius", [&importOptions](double r) { importOptions.rotor.hubRadius = r; },
        "Hub radius, m, " + Limits::Rh.rangeText(), Limits::Rh)
        ->required()->type_name("RH");
    addNumberOption<double>(
        *importAeroDyn, "--tip-radius", [&importOptions](double r) { importOptions.rotor.tipRadius = r; },
        "Rotor (tip) radius, m, " + Limits::R.rangeText(), Limits::R)
        ->required()->type_name("R");
    addNumberOption<int>(
        *importAeroDyn, "--blades", [&importOptions](int b) { importOptions.rotor.blades = b; },
        "Number of blades, " + Limits::B.rangeText(), Limits::B)
        ->required()->type_name("B");

    ExportOptions exportOptions;
    CLI::App* exportCommand = app.add_subcommand("export", "Write the project's blade in another program's format");
    exportCommand->require_subcommand(1);
    CLI::App* exportAeroDyn = exportCommand->add_subcommand(
        "aerodyn", "AeroDyn v15 blade file, one airfoil table per airfoil point and the AFNames lines");
    exportAeroDyn->add_option("PROJECT", exportOptions.projectPath, "The .kvp project file")->required();
    exportAeroDyn->add_option("--out", exportOptions.folder, "Folder for the files (created when missing)")
        ->required()->type_name("DIR");
    addNumberOption<int>(
        *exportAeroDyn, "--nodes", [&exportOptions](int n) { exportOptions.nodes = n; },
        "Number of nodes, evenly spaced from hub to tip (default: the chord and airfoil points)", kNodes)
        ->option_text("N");
    exportAeroDyn->add_flag("-q,--quiet", exportOptions.quiet, "No list of written files");
    create->add_flag("-f,--force", force, "Replace an existing file");

    refuseEmptyValues(app);
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
        if (!pitch.empty()) options.overrides.pitch = parseRange(pitch, "--pitch", pitchLimits());
        if (!range.empty()) options.overrides.range = parseRange(range, "--range", characteristicsLimits());
        if (powerCurve->parsed()) {
            if (!rpm.empty()) {
                const auto [lo, hi] = parseRpmRange(rpm);
                turbine.rpmMin = lo;
                turbine.rpmMax = hi;
            }
            if (!tsrTarget.empty()) turbine.tsrTarget = parseTsrTarget(tsrTarget);
            if (!wind.empty()) turbine.wind = parseRange(wind, "--wind", windLimits());
            for (const auto& w : weibull) turbine.climates.push_back(parseWeibull(w));
            for (const std::string& text : rayleigh) {
                const double mean = optionNumber(text);
                char name[64];
                std::snprintf(name, sizeof name, "Rayleigh, mean %g m/s", mean);
                turbine.climates.push_back(bemt::Turbine::rayleighClimate(name, mean));
            }
            return runPowerCurve(options, turbine);
        }
        if (surface->parsed()) {
            surfaceOptions.tsr = parseRange(surfaceTsr, "--tsr", tipSpeedRatioLimits());
            surfaceOptions.pitch = parseRange(surfacePitch, "--pitch", pitchLimits());
            return runSurface(options, surfaceOptions);
        }
        const std::string command = op->parsed() ? "op" : design->parsed() ? "design" : "char";
        return runComputation(command, options);
    } catch (const OptionError& e) {
        std::fprintf(stderr, "korvane-cli: %s\n", e.message.c_str());
        return kUsage;
    } catch (const bemt::Error& error) {
        std::fprintf(stderr, "korvane-cli: %s\n", error.message().c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "korvane-cli: %s\n", bemt::MemoryBudget::kExhausted.c_str());
    } catch (const std::system_error& e) {
        // std::thread says only "Resource temporarily unavailable" when it cannot start one.
        const bool noRoom = e.code() == std::errc::resource_unavailable_try_again ||
                            e.code() == std::errc::not_enough_memory;
        if (noRoom) {
            std::fprintf(stderr, "korvane-cli: A thread or process could not be started for lack of memory (or of "
                                 "the processes allowed): %s.\n", e.what());
        } else {
            std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
    }
    return kFailure;
}
