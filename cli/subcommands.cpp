#include "cli/subcommands.h"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

#include "bemt/BEMTTools.h"
#include "bemt/NumberText.h"
#include "bemt/ThreadCount.h"
#include "bemt/ValueLimits.h"
#include "cli/option_checks.h"
#include "cli/rotor_options.h"

namespace korvane::cli {

namespace {

namespace Limits = bemt::Limits;

// Ranges of options that are no project setting.
constexpr bemt::ValueLimit kThreads{"the number of threads", 1.0, bemt::ThreadCount::kMax};
constexpr bemt::ValueLimit kNodes{"the number of nodes", 2.0, Limits::kMaxElements};

// The project file, the outputs and the progress bar.
void addProjectOptions(CLI::App& command, ComputeOptions& options) {
    command.add_option("PROJECT", options.projectPath, "The .kvp project file")->required();
    command.add_option("--csv", options.csvFolder, "Write CSV files into DIR (created when missing)")
        ->type_name("DIR");
    command.add_option("--json", options.jsonPath, "Write the results as JSON to FILE, or - for standard output")
        ->type_name("FILE");
    command.add_flag("-q,--quiet", options.quiet, "No summary table and no list of written files");
    command.add_flag_callback(
        "--no-progress", [&options] { options.progress = false; },
        "No progress bar (it shows only when stderr is a terminal)");
}

// How the polars of the blade are made: blending and stall delay.
void addPolarOptions(CLI::App& command, Overrides& overrides) {
    command.add_option_function<bool>(
        "--interpolation", [&overrides](const bool& on) { overrides.interpolation = on; },
        "Blend neighbouring airfoils along the blade: on or off (default: the project's setting)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, bool>{{"on", true}, {"off", false}}, CLI::ignore_case))
        ->option_text("on|off");
    std::map<std::string, bemt::StallLift> lifts;
    for (const auto lift : {bemt::StallLift::DuSelig, bemt::StallLift::Snel, bemt::StallLift::None})
        lifts[bemt::StallDelay::liftName(lift)] = lift;
    command
        .add_option_function<bemt::StallLift>(
            "--stall-delay", [&overrides](const bemt::StallLift& l) { overrides.stallLift = l; },
            "Rotational stall delay of the polars instead of the project's: du_selig (Du & Selig), snel or none")
        ->transform(CLI::CheckedTransformer(lifts))
        ->option_text("du_selig|snel|none");
    std::map<std::string, bemt::StallDrag> drags;
    for (const auto drag : {bemt::StallDrag::Eggers, bemt::StallDrag::None}) drags[bemt::StallDelay::dragName(drag)] = drag;
    command
        .add_option_function<bemt::StallDrag>(
            "--stall-drag", [&overrides](const bemt::StallDrag& d) { overrides.stallDrag = d; },
            "Drag of the stall delay instead of the project's: eggers or none")
        ->transform(CLI::CheckedTransformer(drags))
        ->option_text("eggers|none");
}

// Options shared by every computing command.
void addComputeOptions(CLI::App& command, ComputeOptions& options) {
    addProjectOptions(command, options);
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
    addPolarOptions(command, options.overrides);
    addRotorOptions(command, options.overrides.rotor);
}

void addPitchOption(CLI::App& command, std::string& pitch) {
    command.add_option("--pitch", pitch,
                       "Blade pitch angles in degrees, VALUE or MIN:MAX:STEP (switches pitch regulation on)")
        ->type_name("P|MIN:MAX:STEP");
}

void addRangeOptions(CLI::App& command, CommandLine& line) {
    const std::string smallest = bemt::NumberText::shortText(bemt::BEMTTools::kSmallestSweepValue);
    command
        .add_option("--range", line.range,
                    "Range of the characteristics, MIN:MAX:STEP; values " + Limits::rangeValue.rangeText() + ", step " +
                        Limits::rangeStep.rangeText() + ", at most " +
                        std::to_string(Limits::kMaxCharacteristicSteps) + " steps; values below " + smallest +
                        " are computed at " + smallest + " (over the tip speed ratio, V0 = Om R / TSR)")
        ->type_name("MIN:MAX:STEP");
    command
        .add_option_function<bemt::ComputeRangeType>(
            "--range-type", [&line](const bemt::ComputeRangeType& t) { line.compute.overrides.rangeType = t; },
            "Quantity of the range: wind (wind velocity, m/s) or tsr (tip speed ratio)")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, bemt::ComputeRangeType>{{"wind", bemt::windVelocity}, {"tsr", bemt::tipSpeedRatio}},
            CLI::ignore_case))
        ->option_text("wind|tsr");
}

// The turbine settings of power-curve.
void addTurbineOptions(CLI::App& command, CommandLine& line) {
    TurbineOverrides& overrides = line.turbine;
    addNumberOption<double>(
        command, "--rated-power", [&overrides](double w) { overrides.ratedPower = w; }, "Rated electrical power in W",
        kAnyNumber)
        ->option_text("W");
    addNumberOption<double>(
        command, "--efficiency", [&overrides](double e) { overrides.efficiency = e; },
        "Drivetrain and generator efficiency, over 0 and at most 1", kAnyNumber)
        ->option_text("E");
    command.add_option("--rpm", line.rpm, "Rotor speed limits in rpm, MIN:MAX (fixed speed runs at MAX)")
        ->type_name("MIN:MAX");
    command.add_option("--tsr-target", line.tsrTarget,
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
    command.add_option("--wind", line.wind, "Wind speeds of the curve in m/s, MIN:MAX:STEP; values " +
                                           Limits::windSpeed.rangeText())
        ->type_name("MIN:MAX:STEP");
    command.add_option("--weibull", line.weibull, "A Weibull wind climate, shape K and scale A in m/s (repeatable)")
        ->type_name("K,A");
    command.add_option("--rayleigh", line.rayleigh, "A Rayleigh wind climate of mean speed MEAN in m/s (repeatable)")
        ->type_name("MEAN")->check(numberWithin(Limits::meanWindSpeed));
}

void addSurfaceOptions(CLI::App& command, CommandLine& line) {
    command.add_option("--tsr", line.surfaceTsr, "Tip speed ratios, MIN:MAX:STEP")
        ->required()
        ->type_name("MIN:MAX:STEP");
    command.add_option("--pitch", line.surfacePitch, "Pitch angles in degrees, MIN:MAX:STEP")
        ->required()
        ->type_name("MIN:MAX:STEP");
    addNumberOption<double>(
        command, "--wind", [&line](double v) { line.surface.wind = v; },
        "Wind speed in m/s, " + Limits::V0.rangeText() + " (default: the project's wind velocity)", Limits::V0)
        ->option_text("V");
    command.add_option("--rosco", line.surface.roscoPath,
                       "Write the Cp, Ct and Cq tables in the text layout controller tuning tools read")
        ->type_name("FILE");
}

void addImportOptions(CLI::App& command, ImportOptions& options) {
    command.add_option("FILE", options.source, "The model file")->required();
    command.add_option("--out", options.out, "The project file to write")->required()->type_name("FILE");
    command.add_flag("-f,--force", options.force, "Replace an existing project file");
}

void addRotorSizeOptions(CLI::App& command, openfast::RotorSize& rotor) {
    addNumberOption<double>(
        command, "--hub-radius", [&rotor](double r) { rotor.hubRadius = r; },
        "Hub radius, m, " + Limits::Rh.rangeText(), Limits::Rh)
        ->required()->type_name("RH");
    addNumberOption<double>(
        command, "--tip-radius", [&rotor](double r) { rotor.tipRadius = r; },
        "Rotor (tip) radius, m, " + Limits::R.rangeText(), Limits::R)
        ->required()->type_name("R");
    addNumberOption<int>(
        command, "--blades", [&rotor](int b) { rotor.blades = b; }, "Number of blades, " + Limits::B.rangeText(),
        Limits::B)
        ->required()->type_name("B");
}

void addExportOptions(CLI::App& command, ExportOptions& options) {
    command.add_option("PROJECT", options.projectPath, "The .kvp project file")->required();
    command.add_option("--out", options.folder, "Folder for the files (created when missing)")
        ->required()->type_name("DIR");
    addNumberOption<int>(
        command, "--nodes", [&options](int n) { options.nodes = n; },
        "Number of nodes, evenly spaced from hub to tip (default: the chord and airfoil points)", kNodes)
        ->option_text("N");
    command.add_flag("-q,--quiet", options.quiet, "No list of written files");
}

// The study's own help, in place of the computations' Results and Examples.
const char* const kStudyHelp = R"(Study file (JSON):
  {"project": "rotor.kvp",                 the project, relative to the study file
   "compute": "operating_point",           or "design", "power_curve"
   "variations": {"tsr": [6, 7, 8], "pitch": [0, 0, 1]}}   equally long lists
  or "grid" in place of "variations": every combination of the lists, the last
  name varying fastest. Column names are the project file's settings (R,
  conditions.R, rotor.precone, tip_loss, ...), point lists (chord_points, ...) or
  pitch, wind, rpm, tsr, chord_scale, twist_offset. An unknown key or column, a
  column naming a result, and two columns setting one setting or quantity
  ("precone" and "rotor.precone", "tsr" and "rpm") are refused before any row runs.

Results:
  A CSV table, one row per variant: variant (from 1), the columns, the results and
  error (the message of a variant that failed, whose results are empty). Results of
  operating_point and design (of the designed blade): P, T, Cp, Ct, M_root,
  M_root_max, converged, extrapolated at the row's pitch or the project's first;
  of power_curve: tsr_target, rated_wind_speed, aep_MWh and capacity_factor of the
  first wind climate. The shards of --shard concatenate to the whole table.

Exit status: 0 every variant computed, 1 error, 2 wrong command line, 3 the table
written but not every variant computed, 130 stopped by Ctrl-C.

Example:
  korvane-cli study study.json --out results.csv --shard 1/4
)";

// op, design and char: the computation with the project's compute settings, the pitch
// and range of the command line in place of the project's.
Subcommand computation(CommandLine& line, Computation computation, std::string name, std::string description,
                       std::function<void(CLI::App&)> moreOptions = nullptr) {
    return {std::move(name), std::move(description),
            [&line, moreOptions = std::move(moreOptions)](CLI::App& command) {
                addComputeOptions(command, line.compute);
                addPitchOption(command, line.pitch);
                if (moreOptions) moreOptions(command);
            },
            [&line, computation](const std::string& name) {
                if (!line.pitch.empty())
                    line.compute.overrides.pitch = parseRange(line.pitch, "--pitch", pitchLimits());
                if (!line.range.empty())
                    line.compute.overrides.range = parseRange(line.range, "--range", characteristicsLimits());
                return runComputation(computation, name, line.compute);
            }};
}

int runPowerCurveLine(const std::string& name, CommandLine& line) {
    TurbineOverrides& turbine = line.turbine;
    if (!line.rpm.empty()) {
        const auto [lo, hi] = parseRpmRange(line.rpm);
        turbine.rpmMin = lo;
        turbine.rpmMax = hi;
    }
    if (!line.tsrTarget.empty()) turbine.tsrTarget = parseTsrTarget(line.tsrTarget);
    if (!line.wind.empty()) turbine.wind = parseRange(line.wind, "--wind", windLimits());
    for (const auto& w : line.weibull) turbine.climates.push_back(parseWeibull(w));
    for (const std::string& text : line.rayleigh) {
        const double mean = optionNumber(text);
        char climate[64];
        std::snprintf(climate, sizeof climate, "Rayleigh, mean %g m/s", mean);
        turbine.climates.push_back(bemt::Turbine::rayleighClimate(climate, mean));
    }
    return runPowerCurve(name, line.compute, turbine);
}

int runSurfaceLine(const std::string& name, CommandLine& line) {
    line.surface.tsr = parseRange(line.surfaceTsr, "--tsr", tipSpeedRatioLimits());
    line.surface.pitch = parseRange(line.surfacePitch, "--pitch", pitchLimits());
    return runSurface(name, line.compute, line.surface);
}

}  // namespace

std::vector<Subcommand> subcommandTable(CommandLine& line) {
    return {
        computation(line, Computation::OperatingPoint, "op",
                    "Operating point, one per pitch angle of the project's compute settings (pitch regulation on: "
                    "the pitch range; off: pitch 0)"),
        computation(line, Computation::Design, "design",
                    "Blade design with the project's chord limit, then the operating point of the designed blade",
                    [&line](CLI::App& command) {
                        addNumberOption<double>(
                            command, "--c-limit", [&line](double c) { line.compute.overrides.chordLimit = c; },
                            "Largest relative chord c/R of the design, " + Limits::chordLimit.rangeText(),
                            Limits::chordLimit)
                            ->option_text("C/R");
                    }),
        computation(line, Computation::Characteristics, "char",
                    "Characteristics over the project's range of wind velocity or tip speed ratio",
                    [&line](CLI::App& command) { addRangeOptions(command, line); }),
        {"power-curve",
         "Power curve under the project's speed and pitch control, with the annual energy of its wind climates",
         [&line](CLI::App& command) {
             addComputeOptions(command, line.compute);
             addTurbineOptions(command, line);
         },
         [&line](const std::string& name) { return runPowerCurveLine(name, line); }},
        {"surface", "Power, thrust and torque coefficients over tip speed ratio and pitch at one wind speed",
         [&line](CLI::App& command) {
             addComputeOptions(command, line.compute);
             addSurfaceOptions(command, line);
         },
         [&line](const std::string& name) { return runSurfaceLine(name, line); }},
        {"study", "A parameter study: one computation per row of the study file's variations, as one CSV table",
         [&line](CLI::App& command) {
             command.add_option("STUDY", line.study.studyPath, "The study file (JSON: project, compute, variations)")
                 ->required();
             command.add_option("--out", line.study.out, "The CSV table to write, or - for standard output")
                 ->required()->type_name("FILE");
             command.add_option("--shard", line.study.shard,
                                "Only shard I of N (contiguous rows; the header in shard 1): the shards' files "
                                "concatenated in order are the whole table")
                 ->type_name("I/N");
             command.add_flag("-q,--quiet", line.study.quiet, "No progress bar and no list of written files");
             command.footer(kStudyHelp);
         },
         [&line](const std::string&) { return runStudy(line.study); }},
        {"optimise", "Chord and twist (and target tip speed ratio) for the most annual energy or Cp within limits",
         [&line](CLI::App& command) {
             addComputeOptions(command, line.compute);
             addOptimiseOptions(command, line.optimise);
         },
         [&line](const std::string& name) { return runOptimise(name, line.compute, line.optimise); }},
        {"polar",
         "The polar the computations use at one position of the blade, corrected for stall delay beside the 2D one",
         [&line](CLI::App& command) {
             addProjectOptions(command, line.compute);
             addPolarOptions(command, line.compute.overrides);
             addNumberOption<double>(
                 command, "--at", [&line](double x) { line.polar.x = x; },
                 "Position x/R along the blade, from Rh/R to 1", Limits::position)
                 ->required()
                 ->option_text("X");
             command.add_option("--alpha", line.polarAlpha,
                                "Angles of attack in degrees, MIN:MAX:STEP (default: every whole degree of the "
                                "airfoil data)")
                 ->type_name("MIN:MAX:STEP");
         },
         [&line](const std::string& name) {
             if (!line.polarAlpha.empty()) line.polar.alpha = parseRange(line.polarAlpha, "--alpha", polarAngleLimits());
             return runPolar(name, line.compute, line.polar);
         }},
        {"new", "Write the new-project defaults to FILE",
         [&line](CLI::App& command) {
             command.add_option("FILE", line.newPath, "The project file to write")->required();
             command.add_flag("-f,--force", line.force, "Replace an existing file");
         },
         [&line](const std::string&) { return runNew(line.newPath, line.force); }},
        {"import", "Make a project from another program's files", nullptr, nullptr,
         {{"openfast", "The rotor of an OpenFAST model (.fst with ElastoDyn and AeroDyn v15)",
           [&line](CLI::App& command) { addImportOptions(command, line.import); },
           [&line](const std::string&) { return runImportOpenFast(line.import); }},
          {"aerodyn", "The blade of an AeroDyn v15 primary input, with the rotor size given here",
           [&line](CLI::App& command) {
               addImportOptions(command, line.import);
               addRotorSizeOptions(command, line.import.rotor);
           },
           [&line](const std::string&) { return runImportAeroDyn(line.import); }}}},
        {"export", "Write the project's blade in another program's format", nullptr, nullptr,
         {{"aerodyn", "AeroDyn v15 blade file, one airfoil table per airfoil point and the AFNames lines",
           [&line](CLI::App& command) { addExportOptions(command, line.exportOptions); },
           [&line](const std::string&) { return runExportAeroDyn(line.exportOptions); }}}},
    };
}

void addSubcommands(CLI::App& app, const std::vector<Subcommand>& table) {
    for (const Subcommand& entry : table) {
        CLI::App* command = app.add_subcommand(entry.name, entry.description);
        if (entry.addOptions) entry.addOptions(*command);
        if (!entry.subcommands.empty()) {
            command->require_subcommand(1);
            addSubcommands(*command, entry.subcommands);
        }
    }
}

int runParsedSubcommand(const CLI::App& app, const std::vector<Subcommand>& table) {
    for (const Subcommand& entry : table) {
        const CLI::App& command = *app.get_subcommand(entry.name);
        if (!command.parsed()) continue;
        return entry.subcommands.empty() ? entry.run(entry.name) : runParsedSubcommand(command, entry.subcommands);
    }
    throw std::logic_error("the command line gave no subcommand of " + app.get_name() + ".");
}

}  // namespace korvane::cli
