#include "cli/optimise_command.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "bemt/Error.h"
#include "bemt/ValueLimits.h"
#include "cli/option_checks.h"
#include "cli/output_files.h"
#include "cli/progress_bar.h"
#include "cli/result_output.h"
#include "optimise/BladeOptimiser.h"
#include "optimise/OptimisationRun.h"
#include "optimise/OptimisedBlade.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::cli {

using namespace bemt;
using namespace korvane::optimise;

namespace {

const char* const kStoppedNote = "The best feasible blade found before the stop is written.";

// The option that set the settings key, for a refusal in the user's words.
std::string optionOf(const std::string& key) {
    const struct {
        const char* key;
        const char* option;
    } options[] = {{"control_points", "--points"}, {"budget", "--budget"}, {"max_chord", "--max-chord"},
                   {"max_thrust_ratio", "--max-thrust-ratio"}, {"max_thrust", "--max-thrust"},
                   {"max_root_moment", "--max-root-moment"}, {"vary", "--vary"},
                   {"objective", "--objective"}, {"method", "--method"}, {"start", "--start"}};
    for (const auto& entry : options)
        if (key == entry.key) return entry.option;
    return {};
}

// The settings the options ask for, refused in the options' words.
OptimisationSettings settingsOf(const ProjectData& project, const OptimisationRequest& request) {
    try {
        return requestedSettings(project, request, optionOf);
    } catch (const RefusedRequest& refused) {
        throw OptionError{refused.message()};
    }
}

void printRow(std::FILE* out, const ComparisonRow& row) {
    std::fprintf(out, "%-56s%14.*f%14.*f", row.label.c_str(), row.decimals, row.before, row.decimals, row.after);
    if (const double change = row.changePercent(); !std::isnan(change)) std::fprintf(out, " %+9.2f %%", change);
    std::fprintf(out, "\n");
}

void printOptimisation(std::FILE* out, const OptimisationRun& run, const std::string& projectPath) {
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
    if (const std::string loss = lossText(run.comparison, run.settings, run.turbine); r.feasible && !loss.empty())
        std::fprintf(out, "%s\n", loss.c_str());
}

OutputFiles optimiseCsv(const OptimisationRun& run) {
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

void addOptimiseOptions(CLI::App& command, OptimiseOptions& options) {
    OptimisationRequest& o = options.request;
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
    command.add_option("--out", options.out, "The optimised project file to write")->required()->type_name("NEW.kvp");
    command.add_flag("-f,--force", options.force, "Replace an existing file NEW.kvp");
}

int runOptimise(const std::string& command, const ComputeOptions& options, const OptimiseOptions& optimise) {
    OptimisationSettings settings;
    TurbineSettings turbine;
    OptimisationRun run;
    bool stopped = false;
    std::error_code error;
    const auto project = runOnProject(
        options,
        [&](const ProjectData& p) {
            settings = settingsOf(p, optimise.request);
            turbine = korvane::turbineSettings(p);
            if (!optimise.force && std::filesystem::exists(pathFromUtf8(optimise.out), error))
                throw bemt::Error("The file " + optimise.out + " exists already; use --force to replace it.");
            std::vector<std::string> outputs{optimise.out};
            if (!options.jsonPath.empty() && options.jsonPath != "-") outputs.push_back(options.jsonPath);
            refuseInputsAsOutputs(outputs, inputFiles(options.projectPath, p));
        },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData&, const ProgressCallback& progress) {
            run = runOptimisation(tools, input, settings, turbine, [&](const OptimisationProgress& p) {
                progress(100 * p.evaluations / std::max(1, p.budget), progressText(p, settings.objective));
            });
            // After a stop the best feasible blade is written.
            stopped = run.result.end == OptimisationEnd::Stopped;
        });
    if (!project && !stopped) return kAborted;
    if (!run.result.feasible && stopped) return kAborted;
    const ProjectData loaded = loadProject(options.projectPath);
    CommandOutputs outputs{[&](std::ostream& out) { writeOptimisationJson(out, run, command); },
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
        throw bemt::Error(infeasibility(run.result) + "; " + optimise.out +
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
