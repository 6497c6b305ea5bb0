#pragma once
// "Compute": the compute settings of the project and the four long actions (airfoil
// data analysis, operating point, blade design, turbine characteristics). The panel owns
// the preprocessed airfoil segments and rebuilds them when they are outdated, runs each
// computation on a worker thread with progress in the status bar and a Stop button,
// reports errors, and opens the result windows, which it keeps in a list.
//
// Worker threads see only copies, the abort flag and the polars the segments share.
// Everything they do to the GUI is queued to this panel, so a result that arrives after
// the panel is gone is dropped with the panel's queue; the destructor raises the abort
// flag and joins the worker, which ends at its next progress report (a running
// xfoil-core is ended by the segment builder within a second).

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <thread>
#include <vector>

#include <wx/weakref.h>

#include "app/edit_section.h"
#include "project/project_data.h"
#include "bemt/BEMTTools.h"
#include "bemt/Records.h"
#include "bemt/spline.h"
#include "results/error_box.h"

namespace bemt {
class BEMTTools;
}
class KvpProject;
class ResultWindowList;
class wxButton;

wxDECLARE_EVENT(kvnEVT_AIRFOIL_SEGMETS_READY, wxCommandEvent);

class EditCompute : public EditSection {
public:
    using ProgressCallback = std::function<void(int, wxString)>;

    // The questions and messages the panel shows; tests replace them.
    struct Dialogs {
        // Modal error box: message and caption.
        std::function<void(wxWindow*, const wxString&, const wxString&)> error;
        // "Preprocess outdated airfoil data?"; true for Yes.
        std::function<bool(wxWindow*)> preprocessOutdated;
        // Modal information box: message and caption (the error box when not given).
        std::function<void(wxWindow*, const wxString&, const wxString&)> info;
        // "Keep the design's shape?" with the message; true for Yes (replace the points by
        // the design's). Not given: the points keep their positions.
        std::function<bool(wxWindow*, const wxString&)> replaceByDesignPoints;
    };
    static Dialogs defaultDialogs();

    static inline const std::string kAborted = "The computation process has been aborted.";
    static inline const wxString kInvalidInputCaption = "Invalid input.";
    static inline const wxString kInvalidInputMessage =
        "The computation needs a valid value in every field. Correct the fields shown in red:";
    static inline const wxString kStoppedCaption = "Computation stopped.";
    static inline const wxString kStopping = "Stopping the computation...";
    static inline const wxString kExportWhileBusy = "Wait until the running computation has finished, then export the blade.";
    static inline const wxString kDesignShapeCaption = "Keep the design's shape?";
    // Taken over at its points' positions, a design may be off by this fraction of its
    // range before the user is asked; the points offered instead follow it this closely.
    static constexpr double kDesignDeviationAllowed = 0.01;
    static constexpr double kDesignPointsTolerance = 0.005;

    // The descriptions of the invalid fields that keep the actions from starting.
    using InputCheck = std::function<std::vector<wxString>()>;

    // progressCallback runs on the GUI thread only.
    EditCompute(wxWindow* parent, KvpProject* project, ProgressCallback progressCallback);
    ~EditCompute() override;

    void update() override;
    void saveValues() override;

    // The grid of a performance surface: tip speed ratios, pitch angles (degrees) and
    // the wind speed (m/s).
    struct SurfaceGrid {
        bemt::SweepRange tsr;
        bemt::SweepRange pitch;
        double wind = 0.0;
    };

    // The four actions and Stop.
    void analyzeAirfoils();
    void computeOperatingPoint();
    void designBlade();
    void computeChar();
    void stopComputation();
    // The turbine actions: the power curve under the project's turbine settings, and a
    // performance surface. Red fields (those of the rotor and alsoInvalid, the fields of
    // the page that asks), settings or a grid out of range are refused with a message
    // before anything starts.
    void computePowerCurve(const std::vector<wxString>& alsoInvalid = {});
    void computeSurface(const SurfaceGrid& grid, const std::vector<wxString>& alsoInvalid = {});

    // Action buttons and Stop buttons elsewhere (the turbine page) that follow this
    // panel's: the actions disabled and Stop enabled while an action runs.
    void addActionControls(const std::vector<wxWindow*>& actions, wxWindow* stop);

    void checkAirfoils(std::function<void()> onFailure);
    void preprocessAirfoils(std::function<void()> onFailure);

    void disableComputeBtns();
    void enableComputeBtns();

    void removeAirfoilSegments();
    void resetWindowCounters();
    void destroyWindows();

    void setDialogs(Dialogs dialogs) { m_dialogs = std::move(dialogs); }
    // By default only the panel's own fields are checked; the main window checks all pages.
    void setInputCheck(InputCheck check) { m_inputCheck = std::move(check); }

    // State, for the main window and tests.
    bool busy() const { return *m_busy; }
    // Writes a designed blade (x/R, c/R, twist) with the current airfoil segments for
    // AeroDyn into the folder of a blade file the user chooses.
    void exportDesignedBlade(wxWindow* parent, const std::vector<double>& x, const std::vector<double>& chord,
                             const std::vector<double>& twist);
    // Writes the project's blade for AeroDyn into the folder of bladeFile. The airfoil
    // data are prepared as for a computation (XFOIL on the worker thread, with progress
    // and Stop); done receives the message for the status bar once the files are written.
    void exportProjectBlade(const wxString& bladeFile, std::function<void(const wxString&)> done);
    bool segmentsValid() const { return m_segmentsValid; }
    bool xfoilInvolved() const { return m_xfoilInvolved; }
    const std::vector<bemt::AirfoilSegment>& airfoilSegments() const { return m_airfoilSegments; }
    const ResultWindowList& resultWindows() const { return *m_resultWindows; }
    bool abortRequested() const { return m_abortRequested; }
    const bemt::ComputeSettings& settings() const { return m_settings; }

    wxCheckBox* interpolationBox() const { return m_interpolationBox; }
    wxButton* analyzeButton() const { return m_analyzeBtn; }
    wxButton* operatingPointButton() const { return m_opBtn; }
    wxButton* designButton() const { return m_designBtn; }
    wxButton* characteristicsButton() const { return m_charBtn; }
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
    void writeSteps();
    void labelRangeUnits();
    void writeStepSize();
    void onInterpolationToggled(wxCommandEvent& event);
    void onReynoldsConditions(wxEvent& event);
    void onAirfoilPoints(wxEvent& event);
    void recomputeXfoilInvolved();

    void _doAnalyzeAirfoils(wxCommandEvent& event);
    void _doComputeOperatingPoint(wxCommandEvent& event);
    void _doDesignBlade(wxCommandEvent& event);
    void _doComputeChar(wxCommandEvent& event);
    void _doComputePowerCurve(wxCommandEvent& event);
    void _doComputeSurface(wxCommandEvent& event);
    void _doExportProjectBlade(wxCommandEvent& event);

    using Handler = void (EditCompute::*)(wxCommandEvent&);
    void startAction(Handler handler, const std::vector<wxString>& alsoInvalid = {});
    // False (after saying which fields are red) when any field holds invalid input.
    bool inputAccepted(const std::vector<wxString>& alsoInvalid);
    // False (after showing the refusal and ending the action) when the pitch sweep is refused.
    bool pitchAccepted(const bemt::ComputeSettings& settings);
    bemt::InputDataSet inputData() const;
    // Checks the pitch range, then runs sweep on the worker and opens its result.
    template <class Sweep, class Open>
    void runPitchComputation(Sweep sweep, Open open);

    // Runs work on the worker thread (after the previous one has ended).
    void startWorker(std::function<void()> work);
    // Queues f to run on the GUI thread; dropped when the panel is going.
    void onGuiThread(std::function<void()> f);
    // The progress report of one computation's worker; throws bemt::Aborted after Stop.
    bemt::ProgressCallback workerProgress();
    // Queues a progress report to the status bar (any thread).
    void showProgress(int progress, const wxString& message);
    // How a computation ended that did not finish: the message, and whether the user
    // stopped it (an information) rather than it failing (an error).
    struct Failure {
        wxString message;
        bool stopped = false;
    };
    // Call in a catch block (any thread).
    static Failure failureOfCurrentException();
    // Ends a computation that failed or was stopped (on the GUI thread).
    void finishWithError(const Failure& failure);
    void finish();
    void showError(const wxString& message);

    // Opens a result window; an error while it is built ends the action with its message.
    void showResult(const std::function<void()>& open);
    void openOpResult(std::vector<bemt::pitchControlledOperatingPoint> points, const bemt::ComputeSettings& compute,
                      const bemt::SolverSettings& solver, const bemt::OperatingConditions& conditions);
    void openDesignResult(std::vector<bemt::pitchControlledOperatingPoint> points,
                          const bemt::ComputeSettings& compute, const bemt::SolverSettings& solver,
                          const bemt::OperatingConditions& conditions);
    // The characteristics keep totals only; the rotor they were computed for comes with
    // them, its polars copied, so that a click in their window recomputes the elements of
    // one step even while another computation runs.
    struct Characteristics {
        std::vector<bemt::pitchControlledCharacteristicElement> steps;
        bemt::InputDataSet rotor;
    };
    void openCharResult(Characteristics results, const bemt::ComputeSettings& compute,
                        const bemt::SolverSettings& solver, const bemt::OperatingConditions& conditions);
    // Says why a result above the Betz limit reads "not converged".
    void noteBetzLimit(wxWindow* window, const std::optional<std::string>& note);
    void bindTwistTransfer(wxWindow* window, wxEventType type);
    // A designed distribution goes into the project at the positions of its points, or,
    // when those cannot carry the design's shape and the user agrees, as the design's own
    // points (one undo step either way).
    void takeOverDesignedTwist(const std::vector<double>& x, const std::vector<double>& twist);
    void takeOverDesignedChord(const std::vector<double>& x, const std::vector<double>& chord);
    // The design's points to use instead of the project's positions, or none.
    std::optional<std::vector<std::pair<double, double>>> designPointsInstead(
        const wxString& what, const std::vector<double>& positions, const std::vector<double>& x,
        const std::vector<double>& values, bemt::spline::spline_type kind);
    void enableActions(bool enable);

    KvpProject* m_project;
    bemt::ComputeSettings m_settings;
    ProgressCallback m_progressCallback;
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
    wxButton* m_stopBtn = nullptr;

    std::shared_ptr<ResultWindowList> m_resultWindows;
    std::unique_ptr<bemt::BEMTTools> m_tools;
    std::vector<bemt::AirfoilSegment> m_airfoilSegments;
    bool m_segmentsValid = false;
    bool m_xfoilInvolved = false;
    bemt::OperatingConditions m_segmentsConditions;
    int m_analyzerCounter = 0;
    int m_opCounter = 0;
    int m_designCounter = 0;
    int m_charCounter = 0;
    int m_powerCurveCounter = 0;
    int m_surfaceCounter = 0;
    SurfaceGrid m_surfaceGrid;
    // The blade export asked for: the project as it was then, the file and the caller's
    // completion.
    struct BladeExport {
        korvane::ProjectData project;
        wxString bladeFile;
        std::function<void(const wxString&)> done;
    };
    BladeExport m_bladeExport;
    std::vector<wxWeakRef<wxWindow>> m_extraActions;
    std::vector<wxWeakRef<wxWindow>> m_extraStops;

    // True from an action's start until its end; shared with the analyzer windows,
    // which leave the shared polars alone meanwhile.
    std::shared_ptr<bool> m_busy;
    std::atomic<bool> m_abortRequested{false};
    // Raised for good when the panel goes: every further report aborts.
    std::atomic<bool> m_closing{false};
    std::thread m_worker;
};
