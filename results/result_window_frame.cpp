#include "results/result_window_frame.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <memory>

namespace {

// Cascading starts again at the main window's corner after this many windows.
constexpr int kCascadeCycle = 8;
constexpr int kCascadeStep = 32;  // DIP

// The client size the window's layout needs, from its sizers rather than from the size
// it happens to have.
wxSize requiredClientSize(wxTopLevelWindow* window) {
    if (wxSizer* sizer = window->GetSizer()) return sizer->GetMinSize();
    wxSize size;
    for (wxWindow* child : window->GetChildren()) {
        if (child->IsTopLevel() || !child->IsShown()) continue;
        size.IncTo(child->GetBestSize());
    }
    return size;
}

// The main window: the application's top window, unless it is this window.
wxTopLevelWindow* mainWindowBeside(wxTopLevelWindow* window) {
    auto* top = wxTheApp ? dynamic_cast<wxTopLevelWindow*>(wxTheApp->GetTopWindow()) : nullptr;
    return top && top != window && top->IsShown() ? top : nullptr;
}

// The other windows already open beside the main window.
int openSiblings(const wxTopLevelWindow* window, const wxTopLevelWindow* main) {
    int count = 0;
    for (const wxWindow* other : wxTopLevelWindows)
        if (other != window && other != main && other->IsShown() && !other->IsBeingDeleted()) ++count;
    return count;
}

// The size is the one the window was given before it was shown: wxGTK, waiting for the
// window manager's frame extents, may lay a window out at 2 x 1 pixels just before it
// shows, and the window would then open at its minimum size.
void placeFirstShown(wxTopLevelWindow* window, wxSize size) {
    wxTopLevelWindow* main = mainWindowBeside(window);
    const int index = wxDisplay::GetFromWindow(main ? static_cast<wxWindow*>(main) : window);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    const wxSize decorations = window->GetSize() - window->GetClientSize();
    wxSize minimum = requiredClientSize(window) + decorations;
    minimum.IncTo(window->GetMinSize());
    minimum.DecTo(area.GetSize());
    window->SetMinSize(minimum);
    const wxRect anchor = main ? main->GetRect() : wxRect(area.GetPosition(), wxSize(0, 0));
    window->SetSize(placeWindow(anchor, openSiblings(window, main) % kCascadeCycle + 1, window->FromDIP(kCascadeStep),
                                size, minimum, area));
    // In front, with the keyboard, also where no window manager gives it the focus.
    window->Raise();
}

}  // namespace

wxRect placeWindow(const wxRect& anchor, int cascade, int step, wxSize size, wxSize minimum, const wxRect& workArea) {
    minimum.DecTo(workArea.GetSize());
    const wxPoint corner = anchor.GetPosition() + wxPoint(cascade * step, cascade * step);
    // Smaller rather than over the main window's corner, down to the minimum.
    size.DecTo(wxSize(workArea.GetRight() + 1 - corner.x, workArea.GetBottom() + 1 - corner.y));
    size.IncTo(minimum);
    return fitOnScreen(wxRect(corner, size), workArea);
}

wxRect fitOnScreen(const wxRect& window, const wxRect& screen) {
    wxRect fitted = window;
    fitted.width = std::min(fitted.width, screen.width);
    fitted.height = std::min(fitted.height, screen.height);
    fitted.x = std::clamp(fitted.x, screen.x, screen.GetRight() + 1 - fitted.width);
    fitted.y = std::clamp(fitted.y, screen.y, screen.GetBottom() + 1 - fitted.height);
    return fitted;
}

void presentResultWindow(wxTopLevelWindow* window, const wxString& projectName) {
    if (!projectName.empty()) window->SetTitle(window->GetTitle() + " - " + projectName);
    window->Bind(wxEVT_CHAR_HOOK, [window](wxKeyEvent& event) {
        const bool escape = event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE;
        const bool closeKey = event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'W';
        if (escape || closeKey)
            window->Close();
        else
            event.Skip();
    });
    auto first = std::make_shared<bool>(true);
    auto given = std::make_shared<wxSize>(window->GetSize());
    window->Bind(wxEVT_SIZE, [window, given](wxSizeEvent& event) {
        event.Skip();
        if (!window->IsShown()) *given = event.GetSize();
    });
    window->Bind(wxEVT_SHOW, [window, first, given](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown() || !*first) return;
        *first = false;
        placeFirstShown(window, *given);
    });
}
