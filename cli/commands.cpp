#include "cli/commands.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/kvp_codec.h"
#include "app/text_file.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ToolsAirfoil.h"
#include "cli/progress_bar.h"
#include "cli/result_output.h"

namespace korvane::cli {

using namespace bemt;

namespace {

void checkCommandSettings(const std::string& command, const ProjectData& project) {
    const ComputeSettings& c = project.computeSettings;
    if (command == "design" && !(std::isfinite(c.design_c_limit) && c.design_c_limit > 0.0))
        throw std::string("Invalid project value: the chord limit of the design must be a positive number.");
    if (command == "char") {
        const SweepRange range = BEMTTools::characteristicsRange(c);
        if (!std::isfinite(range.min) || !std::isfinite(range.max) || !std::isfinite(range.step))
            throw std::string("Invalid project value: the characteristics range holds a value that is not a number.");
        if (range.max < range.min)
            throw std::string("Invalid project value: the characteristics range ends before it starts.");
        if (range.max > range.min && !(range.step > 0.0))
            throw std::string("Invalid project value: the step of the characteristics range must be greater than zero.");
    }
}

}  // namespace

void writeOutputs(const CommandOutputs& outputs, const ComputeOptions& options) {
    const bool jsonToStdout = options.jsonPath == "-";
    if (!options.jsonPath.empty()) {
        const std::string json = outputs.json();
        if (jsonToStdout) {
            std::fwrite(json.data(), 1, json.size(), stdout);
        } else {
            writeFileAtomically(options.jsonPath, json);
        }
    }
    if (!options.csvFolder.empty()) {
        const auto files = writeFilesInto(options.csvFolder, outputs.csvFiles());
        if (!options.quiet) {
            for (const auto& file : files) std::fprintf(stderr, "Wrote %s\n", file.c_str());
        }
    }
    // The summary never mixes into JSON on standard output.
    if (!options.quiet && !jsonToStdout) outputs.summary(stdout);
    std::fflush(stdout);
}

std::optional<ProjectData> runOnProject(const ComputeOptions& options, const std::function<void(ProjectData&)>& adjust,
                                        const ProjectWork& work) {
    ProjectData project = loadProject(options.projectPath);
    applyOverrides(project, options.overrides);
    adjust(project);
    checkForComputation(project);
    // The blending of neighbouring airfoils follows the project, as in the desktop program.
    if (project.computeSettings.enable_interpolation) {
        ProfileParamsCombined::enableInterpolation();
    } else {
        ProfileParamsCombined::disableInterpolation();
    }

    BEMTTools tools(project.solverSettings.solver);
    InterruptGuard interrupt;
    ProgressBar bar(options.progress && ProgressBar::stderrIsTerminal());
    const ProgressCallback progress = [&bar](int percent, const std::string& text) { bar.report(percent, text); };
    try {
        work(tools, computationInput(project, progress, &InterruptGuard::interrupted), project, progress);
    } catch (const std::string& message) {
        bar.clear();
        if (message == kAbortMessage || message == ToolsAirfoil::kAborted) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return std::nullopt;
        }
        throw;
    }
    bar.clear();
    return project;
}

int runComputation(const std::string& command, const ComputeOptions& options) {
    CommandResult result;
    result.command = command;
    result.projectPath = options.projectPath;
    const auto project = runOnProject(
        options, [&](ProjectData& p) { checkCommandSettings(command, p); },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData& used, const ProgressCallback& progress) {
            const ComputeSettings& settings = used.computeSettings;
            const SweepRange pitch = BEMTTools::pitchRange(settings);
            if (command == "op") {
                result.points = tools.pitchSweep(input, pitch, progress);
            } else if (command == "design") {
                DesignResult designed = tools.designSweep(input, pitch, settings.design_c_limit, progress);
                result.design = std::move(designed.blade);
                result.points = std::move(designed.points);
            } else {
                result.steps = tools.characteristicsSweep(input, settings.range_type,
                                                          BEMTTools::characteristicsRange(settings), pitch, progress);
            }
        });
    if (!project) return kAborted;
    result.project = *project;
    writeOutputs({[&] { return jsonDocument(result); }, [&] { return csvFiles(result); },
                  [&](std::FILE* out) { printSummary(out, result); }},
                 options);
    return kSuccess;
}

int runNew(const std::string& path, bool force) {
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code error;
    if (!force && std::filesystem::exists(file, error))
        throw "The file " + path + " exists already; use --force to replace it.";
    const std::string absolute = [&] {
        const std::u8string text = std::filesystem::absolute(file).u8string();
        return std::string(text.begin(), text.end());
    }();
    writeFileAtomically(path, kvp::write(newProjectData(), absolute));
    return kSuccess;
}

}  // namespace korvane::cli
