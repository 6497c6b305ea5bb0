#pragma once
// Drives the desktop program the way a user does: real mouse and key events through the
// toolkit's input simulator (they travel through the X server of the virtual display),
// handled by the real event loop, queued events and idle time included.

#include <wx/evtloop.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <functional>

#include "WxTestApp.h"

namespace korvane::testing {

// Runs the toolkit's event loop until done() holds or the time is up; true when done.
inline bool runEventLoopUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    wxGUIEventLoop loop;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (done() || std::chrono::steady_clock::now() >= end) loop.Exit();
    });
    timer.Start(10);
    loop.Run();
    timer.Stop();
    return done();
}

// Lets the event loop run for a while: the X server returns simulated input
// asynchronously, and queued events follow the events they come from.
inline void runEventLoopFor(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    runEventLoopUntil([end] { return std::chrono::steady_clock::now() >= end; }, time);
}

// Whether a field shows its text in red, as a refused input.
inline bool red(const wxWindow* field) { return field->GetForegroundColour() == *wxRED; }

class SimulatedUser {
public:
    // Time for the event loop after each gesture.
    static constexpr std::chrono::milliseconds kSettle{150};
    // Between the keys of a text typed.
    static constexpr std::chrono::milliseconds kKeyGap{40};

    // A left click in the middle of the window.
    void click(wxWindow* window) {
        moveTo(window);
        m_sim.MouseClick();
        runEventLoopFor(kSettle);
    }

    // The pointer to a point of the window (relative to its top left corner; its middle
    // by default): on a display without a window manager the keys go where it is.
    void moveTo(wxWindow* window, wxPoint at = wxDefaultPosition) {
        const wxRect box = window->GetScreenRect();
        if (at == wxDefaultPosition) at = wxPoint(box.width / 2, box.height / 2);
        m_sim.MouseMove(box.GetPosition() + at);
        runEventLoopFor(kSettle);
    }

    // Clicks into the field, selects its text with Ctrl+A and types text over it, key by
    // key (a new line by the Enter key); the one way the tests type into a field. Returns
    // the attempts it took: after a first one that lost the focus, the field's edit begins
    // anew from the valid prefix that attempt left, as it would for a user.
    int typeInto(wxTextCtrl* field, const wxString& text) {
        int attempts = 1;
        // Under load a window manager may spend a click on bringing the window to the
        // front, or take the focus away while keys are on their way, as it may from a
        // user, who then clicks again and types the text again.
        for (; attempts <= 3; ++attempts) {
            for (int i = 0; i < 4 && wxWindow::FindFocus() != field; ++i) click(field);
            key('a', wxMOD_CONTROL);
            for (const wxUniChar c : text) {
                // Text() holds Shift for capitals and the characters above the digits.
                c == '\n' ? m_sim.Char(WXK_RETURN) : m_sim.Text(wxString(c).utf8_str());
                runEventLoopFor(kKeyGap);
            }
            // The keys come back from the X server one by one; the last may still be on its way.
            if (runEventLoopUntil([&] { return field->GetValue() == text; }, std::chrono::seconds(5))) break;
        }
        runEventLoopFor(kSettle);
        return attempts;
    }

    // One key press and release, with modifiers (wxMOD_CONTROL, wxMOD_SHIFT, ...), and
    // time for what it sets off.
    void key(int keyCode, int modifiers = wxMOD_NONE, std::chrono::milliseconds then = kSettle) {
        m_sim.Char(keyCode, modifiers);
        runEventLoopFor(then);
    }

    void settle() { runEventLoopFor(kSettle * 2); }

private:
    wxUIActionSimulator m_sim;
};

}  // namespace korvane::testing
