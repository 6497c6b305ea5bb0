#include "app/edit_compute.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/weakref.h>

#include <limits>

#include "app/blade_exporter.h"
#include "app/compute_rules.h"
#include "app/design_takeover.h"
#include "app/file_manager.h"
#include "app/kvp_project.h"
#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "bemt/MemoryBudget.h"
#include "bemt/PolarCopies.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ValueLimits.h"
#include "results/result_window_frame.h"
#include "results/result_window_list.h"
#include "results/window_analyze_airfoils.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"
#include "results/window_power_curve.h"
#include "results/window_surface.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace {

constexpr int kColumns = 5;

wxString fromCore(const std::string& text) { return wxString::FromUTF8(text); }

// Reads the number a field shows; false when it does not parse.
bool fieldValue(const wxTextCtrl* field, double& value) { return field && parseNumber(field->GetValue(), value); }

}  // namespace

EditCompute::EditCompute(wxWindow* parent, KvpProject* project, ProgressCallback progressCallback)
    : EditSection(parent, "Compute"),
      m_project(project),
      m_settings(project->computeSettings()),
      m_dialogs(ComputeDialogs::standard()),
      m_resultWindows(std::make_shared<ResultWindowList>()),
      m_tools(std::make_unique<bemt::BEMTTools>(project->solverSettings().solver)) {
    auto* grid = new wxGridBagSizer();
    const wxGBSpan fullRow(1, kColumns);

    m_interpolationBox = setupCheckbox(
        grid, 0, 0, "Enable neighbouring airfoils interpolation", &m_settings.enable_interpolation,
        "When enabled, neighbouring airfoil parameters (lift and drag coefficients) will be linearly interpolated "
        "prowiding smoother results.",
        fullRow);
    m_interpolationBox->Bind(wxEVT_CHECKBOX, &EditCompute::onInterpolationToggled, this);
    m_analyzeBtn = setupButton(grid, 1, 0, "Analyze airfoil data along the blade",
                               "Displays lift and drag coefficients vs angle of attack plots for any point (x/r) at "
                               "the blade.",
                               fullRow, wxEXPAND, [this] { analyzeAirfoils(); });
    setupDivider(grid, 2, kColumns);
    m_opBtn = setupButton(grid, 3, 0, "Compute design performance",
                          "Computes the operating point of the turbine for the given blade shape, airfoil data and "
                          "primary operating conditions. Several parameters along the blade are analyzed.",
                          fullRow, wxEXPAND, [this] { computeOperatingPoint(); });
    setupDivider(grid, 4, kColumns);
    m_chordLimitCtrl = setupInput(grid, 5, 0, "Max. designed relative chord", "[-]",
                                  "When designing the blade, it might be useful to limit the relative chord length "
                                  "(c/R) to eliminate falling into extreme states (i.e. for cylindrical profiles).",
                                  1, 2);
    // A limit of zero or below would design a blade without chord.
    m_chordLimitCtrl->SetValidator(
        InputNumberValidator<double>(&m_settings.design_c_limit, false, 0.0, 0.0,
                                     [](double v) { return bemt::Limits::chordLimit.contains(v); }));
    m_designBtn = setupButton(grid, 6, 0, "Compute optimal performance",
                              "Designs the blade shape to gain the maximal power from the turbine at design operating "
                              "conditions.",
                              fullRow, wxEXPAND, [this] { designBlade(); });
    setupDivider(grid, 7, kColumns);

    wxArrayString variables;
    variables.Add("Wind velocity");
    variables.Add("Tip speed ratio");
    m_variableChoice = setupChoice<bemt::ComputeRangeType>(
        grid, 8, 0, variables, &m_settings.range_type, {bemt::windVelocity, bemt::tipSpeedRatio},
        "Variable parameter",
        "Choose one variable parameter to analyze the turbine at different operating condtions. Wind speed is always "
        "variable in the background computations.",
        1, 4);
    m_minCtrl = setupInput(grid, 9, 0, "Min. value", "", "");
    m_maxCtrl = setupInput(grid, 9, 3, "Max. value", "", "");
    m_stepCtrl = setupInput(grid, 10, 0, "Step size", "", "");
    m_stepsCtrl = setupInput(grid, 10, 3, "Steps", "", "Cannot exceed 500 steps.");
    for (std::size_t i = 0; i < m_rangeLabels.size(); ++i)
        m_rangeLabels[i] = dynamic_cast<wxStaticText*>(grid->FindItemAtPosition(wxGBPosition(i < 2 ? 9 : 10, i == 1 ? 3 : 0))->GetWindow());
    setupRangeLogic();
    m_charBtn = setupButton(grid, 11, 0, "Compute turbine characteristics",
                            "Computes the turbine's power and thrust for the given wind velocities (tip speed ratios).",
                            fullRow, wxEXPAND, [this] { computeChar(); });
    setupDivider(grid, 12, kColumns);
    m_stopBtn = setupButton(grid, 13, 0, "Stop the computation", "Aborts current computation process.", fullRow,
                            wxEXPAND, [this] { stopComputation(); });
    m_stopBtn->Disable();

    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        saveValues();
        event.Skip();
    });
    ComputationRunner::Hooks hooks;
    hooks.progress = std::move(progressCallback);
    hooks.busyChanged = [this](bool busy) { enableActions(!busy); };
    hooks.failed = [this](const ComputationRunner::Failure& failure) { showFailure(failure); };
    hooks.preprocessOutdated = [this] { return m_dialogs.preprocessOutdated(this); };
    m_runner = std::make_unique<ComputationRunner>(*m_project, std::move(hooks));
    m_takeover = std::make_unique<DesignTakeover>(this, *m_project, m_dialogs);
    m_exporter = std::make_unique<BladeExporter>(this, *m_project, *m_runner, m_dialogs);
    // The program-wide blending follows the panel's flag from the start.
    m_settings.enable_interpolation ? bemt::ProfileParamsCombined::enableInterpolation()
                                    : bemt::ProfileParamsCombined::disableInterpolation();
}

EditCompute::~EditCompute() {
    // The runner ends its worker (which computes with m_tools) and drops what it still
    // sends, then the result windows close.
    m_runner.reset();
    m_resultWindows->closeAll();
}

void EditCompute::setupRangeLogic() {
    const auto value = [](const wxTextCtrl* field, double fallback) {
        double v = fallback;
        return fieldValue(field, v) ? v : fallback;
    };
    // A rule that reads another field passes while that field does not parse.
    m_minCtrl->SetValidator(InputNumberValidator<double>(&m_settings.ran_min, true, bemt::Limits::rangeValue.lowest, bemt::Limits::rangeValue.highest, [this, value](double v) {
        return v < value(m_maxCtrl, std::numeric_limits<double>::infinity());
    }));
    m_maxCtrl->SetValidator(InputNumberValidator<double>(&m_settings.ran_max, true, bemt::Limits::rangeValue.lowest, bemt::Limits::rangeValue.highest, [this, value](double v) {
        return v > value(m_minCtrl, -std::numeric_limits<double>::infinity());
    }));
    m_stepCtrl->SetValidator(
        InputNumberValidator<double>(&m_settings.ran_step, true, bemt::Limits::rangeStep.lowest, bemt::Limits::rangeStep.highest, [this](double v) {
            double min = 0.0, max = 0.0;
            if (!fieldValue(m_minCtrl, min) || !fieldValue(m_maxCtrl, max)) return true;
            return v <= max - min;
        }));
    m_stepsCtrl->SetValidator(InputNumberValidator<int>(nullptr, true, 1, compute_rules::kMaxSteps).showing([this] {
        return compute_rules::rangeSteps(m_settings.ran_min, m_settings.ran_max, m_settings.ran_step);
    }));

    m_stepCtrl->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        writeSteps();
        event.Skip();
    });
    for (wxTextCtrl* field : {m_stepsCtrl, m_minCtrl, m_maxCtrl}) {
        field->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
            writeStepSize();
            event.Skip();
        });
    }
}

void EditCompute::writeSteps() {
    double min = 0.0, max = 0.0, step = 0.0;
    if (!fieldValue(m_minCtrl, min) || !fieldValue(m_maxCtrl, max) || !fieldValue(m_stepCtrl, step)) return;
    if (const auto steps = compute_rules::rangeSteps(min, max, step)) {
        m_stepsCtrl->SetValue(wxString::Format("%i", *steps));
    }
}

void EditCompute::writeStepSize() {
    double min = 0.0, max = 0.0;
    int steps = 0;
    if (!fieldValue(m_minCtrl, min) || !fieldValue(m_maxCtrl, max) || !parseNumber(m_stepsCtrl->GetValue(), steps))
        return;
    if (const auto step = compute_rules::rangeStepSize(min, max, steps)) {
        m_stepCtrl->SetValue(formatComputed(*step));
    }
}

void EditCompute::labelRangeUnits() {
    const wxString unit = m_settings.range_type == bemt::tipSpeedRatio ? " [-]" : " [m/s]";
    const wxString names[] = {"Min. value", "Max. value", "Step size"};
    for (std::size_t i = 0; i < m_rangeLabels.size(); ++i)
        if (m_rangeLabels[i]) m_rangeLabels[i]->SetLabel(names[i] + unit);
}

void EditCompute::update() {
    m_settings = m_project->computeSettings();
    TransferDataToWindow();
    labelRangeUnits();
    // A loaded project brings its own blending choice: the box and the switch agree.
    m_settings.enable_interpolation ? bemt::ProfileParamsCombined::enableInterpolation()
                                    : bemt::ProfileParamsCombined::disableInterpolation();
}

void EditCompute::saveValues() {
    // The pitch sweep travels in the same record but is edited on the conditions page:
    // only this panel's fields are written.
    bemt::ComputeSettings settings = m_project->computeSettings();
    settings.enable_interpolation = m_settings.enable_interpolation;
    settings.range_type = m_settings.range_type;
    settings.ran_min = m_settings.ran_min;
    settings.ran_max = m_settings.ran_max;
    settings.ran_step = m_settings.ran_step;
    settings.design_c_limit = m_settings.design_c_limit;
    m_project->setComputeSettings(settings, true);
    labelRangeUnits();
}

void EditCompute::onInterpolationToggled(wxCommandEvent& event) {
    event.IsChecked() ? bemt::ProfileParamsCombined::enableInterpolation()
                      : bemt::ProfileParamsCombined::disableInterpolation();
    event.Skip();
}

// ---- actions ----

void EditCompute::analyzeAirfoils() { startAction([this] { doAnalyzeAirfoils(); }); }
void EditCompute::computeOperatingPoint() { startAction([this] { doComputeOperatingPoint(); }); }
void EditCompute::designBlade() { startAction([this] { doDesignBlade(); }); }
void EditCompute::computeChar() { startAction([this] { doComputeChar(); }); }

void EditCompute::stopComputation() {
    // Until the computation has ended: nothing more to stop.
    if (m_runner->stop()) m_stopBtn->Disable();
}

bool EditCompute::inputAccepted(const std::vector<wxString>& alsoInvalid) {
    std::vector<wxString> invalid = m_inputCheck ? m_inputCheck() : invalidFields();
    invalid.insert(invalid.end(), alsoInvalid.begin(), alsoInvalid.end());
    if (invalid.empty()) return true;
    wxString message = kInvalidInputMessage;
    for (const wxString& field : invalid) message += "\n" + field;
    m_dialogs.error(this, message, kInvalidInputCaption);
    return false;
}

void EditCompute::computePowerCurve(const std::vector<wxString>& alsoInvalid) {
    if (busy()) return;
    if (!inputAccepted(alsoInvalid)) return;
    const auto problems = bemt::Turbine::problems(m_project->turbineSettings());
    if (!problems.empty()) {
        showError(fromCore("Invalid turbine setting: \"" + problems.front().key + "\" " + problems.front().message));
        return;
    }
    startAction([this] { doComputePowerCurve(); }, alsoInvalid);
}

void EditCompute::computeSurface(const SurfaceGrid& grid, const std::vector<wxString>& alsoInvalid) {
    if (busy()) return;
    if (!inputAccepted(alsoInvalid)) return;
    try {
        bemt::PerformanceSurface::check(grid.wind, grid.tsr, grid.pitch);
    } catch (const bemt::Error& error) {
        showError(fromCore(error.message()));
        return;
    }
    startAction([this, grid] { doComputeSurface(grid); }, alsoInvalid);
}

void EditCompute::addActionControls(const std::vector<wxWindow*>& actions, wxWindow* stop) {
    for (wxWindow* action : actions) {
        m_extraActions.emplace_back(action);
        action->Enable(!busy());
    }
    if (stop) {
        m_extraStops.emplace_back(stop);
        stop->Enable(busy());
    }
}

void EditCompute::startAction(std::function<void()> whenSegmentsReady, const std::vector<wxString>& alsoInvalid) {
    if (busy()) return;
    m_resultWindows->setProjectName(m_project->projectFilename());
    // Computing with the last accepted values while the form shows others would give
    // results that contradict the form.
    if (!inputAccepted(alsoInvalid)) return;
    if (const auto missing = compute_rules::missingAirfoilFile(m_project->airfoilPoints())) {
        showError(fromCore(*missing));
        return;
    }
    m_runner->startAction(std::move(whenSegmentsReady));
}

bool EditCompute::pitchAccepted(const bemt::ComputeSettings& settings) {
    const auto refusal = compute_rules::pitchRefusal(settings);
    if (!refusal) return true;
    m_dialogs.error(this, fromCore(refusal->message), fromCore(refusal->caption));
    m_runner->finish();
    return false;
}

bemt::InputDataSet EditCompute::inputData() const {
    bemt::InputDataSet data;
    data.settings = m_project->solverSettings();
    data.conditions = m_project->operatingConditions();
    data.segments = m_runner->airfoilSegments();
    data.chordPoints = m_project->chordPoints();
    data.twistPoints = m_project->twistPoints();
    return data;
}

void EditCompute::doAnalyzeAirfoils() {
    m_runner->setBusy(false);
    auto* window = new AnalyzeAirfoilsWindow(m_resultWindows, m_runner->airfoilSegments(), m_project->chordPoints(),
                                             m_project->computeSettings(), m_runner->segmentsConditions(),
                                             m_project->fileManager(), ++m_analyzerCounter);
    window->setSegmentsInUse(m_runner->busyFlag());
    showResultWindow(window);
}

// The three pitch-controlled computations differ only in their sweep and result window:
// sweep(data, compute, progress) runs on the worker thread, open(result, compute, solver,
// conditions) on the GUI thread.
template <class Sweep, class Open>
void EditCompute::runPitchComputation(Sweep sweep, Open open) {
    const bemt::ComputeSettings compute = m_project->computeSettings();
    if (!pitchAccepted(compute)) return;
    const bemt::SolverSettings solver = m_project->solverSettings();
    m_tools->setSolver(solver.solver);
    const bemt::InputDataSet data = inputData();
    m_runner->run([data, compute, sweep](const bemt::ProgressCallback& progress) { return sweep(data, compute, progress); },
                  [this, compute, solver, conditions = data.conditions, open](auto result) {
                      (this->*open)(std::move(result), compute, solver, conditions);
                  });
}

void EditCompute::doComputeOperatingPoint() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            return m_tools->pitchSweep(data, bemt::BEMTTools::pitchRange(compute), progress);
        },
        &EditCompute::openOpResult);
}

void EditCompute::doDesignBlade() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            return m_tools->designSweep(data, bemt::BEMTTools::pitchRange(compute), compute.design_c_limit, progress)
                .points;
        },
        &EditCompute::openDesignResult);
}

void EditCompute::doComputeChar() {
    runPitchComputation(
        [this](const bemt::InputDataSet& data, const bemt::ComputeSettings& compute, const auto& progress) {
            Characteristics result{m_tools->characteristicsSweep(data, compute.range_type,
                                                                 bemt::BEMTTools::characteristicsRange(compute),
                                                                 bemt::BEMTTools::pitchRange(compute), progress),
                                   data};
            if (auto copies = bemt::PolarCopies::copySegments(data.segments)) result.rotor.segments = std::move(*copies);
            return result;
        },
        &EditCompute::openCharResult);
}

void EditCompute::doComputePowerCurve() {
    const bemt::TurbineSettings turbine = m_project->turbineSettings();
    const bemt::ComputeSettings compute = m_project->computeSettings();
    const bemt::SolverSettings solver = m_project->solverSettings();
    m_tools->setSolver(solver.solver);
    const bemt::InputDataSet data = inputData();
    struct Curve {
        bemt::PowerCurve curve;
        std::vector<bemt::AnnualEnergy> energy;
    };
    m_runner->run(
        [this, data, turbine](const bemt::ProgressCallback& progress) {
            auto curve = bemt::TurbineController(*m_tools, data, turbine).powerCurve(progress);
            auto energy = bemt::AnnualEnergy::ofCurve(curve, turbine);
            return Curve{std::move(curve), std::move(energy)};
        },
        [this, turbine, compute, solver, conditions = data.conditions](Curve result) {
            auto* window = new PowerCurveWindow(m_resultWindows, std::move(result.curve), turbine,
                                                std::move(result.energy), compute, solver, conditions,
                                                m_project->fileManager(), ++m_powerCurveCounter);
            showResultWindow(window);
            m_runner->finish();
        });
}

void EditCompute::doComputeSurface(const SurfaceGrid& grid) {
    const bemt::ComputeSettings compute = m_project->computeSettings();
    const bemt::SolverSettings solver = m_project->solverSettings();
    m_tools->setSolver(solver.solver);
    const bemt::InputDataSet data = inputData();
    const std::string rotor = wxFileName(m_project->projectFilename()).GetName().utf8_string();
    m_runner->run(
        [this, data, grid](const bemt::ProgressCallback& progress) {
            return bemt::PerformanceSurface::compute(*m_tools, data, grid.wind, grid.tsr, grid.pitch, progress);
        },
        [this, compute, solver, conditions = data.conditions, rotor](bemt::PerformanceSurface surface) {
            auto* window = new SurfaceWindow(m_resultWindows, std::move(surface), compute, solver, conditions,
                                             m_project->fileManager(), ++m_surfaceCounter, rotor);
            showResultWindow(window);
            m_runner->finish();
        });
}

void EditCompute::showFailure(const ComputationRunner::Failure& failure) {
    if (failure.stopped)
        (m_dialogs.info ? m_dialogs.info : m_dialogs.error)(this, failure.message, kStoppedCaption);
    else
        showError(failure.message);
}

void EditCompute::showError(const wxString& message) { m_dialogs.error(this, message, kErrorCaption); }

// ---- results ----

void EditCompute::openOpResult(std::vector<bemt::pitchControlledOperatingPoint> points,
                               const bemt::ComputeSettings& compute, const bemt::SolverSettings& solver,
                               const bemt::OperatingConditions& conditions) {
    const auto note = bemt::betzLimitNote(points);
    auto* window = new OpResultWindow(m_resultWindows, std::move(points), compute, solver, conditions,
                                      m_runner->segmentsConditions(), m_project->fileManager(), ++m_opCounter);
    bindTwistTransfer(window, kvnEVT_OPTIMIZE_TWIST);
    showResultWindow(window);
    m_runner->finish();
    noteBetzLimit(window, note);
}

void EditCompute::exportProjectBlade(const wxString& bladeFile, std::function<void(const wxString&)> done) {
    if (busy()) {
        showError(BladeExporter::kWhileBusy);
        return;
    }
    startAction([this, project = m_project->state(), bladeFile, done = std::move(done)] {
        m_runner->setBusy(false);
        m_exporter->exportProject(project, bladeFile, done);
    });
}

void EditCompute::openDesignResult(std::vector<bemt::pitchControlledOperatingPoint> points,
                                   const bemt::ComputeSettings& compute, const bemt::SolverSettings& solver,
                                   const bemt::OperatingConditions& conditions) {
    const auto note = bemt::betzLimitNote(points);
    auto* window = new DesignResultWindow(m_resultWindows, std::move(points), compute, solver, conditions,
                                          m_runner->segmentsConditions(), m_project->fileManager(), ++m_designCounter);
    bindTwistTransfer(window, kvnEVT_OPTIMIZE_TWIST);
    window->Bind(kvnEVT_TRANSFER_DESIGNED_TWIST, [takeover = wxWeakRef<DesignTakeover>(m_takeover.get())](kvnTwistEvent& event) {
        if (takeover) takeover->designedTwist(event.x(), event.twist());
    });
    window->Bind(kvnEVT_TRANSFER_DESIGNED_CHORD, [takeover = wxWeakRef<DesignTakeover>(m_takeover.get())](kvnChordEvent& event) {
        if (takeover) takeover->designedChord(event.x(), event.chord());
    });
    window->setBladeExporter([exporter = wxWeakRef<BladeExporter>(m_exporter.get()), window](const std::vector<double>& x,
                                                                            const std::vector<double>& chord,
                                                                            const std::vector<double>& twist) {
        if (exporter) exporter->exportDesigned(window, x, chord, twist);
    });
    showResultWindow(window);
    m_runner->finish();
    noteBetzLimit(window, note);
}

void EditCompute::openCharResult(Characteristics results, const bemt::ComputeSettings& compute,
                                 const bemt::SolverSettings& solver, const bemt::OperatingConditions& conditions) {
    const auto note = bemt::betzLimitNote(results.steps);
    auto* window = new CharResultWindow(m_resultWindows, std::move(results.steps), std::move(results.rotor), compute,
                                        solver, conditions, m_runner->segmentsConditions(), m_project->fileManager(),
                                        ++m_charCounter);
    bindTwistTransfer(window, kvnEVT_OPTIMIZE_TWIST);
    showResultWindow(window);
    m_runner->finish();
    noteBetzLimit(window, note);
}

void EditCompute::noteBetzLimit(wxWindow* window, const std::optional<std::string>& note) {
    if (note) m_dialogs.error(window, fromCore(*note), "Result not converged");
}

void EditCompute::bindTwistTransfer(wxWindow* window, wxEventType type) {
    window->Bind(wxEventTypeTag<kvnTwistEvent>(type), [takeover = wxWeakRef<DesignTakeover>(m_takeover.get())](kvnTwistEvent& event) {
        if (takeover) takeover->twist(event.x(), event.twist());
    });
}

// ---- state ----

void EditCompute::disableComputeBtns() { m_runner->setBusy(true); }

void EditCompute::enableComputeBtns() { m_runner->setBusy(false); }

void EditCompute::enableActions(bool enable) {
    for (wxWindow* control : std::initializer_list<wxWindow*>{m_analyzeBtn, m_opBtn, m_designBtn, m_charBtn,
                                                               m_interpolationBox})
        control->Enable(enable);
    m_stopBtn->Enable(!enable);
    for (const auto& control : m_extraActions)
        if (control) control->Enable(enable);
    for (const auto& stop : m_extraStops)
        if (stop) stop->Enable(!enable);
}

void EditCompute::removeAirfoilSegments() { m_runner->removeAirfoilSegments(); }

void EditCompute::resetWindowCounters() {
    m_analyzerCounter = 0;
    m_opCounter = 0;
    m_designCounter = 0;
    m_charCounter = 0;
    m_powerCurveCounter = 0;
    m_surfaceCounter = 0;
}

void EditCompute::destroyWindows() { m_resultWindows->closeAll(); }
