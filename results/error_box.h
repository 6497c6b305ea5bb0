#pragma once
// The one error box of the program: every failure the user can cause reaches the user
// through it, with the same caption.

#include <wx/string.h>

class wxWindow;

inline const wxString kErrorCaption = "An error has occurred.";

// A modal box with message, the error caption and an OK button, centred and on top.
void showErrorBox(wxWindow* parent, const wxString& message);
