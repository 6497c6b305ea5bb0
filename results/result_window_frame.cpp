#include "results/result_window_frame.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <functional>

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

// How much taller the window would need to be for no scrolled column in it to hide part
// of its content, at the size it has.
int hiddenHeight(wxTopLevelWindow* window) {
    window->Layout();
    int hidden = 0;
    const std::function<void(wxWindow*)> visit = [&](wxWindow* parent) {
        for (wxWindow* child : parent->GetChildren()) {
            if (child->IsTopLevel()) continue;
            if (auto* column = dynamic_cast<wxScrolledWindow*>(child))
                hidden = std::max(hidden, column->GetVirtualSize().y - column->GetClientSize().y);
            visit(child);
        }
    };
    visit(window);
    return hidden;
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

// Placed beside the main window at the size the window asked for, then the client size set
// last: on X11, wxGTK defers a new window's first showing until the window manager reports
// its frame extents, unless the client size was set explicitly; the deferred showing lays
// the window out at 2 x 1 pixels first, which GTK's scroll bars report as critical errors
// and which left windows at their minimum size.
void placeBeforeShowing(wxTopLevelWindow* window) {
    wxTopLevelWindow* main = mainWindowBeside(window);
    const int index = wxDisplay::GetFromWindow(main ? static_cast<wxWindow*>(main) : window);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    const wxSize decorations = window->GetSize() - window->GetClientSize();
    wxSize minimum = requiredClientSize(window) + decorations;
    minimum.IncTo(window->GetMinSize());
    minimum.DecTo(area.GetSize());
    window->SetMinSize(minimum);
    const wxRect anchor = main ? main->GetRect() : wxRect(area.GetPosition(), wxSize(0, 0));
    // Taller where the screen has room, so that the side column shows all it holds.
    const wxSize wanted = window->GetSize() + wxSize(0, hiddenHeight(window));
    window->SetSize(placeWindow(anchor, openSiblings(window, main) % kCascadeCycle + 1, window->FromDIP(kCascadeStep),
                                wanted, minimum, area));
    window->SetClientSize(window->GetClientSize());
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
}

void showResultWindow(wxTopLevelWindow* window) {
    if (!window->IsShown()) {
        placeBeforeShowing(window);
        window->Show();
    } else if (window->IsIconized()) {
        window->Iconize(false);
    }
    // In front, with the keyboard, also where no window manager gives it the focus.
    window->Raise();
}
