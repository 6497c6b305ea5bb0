// The korvane Python module's compiled part (korvane._korvane): projects through the
// .kvp codec, the computations and the rows of studies. The package around it
// (korvane/__init__.py) gives them their Python shape.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"
#include "bemt/XfoilCommunicator.h"
#include "project/kvp_codec.h"
#include "project/setting_changes.h"
#include "project/text_file.h"
#include "python/python_compute.h"
#include "python/python_optimise.h"
#include "python/python_save.h"
#include "python/python_values.h"

namespace py = pybind11;
using namespace korvane;
using namespace korvane::python;

namespace {

// Kept absolute, so that a save after a change of the working folder writes the same file.
PythonProject loaded(const std::string& path) {
    return {kvp::read(readTextFile(path), path), utf8OfPath(std::filesystem::absolute(pathFromUtf8(path))), {}};
}

// A refused setting is the caller's value: ValueError with the project file's message.
void change(PythonProject& project, const py::dict& changes) {
    try {
        project.data = withChanges(project.data, project.codecPath(), jsonOf(changes, ""));
    } catch (const bemt::Error& e) {
        throw py::value_error(e.message());
    }
}

bemt::SweepRange range(const std::vector<double>& values, const char* what) {
    if (values.size() == 1) return {values[0], values[0], 1.0};
    // A list of three values is (min, max, step): one whose step passes beyond max was
    // meant as a list of values, which would silently give one position.
    if (values.size() == 3 && !(values[2] > values[1] - values[0] && values[1] > values[0]))
        return {values[0], values[1], values[2]};
    const std::string given = values.size() == 3 ? " (its step " + bemt::NumberText::shortText(values[2]) +
                                                       " is larger than the span from " +
                                                       bemt::NumberText::shortText(values[0]) + " to " +
                                                       bemt::NumberText::shortText(values[1]) + ")"
                                                 : ", not " + std::to_string(values.size()) + " values";
    throw py::value_error(std::string(what) + " expects a value or (min, max, step)" + given + ".");
}

// A whole number of the request, refused by its limits before it could overflow.
int wholeWithin(const char* name, double value, const bemt::ValueLimit& limit) {
    if (!limit.contains(value)) throw py::value_error(std::string(name) + ": " + limit.refusal(value));
    return static_cast<int>(value);
}

py::tuple studyTuple(const Study& study) {
    nlohmann::json rows = study.rows;
    return py::make_tuple(study.projectPath, study.compute, study.columns, rows.dump());
}

// The rows' results as (values, error); a row with a cell no setting can hold is that
// row's error, and the others are computed.
py::list studyRowsOf(const PythonProject& p, const std::string& compute, const std::vector<std::string>& columns,
                     const py::list& rows) {
    Study study;
    study.compute = compute;
    study.columns = columns;
    const std::size_t outputs = studyOutputs(compute).size();
    std::vector<std::string> refused(rows.size());
    // A cell no setting can hold is named as the settings' own refusals name it.
    const nlohmann::json settings = settingsDocument(p.data, p.codecPath());
    std::vector<std::string> names;
    for (const auto& column : columns) names.push_back(settingName(settings, column));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<nlohmann::json> row;
        try {
            std::size_t j = 0;
            for (const py::handle cell : rows[i]) row.push_back(jsonOf(cell, names.at(j++)));
            study.rows.push_back(std::move(row));
        } catch (const py::builtin_exception& e) {
            refused[i] = e.what();
        }
    }
    const py::list computed = studyRows(p, study, 0, study.rows.size());
    py::list results;
    std::size_t next = 0;
    for (const std::string& error : refused) {
        if (error.empty()) {
            results.append(computed[next++]);
        } else {
            results.append(py::make_tuple(std::vector<double>(outputs, std::nan("")), error));
        }
    }
    return results;
}

}  // namespace

PYBIND11_MODULE(_korvane, m) {
    m.doc() = "Korvane's compiled core: projects, computations and study rows.";
    static py::exception<bemt::Error> error(m, "Error", PyExc_RuntimeError);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const bemt::Error& e) {
            error(e.message().c_str());
        }
    });

    py::class_<PythonResult>(m, "_Result")
        .def_property_readonly("command", &PythonResult::command)
        .def("arrays", &PythonResult::arrays)
        .def("json", &PythonResult::json);

    py::class_<PythonOptimisation>(m, "_Optimisation")
        .def("json", &PythonOptimisation::json)
        .def("worse", &PythonOptimisation::worse)
        .def_readonly("project", &PythonOptimisation::project);

    py::class_<optimise::OptimisationRequest>(m, "_OptimisationRequest")
        .def(py::init<>())
        .def_readwrite("objective", &optimise::OptimisationRequest::objective)
        .def_readwrite("climate", &optimise::OptimisationRequest::climate)
        .def_readwrite("vary", &optimise::OptimisationRequest::vary)
        .def_readwrite("method", &optimise::OptimisationRequest::method)
        .def_readwrite("start", &optimise::OptimisationRequest::start)
        .def_property("points", [](const optimise::OptimisationRequest& r) { return r.points; },
                      [](optimise::OptimisationRequest& r, double n) { r.points = wholeWithin("points", n, bemt::Limits::controlPoints); })
        .def_property("budget", [](const optimise::OptimisationRequest& r) { return r.budget; },
                      [](optimise::OptimisationRequest& r, double n) { r.budget = wholeWithin("budget", n, bemt::Limits::evaluationBudget); })
        .def_readwrite("max_chord", &optimise::OptimisationRequest::maxChord)
        .def_readwrite("max_thrust", &optimise::OptimisationRequest::maxThrust)
        .def_readwrite("max_thrust_ratio", &optimise::OptimisationRequest::maxThrustRatio)
        .def_readwrite("max_root_moment", &optimise::OptimisationRequest::maxRootMoment)
        .def_readwrite("free_root_chord", &optimise::OptimisationRequest::freeRootChord);

    py::class_<PythonProject>(m, "_Project")
        .def(py::init([] { return PythonProject{newProjectData(), {}, {}}; }))
        .def_static("load", &loaded, py::arg("path"))
        // A document written at codecPath, the project's path (empty when not saved).
        .def_static("from_document", [](const std::string& document, const std::string& codecPath,
                                        const std::string& path) {
            return PythonProject{kvp::read(document, codecPath), path, {}};
        })
        .def("copy", [](const PythonProject& p) { return p; })
        .def("save", &saveProject, py::arg("path"))
        .def_property_readonly("codec_path", &PythonProject::codecPath)
        .def("document", [](const PythonProject& p) { return kvp::write(p.data, p.codecPath()); })
        .def("settings", [](const PythonProject& p) { return settingsDocument(p.data, p.codecPath()).dump(); })
        .def("change", &change, py::arg("changes"))
        .def("airfoil_paths", [](const PythonProject& p) {
            std::vector<std::string> paths;
            for (const auto& point : p.data.airfoilPoints) paths.push_back(point.path);
            return paths;
        })
        .def("data_files", [](const PythonProject& p) {
            std::vector<std::string> paths;
            for (const auto& point : p.data.airfoilPoints)
                if (bemt::readsDataFile(point.data_type)) paths.push_back(point.path);
            return paths;
        })
        .def("check", [](const PythonProject& p) { checkForComputation(p.data); })
        .def_readwrite("path", &PythonProject::path)
        .def_readwrite("memory", &PythonProject::memory)
        .def("operating_point", [](const PythonProject& p, int threads) {
            return operatingPoints(p, Computation::OperatingPoint, threads); })
        .def("design", [](const PythonProject& p, int threads) { return operatingPoints(p, Computation::Design, threads); })
        .def("characteristics", [](const PythonProject& p, int threads) {
            return operatingPoints(p, Computation::Characteristics, threads); })
        .def("power_curve", &powerCurve)
        .def("optimise", &optimiseProject)
        .def("surface", [](const PythonProject& p, const std::vector<double>& tsr, const std::vector<double>& pitch,
                           std::optional<double> wind, int threads) {
            return surface(p, range(tsr, "tsr"), range(pitch, "pitch"), wind, threads);
        })
        .def("study_rows", &studyRowsOf)
        .def("check_study_columns", [](const PythonProject& p, const std::vector<std::string>& columns,
                                       const std::string& compute) {
            try {
                checkStudyColumns(p.data, p.codecPath(), columns, compute);
            } catch (const bemt::Error& e) {
                throw py::value_error(e.message());
            }
        });

    m.def("setting_sections", &settingSections);
    m.def("study_quantities", &studyQuantities);
    m.def("study_outputs", &studyOutputs, py::arg("compute"));
    m.def("read_study", [](const std::string& path) { return studyTuple(readStudy(path)); }, py::arg("path"));
    // The rows of a grid of lists of the given lengths, as indices into the lists (so that
    // any Python value keeps its identity).
    m.def("grid_rows", [](const std::vector<std::size_t>& lengths) {
        std::vector<std::vector<nlohmann::json>> lists;
        for (const std::size_t length : lengths) {
            lists.emplace_back();
            for (std::size_t i = 0; i < length; ++i) lists.back().emplace_back(i);
        }
        std::vector<std::vector<std::size_t>> rows;
        for (const auto& row : gridRows(lists)) {
            rows.emplace_back();
            for (const auto& index : row) rows.back().push_back(index.get<std::size_t>());
        }
        return rows;
    });
    m.def("read_text", [](const std::string& path) { return readTextFile(path); });
    m.def("set_xfoil_candidates", [](std::vector<std::filesystem::path> candidates) {
        bemt::XfoilCommunicator::setProgramCandidates(std::move(candidates));
    });
}
