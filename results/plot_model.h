#pragma once
// What a chart shows, without drawing it: its data sets, highlighted X ranges and legend
// entries, the palette, and the CSV text of its content.
//
// The chart does not own its data: a set is a pair of pointers to vectors that belong to
// the window showing the chart and must outlive it.

#include <wx/string.h>

#include <cstddef>
#include <utility>
#include <vector>

// An X interval highlighted over the full height of the chart.
using PlotRange = std::pair<double, double>;
using PlotRanges = std::vector<PlotRange>;

// How a set's line is drawn.
enum class PlotLine { Solid, Dashed, Dotted, None };

struct PlotSet {
    const std::vector<double>* x = nullptr;
    const std::vector<double>* y = nullptr;
    wxString legend;
    bool hidden = false;
    bool smooth = false;  // drawn as a natural cubic spline through the points
    PlotRanges unconverged;
    PlotRanges outOfRange;
    bool unconvergedHidden = false;
    bool outOfRangeHidden = false;
    int paired = -1;  // Y1 sets only: the Y2 set sharing colour and legend entry
    PlotLine line = PlotLine::Solid;  // Y1 sets solid, Y2 sets dashed unless styled
    int markers = -1;                 // -1: as the chart's points flag; 0 none; 1 every point
    wxString colour;                  // empty: the palette colour of the set
};

// A column the CSV export writes beside the X values although no curve draws it (the
// wind velocity of a sweep over the tip speed ratio).
struct PlotCsvColumn {
    wxString label;
    const std::vector<double>* values = nullptr;
};

// One entry of a chart's legend.
struct PlotLegendEntry {
    enum Kind { Curve, Band };
    Kind kind = Curve;
    wxString text;
    wxString colour;
    PlotLine line = PlotLine::Solid;
    bool alsoDashed = false;  // a pair of curves: a solid and a dashed sample
    bool markers = false;
};

// The quantity an axis label names: the label without its unit in brackets.
wxString plotQuantity(const wxString& axisLabel);

// The CSV text of a chart (see PlotDisplay::getCSV), as a pure function of its sets:
// the quantities the labels name with ten significant digits, whatever scale the chart
// draws with (a logarithmic Y1 axis holds exponents; its column gets the values).
// The extra columns follow the X column when all sets share one X vector of their length.
wxString plotCsvText(const wxString& xLabel, const wxString& y1Label, const wxString& y2Label,
                     const std::vector<PlotSet>& y1Sets, const std::vector<PlotSet>& y2Sets,
                     const std::vector<PlotCsvColumn>& extraColumns = {}, bool y1Logarithmic = false);

// Palette colour (as "#rrggbb") of the given index, wrapping around.
wxString plotPaletteColour(std::size_t index);
// The line of set index among many: solid through the palette's colours, then dashed,
// then dotted, so that no two of three palettes' worth of curves look alike.
PlotLine plotCycleLine(std::size_t index);
