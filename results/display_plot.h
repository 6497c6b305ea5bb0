#pragma once
// The chart widget: shows a PlotModel (line charts of data sets against a common X axis
// with a left and an optional right axis, title, labels, legend, highlighted X ranges)
// and lets the pointer read points out, zoom and run actions at clickable X positions. It
// exports its content as CSV text and as bitmaps of any size.
//
// The chart does not own its data: a set is a pair of pointers to vectors that belong to
// the window showing the chart and must outlive it.

#include <wx/bitmap.h>
#include <wx/panel.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "results/plot_mapping.h"
#include "results/plot_model.h"

class PlotDisplay : public wxPanel {
public:
    using Action = std::function<void()>;

    static inline const std::string kUnequalActions = "The vectors of actions and x values must be the same size.";

    PlotDisplay(wxWindow* parent, const wxString& title, const wxString& xLabel, const wxString& y1Label,
                const wxString& y2Label, bool showLegend, bool y1Logarithmic);

    // Add a set and return its index; throw PlotModel::kUnequalSet when the lengths differ.
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
    void hideAxis1Set(int index) { setVisible(false, index, false); }
    void showAxis1Set(int index) { setVisible(false, index, true); }
    void hideAxis2Set(int index) { setVisible(true, index, false); }
    void showAxis2Set(int index) { setVisible(true, index, true); }

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
    const PlotRanges& noteRanges() const { return m_model.noteRanges(); }
    void hideUnconvergedRanges();
    void showUnconvergedRanges();
    void hideOorRanges();
    void showOorRanges();

    void setTitle(const wxString& text);
    wxString getTitle() const { return m_model.title(); }
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
    std::string getCSV() const { return m_model.csv(); }
    // The chart drawn into a 32-bit bitmap of the given size; throws for a size below 1.
    wxBitmap getImage(int width, int height) const;
    wxSize getChartSize() const { return GetSize(); }

    // Read access for the windows built on charts, and for tests.
    const PlotAxis& xAxis() const { return m_model.xAxis(); }
    const PlotAxis& y1Axis() const { return m_model.y1Axis(); }
    const PlotAxis& y2Axis() const { return m_model.y2Axis(); }
    const std::vector<PlotSet>& axis1Sets() const { return m_model.axis1Sets(); }
    const std::vector<PlotSet>& axis2Sets() const { return m_model.axis2Sets(); }
    // The legend as drawn: the curves' entries when more than one curve is drawn, the
    // line styles' meaning when a right axis is drawn, and the bands shown.
    std::vector<PlotLegendEntry> legendEntries() const { return m_model.legendEntries(); }
    bool legendShown() const { return !legendEntries().empty(); }
    // The point the pointer rests nearest to, as the readout shows it (empty when none).
    wxString hoverText() const { return m_model.pointText(m_hover); }
    // Pixel position in the last on-screen drawing of an X and a Y1 value.
    wxPoint pixelAt(double x, double y1) const;
    // Colour of a set as drawn.
    wxString axis1SetColour(int index) const { return m_model.colour(false, static_cast<std::size_t>(index)); }
    wxString axis2SetColour(int index) const { return m_model.colour(true, static_cast<std::size_t>(index)); }

    // Selects the click action nearest to the X value (the later one on a tie); -1 without actions.
    int nearestAction(double x) const;

private:
    void setVisible(bool y2, int index, bool visible);
    // After a change of the ranges or of the sets shown: forgets the point under the
    // pointer and redraws.
    void rangesChanged();
    // The mapping of the last on-screen drawing, with the axes as they are now.
    PlotMapping mapping() const;
    void updateHover(const wxPoint& pointer);

    void onPaint(wxPaintEvent& event);
    void onMotion(wxMouseEvent& event);
    void onLeftDown(wxMouseEvent& event);
    void onLeave(wxMouseEvent& event);
    void onLeftUp(wxMouseEvent& event);
    void onWheel(wxMouseEvent& event);
    void onCaptureLost(wxMouseCaptureLostEvent& event);

    PlotModel m_model;
    // The data point nearest to the pointer.
    PlotPoint m_hover;

    const std::vector<double>* m_actionX = nullptr;
    const std::vector<Action>* m_actions = nullptr;
    int m_selectedAction = -1;
    bool m_actionsEnabled = false;

    // A left-button drag that zooms.
    bool m_dragging = false;
    wxPoint m_dragStart, m_dragNow;

    // The chart area of the last on-screen drawing, for pointer positions.
    PlotArea m_area;
};
