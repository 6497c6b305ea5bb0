#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "GuiTestSupport.h"
#include "UserSessionFixture.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_shape.h"
#include "app/edit_solver_settings.h"
#include "app/kvp_project.h"
#include "app/window_main.h"

namespace {

using korvane::testing::DialogAnswers;
using korvane::testing::processEvents;
using korvane::testing::ScriptedFileDialogs;

wxCommandEvent noEvent;

class MainWindowTest : public korvane::testing::UserSession {
protected:
    void SetUp() override {
        UserSession::SetUp();
        start();
    }
    // A project file with a 30 m rotor, written by the project model itself.
    wxString writeProject(const wxString& name) {
        const wxString path = at(name.utf8_string());
        FileManager files;
        KvpProject source(&files);
        source.newProject();
        auto c = source.operatingConditions();
        c.R = 30.0;
        c.L = c.R - c.Rh;
        source.setOeratingConditions(c, false);
        std::ofstream(path.ToStdString()) << source.jsonString(path);
        return path;
    }

    wxString writeText(const wxString& name, const std::string& text) {
        const wxString path = at(name.utf8_string());
        std::ofstream(path.ToStdString()) << text;
        return path;
    }

    // One change of the project through its setters, as an editor makes it.
    void change(int i) {
        auto s = window->project()->solverSettings();
        s.n_elements = 200 + i;
        window->project()->setSolverSettings(s, true);
        processEvents();
    }

};

TEST_F(MainWindowTest, ThePageTabShowsItsAmpersandOnce) {
    const wxString first = window->notebook()->GetPageText(0);  // "&&" in the label shows as "&"
    EXPECT_TRUE(first == "Operating conditions && Compute" || first == "Operating conditions & Compute") << first;
}

TEST_F(MainWindowTest, HistoryKeepsThirtySnapshots) {
    for (int i = 0; i < 31; ++i) change(i);
    EXPECT_EQ(window->historySize(), 30u);
    EXPECT_EQ(window->historyIndex(), 28);
    EXPECT_EQ(window->project()->solverSettings().n_elements, 230);

    int undone = 0;
    while (window->canUndo()) {
        window->onUndo(noEvent);
        processEvents();
        ++undone;
        ASSERT_LE(undone, 40);
    }
    EXPECT_EQ(undone, 29);
    // The oldest snapshot left is the state after the second change.
    EXPECT_EQ(window->project()->solverSettings().n_elements, 201);
    window->onUndo(noEvent);  // nothing more to undo
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 201);
    EXPECT_EQ(window->solverPage()->solverChoice()->GetSelection(), 0);

    int redone = 0;
    while (window->canRedo()) {
        window->onRedo(noEvent);
        processEvents();
        ++redone;
        ASSERT_LE(redone, 40);
    }
    EXPECT_EQ(redone, 29);
    EXPECT_EQ(window->project()->solverSettings().n_elements, 230);
}

TEST_F(MainWindowTest, AChangeAfterUndoDropsTheRedoBranch) {
    for (int i = 0; i < 5; ++i) change(i);
    window->onUndo(noEvent);
    window->onUndo(noEvent);
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 202);
    EXPECT_TRUE(window->canRedo());
    change(10);
    EXPECT_FALSE(window->canRedo());
    EXPECT_FALSE(window->GetMenuBar()->IsEnabled(wxID_REDO));
    EXPECT_TRUE(window->GetMenuBar()->IsEnabled(wxID_UNDO));
    window->onRedo(noEvent);
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 210);
    window->onUndo(noEvent);
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 202);
}

// New and Open ask about the unsaved project, then start a history of their own and drop
// what the status bar said of the old project's edits.
TEST_F(MainWindowTest, NewAndOpenResetTheHistoryAndTheProject) {
    DialogAnswers dialogs;
    script->paths.push_back(writeProject("other.kvp"));
    const struct {
        std::function<void()> command;
        const char* title;
        double radius;
    } rows[] = {{[&] { window->onNew(noEvent); }, "New project - Korvane", 25.0},
                {[&] { window->onOpen(noEvent); }, "other.kvp - Korvane", 30.0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        for (int i = 0; i < 3; ++i) change(i);
        window->SetStatusText(kPointsFollowTheHub);  // a note on an edit of the old project
        const std::size_t shown = dialogs.shown().size();
        dialogs.answer(wxID_NO);  // do not save
        row.command();
        processEvents();
        ASSERT_EQ(dialogs.shown().size(), shown + 1);
        EXPECT_EQ(dialogs.shown().back().caption, "Save the project?");
        EXPECT_FALSE(window->canUndo());
        EXPECT_FALSE(window->canRedo());
        EXPECT_EQ(window->historySize(), 1u);
        EXPECT_EQ(window->project()->solverSettings().n_elements, 100);
        EXPECT_EQ(window->project()->operatingConditions().R, row.radius);
        EXPECT_EQ(window->GetTitle(), row.title);
        EXPECT_EQ(window->GetStatusBar()->GetStatusText(), "Ready.");
        change(0);
        EXPECT_TRUE(window->canUndo());  // back to the project just shown
    }
}

TEST_F(MainWindowTest, CancelInTheSavePromptKeepsTheProject) {
    DialogAnswers dialogs;
    change(0);
    dialogs.answer(wxID_CANCEL);
    window->onNew(noEvent);
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 200);
    EXPECT_TRUE(window->isUnsaved());

    // Yes, then cancelling the save dialog, is a cancel too.
    dialogs.answer(wxID_YES);
    window->onNew(noEvent);
    processEvents();
    EXPECT_EQ(window->project()->solverSettings().n_elements, 200);
    ASSERT_EQ(script->requests.size(), 1u);
    EXPECT_EQ(script->requests[0].title, "Save project file");

    // And closing is vetoed.
    dialogs.answer(wxID_CANCEL);
    wxCloseEvent close(wxEVT_CLOSE_WINDOW);
    close.SetCanVeto(true);
    window->onClose(close);
    EXPECT_TRUE(close.GetVeto());
}

// A message that lists items names the first twelve and counts the rest, so that the box
// and its button stay on the screen.
TEST_F(MainWindowTest, AMessageListsTwelveItemsAndCountsTheRest) {
    DialogAnswers dialogs;
    FileManager files;
    KvpProject source(&files);
    source.newProject();
    std::vector<bemt::TwistPoint> twist;
    for (int i = 0; i < 20; ++i) twist.push_back({0.1 + 0.045 * i, 400.0});
    source.setTwistPoints(twist, false);
    const wxString path = writeText("twisted.kvp", source.jsonString(at("twisted.kvp")));
    ASSERT_TRUE(window->openFile(path));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const wxString message = dialogs.shown()[0].message;
    EXPECT_EQ(message.Freq('\n'), 13u) << message;
    EXPECT_TRUE(message.EndsWith(wxS("\n… and 8 more."))) << message;
}

TEST_F(MainWindowTest, FailedOpenKeepsProjectTitleAndHistory) {
    DialogAnswers dialogs;
    for (int i = 0; i < 4; ++i) change(i);
    window->onUndo(noEvent);
    processEvents();
    const wxString title = window->GetTitle();
    const auto size = window->historySize();
    const int index = window->historyIndex();
    const auto before = window->project()->state();

    for (const std::string& content : {std::string("not json"), std::string("{\"conditions\":{\"B\":3}}")}) {
        script->paths.push_back(writeText("broken.kvp", content));
        dialogs.answer(wxID_NO);  // the save prompt
        window->onOpen(noEvent);
        processEvents();
        EXPECT_EQ(window->GetTitle(), title);
        EXPECT_EQ(window->historySize(), size);
        EXPECT_EQ(window->historyIndex(), index);
        EXPECT_TRUE(window->canRedo());
        EXPECT_TRUE(korvane::sameValues(window->project()->state(), before));
    }
    // A missing file named on the command line fails the same way.
    window->openFile(at("missing.kvp"));
    processEvents();
    EXPECT_EQ(window->GetTitle(), title);

    ASSERT_EQ(dialogs.shown().size(), 5u);  // prompt, error, prompt, error, error
    EXPECT_EQ(dialogs.shown()[1].caption, "An error has occurred.");
    EXPECT_FALSE(dialogs.shown()[1].message.empty());
    EXPECT_EQ(dialogs.shown()[4].caption, "An error has occurred.");
    EXPECT_TRUE(dialogs.shown()[4].message.StartsWith("The file ")) << dialogs.shown()[4].message;
}

// The desktop program itself, started with a file whose number is beyond the range of
// double (once an exception that ended it), shows the message and keeps running until it
// is closed, and the toolkit finds nothing to warn about in its windows.
TEST_F(MainWindowTest, TheProgramStartedWithAnUnreadableNumberKeepsRunningWithoutToolkitWarnings) {
    std::ifstream example(KORVANE_EXAMPLES "/new_turbine.kvp");
    std::string text((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
    text.replace(text.find("\"n_elements\":100"), 16, "\"n_elements\":" + std::string(400, '9'));
    const std::string path = writeText("digits.kvp", text).utf8_string();
    const std::string errors = folder.file("stderr.txt");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        ::execl(KORVANE_APP, KORVANE_APP, path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 30 && ended == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ended = ::waitpid(pid, &status, WNOHANG);
    }
    EXPECT_EQ(ended, 0) << "ended with status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status));
    if (ended == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    std::ifstream written(errors);
    const std::string warnings((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(warnings.find("Gtk-"), std::string::npos) << warnings;
}

TEST_F(MainWindowTest, ClosingWithOpenPreviewsReleasesThemFirst) {
    window->shapePage()->displayShapeWindow();
    window->shapePage()->displayTwistWindow();
    processEvents();
    ASSERT_NE(window->shapePage()->shapeWindow(), nullptr);
    window->Destroy();
    window = nullptr;
    processEvents();
    wxTheApp->ProcessIdle();
    for (wxWindow* top : wxTopLevelWindows) EXPECT_TRUE(top->IsBeingDeleted()) << top->GetLabel();
}

TEST_F(MainWindowTest, ProgressShowsInTheStatusBar) {
    window->progress(40, "Computing.");
    EXPECT_EQ(window->gauge()->GetValue(), 40);
    EXPECT_EQ(window->GetStatusBar()->GetStatusText(), "Computing.");
    window->progress(100, "");
    EXPECT_EQ(window->gauge()->GetValue(), 0);
    EXPECT_EQ(window->GetStatusBar()->GetStatusText(), "All actions done.");
}

}  // namespace
