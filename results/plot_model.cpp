#include "results/plot_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <locale>
#include <sstream>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "results/plot_mapping.h"

namespace {

const std::array<const char*, 13> kPalette = {"#b80058", "#ebac23", "#008cf9", "#006e00", "#00bbad",
                                              "#d163e6", "#b24502", "#ff9287", "#5954d6", "#00c6f8",
                                              "#878500", "#00a76c", "#bdbdbd"};

wxString heading(const wxString& axisLabel, const PlotSet& set) {
    return set.legend.empty() ? axisLabel : axisLabel + " (" + set.legend + ")";
}

std::string numberText(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// Exported values keep the ten significant digits the command line's CSV files have.
std::string csvNumber(double value) { return bemt::NumberText::formatted("%.10g", value); }

}  // namespace

wxColour plotBandColour(PlotBand band) {
    switch (band) {
        case PlotBand::Unconverged:
            return wxColour(220, 0, 0, 45);
        case PlotBand::OutOfRange:
            return wxColour(255, 160, 0, 55);
        case PlotBand::Note:
            break;
    }
    return wxColour(40, 90, 220, 40);
}

wxString plotPaletteColour(std::size_t index) { return kPalette[index % kPalette.size()]; }

PlotLine plotCycleLine(std::size_t index) {
    constexpr PlotLine kLines[] = {PlotLine::Solid, PlotLine::Dashed, PlotLine::Dotted};
    return kLines[index / kPalette.size() % 3];
}

wxString plotQuantity(const wxString& axisLabel) {
    wxString quantity = axisLabel;
    const int bracket = quantity.Find('[', true);
    if (bracket != wxNOT_FOUND && quantity.EndsWith("]")) quantity = quantity.Left(static_cast<size_t>(bracket));
    return quantity.Trim();
}

wxString plotCsvText(const wxString& xLabel, const wxString& y1Label, const wxString& y2Label,
                     const std::vector<PlotSet>& y1Sets, const std::vector<PlotSet>& y2Sets,
                     const std::vector<PlotCsvColumn>& extraColumns, bool y1Logarithmic) {
    struct Column {
        const PlotSet* set;
        const wxString* label;
        bool exponents;  // the set holds log10 of the quantity its label names
        std::string value(std::size_t i) const {
            const double y = (*set->y)[i];
            return csvNumber(exponents ? std::pow(10.0, y) : y);
        }
    };
    std::vector<Column> columns;
    for (const auto& s : y1Sets)
        if (!s.hidden) columns.push_back({&s, &y1Label, y1Logarithmic});
    for (const auto& s : y2Sets)
        if (!s.hidden) columns.push_back({&s, &y2Label, false});

    if (columns.empty()) return xLabel + "\n";

    // Curves with equal X values share one X column; each further X gets its own column
    // before its curves. One header line, rows as long as the longest X, empty cells below
    // the end of a shorter one.
    struct Group {
        const std::vector<double>* x;
        std::vector<const PlotCsvColumn*> extra;
        std::vector<const Column*> columns;
    };
    std::vector<Group> groups;
    for (const auto& c : columns) {
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return *g.x == *c.set->x; });
        if (same != groups.end())
            same->columns.push_back(&c);
        else
            groups.push_back({c.set->x, {}, {&c}});
    }
    if (groups.size() == 1)
        for (const auto& e : extraColumns)
            if (e.values && e.values->size() == groups.front().x->size()) groups.front().extra.push_back(&e);

    wxString text;
    std::size_t rows = 0;
    for (const auto& g : groups) {
        if (&g != &groups.front()) text << ",";
        text << xLabel;
        for (const auto* e : g.extra) text << "," << e->label;
        for (const auto* c : g.columns) text << "," << heading(*c->label, *c->set);
        rows = std::max(rows, g.x->size());
    }
    text << "\n";
    for (std::size_t i = 0; i < rows; ++i) {
        std::string line;
        for (const auto& g : groups) {
            if (&g != &groups.front()) line += ',';
            const bool has = i < g.x->size();
            if (has) line += csvNumber((*g.x)[i]);
            for (const auto* e : g.extra) line += ',' + (has ? csvNumber((*e->values)[i]) : std::string());
            for (const auto* c : g.columns) line += ',' + (has ? c->value(i) : std::string());
        }
        text << wxString::FromUTF8(line) << "\n";
    }
    return text;
}

PlotModel::PlotModel(const wxString& title, const wxString& xLabel, const wxString& y1Label, const wxString& y2Label,
                     bool showLegend, bool y1Logarithmic)
    : m_title(title),
      m_xLabel(xLabel),
      m_y1Label(y1Label),
      m_y2Label(y2Label),
      m_showLegend(showLegend),
      m_y1Logarithmic(y1Logarithmic) {}

int PlotModel::addSet(bool y2, const std::vector<double>* x, const std::vector<double>* y, bool smooth) {
    if (!x || !y || x->size() != y->size()) throw bemt::Error(kUnequalSet);
    auto& sets = y2 ? m_y2Sets : m_y1Sets;
    PlotAxis& yAxis = y2 ? m_y2 : m_y1;
    PlotSet set;
    set.x = x;
    set.y = y;
    set.smooth = smooth;
    set.line = y2 ? PlotLine::Dashed : PlotLine::Solid;
    sets.push_back(set);
    m_x.widen(*x);
    yAxis.widen(*y);
    m_x.computeTicks(false);
    yAxis.computeTicks(!y2 && m_y1Logarithmic, 0.0, m_forceZeroY);
    rescaleAfterWidening(!y2, y2);
    return static_cast<int>(sets.size()) - 1;
}

void PlotModel::rescaleAfterWidening(bool y1Changed, bool y2Changed) {
    if (m_proportional) makeProportional(m_x, m_y1, false, m_y1Logarithmic, m_forceZeroY);
    if ((y1Changed || y2Changed || m_proportional) && !m_y2Sets.empty()) {
        // Matching works on freshly computed scales of both axes.
        if (!y1Changed && !m_proportional) m_y1.computeTicks(m_y1Logarithmic, 0.0, m_forceZeroY);
        if (!y2Changed) m_y2.computeTicks(false, 0.0, m_forceZeroY);
        matchAxes(m_y1, m_y2, m_y1Logarithmic);
    }
}

void PlotModel::resetRange() {
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
}

void PlotModel::zoomTo(double x1, double x2, double y1From, double y1To) {
    const PlotSpan y1Span(m_y1), y2Span(m_y2);
    m_x.zoomTo(std::min(x1, x2), std::max(x1, x2), false);
    const double lo = std::min(y1From, y1To), hi = std::max(y1From, y1To);
    m_y1.zoomTo(lo, hi, m_y1Logarithmic);
    if (!m_y2Sets.empty()) {
        // The same part of the right axis, with ticks of its own.
        const double f1 = (lo - y1Span.start) / y1Span.range, f2 = (hi - y1Span.start) / y1Span.range;
        m_y2.zoomTo(y2Span.start + f1 * y2Span.range, y2Span.start + f2 * y2Span.range, false);
    }
}

bool PlotModel::zoomBy(double factor, double xFraction, double yFraction) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return false;
    const PlotSpan xs(m_x), ys(m_y1);
    const double cx = xs.start + xFraction * xs.range, cy = ys.start + yFraction * ys.range;
    zoomTo(cx - xFraction * xs.range * factor, cx + (1.0 - xFraction) * xs.range * factor,
           cy - yFraction * ys.range * factor, cy + (1.0 - yFraction) * ys.range * factor);
    return true;
}

PlotSet& PlotModel::checkedSet(bool y2, int index) {
    auto& sets = y2 ? m_y2Sets : m_y1Sets;
    if (index < 0 || index >= static_cast<int>(sets.size()))
        throw bemt::Error(std::string("The chart has no data set number ") + std::to_string(index) + ".");
    return sets[static_cast<std::size_t>(index)];
}

void PlotModel::setLegend(bool y2, int index, const wxString& text) { checkedSet(y2, index).legend = text; }

void PlotModel::setPairedLegend(int y1Index, int y2Index, const wxString& text) {
    // The partner carries the text too, so that its CSV column names the pair.
    checkedSet(true, y2Index).legend = text;
    auto& s = checkedSet(false, y1Index);
    s.legend = text;
    s.paired = y2Index;
}

void PlotModel::setAxis1SetStyle(int index, PlotLine line, bool markers, const wxString& colour) {
    auto& s = checkedSet(false, index);
    s.line = line;
    s.markers = markers ? 1 : 0;
    s.colour = colour;
}

void PlotModel::setBandLegends(const wxString& unconverged, const wxString& outOfRange) {
    m_unconvergedLegend = unconverged;
    m_outOfRangeLegend = outOfRange;
}

void PlotModel::addCsvColumn(const wxString& label, const std::vector<double>* values) {
    m_csvColumns.push_back({label, values});
}

void PlotModel::setVisible(bool y2, int index, bool visible) { checkedSet(y2, index).hidden = !visible; }

void PlotModel::setUnconvergedRanges(const std::vector<PlotRanges>& ranges) {
    for (std::size_t i = 0; i < m_y1Sets.size(); ++i)
        m_y1Sets[i].unconverged = i < ranges.size() ? ranges[i] : PlotRanges{};
}

void PlotModel::setOorRanges(const std::vector<PlotRanges>& ranges) {
    for (std::size_t i = 0; i < m_y1Sets.size(); ++i)
        m_y1Sets[i].outOfRange = i < ranges.size() ? ranges[i] : PlotRanges{};
}

void PlotModel::setAllUnconvergedHidden(bool hidden) {
    for (auto& s : m_y1Sets) s.unconvergedHidden = hidden;
}

void PlotModel::setAllOorHidden(bool hidden) {
    for (auto& s : m_y1Sets) s.outOfRangeHidden = hidden;
}

void PlotModel::setNoteRanges(const PlotRanges& ranges, const wxString& legend) {
    m_noteRanges = ranges;
    m_noteLegend = legend;
}

void PlotModel::setLabels(const wxString& x, const wxString& y1, const wxString& y2) {
    m_xLabel = x;
    m_y1Label = y1;
    m_y2Label = y2;
}

void PlotModel::setProportional(bool proportional) {
    m_proportional = proportional;
    resetRange();
}

void PlotModel::forceZeroY(bool force) {
    m_forceZeroY = force;
    resetRange();
}

void PlotModel::setY1Floor(std::optional<double> floor) {
    m_y1Floor = floor;
    resetRange();
}

void PlotModel::setAxis1Logaritmic() {
    m_y1Logarithmic = true;
    resetRange();
}

wxString PlotModel::colour(bool y2, std::size_t index) const {
    if (!y2) {
        if (index < m_y1Sets.size() && !m_y1Sets[index].colour.empty()) return m_y1Sets[index].colour;
        return plotPaletteColour(index);
    }
    for (std::size_t k = 0; k < m_y1Sets.size(); ++k)
        if (m_y1Sets[k].paired == static_cast<int>(index)) return colour(false, k);
    return plotPaletteColour(m_y1Sets.size() + index);
}

std::vector<PlotLegendEntry> PlotModel::legendEntries() const {
    std::vector<PlotLegendEntry> entries;
    if (!m_showLegend) return entries;
    const auto curveCount = [](const std::vector<PlotSet>& sets) {
        return std::count_if(sets.begin(), sets.end(), [](const PlotSet& s) { return !s.hidden; });
    };
    const auto y2Shown = curveCount(m_y2Sets);
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
                return index >= 0 ? colour(y2, static_cast<std::size_t>(index)) : wxString("#404040");
            };
            entries.push_back({PlotLegendEntry::Curve, plotQuantity(m_y1Label) + " (left axis)",
                               keyColour(false, keyed1), PlotLine::Solid});
            entries.push_back({PlotLegendEntry::Curve, plotQuantity(m_y2Label) + " (right axis)",
                               keyColour(true, keyed2), PlotLine::Dashed});
        }
        for (std::size_t i = 0; i < m_y1Sets.size(); ++i) {
            const auto& set = m_y1Sets[i];
            if (set.hidden || set.legend.empty() || (static_cast<int>(i) == keyed1 && set.paired < 0)) continue;
            // A curve of its own on a chart with two axes says which axis it belongs to (the
            // legend only: the CSV heading names the quantity already).
            const wxString text = bothAxes && set.paired < 0 ? set.legend + " (left axis)" : set.legend;
            PlotLegendEntry e{PlotLegendEntry::Curve, text, colour(false, i), set.line};
            e.alsoDashed = set.paired >= 0 && !m_y2Sets[static_cast<std::size_t>(set.paired)].hidden;
            e.markers = drawsMarkers(set) && set.line == PlotLine::None;
            entries.push_back(e);
        }
        for (std::size_t j = 0; j < m_y2Sets.size(); ++j) {
            const auto& set = m_y2Sets[j];
            const bool partnered = std::any_of(m_y1Sets.begin(), m_y1Sets.end(), [&](const PlotSet& y1) {
                return y1.paired == static_cast<int>(j) && !y1.hidden;
            });
            if (set.hidden || set.legend.empty() || partnered || static_cast<int>(j) == keyed2) continue;
            entries.push_back({PlotLegendEntry::Curve, bothAxes ? set.legend + " (right axis)" : set.legend,
                               colour(true, j), set.line});
        }
    }
    // The bands, whenever one is drawn.
    const auto anyBand = [this](PlotRanges PlotSet::*ranges, bool PlotSet::*hidden) {
        return std::any_of(m_y1Sets.begin(), m_y1Sets.end(),
                           [&](const PlotSet& s) { return !s.hidden && !(s.*hidden) && !(s.*ranges).empty(); });
    };
    const auto bandEntry = [&entries](const wxString& text, PlotBand band) {
        entries.push_back({PlotLegendEntry::Band, text, plotBandColour(band).GetAsString(wxC2S_HTML_SYNTAX)});
    };
    if (anyBand(&PlotSet::unconverged, &PlotSet::unconvergedHidden))
        bandEntry(m_unconvergedLegend, PlotBand::Unconverged);
    if (anyBand(&PlotSet::outOfRange, &PlotSet::outOfRangeHidden)) bandEntry(m_outOfRangeLegend, PlotBand::OutOfRange);
    if (!m_noteRanges.empty()) bandEntry(m_noteLegend, PlotBand::Note);
    return entries;
}

std::string PlotModel::csv() const {
    const wxString text =
        plotCsvText(m_xLabel, m_y1Label, m_y2Label, m_y1Sets, m_y2Sets, m_csvColumns, m_y1Logarithmic);
    const wxCharBuffer local = text.mb_str(wxConvLocal);
    if (local.data() && (local.length() > 0 || text.empty())) return std::string(local.data(), local.length());
    // The local encoding cannot hold a label (a degree sign under a plain C locale):
    // rather than lose the data, write UTF-8.
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

const PlotSet* PlotModel::shownSet(const PlotPoint& point) const {
    if (point.set < 0) return nullptr;
    const auto& sets = point.y2 ? m_y2Sets : m_y1Sets;
    if (static_cast<std::size_t>(point.set) >= sets.size()) return nullptr;
    const PlotSet& set = sets[static_cast<std::size_t>(point.set)];
    if (set.hidden || point.point >= set.x->size()) return nullptr;
    return &set;
}

wxString PlotModel::pointText(const PlotPoint& point) const {
    const PlotSet* set = shownSet(point);
    if (!set) return wxEmptyString;
    double y = (*set->y)[point.point];
    if (!point.y2 && m_y1Logarithmic) y = std::pow(10.0, y);  // the axis holds exponents
    // "Power P = 412 kW": the quantity, the value and the unit of the axis label.
    const auto line = [](const wxString& label, double value) {
        const wxString unit = label.Mid(plotQuantity(label).length()).Strip(wxString::both);
        wxString text = plotQuantity(label) + " = " + wxString::FromUTF8(numberText(value));
        if (unit.length() > 2 && unit != "[-]") text << " " << unit.Mid(1, unit.length() - 2);
        return text;
    };
    wxString text;
    if (!set->legend.empty()) text << set->legend << "\n";
    text << line(m_xLabel, (*set->x)[point.point]) << "\n" << line(point.y2 ? m_y2Label : m_y1Label, y);
    return text;
}
