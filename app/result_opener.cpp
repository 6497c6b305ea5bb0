#include "app/result_opener.h"

#include <wx/weakref.h>

#include "app/blade_exporter.h"
#include "app/compute_dialogs.h"
#include "app/design_takeover.h"
#include "app/kvp_project.h"
#include "bemt/BEMTTools.h"
#include "results/result_window_frame.h"
#include "results/result_window_list.h"
#include "results/window_analyze_airfoils.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"
#include "results/window_optimisation.h"
#include "results/window_power_curve.h"
#include "results/window_surface.h"

ResultOpener::ResultOpener(KvpProject& project, const ComputeDialogs& dialogs, DesignTakeover& takeover,
                           BladeExporter& exporter, std::function<void()> whenShown)
    : m_project(project),
      m_dialogs(dialogs),
      m_takeover(takeover),
      m_exporter(exporter),
      m_whenShown(std::move(whenShown)),
      m_windows(std::make_shared<ResultWindowList>()) {}

ResultOpener::~ResultOpener() = default;

void ResultOpener::analyzer(const std::vector<bemt::AirfoilSegment>& segments,
                            const std::vector<bemt::ChordPoint>& chord, const bemt::ComputeSettings& compute,
                            const bemt::OperatingConditions& segmentsConditions,
                            const std::optional<bemt::StallDelayInput>& stallDelay, std::shared_ptr<const bool> inUse) {
    auto* window = new AnalyzeAirfoilsWindow(m_windows, segments, chord, compute, segmentsConditions,
                                             m_project.fileManager(), ++m_analyzerCounter, stallDelay);
    window->setSegmentsInUse(std::move(inUse));
    showResultWindow(window);
}

void ResultOpener::operatingPoint(std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                                  const bemt::OperatingConditions& segmentsConditions) {
    const auto note = bemt::betzLimitNote(points);
    auto* window = new OpResultWindow(m_windows, std::move(points), with, segmentsConditions, m_project.fileManager(),
                                      ++m_opCounter);
    bindTwistTransfer(window);
    showResultWindow(window);
    m_whenShown();
    noteBetzLimit(window, note);
}

void ResultOpener::design(std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                          const bemt::OperatingConditions& segmentsConditions) {
    const auto note = bemt::betzLimitNote(points);
    auto* window = new DesignResultWindow(m_windows, std::move(points), with, segmentsConditions,
                                          m_project.fileManager(), ++m_designCounter);
    bindTwistTransfer(window);
    const wxWeakRef<DesignTakeover> takeover(&m_takeover);
    window->Bind(kvnEVT_TRANSFER_DESIGNED_TWIST, [takeover](kvnTwistEvent& event) {
        if (takeover) takeover->designedTwist(event.x(), event.twist());
    });
    window->Bind(kvnEVT_TRANSFER_DESIGNED_CHORD, [takeover](kvnChordEvent& event) {
        if (takeover) takeover->designedChord(event.x(), event.chord());
    });
    window->setBladeExporter([exporter = wxWeakRef<BladeExporter>(&m_exporter), window](
                                 const std::vector<double>& x, const std::vector<double>& chord,
                                 const std::vector<double>& twist) {
        if (exporter) exporter->exportDesigned(window, x, chord, twist);
    });
    showResultWindow(window);
    m_whenShown();
    noteBetzLimit(window, note);
}

void ResultOpener::characteristics(std::vector<bemt::pitchControlledCharacteristicElement> steps,
                                   bemt::InputDataSet rotor, const ComputedWith& with,
                                   const bemt::OperatingConditions& segmentsConditions) {
    const auto note = bemt::betzLimitNote(steps);
    auto* window = new CharResultWindow(m_windows, std::move(steps), std::move(rotor), with, segmentsConditions,
                                        m_project.fileManager(), ++m_charCounter);
    bindTwistTransfer(window);
    showResultWindow(window);
    m_whenShown();
    noteBetzLimit(window, note);
}

void ResultOpener::powerCurve(bemt::PowerCurve curve, std::vector<bemt::AnnualEnergy> energy,
                              const bemt::TurbineSettings& turbine, const ComputedWith& with) {
    auto* window = new PowerCurveWindow(m_windows, std::move(curve), turbine, std::move(energy), with,
                                        m_project.fileManager(), ++m_powerCurveCounter);
    showResultWindow(window);
    m_whenShown();
}

void ResultOpener::surface(bemt::PerformanceSurface surface, const ComputedWith& with, const std::string& rotor) {
    auto* window = new SurfaceWindow(m_windows, std::move(surface), with, m_project.fileManager(),
                                     ++m_surfaceCounter, rotor);
    showResultWindow(window);
    m_whenShown();
}

void ResultOpener::optimisation(OptimisationOutcome outcome, const ComputedWith& with) {
    const auto use = [project = &m_project, takeover = wxWeakRef<DesignTakeover>(&m_takeover),
                      settings = outcome.settings, turbine = outcome.turbine, result = outcome.result] {
        if (takeover)
            takeover->optimisedBlade(
                korvane::optimise::withOptimisedBlade(project->state(), settings, turbine, result));
    };
    auto* window = new OptimisationWindow(m_windows, std::move(outcome), with, m_project.fileManager(),
                                          ++m_optimisationCounter, use);
    showResultWindow(window);
    m_whenShown();
}

void ResultOpener::noteBetzLimit(wxWindow* window, const std::optional<std::string>& note) const {
    if (note) m_dialogs.error(window, wxString::FromUTF8(*note), "Result not converged");
}

void ResultOpener::bindTwistTransfer(wxWindow* window) const {
    window->Bind(kvnEVT_OPTIMIZE_TWIST, [takeover = wxWeakRef<DesignTakeover>(&m_takeover)](kvnTwistEvent& event) {
        if (takeover) takeover->twist(event.x(), event.twist());
    });
}

void ResultOpener::followProjectName() { m_windows->setProjectName(m_project.projectFilename()); }

void ResultOpener::resetCounters() {
    m_analyzerCounter = 0;
    m_opCounter = 0;
    m_designCounter = 0;
    m_charCounter = 0;
    m_powerCurveCounter = 0;
    m_surfaceCounter = 0;
    m_optimisationCounter = 0;
}

void ResultOpener::closeAll() { m_windows->closeAll(); }
