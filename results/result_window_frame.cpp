#include "results/result_window_frame.h"

#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <memory>

namespace {

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

void fitFirstShown(wxTopLevelWindow* window) {
    const int index = wxDisplay::GetFromWindow(window);
    const wxRect screen = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    const wxSize decorations = window->GetSize() - window->GetClientSize();
    wxSize minimum = requiredClientSize(window) + decorations;
    minimum.DecTo(screen.GetSize());
    window->SetMinSize(minimum);
    window->SetSize(fitOnScreen(window->GetRect(), screen));
    // In front, with the keyboard, also where no window manager gives it the focus.
    window->Raise();
}

}  // namespace

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
    window->Bind(wxEVT_SHOW, [window, first](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown() || !*first) return;
        *first = false;
        fitFirstShown(window);
    });
}
