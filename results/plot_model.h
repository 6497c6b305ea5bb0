#pragma once
// What a chart shows, without drawing it: data sets against a common X axis with a left
// (Y1) and an optional right (Y2) axis, highlighted X ranges, title, labels and legend,
// the axis ranges chosen from the data or by a zoom, and the CSV text of the content.
//
// The chart does not own its data: a set is a pair of pointers to vectors that belong to
// the window showing the chart and must outlive it.

#include <wx/colour.h>
#include <wx/string.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "results/plot_axis.h"

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
    int paired = -1;                  // Y1 sets only: the Y2 set sharing colour and legend entry
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
    enum Kind { Curve, Band, Note };  // a note is text alone
    Kind kind = Curve;
    wxString text;
    wxString colour;
    PlotLine line = PlotLine::Solid;
    bool alsoDashed = false;  // a pair of curves: a solid and a dashed sample
    bool markers = false;
};

// One data point of a chart: point number `point` of set `set` of the Y1 or Y2 sets
// (none while set is negative).
struct PlotPoint {
    bool y2 = false;
    int set = -1;
    std::size_t point = 0;
    bool operator==(const PlotPoint&) const = default;
};

// The highlighted X intervals: a Y1 set's unconverged and out-of-range points, and the
// chart's own notes. Each is drawn in a translucent colour of its own.
enum class PlotBand { Unconverged, OutOfRange, Note };
wxColour plotBandColour(PlotBand band);

// The quantity an axis label names: the label without its unit in brackets.
wxString plotQuantity(const wxString& axisLabel);

// The CSV text of a chart (see PlotModel::csv), as a pure function of its sets:
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

class PlotModel {
public:
    static inline const std::string kUnequalSet = "Can not plot data set with unequal X and Y vector sizes.";

    PlotModel(const wxString& title, const wxString& xLabel, const wxString& y1Label, const wxString& y2Label,
              bool showLegend, bool y1Logarithmic);

    // Adds a set, widening the ranges, and returns its index; throws kUnequalSet when the
    // lengths differ.
    int addSet(bool y2, const std::vector<double>* x, const std::vector<double>* y, bool smooth);

    void setLegend(bool y2, int index, const wxString& text);
    // Legend of Y1 set y1Index, shared with its partner Y2 set y2Index (one colour, one entry).
    void setPairedLegend(int y1Index, int y2Index, const wxString& text);
    // Line style, point markers and colour (empty: the palette's) of a Y1 set.
    void setAxis1SetStyle(int index, PlotLine line, bool markers, const wxString& colour);
    void setBandLegends(const wxString& unconverged, const wxString& outOfRange);
    void addCsvColumn(const wxString& label, const std::vector<double>* values);

    // Visibility; the ranges stay until resetRange().
    void setVisible(bool y2, int index, bool visible);

    // Highlighted X intervals, one list per Y1 set, and their visibility (of one set, or
    // of every set).
    void setUnconvergedRanges(const std::vector<PlotRanges>& ranges);
    void setOorRanges(const std::vector<PlotRanges>& ranges);
    void setUnconvergedHidden(int index, bool hidden) { checkedSet(false, index).unconvergedHidden = hidden; }
    void setOorHidden(int index, bool hidden) { checkedSet(false, index).outOfRangeHidden = hidden; }
    void setAllUnconvergedHidden(bool hidden);
    void setAllOorHidden(bool hidden);
    // X intervals highlighted across the whole chart, named in the legend.
    void setNoteRanges(const PlotRanges& ranges, const wxString& legend);
    const PlotRanges& noteRanges() const { return m_noteRanges; }

    void setTitle(const wxString& text) { m_title = text; }
    const wxString& title() const { return m_title; }
    void setLabels(const wxString& x, const wxString& y1, const wxString& y2);
    const wxString& xLabel() const { return m_xLabel; }
    const wxString& y1Label() const { return m_y1Label; }
    const wxString& y2Label() const { return m_y2Label; }
    void setLegendShown(bool shown) { m_showLegend = shown; }
    void setSingleCurveLegend(bool show) { m_singleCurveLegend = show; }
    void setPointsShown(bool shown) { m_showPoints = shown; }
    // The settings that choose the ranges; each resets them.
    void setProportional(bool proportional);
    void forceZeroY(bool force);
    void setY1Floor(std::optional<double> floor);
    void setAxis1Logaritmic();

    bool y1Logarithmic() const { return m_y1Logarithmic; }
    bool proportional() const { return m_proportional; }
    bool hasY2() const { return !m_y2Sets.empty(); }
    // Whether a set is drawn with a marker at every point (a set without line always is).
    bool drawsMarkers(const PlotSet& set) const { return set.markers < 0 ? m_showPoints : set.markers == 1; }

    // Recomputes all ranges from the visible sets (and so undoes any zoom).
    void resetRange();
    // Shows a rectangle given in data coordinates of X and Y1; the Y2 axis follows
    // proportionally.
    void zoomTo(double x1, double x2, double y1From, double y1To);
    // Zooms all axes by the factor (below 1: in) around the point at the given fractions
    // of the shown spans (0 left/bottom, 1 right/top); false, changing nothing, for a
    // factor that is not positive and finite.
    bool zoomBy(double factor, double xFraction, double yFraction);

    const PlotAxis& xAxis() const { return m_x; }
    const PlotAxis& y1Axis() const { return m_y1; }
    const PlotAxis& y2Axis() const { return m_y2; }
    const std::vector<PlotSet>& axis1Sets() const { return m_y1Sets; }
    const std::vector<PlotSet>& axis2Sets() const { return m_y2Sets; }

    // Colour of a set as drawn.
    wxString colour(bool y2, std::size_t index) const;
    // The legend as drawn: the curves' entries when more than one curve is drawn, the
    // line styles' meaning when a right axis is drawn, and the bands shown.
    std::vector<PlotLegendEntry> legendEntries() const;
    // The set of a point when the point is shown (null otherwise).
    const PlotSet* shownSet(const PlotPoint& point) const;
    // A point as the pointer's readout names it: the set's legend, then "quantity = value
    // unit" for X and Y (empty for a point not shown).
    wxString pointText(const PlotPoint& point) const;
    // CSV text of the visible sets in the local 8-bit encoding (UTF-8 where the local
    // encoding cannot hold the labels).
    std::string csv() const;

private:
    // The set of the given index; throws when there is none.
    PlotSet& checkedSet(bool y2, int index);
    void rescaleAfterWidening(bool y1Changed, bool y2Changed);

    wxString m_title, m_xLabel, m_y1Label, m_y2Label;
    std::vector<PlotSet> m_y1Sets, m_y2Sets;
    bool m_showLegend;
    bool m_y1Logarithmic;
    bool m_forceZeroY = false;
    std::optional<double> m_y1Floor;
    bool m_proportional = false;
    bool m_showPoints = false;
    bool m_singleCurveLegend = false;
    PlotAxis m_x, m_y1, m_y2;

    wxString m_unconvergedLegend = "Not converged";
    wxString m_outOfRangeLegend = "Airfoil data extrapolated";
    PlotRanges m_noteRanges;
    wxString m_noteLegend;
    std::vector<PlotCsvColumn> m_csvColumns;
};
