#include "cli/turbine_commands.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "cli/output_files.h"
#include "cli/turbine_output.h"
#include "project/text_file.h"
#include "turbine/RoscoPerformanceFile.h"

namespace korvane::cli {

using namespace bemt;

namespace {

// Two finite numbers separated by separator, as every range option reads them.
std::optional<std::pair<double, double>> numberPair(const std::string& text, char separator) {
    const auto values = NumberText::wholeDoubles(text, separator);
    if (!values || values->size() != 2) return std::nullopt;
    return std::pair{(*values)[0], (*values)[1]};
}

std::string shortNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", std::localtime(&now));
    return buffer;
}

std::string rotorName(const std::string& projectPath) {
    const std::u8string stem = std::filesystem::path(std::u8string(projectPath.begin(), projectPath.end())).stem().u8string();
    return std::string(stem.begin(), stem.end());
}

// The option that set the turbine setting key, when one did: a refusal names what the
// user typed.
const char* optionOf(const std::string& key, const TurbineOverrides& o) {
    const struct {
        const char* keyStart;
        bool given;
        const char* option;
    } options[] = {{"rated_power", o.ratedPower.has_value(), "--rated-power"},
                   {"efficiency", o.efficiency.has_value(), "--efficiency"},
                   {"rpm_", o.rpmMin.has_value(), "--rpm"},
                   {"tsr_target", o.tsrTarget.has_value(), "--tsr-target"},
                   {"wind_climates", !o.climates.empty(), "--weibull or --rayleigh"},
                   {"wind_", o.wind.has_value(), "--wind"}};
    for (const auto& entry : options) {
        if (key.rfind(entry.keyStart, 0) == 0) return entry.given ? entry.option : nullptr;
    }
    return nullptr;
}

}  // namespace

std::pair<double, double> parseRpmRange(const std::string& text) {
    if (const auto range = numberPair(text, ':')) return *range;
    throw OptionError{"--rpm expects MIN:MAX, not \"" + text + "\"" + numberFormNote(text, ':') + "."};
}

WindClimate parseWeibull(const std::string& text) {
    if (const auto shapeScale = numberPair(text, ',')) {
        const auto [k, A] = *shapeScale;
        return {"Weibull k " + shortNumber(k) + ", A " + shortNumber(A) + " m/s", k, A};
    }
    throw OptionError{"--weibull expects K,A (shape and scale in m/s), not \"" + text + "\"" +
                      numberFormNote(text, ',') + "."};
}

double parseTsrTarget(const std::string& text) {
    if (text == "auto") return std::nan("");
    if (const auto value = NumberText::wholeDouble(text); value.kind == NumberText::Whole::Finite) return value.value;
    throw OptionError{"--tsr-target expects a number or auto, not \"" + text + "\"" + numberFormNote(text, ':') + "."};
}

TurbineSettings turbineSettings(const ProjectData& project, const TurbineOverrides& o) {
    TurbineSettings t = korvane::turbineSettings(project);
    if (o.ratedPower) t.rated_power = *o.ratedPower;
    if (o.efficiency) t.efficiency = *o.efficiency;
    if (o.rpmMin) t.rpm_min = *o.rpmMin;
    if (o.rpmMax) t.rpm_max = *o.rpmMax;
    if (o.tsrTarget) t.tsr_target = *o.tsrTarget;
    if (o.control) t.control = *o.control;
    if (o.wind) {
        t.wind_min = o.wind->min;
        t.wind_max = o.wind->max;
        t.wind_step = o.wind->step;
    }
    if (!o.climates.empty()) t.wind_climates = o.climates;
    const auto problems = Turbine::problems(t);
    if (problems.empty()) return t;
    const auto& problem = problems.front();
    if (const char* option = optionOf(problem.key, o))
        throw OptionError{std::string(option) + ": \"" + problem.key + "\" " + problem.message};
    throw bemt::Error("Invalid turbine setting: \"" + problem.key + "\" " + problem.message);
}

int runPowerCurve(const std::string& command, const ComputeOptions& options, const TurbineOverrides& overrides) {
    PowerCurveResult result;
    result.command = command;
    result.projectPath = options.projectPath;
    const auto project = runOnProject(
        options, [&](ProjectData& p) { result.settings = turbineSettings(p, overrides); },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData&, const ProgressCallback& progress) {
            result.curve = TurbineController(tools, input, result.settings).powerCurve(progress);
        });
    if (!project) return kAborted;
    result.energy = AnnualEnergy::ofCurve(result.curve, result.settings);
    result.model = modelText(*project);
    result.stallDelay = stallDelayInput(*project);
    writeOutputs({[&](std::ostream& out) { out << powerCurveJson(result); },
                  [&] { return wholeTexts(powerCurveCsv(result)); },
                  [&](std::FILE* out) { printPowerCurve(out, result); }},
                 options, *project);
    ConvergenceCount count;
    for (const PowerCurvePoint& p : result.curve.points)
        if (p.computed) count.add(p.converged, {p.P, p.Cp, p.Ct});
    return convergenceStatus(count, options.quiet);
}

int runSurface(const std::string& command, const ComputeOptions& options, const SurfaceOptions& surface) {
    PerformanceSurface result;
    const auto project = runOnProject(
        options,
        [&](const ProjectData& p) {
            PerformanceSurface::check(surface.wind.value_or(p.conditions.V0), surface.tsr, surface.pitch);
            // Refused before the work, as the JSON output is.
            std::vector<std::string> outputs{surface.roscoPath};
            if (!options.jsonPath.empty() && options.jsonPath != "-") outputs.push_back(options.jsonPath);
            if (!surface.roscoPath.empty()) refuseInputsAsOutputs(outputs, inputFiles(options.projectPath, p));
        },
        [&](BEMTTools& tools, const InputDataSet& input, const ProjectData& used, const ProgressCallback& progress) {
            const double wind = surface.wind.value_or(used.conditions.V0);
            result = PerformanceSurface::compute(tools, input, wind, surface.tsr, surface.pitch, progress);
        });
    if (!project) return kAborted;
    CommandOutputs outputs{[&](std::ostream& out) { writeSurfaceJson(out, result, command, stallDelayInput(*project)); },
                           [&] { return wholeTexts(surfaceCsv(result)); },
                           [&](std::FILE* out) { printSurface(out, result, options.projectPath, modelText(*project)); }};
    if (!surface.roscoPath.empty()) {
        outputs.files.emplace_back(surface.roscoPath, [&](std::ostream& out) {
            out << RoscoPerformanceFile::text(result, rotorName(options.projectPath), today());
        });
    }
    writeOutputs(outputs, options, *project);
    ConvergenceCount count;
    for (std::size_t i = 0; i < result.converged.size(); ++i)
        for (std::size_t j = 0; j < result.converged[i].size(); ++j)
            count.add(result.converged[i][j], {result.cp[i][j], result.ct[i][j]});
    return convergenceStatus(count, options.quiet);
}

}  // namespace korvane::cli
