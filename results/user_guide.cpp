#include "results/user_guide.h"

#include <cmark.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/stdpaths.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "bemt/Error.h"
#include "results/app_icon.h"
#include "results/error_box.h"
#include "results/result_window_frame.h"

namespace {

const wxString kGuideName = "user-guide.md";

// The page of the guide, with its pictures read from the guide's folder.
class GuidePage : public wxHtmlWindow {
public:
    explicit GuidePage(wxWindow* parent) : wxHtmlWindow(parent) {}

    void show(const std::string& html, const wxString& folder) {
        // The file system resolves the pictures' relative names from here.
        m_FS->ChangePathTo(folder + "/", true);
        SetPage(wxString::FromUTF8(html));
    }
};

std::string readGuide(const wxString& path) {
    std::ifstream in(path.fn_str(), std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) throw bemt::Error("The user guide " + path.utf8_string() + " could not be read.");
    return text.str();
}

}  // namespace

std::vector<wxString> userGuideCandidates(const wxString& executablePath) {
    const wxString folder = wxFileName(executablePath).GetPath();
    return {
        wxFileName(folder + "/../share/doc/korvane/" + kGuideName).GetAbsolutePath(),
        wxFileName(folder + "/docs/" + kGuideName).GetAbsolutePath(),
    };
}

wxString findUserGuide(const wxString& executablePath) {
    for (const auto& candidate : userGuideCandidates(executablePath))
        if (wxFileName::FileExists(candidate)) return candidate;
    return wxEmptyString;
}

std::string userGuideHtml(const std::string& markdown) {
    const std::unique_ptr<char, decltype(&std::free)> html(
        cmark_markdown_to_html(markdown.data(), markdown.size(), CMARK_OPT_DEFAULT | CMARK_OPT_SMART), &std::free);
    return "<html><body>" + picturesToPageWidth(html ? html.get() : "") + "</body></html>";
}

std::string picturesToPageWidth(std::string html) {
    const std::string tag = "<img ";
    for (std::size_t start = 0; (start = html.find("<p>", start)) != std::string::npos;) {
        const std::size_t end = std::min(html.find("</p>", start), html.size());
        std::size_t count = 0;
        for (std::size_t at = html.find(tag, start); at < end; at = html.find(tag, at + 1)) ++count;
        if (count > 0) {
            // A little under an equal share, so that the gaps between them fit too.
            const std::string width = "width=\"" + std::to_string(count == 1 ? 100 : 98 / count) + "%\" ";
            for (std::size_t at = html.find(tag, start); at < html.find("</p>", start); at = html.find(tag, at + 1))
                html.insert(at + tag.size(), width);
        }
        start += 3;
    }
    return html;
}

UserGuideWindow::UserGuideWindow(const wxString& guidePath)
    : wxFrame(nullptr, wxID_ANY, defaultTitle()) {
    const std::string html = userGuideHtml(readGuide(guidePath));
    SetIcons(korvaneIcons());
    auto* page = new GuidePage(this);
    m_page = page;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(page, 1, wxEXPAND);
    SetSizer(sizer);
    SetMinSize(FromDIP(wxSize(480, 360)));
    SetSize(FromDIP(wxSize(1000, 900)));
    page->show(html, wxFileName(guidePath).GetPath());
    presentResultWindow(this, wxEmptyString);
}

void openUserGuide(wxWindow* parent) {
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* open = dynamic_cast<UserGuideWindow*>(window); open && !open->IsBeingDeleted()) {
            showResultWindow(open);
            return;
        }
    }
    const wxString executable = wxStandardPaths::Get().GetExecutablePath();
    const wxString guide = findUserGuide(executable);
    if (guide.empty()) {
        wxString places;
        for (const auto& candidate : userGuideCandidates(executable)) places << "\n" << candidate;
        showErrorBox(parent, "The user guide was found in none of these places:" + places);
        return;
    }
    try {
        showResultWindow(new UserGuideWindow(guide));
    } catch (const bemt::Error& error) {
        showErrorBox(parent, wxString::FromUTF8(error.message()));
    }
}
