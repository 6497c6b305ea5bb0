#include "results/display_plot.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <locale>
#include <sstream>

#include "bemt/spline.h"

namespace {

const std::array<const char*, 13> kPalette = {"#b80058", "#ebac23", "#008cf9", "#006e00", "#00bbad",
                                              "#d163e6", "#b24502", "#ff9287", "#5954d6", "#00c6f8",
                                              "#878500", "#00a76c", "#bdbdbd"};

const wxColour kOutOfRangeBand(255, 160, 0, 55);
const wxColour kUnconvergedBand(220, 0, 0, 45);
const wxColour kGridColour(225, 225, 225);
const wxColour kFrameColour(60, 60, 60);

// Points of a smoothed set: a natural cubic spline sampled at 101 evenly spaced X values.
constexpr int kSmoothSamples = 101;

wxString heading(const wxString& axisLabel, const PlotSet& set) {
    return set.legend.empty() ? axisLabel : axisLabel + " (" + set.legend + ")";
}

std::string numberText(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

void usePen(wxGraphicsContext& gc, const wxGraphicsPenInfo& info) { gc.SetPen(gc.CreatePen(info)); }

// The axis as drawn: an axis without any extent is drawn from 0 to 1.
struct DrawnSpan {
    double start = 0.0;
    double range = 1.0;
    explicit DrawnSpan(const PlotAxis& axis) {
        if (axis.range > 0.0 && std::isfinite(axis.range)) {
            start = axis.start;
            range = axis.range;
        }
    }
};

}  // namespace

wxString plotPaletteColour(std::size_t index) { return kPalette[index % kPalette.size()]; }

wxString plotCsvText(const wxString& xLabel, const wxString& y1Label, const wxString& y2Label,
                     const std::vector<PlotSet>& y1Sets, const std::vector<PlotSet>& y2Sets) {
    struct Column {
        const PlotSet* set;
        const wxString* label;
    };
    std::vector<Column> columns;
    for (const auto& s : y1Sets)
        if (!s.hidden) columns.push_back({&s, &y1Label});
    for (const auto& s : y2Sets)
        if (!s.hidden) columns.push_back({&s, &y2Label});

    wxString text;
    if (columns.empty()) return xLabel + "\n";

    const auto* sharedX = columns.front().set->x;
    const bool oneTable = std::all_of(columns.begin(), columns.end(), [&](const Column& c) { return c.set->x == sharedX; });
    if (oneTable) {
        text << xLabel;
        for (const auto& c : columns) text << "," << heading(*c.label, *c.set);
        text << "\n";
        for (std::size_t i = 0; i < sharedX->size(); ++i) {
            std::string line = numberText((*sharedX)[i]);
            for (const auto& c : columns) {
                line += ',';
                line += numberText((*c.set->y)[i]);
            }
            text << wxString::FromUTF8(line) << "\n";
        }
        return text;
    }
    for (const auto& c : columns) {
        text << xLabel << "," << heading(*c.label, *c.set) << "\n";
        for (std::size_t i = 0; i < c.set->x->size(); ++i)
            text << wxString::FromUTF8(numberText((*c.set->x)[i]) + "," + numberText((*c.set->y)[i])) << "\n";
    }
    return text;
}

struct PlotDisplay::Layout {
    double s = 1.0;  // scale of every font, line and margin
    double width = 0.0, height = 0.0;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;  // chart area
    double legendTop = 0.0;
    wxGraphicsFont titleFont, labelFont, tickFont, legendFont;

    struct LegendEntry {
        wxString text;
        wxString colour;
        bool solid = true;   // a Y1 set
        bool dashed = false; // a Y2 set, or the partner of a Y1 set
        double x = 0.0, y = 0.0;
    };
    std::vector<LegendEntry> legend;
    double legendLineHeight = 0.0;
    double tickHeight = 0.0;
    double sampleLength = 0.0;

    double px(const PlotAxis& a, double v) const {
        const DrawnSpan span(a);
        return left + (v - span.start) / span.range * (right - left);
    }
    double py(const PlotAxis& a, double v) const {
        const DrawnSpan span(a);
        return bottom - (v - span.start) / span.range * (bottom - top);
    }
};

PlotDisplay::PlotDisplay(wxWindow* parent, const wxString& title, const wxString& xLabel, const wxString& y1Label,
                         const wxString& y2Label, bool showLegend, bool y1Logarithmic)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      m_title(title),
      m_xLabel(xLabel),
      m_y1Label(y1Label),
      m_y2Label(y2Label),
      m_showLegend(showLegend),
      m_y1Logarithmic(y1Logarithmic) {
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

int PlotDisplay::addSet(std::vector<PlotSet>& sets, const std::vector<double>* x, const std::vector<double>* y,
                        bool smooth, PlotAxis& yAxis, bool yLogarithmic) {
    if (!x || !y || x->size() != y->size()) throw kUnequalSet;
    PlotSet set;
    set.x = x;
    set.y = y;
    set.smooth = smooth;
    sets.push_back(set);
    m_x.widen(*x);
    yAxis.widen(*y);
    m_x.computeTicks(false);
    yAxis.computeTicks(yLogarithmic, 0.0, m_forceZeroY);
    rescaleAfterWidening(&yAxis == &m_y1, &yAxis == &m_y2);
    Refresh();
    return static_cast<int>(sets.size()) - 1;
}

int PlotDisplay::addAxis1Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth) {
    return addSet(m_y1Sets, x, y, smooth, m_y1, m_y1Logarithmic);
}

int PlotDisplay::addAxis2Set(const std::vector<double>* x, const std::vector<double>* y, bool smooth) {
    return addSet(m_y2Sets, x, y, smooth, m_y2, false);
}

void PlotDisplay::rescaleAfterWidening(bool y1Changed, bool y2Changed) {
    if (m_proportional) makeProportional(m_x, m_y1, false, m_y1Logarithmic, m_forceZeroY);
    if ((y1Changed || y2Changed || m_proportional) && !m_y2Sets.empty()) {
        // Matching works on freshly computed scales of both axes.
        if (!y1Changed && !m_proportional) m_y1.computeTicks(m_y1Logarithmic, 0.0, m_forceZeroY);
        if (!y2Changed) m_y2.computeTicks(false, 0.0, m_forceZeroY);
        matchAxes(m_y1, m_y2);
    }
}

void PlotDisplay::resetRange() {
    m_x.reset();
    m_y1.reset();
    m_y2.reset();
    for (const auto& s : m_y1Sets) {
        if (s.hidden) continue;
        m_x.widen(*s.x);
        m_y1.widen(*s.y);
    }
    for (const auto& s : m_y2Sets) {
        if (s.hidden) continue;
        m_x.widen(*s.x);
        m_y2.widen(*s.y);
    }
    m_x.computeTicks(false);
    m_y1.computeTicks(m_y1Logarithmic, 0.0, m_forceZeroY);
    m_y2.computeTicks(false, 0.0, m_forceZeroY);
    if (m_proportional) makeProportional(m_x, m_y1, false, m_y1Logarithmic, m_forceZeroY);
    if (!m_y2Sets.empty()) matchAxes(m_y1, m_y2);
    Refresh();
}

PlotSet& PlotDisplay::set(std::vector<PlotSet>& sets, int index) {
    if (index < 0 || index >= static_cast<int>(sets.size()))
        throw std::string("The chart has no data set number ") + std::to_string(index) + ".";
    return sets[static_cast<std::size_t>(index)];
}

void PlotDisplay::setAxis1SetLegend(int index, const wxString& text) {
    set(m_y1Sets, index).legend = text;
    Refresh();
}

void PlotDisplay::setAxis2SetLegend(int index, const wxString& text) {
    set(m_y2Sets, index).legend = text;
    Refresh();
}

void PlotDisplay::setPairedLegend(int y1Index, int y2Index, const wxString& text) {
    // The partner carries the text too, so that its CSV column names the pair.
    set(m_y2Sets, y2Index).legend = text;
    auto& s = set(m_y1Sets, y1Index);
    s.legend = text;
    s.paired = y2Index;
    Refresh();
}

void PlotDisplay::setVisible(std::vector<PlotSet>& sets, int index, bool visible) {
    set(sets, index).hidden = !visible;
    Refresh();
}

void PlotDisplay::hideAxis1Set(int index) { setVisible(m_y1Sets, index, false); }
void PlotDisplay::showAxis1Set(int index) { setVisible(m_y1Sets, index, true); }
void PlotDisplay::hideAxis2Set(int index) { setVisible(m_y2Sets, index, false); }
void PlotDisplay::showAxis2Set(int index) { setVisible(m_y2Sets, index, true); }

void PlotDisplay::setUnconvergedRanges(const std::vector<PlotRanges>& ranges) {
    for (std::size_t i = 0; i < m_y1Sets.size(); ++i) m_y1Sets[i].unconverged = i < ranges.size() ? ranges[i] : PlotRanges{};
    Refresh();
}

void PlotDisplay::setOorRanges(const std::vector<PlotRanges>& ranges) {
    for (std::size_t i = 0; i < m_y1Sets.size(); ++i) m_y1Sets[i].outOfRange = i < ranges.size() ? ranges[i] : PlotRanges{};
    Refresh();
}

void PlotDisplay::hideUnconvergedRange(int index) { set(m_y1Sets, index).unconvergedHidden = true; Refresh(); }
void PlotDisplay::showUnconvergedRange(int index) { set(m_y1Sets, index).unconvergedHidden = false; Refresh(); }
void PlotDisplay::hideOorRange(int index) { set(m_y1Sets, index).outOfRangeHidden = true; Refresh(); }
void PlotDisplay::showOorRange(int index) { set(m_y1Sets, index).outOfRangeHidden = false; Refresh(); }

void PlotDisplay::hideUnconvergedRanges() {
    for (auto& s : m_y1Sets) s.unconvergedHidden = true;
    Refresh();
}
void PlotDisplay::showUnconvergedRanges() {
    for (auto& s : m_y1Sets) s.unconvergedHidden = false;
    Refresh();
}
void PlotDisplay::hideOorRanges() {
    for (auto& s : m_y1Sets) s.outOfRangeHidden = true;
    Refresh();
}
void PlotDisplay::showOorRanges() {
    for (auto& s : m_y1Sets) s.outOfRangeHidden = false;
    Refresh();
}

void PlotDisplay::setTitle(const wxString& text) {
    m_title = text;
    Refresh();
}

void PlotDisplay::setLabels(const wxString& x, const wxString& y1, const wxString& y2) {
    m_xLabel = x;
    m_y1Label = y1;
    m_y2Label = y2;
    Refresh();
}

void PlotDisplay::showLegend() { m_showLegend = true; Refresh(); }
void PlotDisplay::hideLegend() { m_showLegend = false; Refresh(); }
void PlotDisplay::showPoints() { m_showPoints = true; Refresh(); }
void PlotDisplay::hidePoints() { m_showPoints = false; Refresh(); }

void PlotDisplay::setProportional(bool proportional) {
    m_proportional = proportional;
    resetRange();
}

void PlotDisplay::forceZeroY(bool force) {
    m_forceZeroY = force;
    resetRange();
}

void PlotDisplay::setAxis1Logaritmic() {
    m_y1Logarithmic = true;
    resetRange();
}

void PlotDisplay::setClickAction(const std::vector<double>* xPositions, const std::vector<Action>* actions) {
    if (!xPositions || !actions || xPositions->size() != actions->size()) throw kUnequalActions;
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

wxString PlotDisplay::axis1SetColour(int index) const { return plotPaletteColour(static_cast<std::size_t>(index)); }

wxString PlotDisplay::axis2SetColour(int index) const {
    for (std::size_t k = 0; k < m_y1Sets.size(); ++k)
        if (m_y1Sets[k].paired == index) return plotPaletteColour(k);
    return plotPaletteColour(m_y1Sets.size() + static_cast<std::size_t>(index));
}

std::string PlotDisplay::getCSV() const {
    const wxString text = plotCsvText(m_xLabel, m_y1Label, m_y2Label, m_y1Sets, m_y2Sets);
    const wxCharBuffer local = text.mb_str(wxConvLocal);
    if (local.data() && (local.length() > 0 || text.empty())) return std::string(local.data(), local.length());
    // The local encoding cannot hold a label (a degree sign under a plain C locale):
    // rather than lose the data, write UTF-8.
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxBitmap PlotDisplay::getImage(int width, int height) const {
    if (width < 1 || height < 1) throw std::string("The image size must be at least 1 x 1 pixels.");
    wxBitmap bitmap(width, height, 32);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) draw(*gc, width, height);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// Drawing

PlotDisplay::Layout PlotDisplay::layout(wxGraphicsContext& gc, double width, double height) const {
    Layout l;
    l.width = width;
    l.height = height;
    l.s = std::max((width + height) / 1000.0, 0.2);
    const double s = l.s;
    const double pad = 10.0 * s;
    // Text stays readable in small windows; from about 700 x 500 on it scales with s.
    const auto fontSize = [s](double base) { return std::max(base * s, 0.85 * base); };
    l.titleFont = gc.CreateFont(fontSize(18.0), wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK);
    l.labelFont = gc.CreateFont(fontSize(15.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);
    l.tickFont = gc.CreateFont(fontSize(13.0), wxEmptyString, wxFONTFLAG_DEFAULT, wxColour(40, 40, 40));
    l.legendFont = gc.CreateFont(fontSize(14.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);

    double w = 0, h = 0;
    gc.SetFont(l.titleFont);
    gc.GetTextExtent(m_title.empty() ? wxString("Ag") : m_title, &w, &h);
    l.top = pad + h + pad;

    // Legend entries in rows under the title.
    if (m_showLegend) {
        gc.SetFont(l.legendFont);
        gc.GetTextExtent("Ag", &w, &h);
        l.legendLineHeight = h * 1.3;
        l.sampleLength = 28.0 * s;
        for (std::size_t i = 0; i < m_y1Sets.size(); ++i) {
            const auto& set = m_y1Sets[i];
            if (set.hidden || set.legend.empty()) continue;
            Layout::LegendEntry e;
            e.text = set.legend;
            e.colour = plotPaletteColour(i);
            e.dashed = set.paired >= 0;
            l.legend.push_back(e);
        }
        for (std::size_t j = 0; j < m_y2Sets.size(); ++j) {
            const auto& set = m_y2Sets[j];
            const bool partnered = std::any_of(m_y1Sets.begin(), m_y1Sets.end(),
                                               [&](const PlotSet& y1) { return y1.paired == static_cast<int>(j); });
            if (set.hidden || set.legend.empty() || partnered) continue;
            Layout::LegendEntry e;
            e.text = set.legend;
            e.colour = axis2SetColour(static_cast<int>(j));
            e.solid = false;
            e.dashed = true;
            l.legend.push_back(e);
        }
        double x = pad * 2.0;
        double y = l.top;
        for (auto& e : l.legend) {
            gc.GetTextExtent(e.text, &w, &h);
            const double samples = (e.solid && e.dashed) ? 2.0 * l.sampleLength + 4.0 * s : l.sampleLength;
            const double entryWidth = samples + 6.0 * s + w + 18.0 * s;
            if (x > pad * 2.0 && x + entryWidth > width - pad) {
                x = pad * 2.0;
                y += l.legendLineHeight;
            }
            e.x = x;
            e.y = y;
            x += entryWidth;
        }
        if (!l.legend.empty()) l.top = y + l.legendLineHeight + pad * 0.5;
    }

    // Room for the tick labels and the axis labels.
    gc.SetFont(l.labelFont);
    double labelHeight = 0;
    gc.GetTextExtent("Ag", &w, &labelHeight);
    gc.SetFont(l.tickFont);
    double tickHeight = 0;
    gc.GetTextExtent("0", &w, &tickHeight);
    l.tickHeight = tickHeight;
    const auto widestTick = [&](const PlotAxis& axis, bool logarithmic) {
        double widest = 0.0;
        for (int i = 0; i < axis.ticks; ++i) {
            gc.GetTextExtent(wxString::FromUTF8(tickLabel(axis.start + i * axis.interval, axis.interval, logarithmic)), &w, &h);
            widest = std::max(widest, w);
        }
        return widest;
    };
    const bool hasY2 = !m_y2Sets.empty();
    l.left = pad + labelHeight + pad * 0.5 + widestTick(m_y1, m_y1Logarithmic) + 6.0 * s;
    l.right = width - pad - (hasY2 ? labelHeight + pad * 0.5 + widestTick(m_y2, false) + 6.0 * s : 2.0 * pad);
    l.bottom = height - pad - labelHeight - 6.0 * s - tickHeight - 6.0 * s;
    l.top = std::min(l.top, l.bottom - 1.0);
    l.right = std::max(l.right, l.left + 1.0);

    // Equal lengths per unit on X and Y1: shrink the longer side and centre the area.
    if (m_proportional) {
        const DrawnSpan xs(m_x), ys(m_y1);
        const double perX = (l.right - l.left) / xs.range;
        const double perY = (l.bottom - l.top) / ys.range;
        if (perX > perY) {
            const double newWidth = perY * xs.range;
            l.left += ((l.right - l.left) - newWidth) / 2.0;
            l.right = l.left + newWidth;
        } else {
            const double newHeight = perX * ys.range;
            l.top += ((l.bottom - l.top) - newHeight) / 2.0;
            l.bottom = l.top + newHeight;
        }
    }
    return l;
}

void PlotDisplay::draw(wxGraphicsContext& gc, double width, double height) const {
    gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
    const Layout l = layout(gc, width, height);
    drawTitle(gc, l);
    if (m_showLegend) drawLegend(gc, l);
    drawBands(gc, l);
    drawAxes(gc, l);
    drawSets(gc, l);
}

void PlotDisplay::drawTitle(wxGraphicsContext& gc, const Layout& l) const {
    double w = 0, h = 0;
    gc.SetFont(l.titleFont);
    gc.GetTextExtent(m_title, &w, &h);
    gc.DrawText(m_title, (l.width - w) / 2.0, 10.0 * l.s);
}

void PlotDisplay::drawLegend(wxGraphicsContext& gc, const Layout& l) const {
    gc.SetFont(l.legendFont);
    for (const auto& e : l.legend) {
        double w = 0, h = 0;
        gc.GetTextExtent(e.text, &w, &h);
        const double midY = e.y + h / 2.0;
        double x = e.x;
        // A Y1 set shows a solid sample, a Y2 set a dashed one, a pair both.
        if (e.solid) {
            usePen(gc, wxGraphicsPenInfo(wxColour(e.colour)).Width(2.0 * l.s));
            gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            x += l.sampleLength;
        }
        if (e.dashed) {
            if (e.solid) x += 4.0 * l.s;
            usePen(gc, wxGraphicsPenInfo(wxColour(e.colour)).Width(2.0 * l.s).Style(wxPENSTYLE_SHORT_DASH));
            gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            x += l.sampleLength;
        }
        gc.DrawText(e.text, x + 6.0 * l.s, e.y);
    }
}

void PlotDisplay::drawBands(wxGraphicsContext& gc, const Layout& l) const {
    gc.Clip(l.left, l.top, l.right - l.left, l.bottom - l.top);
    gc.SetPen(*wxTRANSPARENT_PEN);
    const auto band = [&](const PlotRange& r, const wxColour& colour) {
        const double x1 = l.px(m_x, std::min(r.first, r.second));
        const double x2 = l.px(m_x, std::max(r.first, r.second));
        gc.SetBrush(wxBrush(colour));
        gc.DrawRectangle(x1, l.top, std::max(x2 - x1, 1.0 * l.s), l.bottom - l.top);
    };
    for (const auto& s : m_y1Sets)
        if (!s.hidden && !s.outOfRangeHidden)
            for (const auto& r : s.outOfRange) band(r, kOutOfRangeBand);
    for (const auto& s : m_y1Sets)
        if (!s.hidden && !s.unconvergedHidden)
            for (const auto& r : s.unconverged) band(r, kUnconvergedBand);
    gc.ResetClip();
}

void PlotDisplay::drawAxes(wxGraphicsContext& gc, const Layout& l) const {
    const double s = l.s;
    double w = 0, h = 0;
    gc.SetFont(l.tickFont);

    const wxGraphicsPen grid = gc.CreatePen(wxGraphicsPenInfo(kGridColour).Width(std::max(1.0 * s, 0.5)));
    const wxGraphicsPen frame = gc.CreatePen(wxGraphicsPenInfo(kFrameColour).Width(std::max(1.2 * s, 0.6)));

    for (int i = 0; i < m_x.ticks; ++i) {
        const double v = m_x.start + i * m_x.interval;
        const double x = l.px(m_x, v);
        gc.SetPen(grid);
        gc.StrokeLine(x, l.top, x, l.bottom);
        gc.SetPen(frame);
        gc.StrokeLine(x, l.bottom, x, l.bottom + 4.0 * s);
        const wxString label = wxString::FromUTF8(tickLabel(v, m_x.interval, false));
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, x - w / 2.0, l.bottom + 6.0 * s);
    }
    for (int i = 0; i < m_y1.ticks; ++i) {
        const double v = m_y1.start + i * m_y1.interval;
        const double y = l.py(m_y1, v);
        gc.SetPen(grid);
        gc.StrokeLine(l.left, y, l.right, y);
        gc.SetPen(frame);
        gc.StrokeLine(l.left - 4.0 * s, y, l.left, y);
        const wxString label = wxString::FromUTF8(tickLabel(v, m_y1.interval, m_y1Logarithmic));
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, l.left - 6.0 * s - w, y - h / 2.0);
    }
    const bool hasY2 = !m_y2Sets.empty();
    if (hasY2) {
        for (int i = 0; i < m_y2.ticks; ++i) {
            const double v = m_y2.start + i * m_y2.interval;
            const double y = l.py(m_y2, v);
            gc.SetPen(frame);
            gc.StrokeLine(l.right, y, l.right + 4.0 * s, y);
            const wxString label = wxString::FromUTF8(tickLabel(v, m_y2.interval, false));
            gc.GetTextExtent(label, &w, &h);
            gc.DrawText(label, l.right + 6.0 * s, y - h / 2.0);
        }
    }

    gc.SetPen(frame);
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRectangle(l.left, l.top, l.right - l.left, l.bottom - l.top);

    gc.SetFont(l.labelFont);
    gc.GetTextExtent(m_xLabel, &w, &h);
    // Under the tick labels (a proportional chart may end above the window's bottom).
    gc.DrawText(m_xLabel, (l.left + l.right - w) / 2.0, l.bottom + 12.0 * s + l.tickHeight);
    const double middle = (l.top + l.bottom) / 2.0;
    gc.GetTextExtent(m_y1Label, &w, &h);
    gc.DrawText(m_y1Label, 10.0 * s, middle + w / 2.0, M_PI / 2.0);
    if (hasY2) {
        gc.GetTextExtent(m_y2Label, &w, &h);
        gc.DrawText(m_y2Label, l.width - 10.0 * s - h, middle + w / 2.0, M_PI / 2.0);
    }
}

void PlotDisplay::drawSets(wxGraphicsContext& gc, const Layout& l) const {
    gc.Clip(l.left - 4.0 * l.s, l.top - 4.0 * l.s, l.right - l.left + 8.0 * l.s, l.bottom - l.top + 8.0 * l.s);
    const auto drawSet = [&](const PlotSet& set, const PlotAxis& yAxis, const wxString& colour, bool dashed) {
        const auto& xs = *set.x;
        const auto& ys = *set.y;
        wxGraphicsPenInfo pen{wxColour(colour)};
        pen.Width(2.0 * l.s);
        if (dashed) pen.Style(wxPENSTYLE_SHORT_DASH);
        usePen(gc, pen);

        std::vector<wxPoint2DDouble> points;
        if (set.smooth && xs.size() >= 3) {
            try {
                const bemt::spline curve(xs, ys, bemt::spline::cubic);
                const double first = xs.front(), last = xs.back();
                for (int i = 0; i < kSmoothSamples; ++i) {
                    const double x = first + (last - first) * i / (kSmoothSamples - 1);
                    points.emplace_back(l.px(m_x, x), l.py(yAxis, curve(x)));
                }
            } catch (const std::string&) {
                points.clear();  // unordered or too few points: drawn as straight segments
            }
        }
        if (points.empty())
            for (std::size_t i = 0; i < xs.size(); ++i) points.emplace_back(l.px(m_x, xs[i]), l.py(yAxis, ys[i]));

        // Non-finite values break the line instead of spoiling it.
        wxGraphicsPath path = gc.CreatePath();
        bool drawing = false;
        for (const auto& p : points) {
            if (!std::isfinite(p.m_x) || !std::isfinite(p.m_y)) {
                drawing = false;
                continue;
            }
            if (drawing)
                path.AddLineToPoint(p);
            else
                path.MoveToPoint(p);
            drawing = true;
        }
        gc.StrokePath(path);

        if (m_showPoints) {
            gc.SetBrush(wxBrush(wxColour(colour)));
            gc.SetPen(*wxTRANSPARENT_PEN);
            const double r = 3.0 * l.s;
            for (std::size_t i = 0; i < xs.size(); ++i) {
                const double x = l.px(m_x, xs[i]), y = l.py(yAxis, ys[i]);
                if (std::isfinite(x) && std::isfinite(y)) gc.DrawEllipse(x - r, y - r, 2 * r, 2 * r);
            }
        }
    };
    for (std::size_t i = 0; i < m_y1Sets.size(); ++i)
        if (!m_y1Sets[i].hidden) drawSet(m_y1Sets[i], m_y1, plotPaletteColour(i), false);
    for (std::size_t j = 0; j < m_y2Sets.size(); ++j)
        if (!m_y2Sets[j].hidden) drawSet(m_y2Sets[j], m_y2, axis2SetColour(static_cast<int>(j)), true);
    gc.ResetClip();
}

void PlotDisplay::drawSelection(wxGraphicsContext& gc, const Layout& l) const {
    if (!m_actionsEnabled || !m_actionX || m_selectedAction < 0 ||
        m_selectedAction >= static_cast<int>(m_actionX->size()))
        return;
    const double x = l.px(m_x, (*m_actionX)[static_cast<std::size_t>(m_selectedAction)]);
    usePen(gc, wxGraphicsPenInfo(wxColour(90, 90, 90)).Width(1.5 * l.s).Style(wxPENSTYLE_LONG_DASH));
    gc.StrokeLine(x, l.top, x, l.bottom);
}

void PlotDisplay::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    const wxSize size = GetClientSize();
    draw(*gc, size.x, size.y);
    const Layout l = layout(*gc, size.x, size.y);
    m_areaLeft = l.left;
    m_areaRight = l.right;
    m_areaTop = l.top;
    m_areaBottom = l.bottom;
    drawSelection(*gc, l);
    if (m_dragging) {
        gc->SetPen(wxPen(wxColour(60, 60, 60), 1, wxPENSTYLE_SHORT_DASH));
        gc->SetBrush(wxBrush(wxColour(0, 140, 249, 30)));
        const wxRect band(m_dragStart, m_dragNow);
        gc->DrawRectangle(band.x, band.y, band.width, band.height);
    }
}

void PlotDisplay::onMotion(wxMouseEvent& event) {
    event.Skip();
    if (m_dragging) {
        m_dragNow = event.GetPosition();
        Refresh();
        return;
    }
    if (!m_actionsEnabled || !m_actions || m_actions->empty() || m_areaRight <= m_areaLeft) return;
    const double px = std::clamp(static_cast<double>(event.GetX()), m_areaLeft, m_areaRight);
    const DrawnSpan span(m_x);
    const double x = span.start + (px - m_areaLeft) / (m_areaRight - m_areaLeft) * span.range;
    const int selected = nearestAction(x);
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (selected != m_selectedAction) {
        m_selectedAction = selected;
        Refresh();
    }
}

void PlotDisplay::onLeave(wxMouseEvent& event) {
    event.Skip();
    SetCursor(wxNullCursor);
}

void PlotDisplay::zoomTo(double x1, double x2, double y1From, double y1To) {
    const DrawnSpan y1Span(m_y1), y2Span(m_y2);
    m_x.zoomTo(std::min(x1, x2), std::max(x1, x2), false);
    const double lo = std::min(y1From, y1To), hi = std::max(y1From, y1To);
    m_y1.zoomTo(lo, hi, m_y1Logarithmic);
    if (!m_y2Sets.empty()) {
        // The same part of the right axis.
        const double f1 = (lo - y1Span.start) / y1Span.range, f2 = (hi - y1Span.start) / y1Span.range;
        m_y2.zoomTo(y2Span.start + f1 * y2Span.range, y2Span.start + f2 * y2Span.range, false);
        matchAxes(m_y1, m_y2);
    }
    Refresh();
}

void PlotDisplay::zoomBy(double factor, double xFraction, double yFraction) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return;
    const DrawnSpan xs(m_x), ys(m_y1);
    const double cx = xs.start + xFraction * xs.range, cy = ys.start + yFraction * ys.range;
    zoomTo(cx - xFraction * xs.range * factor, cx + (1.0 - xFraction) * xs.range * factor,
           cy - yFraction * ys.range * factor, cy + (1.0 - yFraction) * ys.range * factor);
}

double PlotDisplay::xFractionAt(double px) const {
    if (m_areaRight <= m_areaLeft) return 0.5;
    return std::clamp((px - m_areaLeft) / (m_areaRight - m_areaLeft), 0.0, 1.0);
}

double PlotDisplay::yFractionAt(double py) const {
    if (m_areaBottom <= m_areaTop) return 0.5;
    return std::clamp((m_areaBottom - py) / (m_areaBottom - m_areaTop), 0.0, 1.0);
}

void PlotDisplay::onWheel(wxMouseEvent& event) {
    if (event.GetWheelRotation() == 0) return;
    zoomBy(event.GetWheelRotation() > 0 ? 0.8 : 1.25, xFractionAt(event.GetX()), yFractionAt(event.GetY()));
}

void PlotDisplay::onLeftUp(wxMouseEvent& event) {
    event.Skip();
    if (!m_dragging) return;
    m_dragging = false;
    if (HasCapture()) ReleaseMouse();
    const wxPoint moved = m_dragNow - m_dragStart;
    if (std::abs(moved.x) > FromDIP(5) && std::abs(moved.y) > FromDIP(5)) {
        const DrawnSpan xs(m_x), ys(m_y1);
        zoomTo(xs.start + xFractionAt(m_dragStart.x) * xs.range, xs.start + xFractionAt(m_dragNow.x) * xs.range,
               ys.start + yFractionAt(m_dragStart.y) * ys.range, ys.start + yFractionAt(m_dragNow.y) * ys.range);
    }
    Refresh();
}

void PlotDisplay::onCaptureLost(wxMouseCaptureLostEvent&) {
    m_dragging = false;
    Refresh();
}

void PlotDisplay::onLeftDown(wxMouseEvent& event) {
    event.Skip();
    const bool actions = m_actionsEnabled && m_actions && !m_actions->empty();
    if (!actions) {
        m_dragging = true;
        m_dragStart = m_dragNow = event.GetPosition();
        CaptureMouse();
        return;
    }
    if (m_selectedAction < 0 || m_selectedAction >= static_cast<int>(m_actions->size())) return;
    const Action action = (*m_actions)[static_cast<std::size_t>(m_selectedAction)];
    if (!action) return;
    try {
        action();
    } catch (const std::string& message) {
        wxMessageBox(wxString::FromUTF8(message), "An error has occurred.", wxOK | wxCENTRE | wxSTAY_ON_TOP, this);
    }
}
