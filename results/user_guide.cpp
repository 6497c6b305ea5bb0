#include "results/user_guide.h"

#include "results/error_box.h"

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

namespace {

const wxString kGuideName = "user-guide.md";

}  // namespace

std::vector<wxString> userGuideCandidates(const wxString& executablePath) {
    const wxString folder = wxFileName(executablePath).GetPath();
    std::vector<wxString> candidates = {
        wxFileName(folder + "/../share/doc/korvane/" + kGuideName).GetAbsolutePath(),
        wxFileName(folder + "/docs/" + kGuideName).GetAbsolutePath(),
    };
#ifdef KORVANE_DOCS_DIR
    candidates.push_back(wxString::FromUTF8(KORVANE_DOCS_DIR "/") + kGuideName);
#endif
    return candidates;
}

wxString findUserGuide(const wxString& executablePath) {
    for (const auto& candidate : userGuideCandidates(executablePath))
        if (wxFileName::FileExists(candidate)) return candidate;
    return wxEmptyString;
}

void openUserGuide(wxWindow* parent) {
    const wxString executable = wxStandardPaths::Get().GetExecutablePath();
    const wxString guide = findUserGuide(executable);
    wxString problem;
    if (guide.empty())
        problem = "The user guide (" + kGuideName + ") was not found beside the program " + executable + ".";
    else if (!wxLaunchDefaultApplication(guide))
        problem = "The user guide " + guide + " could not be opened: no program to show it is set up.";
    if (!problem.empty()) showErrorBox(parent, problem);
}
