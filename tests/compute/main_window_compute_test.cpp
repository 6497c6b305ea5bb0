// The compute panel in the main window: New closes the result windows and numbering
// starts again; closing the main window during a computation ends it cleanly.
#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <chrono>

#include "ComputeHarness.h"
#include "app/window_main.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;

// The main window with a fresh project whose changes need no saving question.
MainWindow* openMainWindow() {
    auto* window = new MainWindow();
    window->Show();
    processEvents();
    window->setUnsaved(false);  // the new project's own snapshot
    return window;
}

bool idle(MainWindow* w) { return w->GetStatusBar()->GetStatusText() == "All actions done."; }

TEST(MainWindowCompute, NewClosesResultWindowsAndNumberingStartsAgain) {
    KORVANE_REQUIRE_WX();
    MainWindow* main = openMainWindow();
    EditCompute* panel = main->computePage();
    ASSERT_NE(panel, nullptr);
    panel->setDialogs({[](wxWindow*, const wxString& text, const wxString&) { ADD_FAILURE() << text; },
                       [](wxWindow*) { return true; }, {}, {}});
    bemt::SolverSettings solver = main->project()->solverSettings();
    solver.n_elements = 10;
    main->project()->setSolverSettings(solver, false);
    for (int i = 0; i < 2; ++i) {
        panel->computeOperatingPoint();
        ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    }
    ASSERT_EQ(panel->resultWindows().size(), 2u);
    EXPECT_TRUE(panel->resultWindows().windows()[1]->GetTitle().StartsWith("2 | "));
    wxWeakRef<wxTopLevelWindow> first(panel->resultWindows().windows()[0]);

    wxCommandEvent command(wxEVT_MENU, wxID_NEW);
    main->onNew(command);
    deleteClosedWindows();
    EXPECT_TRUE(panel->resultWindows().empty());
    EXPECT_FALSE(first) << "the window was destroyed";
    EXPECT_TRUE(panel->runner().airfoilSegments().empty());

    panel->computeOperatingPoint();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    ASSERT_EQ(panel->resultWindows().size(), 1u);
    EXPECT_TRUE(panel->resultWindows().windows()[0]->GetTitle().StartsWith("1 | "));
    main->Destroy();
    deleteClosedWindows();
}

TEST(MainWindowCompute, NewDuringACharacteristicsRunStopsIt) {
    KORVANE_REQUIRE_WX();
    MainWindow* main = openMainWindow();
    EditCompute* panel = main->computePage();
    std::vector<wxString> messages;
    panel->setDialogs({[&](wxWindow*, const wxString& text, const wxString&) { messages.push_back(text); },
                       [](wxWindow*) { return true; }, {}, {}});
    bemt::ComputeSettings s = main->project()->computeSettings();
    s.ran_max = 100.0;  // long enough to be running when New comes
    s.ran_step = 0.2;
    main->project()->setComputeSettings(s, false);
    panel->computeChar();
    ASSERT_TRUE(waitFor([&] { return !idle(main); }));

    wxCommandEvent command(wxEVT_MENU, wxID_NEW);
    main->onNew(command);
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    deleteClosedWindows();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The computation process has been aborted.");
    EXPECT_TRUE(panel->resultWindows().empty()) << "no result of the old project opens";
    EXPECT_FALSE(panel->runner().abortRequested());
    main->Destroy();
    deleteClosedWindows();
}

TEST(MainWindowCompute, ClosingDuringACharacteristicsRunEndsItWithoutResults) {
    KORVANE_REQUIRE_WX();
    MainWindow* main = openMainWindow();
    EditCompute* panel = main->computePage();
    panel->setDialogs({[](wxWindow*, const wxString& text, const wxString&) { ADD_FAILURE() << text; },
                       [](wxWindow*) { return true; }, {}, {}});
    bemt::SolverSettings solver = main->project()->solverSettings();
    solver.n_elements = 10;
    main->project()->setSolverSettings(solver, false);
    panel->computeOperatingPoint();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    wxWeakRef<wxTopLevelWindow> earlier(panel->resultWindows().windows().front());

    bemt::ComputeSettings s = main->project()->computeSettings();
    s.ran_max = 100.0;
    s.ran_step = 0.2;
    main->project()->setComputeSettings(s, false);
    solver.n_elements = 100;
    main->project()->setSolverSettings(solver, false);
    panel->computeChar();
    ASSERT_TRUE(waitFor([&] { return !idle(main); }));

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(main->Close());  // nothing unsaved: the close is not vetoed
    deleteClosedWindows();       // the frame and its panel go; the worker is joined
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_FALSE(earlier) << "the result windows close with the main window";
    // Nothing the worker sent may arrive later.
    processEvents();
    deleteClosedWindows();
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 0u);
}

TEST(MainWindowCompute, ClosingDuringXfoilPreprocessingEndsXfoilCore) {
    KORVANE_REQUIRE_WX();
    MainWindow* main = openMainWindow();
    EditCompute* panel = main->computePage();
    panel->setDialogs({[](wxWindow*, const wxString& text, const wxString&) { ADD_FAILURE() << text; },
                       [](wxWindow*) { return true; }, {}, {}});
    useXfoilAirfoils(*main->project());
    panel->computeOperatingPoint();
    if (!waitFor([] { return xfoilChildren() > 0; }, std::chrono::seconds(20))) {
        main->Destroy();
        deleteClosedWindows();
        GTEST_SKIP() << "xfoil-core did not start (is XFOIL installed?)";
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(main->Close());
    deleteClosedWindows();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(xfoilChildren(), 0);
    processEvents();
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 0u);
}

}  // namespace
