#pragma once
// Project.optimise: korvane-cli optimise's blade optimisation from Python, without the
// interpreter's lock. Ctrl-C ends the search keeping the best feasible blade found (its
// document says "end": "stopped"); before any feasible blade it raises KeyboardInterrupt.

#include <memory>
#include <optional>
#include <string>

#include "optimise/OptimisationRun.h"
#include "python/python_project.h"

namespace korvane::python {

struct PythonOptimisation {
    std::shared_ptr<const optimise::OptimisationRun> run;
    PythonProject project;   // the project with the optimised blade, not saved
    std::string json() const;
    // korvane-cli's warning when the optimised blade gives less than the starting one;
    // empty otherwise.
    std::string worse() const;
};

// Throws ValueError for a request the settings refuse (named by the Python arguments),
// bemt::Error when no blade meets every limit.
// The project by value, as the computations take it (python_compute.h).
PythonOptimisation optimiseProject(PythonProject project, const optimise::OptimisationRequest& request,
                                   int threads);

}  // namespace korvane::python
