#pragma once
// The drawing of a chart: how its title fits the width.

#include <wx/string.h>

#include <functional>
#include <vector>

// The title as drawn: its font size and one or two lines.
struct PlotTitleFit {
    double size = 0.0;
    std::vector<wxString> lines;
};
// Fits a title into the given width: at the preferred font size on one line when it
// fits; else slightly smaller (down to 80 %); else on two lines split at the word gap
// that makes the longer line shortest, as large as they fit (never above preferred).
// measure(text, size) is the width of text at font size.
PlotTitleFit fitPlotTitle(const wxString& title, double width, double preferredSize,
                          const std::function<double(const wxString&, double)>& measure);
