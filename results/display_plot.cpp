#include "results/display_plot.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <cmath>
#include <memory>

#include "bemt/Error.h"
#include "results/error_box.h"
#include "results/plot_painter.h"

namespace {

// One wheel notch in shows this share of each axis; a notch out the inverse.
constexpr double kWheelZoomIn = 0.8;

}  // namespace

PlotDisplay::PlotDisplay(wxWindow* parent, const wxString& title, const wxString& xLabel, const wxString& y1Label,
                         const wxString& y2Label, bool showLegend, bool y1Logarithmic)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      m_model(title, xLabel, y1Label, y2Label, showLegend, y1Logarithmic) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(FromDIP(wxSize(300, 200)));
    Bind(wxEVT_PAINT, &PlotDisplay::onPaint, this);
    Bind(wxEVT_MOTION, &PlotDisplay::onMotion, this);
    Bind(wxEVT_LEFT_DOWN, &PlotDisplay::onLeftDown, this);
    Bind(wxEVT_LEAVE_WINDOW, &PlotDisplay::onLeave, this);
    Bind(wxEVT_LEFT_UP, &PlotDisplay::onLeftUp, this);
    Bind(wxEVT_MOUSEWHEEL, &PlotDisplay::onWheel, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &PlotDisplay::onCaptureLost, this);
}

int PlotDisplay::addAxis1Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth) {
    const int index = m_model.addSet(false, x, y, smooth);
    Refresh();
    return index;
}

int PlotDisplay::addAxis2Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth) {
    const int index = m_model.addSet(true, x, y, smooth);
    Refresh();
    return index;
}

void PlotDisplay::rangesChanged() {
    m_hover = PlotPoint{};
    Refresh();
}

void PlotDisplay::setVisible(bool y2, int index, bool visible) {
    m_model.setVisible(y2, index, visible);
    rangesChanged();
}

void PlotDisplay::resetRange() {
    m_model.resetRange();
    rangesChanged();
}

void PlotDisplay::zoomTo(double x1, double x2, double y1From, double y1To) {
    m_model.zoomTo(x1, x2, y1From, y1To);
    rangesChanged();
}

void PlotDisplay::zoomBy(double factor, double xFraction, double yFraction) {
    if (m_model.zoomBy(factor, xFraction, yFraction)) rangesChanged();
}

void PlotDisplay::setProportional(bool proportional) {
    m_model.setProportional(proportional);
    rangesChanged();
}

void PlotDisplay::forceZeroY(bool force) {
    m_model.forceZeroY(force);
    rangesChanged();
}

void PlotDisplay::setY1Floor(std::optional<double> floor) {
    m_model.setY1Floor(floor);
    rangesChanged();
}

void PlotDisplay::setAxis1Logaritmic() {
    m_model.setAxis1Logaritmic();
    rangesChanged();
}

// The changes below leave the ranges and the sets shown as they are.

void PlotDisplay::setAxis1SetLegend(int index, const wxString& text) {
    m_model.setLegend(false, index, text);
    Refresh();
}

void PlotDisplay::setAxis2SetLegend(int index, const wxString& text) {
    m_model.setLegend(true, index, text);
    Refresh();
}

void PlotDisplay::setPairedLegend(int y1Index, int y2Index, const wxString& text) {
    m_model.setPairedLegend(y1Index, y2Index, text);
    Refresh();
}

void PlotDisplay::setAxis1SetStyle(int index, PlotLine line, bool markers, const wxString& colour) {
    m_model.setAxis1SetStyle(index, line, markers, colour);
    Refresh();
}

void PlotDisplay::setBandLegends(const wxString& unconverged, const wxString& outOfRange) {
    m_model.setBandLegends(unconverged, outOfRange);
    Refresh();
}

void PlotDisplay::addCsvColumn(const wxString& label, const std::vector<double>* values) {
    m_model.addCsvColumn(label, values);
}

void PlotDisplay::setUnconvergedRanges(const std::vector<PlotRanges>& ranges) {
    m_model.setUnconvergedRanges(ranges);
    Refresh();
}

void PlotDisplay::setOorRanges(const std::vector<PlotRanges>& ranges) {
    m_model.setOorRanges(ranges);
    Refresh();
}

void PlotDisplay::hideUnconvergedRange(int index) {
    m_model.setUnconvergedHidden(index, true);
    Refresh();
}
void PlotDisplay::showUnconvergedRange(int index) {
    m_model.setUnconvergedHidden(index, false);
    Refresh();
}
void PlotDisplay::hideOorRange(int index) {
    m_model.setOorHidden(index, true);
    Refresh();
}
void PlotDisplay::showOorRange(int index) {
    m_model.setOorHidden(index, false);
    Refresh();
}
void PlotDisplay::hideUnconvergedRanges() {
    m_model.setAllUnconvergedHidden(true);
    Refresh();
}
void PlotDisplay::showUnconvergedRanges() {
    m_model.setAllUnconvergedHidden(false);
    Refresh();
}
void PlotDisplay::hideOorRanges() {
    m_model.setAllOorHidden(true);
    Refresh();
}
void PlotDisplay::showOorRanges() {
    m_model.setAllOorHidden(false);
    Refresh();
}

void PlotDisplay::setNoteRanges(const PlotRanges& ranges, const wxString& legend) {
    m_model.setNoteRanges(ranges, legend);
    Refresh();
}

void PlotDisplay::setTitle(const wxString& text) {
    m_model.setTitle(text);
    Refresh();
}

void PlotDisplay::setLabels(const wxString& x, const wxString& y1, const wxString& y2) {
    m_model.setLabels(x, y1, y2);
    Refresh();
}

void PlotDisplay::showLegend() {
    m_model.setLegendShown(true);
    Refresh();
}
void PlotDisplay::setSingleCurveLegend(bool show) {
    m_model.setSingleCurveLegend(show);
    Refresh();
}
void PlotDisplay::hideLegend() {
    m_model.setLegendShown(false);
    Refresh();
}
void PlotDisplay::showPoints() {
    m_model.setPointsShown(true);
    Refresh();
}
void PlotDisplay::hidePoints() {
    m_model.setPointsShown(false);
    Refresh();
}

void PlotDisplay::setClickAction(const std::vector<double>* xPositions, const std::vector<Action>* actions) {
    if (!xPositions || !actions || xPositions->size() != actions->size()) throw bemt::Error(kUnequalActions);
    m_actionX = xPositions;
    m_actions = actions;
    m_actionsEnabled = true;
    m_selectedAction = -1;
}

void PlotDisplay::enableClickAction(bool enable) {
    m_actionsEnabled = enable;
    if (!enable) m_selectedAction = -1;
    Refresh();
}

int PlotDisplay::nearestAction(double x) const {
    if (!m_actionX) return -1;
    int best = -1;
    double bestDistance = 0.0;
    for (std::size_t i = 0; i < m_actionX->size(); ++i) {
        const double distance = std::fabs((*m_actionX)[i] - x);
        if (best < 0 || distance <= bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

wxBitmap PlotDisplay::getImage(int width, int height) const {
    if (width < 1 || height < 1) throw bemt::Error("The image size must be at least 1 x 1 pixels.");
    wxBitmap bitmap(width, height, 32);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) PlotPainter(*gc, m_model, width, height).drawChart();
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// The pointer

PlotMapping PlotDisplay::mapping() const {
    return PlotMapping(m_area, m_model.xAxis(), m_model.y1Axis(), m_model.y2Axis());
}

wxPoint PlotDisplay::pixelAt(double x, double y1) const {
    const wxPoint2DDouble at = mapping().toPixel(x, y1);
    return wxPoint(static_cast<int>(std::lround(at.m_x)), static_cast<int>(std::lround(at.m_y)));
}

void PlotDisplay::updateHover(const wxPoint& pointer) {
    const PlotMapping map = mapping();
    PlotPoint best;
    // Within reach of the pointer only; farther points are not what it rests on.
    double bestDistance = std::pow(FromDIP(40), 2);
    const auto search = [&](const std::vector<PlotSet>& sets, bool y2) {
        for (std::size_t k = 0; k < sets.size(); ++k) {
            const PlotSet& set = sets[k];
            if (set.hidden) continue;
            for (std::size_t i = 0; i < set.x->size(); ++i) {
                const wxPoint2DDouble at = map.toPixel((*set.x)[i], (*set.y)[i], y2);
                if (!map.reaches(at, 1.0)) continue;
                const double d = std::pow(at.m_x - pointer.x, 2) + std::pow(at.m_y - pointer.y, 2);
                if (std::isfinite(d) && d < bestDistance) {
                    bestDistance = d;
                    best = {y2, static_cast<int>(k), i};
                }
            }
        }
    };
    search(m_model.axis1Sets(), false);
    search(m_model.axis2Sets(), true);
    if (best != m_hover) {
        m_hover = best;
        Refresh();
    }
}

void PlotDisplay::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    const wxSize size = GetClientSize();
    PlotPainter painter(*gc, m_model, size.x, size.y);
    painter.drawChart();
    m_area = painter.mapping().area();
    if (m_actionsEnabled && m_actionX && m_selectedAction >= 0 &&
        m_selectedAction < static_cast<int>(m_actionX->size()))
        painter.drawSelection((*m_actionX)[static_cast<std::size_t>(m_selectedAction)]);
    if (m_dragging)
        painter.drawDragBand(wxRect(m_dragStart, m_dragNow));
    else
        painter.drawReadout(m_hover);
}

void PlotDisplay::onMotion(wxMouseEvent& event) {
    event.Skip();
    if (m_dragging) {
        m_dragNow = event.GetPosition();
        Refresh();
        return;
    }
    updateHover(event.GetPosition());
    const PlotMapping map = mapping();
    if (!m_actionsEnabled || !m_actions || m_actions->empty() || !map.hasWidth()) return;
    const int selected = nearestAction(map.toDataX(event.GetX()));
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (selected != m_selectedAction) {
        m_selectedAction = selected;
        Refresh();
    }
}

void PlotDisplay::onLeave(wxMouseEvent& event) {
    event.Skip();
    SetCursor(wxNullCursor);
    if (m_hover.set >= 0 && !m_dragging) {
        m_hover = PlotPoint{};
        Refresh();
    }
}

void PlotDisplay::onWheel(wxMouseEvent& event) {
    if (event.GetWheelRotation() == 0) return;
    const PlotMapping map = mapping();
    // One notch in and one out return to the same range: the factors are inverse.
    zoomBy(event.GetWheelRotation() > 0 ? kWheelZoomIn : 1.0 / kWheelZoomIn, map.xFraction(event.GetX()),
           map.yFraction(event.GetY()));
}

void PlotDisplay::onLeftDown(wxMouseEvent& event) {
    event.Skip();
    m_dragging = true;
    m_dragStart = m_dragNow = event.GetPosition();
    if (!HasCapture()) CaptureMouse();
}

void PlotDisplay::onLeftUp(wxMouseEvent& event) {
    event.Skip();
    if (!m_dragging) return;
    m_dragging = false;
    if (HasCapture()) ReleaseMouse();
    m_dragNow = event.GetPosition();
    const wxPoint moved = m_dragNow - m_dragStart;
    const int slack = FromDIP(5);
    const PlotMapping map = mapping();
    if (std::abs(moved.x) > slack || std::abs(moved.y) > slack) {
        // A drag: zoom to the rectangle; a side too thin to mean anything keeps its axis.
        const PlotSpan xs(m_model.xAxis()), ys(m_model.y1Axis());
        double x1 = xs.start, x2 = xs.start + xs.range, y1 = ys.start, y2 = ys.start + ys.range;
        if (std::abs(moved.x) > slack) {
            x1 = map.toDataX(m_dragStart.x);
            x2 = map.toDataX(m_dragNow.x);
        }
        if (std::abs(moved.y) > slack) {
            y1 = map.toDataY1(m_dragStart.y);
            y2 = map.toDataY1(m_dragNow.y);
        }
        zoomTo(x1, x2, y1, y2);
        return;
    }
    Refresh();
    // A click: the action nearest to where the button went down.
    if (!m_actionsEnabled || !m_actions || m_actions->empty()) return;
    m_selectedAction = nearestAction(map.toDataX(m_dragStart.x));
    if (m_selectedAction < 0 || m_selectedAction >= static_cast<int>(m_actions->size())) return;
    const Action action = (*m_actions)[static_cast<std::size_t>(m_selectedAction)];
    if (!action) return;
    try {
        action();
    } catch (const bemt::Error& error) {
        showErrorBox(this, wxString::FromUTF8(error.message()));
    }
}

void PlotDisplay::onCaptureLost(wxMouseCaptureLostEvent&) {
    m_dragging = false;
    Refresh();
}
