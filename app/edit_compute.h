#pragma once
// "Compute": the compute settings of the project and the buttons of the long actions
// (airfoil data analysis, operating point, blade design, turbine characteristics, blade
// optimisation), and
// the entry of the turbine page's actions and the project's blade export. The form
// checks its fields before an action starts and follows the action's state (buttons,
// Stop, the status bar, messages); the work is done by the units it wires together:
// - ComputationRunner: the worker thread, progress and Stop, the airfoil segments;
// - ComputeActions: what each action computes and which result it opens;
// - ResultOpener: the result windows, kept in a list;
// - DesignTakeover and BladeExporter: a result's twist and chord into the project, and
//   the blade for AeroDyn.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <wx/weakref.h>

#include "app/compute_actions.h"
#include "app/compute_dialogs.h"
#include "app/computation_runner.h"
#include "app/edit_section.h"

class BladeExporter;
class DesignTakeover;
class KvpProject;
class OptimiseDialog;
class ResultOpener;
class ResultWindowList;
class wxButton;

class EditCompute : public EditSection {
public:
    using ProgressCallback = std::function<void(int, wxString)>;
    // The questions and messages the panel shows; tests replace them.
    using Dialogs = ComputeDialogs;
    using SurfaceGrid = ComputeActions::SurfaceGrid;
    // The descriptions of the invalid fields that keep the actions from starting.
    // unused: the FieldUse bits of the fields the action does not use.
    using InputCheck = std::function<std::vector<wxString>(unsigned unused)>;

    static inline const wxString kInvalidInputCaption = "Invalid input.";
    static inline const wxString kInvalidInputMessage =
        "The computation needs a valid value in every field. Correct the fields shown in red:";
    static inline const wxString kStoppedCaption = "Computation stopped.";

    // progressCallback runs on the GUI thread only.
    EditCompute(wxWindow* parent, KvpProject* project, ProgressCallback progressCallback);
    ~EditCompute() override;

    void update() override;
    void saveValues() override;

    // The four actions and Stop.
    void analyzeAirfoils();
    void computeOperatingPoint();
    void designBlade();
    void computeChar();
    // "Optimise blade": the settings dialog; its OK stores them (one undo step) and starts
    // the optimisation.
    void optimiseBlade();
    void stopComputation();
    // The turbine actions: the power curve under the project's turbine settings, and a
    // performance surface. Red fields (those of the rotor and alsoInvalid, the fields of
    // the page that asks), settings or a grid out of range are refused with a message
    // before anything starts.
    void computePowerCurve(const std::vector<wxString>& alsoInvalid = {});
    void computeSurface(const SurfaceGrid& grid, const std::vector<wxString>& alsoInvalid = {});
    // Writes the project's blade for AeroDyn into the folder of bladeFile. The airfoil
    // data are prepared as for a computation (XFOIL on the worker thread, with progress
    // and Stop); done receives the message for the status bar once the files are written.
    void exportProjectBlade(const wxString& bladeFile, std::function<void(const wxString&)> done);

    // Action buttons and Stop buttons elsewhere (the turbine page) that follow this
    // panel's: the actions disabled and Stop enabled while an action runs.
    void addActionControls(const std::vector<wxWindow*>& actions, wxWindow* stop);

    // The state of a running action, as the shared polars' users see it.
    void disableComputeBtns();
    void enableComputeBtns();

    void removeAirfoilSegments();
    void resetWindowCounters();
    void destroyWindows();
    // Stops a running computation and drops its result (the project it was computed
    // for is being replaced).
    void abandonComputation();

    void setDialogs(Dialogs dialogs) { m_dialogs = std::move(dialogs); }
    // By default only the panel's own fields are checked; the main window checks all pages.
    void setInputCheck(InputCheck check) { m_inputCheck = std::move(check); }
    // Asked before a result's blade replaces the point lists (see DesignTakeover).
    void setListCheck(std::function<bool()> check);
    // Called after an optimised blade changed the turbine settings or the design point.
    void setPagesFollow(std::function<void()> follow);

    // State, for the main window and tests.
    bool busy() const { return m_runner->busy(); }
    const ComputationRunner& runner() const { return *m_runner; }
    const ResultWindowList& resultWindows() const;

    wxCheckBox* interpolationBox() const { return m_interpolationBox; }
    wxButton* analyzeButton() const { return m_analyzeBtn; }
    wxButton* operatingPointButton() const { return m_opBtn; }
    wxButton* designButton() const { return m_designBtn; }
    wxButton* characteristicsButton() const { return m_charBtn; }
    wxButton* optimiseButton() const { return m_optimiseBtn; }
    // The open "Optimise blade" dialog, or null.
    OptimiseDialog* optimiseDialog() const { return m_optimiseDialog.get(); }
    wxButton* stopButton() const { return m_stopBtn; }
    wxTextCtrl* chordLimitField() const { return m_chordLimitCtrl; }
    wxChoice* variableChoice() const { return m_variableChoice; }
    wxTextCtrl* minField() const { return m_minCtrl; }
    wxTextCtrl* maxField() const { return m_maxCtrl; }
    // The labels of the range fields (Min., Max. value, Step size), with the variable's unit.
    const std::array<wxStaticText*, 3>& rangeLabels() const { return m_rangeLabels; }
    wxTextCtrl* stepField() const { return m_stepCtrl; }
    wxTextCtrl* stepsField() const { return m_stepsCtrl; }

private:
    void setupRangeLogic();
    void labelRangeUnits();

    // Starts an action unless the form or the airfoil files refuse it; whenSegmentsReady
    // continues it.
    void startAction(std::function<void()> whenSegmentsReady, const std::vector<wxString>& alsoInvalid = {},
                     unsigned unused = 0);
    // The FieldUse bits of the fields a turbine computation (or the blade export) does not use.
    unsigned turbineUnused(bool powerCurve) const;
    // False (after saying which fields are red) when any field holds invalid input.
    bool inputAccepted(const std::vector<wxString>& alsoInvalid, unsigned unused);
    // False (after saying which) when a turbine setting is out of range.
    bool turbineAccepted();
    void enableActions(bool enable);
    // Shows how an action ended that did not finish.
    void showFailure(const ComputationRunner::Failure& failure);
    void showError(const wxString& message);

    KvpProject* m_project;
    bemt::ComputeSettings m_settings;
    Dialogs m_dialogs;
    InputCheck m_inputCheck;

    wxTextCtrl* m_chordLimitCtrl = nullptr;
    wxChoice* m_variableChoice = nullptr;
    wxTextCtrl* m_minCtrl = nullptr;
    wxTextCtrl* m_maxCtrl = nullptr;
    wxTextCtrl* m_stepCtrl = nullptr;
    wxTextCtrl* m_stepsCtrl = nullptr;
    std::array<wxStaticText*, 3> m_rangeLabels{};
    wxCheckBox* m_interpolationBox = nullptr;
    wxButton* m_analyzeBtn = nullptr;
    wxButton* m_opBtn = nullptr;
    wxButton* m_designBtn = nullptr;
    wxButton* m_charBtn = nullptr;
    wxButton* m_optimiseBtn = nullptr;
    wxWeakRef<OptimiseDialog> m_optimiseDialog;
    wxButton* m_stopBtn = nullptr;
    std::vector<wxWeakRef<wxWindow>> m_extraActions;
    std::vector<wxWeakRef<wxWindow>> m_extraStops;

    // The runner goes first (see the destructor): its worker computes with m_actions' tools.
    std::unique_ptr<ComputationRunner> m_runner;
    std::unique_ptr<DesignTakeover> m_takeover;
    std::unique_ptr<BladeExporter> m_exporter;
    std::unique_ptr<ResultOpener> m_opener;
    std::unique_ptr<ComputeActions> m_actions;
};
