#pragma once
// What every result window does as a window, whatever it shows: its title names the
// project it was computed for, Ctrl+W and Esc close it, and showResultWindow shows it
// placed by placeWindow: on the screen that shows the main window, cascading from the
// main window, at least at the size its contents need and never larger than the
// screen's work area.

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxTopLevelWindow;

void presentResultWindow(wxTopLevelWindow* window, const wxString& projectName);

// Shows a result window: placed at its first showing, in front (and no longer iconized)
// when it is open already.
void showResultWindow(wxTopLevelWindow* window);

// Where a window of the given size and minimum size opens: cascade steps of step pixels
// right and down from the anchor's top left corner (the main window), its size at least
// the minimum and at most what the work area holds from there, moved until it lies
// wholly in the work area.
wxRect placeWindow(const wxRect& anchor, int cascade, int step, wxSize size, wxSize minimum, const wxRect& workArea);

// The part of a window's area that the screen can show: the size clamped to the area's
// size and the position moved until the whole window lies inside it.
wxRect fitOnScreen(const wxRect& window, const wxRect& screen);
