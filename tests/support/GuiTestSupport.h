#pragma once
// Helpers for driving the desktop program's windows in tests: answering modal dialogs
// without showing them, and standing in for the file dialogs.

#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "WxTestApp.h"
#include "app/file_manager.h"

namespace korvane::testing {

// Answers every modal dialog with the next queued answer (wxID_OK when none is queued)
// and records what the message boxes said.
class DialogAnswers : public wxModalDialogHook {
public:
    struct Shown {
        wxString caption;
        wxString message;
    };

    DialogAnswers() { Register(); }
    ~DialogAnswers() override { Unregister(); }

    void answer(int id) { m_answers.push_back(id); }
    const std::vector<Shown>& shown() const { return m_shown; }

protected:
    int Enter(wxDialog* dialog) override {
        Shown s;
        s.caption = dialog->GetTitle();
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) s.message = box->GetMessage();
        m_shown.push_back(s);
        if (m_answers.empty()) return wxID_OK;
        const int id = m_answers.front();
        m_answers.pop_front();
        return id;
    }
    void Exit(wxDialog*) override {}

private:
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
};

// File dialogs that return queued paths (empty: cancelled) and remember the requests.
class ScriptedFileDialogs : public FileDialogs {
public:
    struct Script {
        std::deque<wxString> paths;
        std::vector<FileDialogRequest> requests;
    };
    explicit ScriptedFileDialogs(std::shared_ptr<Script> script) : m_script(std::move(script)) {}
    wxString choosePath(const FileDialogRequest& request) override {
        m_script->requests.push_back(request);
        if (m_script->paths.empty()) return wxEmptyString;
        const wxString path = m_script->paths.front();
        m_script->paths.pop_front();
        return path;
    }

    bool confirmOverwrite(const wxString&) override { return true; }

private:
    std::shared_ptr<Script> m_script;
};

}  // namespace korvane::testing
