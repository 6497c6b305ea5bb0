#pragma once
// The command a choice, a check box or a button sends when the user picks, ticks or
// presses it, as the toolkit reports it: a choice's pop-up list and a modal dialog's
// buttons take no simulated input on every platform.

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>

#include "WxTestApp.h"

namespace korvane::testing {

// Sends the command event of the control with its value, then runs the queued events.
inline void sendCommand(wxWindow* control, wxEventType type, int value = 0) {
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(value);
    control->GetEventHandler()->ProcessEvent(event);
    processEvents();
}

inline void choose(wxChoice* choice, int item) {
    choice->SetSelection(item);
    sendCommand(choice, wxEVT_CHOICE, item);
}

inline void tick(wxCheckBox* box, bool ticked) {
    box->SetValue(ticked);
    sendCommand(box, wxEVT_CHECKBOX, ticked ? 1 : 0);
}

inline void press(wxWindow* button) { sendCommand(button, wxEVT_BUTTON); }

}  // namespace korvane::testing
