#pragma once
// A main window of its own for each test, with scripted file dialogs and a temporary
// folder for the files the test writes; both are gone after the test.

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <memory>

#include "GuiTestSupport.h"
#include "app/window_main.h"

namespace korvane::testing {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        folder = wxFileName::CreateTempFileName("korvane-gui");
        wxRemoveFile(folder);
        ASSERT_TRUE(wxFileName::Mkdir(folder));
        window = new MainWindow();
        script = std::make_shared<ScriptedFileDialogs::Script>();
        window->fileManager()->setDialogs(std::make_unique<ScriptedFileDialogs>(script));
        processEvents();
    }
    void TearDown() override {
        if (window) {
            window->setUnsaved(false);  // no question on closing
            window->Destroy();
        }
        processEvents();
        if (!folder.empty()) wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
    }

    wxString folder;
    MainWindow* window = nullptr;
    std::shared_ptr<ScriptedFileDialogs::Script> script;
};

}  // namespace korvane::testing
