#pragma once
// The user guide (docs/user-guide.md with its screenshots): where the program finds it
// and opening it in the program the desktop uses for such files.

#include <wx/string.h>

#include <vector>

class wxWindow;

// The places the guide may lie, in the order they are tried: beside an installed program
// (../share/doc/korvane), in a docs folder beside the program, in the sources it was
// built from.
std::vector<wxString> userGuideCandidates(const wxString& executablePath);

// The first candidate that exists; empty when none does.
wxString findUserGuide(const wxString& executablePath);

// Opens the guide; a missing guide or a desktop without a program for it is reported in
// the error box.
void openUserGuide(wxWindow* parent);
