#pragma once
// The program's icon (a three-bladed rotor), drawn at start so that no image file has
// to be found at run time. Every top-level window shows it.

#include <wx/iconbndl.h>

const wxIconBundle& korvaneIcons();
