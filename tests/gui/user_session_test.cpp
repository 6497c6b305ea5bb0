// The desktop program driven end to end as a user drives it: started the way the
// command line starts it, real mouse clicks and key presses through the X server, the
// real event loop handling them.

#include <gtest/gtest.h>
#include <fstream>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/statusbr.h>

#include <unistd.h>
#include <wx/display.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

#include "GuiTestSupport.h"
#include "TempFolder.h"
#include "UserSessionFixture.h"
#include "UserSimulation.h"
#include "app/edit_airfoil_point_single.h"
#include "app/edit_airfoil_points.h"
#include "app/edit_chord_points.h"
#include "app/edit_compute.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_shape.h"
#include "app/edit_turbine_compute.h"
#include "app/edit_twist_points.h"
#include "app/edit_turbine.h"
#include "app/field_rules.h"
#include "app/file_dialogs.h"
#include "app/kvn_app.h"
#include "project/kvp_codec.h"
#include "app/window_main.h"
#include "bemt/Common.h"
#include "results/result_window_frame.h"
#include "results/result_window_list.h"
#include "results/window_shape.h"
#include "results/window_twist.h"

namespace {

using korvane::testing::DialogAnswers;
using korvane::testing::red;
using korvane::testing::SimulatedUser;
using korvane::testing::UserSession;

TEST_F(UserSession, TypingAHubRadiusRemapsOnceFromTheListsTheEditBeganWith) {
    start();
    const korvane::ProjectData original = project().state();
    wxTextCtrl* hub = window->conditionsPage()->hubRadiusField();

    // "3" is a valid hub on the way to "30", which is not (above the 25 m radius): text
    // shown in red never reaches the project, and every list stays where it was.
    user.typeInto(hub, "30");
    EXPECT_EQ(hub->GetValue(), "30");
    EXPECT_TRUE(red(hub));
    EXPECT_NE(window->GetStatusBar()->GetStatusText(), kPointsFollowTheHub);  // they moved, and back
    EXPECT_TRUE(korvane::sameValues(project().state(), original));
    EXPECT_FALSE(window->canUndo());
    EXPECT_EQ(window->GetTitle(), "New project - Korvane");

    // Typed back, every list is exactly what it was, and there is nothing to undo.
    user.typeInto(hub, "1.5");
    EXPECT_FALSE(red(hub));
    EXPECT_TRUE(korvane::sameValues(project().state(), original));
    EXPECT_FALSE(window->canUndo());
    EXPECT_EQ(window->GetTitle(), "New project - Korvane");
    // The pages show the project: the chord editor's first position reads back exactly.
    double first = 0.0;
    ASSERT_TRUE(parseNumber(window->shapePage()->chordEditor()->positionField(0)->GetValue(), first));
    EXPECT_EQ(first, original.chordPoints.front().x_rel);

    // One Ctrl+Z takes a new hub and every list back; Ctrl+Y brings them again.
    user.typeInto(hub, "3");
    const korvane::ProjectData edited = project().state();
    EXPECT_EQ(edited.chordPoints.front().x_rel, 0.12);
    EXPECT_EQ(window->GetStatusBar()->GetStatusText(), kPointsFollowTheHub);
    user.key('z', wxMOD_CONTROL);
    EXPECT_TRUE(korvane::sameValues(project().state(), original));
    EXPECT_EQ(hub->GetValue(), "1.5");
    EXPECT_EQ(window->GetStatusBar()->GetStatusText(), "Ready.");  // the note no longer holds
    EXPECT_EQ(window->GetTitle(), "New project - Korvane");
    user.key('y', wxMOD_CONTROL);
    EXPECT_TRUE(korvane::sameValues(project().state(), edited));
    EXPECT_EQ(hub->GetValue(), "3");

    // A project whose chord list starts off the hub, and its rotor radius typed again as
    // it is, passing through a 2 m rotor on the 1.5 m hub: nothing moves, nothing is
    // pulled onto the hub.
    korvane::ProjectData offHub = original;
    offHub.chordPoints = {{0.3, 0.05}, {1.0, 0.02}};
    const std::string path = folder.file("off_hub.kvp");
    std::ofstream(path) << korvane::kvp::write(offHub, path);
    ASSERT_TRUE(window->openFile(wxString::FromUTF8(path)));
    const korvane::ProjectData before = project().state();
    wxTextCtrl* radius = window->conditionsPage()->radiusField();
    user.typeInto(radius, radius->GetValue());
    EXPECT_TRUE(korvane::sameValues(project().state(), before));
}

TEST_F(UserSession, OneEditOfOneFieldIsOneUndoStepAndUndoReachesTheSavedState) {
    start();
    wxTextCtrl* wind = window->conditionsPage()->windVelocityField();
    wxTextCtrl* rpm = window->conditionsPage()->rotationSpeedField();
    user.typeInto(wind, "12.5");
    EXPECT_EQ(project().operatingConditions().V0, 12.5);
    user.typeInto(rpm, "20");
    EXPECT_EQ(bemt::Common::rads2rpm(project().operatingConditions().Om), 20.0);
    EXPECT_EQ(window->historySize(), 3u);  // the start and two edits
    EXPECT_EQ(window->GetTitle(), "New project* - Korvane");

    user.key('z', wxMOD_CONTROL);
    EXPECT_NEAR(bemt::Common::rads2rpm(project().operatingConditions().Om), 18.0, 1e-12);
    EXPECT_EQ(project().operatingConditions().V0, 12.5);
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().operatingConditions().V0, 8.0);
    EXPECT_EQ(wind->GetValue(), "8");
    // Back at the saved state: no "*".
    EXPECT_EQ(window->GetTitle(), "New project - Korvane");
    EXPECT_FALSE(window->canUndo());

    // Redo by Ctrl+Y and by Ctrl+Shift+Z.
    user.key('y', wxMOD_CONTROL);
    EXPECT_EQ(project().operatingConditions().V0, 12.5);
    EXPECT_EQ(wind->GetValue(), "12.5");
    user.key('z', wxMOD_CONTROL | wxMOD_SHIFT);
    EXPECT_EQ(bemt::Common::rads2rpm(project().operatingConditions().Om), 20.0);
    EXPECT_FALSE(window->canRedo());
    EXPECT_EQ(window->GetTitle(), "New project* - Korvane");

    // Save As answers Ctrl+Shift+S; after saving, undoing makes the project unsaved and
    // redoing brings the saved state back.
    const std::string saved = folder.file("edited.kvp");
    script->paths.push_back(wxString::FromUTF8(saved));
    user.key('s', wxMOD_CONTROL | wxMOD_SHIFT);
    ASSERT_EQ(script->requests.size(), 1u);
    EXPECT_EQ(script->requests[0].title, "Save project file");
    EXPECT_EQ(window->GetTitle(), "edited.kvp - Korvane");
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(window->GetTitle(), "edited.kvp* - Korvane");
    user.key('y', wxMOD_CONTROL);
    EXPECT_EQ(window->GetTitle(), "edited.kvp - Korvane");
}

// Text that is no valid value turns its field red and never reaches the project, not
// even the valid start typed on the way ("1" of "1,5"); derived fields show the stored
// values; saving and every computation that uses the field refuse, naming it.
TEST_F(UserSession, RedTextOfAnyFieldNeverReachesTheProjectTheFileOrAComputation) {
    const std::string path = folder.file("rotor.kvp");
    std::filesystem::copy_file(std::string(KORVANE_EXAMPLES) + "/new_turbine.kvp", path);
    const std::string original = korvane::testing::readBytes(path);
    start(path);
    DialogAnswers dialogs;
    EditOperatingConditions* conditions = window->conditionsPage();
    // A step to undo and one to redo: Undo and Redo refuse to drop the red text.
    user.typeInto(conditions->airDensityField(), "1.1");
    user.typeInto(conditions->viscosityField(), "1.9e-05");
    user.key('z', wxMOD_CONTROL);
    ASSERT_TRUE(window->canUndo() && window->canRedo());
    const korvane::ProjectData loaded = project().state();
    const auto undoRefused = [&](int modifiers, const wxString& refusal, const wxString& name) {
        const std::size_t before = dialogs.shown().size();
        user.key('z', modifiers);
        ASSERT_EQ(dialogs.shown().size(), before + 1);
        EXPECT_TRUE(dialogs.shown().back().message.StartsWith(refusal + " while")) << dialogs.shown().back().message;
        EXPECT_NE(dialogs.shown().back().message.Find(name), wxNOT_FOUND) << dialogs.shown().back().message;
        EXPECT_TRUE(korvane::sameValues(project().state(), loaded));
    };
    // Text without a valid start leaves the step to redo in place.
    user.typeInto(conditions->hubRadiusField(), "abc");
    undoRefused(wxMOD_CONTROL | wxMOD_SHIFT, kRedoRefused, "Design conditions: Hub radius");
    undoRefused(wxMOD_CONTROL, kUndoRefused, "Design conditions: Hub radius");
    EXPECT_EQ(conditions->hubRadiusField()->GetValue(), "abc");
    window->update(true, true, true, true, true);
    // A valid start of red text ("1" of "1,5") reaches the project on the way and leaves
    // it again: the step to redo stays.
    user.typeInto(conditions->windVelocityField(), "1,5");
    EXPECT_TRUE(window->canRedo());
    undoRefused(wxMOD_CONTROL | wxMOD_SHIFT, kRedoRefused, "Design conditions: Wind velocity");
    window->update(true, true, true, true, true);
    const wxString tipSpeedRatio = conditions->tipSpeedRatioField()->GetValue();
    EditTurbine* turbine = window->turbinePage();
    EditTurbineCompute* turbineCompute = window->turbineComputePage();
    struct Row {
        int page;
        std::function<wxTextCtrl*()> field;  // the pages rebuild their point lists
        wxString text;
        wxString name;
        wxButton* compute;  // a computation that uses the field
    };
    const Row rows[] = {
        {0, [&] { return conditions->windVelocityField(); }, "1,5", "Design conditions: Wind velocity", window->computePage()->operatingPointButton()},
        // The default turbine's rotor speeds follow the rotation speed.
        {0, [&] { return conditions->rotationSpeedField(); }, "12abc", "Design conditions: Rotation speed", turbineCompute->powerCurveButton()},
        {0, [&] { return conditions->windVelocityField(); }, "-0", "Design conditions: Wind velocity", nullptr},
        {0, [&] { return conditions->windVelocityField(); }, "0.3", "Design conditions: Wind velocity", nullptr},  // λ above 120
        {0, [&] { return conditions->hubRadiusField(); }, "1 000", "Design conditions: Hub radius", nullptr},
        {0, [&] { return window->computePage()->minField(); }, "1e400", "Compute: Min. value", window->computePage()->characteristicsButton()},
        {1, [&] { return window->shapePage()->chordEditor()->valueField(0); }, "0,1", "Chord distribution: point 1, c/R", nullptr},
        {2, [&] { return window->airfoilsPage()->pointsEditor()->pointEditor(0)->positionField(); }, "", "Airfoil segments: point 1: x/R", nullptr},
        {3, [&] { return turbine->field("rated_power"); }, "4,5", "Turbine: Rated power", turbineCompute->powerCurveButton()},
        {3, [&] { return turbine->field("efficiency"); }, "1.5", "Turbine: Efficiency", turbineCompute->powerCurveButton()},
        {3, [&] { return turbine->field("wind_climates"); }, "2, 9.5x, Site", "Turbine: Wind climates", turbineCompute->powerCurveButton()},
        {3, [&] { return turbine->field("wind_climates"); }, "2, 9,5, Site Y", "Turbine: Wind climates", nullptr},  // a decimal comma
        {3, [&] { return turbineCompute->field(0); }, "2x", "Turbine computations: Min. TSR", turbineCompute->surfaceButton()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " \"" + row.text + "\"");
        window->notebook()->SetSelection(row.page);
        user.settle();
        wxTextCtrl* field = row.field();
        if (row.text.empty()) {
            user.click(field);
            user.key('a', wxMOD_CONTROL);
            user.key(WXK_BACK);
        } else {
            user.typeInto(field, row.text);
        }
        EXPECT_TRUE(red(field)) << field->GetValue();
        user.key(WXK_TAB);  // on to the next field: the fields shown red stay those Save names
        const auto shownRed = redFields();
        EXPECT_TRUE(korvane::sameValues(project().state(), loaded));
        EXPECT_EQ(conditions->tipSpeedRatioField()->GetValue(), tipSpeedRatio);
        EXPECT_EQ(window->GetTitle(), "rotor.kvp* - Korvane");

        // The surface grid is the session's, not the project's: it holds back neither Save
        // nor Undo and Redo.
        const bool inProject = !row.name.StartsWith("Turbine computations");
        std::size_t before = dialogs.shown().size() + (inProject ? 1 : 0);
        user.key('s', wxMOD_CONTROL);
        ASSERT_EQ(dialogs.shown().size(), before);
        if (inProject) {
            EXPECT_TRUE(dialogs.shown().back().message.StartsWith("The project was not saved"));
            EXPECT_NE(dialogs.shown().back().message.Find(row.name), wxNOT_FOUND) << dialogs.shown().back().message;
            undoRefused(wxMOD_CONTROL, kUndoRefused, row.name);
            EXPECT_EQ(row.field()->GetValue(), row.text);
            ++before;
        }
        EXPECT_EQ(redFields(), shownRed);  // Save coloured the fields it names
        if (inProject) {
            EXPECT_EQ(korvane::testing::readBytes(path), original);
        }
        if (row.compute) {
            for (std::size_t page = 0; page < window->notebook()->GetPageCount(); ++page)
                if (window->notebook()->GetPage(page)->IsDescendant(row.compute)) window->notebook()->SetSelection(page);
            user.click(row.compute);
            user.settle();
            ASSERT_EQ(dialogs.shown().size(), before + 1);
            EXPECT_EQ(dialogs.shown().back().caption, "Invalid input.");
            EXPECT_NE(dialogs.shown().back().message.Find(row.name), wxNOT_FOUND) << dialogs.shown().back().message;
            EXPECT_TRUE(window->computePage()->resultWindows().empty());
        }
        window->update(true, true, true, true, true);  // the fields show the project again
        turbineCompute->update();
    }
    EXPECT_FALSE(window->computePage()->busy());

    // A long number shows its start, not its tail, once the field is left.
    window->notebook()->SetSelection(0);
    user.typeInto(window->computePage()->minField(), "0.023809523809523808");
    user.key(WXK_TAB);
    EXPECT_EQ(window->computePage()->minField()->GetInsertionPoint(), 0);
    // "-0" is zero where zero is valid, and the file says 0.0.
    user.typeInto(window->computePage()->minField(), "-0");
    EXPECT_FALSE(red(window->computePage()->minField()));
    EXPECT_FALSE(std::signbit(project().computeSettings().ran_min));
    user.key('s', wxMOD_CONTROL);
    const std::string saved = korvane::testing::readBytes(path);
    EXPECT_NE(saved.find("\"ran_min\":0.0"), std::string::npos);
    EXPECT_EQ(saved.find("-0.0"), std::string::npos);
}

// A message about the file named on the command line waits until the main window is on
// the screen, drawn, and stands over it: the main window is its parent.
TEST_F(UserSession, ValuesOutOfRangeInTheFileAreReportedOverTheShownMainWindow) {
    std::string text = korvane::testing::readBytes(std::string(KORVANE_EXAMPLES) + "/new_turbine.kvp");
    const auto rho = text.find("\"rho\":1.225");
    ASSERT_NE(rho, std::string::npos);
    text.replace(rho, 11, "\"rho\":100.0");
    const std::string path = folder.file("dense_air.kvp");
    korvane::testing::writeBytes(path, text);
    // Whether the main window has drawn anything yet.
    struct PaintWatch : wxEventFilter {
        bool drawn = false;
        PaintWatch() { wxEvtHandler::AddFilter(this); }
        ~PaintWatch() override { wxEvtHandler::RemoveFilter(this); }
        int FilterEvent(wxEvent& event) override {
            const auto* w = dynamic_cast<wxWindow*>(event.GetEventObject());
            if (event.GetEventType() == wxEVT_PAINT && w && dynamic_cast<MainWindow*>(wxGetTopLevelParent(const_cast<wxWindow*>(w))))
                drawn = true;
            return Event_Skip;
        }
    } paints;
    struct Answers : DialogAnswers {
        const PaintWatch* paints = nullptr;
        bool drawnFirst = false;
        wxWindow* parent = nullptr;
        int Enter(wxDialog* dialog) override {
            drawnFirst = paints->drawn;
            parent = dialog->GetParent();
            return DialogAnswers::Enter(dialog);
        }
    } answers;
    answers.paints = &paints;
    start(path);
    ASSERT_TRUE(korvane::testing::runEventLoopUntil([&] { return !answers.shown().empty(); }));
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_TRUE(answers.shown()[0].message.StartsWith("The project file holds values outside the ranges"));
    EXPECT_TRUE(answers.drawnFirst);
    EXPECT_EQ(answers.parent, window);
    EXPECT_TRUE(red(window->conditionsPage()->airDensityField()));
}

// The desktop program cannot refuse to start as korvane-cli does; it says what is wrong
// with the variable once and computes on every core.
TEST_F(UserSession, AThreadCountVariableThatIsNoCountIsReportedAtStartUp) {
    DialogAnswers answers;
    ::setenv("KORVANE_THREADS", "four", 1);
    start();
    ::unsetenv("KORVANE_THREADS");
    // The box waits for the window's first drawing, which a busy machine may delay.
    ASSERT_TRUE(korvane::testing::runEventLoopUntil([&] { return !answers.shown().empty(); }));
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().caption, kThreadsCaption);
    EXPECT_TRUE(answers.shown().front().message.StartsWith(
        "KORVANE_THREADS must be a whole number of threads from 1 to 1024, not \"four\". The computations use every "
        "core ("));
}

TEST_F(UserSession, AProjectOpenedFromTheCommandLineStartsSavedWithItsOwnHistory) {
    // A copy of the NREL 5-MW example, whose wind velocity has more digits than "%.3g".
    const std::string path = folder.file("nrel5mw.kvp");
    std::filesystem::copy_file(std::string(KORVANE_EXAMPLES) + "/nrel5mw.kvp", path);
    const std::string original = korvane::testing::readBytes(path);
    start(path);
    EXPECT_EQ(window->GetTitle(), "nrel5mw.kvp - Korvane");
    const korvane::ProjectData loaded = project().state();
    EXPECT_FALSE(window->canUndo());

    user.click(window->conditionsPage()->radiusField());  // the keys go to the program
    user.key('z', wxMOD_CONTROL);
    user.key('z', wxMOD_CONTROL | wxMOD_SHIFT);
    EXPECT_TRUE(korvane::sameValues(project().state(), loaded));
    EXPECT_EQ(window->GetTitle(), "nrel5mw.kvp - Korvane");
    user.key('s', wxMOD_CONTROL);
    EXPECT_TRUE(script->requests.empty());  // the file is known: no dialog
    EXPECT_EQ(korvane::testing::readBytes(path), original);
}

TEST_F(UserSession, ARepeatingAirfoilPointGreysOutItsOwnDataAndSaysWhatItRepeats) {
    start();
    window->notebook()->SetSelection(2);  // "Airfoils data"
    user.settle();
    EditAirfoilPoints* list = window->airfoilsPage()->pointsEditor();
    // The new project's second point repeats the first (NACA 0012 from x/R 0.06).
    EditSingleAirfoilPoint* second = list->pointEditor(1);
    EXPECT_TRUE(second->repeatBox()->GetValue());
    EXPECT_FALSE(second->typeChoice()->IsEnabled());
    EXPECT_EQ(second->repeatNote()->GetLabel(), "Repeats point 1: NACA 0012");
    EXPECT_EQ(list->pointEditor(0)->repeatNote()->GetLabel(), "");
    EXPECT_TRUE(list->pointEditor(0)->typeChoice()->IsEnabled());

    // Clicks the box of a point and waits until the project's point repeats or not.
    const auto clickRepeat = [&](int point, bool repeats) {
        user.click(list->pointEditor(point)->repeatBox());
        ASSERT_TRUE(korvane::testing::runEventLoopUntil(
            [&] { return project().airfoilPoints()[point].repeat == repeats; }, std::chrono::seconds(3)));
        user.settle();
    };
    clickRepeat(1, false);
    EXPECT_TRUE(second->typeChoice()->IsEnabled());
    EXPECT_EQ(second->repeatNote()->GetLabel(), "");
    clickRepeat(1, true);
    EXPECT_FALSE(second->typeChoice()->IsEnabled());
    EXPECT_EQ(second->repeatNote()->GetLabel(), "Repeats point 1: NACA 0012");

    // The first point has nothing to repeat: its own data stays in use.
    EditSingleAirfoilPoint* first = list->pointEditor(0);
    clickRepeat(0, true);
    EXPECT_TRUE(first->typeChoice()->IsEnabled());
    EXPECT_EQ(first->repeatNote()->GetLabel(), "Nothing to repeat: the first point uses its own data.");
}

TEST_F(UserSession, ReplacingAFileThatSaveAsFoundByTheAddedExtensionIsAskedFirst) {
    KORVANE_REQUIRE_WX();
    DialogAnswers dialogs;
    dialogs.answer(wxID_NO);
    EXPECT_FALSE(WxFileDialogs().confirmOverwrite("/tmp/rotor.kvp"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].caption, "Replace the file?");
    EXPECT_EQ(dialogs.shown()[0].message, "The file /tmp/rotor.kvp already exists. Do you want to replace it?");
    dialogs.answer(wxID_YES);
    EXPECT_TRUE(WxFileDialogs().confirmOverwrite("/tmp/rotor.kvp"));
}

// Everything written to the standard error stream while it exists (GTK prints its
// warnings there).
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile()) {
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture() {
        restore();
        std::fclose(m_file);
    }
    std::string text() {
        restore();
        std::string text;
        std::rewind(m_file);
        for (int c; (c = std::fgetc(m_file)) != EOF;) text += static_cast<char>(c);
        return text;
    }

private:
    void restore() {
        if (m_saved < 0) return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    std::FILE* m_file;
    int m_saved = -1;
};

TEST_F(UserSession, EveryResultWindowOpensOnTheScreenBesideTheMainWindowAndClosesWithEscAndCtrlW) {
    const std::string path = folder.file("rotor.kvp");
    std::filesystem::copy_file(std::string(KORVANE_EXAMPLES) + "/new_turbine.kvp", path);
    start(path);
    window->SetSize(wxRect(window->FromDIP(wxPoint(60, 50)), window->FromDIP(wxSize(1000, 680))));
    user.settle();
    EditCompute* compute = window->computePage();
    EditTurbineCompute* turbine = window->turbineComputePage();
    EditShape* shape = window->shapePage();
    const ResultWindowList& results = compute->resultWindows();
    // The main window's page that holds a control, in front.
    const auto showPageOf = [this](wxWindow* control) {
        wxNotebook* pages = window->notebook();
        for (wxWindow* w = control; w && w->GetParent(); w = w->GetParent())
            if (w->GetParent() == pages) pages->SetSelection(static_cast<size_t>(pages->FindPage(w)));
        user.settle();
    };
    const auto clickOn = [&](wxButton* button) {
        return [&, button] {
            showPageOf(button);
            user.click(button);
        };
    };
    const auto lastResult = [&]() -> wxTopLevelWindow* { return results.empty() ? nullptr : results.windows().back(); };
    struct Row {
        const char* name;
        std::function<void()> open;
        std::function<wxTopLevelWindow*()> opened;  // null once closed
        int closeKey;                                // Esc, or 'w' with Ctrl
    };
    const std::vector<Row> rows = {
        {"operating point", clickOn(compute->operatingPointButton()), lastResult, WXK_ESCAPE},
        {"design", clickOn(compute->designButton()), lastResult, 'w'},
        {"characteristics", clickOn(compute->characteristicsButton()), lastResult, WXK_ESCAPE},
        {"analyser", clickOn(compute->analyzeButton()), lastResult, 'w'},
        {"power curve", clickOn(turbine->powerCurveButton()), lastResult, WXK_ESCAPE},
        {"surface", clickOn(turbine->surfaceButton()), lastResult, 'w'},
        {"blade shape", [&] { shape->displayShapeWindow(); },
         [&]() -> wxTopLevelWindow* { return shape->shapeWindow(); }, WXK_ESCAPE},
        {"blade twist", [&] { shape->displayTwistWindow(); },
         [&]() -> wxTopLevelWindow* { return shape->twistWindow(); }, 'w'},
    };
    const wxRect screen = wxDisplay(0u).GetClientArea();
    const wxRect main = window->GetRect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StderrCapture errors;
        row.open();
        ASSERT_TRUE(korvane::testing::runEventLoopUntil([&] { return row.opened() && !compute->busy(); },
                                                        std::chrono::seconds(60)));
        user.settle();
        EXPECT_EQ(errors.text().find("CRITICAL"), std::string::npos) << errors.text();
        wxTopLevelWindow* result = row.opened();
        if (result == lastResult()) {
            EXPECT_TRUE(result->GetTitle().EndsWith(" - rotor.kvp")) << result->GetTitle();
        }

        // Fully on the screen, cascading from the main window's corner, no smaller than
        // its layout needs.
        const wxRect rect = result->GetRect();
        EXPECT_TRUE(screen.Contains(rect)) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
        EXPECT_GT(rect.x, main.x);
        EXPECT_GT(rect.y, main.y);
        const wxSize minimum = result->GetMinSize();
        EXPECT_GE(minimum.x, 300);
        EXPECT_GE(minimum.y, 200);
        EXPECT_LE(minimum.x, rect.width);
        EXPECT_LE(minimum.y, rect.height);
        // At the size it asked for, not shrunk to its minimum while the window manager
        // reported the frame extents.
        EXPECT_GT(rect.height, minimum.y) << rect.width << "x" << rect.height;
        result->SetSize(wxSize(100, 100));
        user.settle();
        EXPECT_GE(result->GetSize().x, minimum.x);

        user.moveTo(result, wxPoint(20, 20));
        user.key(row.closeKey, row.closeKey == 'w' ? wxMOD_CONTROL : wxMOD_NONE);
        user.settle();
        EXPECT_EQ(row.opened(), nullptr) << "closed by key " << row.closeKey;
    }
}

TEST(ResultWindowFrame, WindowsCascadeFromTheMainWindowAndFitOnTheScreen) {
    // A 1250 x 820 window beside a main window at (60, 50), on a 1600 x 1000 work area:
    // 32 pixels further per window, never off the area, never below the minimum.
    const wxRect area(0, 0, 1600, 1000), main(60, 50, 1000, 700);
    EXPECT_EQ(placeWindow(main, 1, 32, {1250, 820}, {640, 420}, area), wxRect(92, 82, 1250, 820));
    EXPECT_EQ(placeWindow(main, 4, 32, {1250, 820}, {640, 420}, area), wxRect(188, 178, 1250, 820));
    EXPECT_EQ(placeWindow(main, 1, 32, {400, 200}, {640, 420}, area), wxRect(92, 82, 640, 420));
    // A smaller screen: smaller rather than over the main window's corner.
    EXPECT_EQ(placeWindow(main, 1, 32, {1250, 820}, {640, 420}, {0, 0, 1024, 768}), wxRect(92, 82, 932, 686));
    EXPECT_EQ(placeWindow(main, 1, 32, {900, 600}, {2000, 420}, {0, 0, 1024, 768}), wxRect(0, 82, 1024, 600));
    // The main window on a second screen: the window opens there.
    EXPECT_EQ(placeWindow({1700, 40, 800, 600}, 1, 32, {1250, 820}, {640, 420}, {1600, 0, 1920, 1080}),
              wxRect(1732, 72, 1250, 820));

    const wxRect screen(0, 0, 1280, 800);
    const auto fitted = [&](const wxRect& window) { return fitOnScreen(window, screen); };
    EXPECT_EQ(fitted({100, 50, 800, 600}), wxRect(100, 50, 800, 600));   // fits: unchanged
    EXPECT_EQ(fitted({0, 0, 1375, 902}), wxRect(0, 0, 1280, 800));       // 1250 x 820 at 110 %
    EXPECT_EQ(fitted({900, 500, 800, 600}), wxRect(480, 200, 800, 600));  // moved back on
    EXPECT_EQ(fitted({-40, -10, 300, 200}), wxRect(0, 0, 300, 200));
    // A screen area that does not start at the origin (a panel at the top).
    EXPECT_EQ(fitOnScreen({0, 0, 500, 2000}, wxRect(0, 30, 1280, 770)), wxRect(0, 30, 500, 770));
}

}  // namespace
