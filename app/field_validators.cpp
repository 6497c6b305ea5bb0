#include "app/field_validators.h"

#include <wx/settings.h>

wxDEFINE_EVENT(kvnEVT_UPDATED_VALUE, wxCommandEvent);

void postUpdatedValue(wxWindow* control) {
    auto* event = new wxCommandEvent(kvnEVT_UPDATED_VALUE, control->GetId());
    event->SetEventObject(control);
    control->GetEventHandler()->QueueEvent(event);
}

void markValidity(wxWindow* control, bool valid) {
    // A valid field drops its own colours rather than taking the system's, so that it
    // looks disabled where a check box disables it.
    if (valid != (control->GetForegroundColour() == *wxRED)) return;
    control->SetForegroundColour(valid ? wxNullColour : *wxRED);
    // A tint shows a refused field that holds no text (emptied) as well.
    const wxColour tint(255, 226, 226);
    control->SetBackgroundColour(valid ? wxNullColour : tint);
    // A multi-line field keeps each character in the colours it was typed in (the new
    // colours only reach text typed from now on): the whole text takes the new ones.
    if (auto* text = dynamic_cast<wxTextCtrl*>(control); text && text->IsMultiLine()) {
        const wxColour colour = valid ? wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT) : *wxRED;
        const wxColour background = valid ? wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW) : tint;
        text->SetStyle(0, text->GetLastPosition(), wxTextAttr(colour, background));
    }
    control->Refresh();
}

bool InputCheckboxValidator::TransferToWindow() {
    auto* box = dynamic_cast<wxCheckBox*>(GetWindow());
    if (!box || !m_value) return false;
    box->SetValue(*m_value);
    return true;
}

bool InputCheckboxValidator::TransferFromWindow() {
    auto* box = dynamic_cast<wxCheckBox*>(GetWindow());
    if (!box || !m_value) return false;
    *m_value = box->GetValue();
    return true;
}

