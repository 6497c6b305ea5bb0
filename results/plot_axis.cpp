#include "results/plot_axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>

namespace {

// Quotients such as 1.0 / 0.1 carry rounding noise; a tick must not appear or vanish
// because of it.
constexpr double kTickSlack = 1e-9;

double decade(double value) { return std::floor(std::log10(std::fabs(value)) + kTickSlack); }

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

void clear(PlotAxis& axis) {
    axis.start = axis.end = axis.range = axis.interval = axis.firstTick = 0.0;
    axis.ticks = 0;
}

// Ticks from start to end on whole intervals.
void recount(PlotAxis& axis) {
    axis.range = axis.end - axis.start;
    axis.firstTick = axis.start;
    const double count = axis.range / axis.interval;
    if (!std::isfinite(count) || count < 0.0 || count > kMaxTicks) return clear(axis);
    axis.ticks = static_cast<int>(std::lround(count)) + 1;
}

// One way to cover lo .. hi with n intervals of a round size.
struct Fit {
    double start = 0.0;
    double step = 0.0;
    double waste = 0.0;  // the covered span over the span to cover
};

// The smallest round step (1, 2, 2.5, 5 times a power of ten; whole numbers 1, 2, 5,
// 10, ... for exponents) with which n intervals from a multiple of it cover lo .. hi.
bool fitIntervals(double lo, double hi, int n, bool wholeSteps, Fit& fit) {
    double span = hi - lo;
    if (!(span > 0.0)) {
        // A constant: centre it in one unit of its decade.
        const double unit = lo == 0.0 ? 1.0 : std::pow(10.0, decade(lo));
        lo -= unit / 2.0;
        hi += unit / 2.0;
        span = unit;
    }
    if (!std::isfinite(span)) return false;
    static const std::array<double, 4> mantissas = {1.0, 2.0, 2.5, 5.0};
    static const std::array<double, 3> wholeMantissas = {1.0, 2.0, 5.0};
    double power = std::pow(10.0, std::floor(std::log10(span / n)));
    if (wholeSteps) power = std::max(power, 1.0);
    for (int tries = 0; tries < 12; ++tries, power *= 10.0) {
        const auto consider = [&](double m) {
            const double step = m * power;
            if (step * n < span * (1.0 - kTickSlack)) return false;
            double start = std::floor(lo / step + kTickSlack) * step;
            const long startSteps = std::lround(start / step);
            if ((startSteps == 1 || startSteps == 2) && n * step >= hi - step * kTickSlack) start = 0.0;
            if (start + n * step < hi - step * kTickSlack) return false;
            fit = {start, step, n * step / span};
            return true;
        };
        if (wholeSteps) {
            for (double m : wholeMantissas)
                if (consider(m)) return true;
        } else {
            for (double m : mantissas)
                if (consider(m)) return true;
        }
    }
    return false;
}

void apply(PlotAxis& axis, const Fit& fit, int n) {
    axis.start = fit.start;
    axis.interval = fit.step;
    axis.end = fit.start + n * fit.step;
    recount(axis);
}

std::string printed(const char* format, int digits, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, digits, value);
    return buffer;
}

bool distinct(const std::vector<std::string>& labels) {
    return std::set<std::string>(labels.begin(), labels.end()).size() == labels.size();
}

// Labels of plain values with the given number of digits (decimals in fixed notation,
// mantissa digits in powers of ten).
std::vector<std::string> plainLabels(const std::vector<double>& values, double interval, bool scientific, int digits) {
    std::vector<std::string> labels;
    for (double v : values) {
        // Values that should be zero but carry rounding noise: no "-0" shows.
        if (std::fabs(v) < std::fabs(interval) * kTickSlack) v = 0.0;
        labels.push_back(scientific ? printed("%.*e", digits, v) : printed("%.*f", digits, v));
    }
    return labels;
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
        shownMin = shownMax = 0.0;
        return clear(*this);
    }
    shownMin = forceZero ? std::min(dataMin, 0.0) : dataMin;
    shownMax = forceZero ? std::max(dataMax, 0.0) : dataMax;
    if (imposedInterval != 0.0)
        interval = std::fabs(imposedInterval);
    else if (logarithmic)
        interval = 1.0;
    else
        interval = niceInterval(shownMin, shownMax);

    if (shownMax == shownMin) {
        // A single value gets an interval on either side, so that it is drawn inside the
        // frame rather than on it.
        start = shownMin - interval;
        end = shownMin + interval;
        return recount(*this);
    }
    start = std::floor(shownMin / interval + kTickSlack) * interval;
    const long startTicks = std::lround(start / interval);
    if (startTicks == 1 || startTicks == 2) start = 0.0;
    end = std::ceil(shownMax / interval - kTickSlack) * interval;
    if (end <= start) end = start + interval;
    recount(*this);
}

void PlotAxis::zoomTo(double lo, double hi, bool logarithmic) {
    if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(hi - lo)) return;
    interval = niceInterval(lo, hi);
    // Exponents keep whole ticks until the span is shorter than two decades.
    if (logarithmic && hi - lo >= 2.0) interval = std::max(1.0, std::round(interval));
    start = lo;
    end = hi;
    range = hi - lo;
    firstTick = std::ceil(lo / interval - kTickSlack) * interval;
    const double count = std::floor((hi - firstTick) / interval + kTickSlack);
    if (!std::isfinite(count) || count < 0.0 || count > kMaxTicks) {
        ticks = 0;
        return;
    }
    ticks = static_cast<int>(count) + 1;
}

int PlotAxis::ticksBelowZero() const {
    if (interval == 0.0) return 0;
    return std::max(0, static_cast<int>(std::trunc(-firstTick / interval + kTickSlack)));
}

void makeProportional(PlotAxis& x, PlotAxis& y, bool xLogarithmic, bool yLogarithmic, bool forceZeroY) {
    if (!x.hasData() || !y.hasData()) return;
    if (x.interval < y.interval)
        x.computeTicks(xLogarithmic, y.interval, false);
    else if (y.interval < x.interval)
        y.computeTicks(yLogarithmic, x.interval, forceZeroY);
}

void matchAxes(PlotAxis& y1, PlotAxis& y2, bool y1Logarithmic) {
    if (!y1.hasData() || !y2.hasData() || y1.ticks < 2 || y2.ticks < 2) return;
    // Both axes get n intervals; the n that wastes the least height on the worse of the
    // two wins, a count near six breaking near-ties (enough grid lines, not too many).
    constexpr int kFewest = 2, kMost = 10;
    double bestCost = std::numeric_limits<double>::max();
    int bestN = 0;
    Fit best1, best2;
    for (int n = kFewest; n <= kMost; ++n) {
        Fit f1, f2;
        if (!fitIntervals(y1.shownMin, y1.shownMax, n, y1Logarithmic, f1)) continue;
        if (!fitIntervals(y2.shownMin, y2.shownMax, n, false, f2)) continue;
        const double cost = std::max(f1.waste, f2.waste) + 0.02 * std::abs(n - 6);
        if (cost < bestCost) {
            bestCost = cost;
            bestN = n;
            best1 = f1;
            best2 = f2;
        }
    }
    if (bestN == 0) return;
    apply(y1, best1, bestN);
    apply(y2, best2, bestN);
}

std::string powerOfTen(int exponent) {
    static const char* const superscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string label = exponent < 0 ? "10⁻" : "10";
    for (const char c : std::to_string(std::abs(exponent))) label += superscripts[c - '0'];
    return label;
}

std::vector<std::string> tickLabels(const PlotAxis& axis, bool logarithmic) {
    std::vector<double> values;
    for (int i = 0; i < axis.ticks; ++i) values.push_back(axis.tick(i));
    if (values.empty()) return {};
    const double interval = std::fabs(axis.interval);

    if (logarithmic) {
        const bool wholeExponents =
            interval >= 1.0 - kTickSlack && std::fabs(axis.firstTick - std::round(axis.firstTick)) < kTickSlack;
        std::vector<std::string> labels;
        if (wholeExponents) {
            for (double v : values) labels.push_back(powerOfTen(static_cast<int>(std::lround(v))));
            return labels;
        }
        // Within a decade: the values themselves, with as many significant digits as
        // neighbouring ticks need (their ratio is 10^interval).
        const int base = static_cast<int>(std::ceil(-std::log10(std::log(10.0) * interval))) + 1;
        for (int digits = std::max(2, base); digits <= 17; ++digits) {
            labels.clear();
            for (double v : values) labels.push_back(printed("%.*g", digits, std::pow(10.0, v)));
            if (distinct(labels)) break;
        }
        return labels;
    }

    // Digits: down to the interval's last digit (an interval of 0.25 needs two decimals).
    const double e = decade(interval);
    int mantissaDecimals = 0;
    for (double m = interval / std::pow(10.0, e); mantissaDecimals < 3; m *= 10.0, ++mantissaDecimals)
        if (std::fabs(m - std::round(m)) < 1e-6 * m) break;
    double largest = 0.0;
    for (double v : values) largest = std::max(largest, std::fabs(v));
    const double magnitude = largest > 0.0 ? decade(largest) : e;
    // Above a million or below a ten-thousandth: powers of ten.
    const bool scientific = magnitude >= 6.0 || magnitude <= -4.0;
    int digits = std::max(0, static_cast<int>((scientific ? magnitude : 0.0) - e) + mantissaDecimals);
    std::vector<std::string> labels = plainLabels(values, interval, scientific, digits);
    // A guard for intervals that are no round numbers: never two equal labels.
    while (!distinct(labels) && digits < 17) labels = plainLabels(values, interval, scientific, ++digits);
    return labels;
}
