#include "results/plot_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "bemt/NumberText.h"

namespace {

const std::array<const char*, 13> kPalette = {"#b80058", "#ebac23", "#008cf9", "#006e00", "#00bbad",
                                              "#d163e6", "#b24502", "#ff9287", "#5954d6", "#00c6f8",
                                              "#878500", "#00a76c", "#bdbdbd"};

wxString heading(const wxString& axisLabel, const PlotSet& set) {
    return set.legend.empty() ? axisLabel : axisLabel + " (" + set.legend + ")";
}

// Exported values keep the ten significant digits the command line's CSV files have.
std::string csvNumber(double value) { return bemt::NumberText::formatted("%.10g", value); }

}  // namespace

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
