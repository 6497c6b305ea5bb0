#pragma once
// The program's icon (a three-bladed rotor), drawn at start from the picture compiled in
// (packaging/korvane.svg), so that no image file has to be found at run time. Every
// top-level window shows it.

#include <wx/iconbndl.h>

const wxIconBundle& korvaneIcons();
