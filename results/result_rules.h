#pragma once
// The rules of the result windows that need no display: window and chart titles,
// legends, export file names, highlighted intervals along an axis, and the angles of
// attack the airfoil analyzer draws.

#include <wx/datetime.h>
#include <wx/string.h>

#include <utility>
#include <vector>

namespace result_rules {

// "3 | Performance and blade characteristics | 14:05:09"; without the number and its
// separator when serial is not positive.
wxString frameTitle(int serial, const wxString& title, const wxDateTime& time);

// "Airfoils data analyzer | 2 | 14:05:09".
wxString analyzerTitle(int serial, const wxDateTime& time);

// The pitch angle as a legend: "%.3g" and the degree sign.
wxString pitchLegend(double pitch);
// The heading of a pitch angle in the power and thrust table: "Pitch angle 5 °".
wxString pitchHeading(double pitch);

// Operating point charts: base + " at pitch angle 0 ° vs relative x/R" for a single
// angle, base + " vs relative x/R and pitch angle" for several.
wxString opChartTitle(const wxString& base, bool single, double pitch);

// The index of the one pitch angle shown, or -1 when none or several are.
int singleShown(const std::vector<bool>& shown);
// Characteristics charts: base + " at pitch angle 0 ° vs " + variable, or
// base + " vs " + variable + " and pitch angle".
wxString charChartTitle(const wxString& base, const wxString& variable, bool single, double pitch);
// A number with the given significant digits, in powers of ten ("1.92 × 10⁶") when it
// has more than four digits before the point or is below 0.01.
wxString powerOfTenText(double value, int significant);
// Analyzer charts: page + " at x/R = 0.5, Re = 1.23 × 10⁶".
wxString analyzerChartTitle(const wxString& page, double x, double reynolds);

// The file name proposed for an export of a chart: the title in lower case, "°" made
// "deg", exponents written short (4.1e6), every run of characters other than letters,
// digits, "." and "-" made one "_", and the extension (".png", ".csv").
wxString exportFileName(const wxString& chartTitle, const wxString& extension);

using Interval = std::pair<double, double>;

// The stretches of axis around the flagged positions: every flagged x reaches halfway
// to its neighbours (an end position as far outwards as inwards, a lone position
// loneHalfWidth each way), and touching stretches merge.
std::vector<Interval> flaggedIntervals(const std::vector<double>& x, const std::vector<bool>& flagged,
                                       double loneHalfWidth);

// The angles of attack (degrees) the analyzer draws for a polar given from alphaMin to
// alphaMax (degrees) with step s: the full circle -180 ... 180, or the data range widened
// on both sides by m = floor(0.04 (alphaMax - alphaMin) / s) s but not beyond the full
// circle; and the intervals outside the data.
struct AnalyzerAngles {
    std::vector<double> angles;
    std::vector<Interval> outOfRange;
};
AnalyzerAngles analyzerAngles(double alphaMin, double alphaMax, double step, bool fullRange);

}  // namespace result_rules
