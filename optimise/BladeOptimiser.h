#pragma once
// The blade optimisation: from the project's blade (or the blade design), the most annual
// energy of one wind climate (or the largest Cp at the design point) over the chord and
// twist at control points and, on request, the controller's target tip speed ratio,
// within the limits of the settings.
//
// Method: SLSQP (NLopt) with forward-difference gradients, whose evaluations (a point and
// its neighbours) run side by side on every thread; where SLSQP fails (a gradient that
// does not describe the function, e.g. a power curve that changes region between two
// neighbours) or ends without a feasible blade, COBYLA goes on from the best blade found.
// Each evaluation depends on its blade alone, so the result does not depend on the
// number of threads. The search ends on the tolerance, on the evaluation budget, or on
// Stop (the progress callback throwing bemt::Aborted), and keeps the best feasible blade
// it has evaluated.

#include <functional>
#include <string>
#include <vector>

#include "bemt/Records.h"
#include "optimise/BladeEvaluator.h"
#include "project/optimisation_settings.h"
#include "turbine/TurbineSettings.h"

namespace korvane::optimise {

struct OptimisationProgress {
    int evaluations = 0;
    int budget = 0;
    int iteration = 0;
    double objective = 0.0;   // of the latest blade: Wh or Cp
    double violation = 0.0;   // its largest limit violation, relative
    const char* method = "";
};
// Called after every blade the optimiser asks for, and during evaluations; may throw
// bemt::Aborted to stop.
using OptimisationCallback = std::function<void(const OptimisationProgress&)>;

enum class OptimisationEnd {
    Converged,     // the objective changed less than the tolerance
    BudgetSpent,
    Stopped,       // by the user
    NoProgress,    // the methods could go no further (noise, round-off)
};

// One blade the optimiser asked for.
struct OptimisationRecord {
    int iteration = 0;
    int evaluations = 0;      // spent so far
    double objective = 0.0;   // Wh or Cp
    double maxThrust = 0.0;   // N
    double violation = 0.0;   // largest relative violation of a limit, 0 when none
    bool feasible = false;
};

struct OptimisationResult {
    OptimisationEnd end = OptimisationEnd::Converged;
    std::string method;                    // "SLSQP", "SLSQP, then COBYLA", "COBYLA"
    int evaluations = 0;
    bool feasible = false;                 // the blade meets every limit
    double violation = 0.0;                // else the share by which it exceeds the nearest
    std::vector<bemt::ChordPoint> chord;   // the best blade
    std::vector<bemt::TwistPoint> twist;
    double tsrTarget = 0.0;                // NaN unless varied
    BladeResponse start;                   // the project's blade, also with a designed start
    BladeResponse best;
    double thrustLimit = 0.0;              // N; NaN: none
    double rootMomentLimit = 0.0;          // N m; NaN: none
    std::vector<std::string> active;       // limits the best blade reaches
    std::vector<OptimisationRecord> history;
};

// "converged", "budget spent", "stopped", "no further progress".
std::string endName(OptimisationEnd end);

// input: the project's rotor, blade and polars, ready to compute; turbine: the settings
// the power curve uses. Throws a message for settings that cannot be optimised (a climate
// the turbine lacks, a root chord above the largest chord).
OptimisationResult optimiseBlade(const bemt::InputDataSet& input, const bemt::TurbineSettings& turbine,
                                 const OptimisationSettings& settings, int threads,
                                 const OptimisationCallback& progress);

}  // namespace korvane::optimise
