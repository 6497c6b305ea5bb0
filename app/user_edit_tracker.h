#pragma once
// Which edit the user is making, for the undo history: the changes typed into one text
// field one after another are one edit, which ends when another field is typed into or
// a button, menu command, check box or choice is used. It watches the events of the
// whole program while it exists.

#include <wx/eventfilter.h>
#include <wx/object.h>

#include <cstdint>

class UserEditTracker : public wxEventFilter {
public:
    UserEditTracker();
    ~UserEditTracker() override;
    UserEditTracker(const UserEditTracker&) = delete;
    UserEditTracker& operator=(const UserEditTracker&) = delete;

    int FilterEvent(wxEvent& event) override;

    // The same number for every change of one edit of one text field; 0 when the last
    // thing the user did was an action rather than typing.
    std::uint64_t currentEdit() const { return m_edit; }
    // The next change begins a new edit.
    void endEdit();

private:
    const wxObject* m_field = nullptr;
    std::uint64_t m_edit = 0;
    std::uint64_t m_editsBegun = 0;
};
