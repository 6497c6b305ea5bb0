#pragma once
// Draws a chart's model into a graphics context: lays it out once for the size (title,
// legend rows, tick labels, the chart area), then draws each part through one mapping
// from data to pixels.

#include <wx/graphics.h>

#include <functional>
#include <string>
#include <vector>

#include "results/plot_mapping.h"
#include "results/plot_model.h"

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

// The legend naming every k-th curve (every = k), the last one, the other entries and a
// note that says so.
std::vector<PlotLegendEntry> thinnedLegend(const std::vector<PlotLegendEntry>& entries, std::size_t every);

// Where the parts of a chart go at one size.
struct PlotLayout {
    double s = 1.0;  // scale of every font, line and margin
    double width = 0.0, height = 0.0;
    PlotArea area;
    wxGraphicsFont titleFont, labelFont, tickFont, legendFont;
    PlotTitleFit title;
    double titleLineHeight = 0.0;

    struct LegendEntry {
        PlotLegendEntry entry;
        double x = 0.0, y = 0.0;
    };
    std::vector<LegendEntry> legend;
    std::vector<std::string> xTicks, y1Ticks, y2Ticks;
    double legendLineHeight = 0.0;
    double tickHeight = 0.0;
    double sampleLength = 0.0;
};

class PlotPainter {
public:
    // Lays the model out for a drawing of the given size.
    PlotPainter(wxGraphicsContext& gc, const PlotModel& model, double width, double height);

    const PlotMapping& mapping() const { return m_mapping; }

    // Title, legend, bands, axes and curves.
    void drawChart();
    // The dashed vertical line of the selected click position.
    void drawSelection(double x);
    // The marked point and the box with its readout beside it.
    void drawReadout(const PlotPoint& point);
    // The rectangle a drag with the pointer zooms to.
    void drawDragBand(const wxRect& band);

private:
    void drawTitle();
    void drawLegend();
    void drawBands();
    void drawAxes();
    void drawSet(const PlotSet& set, bool y2, const wxString& colour);

    wxGraphicsContext& m_gc;
    const PlotModel& m_model;
    const PlotLayout m_layout;
    const PlotMapping m_mapping;
};
