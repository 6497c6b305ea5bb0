#include "cli/commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ThreadCount.h"
#include "bemt/ToolsAirfoil.h"
#include "cli/output_files.h"
#include "cli/progress_bar.h"
#include "cli/result_output.h"
#include "project/file_writer.h"
#include "project/kvp_codec.h"

namespace korvane::cli {

using namespace bemt;

namespace {

// The steps of a characteristics range computed at kSmallestSweepValue instead of their
// own value, said once on stderr: their rows repeat the first row at that value.
void noteRaisedSteps(const ProjectData& project) {
    int raised = 0;
    for (double value : BEMTTools::characteristicsRange(project.computeSettings).values()) {
        if (!(std::fabs(value) < BEMTTools::kSmallestSweepValue)) break;
        ++raised;
    }
    if (raised == 0) return;
    const std::string smallest = NumberText::shortText(BEMTTools::kSmallestSweepValue);
    std::fprintf(stderr, "korvane-cli: note: %d value%s of the characteristics range below %s %s computed at %s.\n",
                 raised, raised == 1 ? "" : "s", smallest.c_str(), raised == 1 ? "is" : "are", smallest.c_str());
}

std::string jsonOutput(const ComputeOptions& options) {
    return options.jsonPath == "-" ? std::string() : options.jsonPath;
}

}  // namespace

void ConvergenceCount::add(bool converged, std::initializer_list<double> values) {
    ++points;
    if (converged) return;
    ++unconverged;
    if (std::any_of(values.begin(), values.end(), [](double v) { return !std::isfinite(v); })) ++notANumber;
}

int convergenceStatus(const ConvergenceCount& count, bool quiet) {
    if (count.unconverged == 0) return kSuccess;
    if (!quiet) {
        std::fprintf(stderr, "korvane-cli: %zu of %zu operating points did not converge", count.unconverged,
                     count.points);
        if (count.notANumber > 0)
            std::fprintf(stderr, ", %zu of them with values that are not numbers (nan; null in JSON)", count.notANumber);
        std::fprintf(stderr, "; exit status %d.\n", static_cast<int>(kNotConverged));
    }
    return kNotConverged;
}

OutputFiles wholeTexts(std::vector<std::pair<std::string, std::string>> files) {
    OutputFiles produced;
    for (auto& [name, text] : files)
        produced.emplace_back(name, [text = std::move(text)](std::ostream& out) { out << text; });
    return produced;
}

void writeOutputs(const CommandOutputs& outputs, const ComputeOptions& options, const ProjectData& project) {
    const bool jsonToStdout = options.jsonPath == "-";
    const OutputFiles files = options.csvFolder.empty() ? OutputFiles{} : outputs.csvFiles();
    std::vector<std::string> targets;
    if (!jsonOutput(options).empty()) targets.push_back(jsonOutput(options));
    for (const auto& file : outputs.files) targets.push_back(file.first);
    for (const auto& file : files) {
        const std::filesystem::path path =
            std::filesystem::path(std::u8string(options.csvFolder.begin(), options.csvFolder.end())) / file.first;
        const std::u8string text = path.u8string();
        targets.emplace_back(text.begin(), text.end());
    }
    refuseInputsAsOutputs(targets, inputFiles(options.projectPath, project));

    if (!options.jsonPath.empty()) {
        if (jsonToStdout) {
            outputs.json(std::cout);
            std::cout.flush();
        } else {
            const WrittenFile written = writeOutputFile(options.jsonPath, outputs.json);
            if (!options.quiet) reportWritten(written);
        }
    }
    for (const auto& [path, produce] : outputs.files) {
        const WrittenFile written = writeOutputFile(path, produce);
        if (!options.quiet) reportWritten(written);
    }
    if (!files.empty()) {
        const auto written = writeCsvSet(options.csvFolder, files);
        if (!options.quiet) {
            for (const auto& file : written) reportWritten(file);
        }
    }
    // The summary never mixes into JSON on standard output.
    if (!options.quiet && !jsonToStdout) {
        outputs.summary(stdout);
        std::fprintf(stdout, "\n%s\n", polarsNote(stallDelayInput(project)).c_str());
    }
    std::fflush(stdout);
}

std::optional<ProjectData> runOnProject(const ComputeOptions& options, const std::function<void(ProjectData&)>& adjust,
                                        const ProjectWork& work) {
    ProjectData project = loadProject(options.projectPath);
    applyOverrides(project, options.overrides);
    adjust(project);
    checkForComputation(project);
    // Refused before the computation, which may take long.
    if (!jsonOutput(options).empty()) refuseInputsAsOutputs({jsonOutput(options)}, inputFiles(options.projectPath, project));

    BEMTTools tools(project.solverSettings.solver);
    tools.setThreads(options.threads ? *options.threads
                                     : ThreadCount::fromEnvironment().value_or(ThreadCount::cores()));
    InterruptGuard interrupt;
    ProgressBar bar(options.progress && ProgressBar::stderrIsTerminal());
    const ProgressCallback progress = [&bar](int percent, const std::string& text) { bar.report(percent, text); };
    try {
        work(tools, computationInput(project, progress, &InterruptGuard::interrupted), project, progress);
    } catch (const bemt::Aborted& stop) {
        bar.clear();
        std::fprintf(stderr, "%s\n", stop.message().c_str());
        return std::nullopt;
    } catch (const bemt::Error&) {
        bar.clear();
        // The terminal's Ctrl-C reaches the XFOIL adapters too: what failed once the run
        // was interrupted failed because of it.
        if (InterruptGuard::interrupted()) {
            std::fprintf(stderr, "%s\n", kAbortMessage.c_str());
            return std::nullopt;
        }
        throw;
    }
    bar.clear();
    // A Ctrl-C after the last progress report still stops the run before anything is
    // written; one during the writing ends the program at once (see the user guide).
    if (InterruptGuard::interrupted()) {
        std::fprintf(stderr, "%s\n", kAbortMessage.c_str());
        return std::nullopt;
    }
    return project;
}

int runComputation(Computation computation, const std::string& command, const ComputeOptions& options) {
    CommandResult result;
    result.computation = computation;
    result.command = command;
    result.projectPath = options.projectPath;
    const auto project = runOnProject(
        options,
        [&](ProjectData& p) {
            checkCommandSettings(computation, p);
            if (computation == Computation::Characteristics && !options.quiet) noteRaisedSteps(p);
        },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData& used, const ProgressCallback& progress) {
            const ComputeSettings& settings = used.computeSettings;
            const SweepRange pitch = BEMTTools::pitchRange(settings);
            switch (computation) {
                case Computation::OperatingPoint: result.points = tools.pitchSweep(input, pitch, progress); break;
                case Computation::Design: {
                    DesignResult designed = tools.designSweep(input, pitch, settings.design_c_limit, progress);
                    result.design = std::move(designed.blade);
                    result.points = std::move(designed.points);
                    break;
                }
                case Computation::Characteristics:
                    result.steps = tools.characteristicsSweep(input, settings.range_type,
                                                              BEMTTools::characteristicsRange(settings), pitch,
                                                              progress);
                    break;
            }
        });
    if (!project) return kAborted;
    result.project = *project;
    writeOutputs({[&](std::ostream& out) { writeJson(out, result); }, [&] { return csvFiles(result); },
                  [&](std::FILE* out) { printSummary(out, result); }},
                 options, result.project);
    ConvergenceCount count;
    for (const auto& p : result.points) count.add(p.op.converged, {p.op.Cp, p.op.Ct});
    for (const auto& step : result.steps)
        for (const auto& p : step.points) count.add(p.op.converged, {p.op.Cp, p.op.Ct});
    return convergenceStatus(count, options.quiet);
}

int runNew(const std::string& path, bool force) {
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    if (path.empty())
        throw bemt::Error("The project file name is empty: give the path of the file to write, such as my_rotor.kvp.");
    if (!file.has_filename())
        throw bemt::Error("The project file name " + path +
                          " ends with a folder separator: give a file name, such as " + path + "my_rotor.kvp.");
    std::error_code error;
    if (!force && std::filesystem::exists(file, error))
        throw bemt::Error("The file " + path + " exists already; use --force to replace it.");
    const std::string absolute = [&] {
        const std::u8string text = std::filesystem::absolute(file).u8string();
        return std::string(text.begin(), text.end());
    }();
    const std::string document = kvp::write(newProjectData(), absolute);
    reportWritten(writeOutputFile(path, [&document](std::ostream& out) { out << document; }));
    return kSuccess;
}

}  // namespace korvane::cli
