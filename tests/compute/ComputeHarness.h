#pragma once
// The compute panel in a frame of its own, with recorded message boxes and status text,
// and helpers that wait for worker threads the way the event loop would.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/toplevel.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "cli/CliRunner.h"
#include "app/AppTestSupport.h"
#include "WxTestApp.h"
#include "app/edit_compute.h"
#include "app/file_manager.h"
#include "app/kvp_project.h"
#include "results/result_window_list.h"

namespace korvane::testing {

inline std::string examplePath(const std::string& name) { return std::string(KORVANE_EXAMPLES) + "/" + name; }

// korvane-cli's JSON document for a command on a project file, with further options.
inline nlohmann::json cliResult(const std::string& command, const std::string& project,
                                const std::vector<std::string>& options = {}) {
    std::vector<std::string> args{command, project};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"-q", "--json", "-"});
    const CliRun run = runCli(args);
    EXPECT_EQ(run.status, 0) << "korvane-cli failed: " << run.err;
    nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_FALSE(result.is_discarded()) << "korvane-cli wrote no JSON";
    return result;
}

// Deletes the windows closed so far, as the idle time of the event loop does.
inline void deleteClosedWindows() {
    wxTheApp->ProcessIdle();
    processEvents();
}

template <typename Window>
Window* lastWindow(const ResultWindowList& list) {
    return list.empty() ? nullptr : dynamic_cast<Window*>(list.windows().back());
}

// Child processes of this test named xfoil-core.
inline int xfoilChildren() {
    int count = 0;
    DIR* proc = opendir("/proc");
    if (!proc) return 0;
    const std::string self = std::to_string(getpid());
    while (dirent* entry = readdir(proc)) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string pid, name, state, parent;
        if (!(stat >> pid >> name >> state >> parent)) continue;
        if (parent == self && name == "(xfoil-core)" && state != "Z") ++count;
    }
    closedir(proc);
    return count;
}

// Every airfoil point analysed by XFOIL from the same coordinates.
inline void useXfoilAirfoils(KvpProject& project) {
    auto points = project.airfoilPoints();
    for (auto& p : points) {
        p.data_type = bemt::Coordinates;
        p.repeat = false;
        p.path = examplePath("airfoils/naca2412.dat");
        p.guess_reynolds = false;
        p.rey_min = 1e6;
        p.rey_max = 2e6;
        p.a_step = 0.25;
    }
    project.setAirfoilPoints(points, false);
}

struct Message {
    wxString text;
    wxString caption;
    bool information = false;  // an information box rather than an error box
};

class ComputeHarness {
public:
    ComputeHarness() : project(&files) {
        auto scripted = std::make_unique<ScriptedDialogs>();
        fileDialogs = scripted.get();
        files.setDialogs(std::move(scripted));
        project.newProject();
        frame = new wxFrame(nullptr, wxID_ANY, "compute panel");
        panel = new EditCompute(frame, &project, [this](int progress, wxString message) {
            status = progress < 100 ? message : wxString("All actions done.");
            if (progress < 100) ++reports;
        });
        EditCompute::Dialogs dialogs;
        dialogs.error = [this](wxWindow*, const wxString& text, const wxString& caption) {
            messages.push_back({text, caption});
        };
        dialogs.info = [this](wxWindow*, const wxString& text, const wxString& caption) {
            messages.push_back({text, caption, true});
        };
        dialogs.replaceByDesignPoints = [this](wxWindow*, const wxString& message) {
            shapeQuestions.push_back(message);
            return replaceByDesign;
        };
        dialogs.preprocessOutdated = [this](wxWindow*) {
            ++prompts;
            return preprocessAnswer;
        };
        panel->setDialogs(dialogs);
        panel->update();
        frame->Show();
        processEvents();
    }
    ~ComputeHarness() {
        if (frame) frame->Destroy();
        deleteClosedWindows();
    }

    void open(const std::string& path) {
        ASSERT_TRUE(project.open(wxString::FromUTF8(path)));
        panel->update();
        processEvents();
    }

    // Runs an action and waits until the panel is idle again.
    bool run(void (EditCompute::*action)()) {
        (panel->*action)();
        return waitFor([this] { return !panel->busy(); });
    }

    bool idleButtons() const {
        return panel->operatingPointButton()->IsEnabled() && panel->characteristicsButton()->IsEnabled() &&
               panel->designButton()->IsEnabled() && panel->analyzeButton()->IsEnabled() &&
               panel->interpolationBox()->IsEnabled() && !panel->stopButton()->IsEnabled();
    }

    FileManager files;
    ScriptedDialogs* fileDialogs = nullptr;
    KvpProject project;
    wxFrame* frame = nullptr;
    EditCompute* panel = nullptr;
    std::vector<Message> messages;
    int prompts = 0;
    bool preprocessAnswer = true;
    std::vector<wxString> shapeQuestions;  // "Keep the design's shape?"
    bool replaceByDesign = false;
    wxString status = "All actions done.";
    int reports = 0;
};

}  // namespace korvane::testing
