// The compute panel in the main window: New closes the result windows and numbering
// starts again; closing the main window during a computation ends it cleanly.
#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <chrono>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "MainWindowTest.h"
#include "app/optimise_dialog.h"
#include "app/window_main.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;

// The main window with the new project, whose changes need no saving question.
class MainWindowCompute : public MainWindowTest {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        openExample({}, 0, wxSize(1000, 700));
        panel = main->computePage();
    }
    void setElements(int count) {
        bemt::SolverSettings solver = main->project()->solverSettings();
        solver.n_elements = count;
        main->project()->setSolverSettings(solver, false);
    }
    // Characteristics long enough to be running when the window is closed or renewed.
    void startLongCharacteristics() {
        bemt::ComputeSettings s = main->project()->computeSettings();
        s.ran_max = 100.0;
        s.ran_step = 0.2;
        main->project()->setComputeSettings(s, false);
        panel->computeChar();
        ASSERT_TRUE(waitFor([&] { return main->GetStatusBar()->GetStatusText() != "All actions done."; }));
    }
    bool runOperatingPoint() {
        panel->computeOperatingPoint();
        return waitFor([&] { return !panel->busy(); });
    }
    // Closes the main window (nothing unsaved: not vetoed); the worker is joined quickly.
    void closeMain() {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(main->Close());
        main = nullptr;
        deleteClosedWindows();  // the frame and its panel go
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    }

    EditCompute* panel = nullptr;
};

TEST_F(MainWindowCompute, NewClosesResultWindowsAndNumberingStartsAgain) {
    setElements(10);
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(runOperatingPoint());
    ASSERT_EQ(panel->resultWindows().size(), 2u);
    EXPECT_TRUE(panel->resultWindows().windows()[1]->GetTitle().StartsWith("2 | "));
    wxWeakRef<wxTopLevelWindow> first(panel->resultWindows().windows()[0]);
    panel->optimiseBlade();
    wxWeakRef<wxTopLevelWindow> settings(panel->optimiseDialog());
    ASSERT_TRUE(settings);

    wxCommandEvent command(wxEVT_MENU, wxID_NEW);
    main->onNew(command);
    deleteClosedWindows();
    EXPECT_TRUE(panel->resultWindows().empty());
    EXPECT_FALSE(first) << "the window was destroyed";
    EXPECT_FALSE(settings) << "the optimisation settings of the old project were left to store in the new";
    EXPECT_TRUE(panel->runner().airfoilSegments().empty());

    ASSERT_TRUE(runOperatingPoint());
    ASSERT_EQ(panel->resultWindows().size(), 1u);
    EXPECT_TRUE(panel->resultWindows().windows()[0]->GetTitle().StartsWith("1 | "));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(MainWindowCompute, NewDuringACharacteristicsRunStopsIt) {
    startLongCharacteristics();
    wxCommandEvent command(wxEVT_MENU, wxID_NEW);
    main->onNew(command);
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    deleteClosedWindows();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The computation process has been aborted.");
    EXPECT_TRUE(panel->resultWindows().empty()) << "no result of the old project opens";
    EXPECT_FALSE(panel->runner().abortRequested());
}

// A stopped optimisation returns its best blade; after New it is the old project's and
// must not open where "Use optimised blade" would put it into the new one.
TEST_F(MainWindowCompute, NewDuringAnOptimisationDropsItsBlade) {
    panel->optimiseBlade();
    OptimiseDialog* dialog = panel->optimiseDialog();
    ASSERT_NE(dialog, nullptr);
    press(dialog->FindWindow(wxID_OK));
    ASSERT_TRUE(panel->busy());
    ASSERT_TRUE(waitFor([&] { return main->GetStatusBar()->GetStatusText().StartsWith("Optimising"); }));
    main->setUnsaved(false);  // the settings stored: no question
    wxCommandEvent command(wxEVT_MENU, wxID_NEW);
    main->onNew(command);
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    processEvents();
    deleteClosedWindows();
    EXPECT_TRUE(panel->resultWindows().empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The computation process has been aborted.");
}

TEST_F(MainWindowCompute, ClosingDuringACharacteristicsRunEndsItWithoutResults) {
    setElements(10);
    ASSERT_TRUE(runOperatingPoint());
    wxWeakRef<wxTopLevelWindow> earlier(panel->resultWindows().windows().front());
    setElements(100);
    startLongCharacteristics();
    closeMain();
    EXPECT_FALSE(earlier) << "the result windows close with the main window";
    // Nothing the worker sent may arrive later.
    processEvents();
    deleteClosedWindows();
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 0u);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(MainWindowCompute, ClosingDuringXfoilPreprocessingEndsXfoilCore) {
    useXfoilAirfoils(*main->project());
    panel->computeOperatingPoint();
    if (!waitFor([] { return xfoilChildren() > 0; }, std::chrono::seconds(20)))
        GTEST_SKIP() << "xfoil-core did not start (is XFOIL installed?)";
    closeMain();
    EXPECT_EQ(xfoilChildren(), 0);
    processEvents();
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 0u);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
