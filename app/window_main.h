#pragma once
// The main window: menus, the title that follows the project's file name and unsaved
// state, the status bar with the progress gauge, the notebook of editor pages, the undo
// and redo history of project snapshots, and the question before unsaved changes are
// lost. It owns the project and the file manager.

#include <wx/frame.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/kvp_project.h"
#include "app/undo_history.h"
#include "app/user_edit_tracker.h"

class wxGauge;
class wxMenuBar;
class wxNotebook;
class FileManager;
class EditShape;
class EditArifoils;
class EditOperatingConditions;
class EditSolverSettings;
class EditRotorGeometry;
class EditStallDelay;
class EditCompute;
class EditTurbine;
class EditTurbineCompute;

class MainWindow : public wxFrame {
public:
    static constexpr std::size_t kHistoryLimit = 30;

    MainWindow();
    ~MainWindow() override;

    // "Korvane", or fileName followed by " - Korvane".
    static wxString windowTitle(const wxString& fileName);
    // Marks the project saved or unsaved and sets the title accordingly.
    void setUnsaved(bool unsaved);
    // The project as it stands is what its file holds (after New, Open and Save).
    void markSaved();
    bool isUnsaved() const { return m_unsaved; }

    // Opens a project file (an empty path asks the user for one) and starts a new
    // history; false when cancelled or failed, with everything left as it was.
    bool openFile(const wxString& path);
    // The descriptions of every field shown in red on the pages of the rotor, and with
    // turbine on the Turbine settings too ("Design conditions: Wind velocity").
    // unused: the FieldUse bits of fields to leave out (those a computation does not use).
    std::vector<wxString> invalidFields(bool turbine = true, unsigned unused = 0) const;
    // The descriptions of the fields of the project's pages whose text is not in the
    // project (red, or held back by red text).
    std::vector<wxString> unstoredFields() const;
    // True when the pending action may go on (saved, or the user chose). Text not in the
    // project counts as unsaved: the user discards it or cancels.
    bool resolveUnsaved();
    // Runs show (which opens a box) once the window is on the screen, drawn for the first
    // time, so that the box stands over it, centred on it; at once when it is drawn already
    // or not shown at all.
    void whenOnScreen(std::function<void()> show);
    // Reloads the selected pages from the project (with solver the rotor geometry and the
    // stall delay too).
    void update(bool shape, bool airfoils, bool conditions, bool solver, bool compute, bool turbine = true);

    // Menu commands and handlers.
    void onNew(wxCommandEvent& event);
    void onOpen(wxCommandEvent& event);
    void onSave(wxCommandEvent& event);
    void onSaveAs(wxCommandEvent& event);
    void onUndo(wxCommandEvent& event);
    void onRedo(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    // File > Import OpenFAST model...: the rotor of a .fst model as a new, unsaved project.
    void onImportOpenFast(wxCommandEvent& event);
    // File > Export blade to AeroDyn...: blade file, airfoil tables and AFNames lines in
    // the folder of the chosen blade file.
    void onExportAeroDyn(wxCommandEvent& event);
    static constexpr int kImportOpenFastId = wxID_HIGHEST + 41;
    static constexpr int kExportAeroDynId = wxID_HIGHEST + 42;
    void onClose(wxCloseEvent& event);
    void onUnsaved(kvnProjectEvent& event);

    // The progress callback for the compute panel (GUI thread only): below 100 the gauge
    // shows the progress and the status bar the message; 100 or more resets both.
    void progress(int percentage, const wxString& message);

    KvpProject* project() const { return m_project.get(); }
    FileManager* fileManager() const { return m_fileManager.get(); }
    int historyIndex() const { return m_history.index(); }
    std::size_t historySize() const { return m_history.size(); }
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    EditShape* shapePage() const { return m_shape; }
    EditArifoils* airfoilsPage() const { return m_airfoils; }
    EditOperatingConditions* conditionsPage() const { return m_conditions; }
    EditSolverSettings* solverPage() const { return m_solver; }
    EditRotorGeometry* rotorGeometryPage() const { return m_rotorGeometry; }
    EditStallDelay* stallDelayPage() const { return m_stallDelay; }
    EditCompute* computePage() const { return m_compute; }
    EditTurbine* turbinePage() const { return m_turbine; }
    EditTurbineCompute* turbineComputePage() const { return m_turbineCompute; }
    wxNotebook* notebook() const { return m_notebook; }
    wxGauge* gauge() const { return m_gauge; }

private:
    void buildMenus();
    void buildStatusBar();
    void buildPages();
    void refreshUndoRedo();
    // The history starts again from the project's current state, which cannot be undone.
    void startHistory();
    // The title's "*" follows whether the project differs from what was last saved.
    void refreshUnsaved();
    void restore(const kvnProjectEvent& snapshot);
    // After New and Open: forget what was computed for the previous project.
    void resetComputations();
    void showError(const std::string& message);
    // Every page's field edit ends: the next one begins from the values as they stand.
    void endEdits();
    // The edits still on their way reach the project, then every edit ends.
    void commitEdits();
    // Save (or Save As with askName); refused, naming them, while any field is red, apart
    // from text not in the project that the user has chosen to discard.
    bool saveProject(bool askName, bool unstoredDiscarded = false);

    std::unique_ptr<FileManager> m_fileManager;
    std::unique_ptr<KvpProject> m_project;
    bool m_unsaved = false;
    UndoHistory m_history{kHistoryLimit};
    korvane::ProjectData m_savedState;
    // Consecutive changes of one edit of one field make one step of the history.
    UserEditTracker m_edits;
    bool m_drawn = false;                              // drawn on the screen at least once
    std::vector<std::function<void()>> m_whenOnScreen;  // boxes waiting for that

    wxNotebook* m_notebook = nullptr;
    wxGauge* m_gauge = nullptr;
    EditShape* m_shape = nullptr;
    EditArifoils* m_airfoils = nullptr;
    EditOperatingConditions* m_conditions = nullptr;
    EditSolverSettings* m_solver = nullptr;
    EditRotorGeometry* m_rotorGeometry = nullptr;
    EditStallDelay* m_stallDelay = nullptr;
    EditCompute* m_compute = nullptr;
    EditTurbine* m_turbine = nullptr;
    EditTurbineCompute* m_turbineCompute = nullptr;
};
