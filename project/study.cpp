#include "project/study.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "project/kvp_reader.h"
#include "project/result_json.h"
#include "project/setting_changes.h"
#include "project/text_file.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"

namespace korvane {

using nlohmann::json;
using namespace bemt;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<std::string> pointOutputs() {
    std::vector<std::string> names;
    for (const auto& field : pointFields().numbers)
        if (std::string(field.first) != "pitch") names.emplace_back(field.first);
    for (const auto& field : pointFields().flags) names.emplace_back(field.first);
    return names;
}

std::vector<double> pointValues(const pitchControlledOperatingPoint& point) {
    std::vector<double> values;
    for (const auto& [key, value] : pointFields().numbers)
        if (std::string(key) != "pitch") values.push_back(value(point));
    for (const auto& field : pointFields().flags) values.push_back(field.second(point) ? 1.0 : 0.0);
    return values;
}

// The single pitch angle of a row: the row's own, or the first of the project's.
SweepRange rowPitch(const ProjectData& project) {
    const double pitch = BEMTTools::pitchRange(project.computeSettings).min;
    return SweepRange{pitch, pitch, 1.0};
}

std::vector<double> computeRow(const ProjectData& project, const std::string& compute, const AirfoilFileOpener& openFile,
                               const std::function<bool()>& interrupted) {
    checkForComputation(project);
    const ProgressCallback progress = [&interrupted](int, const std::string&) {
        if (interrupted()) throw bemt::Aborted("The study has been stopped.");
    };
    const InputDataSet input = computationInput(project, progress, interrupted, openFile);
    BEMTTools tools(project.solverSettings.solver);
    tools.setThreads(1);
    if (compute == "operating_point") return pointValues(tools.pitchSweep(input, rowPitch(project), progress).front());
    if (compute == "design") {
        const double limit = project.computeSettings.design_c_limit;
        return pointValues(tools.designSweep(input, rowPitch(project), limit, progress).points.front());
    }
    const TurbineSettings settings = turbineSettings(project);
    if (const auto problems = Turbine::problems(settings); !problems.empty())
        throw bemt::Error("Invalid turbine setting: \"" + problems.front().key + "\" " + problems.front().message);
    if (settings.wind_climates.empty())
        throw bemt::Error("Invalid turbine setting: \"wind_climates\" is empty: give a wind climate for the annual energy.");
    const PowerCurve curve = TurbineController(tools, input, settings).powerCurve(progress);
    const auto energy = AnnualEnergy::ofCurve(curve, settings);
    return {curve.tsrTarget, curve.ratedWindSpeed, energy.front().megawattHours(), energy.front().capacityFactor};
}

}  // namespace

const std::vector<std::string>& studyOutputs(const std::string& compute) {
    static const std::vector<std::string> points = pointOutputs();
    static const std::vector<std::string> curve{"tsr_target", "rated_wind_speed", "aep_MWh", "capacity_factor"};
    if (compute == "operating_point" || compute == "design") return points;
    if (compute == "power_curve") return curve;
    throw bemt::Error("unknown computation \"" + compute + "\": give operating_point, design or power_curve.");
}

void checkStudyColumns(const ProjectData& base, const std::string& basePath, const std::vector<std::string>& columns,
                       const std::string& compute) {
    std::vector<std::string> results{"variant", "error"};
    if (!compute.empty()) {
        const auto& outputs = studyOutputs(compute);
        results.insert(results.end(), outputs.begin(), outputs.end());
    }
    const json settings = settingsDocument(base, basePath);
    for (const auto& column : columns) {
        if (std::find(results.begin(), results.end(), column) == results.end()) continue;
        try {
            settingName(settings, column);
        } catch (const bemt::Error&) {
            throw bemt::Error("the column \"" + column + "\" is a name of the results; the variations name settings.");
        }
    }
    refuseSettingTwice(settings, columns, "columns");
}

std::vector<std::vector<json>> gridRows(const std::vector<std::vector<json>>& lists) {
    std::vector<std::vector<json>> rows{{}};
    for (const auto& list : lists) {
        std::vector<std::vector<json>> longer;
        for (const auto& row : rows) {
            for (const json& value : list) {
                longer.push_back(row);
                longer.back().push_back(value);
            }
        }
        rows = std::move(longer);
    }
    return lists.empty() ? std::vector<std::vector<json>>{} : rows;
}

Study studyFromDocument(const nlohmann::ordered_json& document, const std::string& name, const std::string& folder) {
    auto fail = [&name](const std::string& problem) -> void {
        throw bemt::Error("The study file " + name + " could not be read: " + problem);
    };
    if (!document.is_object()) fail("the document must be a JSON object.");
    for (const auto& item : document.items())
        if (item.key() != "project" && item.key() != "compute" && item.key() != "variations" && item.key() != "grid")
            fail("unknown key \"" + item.key() + "\": give \"project\", \"compute\" and \"variations\" or \"grid\".");
    Study study;
    if (!document.contains("project") || !document["project"].is_string())
        fail("\"project\" must name the project file.");
    const std::filesystem::path project = pathFromUtf8(document["project"].get<std::string>());
    study.projectPath = utf8OfPath(project.is_absolute() ? project : pathFromUtf8(folder) / project);
    study.compute = document.value("compute", std::string("operating_point"));
    try {
        studyOutputs(study.compute);
    } catch (const bemt::Error& e) {
        fail("\"compute\": " + e.message());
    }
    const bool grid = document.contains("grid");
    if (grid == document.contains("variations")) fail("give either \"variations\" or \"grid\".");
    const auto& table = document[grid ? "grid" : "variations"];
    if (!table.is_object() || table.empty()) fail("the variations must be an object of setting names and lists.");
    std::vector<std::vector<json>> lists;
    for (const auto& [column, values] : table.items()) {
        if (!values.is_array() || values.empty()) fail("\"" + column + "\" must be a list of values.");
        if (!grid && values.size() != table.begin()->size())
            fail("the lists of \"variations\" must be equally long (\"" + column + "\" holds " +
                 std::to_string(values.size()) + " values, \"" + table.begin().key() + "\" " +
                 std::to_string(table.begin()->size()) + ").");
        study.columns.push_back(column);
        lists.emplace_back(values.begin(), values.end());
    }
    if (grid) {
        study.rows = gridRows(lists);
    } else {
        for (std::size_t i = 0; i < lists.front().size(); ++i) {
            study.rows.emplace_back();
            for (const auto& list : lists) study.rows.back().push_back(list[i]);
        }
    }
    return study;
}

Study readStudy(const std::string& path) {
    const std::string text = readTextFile(path);
    // Refused as a project file's document is (its line and column, a number too large,
    // a key given twice); then read again keeping the order of the columns.
    kvp::Reader(path, "The study file " + path + " could not be read: ").parse(text);
    return studyFromDocument(nlohmann::ordered_json::parse(text), path, utf8OfPath(pathFromUtf8(path).parent_path()));
}

std::vector<StudyRowResult> runStudyRows(const ProjectData& base, const std::string& basePath, const Study& study,
                                         std::size_t first, std::size_t end, const AirfoilFileOpener& openFile,
                                         const std::function<bool()>& interrupted) {
    const std::size_t outputs = studyOutputs(study.compute).size();
    std::vector<StudyRowResult> results;
    const ChangeBase changeBase(base, basePath);
    for (std::size_t i = first; i < end && i < study.rows.size(); ++i) {
        if (interrupted()) throw bemt::Aborted("The study has been stopped.");
        json changes = json::object();
        for (std::size_t j = 0; j < study.columns.size(); ++j) changes[study.columns[j]] = study.rows[i][j];
        StudyRowResult row;
        try {
            row.values = computeRow(withChanges(changeBase, changes), study.compute, openFile, interrupted);
        } catch (const bemt::Aborted&) {
            throw;
        } catch (const bemt::Error& e) {
            row.values.assign(outputs, kNaN);
            row.error = e.message();
        }
        results.push_back(std::move(row));
    }
    return results;
}

}  // namespace korvane
