#include "cli/optimise_command.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"
#include "project/json_stream.h"
#include "cli/option_checks.h"
#include "cli/output_files.h"
#include "cli/progress_bar.h"
#include "cli/result_output.h"
#include "optimise/BladeOptimiser.h"
#include "optimise/OptimisedBlade.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::cli {

using namespace bemt;
using namespace korvane::optimise;

namespace {

const char* const kStoppedNote = "The best feasible blade found before the stop is written.";

// What the command computed.
struct OptimiseRun {
    OptimisationSettings settings;
    TurbineSettings turbine;
    OptimisationResult result;
    BladeComparison comparison;
    std::optional<StallDelayInput> stallDelay;  // how the polars were corrected
};

// The option that set the settings key, for a refusal in the user's words.
std::string optionOf(const std::string& key) {
    const struct {
        const char* key;
        const char* option;
    } options[] = {{"control_points", "--points"}, {"budget", "--budget"}, {"max_chord", "--max-chord"},
                   {"max_thrust_ratio", "--max-thrust-ratio"}, {"max_thrust", "--max-thrust"},
                   {"max_root_moment", "--max-root-moment"}, {"vary", "--vary"}};
    for (const auto& entry : options)
        if (key == entry.key) return entry.option;
    return {};
}

OptimisationSettings settingsOf(const ProjectData& project, const OptimiseOptions& o) {
    OptimisationSettings s = project.optimisation.value_or(OptimisationSettings{});
    if (!o.objective.empty() && !Optimisation::objectiveFromName(o.objective, s.objective))
        throw OptionError{"--objective expects aep or cp, not \"" + o.objective + "\"."};
    if (!o.method.empty() && !Optimisation::methodFromName(o.method, s.method))
        throw OptionError{"--method expects auto, slsqp or cobyla, not \"" + o.method + "\"."};
    if (!o.start.empty()) {
        if (o.start != "project" && o.start != "designed")
            throw OptionError{"--start expects project or designed, not \"" + o.start + "\"."};
        s.start_designed = o.start == "designed";
    }
    if (!o.climate.empty()) s.climate = o.climate;
    if (!o.vary.empty()) {
        s.vary_chord = s.vary_twist = s.vary_tsr = false;
        std::istringstream list(o.vary);
        for (std::string name; std::getline(list, name, ',');) {
            bool& field = name == "chord" ? s.vary_chord : name == "twist" ? s.vary_twist : s.vary_tsr;
            if (name != "chord" && name != "twist" && name != "tsr")
                throw OptionError{"--vary expects a list of chord, twist and tsr, not \"" + o.vary + "\"."};
            field = true;
        }
    }
    if (o.points) s.control_points = *o.points;
    if (o.budget) s.budget = *o.budget;
    if (o.maxChord) s.max_chord = *o.maxChord;
    // One thrust limit replaces the other.
    if (o.maxThrust) {
        s.max_thrust = *o.maxThrust;
        if (!o.maxThrustRatio) s.max_thrust_ratio = OptimisationSettings::kNone;
    }
    if (o.maxThrustRatio) {
        s.max_thrust_ratio = *o.maxThrustRatio;
        if (!o.maxThrust) s.max_thrust = OptimisationSettings::kNone;
    }
    if (o.maxRootMoment) s.max_root_moment = *o.maxRootMoment;
    if (o.freeRootChord) s.free_root_chord = true;
    const auto problems = Optimisation::problems(s);
    if (problems.empty()) return s;
    const auto& problem = problems.front();
    const std::string option = optionOf(problem.key);
    if (!option.empty()) throw OptionError{option + ": " + problem.message};
    throw bemt::Error("Invalid optimisation setting: \"optimisation." + problem.key + "\": " + problem.message);
}

void printRow(std::FILE* out, const ComparisonRow& row) {
    std::fprintf(out, "%-56s%14.*f%14.*f", row.label.c_str(), row.decimals, row.before, row.decimals, row.after);
    if (const double change = row.changePercent(); !std::isnan(change)) std::fprintf(out, " %+9.2f %%", change);
    std::fprintf(out, "\n");
}

void printOptimisation(std::FILE* out, const OptimiseRun& run, const std::string& projectPath) {
    const OptimisationResult& r = run.result;
    std::fprintf(out, "Blade optimisation: %s\n", projectPath.c_str());
    std::fprintf(out, "Objective: %s. Method %s, %s after %d evaluations (%zu iterations).\n",
                 objectiveText(run.settings, run.turbine).c_str(), r.method.c_str(), endName(r.end).c_str(),
                 r.evaluations, r.history.size());
    std::fprintf(out, "%-56s%14s%14s%11s\n", "", "before", "after", "change");
    for (const ComparisonRow& row : comparisonRows(run.comparison)) printRow(out, row);
    if (!std::isnan(r.thrustLimit)) std::fprintf(out, "Thrust limit %.2f kN.\n", r.thrustLimit * 1e-3);
    if (!std::isnan(r.rootMomentLimit)) std::fprintf(out, "Root moment limit %.1f kN m.\n", r.rootMomentLimit * 1e-3);
    std::fprintf(out, "Active limits: %s.\n", activeLimitsText(r).c_str());
}

Json pointsJson(const OptimisationResult& r) {
    Json blade = Json::object();
    Json chord = Json::array();
    for (const ChordPoint& p : r.chord) chord.push_back({{"x_rel", p.x_rel}, {"c_rel", p.c_rel}});
    Json twist = Json::array();
    for (const TwistPoint& p : r.twist) twist.push_back({{"x_rel", p.x_rel}, {"twist_deg", p.twist_deg}});
    blade["chord_points"] = std::move(chord);
    blade["twist_points"] = std::move(twist);
    blade["tsr_target"] = r.tsrTarget;
    return blade;
}

Json summaryJson(const BladeSummary& s) {
    Json energy = Json::array();
    for (const AnnualEnergy& e : s.energy) energy.push_back({{"name", e.climate.name}, {"aep_MWh", e.megawattHours()}});
    return {{"aep", std::move(energy)},  {"design_cp", s.designCp},
            {"peak_cp", s.peakCp},       {"max_thrust", s.maxThrust},
            {"max_root_moment", s.maxRootMoment}, {"blade_area", s.area},
            {"tsr_target", s.curve.tsrTarget}};
}

void writeOptimiseJson(std::ostream& out, const OptimiseRun& run, const std::string& command) {
    const OptimisationResult& r = run.result;
    JsonStream json(out);
    json.member("command", command);
    json.member("stall_delay", stallDelayJson(run.stallDelay));
    json.member("objective", Optimisation::objectiveName(run.settings.objective));
    json.member("method", r.method);
    json.member("end", endName(r.end));
    json.member("feasible", r.feasible);
    json.member("evaluations", r.evaluations);
    json.member("thrust_limit", r.thrustLimit);
    json.member("root_moment_limit", r.rootMomentLimit);
    json.member("active", r.active);
    json.member("before", summaryJson(run.comparison.before));
    json.member("after", summaryJson(run.comparison.after));
    json.member("blade", pointsJson(r));
    json.beginArray("history");
    for (const OptimisationRecord& h : r.history)
        json.item({{"iteration", h.iteration}, {"evaluations", h.evaluations}, {"objective", h.objective},
                   {"max_thrust", h.maxThrust}, {"violation", h.violation}, {"feasible", h.feasible}});
    json.endArray();
    json.finish();
}

OutputFiles optimiseCsv(const OptimiseRun& run) {
    std::string history = "iteration,evaluations,objective,max_thrust [N],violation,feasible\n";
    for (const OptimisationRecord& h : run.result.history)
        history += std::to_string(h.iteration) + "," + std::to_string(h.evaluations) + "," + csvNumber(h.objective) +
                   "," + csvNumber(h.maxThrust) + "," + csvNumber(h.violation) + "," + (h.feasible ? "1" : "0") + "\n";
    std::string blade = "x_rel,c_rel,twist [deg]\n";
    for (std::size_t i = 0; i < run.result.chord.size(); ++i)
        blade += csvNumber(run.result.chord[i].x_rel) + "," + csvNumber(run.result.chord[i].c_rel) + "," +
                 csvNumber(run.result.twist[i].twist_deg) + "\n";
    return wholeTexts({{"optimise_history.csv", history}, {"optimise_blade.csv", blade}});
}

}  // namespace

void addOptimiseOptions(CLI::App& command, OptimiseOptions& o) {
    namespace Limits = bemt::Limits;
    command.add_option("--objective", o.objective, "What to maximise: aep (annual energy) or cp (at the design point)")
        ->type_name("aep|cp");
    command.add_option("--climate", o.climate, "The wind climate of the annual energy (default: the first)")
        ->type_name("NAME");
    addNumberOption<int>(
        command, "--points", [&o](int n) { o.points = n; },
        "Control points of chord and twist, " + Limits::controlPoints.rangeText() + " (default: the project's, else 8)",
        Limits::controlPoints)
        ->option_text("N");
    command.add_option("--vary", o.vary, "Variables, a list of chord, twist and tsr (default: the project's, else chord,twist)")
        ->type_name("LIST");
    addNumberOption<double>(
        command, "--max-chord", [&o](double m) { o.maxChord = m; }, "Largest chord in m", Limits::maxChord)
        ->option_text("M");
    addNumberOption<double>(
        command, "--max-thrust", [&o](double n) { o.maxThrust = n; }, "Largest rotor thrust in N", Limits::maxThrust)
        ->option_text("N");
    addNumberOption<double>(
        command, "--max-thrust-ratio", [&o](double x) { o.maxThrustRatio = x; },
        "Largest rotor thrust as a share of the starting blade's", Limits::thrustRatio)
        ->option_text("X");
    addNumberOption<double>(
        command, "--max-root-moment", [&o](double nm) { o.maxRootMoment = nm; },
        "Largest root flapwise bending moment of one blade in N m", Limits::maxRootMoment)
        ->option_text("NM");
    addNumberOption<int>(
        command, "--budget", [&o](int n) { o.budget = n; }, "Blade evaluations at most (default: the project's, else 2000)",
        Limits::evaluationBudget)
        ->option_text("N");
    command.add_option("--method", o.method, "SLSQP with COBYLA where it fails (auto), or one of them")
        ->type_name("auto|slsqp|cobyla");
    command.add_flag("--free-root-chord", o.freeRootChord, "Let the root chord change too");
    command.add_option("--start", o.start,
                       "Start from the project's blade or from the blade design with the largest chord allowed")
        ->type_name("project|designed");
    command.add_option("--out", o.out, "The optimised project file to write")->required()->type_name("NEW.kvp");
    command.add_flag("-f,--force", o.force, "Replace an existing file NEW.kvp");
}

int runOptimise(const std::string& command, const ComputeOptions& options, const OptimiseOptions& optimise) {
    OptimiseRun run;
    bool stopped = false;
    std::error_code error;
    const auto project = runOnProject(
        options,
        [&](const ProjectData& p) {
            run.settings = settingsOf(p, optimise);
            run.turbine = korvane::turbineSettings(p);
            if (!optimise.force && std::filesystem::exists(pathFromUtf8(optimise.out), error))
                throw bemt::Error("The file " + optimise.out + " exists already; use --force to replace it.");
            std::vector<std::string> outputs{optimise.out};
            if (!options.jsonPath.empty() && options.jsonPath != "-") outputs.push_back(options.jsonPath);
            refuseInputsAsOutputs(outputs, inputFiles(options.projectPath, p));
        },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData&, const ProgressCallback& progress) {
            run.stallDelay = input.stallDelay;
            run.result = optimiseBlade(input, run.turbine, run.settings, tools.threads(),
                                       [&](const OptimisationProgress& p) {
                                           progress(100 * p.evaluations / std::max(1, p.budget),
                                                    progressText(p, run.settings.objective));
                                       });
            stopped = run.result.end == OptimisationEnd::Stopped;
            // The comparison is computed after a stop too: the blade is written.
            const ProgressCallback quiet = [](int, const std::string&) {};
            run.comparison = compareBlades(tools, input, run.turbine, run.settings, run.result, quiet);
        });
    if (!project && !stopped) return kAborted;
    if (!run.result.feasible && stopped) return kAborted;
    const ProjectData loaded = loadProject(options.projectPath);
    CommandOutputs outputs{[&](std::ostream& out) { writeOptimiseJson(out, run, command); },
                           [&] { return optimiseCsv(run); },
                           [&](std::FILE* out) { printOptimisation(out, run, options.projectPath); }};
    // Without a feasible blade the history is written, for the user to see why, but no project.
    std::string document;
    if (run.result.feasible) {
        document = kvp::write(withOptimisedBlade(loaded, run.settings, run.turbine, run.result),
                              utf8OfPath(std::filesystem::absolute(pathFromUtf8(optimise.out))));
        outputs.files.emplace_back(optimise.out, [&document](std::ostream& out) { out << document; });
    }
    // The summary names the polars as computed, with the command line's stall delay.
    ProjectData computed = loaded;
    applyOverrides(computed, options.overrides);
    writeOutputs(outputs, options, computed);
    if (!run.result.feasible) {
        throw bemt::Error("No blade the optimisation evaluated meets every limit (the nearest exceeds one by " +
                          NumberText::shortText(100.0 * run.result.violation) + " %); " + optimise.out +
                          " is not written. Relax the limits or give a larger budget.");
    }
    if (stopped) {
        std::fprintf(stderr, "%s\n", kStoppedNote);
        return kAborted;
    }
    ConvergenceCount count;
    count.add(run.result.best.converged, {run.result.best.objective});
    return convergenceStatus(count, options.quiet);
}

}  // namespace korvane::cli
