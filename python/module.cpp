// The korvane Python module's compiled part (korvane._korvane): projects through the
// .kvp codec, the computations and the rows of studies. The package around it
// (korvane/__init__.py) gives them their Python shape.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include "bemt/Error.h"
#include "bemt/XfoilCommunicator.h"
#include "project/file_writer.h"
#include "project/input_files.h"
#include "project/kvp_codec.h"
#include "project/setting_changes.h"
#include "project/text_file.h"
#include "python/python_compute.h"
#include "python/python_optimise.h"

namespace py = pybind11;
using namespace korvane;
using namespace korvane::python;

namespace {

PythonProject loaded(const std::string& path) {
    return {kvp::read(readTextFile(path), path), path, {}};
}

// A refused setting is the caller's value: ValueError with the project file's message.
void change(PythonProject& project, const std::string& changes) {
    try {
        project.data = withChanges(project.data, project.codecPath(), nlohmann::json::parse(changes));
    } catch (const bemt::Error& e) {
        throw py::value_error(e.message());
    }
}

// The files save writes must not be the project's airfoil data files (korvane-cli's rule for
// its outputs); its own file it replaces.
void checkOutputs(const PythonProject& project, const std::vector<std::string>& outputs) {
    refuseInputsAsOutputs(outputs, inputFiles("", project.data));
}

std::string save(PythonProject& project, const std::string& path) {
    checkOutputs(project, {path});
    const std::string document = kvp::write(project.data, path);
    const WriteOutcome outcome = writeTextFile(path, document);
    project.path = path;
    return outcome == WriteOutcome::Created ? "Created" : outcome == WriteOutcome::Replaced ? "Replaced" : "Wrote";
}

bemt::SweepRange range(const std::vector<double>& values, const char* what) {
    if (values.size() == 1) return {values[0], values[0], 1.0};
    if (values.size() == 3) return {values[0], values[1], values[2]};
    throw py::value_error(std::string(what) + " expects a value or (min, max, step).");
}

py::tuple studyTuple(const Study& study) {
    nlohmann::json rows = study.rows;
    return py::make_tuple(study.projectPath, study.compute, study.columns, rows.dump());
}

Study studyOf(const std::string& compute, const std::vector<std::string>& columns, const std::string& rows) {
    Study study;
    study.compute = compute;
    study.columns = columns;
    study.rows = nlohmann::json::parse(rows).get<std::vector<std::vector<nlohmann::json>>>();
    studyOutputs(compute);
    return study;
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
        .def_readonly("project", &PythonOptimisation::project);

    py::class_<optimise::OptimisationRequest>(m, "_OptimisationRequest")
        .def(py::init<>())
        .def_readwrite("objective", &optimise::OptimisationRequest::objective)
        .def_readwrite("climate", &optimise::OptimisationRequest::climate)
        .def_readwrite("vary", &optimise::OptimisationRequest::vary)
        .def_readwrite("method", &optimise::OptimisationRequest::method)
        .def_readwrite("start", &optimise::OptimisationRequest::start)
        .def_readwrite("points", &optimise::OptimisationRequest::points)
        .def_readwrite("budget", &optimise::OptimisationRequest::budget)
        .def_readwrite("max_chord", &optimise::OptimisationRequest::maxChord)
        .def_readwrite("max_thrust", &optimise::OptimisationRequest::maxThrust)
        .def_readwrite("max_thrust_ratio", &optimise::OptimisationRequest::maxThrustRatio)
        .def_readwrite("max_root_moment", &optimise::OptimisationRequest::maxRootMoment)
        .def_readwrite("free_root_chord", &optimise::OptimisationRequest::freeRootChord);

    py::class_<PythonProject>(m, "_Project")
        .def(py::init([] { return PythonProject{newProjectData(), {}, {}}; }))
        .def_static("load", &loaded, py::arg("path"))
        .def_static("from_document", [](const std::string& document, const std::string& path) {
            return PythonProject{kvp::read(document, path), path, {}};
        })
        .def("copy", [](const PythonProject& p) { return p; })
        .def("save", &save, py::arg("path"))
        .def("check_outputs", &checkOutputs, py::arg("paths"))
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
        .def("study_rows", [](const PythonProject& p, const std::string& compute, const std::vector<std::string>& columns,
                              const std::string& rows) {
            const Study study = studyOf(compute, columns, rows);
            return studyRows(p, study, 0, study.rows.size());
        });

    m.def("setting_sections", &settingSections);
    m.def("study_quantities", &studyQuantities);
    m.def("study_outputs", &studyOutputs, py::arg("compute"));
    m.def("read_study", [](const std::string& path) { return studyTuple(readStudy(path)); }, py::arg("path"));
    m.def("grid_rows", [](const std::string& lists) {
        return nlohmann::json(gridRows(nlohmann::json::parse(lists).get<std::vector<std::vector<nlohmann::json>>>())).dump();
    });
    m.def("read_text", [](const std::string& path) { return readTextFile(path); });
    m.def("write_text", [](const std::string& path, const std::string& text) {
        writeTextFile(path, text);
    });
    m.def("set_xfoil_candidates", [](std::vector<std::filesystem::path> candidates) {
        bemt::XfoilCommunicator::setProgramCandidates(std::move(candidates));
    });
}
