#include "python/python_optimise.h"

#include <sstream>

#include "python/unlocked.h"

namespace korvane::python {

using namespace korvane::optimise;

namespace {

// The Python argument that sets a settings key.
std::string argumentOf(const std::string& key) {
    if (key == "control_points") return "points";
    for (const char* name : {"objective", "method", "start", "vary", "budget", "max_chord", "max_thrust_ratio",
                             "max_thrust", "max_root_moment"})
        if (key == name) return name;
    return {};
}

}  // namespace

std::string PythonOptimisation::json() const {
    std::ostringstream out;
    writeOptimisationJson(out, *run, "optimise");
    return out.str();
}

std::string PythonOptimisation::worse() const {
    return run->result.feasible ? lossText(run->comparison, run->settings, run->turbine) : std::string();
}

PythonOptimisation optimiseProject(PythonProject p, const OptimisationRequest& request, int threads) {
    OptimisationSettings settings;
    try {
        settings = requestedSettings(p.data, request, argumentOf);
    } catch (const RefusedRequest& refused) {
        throw py::value_error(refused.message());
    }
    const bemt::TurbineSettings turbine = turbineSettings(p.data);
    auto run = std::make_shared<OptimisationRun>();
    const bool stopped = releasedUntilStop([&](SignalWatch& watch) {
        Prepared prepared = prepare(p, watch);
        bemt::BEMTTools tools(prepared.project.solverSettings.solver);
        setThreads(tools, threads);
        const bemt::ProgressCallback progress = watch.progress();
        *run = runOptimisation(tools, prepared.input, settings, turbine,
                               [&progress](const OptimisationProgress&) { progress(0, {}); });
    });
    if (!run->result.feasible) {
        if (stopped) throw py::error_already_set();
        throw bemt::Error(infeasibility(run->result) + ". Relax the limits or give a larger budget.");
    }
    // Stopped by Ctrl-C with a feasible blade: that blade is the result, not an
    // interruption. What a signal handler of the user's raised otherwise goes on.
    if (stopped) {
        if (!PyErr_ExceptionMatches(PyExc_KeyboardInterrupt)) throw py::error_already_set();
        PyErr_Clear();
    }
    return {run, PythonProject{withOptimisedBlade(p.data, run->settings, run->turbine, run->result), {}, p.memory}};
}

}  // namespace korvane::python
