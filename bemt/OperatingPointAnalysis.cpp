#include "bemt/OperatingPointAnalysis.h"

#include <algorithm>
#include <cmath>

#include "bemt/Common.h"
#include "bemt/Compute.h"
#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/PositionPolar.h"
#include "bemt/ProfileParamsStallDelay.h"
#include "bemt/ToolsAirfoil.h"

namespace bemt {

namespace {

spline chordSpline(const InputDataSet& data) {
    const auto [x, c] = Common::splitChordPoints(data.chordPoints);
    return spline(x, c, spline::linear);
}

spline twistSpline(const InputDataSet& data) {
    const auto [x, twist] = Common::splitTwistPoints(data.twistPoints);
    return spline(x, twist, spline::cubic);
}

}  // namespace

OperatingPointAnalysis::OperatingPointAnalysis(const InputDataSet& data)
    : m_settings(data.settings), m_chord(chordSpline(data)), m_twist(twistSpline(data)) {
    if (!data.stallDelay || data.segments.empty()) return;
    const int n = m_settings.n_elements;
    std::vector<AirfoilSegment> segments = data.segments;  // the same polars
    m_stallDelay.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const double x = Common::i2x_rel(i, n, data.conditions);
        m_stallDelay.push_back(PositionPolar(segments, m_chord, data.conditions, data.stallDelay, x).correction());
    }
}

OperatingPoint OperatingPointAnalysis::analyze(Solver& solver, Workspace& workspace,
                                               const OperatingConditions& conditions, double pitch,
                                               const std::function<void(int)>& elementDone,
                                               ElementDetail detail) const {
    const SolverSettings& settings = m_settings;
    const int n = settings.n_elements;
    std::vector<AirfoilSegment>& segments = workspace.segments;
    if (workspace.bestAngles.size() != static_cast<std::size_t>(n)) workspace.bestAngles.assign(n, std::nullopt);

    Compute compute(&solver, settings, conditions);
    OperatingPoint result;
    result.conditions = conditions;
    const bool keepElements = detail == ElementDetail::Kept;
    if (keepElements) result.solutions.reserve(n);

    ToolsAirfoil::setupReynolds(&segments, &m_chord, conditions);
    ProfileParamsCombined combined;
    ProfileParamsStallDelay corrected;

    const double refineTolerance = 10.0 * settings.accuracy;
    const int refineLimit = settings.max_iterations / 10;
    int finished = 0;

    auto solveElement = [&](int i, const AirfoilSegment& segment) -> Solution {
        const double x = Common::i2x_rel(i, n, conditions);
        const double c_rel = m_chord(x);
        const double c = c_rel * conditions.R;
        const double theta = Common::deg2rad(m_twist(x) + pitch);
        const double r = x * conditions.R;
        ProfileParams* first = segment.first.get();
        ProfileParams* second = segment.second.get();
        combined.setProfiles(first, second);
        combined.setRatio(ToolsAirfoil::positionInSegment(x, segment));
        const bool firstVaries = first->hasReynoldsRange();
        const bool secondVaries = second->hasReynoldsRange();

        ProfileParams* polar = &combined;
        if (!m_stallDelay.empty() && m_stallDelay[i].active()) {
            corrected.set(&combined, m_stallDelay[i]);
            polar = &corrected;
        }

        Solution s = compute.BEMSolve(r, c, theta, polar);
        // The polars may depend on the Reynolds number, which depends on the induction:
        // iterate until the induction settles. Only the last solve is completed with the
        // best-ratio angle, power and thrust, since the polar state it sees is the final one.
        if (s.converged && (firstVaries || secondVaries)) {
            for (int k = 1;; ++k) {
                const double re = Common::reynolds(x, c_rel, s.a, s.a_, conditions);
                if (firstVaries) first->setReynolds(re);
                if (secondVaries) second->setReynolds(re);
                // A small change of Reynolds number moves the solution a little: start
                // from the element's own last state rather than from scratch.
                compute.usePrevSolution(s);
                const Solution next = compute.BEMSolve(r, c, theta, polar);
                const bool settled = std::fabs(s.a - next.a) <= refineTolerance
                                     && std::fabs(s.a_ - next.a_) <= refineTolerance;
                s = next;
                if (!s.converged || settled || k >= refineLimit) break;
            }
        }
        // The best-ratio angle depends on the polars' state only: it is searched once
        // per element where that state does not follow the Reynolds number.
        std::optional<double>& cached = workspace.bestAngles[i];
        const double alphaOpt = cached && !firstVaries && !secondVaries ? *cached : compute.optAlpha(polar);
        if (!firstVaries && !secondVaries) cached = alphaOpt;
        compute.completeElement(s, c, alphaOpt);

        if (keepElements) result.solutions.push_back(s);
        if (s.converged) {
            result.T += s.dT;
            result.P += s.dP;
            compute.usePrevSolution(s);
        } else {
            result.converged = false;
            compute.usePrevSolution(false);
        }
        if (s.extrapolated) result.extrapolated = true;
        elementDone(++finished);
        return s;
    };

    // Solve from the middle of the blade outwards, then from the middle inwards, each
    // element starting from its converged neighbour.
    compute.usePrevSolution(false);
    const int middle = n / 2;
    AirfoilSegment* segment = ToolsAirfoil::findSegment(Common::i2x_rel(middle, n, conditions), &segments);
    const Solution middleSolution = solveElement(middle, *segment);

    AirfoilSegment* const firstSegment = &segments.front();
    AirfoilSegment* const lastSegment = &segments.back();
    for (int i = middle + 1; i < n; ++i) {
        const double x = Common::i2x_rel(i, n, conditions);
        while (segment != lastSegment && ToolsAirfoil::positionInSegment(x, *segment) > 1.0) ++segment;
        solveElement(i, *segment);
    }
    if (middleSolution.converged) compute.usePrevSolution(middleSolution);
    for (int i = middle - 1; i >= 0; --i) {
        const double x = Common::i2x_rel(i, n, conditions);
        while (segment != firstSegment && ToolsAirfoil::positionInSegment(x, *segment) < 0.0) --segment;
        solveElement(i, *segment);
    }

    std::sort(result.solutions.begin(), result.solutions.end(),
              [](const Solution& a, const Solution& b) { return a.r < b.r; });
    result.dr = conditions.L / n;
    result.Ct = result.T / Common::Twind(conditions);
    result.Cp = result.P / Common::Pwind(conditions);
    // No rotor extracts more than the Betz limit: such a result comes from impossible
    // airfoil data (a negative drag coefficient, say) and must not pass as converged.
    if (result.Cp > kBetzLimit) result.converged = false;
    // Nor is a result that is not a number (V0 so small that the wind's power is 0).
    if (!(std::isfinite(result.Cp) && std::isfinite(result.Ct))) result.converged = false;
    return result;
}

}  // namespace bemt
