#pragma once
// The blade for AeroDyn with the airfoil segments of the compute panel's runner: a
// designed blade from a design window, and the project's blade once the runner has made
// the segments ready. Errors reach the user.

#include <wx/string.h>
#include <wx/tracker.h>

#include <functional>
#include <vector>

struct ComputeDialogs;
class ComputationRunner;
class KvpProject;
class wxWindow;
namespace korvane {
struct ProjectData;
}

// Trackable: the design windows that call it may outlive it while the program shuts down.
class BladeExporter : public wxTrackable {
public:
    static inline const wxString kWhileBusy =
        "Wait until the running computation has finished, then export the blade.";

    // Errors go to dialogs (kept by the caller), over parent.
    BladeExporter(wxWindow* parent, KvpProject& project, const ComputationRunner& runner,
                  const ComputeDialogs& dialogs);

    // Writes a designed blade (x/R, c/R, twist) into the folder of a blade file the user
    // chooses over window; refused while a computation runs or after the airfoil data
    // changed.
    void exportDesigned(wxWindow* window, const std::vector<double>& x, const std::vector<double>& chord,
                        const std::vector<double>& twist) const;
    // Writes project's blade into the folder of bladeFile; done receives the message for
    // the status bar once the files are written.
    void exportProject(const korvane::ProjectData& project, const wxString& bladeFile,
                       const std::function<void(const wxString&)>& done) const;

private:
    void showError(const wxString& message) const;

    wxWindow* m_parent;
    KvpProject& m_project;
    const ComputationRunner& m_runner;
    const ComputeDialogs& m_dialogs;
};
