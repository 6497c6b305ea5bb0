#include "python/python_compute.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <sstream>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "bemt/ThreadCount.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"
#include "python/unlocked.h"

namespace korvane::python {

using namespace bemt;
using namespace pybind11::literals;

namespace {

template <typename Row>
py::array_t<double> numbers(const std::vector<Row>& rows, double (*value)(const Row&)) {
    py::array_t<double> array(static_cast<py::ssize_t>(rows.size()));
    auto out = array.mutable_unchecked<1>();
    for (std::size_t i = 0; i < rows.size(); ++i) out(static_cast<py::ssize_t>(i)) = value(rows[i]);
    return array;
}

template <typename Row>
py::array_t<bool> flags(const std::vector<Row>& rows, bool (*value)(const Row&)) {
    py::array_t<bool> array(static_cast<py::ssize_t>(rows.size()));
    auto out = array.mutable_unchecked<1>();
    for (std::size_t i = 0; i < rows.size(); ++i) out(static_cast<py::ssize_t>(i)) = value(rows[i]);
    return array;
}

// One array per key of fields over rows.
template <typename Row>
void addColumns(py::dict& into, const RowFields<Row>& fields, const std::vector<Row>& rows) {
    for (const auto& [key, value] : fields.numbers) into[key] = numbers(rows, value);
    for (const auto& [key, value] : fields.flags) into[key] = flags(rows, value);
}

// The same over a table of rows: arrays of shape (rows, columns), as numpy stacks them.
template <typename Row>
void addMatrices(py::dict& into, const RowFields<Row>& fields, const std::vector<std::vector<Row>>& table) {
    const py::module_ numpy = py::module_::import("numpy");
    std::vector<py::dict> rows(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) addColumns(rows[i], fields, table[i]);
    auto stack = [&](const char* key) {
        py::list list;
        for (const py::dict& row : rows) list.append(row[key]);
        return numpy.attr("array")(list);
    };
    for (const auto& field : fields.numbers) into[field.first] = stack(field.first);
    for (const auto& field : fields.flags) into[field.first] = stack(field.first);
}

std::string streamed(const std::function<void(std::ostream&)>& write) {
    std::ostringstream out;
    write(out);
    return out.str();
}

py::dict pointArrays(const CommandResult& r) {
    py::dict arrays;
    if (r.computation == Computation::Characteristics) {
        using Step = pitchControlledCharacteristicElement;
        arrays["V0"] = numbers<Step>(r.steps, [](const Step& s) { return s.conditions.V0; });
        arrays["TSR"] = numbers<Step>(r.steps, [](const Step& s) { return s.conditions.TSR; });
        std::vector<std::vector<pitchControlledOperatingPoint>> table;
        for (const auto& step : r.steps) table.push_back(step.points);
        addMatrices(arrays, pointFields(), table);
        return arrays;
    }
    addColumns(arrays, pointFields(), r.points);
    std::vector<std::vector<ElementRow>> elements;
    for (const auto& p : r.points) {
        elements.emplace_back();
        for (const Solution& s : p.op.solutions) elements.back().push_back(elementRow(s, p.pitch, p.op.conditions));
    }
    py::dict elementArrays;
    addMatrices(elementArrays, elementFields(), elements);
    arrays["elements"] = elementArrays;
    return arrays;
}

}  // namespace

PythonResult operatingPoints(PythonProject p, Computation computation, int threads) {
    auto result = std::make_shared<CommandResult>();
    result->computation = computation;
    result->command = computation == Computation::OperatingPoint ? "op"
                      : computation == Computation::Design   ? "design"
                                                             : "char";
    result->projectPath = p.path;
    checkCommandSettings(computation, p.data);
    released([&](SignalWatch& watch) {
        Prepared prepared = prepare(p, watch);
        BEMTTools tools(prepared.project.solverSettings.solver);
        setThreads(tools, threads);
        const ComputeSettings& settings = prepared.project.computeSettings;
        const SweepRange pitch = BEMTTools::pitchRange(settings);
        if (computation == Computation::OperatingPoint) {
            result->points = tools.pitchSweep(prepared.input, pitch, watch.progress());
        } else if (computation == Computation::Design) {
            DesignResult designed = tools.designSweep(prepared.input, pitch, settings.design_c_limit, watch.progress());
            result->design = std::move(designed.blade);
            result->points = std::move(designed.points);
        } else {
            result->steps = tools.characteristicsSweep(prepared.input, settings.range_type,
                                                       BEMTTools::characteristicsRange(settings), pitch,
                                                       watch.progress());
        }
        result->project = std::move(prepared.project);
    });
    return {result->command, [result] { return pointArrays(*result); },
            [result] { return streamed([&](std::ostream& out) { writeJson(out, *result); }); }};
}

PythonResult powerCurve(PythonProject p, int threads) {
    auto result = std::make_shared<PowerCurveResult>();
    result->command = "power-curve";
    result->projectPath = p.path;
    result->settings = turbineSettings(p.data);
    result->model = modelText(p.data);
    if (const auto problems = Turbine::problems(result->settings); !problems.empty())
        throw bemt::Error("Invalid turbine setting: \"" + problems.front().key + "\" " + problems.front().message);
    released([&](SignalWatch& watch) {
        Prepared prepared = prepare(p, watch);
        BEMTTools tools(prepared.project.solverSettings.solver);
        setThreads(tools, threads);
        result->curve = TurbineController(tools, prepared.input, result->settings).powerCurve(watch.progress());
        result->stallDelay = prepared.input.stallDelay;
    });
    result->energy = AnnualEnergy::ofCurve(result->curve, result->settings);
    auto arrays = [result] {
        py::dict a;
        addColumns(a, powerCurveFields(), result->curve.points);
        return a;
    };
    return {result->command, arrays, [result] { return powerCurveJson(*result); }};
}

PythonResult surface(PythonProject p, const SweepRange& tsr, const SweepRange& pitch, std::optional<double> wind,
                     int threads) {
    auto result = std::make_shared<PerformanceSurface>();
    const double speed = wind.value_or(p.data.conditions.V0);
    try {
        PerformanceSurface::check(speed, tsr, pitch);
    } catch (const bemt::Error& e) {
        throw py::value_error(e.message());  // the caller's arguments
    }
    released([&](SignalWatch& watch) {
        Prepared prepared = prepare(p, watch);
        BEMTTools tools(prepared.project.solverSettings.solver);
        setThreads(tools, threads);
        *result = PerformanceSurface::compute(tools, prepared.input, speed, tsr, pitch, watch.progress());
    });
    auto arrays = [result] {
        const py::module_ numpy = py::module_::import("numpy");
        py::dict a;
        a["wind"] = result->wind;
        a["tsr"] = numpy.attr("array")(result->tsr);
        a["pitch"] = numpy.attr("array")(result->pitch);
        for (const auto& [key, member] : surfaceMatrices())
            a[key] = numpy.attr("array")((*result).*member, "dtype"_a = "float64");
        a["converged"] = numpy.attr("array")(result->converged, "dtype"_a = "bool");
        return a;
    };
    return {"surface", arrays, [result, stallDelay = stallDelayInput(p.data)] {
                return streamed([&](std::ostream& out) { writeSurfaceJson(out, *result, "surface", stallDelay); });
            }};
}

py::list studyRows(PythonProject p, const Study& study, std::size_t first, std::size_t end) {
    std::vector<StudyRowResult> rows;
    released([&](SignalWatch& watch) {
        rows = runStudyRows(p.data, p.codecPath(), study, first, end, p.opener(), watch.interruption());
    });
    py::list list;
    for (const auto& row : rows) list.append(py::make_tuple(row.values, row.error));
    return list;
}

}  // namespace korvane::python
