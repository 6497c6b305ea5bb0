#pragma once
// The computations of a project from Python: the core runs with the interpreter's lock
// released, and Ctrl-C (the interpreter's SIGINT handler, checked with the lock taken
// again from the progress reports of the calling thread) stops it with KeyboardInterrupt.
// Results keep the core's records; their arrays and their JSON document (the one
// korvane-cli writes) are made when asked for.

#include <pybind11/pybind11.h>

#include <functional>
#include <optional>
#include <string>

#include "python/python_project.h"
#include "project/result_json.h"
#include "project/study.h"

namespace korvane::python {

namespace py = pybind11;

// One result: what it is ("op", "design", "char", "power-curve", "surface"), its arrays
// by the CLI's keys, and the CLI's JSON document.
class PythonResult {
public:
    PythonResult(std::string command, std::function<py::dict()> arrays, std::function<std::string()> json)
        : m_command(std::move(command)), m_arrays(std::move(arrays)), m_json(std::move(json)) {}
    const std::string& command() const { return m_command; }
    py::dict arrays() const { return m_arrays(); }
    std::string json() const { return m_json(); }

private:
    std::string m_command;
    std::function<py::dict()> m_arrays;
    std::function<std::string()> m_json;
};

// The project is taken by value, copied while the interpreter's lock is held: another
// Python thread may change the project while the computation runs without the lock.
// threads: 0 for KORVANE_THREADS or every core.
PythonResult operatingPoints(PythonProject project, Computation computation, int threads);
PythonResult powerCurve(PythonProject project, int threads);
PythonResult surface(PythonProject project, const bemt::SweepRange& tsr, const bemt::SweepRange& pitch,
                     std::optional<double> wind, int threads);
// Rows [first, end) of a study as (values, error) pairs.
py::list studyRows(PythonProject project, const Study& study, std::size_t first, std::size_t end);

}  // namespace korvane::python
