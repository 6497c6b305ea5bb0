#pragma once
// The scale of one chart axis: the data extent, the shown span, the tick interval and the
// ticks inside the span, and their labels. Pure arithmetic, so the chart's range rules
// can be checked without a display.

#include <limits>
#include <string>
#include <vector>

struct PlotAxis {
    double dataMin = std::numeric_limits<double>::max();
    double dataMax = std::numeric_limits<double>::lowest();
    double shownMin = 0.0;  // the extent the scale must cover (the data, and 0 when forced)
    double shownMax = 0.0;
    double start = 0.0;     // the shown span
    double end = 0.0;
    double range = 0.0;     // end - start
    double interval = 0.0;  // distance between two ticks
    double firstTick = 0.0; // the lowest tick; equals start unless zoomed
    int ticks = 0;          // number of ticks from firstTick on, inside the span

    // Forgets the data and the scale.
    void reset();

    // Takes the finite values of the vector into the data extent.
    void widen(const std::vector<double>& values);

    bool hasData() const { return dataMin <= dataMax; }

    // Chooses interval, start, end, range and tick count for the data extent.
    // imposedInterval 0 lets the data decide; a logarithmic axis (values are
    // exponents) ticks at whole exponents; forceZero takes 0 into the extent (data on
    // both sides of zero stay whole).
    void computeTicks(bool logarithmic, double imposedInterval = 0.0, bool forceZero = false);

    // Shows exactly the span lo .. hi (a zoom), with ticks at round values inside it.
    // Ignored unless lo < hi.
    void zoomTo(double lo, double hi, bool logarithmic);

    // The value of tick i.
    double tick(int i) const { return firstTick + i * interval; }

    // Ticks strictly below zero, counted in whole intervals.
    int ticksBelowZero() const;
};

// Recomputes the axis with the smaller interval with the larger one, so that lengths on
// both axes keep their ratio.
void makeProportional(PlotAxis& x, PlotAxis& y, bool xLogarithmic, bool yLogarithmic, bool forceZeroY);

// Gives the two Y axes of a chart the same number of intervals, so that their ticks fall
// on common grid lines, choosing round intervals that waste the least height on either
// axis. y1Logarithmic keeps whole exponents on the left axis.
void matchAxes(PlotAxis& y1, PlotAxis& y2, bool y1Logarithmic = false);

// 10 raised to the exponent in superscript digits: "10⁶", "10⁻³" (UTF-8).
std::string powerOfTen(int exponent);

// The labels of the ticks of an axis, one per tick, all distinct: the number of digits
// follows the tick interval; large and tiny values are written in powers of ten; a
// logarithmic axis (values are exponents) labels whole exponents as 10ⁿ and, when zoomed
// within a decade, the values themselves. UTF-8.
std::vector<std::string> tickLabels(const PlotAxis& axis, bool logarithmic);
