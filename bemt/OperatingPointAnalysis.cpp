#include "bemt/OperatingPointAnalysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/Compute.h"
#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/PositionPolar.h"
#include "bemt/ProfileParamsStallDelay.h"
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
    : m_settings(data.settings),
      m_chord(chordSpline(data)),
      m_twist(twistSpline(data)),
      m_model(data),
      m_blendAirfoils(data.blendAirfoils) {
    if (!data.stallDelay || data.segments.empty()) return;
    const int n = m_settings.n_elements;
    std::vector<AirfoilSegment> segments = data.segments;  // the same polars
    m_stallDelay.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const double x = Common::i2x_rel(i, n, data.conditions);
        m_stallDelay.push_back(PositionPolar(segments, m_chord, data.conditions, data.stallDelay, x, m_blendAirfoils).correction());
    }
}

template <bool kSector>
OperatingPointAnalysis::BladeTotals OperatingPointAnalysis::solveBlade(
    Solver& solver, Workspace& workspace, const OperatingConditions& conditions, double pitch, const double* psi,
    std::vector<Solution>* plain, std::vector<SectorElement>* sector, const std::function<void(int)>& elementDone) const {
    const SolverSettings& settings = m_settings;
    const int n = settings.n_elements;
    std::vector<AirfoilSegment>& segments = workspace.segments;
    if (workspace.bestAngles.size() != static_cast<std::size_t>(n)) workspace.bestAngles.assign(n, std::nullopt);

    Compute compute(&solver, settings, conditions);
    // Where the in-plane velocity nearly vanishes (|Vy| < Vx, the root of a yawed rotor)
    // the tangential momentum balance degenerates (a' runs to -1); an element that does
    // not converge there is solved without tangential induction.
    SolverSettings axialSettings = settings;
    axialSettings.wake_rotation = false;
    Compute axialOnly(&solver, axialSettings, conditions);
    BladeTotals totals;

    ToolsAirfoil::setupReynolds(&segments, &m_chord, conditions);
    ProfileParamsCombined combined;
    combined.setAirfoilBlending(m_blendAirfoils);
    ProfileParamsStallDelay corrected;

    const double refineTolerance = 10.0 * settings.accuracy;
    const int refineLimit = settings.max_iterations / 10;
    int finished = 0;
    // The inflow of a sector's element, and its conditions.
    ElementInflow inflow;
    OperatingConditions local;

    // Adds a completed element to the totals; the next element starts from chained.
    auto finish = [&](const Solution& s, const Solution& chained) {
        if (s.converged) {
            totals.T += s.dT;
            totals.P += s.dP;
            compute.usePrevSolution(chained);
        } else {
            totals.converged = false;
            compute.usePrevSolution(false);
        }
        if (s.extrapolated) totals.extrapolated = true;
        elementDone(++finished);
    };

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

        // A sector's element is solved as a plain rotor's in the wind Vx turning at Vy / r.
        const OperatingConditions* seen = &conditions;
        if constexpr (kSector) {
            inflow = m_model.inflow(i, *psi, conditions.V0, conditions.Om);
            local = SectorModel::localConditions(conditions, inflow, r);
            seen = &local;
            compute.setConditions(local);
        }
        const bool throughFlow = !kSector || inflow.Vx > 0.0;
        Compute* solving = &compute;
        Solution s = throughFlow ? compute.BEMSolve(r, c, theta, polar)
                                 : SectorModel::withoutInduction({r, c, theta, polar}, inflow);
        if (kSector && throughFlow && !s.converged && std::fabs(inflow.Vy) < inflow.Vx && settings.wake_rotation) {
            solving = &axialOnly;
            axialOnly.setConditions(local);
            s = axialOnly.BEMSolve(r, c, theta, polar);
        }
        // The polars may depend on the Reynolds number, which depends on the induction:
        // iterate until the induction settles. Only the last solve is completed with the
        // best-ratio angle, power and thrust, since the polar state it sees is the final one.
        if (throughFlow && s.converged && (firstVaries || secondVaries)) {
            for (int k = 1;; ++k) {
                const double re = Common::reynolds(x, c_rel, s.a, s.a_, *seen);
                if (firstVaries) first->setReynolds(re);
                if (secondVaries) second->setReynolds(re);
                // A small change of Reynolds number moves the solution a little: start
                // from the element's own last state rather than from scratch.
                solving->usePrevSolution(s);
                const Solution next = solving->BEMSolve(r, c, theta, polar);
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

        if constexpr (!kSector) {
            compute.completeElement(s, c, alphaOpt);
            if (plain) plain->push_back(s);
            // Np dr = dT / B: the division by B once the blade is summed.
            if (s.converged) totals.rootMoment += s.dT * (r - conditions.Rh);
            finish(s, s);
            return s;
        } else {
            // The neighbour starts from the element's solved state, before any skew.
            Solution solved = s;
            s.alphaOpt = alphaOpt;
            m_model.skew(s, i, *psi, inflow, *polar);
            const SectorElement element = m_model.loads(i, s, inflow, conditions);
            if (sector) sector->push_back(element);
            if (element.solution.converged)
                totals.rootMoment += element.Np * (r - conditions.Rh) * m_model.shape(i).ds;
            solved.converged = element.solution.converged;
            finish(element.solution, solved);
            return solved;
        }
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
    return totals;
}

namespace {

// No rotor extracts more than the Betz limit: such a result comes from impossible
// airfoil data (a negative drag coefficient, say) and must not pass as converged. Nor is
// a result that is not a number (V0 so small that the wind's power is 0).
void checkCoefficients(OperatingPoint& result) {
    if (result.Cp > kBetzLimit) result.converged = false;
    if (!(std::isfinite(result.Cp) && std::isfinite(result.Ct))) result.converged = false;
}

}  // namespace

OperatingPoint OperatingPointAnalysis::analyze(Solver& solver, Workspace& workspace,
                                               const OperatingConditions& conditions, double pitch,
                                               const std::function<void(int)>& elementDone,
                                               ElementDetail detail) const {
    const bool keepElements = detail == ElementDetail::Kept;
    if (!m_model.plain()) {
        std::vector<RotorSector> sectors;
        sectors.reserve(static_cast<std::size_t>(m_model.sectors()));
        int before = 0;
        for (int k = 0; k < m_model.sectors(); ++k) {
            sectors.push_back(analyzeSector(solver, workspace, conditions, pitch, k,
                                            [&](int finished) { elementDone(before + finished); }, detail));
            before += elements();
        }
        return combine(conditions, std::move(sectors), detail);
    }

    const int n = m_settings.n_elements;
    OperatingPoint result;
    result.conditions = conditions;
    if (keepElements) result.solutions.reserve(n);
    const BladeTotals totals = solveBlade<false>(solver, workspace, conditions, pitch, nullptr,
                                          keepElements ? &result.solutions : nullptr, nullptr, elementDone);
    result.T = totals.T;
    result.P = totals.P;
    result.rootMoment = totals.rootMoment / conditions.B;
    result.rootMomentMax = result.rootMoment;
    result.converged = totals.converged;
    result.extrapolated = totals.extrapolated;

    std::sort(result.solutions.begin(), result.solutions.end(),
              [](const Solution& a, const Solution& b) { return a.r < b.r; });
    result.dr = conditions.L / n;
    result.Rp = conditions.R;
    result.Ct = result.T / Common::Twind(conditions);
    result.Cp = result.P / Common::Pwind(conditions);
    checkCoefficients(result);
    return result;
}

RotorSector OperatingPointAnalysis::analyzeSector(Solver& solver, Workspace& workspace,
                                                  const OperatingConditions& conditions, double pitch, int k,
                                                  const std::function<void(int)>& elementDone,
                                                  ElementDetail detail) const {
    RotorSector sector;
    sector.azimuth = m_model.azimuth(k);
    const bool keepElements = detail == ElementDetail::Kept;
    if (keepElements) sector.elements.reserve(static_cast<std::size_t>(elements()));
    const BladeTotals totals = solveBlade<true>(solver, workspace, conditions, pitch, &sector.azimuth, nullptr,
                                          keepElements ? &sector.elements : nullptr, elementDone);
    sector.T = totals.T;
    sector.P = totals.P;
    sector.rootMoment = totals.rootMoment;
    sector.converged = totals.converged;
    sector.extrapolated = totals.extrapolated;
    std::sort(sector.elements.begin(), sector.elements.end(),
              [](const SectorElement& a, const SectorElement& b) { return a.solution.r < b.solution.r; });
    return sector;
}

OperatingPoint OperatingPointAnalysis::combine(const OperatingConditions& conditions,
                                               std::vector<RotorSector> sectors, ElementDetail detail) const {
    OperatingPoint result;
    result.conditions = conditions;
    result.dr = conditions.L / m_settings.n_elements;
    if (sectors.empty()) return result;
    const double count = static_cast<double>(sectors.size());
    result.rootMomentMax = sectors.front().rootMoment;
    for (const RotorSector& sector : sectors) {
        result.T += sector.T;
        result.P += sector.P;
        result.rootMoment += sector.rootMoment;
        result.rootMomentMax = std::max(result.rootMomentMax, sector.rootMoment);
        result.converged = result.converged && sector.converged;
        result.extrapolated = result.extrapolated || sector.extrapolated;
    }
    result.T /= count;
    result.P /= count;
    result.rootMoment /= count;

    const double Rp = m_model.sweptRadius();
    result.Rp = Rp;
    const double U = conditions.V0;
    const double discPressure = 0.5 * conditions.rho * std::numbers::pi * Rp * Rp * U * U;
    result.Ct = result.T / discPressure;
    result.Cp = result.P / (discPressure * U);
    checkCoefficients(result);

    if (detail == ElementDetail::Kept) {
        // The distributions over the blade: each element's mean over the sectors.
        const std::size_t n = sectors.front().elements.size();
        result.solutions.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            Solution& mean = result.solutions[i];
            mean = sectors.front().elements[i].solution;
            for (double Solution::*value : {&Solution::phi, &Solution::alpha, &Solution::a, &Solution::a_,
                                            &Solution::cl, &Solution::cd, &Solution::F, &Solution::dP, &Solution::dT}) {
                double sum = 0.0;
                for (const RotorSector& sector : sectors) sum += sector.elements[i].solution.*value;
                mean.*value = sum / count;
            }
            for (const RotorSector& sector : sectors) {
                mean.converged = mean.converged && sector.elements[i].solution.converged;
                mean.extrapolated = mean.extrapolated || sector.elements[i].solution.extrapolated;
            }
        }
        if (sectors.size() > 1) result.sectors = std::move(sectors);
    }
    return result;
}

}  // namespace bemt
