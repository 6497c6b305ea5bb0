#pragma once
// The curves of the result windows, built from the core's results without a display:
// the element distributions of an operating point per pitch angle, the characteristics
// per pitch angle, and the twist and chord distributions a result hands back to the
// project.

#include <wx/string.h>

#include <array>
#include <vector>

#include "bemt/Records.h"
#include "results/result_rules.h"

namespace result_series {

using Intervals = std::vector<result_rules::Interval>;

// ---- operating point ----

enum OpChart { BladeShape, Angles, Reynolds, Induction, LiftDrag, PowerThrust, OpChartCount };

struct ChartText {
    wxString page;
    wxString base;  // title without the pitch part
    wxString x;
    wxString y1;
    wxString y2;
};
// Page names, title bases and axis labels of the six operating point charts.
const std::array<ChartText, OpChartCount>& opCharts();
// The label of the extra angle of attack curve.
wxString bestAngleLegend();

struct OpCurves {
    std::array<std::vector<double>, OpChartCount> y1;
    std::array<std::vector<double>, OpChartCount> y2;
    Intervals unconverged;
    Intervals outOfRange;
};

struct OpSeries {
    std::vector<double> x;            // x/R of the elements, shared by all curves
    std::vector<OpCurves> pitches;    // in the order of the results
    std::vector<double> bestAlpha;    // angle of attack of max. Cl/Cd (first pitch angle), degrees
};

// Chord c/R, twist β = local pitch - blade pitch, angles in degrees, log10 Re, loss
// factor, induction factors, Cl, Cd, and dP/dr R/|P|, dT/dr R/|T| (zero when the total
// is zero, so that a rotor standing still draws no infinities).
OpSeries opSeries(const std::vector<bemt::pitchControlledOperatingPoint>& results);

// x/R of the elements.
std::vector<double> elementPositions(const bemt::pitchControlledOperatingPoint& point);
// The blade's own twist at every element, degrees.
std::vector<double> elementTwist(const bemt::pitchControlledOperatingPoint& point);
// c/R at every element.
std::vector<double> elementChord(const bemt::pitchControlledOperatingPoint& point);
// The twist that would give every element its best angle of attack:
// twist + α - α(max. Cl/Cd), degrees.
std::vector<double> optimizedTwist(const bemt::pitchControlledOperatingPoint& point);

// ---- characteristics ----

// The largest root moment comes last: a rotor whose inflow is the same all round has no
// chart of it.
enum CharChart {
    Power,
    Thrust,
    PowerCoefficient,
    ThrustCoefficient,
    RootMoment,
    RootMomentMax,
    CharChartCount
};

struct CharChartText {
    wxString page;
    wxString base;
    wxString y1;
    bool absolute;  // power, thrust or moment: zero may be forced, a click opens the operating point
};
const std::array<CharChartText, CharChartCount>& charCharts();
// X label and the name in titles of the swept variable.
wxString sweptLabel(bemt::ComputeRangeType type);
wxString sweptName(bemt::ComputeRangeType type);
wxString windLabel();
wxString windName();

// The unit an axis of power or thrust reads best in: W, kW or MW (N, kN, MN) after the
// largest magnitude shown; values are divided by factor.
struct ScaledUnit {
    double factor = 1.0;
    wxString prefix;  // "", "k" or "M"
};
ScaledUnit scaledUnit(double largestMagnitude);

struct CharCurves {
    double pitch = 0.0;
    // Every chart's values at every step (NaN where a step lacks this pitch angle);
    // power, thrust and moments in the units of CharSeries.
    std::array<std::vector<double>, CharChartCount> y;
    Intervals unconverged, outOfRange;  // along the swept variable
};

struct CharSeries {
    std::vector<CharCurves> pitches;
    std::vector<double> swept;  // the swept variable of every step: the X of every chart
    std::vector<double> wind;   // the wind velocity of every step
    ScaledUnit powerUnit, thrustUnit, momentUnit;
    // Y labels of the charts, power, thrust and moments in their units.
    std::array<wxString, CharChartCount> y1Labels;
};

// One curve per pitch angle (the pitch angles of the first step), all drawn against the
// swept variable.
CharSeries charSeries(const std::vector<bemt::pitchControlledCharacteristicElement>& results,
                      bemt::ComputeRangeType type);

}  // namespace result_series
