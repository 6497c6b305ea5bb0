#include "app/user_edit_tracker.h"

#include <wx/textctrl.h>

#include "app/edit_section.h"

UserEditTracker::UserEditTracker() { wxEvtHandler::AddFilter(this); }

UserEditTracker::~UserEditTracker() { wxEvtHandler::RemoveFilter(this); }

int UserEditTracker::FilterEvent(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type == kvnEVT_UPDATED_VALUE) {
        const wxObject* source = event.GetEventObject();
        if (!dynamic_cast<const wxTextCtrl*>(source)) {
            endEdit();  // a check box or choice: one change is one step
        } else if (source != m_field) {
            m_field = source;
            m_edit = ++m_editsBegun;
        }
    } else if (type == wxEVT_BUTTON || type == wxEVT_MENU || type == wxEVT_CHECKBOX || type == wxEVT_CHOICE) {
        endEdit();
    }
    return Event_Skip;
}

void UserEditTracker::endEdit() {
    m_field = nullptr;
    m_edit = 0;
}
