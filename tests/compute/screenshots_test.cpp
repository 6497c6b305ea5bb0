// Takes the README's screenshots of the main and result windows from the example
// project. Not a test: it runs only when asked for, under a virtual display without
// window manager (one command line):
//   KORVANE_SCREENSHOTS=$PWD/docs/screenshots xvfb-run -a -s "-screen 0 1280x1024x24"
//   build/tests/compute/compute_tests --gtest_also_run_disabled_tests --gtest_filter='Screenshots.*'
#include <gtest/gtest.h>

#include <cstdlib>

#include "ComputeHarness.h"
#include "app/window_main.h"
#include "results/chart_book.h"
#include "results/window_char_result.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;

// Shows the window alone in the top left corner and saves what the screen shows of it.
void capture(wxFrame* window, const std::string& file) {
    window->SetPosition(wxPoint(0, 0));
    window->Raise();
    for (int i = 0; i < 100; ++i) {
        wxYield();
        wxMilliSleep(10);
    }
    const wxSize size = window->GetSize();
    const std::string command = "import -window root -crop " + std::to_string(size.x) + "x" + std::to_string(size.y) +
                                "+0+0 +repage \"" + file + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Screenshots, DISABLED_ResultWindows) {
    KORVANE_REQUIRE_WX();
    const char* folder = std::getenv("KORVANE_SCREENSHOTS");
    if (!folder) GTEST_SKIP() << "KORVANE_SCREENSHOTS names the folder of the pictures";
    auto* main = new MainWindow();
    main->openFile(wxString::FromUTF8(examplePath("new_turbine.kvp")));
    main->Show();
    processEvents();
    main->setUnsaved(false);
    EditCompute* panel = main->computePage();
    capture(main, std::string(folder) + "/main_window.png");
    main->Hide();

    panel->computeOperatingPoint();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    auto* op = lastWindow<OpResultWindow>(panel->resultWindows());
    ASSERT_NE(op, nullptr);
    op->SetSize(1250, 820);
    op->charts()->SetSelection(1);  // angle of attack and inflow angle
    capture(op, std::string(folder) + "/op_result_window.png");
    op->Hide();

    panel->computeChar();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    auto* characteristics = lastWindow<CharResultWindow>(panel->resultWindows());
    ASSERT_NE(characteristics, nullptr);
    characteristics->SetSize(1250, 820);
    characteristics->charts()->SetSelection(2);  // power coefficient against tip speed ratio
    capture(characteristics, std::string(folder) + "/char_result_window.png");

    main->Close();
    deleteClosedWindows();
}

}  // namespace
