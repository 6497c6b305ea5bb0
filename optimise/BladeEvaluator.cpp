#include "optimise/BladeEvaluator.h"

#include <algorithm>
#include <cmath>

#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"

namespace korvane::optimise {

using namespace bemt;

BladeEvaluator::BladeEvaluator(const BladeProblem& problem, std::vector<AirfoilSegment> segments)
    : m_problem(problem), m_tools(problem.data.settings.solver), m_data(problem.data) {
    // Evaluations run side by side on their own threads; each one runs on one.
    m_tools.setThreads(1);
    m_data.segments = std::move(segments);
    const int winds = Turbine::windSpeeds(problem.turbine).count();
    m_speeds.reserve(winds);
    m_powers.reserve(winds);
}

BladeResponse BladeEvaluator::evaluate(const BladeVariables& variables, const double* x, const ProgressCallback& check) {
    double tsr = 0.0;
    variables.apply(x, m_data.chordPoints, m_data.twistPoints, tsr);
    return respond(tsr, check);
}

BladeResponse BladeEvaluator::evaluate(const std::vector<ChordPoint>& chord, const std::vector<TwistPoint>& twist,
                                       double tsr, const ProgressCallback& check) {
    m_data.chordPoints = chord;
    m_data.twistPoints = twist;
    return respond(tsr, check);
}

DesignedBlade BladeEvaluator::design(double maxRelativeChord, const ProgressCallback& check) {
    return m_tools.designBlade(m_data, check, maxRelativeChord);
}

BladeResponse BladeEvaluator::respond(double tsr, const ProgressCallback& check) {
    BladeResponse response;
    if (m_problem.objective == OptimisationObjective::PowerCoefficient) {
        OperatingConditions& c = m_data.conditions;
        if (!std::isnan(tsr)) {
            c.Om = tsr * c.V0 / c.R;
            c.TSR = tipSpeedRatioOf(c);
        }
        const OperatingPoint op = m_tools.analyzeOp(m_data, check, 0.0);
        response.objective = op.Cp;
        response.maxThrust = op.T;
        response.maxRootMoment = op.rootMomentMax;
        response.converged = op.converged;
        response.tsrTarget = c.TSR;
        return response;
    }
    TurbineSettings turbine = m_problem.turbine;
    if (!std::isnan(tsr)) turbine.tsr_target = tsr;
    const PowerCurve curve = TurbineController(m_tools, m_data, turbine).powerCurve(check);
    response.tsrTarget = curve.tsrTarget;
    m_speeds.clear();
    m_powers.clear();
    for (const PowerCurvePoint& point : curve.points) {
        m_speeds.push_back(point.V0);
        m_powers.push_back(point.P);
        if (!point.computed) continue;
        response.maxThrust = std::max(response.maxThrust, point.T);
        response.maxRootMoment = std::max(response.maxRootMoment, point.M_root_max);
        response.converged = response.converged && point.converged;
    }
    response.objective = AnnualEnergy::compute(m_speeds, m_powers, turbine.wind_step,
                                               turbine.wind_climates[m_problem.climate], turbine.availability,
                                               turbine.rated_power)
                             .energy;
    return response;
}

}  // namespace korvane::optimise
