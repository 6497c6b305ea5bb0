#pragma once
// The chart widget: line charts of data sets against a common X axis with a left (Y1)
// and an optional right (Y2) axis, title, axis labels, legend, highlighted X ranges and
// clickable X positions. It chooses its ranges and ticks itself and exports its content
// as CSV text and as bitmaps of any size.
//
// The chart does not own its data: a set is a pair of pointers to vectors that belong to
// the window showing the chart and must outlive it.

#include <wx/bitmap.h>
#include <wx/panel.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "results/plot_axis.h"
#include "results/plot_model.h"

class wxGraphicsContext;

class PlotDisplay : public wxPanel {
public:
    using Action = std::function<void()>;

    static inline const std::string kUnequalSet = "Can not plot data set with unequal X and Y vector sizes.";
    static inline const std::string kUnequalActions = "The vectors of actions and x values must be the same size.";

    PlotDisplay(wxWindow* parent, const wxString& title, const wxString& xLabel, const wxString& y1Label,
                const wxString& y2Label, bool showLegend, bool y1Logarithmic);

    // Add a set and return its index; throw kUnequalSet when the lengths differ.
    int addAxis1Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth = false);
    int addAxis2Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth = false);

    void setAxis1SetLegend(int index, const wxString& text);
    void setAxis2SetLegend(int index, const wxString& text);
    // Legend of Y1 set y1Index, shared with its partner Y2 set y2Index (one colour, one entry).
    void setPairedLegend(int y1Index, int y2Index, const wxString& text);
    // Line style, point markers and colour (empty: the palette's) of a Y1 set.
    void setAxis1SetStyle(int index, PlotLine line, bool markers, const wxString& colour = wxEmptyString);
    // Names of the bands in the legend.
    void setBandLegends(const wxString& unconverged, const wxString& outOfRange);
    // A column the CSV export adds beside the X values (the vector belongs to the caller).
    void addCsvColumn(const wxString& label, const std::vector<double>* values);

    // Visibility; the ranges stay until resetRange().
    void hideAxis1Set(int index);
    void showAxis1Set(int index);
    void hideAxis2Set(int index);
    void showAxis2Set(int index);

    // Highlighted X intervals, one list per Y1 set.
    void setUnconvergedRanges(const std::vector<PlotRanges>& ranges);
    void setOorRanges(const std::vector<PlotRanges>& ranges);
    void hideUnconvergedRange(int index);
    void showUnconvergedRange(int index);
    void hideOorRange(int index);
    void showOorRange(int index);
    // X intervals highlighted across the whole chart in a colour of their own and named
    // in the legend (the wind speeds where a power curve exceeds its rating, say).
    void setNoteRanges(const PlotRanges& ranges, const wxString& legend);
    const PlotRanges& noteRanges() const { return m_noteRanges; }
    void hideUnconvergedRanges();
    void showUnconvergedRanges();
    void hideOorRanges();
    void showOorRanges();

    void setTitle(const wxString& text);
    wxString getTitle() const { return m_title; }
    void setLabels(const wxString& x, const wxString& y1, const wxString& y2);
    void showLegend();
    // A lone curve's legend is shown too (one that says more than the title, such as an area).
    void setSingleCurveLegend(bool show);
    void hideLegend();
    void showPoints();
    void hidePoints();
    void setProportional(bool proportional);
    void forceZeroY(bool force);
    // The lowest value the Y1 axis shows after a reset (a coefficient from 0; values
    // below are a zoom away); none: the smallest value.
    void setY1Floor(std::optional<double> floor);
    void setAxis1Logaritmic();

    // Clickable X positions: moving the pointer selects the nearest one, a left click runs
    // its action. Both vectors belong to the caller; throw kUnequalActions when their
    // lengths differ.
    void setClickAction(const std::vector<double>* xPositions, const std::vector<Action>* actions);
    void enableClickAction(bool enable);
    int selectedAction() const { return m_selectedAction; }

    // Recomputes all ranges from the visible sets (and so undoes any zoom).
    void resetRange();

    // Zooms to a rectangle of the chart area given in data coordinates of X and Y1; the
    // Y2 axis follows proportionally. The mouse wheel zooms around the pointer by a
    // steady factor; a drag with the left button zooms to the dragged rectangle, and a
    // click without movement runs the nearest click action.
    void zoomTo(double x1, double x2, double y1From, double y1To);
    // Zooms all axes by the factor (below 1: in) around the point at the given fractions
    // of the chart area (0 left/bottom, 1 right/top).
    void zoomBy(double factor, double xFraction, double yFraction);

    // CSV text of the visible sets in the local 8-bit encoding (UTF-8 where the local
    // encoding cannot hold the labels).
    std::string getCSV() const;
    // The chart drawn into a 32-bit bitmap of the given size; throws for a size below 1.
    wxBitmap getImage(int width, int height) const;
    wxSize getChartSize() const { return GetSize(); }

    // Read access for the windows built on charts, and for tests.
    const PlotAxis& xAxis() const { return m_x; }
    const PlotAxis& y1Axis() const { return m_y1; }
    const PlotAxis& y2Axis() const { return m_y2; }
    const std::vector<PlotSet>& axis1Sets() const { return m_y1Sets; }
    const std::vector<PlotSet>& axis2Sets() const { return m_y2Sets; }
    // The legend as drawn: the curves' entries when more than one curve is drawn, the
    // line styles' meaning when a right axis is drawn, and the bands shown.
    std::vector<PlotLegendEntry> legendEntries() const;
    bool legendShown() const { return !legendEntries().empty(); }
    // The point the pointer rests nearest to, as the readout shows it (empty when none).
    wxString hoverText() const;
    // Pixel position in the last on-screen drawing of an X and a Y1 value.
    wxPoint pixelAt(double x, double y1) const;
    // Colour of a set as drawn.
    wxString axis1SetColour(int index) const;
    wxString axis2SetColour(int index) const;

    // Selects the click action nearest to the X value (the later one on a tie); -1 without actions.
    int nearestAction(double x) const;

private:
    struct Layout;

    int addSet(std::vector<PlotSet>& sets, const std::vector<double>* x, const std::vector<double>* y, bool smooth,
               PlotAxis& yAxis, bool yLogarithmic);
    void rescaleAfterWidening(bool y1Changed, bool y2Changed);
    void setVisible(std::vector<PlotSet>& sets, int index, bool visible);
    PlotSet& set(std::vector<PlotSet>& sets, int index);

    Layout layout(wxGraphicsContext& gc, double width, double height) const;
    void draw(wxGraphicsContext& gc, double width, double height) const;
    void drawTitle(wxGraphicsContext& gc, const Layout& l) const;
    void drawLegend(wxGraphicsContext& gc, const Layout& l) const;
    void drawBands(wxGraphicsContext& gc, const Layout& l) const;
    void drawAxes(wxGraphicsContext& gc, const Layout& l) const;
    void drawSets(wxGraphicsContext& gc, const Layout& l) const;
    void drawSelection(wxGraphicsContext& gc, const Layout& l) const;
    void drawReadout(wxGraphicsContext& gc, const Layout& l) const;
    void updateHover(const wxPoint& pointer);
    wxString setColour(bool y2, std::size_t index) const;

    void onPaint(wxPaintEvent& event);
    void onMotion(wxMouseEvent& event);
    void onLeftDown(wxMouseEvent& event);
    void onLeave(wxMouseEvent& event);
    void onLeftUp(wxMouseEvent& event);
    void onWheel(wxMouseEvent& event);
    void onCaptureLost(wxMouseCaptureLostEvent& event);
    // Fractions of the chart area at a pixel position (clamped to 0 .. 1).
    double xFractionAt(double px) const;
    double yFractionAt(double py) const;

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

    // The data point nearest to the pointer.
    struct Hover {
        bool y2 = false;
        int set = -1;
        std::size_t point = 0;
    } m_hover;

    const std::vector<double>* m_actionX = nullptr;
    const std::vector<Action>* m_actions = nullptr;
    int m_selectedAction = -1;
    bool m_actionsEnabled = false;

    // A left-button drag that zooms.
    bool m_dragging = false;
    wxPoint m_dragStart, m_dragNow;

    // The chart area of the last on-screen drawing, for pointer positions.
    double m_areaLeft = 0.0, m_areaRight = 0.0, m_areaTop = 0.0, m_areaBottom = 0.0;
};
