#pragma once
// The optimised blade beside the project's, as the command line and the desktop program
// both report it: the project with the optimised blade in its place, the figures of the
// two blades side by side, and the words that name the objective, the active limits and
// the progress of a run.

#include <string>
#include <vector>

#include "bemt/BEMTTools.h"
#include "optimise/BladeOptimiser.h"
#include "optimise/BladeSummary.h"
#include "project/project_data.h"

namespace korvane::optimise {

// project with the optimised chord and twist points and, when it was varied, the tip
// speed ratio (the turbine's target for the annual energy, which then states turbine;
// the design point's rotation speed for Cp); its optimisation settings are settings.
ProjectData withOptimisedBlade(ProjectData project, const OptimisationSettings& settings,
                               const bemt::TurbineSettings& turbine, const OptimisationResult& result);

struct BladeComparison {
    BladeSummary before;   // the project's blade
    BladeSummary after;    // the optimised one, at its own tip speed ratio when varied
};
BladeComparison compareBlades(bemt::BEMTTools& tools, const bemt::InputDataSet& input,
                              const bemt::TurbineSettings& turbine, const OptimisationSettings& settings,
                              const OptimisationResult& result, const bemt::ProgressCallback& progress);

// One line of the before/after table.
struct ComparisonRow {
    std::string label;   // with its unit: "Largest thrust [kN]"
    double before = 0.0;
    double after = 0.0;
    int decimals = 0;
    // (after - before) / |before| in percent; NaN when before is 0 or either is not finite.
    double changePercent() const;
};
std::vector<ComparisonRow> comparisonRows(const BladeComparison& comparison);

// "annual energy, Rayleigh, mean 8.5 m/s" or "Cp at the design point".
std::string objectiveText(const OptimisationSettings& settings, const bemt::TurbineSettings& turbine);
// The limits the blade reaches, "largest chord, thrust", or "none".
std::string activeLimitsText(const OptimisationResult& result);
// "No blade the optimisation evaluated meets every limit (the nearest exceeds one by X %)",
// for a result without a feasible blade.
std::string infeasibility(const OptimisationResult& result);
// "Optimising the blade (SLSQP): iteration 12, AEP 25123.4 MWh, violation 0."
std::string progressText(const OptimisationProgress& progress, OptimisationObjective objective);
// Said when the optimised blade gives less of the objective than the project's blade (the
// search starts from the project's blade as its control points draw it, which may already
// be worse); empty otherwise.
std::string lossText(const BladeComparison& comparison, const OptimisationSettings& settings,
                     const bemt::TurbineSettings& turbine);

}  // namespace korvane::optimise
