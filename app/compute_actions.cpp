#include "app/compute_actions.h"

#include <wx/filename.h>

#include <algorithm>
#include <cmath>

#include "app/computation_runner.h"
#include "app/compute_dialogs.h"
#include "app/compute_rules.h"
#include "app/kvp_project.h"
#include "app/result_opener.h"
#include "bemt/PolarCopies.h"
#include "optimise/OptimisedBlade.h"
#include "results/window_optimisation.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

ComputeActions::ComputeActions(wxWindow* parent, KvpProject& project, ComputationRunner& runner,
                               ResultOpener& opener, const ComputeDialogs& dialogs)
    : m_parent(parent),
      m_project(project),
      m_runner(runner),
      m_opener(opener),
      m_dialogs(dialogs),
      m_tools(project.solverSettings().solver) {}

void ComputeActions::analyzeAirfoils() {
    m_runner.setBusy(false);
    m_opener.analyzer(m_runner.airfoilSegments(), m_project.chordPoints(), m_project.computeSettings(),
                      m_runner.segmentsConditions(), korvane::stallDelayInput(m_project.state()),
                      m_runner.busyFlag());
}

bool ComputeActions::pitchAccepted(const bemt::ComputeSettings& settings) {
    const auto refusal = compute_rules::pitchRefusal(settings);
    if (!refusal) return true;
    m_dialogs.error(m_parent, wxString::FromUTF8(refusal->message), wxString::FromUTF8(refusal->caption));
    m_runner.finish();
    return false;
}

bemt::InputDataSet ComputeActions::inputData() const {
    bemt::InputDataSet data;
    data.settings = m_project.solverSettings();
    data.conditions = m_project.operatingConditions();
    data.segments = m_runner.airfoilSegments();
    data.chordPoints = m_project.chordPoints();
    data.twistPoints = m_project.twistPoints();
    data.rotor = m_project.state().rotor;
    data.prebendPoints = m_project.state().prebendPoints;
    data.stallDelay = korvane::stallDelayInput(m_project.state());
    data.blendAirfoils = m_project.computeSettings().enable_interpolation;
    return data;
}

namespace {

// What a result of data computed with compute states beside it.
ComputedWith computedWith(const bemt::InputDataSet& data, const bemt::ComputeSettings& compute) {
    return ComputedWith{compute, data.settings, data.conditions, data.rotor, data.prebendPoints, data.stallDelay};
}

}  // namespace

// The three pitch-controlled computations differ only in their sweep and result window:
// sweep(data, compute, progress) runs on the worker thread, open(result, with) on the
// GUI thread.
template <class Sweep, class Open>
void ComputeActions::runPitchComputation(Sweep sweep, Open open, bool design) {
    const bemt::ComputeSettings compute = m_project.computeSettings();
    if (!pitchAccepted(compute)) return;
    m_tools.setSolver(m_project.solverSettings().solver);
    const bemt::InputDataSet data = inputData();
    ComputedWith with = computedWith(data, compute);
    if (design) {
        // The blade design is the plain rotor's, and so is the operating point of the designed blade.
        with.designedForPlainRotor = hasRotorShapeOrInflow(data.rotor, data.prebendPoints);
        with.rotor = bemt::RotorGeometry{};
        with.prebend.clear();
    }
    m_runner.run(
        [data, compute, sweep](const bemt::ProgressCallback& progress) { return sweep(data, compute, progress); },
        [with, open](auto result) { open(std::move(result), with); });
}

void ComputeActions::operatingPoint() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            return m_tools.pitchSweep(data, bemt::BEMTTools::pitchRange(compute), progress);
        },
        [this](auto points, const ResultOpener::ComputedWith& with) {
            m_opener.operatingPoint(std::move(points), with, m_runner.segmentsConditions());
        });
}

void ComputeActions::design() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            return m_tools.designSweep(data, bemt::BEMTTools::pitchRange(compute), compute.design_c_limit, progress)
                .points;
        },
        [this](auto points, const ResultOpener::ComputedWith& with) {
            m_opener.design(std::move(points), with, m_runner.segmentsConditions());
        },
        true);
}

namespace {

// The characteristics keep totals only; the rotor they were computed for comes with
// them, its polars copied, so that a click in their window recomputes the elements of
// one step even while another computation runs.
struct Characteristics {
    std::vector<bemt::pitchControlledCharacteristicElement> steps;
    bemt::InputDataSet rotor;
};

}  // namespace

void ComputeActions::characteristics() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            Characteristics result{m_tools.characteristicsSweep(data, compute.range_type,
                                                                bemt::BEMTTools::characteristicsRange(compute),
                                                                bemt::BEMTTools::pitchRange(compute), progress),
                                   data};
            if (auto copies = bemt::PolarCopies::copySegments(data.segments))
                result.rotor.segments = std::move(*copies);
            return result;
        },
        [this](Characteristics result, const ResultOpener::ComputedWith& with) {
            m_opener.characteristics(std::move(result.steps), std::move(result.rotor), with,
                                     m_runner.segmentsConditions());
        });
}

void ComputeActions::powerCurve() {
    const bemt::TurbineSettings turbine = m_project.turbineSettings();
    const bemt::ComputeSettings compute = m_project.computeSettings();
    m_tools.setSolver(m_project.solverSettings().solver);
    const bemt::InputDataSet data = inputData();
    struct Curve {
        bemt::PowerCurve curve;
        std::vector<bemt::AnnualEnergy> energy;
    };
    m_runner.run(
        [this, data, turbine](const bemt::ProgressCallback& progress) {
            auto curve = bemt::TurbineController(m_tools, data, turbine).powerCurve(progress);
            auto energy = bemt::AnnualEnergy::ofCurve(curve, turbine);
            return Curve{std::move(curve), std::move(energy)};
        },
        [this, turbine, with = computedWith(data, compute)](Curve result) {
            m_opener.powerCurve(std::move(result.curve), std::move(result.energy), turbine, with);
        });
}

void ComputeActions::surface(const SurfaceGrid& grid) {
    const bemt::ComputeSettings compute = m_project.computeSettings();
    m_tools.setSolver(m_project.solverSettings().solver);
    const bemt::InputDataSet data = inputData();
    const std::string rotor = wxFileName(m_project.projectFilename()).GetName().utf8_string();
    m_runner.run(
        [this, data, grid](const bemt::ProgressCallback& progress) {
            return bemt::PerformanceSurface::compute(m_tools, data, grid.wind, grid.tsr, grid.pitch, progress);
        },
        [this, with = computedWith(data, compute), rotor](
            bemt::PerformanceSurface surface) { m_opener.surface(std::move(surface), with, rotor); });
}

namespace {

// Cp over the tip speed ratio from 1 to twice the design's, in steps of about 0.25.
std::vector<double> cpCurveTsr(double design) {
    const double last = std::max(4.0, 2.0 * design);
    const int steps = static_cast<int>(std::ceil((last - 1.0) / 0.25));
    std::vector<double> tsr;
    for (int i = 0; i <= steps; ++i) tsr.push_back(1.0 + (last - 1.0) * i / steps);
    return tsr;
}

}  // namespace

void ComputeActions::optimise() {
    const korvane::ProjectData project = m_project.state();
    OptimisationOutcome start;
    start.settings = project.optimisation.value_or(korvane::OptimisationSettings{});
    start.turbine = m_project.turbineSettings();
    start.chordBefore = project.chordPoints;
    start.twistBefore = project.twistPoints;
    const bemt::ComputeSettings compute = m_project.computeSettings();
    m_tools.setSolver(m_project.solverSettings().solver);
    const bemt::InputDataSet data = inputData();
    m_runner.run(
        [this, data, start = std::move(start)](const bemt::ProgressCallback& progress) {
            namespace opt = korvane::optimise;
            OptimisationOutcome outcome = start;
            const auto objective = outcome.settings.objective;
            outcome.result = opt::optimiseBlade(data, outcome.turbine, outcome.settings, m_tools.threads(),
                                                [&](const opt::OptimisationProgress& p) {
                                                    progress(100 * p.evaluations / std::max(1, p.budget),
                                                             opt::progressText(p, objective));
                                                });
            // A stop is heard once: the comparison of the blade kept is computed after it.
            const bemt::ProgressCallback comparing = [&](int percent, const std::string&) {
                progress(percent, "Comparing the optimised blade with the project's.");
            };
            outcome.comparison = opt::compareBlades(m_tools, data, outcome.turbine, outcome.settings, outcome.result,
                                                    comparing);
            // The pitch the objective was computed at.
            const double pitch =
                objective == korvane::OptimisationObjective::AnnualEnergy ? outcome.turbine.fine_pitch : 0.0;
            const auto tsr = cpCurveTsr(outcome.comparison.after.curve.tsrTarget);
            outcome.cpBefore = opt::cpOverTsr(m_tools, data, pitch, tsr, comparing);
            bemt::InputDataSet after = data;
            after.chordPoints = outcome.result.chord;
            after.twistPoints = outcome.result.twist;
            outcome.cpAfter = opt::cpOverTsr(m_tools, after, pitch, tsr, comparing);
            return outcome;
        },
        [this, with = computedWith(data, compute)](OptimisationOutcome outcome) {
            m_opener.optimisation(std::move(outcome), with);
        });
}
