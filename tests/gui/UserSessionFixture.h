#pragma once
// The desktop program started as the command line starts it, with scripted file dialogs
// and a temporary folder for the files a test writes, for tests that drive it end to end
// as a user does; the window and the folder are gone after the test.

#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "GuiTestSupport.h"
#include "TempFolder.h"
#include "UserSimulation.h"
#include "app/kvn_app.h"
#include "app/kvp_project.h"
#include "app/window_main.h"

namespace korvane::testing {

class UserSession : public ::testing::Test {
protected:
    void SetUp() override { KORVANE_REQUIRE_WX(); }
    void TearDown() override {
        if (window) {
            window->setUnsaved(false);  // no question on closing
            window->Destroy();
            runEventLoopFor(std::chrono::milliseconds(100));
        }
    }

    // korvane [file]
    void start(const std::string& file = {}) {
        wxArrayString commandLine;
        commandLine.Add("korvane");
        if (!file.empty()) commandLine.Add(wxString::FromUTF8(file));
        window = startMainWindow(commandLine);
        script = std::make_shared<ScriptedFileDialogs::Script>();
        window->fileManager()->setDialogs(std::make_unique<ScriptedFileDialogs>(script));
        window->Raise();
        user.settle();
    }

    // The text fields shown red anywhere in the main window.
    std::set<const wxWindow*> redFields() const {
        std::set<const wxWindow*> found;
        const std::function<void(const wxWindow*)> visit = [&](const wxWindow* w) {
            if (dynamic_cast<const wxTextCtrl*>(w) && red(w)) found.insert(w);
            for (const wxWindow* child : w->GetChildren()) visit(child);
        };
        visit(window);
        return found;
    }
    KvpProject& project() const { return *window->project(); }
    // The path of a file in the test's folder.
    wxString at(const std::string& name) const { return wxString::FromUTF8(folder.file(name)); }

    SimulatedUser user;
    MainWindow* window = nullptr;
    std::shared_ptr<ScriptedFileDialogs::Script> script;
    TempFolder folder;
};

}  // namespace korvane::testing
