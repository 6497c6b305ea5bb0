#pragma once
// The scale of one chart axis: the data extent, the axis start and end on whole tick
// intervals, and the tick count. Pure arithmetic, so the chart's range rules can be
// checked without a display.

#include <limits>
#include <string>
#include <vector>

struct PlotAxis {
    double dataMin = std::numeric_limits<double>::max();
    double dataMax = std::numeric_limits<double>::lowest();
    double start = 0.0;
    double end = 0.0;
    double range = 0.0;     // end - start
    double interval = 0.0;  // distance between two ticks
    int ticks = 0;          // number of ticks, both ends included

    // Forgets the data and the scale.
    void reset();

    // Takes the finite values of the vector into the data extent.
    void widen(const std::vector<double>& values);

    bool hasData() const { return dataMin <= dataMax; }

    // Chooses interval, start, end, range and tick count for the data extent.
    // imposedInterval 0 lets the data decide; a logarithmic axis (values are
    // exponents) always ticks at whole exponents; forceZero starts the data at 0.
    void computeTicks(bool logarithmic, double imposedInterval = 0.0, bool forceZero = false);

    // Shows the span lo .. hi (a zoom): ticks as for data there, without moving the start
    // to zero. Ignored unless lo < hi.
    void zoomTo(double lo, double hi, bool logarithmic);

    // Ticks strictly below zero, counted in whole intervals.
    int ticksBelowZero() const;
};

// Recomputes the axis with the smaller interval with the larger one, so that lengths on
// both axes keep their ratio.
void makeProportional(PlotAxis& x, PlotAxis& y, bool xLogarithmic, bool yLogarithmic, bool forceZeroY);

// Adjusts the two Y axes of a chart so that their ticks fall on common grid lines.
void matchAxes(PlotAxis& y1, PlotAxis& y2);

// printf format of the tick labels of an axis with the given interval.
const char* tickLabelFormat(double interval);

// The label of one tick: the value printed with tickLabelFormat, or on a logarithmic
// axis 10 raised to the value (UTF-8).
std::string tickLabel(double value, double interval, bool logarithmic);
