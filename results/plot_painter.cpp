#include "results/plot_painter.h"

#include <algorithm>

namespace {

PlotTitleFit plotTitleFitOneLine(const wxString& title, double size) { return {size, {title}}; }

}  // namespace

PlotTitleFit fitPlotTitle(const wxString& title, double width, double preferredSize,
                          const std::function<double(const wxString&, double)>& measure) {
    if (title.empty() || width <= 0.0) return plotTitleFitOneLine(title, preferredSize);
    const double full = measure(title, preferredSize);
    if (full <= width) return plotTitleFitOneLine(title, preferredSize);
    // Text widths grow in proportion to the font size; the loop only absorbs rounding.
    const auto shrinkToFit = [&](const std::vector<wxString>& lines, double size) {
        for (int i = 0; i < 40; ++i) {
            double widest = 0.0;
            for (const auto& line : lines) widest = std::max(widest, measure(line, size));
            if (widest <= width) break;
            size *= std::min(0.97, width / widest);
        }
        return PlotTitleFit{size, lines};
    };
    if (preferredSize * width / full >= 0.8 * preferredSize)
        return shrinkToFit({title}, preferredSize * width / full);

    // Two lines, split at the gap between words that makes the longer line shortest.
    std::vector<wxString> best;
    double bestWidth = full;
    for (size_t gap = title.find(' '); gap != wxString::npos; gap = title.find(' ', gap + 1)) {
        const wxString first = title.Left(gap);
        const wxString second = title.Mid(gap + 1);
        const double longer = std::max(measure(first, preferredSize), measure(second, preferredSize));
        if (longer < bestWidth) {
            bestWidth = longer;
            best = {first, second};
        }
    }
    if (best.empty()) return shrinkToFit({title}, preferredSize * width / full);
    return shrinkToFit(best, std::min(preferredSize, preferredSize * width / bestWidth));
}
