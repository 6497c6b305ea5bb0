// File > Import OpenFAST model... and File > Export blade to AeroDyn... as a user meets
// them: the menu command through the event loop, the file dialog, the message boxes.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/statusbr.h>

#include "GuiTestSupport.h"
#include "UserSessionFixture.h"
#include "app/blade_exporter.h"
#include "app/edit_compute.h"
#include "app/kvp_project.h"
#include "app/window_main.h"

namespace {

using korvane::testing::DialogAnswers;
using korvane::testing::processEvents;
using korvane::testing::ScriptedFileDialogs;
using korvane::testing::waitFor;

const wxString kFst = KORVANE_EXAMPLES "/openfast-nrel5mw/NREL-5MW/NREL-5MW.fst";

class ExchangeMenuTest : public korvane::testing::UserSession {
protected:
    void SetUp() override {
        UserSession::SetUp();
        start();
    }
    // The menu command as the menu sends it, queued and handled by the event loop.
    void choose(int id) {
        window->GetEventHandler()->QueueEvent(new wxCommandEvent(wxEVT_MENU, id));
        processEvents();
    }
};

TEST_F(ExchangeMenuTest, ImportingTheNrel5MwModelMakesAnUnsavedProjectAndShowsTheNotes) {
    DialogAnswers answers;
    script->paths.push_back(kFst);
    choose(MainWindow::kImportOpenFastId);
    ASSERT_EQ(script->requests.size(), 1u);
    EXPECT_EQ(script->requests.front().title, "Import OpenFAST model");
    const KvpProject* project = window->project();
    EXPECT_EQ(project->operatingConditions().R, 63.0);
    ASSERT_EQ(project->airfoilPoints().size(), 19u);
    EXPECT_EQ(project->airfoilPoints()[4].data_type, bemt::AeroDynTable);
    EXPECT_TRUE(window->isUnsaved());
    EXPECT_TRUE(project->filePath().empty());
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().caption, "Imported with notes");
    EXPECT_NE(answers.shown().front().message.Find("BlSwpAC up to 0.569867 m"), wxNOT_FOUND);
}

TEST_F(ExchangeMenuTest, AFailedImportShowsTheMessageAndKeepsTheProject) {
    DialogAnswers answers;
    const wxString missing = at("none.fst");
    script->paths.push_back(missing);
    choose(MainWindow::kImportOpenFastId);
    EXPECT_EQ(window->project()->operatingConditions().R, 25.0);
    EXPECT_FALSE(window->isUnsaved());
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().message, "The file " + missing + " could not be opened: No such file or directory.");
}

// The airfoil data are prepared on the compute panel's worker, as for a computation: the
// export ends when the panel is idle again.
TEST_F(ExchangeMenuTest, ExportWritesTheBladeAndTablesBesideTheChosenFile) {
    script->paths.push_back(at("AeroDyn_blade.dat"));
    choose(MainWindow::kExportAeroDynId);
    ASSERT_TRUE(waitFor([&] { return !window->computePage()->busy() && wxFileExists(at("AeroDyn_blade.dat")); }));
    processEvents();
    EXPECT_TRUE(wxFileExists(at("AeroDyn_blade.dat")));
    EXPECT_TRUE(wxFileExists(at("AeroDyn_airfoils.txt")));
    EXPECT_TRUE(wxFileExists(at("Airfoils/AF01_NACA0012.dat")));
    EXPECT_TRUE(window->GetStatusBar()->GetStatusText().StartsWith("Exported"));
    // Cancelled: nothing happens.
    choose(MainWindow::kExportAeroDynId);
    EXPECT_EQ(script->requests.size(), 2u);
    EXPECT_FALSE(window->computePage()->busy());
}

// The export checks the input as a computation does and refuses while one runs, before
// asking for a file.
TEST_F(ExchangeMenuTest, ExportRefusesInvalidInputAndARunningComputation) {
    DialogAnswers answers;
    EditCompute* panel = window->computePage();
    panel->setInputCheck([](unsigned) { return std::vector<wxString>{"Design conditions: Wind velocity"}; });
    script->paths.push_back(at("AeroDyn_blade.dat"));
    choose(MainWindow::kExportAeroDynId);
    processEvents();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().message, EditCompute::kInvalidInputMessage + "\nDesign conditions: Wind velocity");
    EXPECT_FALSE(wxFileExists(at("AeroDyn_blade.dat")));
    EXPECT_FALSE(panel->busy());

    panel->setInputCheck({});
    panel->computeChar();
    ASSERT_TRUE(panel->busy());
    choose(MainWindow::kExportAeroDynId);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown().back().message, BladeExporter::kWhileBusy);
    EXPECT_EQ(script->requests.size(), 1u);
    panel->stopComputation();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
}

}  // namespace
