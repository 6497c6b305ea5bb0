#pragma once
// The one error box of the program: every failure the user can cause reaches the user
// through it, with the same caption.

#include <wx/string.h>

#include <cstddef>
#include <vector>

class wxWindow;

inline const wxString kErrorCaption = "An error has occurred.";

// A modal box with message, the error caption and an OK button, centred and on top.
void showErrorBox(wxWindow* parent, const wxString& message);

// The most items a message lists; the rest are counted, so that the box fits the screen.
inline constexpr std::size_t kListedItems = 12;
// The items of a list a message names, each on a line of its own after a new line: the
// first kListedItems and "… and N more.".
wxString listedLines(const std::vector<wxString>& items);
