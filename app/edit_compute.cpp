#include "app/edit_compute.h"

#include <wx/button.h>

#include <algorithm>
#include <limits>

#include "app/blade_exporter.h"
#include "app/compute_rules.h"
#include "app/design_takeover.h"
#include "app/kvp_project.h"
#include "app/optimise_dialog.h"
#include "app/range_fields.h"
#include "app/result_opener.h"
#include "bemt/Error.h"
#include "bemt/ValueLimits.h"
#include "results/error_box.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineSettings.h"

namespace {

constexpr int kColumns = 5;

wxString fromCore(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

EditCompute::EditCompute(wxWindow* parent, KvpProject* project, ProgressCallback progressCallback)
    : EditSection(parent, "Compute"),
      m_project(project),
      m_settings(project->computeSettings()),
      m_dialogs(ComputeDialogs::standard()) {
    auto* grid = new wxGridBagSizer();
    const wxGBSpan fullRow(1, kColumns);

    m_interpolationBox = setupCheckbox(
        grid, 0, 0, "Enable neighbouring airfoils interpolation", &m_settings.enable_interpolation,
        "When enabled, neighbouring airfoil parameters (lift and drag coefficients) will be linearly interpolated "
        "prowiding smoother results.",
        fullRow);
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
    markFieldUse(m_chordLimitCtrl, kDesignChordLimit);
    for (const wxWindow* field : {m_minCtrl, m_maxCtrl, m_stepCtrl, m_stepsCtrl}) markFieldUse(field, kCharacteristicsRange);
    for (std::size_t i = 0; i < m_rangeLabels.size(); ++i)
        m_rangeLabels[i] = dynamic_cast<wxStaticText*>(grid->FindItemAtPosition(wxGBPosition(i < 2 ? 9 : 10, i == 1 ? 3 : 0))->GetWindow());
    setupRangeLogic();
    m_charBtn = setupButton(grid, 11, 0, "Compute turbine characteristics",
                            "Computes the turbine's power and thrust for the given wind velocities (tip speed ratios).",
                            fullRow, wxEXPAND, [this] { computeChar(); });
    setupDivider(grid, 12, kColumns);
    m_optimiseBtn = setupButton(grid, 13, 0, "Optimise blade",
                                "Chord and twist (and the target tip speed ratio) for the most annual energy or Cp "
                                "within the limits of the optimisation settings.",
                                fullRow, wxEXPAND, [this] { optimiseBlade(); });
    setupDivider(grid, 14, kColumns);
    m_stopBtn = setupButton(grid, 15, 0, "Stop the computation", "Aborts current computation process.", fullRow,
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
    m_opener = std::make_unique<ResultOpener>(*m_project, m_dialogs, *m_takeover, *m_exporter,
                                              [this] { m_runner->finish(); });
    m_actions = std::make_unique<ComputeActions>(this, *m_project, *m_runner, *m_opener, m_dialogs);
}

EditCompute::~EditCompute() {
    // The runner ends its worker (which computes with the actions' tools) and drops what
    // it still sends, then the result windows close.
    m_runner.reset();
    m_opener->closeAll();
}

void EditCompute::setupRangeLogic() {
    // A rule that reads another field passes while that field is red by itself; ends in the
    // wrong order mark the one typed last.
    m_minCtrl->SetValidator(InputNumberValidator<double>(&m_settings.ran_min, true, bemt::Limits::rangeValue.lowest, bemt::Limits::rangeValue.highest, [this](double v) {
        return pairPasses(m_minCtrl, m_maxCtrl, bemt::Limits::rangeValue, m_maxCtrl, [v](double max) { return v <= max; });
    }));
    m_maxCtrl->SetValidator(InputNumberValidator<double>(&m_settings.ran_max, true, bemt::Limits::rangeValue.lowest, bemt::Limits::rangeValue.highest, [this](double v) {
        return pairPasses(m_maxCtrl, m_minCtrl, bemt::Limits::rangeValue, m_maxCtrl, [v](double min) { return v >= min; });
    }));
    // The ranges of the project file and the command line: equal ends make one position,
    // and a step beyond the span too.
    m_stepCtrl->SetValidator(InputNumberValidator<double>(&m_settings.ran_step, true, bemt::Limits::rangeStep.lowest,
                                                          bemt::Limits::rangeStep.highest));
    const RangeFields range(m_minCtrl, m_maxCtrl, m_stepCtrl, m_stepsCtrl, bemt::Limits::rangeValue,
                            bemt::Limits::rangeStep);
    m_stepsCtrl->SetValidator(InputNumberValidator<int>(nullptr, true, 1, compute_rules::kMaxSteps, [this, range](int steps) {
                                  return range.stepsPass(steps, *this);
                              }).showing([this] {
        return compute_rules::rangeSteps(m_settings.ran_min, m_settings.ran_max, m_settings.ran_step);
    }));
    range.bind();
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

// ---- actions ----

// Each action checks the fields it uses. The turbine computations and the blade export use
// the rotor, the air, the solver, the blade and the airfoils, and the design point only
// where the airfoil data guess their Reynolds numbers from it; the power curve of a
// turbine the project does not state uses the rotation speed as well.
unsigned EditCompute::turbineUnused(bool powerCurve) const {
    unsigned unused = kPitchSweep | kCharacteristicsRange | kDesignChordLimit;
    const auto& points = m_project->airfoilPoints();
    const bool guessed = std::any_of(points.begin(), points.end(), [](const bemt::AirfoilPoint& p) {
        return !p.repeat && p.data_type == bemt::Coordinates && p.guess_reynolds;
    });
    if (!guessed) unused |= kDesignPoint;
    if (!powerCurve || m_project->state().turbine) unused |= kDefaultRotorSpeeds;
    return unused;
}

void EditCompute::analyzeAirfoils() {
    startAction([this] { m_actions->analyzeAirfoils(); }, {},
                kCharacteristicsRange | kDesignChordLimit | kRotorGeometry);
}
void EditCompute::computeOperatingPoint() {
    startAction([this] { m_actions->operatingPoint(); }, {}, kCharacteristicsRange | kDesignChordLimit);
}
// The design is the plain rotor's (see BEMTTools::designSweep).
void EditCompute::designBlade() {
    startAction([this] { m_actions->design(); }, {}, kCharacteristicsRange | kRotorGeometry);
}
void EditCompute::computeChar() { startAction([this] { m_actions->characteristics(); }, {}, kDesignChordLimit); }

void EditCompute::optimiseBlade() {
    if (busy()) return;
    flushFieldUpdates();
    if (m_optimiseDialog) {
        m_optimiseDialog->Raise();
        return;
    }
    // Everything the optimisation uses but the design point's chord limit and ranges; red
    // text there refuses before the settings are asked for, as the other computations do.
    const unsigned unused = turbineUnused(true) & ~kDesignPoint;
    if (!inputAccepted({}, unused) || !turbineAccepted()) return;
    const korvane::ProjectData project = m_project->state();
    std::vector<std::string> climates;
    for (const auto& climate : m_project->turbineSettings().wind_climates) climates.push_back(climate.name);
    m_optimiseDialog = new OptimiseDialog(
        this, project.optimisation.value_or(korvane::OptimisationSettings{}), climates,
        [this, unused](const korvane::OptimisationSettings& settings) {
            if (busy() || !turbineAccepted()) return;
            m_project->setOptimisation(settings, true);
            startAction([this] { m_actions->optimise(); }, {}, unused);
        });
    m_optimiseDialog->Show();
}

void EditCompute::setListCheck(std::function<bool()> check) { m_takeover->setListCheck(std::move(check)); }

void EditCompute::setPagesFollow(std::function<void()> follow) { m_takeover->setPagesFollow(std::move(follow)); }

void EditCompute::stopComputation() {
    // Until the computation has ended: nothing more to stop.
    if (m_runner->stop()) m_stopBtn->Disable();
}

void EditCompute::abandonComputation() {
    m_runner->abandon();
    m_stopBtn->Disable();
}

void EditCompute::computePowerCurve(const std::vector<wxString>& alsoInvalid) {
    if (busy()) return;
    flushFieldUpdates();
    if (!inputAccepted(alsoInvalid, turbineUnused(true)) || !turbineAccepted()) return;
    startAction([this] { m_actions->powerCurve(); }, alsoInvalid, turbineUnused(true));
}

bool EditCompute::turbineAccepted() {
    const auto problems = bemt::Turbine::problems(m_project->turbineSettings());
    if (problems.empty()) return true;
    showError(fromCore("Invalid turbine setting: \"" + problems.front().key + "\" " + problems.front().message));
    return false;
}

void EditCompute::computeSurface(const SurfaceGrid& grid, const std::vector<wxString>& alsoInvalid) {
    if (busy()) return;
    flushFieldUpdates();
    if (!inputAccepted(alsoInvalid, turbineUnused(false))) return;
    try {
        bemt::PerformanceSurface::check(grid.wind, grid.tsr, grid.pitch);
    } catch (const bemt::Error& error) {
        showError(fromCore(error.message()));
        return;
    }
    startAction([this, grid] { m_actions->surface(grid); }, alsoInvalid, turbineUnused(false));
}

void EditCompute::exportProjectBlade(const wxString& bladeFile, std::function<void(const wxString&)> done) {
    if (busy()) {
        showError(BladeExporter::kWhileBusy);
        return;
    }
    startAction(
        [this, project = m_project->state(), bladeFile, done = std::move(done)] {
            m_runner->setBusy(false);
            m_exporter->exportProject(project, bladeFile, done);
        },
        {}, turbineUnused(false) | kRotorGeometry);  // the blade's files hold no cone, tilt or inflow
}

void EditCompute::startAction(std::function<void()> whenSegmentsReady, const std::vector<wxString>& alsoInvalid,
                              unsigned unused) {
    if (busy()) return;
    // Keys that arrived with the click reach the project first.
    flushFieldUpdates();
    m_opener->followProjectName();
    // Computing with the last accepted values while the form shows others would give
    // results that contradict the form.
    if (!inputAccepted(alsoInvalid, unused)) return;
    if (const auto missing = compute_rules::missingAirfoilFile(m_project->airfoilPoints())) {
        showError(fromCore(*missing));
        return;
    }
    m_runner->startAction(std::move(whenSegmentsReady));
}

bool EditCompute::inputAccepted(const std::vector<wxString>& alsoInvalid, unsigned unused) {
    std::vector<wxString> invalid = m_inputCheck ? m_inputCheck(unused) : invalidFields(unused);
    invalid.insert(invalid.end(), alsoInvalid.begin(), alsoInvalid.end());
    if (invalid.empty()) return true;
    m_dialogs.error(this, kInvalidInputMessage + listedLines(invalid), kInvalidInputCaption);
    return false;
}

void EditCompute::showFailure(const ComputationRunner::Failure& failure) {
    if (failure.stopped)
        (m_dialogs.info ? m_dialogs.info : m_dialogs.error)(this, failure.message, kStoppedCaption);
    else
        showError(failure.message);
}

void EditCompute::showError(const wxString& message) { m_dialogs.error(this, message, kErrorCaption); }

// ---- state ----

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

void EditCompute::disableComputeBtns() { m_runner->setBusy(true); }

void EditCompute::enableComputeBtns() { m_runner->setBusy(false); }

void EditCompute::enableActions(bool enable) {
    for (wxWindow* control : std::initializer_list<wxWindow*>{m_analyzeBtn, m_opBtn, m_designBtn, m_charBtn,
                                                               m_optimiseBtn, m_interpolationBox})
        control->Enable(enable);
    m_stopBtn->Enable(!enable);
    for (const auto& control : m_extraActions)
        if (control) control->Enable(enable);
    for (const auto& stop : m_extraStops)
        if (stop) stop->Enable(!enable);
}

void EditCompute::removeAirfoilSegments() { m_runner->removeAirfoilSegments(); }

void EditCompute::resetWindowCounters() { m_opener->resetCounters(); }

void EditCompute::destroyWindows() {
    m_opener->closeAll();
    // Its settings are the previous project's: its OK must not store them in the next one.
    if (m_optimiseDialog) m_optimiseDialog->Destroy();
}

const ResultWindowList& EditCompute::resultWindows() const { return m_opener->windows(); }
