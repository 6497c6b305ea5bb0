#pragma once
// The user guide (docs/user-guide.md with its screenshots) shown inside the program:
// where the program finds it, the Markdown turned into HTML by cmark, and the window
// that shows it with its pictures, offline.

#include <wx/frame.h>
#include <wx/string.h>

#include <string>
#include <vector>

class wxHtmlWindow;
class wxWindow;

// The places the guide may lie, in the order they are tried: beside an installed program
// (../share/doc/korvane), in the docs folder the build puts beside the program.
std::vector<wxString> userGuideCandidates(const wxString& executablePath);

// The first candidate that exists; empty when none does.
wxString findUserGuide(const wxString& executablePath);

// The guide's Markdown as an HTML page (CommonMark with pipe tables kept as text).
std::string userGuideHtml(const std::string& markdown);
// The pictures of each paragraph of the HTML as wide as the page together (one picture
// the page's width, two half of it each), so that none is cut at the window's edge.
std::string picturesToPageWidth(std::string html);

// The guide in a window of its own; pictures are read relative to the guide's folder.
class UserGuideWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Korvane user guide"; }

    // Throws std::string naming the file when it cannot be read.
    explicit UserGuideWindow(const wxString& guidePath);

    wxHtmlWindow* page() const { return m_page; }

private:
    wxHtmlWindow* m_page = nullptr;
};

// Opens the guide, or brings its window to the front when it is open; a missing or
// unreadable guide is reported in the error box with the places looked at.
void openUserGuide(wxWindow* parent);
