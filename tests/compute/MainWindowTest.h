#pragma once
// The main window with an example project (or the new project) open on one of its pages,
// shown at the top left of the virtual display, its message boxes collected instead of
// shown (no designed blade is replaced by the design's points).

#include <gtest/gtest.h>
#include <wx/notebook.h>

#include <string>
#include <vector>

#include "ComputeHarness.h"
#include "UserSimulation.h"
#include "app/window_main.h"

namespace korvane::testing {

class MainWindowTest : public ::testing::Test {
protected:
    // page: the notebook page shown, counted from the last when negative; no example: the
    // new project.
    void openExample(const std::string& example, int page, wxSize size) {
        main = new MainWindow();
        if (!example.empty()) {
            ASSERT_TRUE(main->openFile(wxString::FromUTF8(examplePath(example))));
        }
        main->SetPosition(wxPoint(0, 0));
        main->SetSize(size);
        main->Show();
        main->Raise();
        runEventLoopFor(std::chrono::milliseconds(300));
        main->setUnsaved(false);
        const auto collect = [this](wxWindow*, const wxString& text, const wxString&) { messages.push_back(text); };
        main->computePage()->setDialogs({collect, [](wxWindow*) { return true; }, collect, {}});
        const int pages = static_cast<int>(main->notebook()->GetPageCount());
        main->notebook()->SetSelection(page < 0 ? pages + page : page);
        runEventLoopFor(std::chrono::milliseconds(300));
    }
    void TearDown() override {
        if (!main) return;
        main->computePage()->destroyWindows();
        main->setUnsaved(false);
        main->Destroy();
        deleteClosedWindows();
    }

    SimulatedUser user;
    MainWindow* main = nullptr;
    std::vector<wxString> messages;
};

}  // namespace korvane::testing
