#include "app/window_main.h"

#include <wx/aboutdlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <algorithm>
#include <utility>

#include "app/blade_exporter.h"
#include "app/edit_airfoil_points.h"
#include "app/edit_compute.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_rotor_geometry.h"
#include "app/edit_shape.h"
#include "app/edit_solver_settings.h"
#include "app/edit_stall_delay.h"
#include "app/edit_turbine.h"
#include "app/edit_turbine_compute.h"
#include "app/file_dialogs.h"
#include "app/file_manager.h"
#include "bemt/Error.h"
#include "exchange/aerodyn_export.h"
#include "exchange/openfast_project.h"
#include "project/exception_text.h"
#include "results/app_icon.h"
#include "results/error_box.h"
#include "results/user_guide.h"

namespace {

const wxString kAllDone = "All actions done.";
const wxString kRedFieldsNotSaved =
    "The project was not saved: the fields shown in red hold text that is not a valid value. Correct them and "
    "save again:";
const wxString kDiscardCaption = "Discard the text not in the project?";
const wxString kDiscardMessage =
    "These fields hold text that is not in the project: text shown in red, and valid values it holds back. It is "
    "lost if you go on:";

}  // namespace

MainWindow::MainWindow()
    : wxFrame(nullptr, wxID_ANY, windowTitle(wxEmptyString), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE) {
    SetIcons(korvaneIcons());
    buildMenus();
    buildStatusBar();

    m_fileManager = std::make_unique<FileManager>(std::make_unique<WxFileDialogs>());
    m_unsaved = false;
    m_project = std::make_unique<KvpProject>(m_fileManager.get());
    m_project->Bind(kvnEVT_PROJECT_UNSAVED, &MainWindow::onUnsaved, this);
    m_project->newProject();
    m_savedState = m_project->state();
    SetTitle(windowTitle(m_project->projectFilename()));

    buildPages();
    startHistory();
    m_compute->setInputCheck([this](unsigned unused) { return invalidFields(false, unused); });
    m_turbineCompute->setTurbineCheck([this](unsigned) { return m_turbine->invalidFields(); });
    m_compute->setListCheck([this] {
        flushFieldUpdates();
        return m_shape->acceptsAction("No designed blade is taken over");
    });
    // An optimised tip speed ratio lands in the turbine settings or the design point.
    m_compute->setPagesFollow([this] { update(false, false, true, false, false, true); });

    Bind(wxEVT_MENU, &MainWindow::onNew, this, wxID_NEW);
    Bind(wxEVT_MENU, &MainWindow::onOpen, this, wxID_OPEN);
    Bind(wxEVT_MENU, &MainWindow::onSave, this, wxID_SAVE);
    Bind(wxEVT_MENU, &MainWindow::onSaveAs, this, wxID_SAVEAS);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(wxEVT_MENU, &MainWindow::onUndo, this, wxID_UNDO);
    Bind(wxEVT_MENU, &MainWindow::onRedo, this, wxID_REDO);
    Bind(wxEVT_MENU, &MainWindow::onAbout, this, wxID_ABOUT);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { openUserGuide(this); }, wxID_HELP);
    Bind(wxEVT_MENU, &MainWindow::onImportOpenFast, this, kImportOpenFastId);
    Bind(wxEVT_MENU, &MainWindow::onExportAeroDyn, this, kExportAeroDynId);
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::onClose, this);

    // Large enough for the first page without scrolling on a 1280 x 800 screen: as wide
    // as its columns need (with room for the notebook's border and a scroll bar).
    SetSize(FromDIP(wxSize(1060, 700)));
    const int pageWidth = m_notebook->GetPage(0)->GetSizer()->GetMinSize().x + FromDIP(30);
    if (GetClientSize().x < pageWidth) SetClientSize(pageWidth, GetClientSize().y);
    SetMinSize(FromDIP(wxSize(480, 360)));
    Centre();
}

MainWindow::~MainWindow() {
    m_project->Unbind(kvnEVT_PROJECT_UNSAVED, &MainWindow::onUnsaved, this);
    // The pages unbind from the project when they go: let them go while it exists.
    DestroyChildren();
}

void MainWindow::whenOnScreen(std::function<void()> show) {
    if (m_drawn || !IsShown())
        show();
    else
        m_whenOnScreen.push_back(std::move(show));
}

wxString MainWindow::windowTitle(const wxString& fileName) {
    return fileName.empty() ? wxString("Korvane") : fileName + " - Korvane";
}

void MainWindow::setUnsaved(bool unsaved) {
    m_unsaved = unsaved;
    SetTitle(unsaved ? m_project->projectFilename() + "*" + " - Korvane" : windowTitle(m_project->projectFilename()));
}

void MainWindow::markSaved() {
    m_savedState = m_project->state();
    setUnsaved(false);
}

void MainWindow::refreshUnsaved() { setUnsaved(!korvane::sameValues(m_project->state(), m_savedState)); }

std::vector<wxString> MainWindow::invalidFields(bool turbine, unsigned unused) const {
    std::vector<wxString> fields;
    for (EditSection* page : {static_cast<EditSection*>(m_conditions), static_cast<EditSection*>(m_solver),
                              static_cast<EditSection*>(m_rotorGeometry), static_cast<EditSection*>(m_stallDelay),
                              static_cast<EditSection*>(m_compute), static_cast<EditSection*>(m_shape),
                              static_cast<EditSection*>(m_airfoils), static_cast<EditSection*>(m_turbine)}) {
        if (page == m_turbine && !turbine) continue;
        const auto invalid = page->invalidFields(unused);
        fields.insert(fields.end(), invalid.begin(), invalid.end());
    }
    return fields;
}

void MainWindow::endEdits() {
    m_edits.endEdit();
    for (EditSection* page : {static_cast<EditSection*>(m_conditions), static_cast<EditSection*>(m_solver),
                              static_cast<EditSection*>(m_rotorGeometry), static_cast<EditSection*>(m_stallDelay),
                              static_cast<EditSection*>(m_compute), static_cast<EditSection*>(m_shape),
                              static_cast<EditSection*>(m_airfoils), static_cast<EditSection*>(m_turbine),
                              static_cast<EditSection*>(m_turbineCompute)})
        page->endEdit();
}

void MainWindow::commitEdits() {
    flushFieldUpdates();
    endEdits();
}

std::vector<wxString> MainWindow::unstoredFields() const {
    std::vector<wxString> fields;
    // The surface grid belongs to the session, not to the project.
    for (EditSection* page : {static_cast<EditSection*>(m_conditions), static_cast<EditSection*>(m_solver),
                              static_cast<EditSection*>(m_rotorGeometry), static_cast<EditSection*>(m_stallDelay),
                              static_cast<EditSection*>(m_compute), static_cast<EditSection*>(m_shape),
                              static_cast<EditSection*>(m_airfoils), static_cast<EditSection*>(m_turbine)}) {
        const auto unstored = page->unstoredFields();
        fields.insert(fields.end(), unstored.begin(), unstored.end());
    }
    return fields;
}

bool MainWindow::saveProject(bool askName, bool unstoredDiscarded) {
    commitEdits();
    // Red text is not in the project: saving would leave the file different from what the
    // form shows, unless the user has chosen to discard it (what remains red is the
    // project's own values, out of range).
    std::vector<wxString> red = invalidFields(true);
    if (unstoredDiscarded) {
        const auto unstored = unstoredFields();
        std::erase_if(red, [&](const wxString& field) {
            return std::find(unstored.begin(), unstored.end(), field) != unstored.end();
        });
    }
    if (!red.empty()) {
        showErrorBox(this, kRedFieldsNotSaved + listedLines(red));
        return false;
    }
    try {
        if (!(askName ? m_project->saveAs() : m_project->save())) return false;
        markSaved();
        return true;
    } catch (const bemt::Error& error) {
        showError(error.message());
        return false;
    }
}

void MainWindow::update(bool shape, bool airfoils, bool conditions, bool solver, bool compute, bool turbine) {
    Freeze();
    if (shape) m_shape->update();
    if (airfoils) m_airfoils->update();
    if (conditions) m_conditions->update();
    if (solver) {
        m_solver->update();
        m_rotorGeometry->update();
        m_stallDelay->update();
    }
    if (compute) m_compute->update();
    if (turbine) {
        m_turbine->update();
        m_turbineCompute->update();
    }
    Thaw();
}

void MainWindow::refreshUndoRedo() {
    wxMenuBar* bar = GetMenuBar();
    bar->Enable(wxID_UNDO, canUndo());
    bar->Enable(wxID_REDO, canRedo());
}

void MainWindow::startHistory() {
    m_history.start(kvnProjectEvent(kvnEVT_PROJECT_UNSAVED, m_project->state()));
    m_edits.endEdit();
    refreshUndoRedo();
    // What the status bar said of the previous project's edits no longer applies.
    if (GetStatusBar()) SetStatusText(kStatusReady);
}

void MainWindow::showError(const std::string& message) {
    showErrorBox(this, wxString::FromUTF8(message));
}

bool MainWindow::resolveUnsaved() {
    commitEdits();
    // The text is dropped only when the action goes on and shows another project (or
    // closes the window): a Cancel at any question, or of the action itself, leaves it.
    const auto unstored = unstoredFields();
    if (!unstored.empty()) {
        wxMessageDialog question(this, kDiscardMessage + listedLines(unstored) + "\n\nDiscard it and go on?",
                                 kDiscardCaption, wxYES_NO | wxNO_DEFAULT | wxCENTRE | wxSTAY_ON_TOP | wxICON_WARNING);
        question.SetYesNoLabels("&Discard", "&Cancel");
        if (question.ShowModal() != wxID_YES) return false;
    }
    if (!m_unsaved) return true;
    const int answer = wxMessageBox(
        "There are unsaved changes in the project. Do you want to save the project before continuing?",
        "Save the project?", wxYES_NO | wxCANCEL | wxCENTRE | wxSTAY_ON_TOP, this);
    if (answer == wxCANCEL) return false;
    if (answer == wxNO) return true;
    // What is saved is the project, without the text the user chose to discard.
    return saveProject(false, !unstored.empty());
}

void MainWindow::onNew(wxCommandEvent&) {
    if (!resolveUnsaved()) return;
    m_project->newProject();
    startHistory();
    markSaved();
    update(true, true, true, true, true);
    resetComputations();
}

void MainWindow::onOpen(wxCommandEvent&) {
    // An empty path lets the user choose the file.
    if (resolveUnsaved() && openFile(wxEmptyString)) resetComputations();
}

void MainWindow::resetComputations() {
    // The compute panel's airfoil segments and result windows belong to the previous
    // project, and so does a computation still running: stop it rather than open its
    // result among the new project's windows.
    if (m_compute->busy()) m_compute->abandonComputation();
    m_compute->removeAirfoilSegments();
    m_compute->resetWindowCounters();
    m_compute->destroyWindows();
}

bool MainWindow::openFile(const wxString& path) {
    // A cancelled or failed open keeps the project, its title and its history.
    try {
        if (!m_project->open(path)) return false;
    } catch (...) {
        // Whatever a file holds, the program says so and goes on.
        showError(korvane::currentExceptionText());
        return false;
    }
    startHistory();
    markSaved();
    update(true, true, true, true, true);
    if (const auto& outside = m_project->outOfLimits(); !outside.empty()) {
        std::vector<wxString> values;
        for (const std::string& value : outside) values.push_back(wxString::FromUTF8(value));
        whenOnScreen([this, values] {
            showErrorBox(this, "The project file holds values outside the ranges this version accepts. They are kept "
                               "and shown in red: correct them before computing or saving." + listedLines(values));
        });
    }
    return true;
}

void MainWindow::onImportOpenFast(wxCommandEvent&) {
    if (!resolveUnsaved()) return;
    const wxString path = m_fileManager->getAnyFilePath("OpenFAST input files (*.fst)|*.fst|All files (*.*)|*.*",
                                                        "Import OpenFAST model", this);
    if (path.empty()) return;
    korvane::openfast::ImportedProject imported;
    try {
        imported = korvane::openfast::importModel(path.utf8_string());
    } catch (const bemt::Error& error) {
        showError(error.message());
        return;
    }
    resetComputations();
    m_project->importProject(imported.project);
    startHistory();
    setUnsaved(true);
    update(true, true, true, true, true, true);
    if (!imported.project.notes.empty()) {
        std::vector<wxString> notes;
        for (const wxString& line : wxSplit(wxString::FromUTF8(imported.project.notes), '\n', '\0'))
            notes.push_back(line);
        wxMessageBox(listedLines(notes).Mid(1), "Imported with notes", wxOK | wxICON_INFORMATION | wxCENTRE, this);
    }
}

void MainWindow::onExportAeroDyn(wxCommandEvent&) {
    commitEdits();
    if (m_compute->busy()) {
        showError(BladeExporter::kWhileBusy.utf8_string());
        return;
    }
    const wxString path = m_fileManager->saveFilePath(this, "Export blade to AeroDyn",
                                                      "AeroDyn blade files (*.dat)|*.dat",
                                                      wxString::FromUTF8(korvane::aerodyn::kBladeFile));
    if (path.empty()) return;
    // The airfoil data are prepared as for a computation, on the worker thread with
    // progress and Stop: XFOIL may take minutes.
    m_compute->exportProjectBlade(path, [this](const wxString& done) { SetStatusText(done); });
}

void MainWindow::onSave(wxCommandEvent&) { saveProject(false); }

void MainWindow::onSaveAs(wxCommandEvent&) { saveProject(true); }

void MainWindow::onUnsaved(kvnProjectEvent& event) {
    const korvane::ProjectData& state = event.state();
    // A snapshot that a later change has overtaken (the remapped point lists follow a
    // new hub radius, a file was opened over a new project) shows a state the user never
    // saw; the later change brings its own.
    if (!korvane::sameValues(state, m_project->state())) return;
    if (!m_history.record(event, m_edits.currentEdit())) return;
    refreshUnsaved();
    refreshUndoRedo();
}

void MainWindow::restore(const kvnProjectEvent& snapshot) {
    const korvane::ProjectData current = m_project->state();
    const bool shape = !korvane::sameValues(snapshot.chordPoints(), current.chordPoints) ||
                       !korvane::sameValues(snapshot.twistPoints(), current.twistPoints) ||
                       !korvane::sameValues(snapshot.state().prebendPoints, current.prebendPoints);
    const bool airfoils = !korvane::sameValues(snapshot.airfoilPoints(), current.airfoilPoints);
    const bool conditions = !korvane::sameValues(snapshot.operatingConditions(), current.conditions);
    // The rotor geometry and the stall delay follow the solver settings' page.
    const bool solver = !korvane::sameValues(snapshot.solverSettings(), current.solverSettings) ||
                        !bemt::Rotor::sameValues(snapshot.state().rotor, current.rotor) ||
                        !korvane::sameValues(snapshot.state().stall_delay, current.stall_delay);
    const bool compute = !korvane::sameValues(snapshot.computeSettings(), current.computeSettings);
    // Default turbine settings follow the rotor's radius and rotation speed.
    const bool turbine = !korvane::sameValues(snapshot.state().turbine, current.turbine) || conditions;
    m_project->restoreState(snapshot);
    // The pitch sweep lives on the conditions page.
    update(shape, airfoils, conditions || compute, solver, compute, turbine);
    // What follows the restored values (the hub height checked against the radius, the
    // positions in m) follows now, not at whatever input comes next.
    flushFieldUpdates();
}

void MainWindow::onUndo(wxCommandEvent&) {
    flushFieldUpdates();  // an edit still on its way is the step to undo
    if (!m_history.canUndo() || !acceptsAction(this, kUndoRefused, unstoredFields())) return;
    m_edits.endEdit();
    m_history.endStep();
    restore(m_history.undoTarget());
    m_history.stepBack();
    refreshUnsaved();
    refreshUndoRedo();
    SetStatusText(kStatusReady);  // a note on the edit undone or redone is stale
}

void MainWindow::onRedo(wxCommandEvent&) {
    flushFieldUpdates();
    if (!m_history.canRedo() || !acceptsAction(this, kRedoRefused, unstoredFields())) return;
    m_edits.endEdit();
    m_history.endStep();
    m_history.stepForward();
    restore(m_history.current());
    refreshUnsaved();
    refreshUndoRedo();
    SetStatusText(kStatusReady);  // a note on the edit undone or redone is stale
}

void MainWindow::onAbout(wxCommandEvent&) {
    wxAboutDialogInfo info;
    info.SetName("Korvane");
    info.SetVersion("1.0.0");
    info.SetDescription(
        "Korvane designs horizontal-axis wind turbine rotor blades and predicts the physical\n"
        "parameters of the turbine (power, thrust and their distributions) by blade element momentum theory.");
    info.SetCopyright(wxS("© The Korvane developers. All rights reserved."));
    info.AddDeveloper("The Korvane developers");
    info.SetLicence(
        "Korvane is distributed under the terms of its licence, as stated in the project's repository.\n"
        "It uses wxWidgets (wxWindows Library Licence), Boost (Boost Software License),\n"
        "nlohmann json (MIT License), CLI11 (BSD 3-Clause License) and XFOIL (GNU GPL).");
    wxAboutBox(info, nullptr);
}

void MainWindow::onClose(wxCloseEvent& event) {
    if (resolveUnsaved()) {
        event.Skip();  // the default closing destroys the frame
        return;
    }
    if (event.CanVeto())
        event.Veto();
    else
        event.Skip();
}

void MainWindow::progress(int percentage, const wxString& message) {
    if (percentage < 100) {
        m_gauge->SetValue(percentage);
        SetStatusText(message);
    } else {
        m_gauge->SetValue(0);
        SetStatusText(kAllDone);
    }
}
