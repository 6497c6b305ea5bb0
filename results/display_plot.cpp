#include "results/display_plot.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/arrstr.h>
#include <wx/graphics.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

#include "bemt/spline.h"
#include "results/error_box.h"
#include "results/plot_painter.h"

namespace {

const wxColour kOutOfRangeBand(255, 160, 0, 55);
const wxColour kUnconvergedBand(220, 0, 0, 45);
const wxColour kNoteBand(40, 90, 220, 40);
const wxColour kGridColour(225, 225, 225);
const wxColour kFrameColour(60, 60, 60);

// One wheel notch in shows this share of each axis; a notch out the inverse.
constexpr double kWheelZoomIn = 0.8;

// Points of a smoothed set: a natural cubic spline sampled at 101 evenly spaced X values.
constexpr int kSmoothSamples = 101;

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

struct PlotDisplay::Layout {
    double s = 1.0;  // scale of every font, line and margin
    double width = 0.0, height = 0.0;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;  // chart area
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
    set.line = &sets == &m_y2Sets ? PlotLine::Dashed : PlotLine::Solid;
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
        matchAxes(m_y1, m_y2, m_y1Logarithmic);
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
    if (m_y1Floor && m_y1.hasData()) m_y1.dataMin = std::min(std::max(m_y1.dataMin, *m_y1Floor), m_y1.dataMax);
    m_x.computeTicks(false);
    m_y1.computeTicks(m_y1Logarithmic, 0.0, m_forceZeroY);
    m_y2.computeTicks(false, 0.0, m_forceZeroY);
    if (m_proportional) makeProportional(m_x, m_y1, false, m_y1Logarithmic, m_forceZeroY);
    if (!m_y2Sets.empty()) matchAxes(m_y1, m_y2, m_y1Logarithmic);
    m_hover = Hover{};
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

void PlotDisplay::setAxis1SetStyle(int index, PlotLine line, bool markers, const wxString& colour) {
    auto& s = set(m_y1Sets, index);
    s.line = line;
    s.markers = markers ? 1 : 0;
    s.colour = colour;
    Refresh();
}

void PlotDisplay::setBandLegends(const wxString& unconverged, const wxString& outOfRange) {
    m_unconvergedLegend = unconverged;
    m_outOfRangeLegend = outOfRange;
    Refresh();
}

void PlotDisplay::addCsvColumn(const wxString& label, const std::vector<double>* values) {
    m_csvColumns.push_back({label, values});
}

void PlotDisplay::setVisible(std::vector<PlotSet>& sets, int index, bool visible) {
    set(sets, index).hidden = !visible;
    m_hover = Hover{};
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

void PlotDisplay::setNoteRanges(const PlotRanges& ranges, const wxString& legend) {
    m_noteRanges = ranges;
    m_noteLegend = legend;
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
void PlotDisplay::setSingleCurveLegend(bool show) { m_singleCurveLegend = show; Refresh(); }
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

void PlotDisplay::setY1Floor(std::optional<double> floor) {
    m_y1Floor = floor;
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

wxString PlotDisplay::axis1SetColour(int index) const { return setColour(false, static_cast<std::size_t>(index)); }

wxString PlotDisplay::axis2SetColour(int index) const { return setColour(true, static_cast<std::size_t>(index)); }

wxString PlotDisplay::setColour(bool y2, std::size_t index) const {
    if (!y2) {
        if (index < m_y1Sets.size() && !m_y1Sets[index].colour.empty()) return m_y1Sets[index].colour;
        return plotPaletteColour(index);
    }
    for (std::size_t k = 0; k < m_y1Sets.size(); ++k)
        if (m_y1Sets[k].paired == static_cast<int>(index)) return setColour(false, k);
    return plotPaletteColour(m_y1Sets.size() + index);
}

std::vector<PlotLegendEntry> PlotDisplay::legendEntries() const {
    std::vector<PlotLegendEntry> entries;
    if (!m_showLegend) return entries;
    const auto curveCount = [](const std::vector<PlotSet>& sets) {
        return std::count_if(sets.begin(), sets.end(), [](const PlotSet& s) { return !s.hidden; });
    };
    const auto y2Shown = curveCount(m_y2Sets);
    const auto markersOf = [this](const PlotSet& s) { return s.markers < 0 ? m_showPoints : s.markers == 1; };
    if (curveCount(m_y1Sets) + y2Shown > 1 || m_singleCurveLegend) {
        // The line styles of the two axes, when both are drawn, in the colour of the axis'
        // curve when it draws one in the palette's colours; an unpaired curve so keyed is
        // named by its axis' entry alone.
        const bool bothAxes = y2Shown > 0 && curveCount(m_y1Sets) > 0;
        const auto keyed = [this, bothAxes](bool y2) {
            const auto& sets = y2 ? m_y2Sets : m_y1Sets;
            int found = -1;
            for (std::size_t i = 0; bothAxes && i < sets.size(); ++i) {
                if (sets[i].hidden || !sets[i].colour.empty()) continue;
                if (found >= 0) return -1;
                found = static_cast<int>(i);
            }
            return found;
        };
        const int keyed1 = keyed(false), keyed2 = keyed(true);
        if (bothAxes) {
            const auto keyColour = [this](bool y2, int index) {
                return index >= 0 ? setColour(y2, static_cast<std::size_t>(index)) : wxString("#404040");
            };
            entries.push_back({PlotLegendEntry::Curve, plotQuantity(m_y1Label) + " (left axis)", keyColour(false, keyed1),
                               PlotLine::Solid});
            entries.push_back({PlotLegendEntry::Curve, plotQuantity(m_y2Label) + " (right axis)", keyColour(true, keyed2),
                               PlotLine::Dashed});
        }
        for (std::size_t i = 0; i < m_y1Sets.size(); ++i) {
            const auto& set = m_y1Sets[i];
            if (set.hidden || set.legend.empty() || (static_cast<int>(i) == keyed1 && set.paired < 0)) continue;
            // A curve of its own on a chart with two axes says which axis it belongs to (the
            // legend only: the CSV heading names the quantity already).
            const wxString text = bothAxes && set.paired < 0 ? set.legend + " (left axis)" : set.legend;
            PlotLegendEntry e{PlotLegendEntry::Curve, text, setColour(false, i), set.line};
            e.alsoDashed = set.paired >= 0 && !m_y2Sets[static_cast<std::size_t>(set.paired)].hidden;
            e.markers = markersOf(set) && set.line == PlotLine::None;
            entries.push_back(e);
        }
        for (std::size_t j = 0; j < m_y2Sets.size(); ++j) {
            const auto& set = m_y2Sets[j];
            const bool partnered = std::any_of(m_y1Sets.begin(), m_y1Sets.end(), [&](const PlotSet& y1) {
                return y1.paired == static_cast<int>(j) && !y1.hidden;
            });
            if (set.hidden || set.legend.empty() || partnered || static_cast<int>(j) == keyed2) continue;
            entries.push_back({PlotLegendEntry::Curve, bothAxes ? set.legend + " (right axis)" : set.legend,
                               setColour(true, j), set.line});
        }
    }
    // The bands, whenever one is drawn.
    const auto anyBand = [this](PlotRanges PlotSet::*ranges, bool PlotSet::*hidden) {
        return std::any_of(m_y1Sets.begin(), m_y1Sets.end(),
                           [&](const PlotSet& s) { return !s.hidden && !(s.*hidden) && !(s.*ranges).empty(); });
    };
    if (anyBand(&PlotSet::unconverged, &PlotSet::unconvergedHidden))
        entries.push_back({PlotLegendEntry::Band, m_unconvergedLegend, kUnconvergedBand.GetAsString(wxC2S_HTML_SYNTAX)});
    if (anyBand(&PlotSet::outOfRange, &PlotSet::outOfRangeHidden))
        entries.push_back({PlotLegendEntry::Band, m_outOfRangeLegend, kOutOfRangeBand.GetAsString(wxC2S_HTML_SYNTAX)});
    if (!m_noteRanges.empty())
        entries.push_back({PlotLegendEntry::Band, m_noteLegend, kNoteBand.GetAsString(wxC2S_HTML_SYNTAX)});
    return entries;
}

std::string PlotDisplay::getCSV() const {
    const wxString text = plotCsvText(m_xLabel, m_y1Label, m_y2Label, m_y1Sets, m_y2Sets, m_csvColumns, m_y1Logarithmic);
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
    // Text stays readable in small windows and does not outgrow large ones.
    const auto fontSize = [s](double base) { return base * std::clamp(s, 0.85, 1.6); };
    l.labelFont = gc.CreateFont(fontSize(15.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);
    l.tickFont = gc.CreateFont(fontSize(13.0), wxEmptyString, wxFONTFLAG_DEFAULT, wxColour(40, 40, 40));
    l.legendFont = gc.CreateFont(fontSize(14.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);

    double w = 0, h = 0;
    // The title fits the width: smaller, or on two lines.
    l.title = fitPlotTitle(m_title, width - 2.0 * pad, fontSize(18.0), [&gc](const wxString& text, double size) {
        gc.SetFont(gc.CreateFont(size, wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK));
        double tw = 0, th = 0;
        gc.GetTextExtent(text, &tw, &th);
        return tw;
    });
    l.titleFont = gc.CreateFont(l.title.size, wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK);
    gc.SetFont(l.titleFont);
    gc.GetTextExtent("Ag", &w, &h);
    l.titleLineHeight = h;
    l.top = pad + h * std::max<std::size_t>(l.title.lines.size(), 1) + pad;

    // Legend entries in rows under the title.
    gc.SetFont(l.legendFont);
    gc.GetTextExtent("Ag", &w, &h);
    l.legendLineHeight = h * 1.3;
    l.sampleLength = 28.0 * s;
    double x = pad * 2.0;
    double y = l.top;
    for (const auto& entry : legendEntries()) {
        gc.GetTextExtent(entry.text, &w, &h);
        const double samples = entry.alsoDashed ? 2.0 * l.sampleLength + 4.0 * s : l.sampleLength;
        const double entryWidth = samples + 6.0 * s + w + 18.0 * s;
        if (x > pad * 2.0 && x + entryWidth > width - pad) {
            x = pad * 2.0;
            y += l.legendLineHeight;
        }
        l.legend.push_back({entry, x, y});
        x += entryWidth;
    }
    if (!l.legend.empty()) l.top = y + l.legendLineHeight + pad * 0.5;

    // Room for the tick labels and the axis labels.
    gc.SetFont(l.labelFont);
    double labelHeight = 0;
    gc.GetTextExtent("Ag", &w, &labelHeight);
    gc.SetFont(l.tickFont);
    double tickHeight = 0;
    gc.GetTextExtent("0", &w, &tickHeight);
    l.tickHeight = tickHeight;
    l.xTicks = tickLabels(m_x, false);
    l.y1Ticks = tickLabels(m_y1, m_y1Logarithmic);
    l.y2Ticks = tickLabels(m_y2, false);
    const auto widest = [&](const std::vector<std::string>& labels) {
        double most = 0.0;
        for (const auto& label : labels) {
            gc.GetTextExtent(wxString::FromUTF8(label), &w, &h);
            most = std::max(most, w);
        }
        return most;
    };
    const bool hasY2 = !m_y2Sets.empty();
    l.left = pad + labelHeight + pad * 0.5 + widest(l.y1Ticks) + 6.0 * s;
    l.right = width - pad - (hasY2 ? labelHeight + pad * 0.5 + widest(l.y2Ticks) + 6.0 * s : 2.0 * pad);
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
    drawLegend(gc, l);
    drawBands(gc, l);
    drawAxes(gc, l);
    drawSets(gc, l);
}

void PlotDisplay::drawTitle(wxGraphicsContext& gc, const Layout& l) const {
    double w = 0, h = 0;
    gc.SetFont(l.titleFont);
    double y = 10.0 * l.s;
    for (const auto& line : l.title.lines) {
        gc.GetTextExtent(line, &w, &h);
        gc.DrawText(line, (l.width - w) / 2.0, y);
        y += l.titleLineHeight;
    }
}

namespace {

wxGraphicsPenInfo linePen(const wxString& colour, PlotLine line, double s) {
    wxGraphicsPenInfo pen{wxColour(colour)};
    pen.Width(2.0 * s);
    if (line == PlotLine::Dashed) pen.Style(wxPENSTYLE_SHORT_DASH);
    if (line == PlotLine::Dotted) pen.Width(2.5 * s).Style(wxPENSTYLE_DOT);
    return pen;
}

}  // namespace

void PlotDisplay::drawLegend(wxGraphicsContext& gc, const Layout& l) const {
    gc.SetFont(l.legendFont);
    for (const auto& placed : l.legend) {
        const PlotLegendEntry& e = placed.entry;
        double w = 0, h = 0;
        gc.GetTextExtent(e.text, &w, &h);
        const double midY = placed.y + h / 2.0;
        double x = placed.x;
        if (e.kind == PlotLegendEntry::Band) {
            wxColour colour(e.colour);
            gc.SetPen(*wxTRANSPARENT_PEN);
            gc.SetBrush(wxBrush(wxColour(colour.Red(), colour.Green(), colour.Blue(), 70)));
            gc.DrawRectangle(x, placed.y + h * 0.1, l.sampleLength, h * 0.8);
        } else {
            if (e.line != PlotLine::None) {
                usePen(gc, linePen(e.colour, e.line, l.s));
                gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            }
            if (e.markers || e.line == PlotLine::None) {
                gc.SetPen(*wxTRANSPARENT_PEN);
                gc.SetBrush(wxBrush(wxColour(e.colour)));
                const double r = 3.0 * l.s;
                gc.DrawEllipse(x + l.sampleLength / 2.0 - r, midY - r, 2 * r, 2 * r);
            }
            // A pair: its right-axis curve's dashed sample beside the solid one.
            if (e.alsoDashed) {
                x += l.sampleLength + 4.0 * l.s;
                usePen(gc, linePen(e.colour, PlotLine::Dashed, l.s));
                gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            }
        }
        x += l.sampleLength;
        gc.DrawText(e.text, x + 6.0 * l.s, placed.y);
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
    for (const auto& r : m_noteRanges) band(r, kNoteBand);
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
        const double x = l.px(m_x, m_x.tick(i));
        gc.SetPen(grid);
        gc.StrokeLine(x, l.top, x, l.bottom);
        gc.SetPen(frame);
        gc.StrokeLine(x, l.bottom, x, l.bottom + 4.0 * s);
        const wxString label = wxString::FromUTF8(l.xTicks[static_cast<std::size_t>(i)]);
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, x - w / 2.0, l.bottom + 6.0 * s);
    }
    for (int i = 0; i < m_y1.ticks; ++i) {
        const double y = l.py(m_y1, m_y1.tick(i));
        gc.SetPen(grid);
        gc.StrokeLine(l.left, y, l.right, y);
        gc.SetPen(frame);
        gc.StrokeLine(l.left - 4.0 * s, y, l.left, y);
        const wxString label = wxString::FromUTF8(l.y1Ticks[static_cast<std::size_t>(i)]);
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, l.left - 6.0 * s - w, y - h / 2.0);
    }
    const bool hasY2 = !m_y2Sets.empty();
    if (hasY2) {
        for (int i = 0; i < m_y2.ticks; ++i) {
            const double y = l.py(m_y2, m_y2.tick(i));
            gc.SetPen(frame);
            gc.StrokeLine(l.right, y, l.right + 4.0 * s, y);
            const wxString label = wxString::FromUTF8(l.y2Ticks[static_cast<std::size_t>(i)]);
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
    // Inside the frame: a zoomed curve ends at the frame, not a few pixels past it.
    gc.Clip(l.left, l.top, l.right - l.left, l.bottom - l.top);
    const auto drawSet = [&](const PlotSet& set, const PlotAxis& yAxis, const wxString& colour) {
        const auto& xs = *set.x;
        const auto& ys = *set.y;
        if (set.line != PlotLine::None) {
            usePen(gc, linePen(colour, set.line, l.s));
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
        }

        if (set.markers == 1 || (set.markers < 0 && m_showPoints) || set.line == PlotLine::None) {
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
        if (!m_y1Sets[i].hidden) drawSet(m_y1Sets[i], m_y1, setColour(false, i));
    for (std::size_t j = 0; j < m_y2Sets.size(); ++j)
        if (!m_y2Sets[j].hidden) drawSet(m_y2Sets[j], m_y2, setColour(true, j));
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

namespace {

wxString readoutNumber(double value) { return wxString::FromUTF8(numberText(value)); }

}  // namespace

wxString PlotDisplay::hoverText() const {
    if (m_hover.set < 0) return wxEmptyString;
    const auto& sets = m_hover.y2 ? m_y2Sets : m_y1Sets;
    if (static_cast<std::size_t>(m_hover.set) >= sets.size()) return wxEmptyString;
    const PlotSet& set = sets[static_cast<std::size_t>(m_hover.set)];
    if (set.hidden || m_hover.point >= set.x->size()) return wxEmptyString;
    double y = (*set.y)[m_hover.point];
    if (!m_hover.y2 && m_y1Logarithmic) y = std::pow(10.0, y);  // the axis holds exponents
    // "Power P = 412 kW": the quantity, the value and the unit of the axis label.
    const auto line = [](const wxString& label, double value) {
        const wxString unit = label.Mid(plotQuantity(label).length()).Strip(wxString::both);
        wxString text = plotQuantity(label) + " = " + readoutNumber(value);
        if (unit.length() > 2 && unit != "[-]") text << " " << unit.Mid(1, unit.length() - 2);
        return text;
    };
    wxString text;
    if (!set.legend.empty()) text << set.legend << "\n";
    text << line(m_xLabel, (*set.x)[m_hover.point]) << "\n" << line(m_hover.y2 ? m_y2Label : m_y1Label, y);
    return text;
}

wxPoint PlotDisplay::pixelAt(double x, double y1) const {
    const DrawnSpan xs(m_x), ys(m_y1);
    return wxPoint(static_cast<int>(std::lround(m_areaLeft + (x - xs.start) / xs.range * (m_areaRight - m_areaLeft))),
                   static_cast<int>(std::lround(m_areaBottom - (y1 - ys.start) / ys.range * (m_areaBottom - m_areaTop))));
}

void PlotDisplay::updateHover(const wxPoint& pointer) {
    Hover best;
    // Within reach of the pointer only; farther points are not what it rests on.
    double bestDistance = std::pow(FromDIP(40), 2);
    const auto search = [&](const std::vector<PlotSet>& sets, const PlotAxis& yAxis, bool y2) {
        const DrawnSpan xs(m_x), ys(yAxis);
        for (std::size_t k = 0; k < sets.size(); ++k) {
            const PlotSet& set = sets[k];
            if (set.hidden) continue;
            for (std::size_t i = 0; i < set.x->size(); ++i) {
                const double px = m_areaLeft + ((*set.x)[i] - xs.start) / xs.range * (m_areaRight - m_areaLeft);
                const double py = m_areaBottom - ((*set.y)[i] - ys.start) / ys.range * (m_areaBottom - m_areaTop);
                if (px < m_areaLeft - 1 || px > m_areaRight + 1 || py < m_areaTop - 1 || py > m_areaBottom + 1)
                    continue;
                const double d = std::pow(px - pointer.x, 2) + std::pow(py - pointer.y, 2);
                if (std::isfinite(d) && d < bestDistance) {
                    bestDistance = d;
                    best = {y2, static_cast<int>(k), i};
                }
            }
        }
    };
    search(m_y1Sets, m_y1, false);
    search(m_y2Sets, m_y2, true);
    if (best.set != m_hover.set || best.y2 != m_hover.y2 || best.point != m_hover.point) {
        m_hover = best;
        Refresh();
    }
}

void PlotDisplay::drawReadout(wxGraphicsContext& gc, const Layout& l) const {
    const wxString text = hoverText();
    if (text.empty()) return;
    const auto& set = (m_hover.y2 ? m_y2Sets : m_y1Sets)[static_cast<std::size_t>(m_hover.set)];
    const PlotAxis& yAxis = m_hover.y2 ? m_y2 : m_y1;
    const double px = l.px(m_x, (*set.x)[m_hover.point]);
    const double py = l.py(yAxis, (*set.y)[m_hover.point]);
    const wxString colour = setColour(m_hover.y2, static_cast<std::size_t>(m_hover.set));
    usePen(gc, wxGraphicsPenInfo(wxColour(colour)).Width(2.0 * l.s));
    gc.SetBrush(*wxWHITE_BRUSH);
    const double r = 5.0 * l.s;
    gc.DrawEllipse(px - r, py - r, 2 * r, 2 * r);

    gc.SetFont(l.legendFont);
    const wxArrayString lines = wxSplit(text, '\n', '\0');
    double boxWidth = 0.0, lineHeight = 0.0, w = 0, h = 0;
    for (const auto& line : lines) {
        gc.GetTextExtent(line, &w, &h);
        boxWidth = std::max(boxWidth, w);
        lineHeight = h;
    }
    const double pad = 5.0 * l.s;
    boxWidth += 2.0 * pad;
    const double boxHeight = lineHeight * lines.size() + 2.0 * pad;
    // Beside the point, inside the chart area.
    double bx = px + 2.0 * r, by = py - boxHeight - 2.0 * r;
    if (bx + boxWidth > l.right) bx = px - 2.0 * r - boxWidth;
    if (by < l.top) by = py + 2.0 * r;
    bx = std::max(bx, l.left);
    usePen(gc, wxGraphicsPenInfo(kFrameColour).Width(1.0));
    gc.SetBrush(wxBrush(wxColour(255, 255, 255, 230)));
    gc.DrawRectangle(bx, by, boxWidth, boxHeight);
    for (std::size_t i = 0; i < lines.size(); ++i) gc.DrawText(lines[i], bx + pad, by + pad + i * lineHeight);
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
    } else {
        drawReadout(*gc, l);
    }
}

void PlotDisplay::onMotion(wxMouseEvent& event) {
    event.Skip();
    if (m_dragging) {
        m_dragNow = event.GetPosition();
        Refresh();
        return;
    }
    updateHover(event.GetPosition());
    if (!m_actionsEnabled || !m_actions || m_actions->empty() || m_areaRight <= m_areaLeft) return;
    const DrawnSpan span(m_x);
    const int selected = nearestAction(span.start + xFractionAt(event.GetX()) * span.range);
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
        m_hover = Hover{};
        Refresh();
    }
}

void PlotDisplay::zoomTo(double x1, double x2, double y1From, double y1To) {
    const DrawnSpan y1Span(m_y1), y2Span(m_y2);
    m_x.zoomTo(std::min(x1, x2), std::max(x1, x2), false);
    const double lo = std::min(y1From, y1To), hi = std::max(y1From, y1To);
    m_y1.zoomTo(lo, hi, m_y1Logarithmic);
    if (!m_y2Sets.empty()) {
        // The same part of the right axis, with ticks of its own.
        const double f1 = (lo - y1Span.start) / y1Span.range, f2 = (hi - y1Span.start) / y1Span.range;
        m_y2.zoomTo(y2Span.start + f1 * y2Span.range, y2Span.start + f2 * y2Span.range, false);
    }
    m_hover = Hover{};
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
    // One notch in and one out return to the same range: the factors are inverse.
    zoomBy(event.GetWheelRotation() > 0 ? kWheelZoomIn : 1.0 / kWheelZoomIn, xFractionAt(event.GetX()),
           yFractionAt(event.GetY()));
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
    if (std::abs(moved.x) > slack || std::abs(moved.y) > slack) {
        // A drag: zoom to the rectangle; a side too thin to mean anything keeps its axis.
        const DrawnSpan xs(m_x), ys(m_y1);
        double x1 = xs.start, x2 = xs.start + xs.range, y1 = ys.start, y2 = ys.start + ys.range;
        if (std::abs(moved.x) > slack) {
            x1 = xs.start + xFractionAt(m_dragStart.x) * xs.range;
            x2 = xs.start + xFractionAt(m_dragNow.x) * xs.range;
        }
        if (std::abs(moved.y) > slack) {
            y1 = ys.start + yFractionAt(m_dragStart.y) * ys.range;
            y2 = ys.start + yFractionAt(m_dragNow.y) * ys.range;
        }
        zoomTo(x1, x2, y1, y2);
        return;
    }
    Refresh();
    // A click: the action nearest to where the button went down.
    if (!m_actionsEnabled || !m_actions || m_actions->empty()) return;
    const DrawnSpan span(m_x);
    m_selectedAction = nearestAction(span.start + xFractionAt(m_dragStart.x) * span.range);
    if (m_selectedAction < 0 || m_selectedAction >= static_cast<int>(m_actions->size())) return;
    const Action action = (*m_actions)[static_cast<std::size_t>(m_selectedAction)];
    if (!action) return;
    try {
        action();
    } catch (const std::string& message) {
        showErrorBox(this, wxString::FromUTF8(message));
    }
}

void PlotDisplay::onCaptureLost(wxMouseCaptureLostEvent&) {
    m_dragging = false;
    Refresh();
}
