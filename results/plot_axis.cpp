#include "results/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Quotients such as 1.0 / 0.1 carry rounding noise; a tick must not appear or vanish
// because of it.
constexpr double kTickSlack = 1e-9;

double niceInterval(double min, double max) {
    const double d = max - min;
    if (d != 0.0) {
        const double p = std::pow(10.0, std::floor(std::log10(std::fabs(d))));
        const double r = std::fabs(d) / p;
        if (r <= 2.0) return p / 5.0;
        if (r <= 5.0) return p / 2.0;
        return p;
    }
    // A single value: the decade of the value itself; zero has no decade.
    if (min == 0.0) return 1.0;
    return std::pow(10.0, std::floor(std::log10(std::fabs(min))));
}

// An axis drawn with more ticks than this has no readable scale anyway; data so far
// apart (or overflowing) are drawn without ticks rather than with millions of them.
constexpr double kMaxTicks = 10000.0;

void recount(PlotAxis& axis) {
    axis.range = axis.end - axis.start;
    const double count = axis.range / axis.interval;
    if (!std::isfinite(count) || count < 0.0 || count > kMaxTicks) {
        axis.start = axis.end = axis.range = axis.interval = 0.0;
        axis.ticks = 0;
        return;
    }
    axis.ticks = static_cast<int>(std::lround(count)) + 1;
}

}  // namespace

void PlotAxis::reset() { *this = PlotAxis{}; }

void PlotAxis::widen(const std::vector<double>& values) {
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        dataMin = std::min(dataMin, v);
        dataMax = std::max(dataMax, v);
    }
}

void PlotAxis::computeTicks(bool logarithmic, double imposedInterval, bool forceZero) {
    if (!hasData()) {
        start = end = range = interval = 0.0;
        ticks = 0;
        return;
    }
    const double min = forceZero ? 0.0 : dataMin;
    const double max = std::max(dataMax, min);
    if (imposedInterval != 0.0)
        interval = std::fabs(imposedInterval);
    else if (logarithmic)
        interval = 1.0;
    else
        interval = niceInterval(min, max);

    start = std::floor(min / interval + kTickSlack) * interval;
    const long startTicks = std::lround(start / interval);
    if (startTicks == 1 || startTicks == 2) start = 0.0;
    end = std::ceil(max / interval - kTickSlack) * interval;
    // A single value still gets one interval to be drawn in.
    if (end <= start) end = start + interval;
    recount(*this);
}

void PlotAxis::zoomTo(double lo, double hi, bool logarithmic) {
    if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi)) return;
    interval = niceInterval(lo, hi);
    // Exponents keep whole ticks until the span is shorter than two decades.
    if (logarithmic && hi - lo >= 2.0) interval = std::max(1.0, std::round(interval));
    start = std::floor(lo / interval + kTickSlack) * interval;
    end = std::ceil(hi / interval - kTickSlack) * interval;
    if (end <= start) end = start + interval;
    recount(*this);
}

int PlotAxis::ticksBelowZero() const {
    if (interval == 0.0) return 0;
    return std::max(0, static_cast<int>(std::trunc(-start / interval + kTickSlack)));
}

void makeProportional(PlotAxis& x, PlotAxis& y, bool xLogarithmic, bool yLogarithmic, bool forceZeroY) {
    if (!x.hasData() || !y.hasData()) return;
    if (x.interval < y.interval)
        x.computeTicks(xLogarithmic, y.interval, false);
    else if (y.interval < x.interval)
        y.computeTicks(yLogarithmic, x.interval, forceZeroY);
}

void matchAxes(PlotAxis& y1, PlotAxis& y2) {
    if (y1.ticks < 2 || y2.ticks < 2) return;

    // A single interval is split so that it can meet the other axis' grid.
    const auto split = [](PlotAxis& axis, const PlotAxis& other) {
        if (axis.ticks != 2) return;
        for (int k : {7, 6, 5, 4, 3, 2}) {
            if ((other.ticks - 1) % k == 0) {
                axis.interval /= k;
                recount(axis);
                return;
            }
        }
    };
    split(y1, y2);
    split(y2, y1);

    const int c1 = y1.ticks - 1;
    const int c2 = y2.ticks - 1;
    if (c1 % c2 == 0 || c2 % c1 == 0) return;

    PlotAxis& fewer = y1.ticks < y2.ticks ? y1 : y2;
    const PlotAxis& more = y1.ticks < y2.ticks ? y2 : y1;
    while (fewer.ticks < more.ticks && fewer.ticksBelowZero() < more.ticksBelowZero()) {
        fewer.start -= fewer.interval;
        ++fewer.ticks;
    }
    fewer.end += (more.ticks - fewer.ticks) * fewer.interval;
    fewer.ticks = more.ticks;
    fewer.range = fewer.end - fewer.start;
}

const char* tickLabelFormat(double interval) {
    const double i = std::fabs(interval);
    if (i >= 1000.0) return "%.2g";
    if (i >= 1.0) return "%.0f";
    if (i >= 0.1) return "%.1f";
    if (i >= 0.01) return "%.2f";
    return "%.3f";
}

std::string tickLabel(double value, double interval, bool logarithmic) {
    char buffer[64];
    if (!logarithmic) {
        // Snap values that should be zero but carry rounding noise, so that no "-0" shows.
        if (std::fabs(value) < std::fabs(interval) * kTickSlack) value = 0.0;
        std::snprintf(buffer, sizeof buffer, tickLabelFormat(interval), value);
        return buffer;
    }
    static const char* const superscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    std::string label = "10";
    for (const char* c = buffer; *c; ++c) {
        if (*c == '-')
            label += "⁻";
        else if (*c >= '0' && *c <= '9')
            label += superscripts[*c - '0'];
    }
    return label;
}
