#pragma once
// Test doubles for the project tests: scripted file dialogs and a recorder of the
// events a project posts.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>

#include "app/file_manager.h"
#include "app/kvp_project.h"

namespace korvane::testing {

// Answers each dialog with the next scripted path (empty = cancel) and keeps the
// requests.
class ScriptedDialogs : public FileDialogs {
public:
    explicit ScriptedDialogs(std::deque<wxString> answers = {}) : m_answers(std::move(answers)) {}
    wxString choosePath(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (m_answers.empty()) return wxString();
        wxString answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    bool confirmOverwrite(const wxString& path) override {
        overwriteQuestions.push_back(path);
        return overwriteAnswer;
    }
    void answer(const wxString& path) { m_answers.push_back(path); }

    std::vector<FileDialogRequest> requests;
    std::vector<wxString> overwriteQuestions;
    bool overwriteAnswer = true;

private:
    std::deque<wxString> m_answers;
};

// Binds every project event and lists them by name after the queue is processed.
class EventRecorder {
public:
    explicit EventRecorder(KvpProject& project) : m_project(project) {
        bindPlain(kvnEVT_UPDATED_RADIUS, "radius");
        bindPlain(kvnEVT_UPDATED_HUB_RADIUS, "hub");
        bindPlain(kvnEVT_UPDATED_REYNOLDS_CONDITIONS, "reynolds");
        bindPlain(kvnEVT_UPDATED_AIRFOIL_POINTS, "airfoils");
        bindPlain(kvnEVT_UPDATED_CHORD_POINTS, "chord");
        bindPlain(kvnEVT_UPDATED_TWIST_POINTS, "twist");
        bindPlain(kvnEVT_TRANSFERED_TWIST_POINTS, "twist transferred");
        bindPlain(kvnEVT_TRANSFERED_CHORD_POINTS, "chord transferred");
        bindPlain(kvnEVT_UPDATED_TURBINE, "turbine");
        bindPlain(kvnEVT_UPDATED_PREBEND_POINTS, "prebend");
        project.Bind(kvnEVT_PROJECT_UNSAVED, [this](kvnProjectEvent& e) {
            names.push_back("unsaved");
            snapshots.emplace_back(e);
        });
    }

    // Processes what the project queued and returns the names in arrival order.
    std::vector<std::string> take() {
        // What the event loop does when idle: every queued event, in posting order.
        wxAppConsole::GetInstance()->ProcessPendingEvents();
        std::vector<std::string> result;
        result.swap(names);
        return result;
    }

    std::vector<std::string> names;
    std::vector<kvnProjectEvent> snapshots;

private:
    void bindPlain(const wxEventTypeTag<kvnChangeEvent>& type, const char* name) {
        m_project.Bind(type, [this, name](wxEvent&) { names.push_back(name); });
    }

    KvpProject& m_project;
};

}  // namespace korvane::testing
