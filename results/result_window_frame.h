#pragma once
// What every result window does as a window, whatever it shows: its title names the
// project it was computed for, Ctrl+W and Esc close it, and when it is first shown it
// gets a minimum size at which its contents do not overlap and is made to fit on the
// screen it opens on.

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxTopLevelWindow;

void presentResultWindow(wxTopLevelWindow* window, const wxString& projectName);

// The part of a window's area that the screen can show: the size clamped to the area's
// size and the position moved until the whole window lies inside it.
wxRect fitOnScreen(const wxRect& window, const wxRect& screen);
