#pragma once
// One blade evaluation of an optimisation: the objective (the annual energy of one wind
// climate under the turbine's control, as the power curve computes it, or Cp at the
// design point) and the loads its limits bound. An evaluator owns its element solver and
// its copy of the polars, so that evaluators on separate threads never share state; an
// evaluation depends on the blade alone, whichever evaluator computes it.

#include <cstddef>
#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"
#include "optimise/BladeVariables.h"
#include "project/optimisation_settings.h"
#include "turbine/TurbineSettings.h"

namespace korvane::optimise {

// What an evaluation gives. Each load a limit bounds has its field here and its row in
// BladeOptimiser's limits.
struct BladeResponse {
    double objective = 0.0;       // annual energy, Wh, or Cp
    double maxThrust = 0.0;       // N: over the power curve, or at the design point for Cp
    double maxRootMoment = 0.0;   // N m: root flapwise bending moment of one blade, largest over the
                                  // azimuth and the power curve (or at the design point for Cp)
    bool converged = true;    // every operating point converged
    double tsrTarget = 0.0;   // the controller's target tip speed ratio (the design point's for Cp)
};

// What every evaluator of one optimisation shares, read only.
struct BladeProblem {
    bemt::InputDataSet data;          // the project's rotor and polars
    bemt::TurbineSettings turbine;
    OptimisationObjective objective = OptimisationObjective::AnnualEnergy;
    std::size_t climate = 0;          // index into turbine.wind_climates
};

class BladeEvaluator {
public:
    // segments: this evaluator's own polars.
    BladeEvaluator(const BladeProblem& problem, std::vector<bemt::AirfoilSegment> segments);

    // The blade of the scaled variables x. check is called during the work and may throw
    // to stop it.
    BladeResponse evaluate(const BladeVariables& variables, const double* x, const bemt::ProgressCallback& check);

    // A blade given by its points, at tip speed ratio tsr (NaN: the turbine's own choice).
    BladeResponse evaluate(const std::vector<bemt::ChordPoint>& chord, const std::vector<bemt::TwistPoint>& twist,
                           double tsr, const bemt::ProgressCallback& check);

    // The blade of maximal power at the design point with the relative chord limited to
    // maxRelativeChord (the compute column's blade design).
    bemt::DesignedBlade design(double maxRelativeChord, const bemt::ProgressCallback& check);

private:
    BladeResponse respond(double tsr, const bemt::ProgressCallback& check);

    const BladeProblem& m_problem;
    bemt::BEMTTools m_tools;
    bemt::InputDataSet m_data;
    std::vector<double> m_speeds;   // of the power curve, sized once
    std::vector<double> m_powers;
};

}  // namespace korvane::optimise
