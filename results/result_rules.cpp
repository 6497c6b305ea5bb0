#include "results/result_rules.h"

#include <wx/wxcrt.h>

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

#include "bemt/SweepRange.h"
#include "results/plot_axis.h"

namespace result_rules {

namespace {

const wxString kDegree = wxString::FromUTF8("°");

// Counts with a small tolerance, so that 30 / 0.1 = 299.99999999999997 counts as 300.
constexpr double kRounding = 1e-9;

// "%.<precision>g" whatever the locale of the user.
wxString formatG(double value, int precision) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(precision);
    out << value;
    return wxString::FromUTF8(out.str());
}

wxString format3g(double value) { return formatG(value, 3); }

}  // namespace

wxString frameTitle(int serial, const wxString& title, const wxDateTime& time) {
    wxString text;
    if (serial > 0) text << serial << " | ";
    text << title << " | " << time.Format("%T");
    return text;
}

wxString analyzerTitle(int serial, const wxDateTime& time) {
    return wxString("Airfoils data analyzer | ") << serial << " | " << time.Format("%T");
}

wxString pitchLegend(double pitch) { return format3g(pitch) + " " + kDegree; }

wxString pitchHeading(double pitch) { return "Pitch angle " + formatG(pitch, 2) + " " + kDegree; }

int singleShown(const std::vector<bool>& shown) {
    int found = -1;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!shown[i]) continue;
        if (found >= 0) return -1;
        found = static_cast<int>(i);
    }
    return found;
}

wxString opChartTitle(const wxString& base, bool single, double pitch) {
    if (single) return base + " at pitch angle " + format3g(pitch) + " " + kDegree + " vs relative x/R";
    return base + " vs relative x/R and pitch angle";
}

wxString charChartTitle(const wxString& base, const wxString& variable, bool single, double pitch) {
    if (single) return base + " at pitch angle " + format3g(pitch) + " " + kDegree + " vs " + variable;
    return base + " vs " + variable + " and pitch angle";
}

wxString powerOfTenText(double value, int significant) {
    if (!std::isfinite(value) || value == 0.0) return formatG(value, significant);
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    if (exponent >= -2 && exponent < 4) return formatG(value, std::max(significant, exponent + 1));
    return formatG(value / std::pow(10.0, exponent), significant) + wxString::FromUTF8(" × " + powerOfTen(exponent));
}

wxString analyzerChartTitle(const wxString& page, double x, double reynolds) {
    return page + " at x/R = " + format3g(x) + ", Re = " + powerOfTenText(reynolds, 3);
}

namespace {

// "1.15 × 10⁷" as a name writes it: "1.15e7" (the exponent in plain digits).
wxString plainPowersOfTen(const wxString& text) {
    static const wxString superscripts = wxString::FromUTF8("⁰¹²³⁴⁵⁶⁷⁸⁹");
    static const wxString times = wxString::FromUTF8(" × 10");
    wxString plain = text;
    for (int i = plain.Find(times); i != wxNOT_FOUND; i = plain.Find(times)) {
        wxString exponent;
        std::size_t end = static_cast<std::size_t>(i) + times.length();
        for (; end < plain.length(); ++end) {
            const int digit = superscripts.Find(plain[end]);
            if (digit != wxNOT_FOUND)
                exponent << digit;
            else if (plain[end] == wxUniChar(0x207B))  // superscript minus
                exponent << '-';
            else
                break;
        }
        plain = plain.Left(static_cast<std::size_t>(i)) + (exponent.empty() ? wxString("_10") : "e" + exponent) +
                plain.Mid(end);
    }
    return plain;
}

}  // namespace

wxString exportFileName(const wxString& chartTitle, const wxString& extension) {
    wxString title = plainPowersOfTen(chartTitle).Lower();
    title.Replace(kDegree, "deg");
    // Exponents as a person writes them in a name: 4.1e+06 as 4.1e6, 2e-05 as 2e-5.
    for (const char* sign : {"e+", "e-"}) {
        for (int i = title.Find(sign); i != wxNOT_FOUND; i = title.find(sign, static_cast<std::size_t>(i) + 1)) {
            const auto at = static_cast<std::size_t>(i);
            if (at == 0 || !wxIsdigit(title[at - 1]) || at + 2 >= title.length() || !wxIsdigit(title[at + 2])) continue;
            std::size_t digits = at + 2;
            while (digits + 1 < title.length() && title[digits] == '0' && wxIsdigit(title[digits + 1])) ++digits;
            title.erase(at + 2, digits - (at + 2));
            if (sign[1] == '+') title.erase(at + 1, 1);
        }
    }
    // Letters, digits, points and minus signs; every other run of characters becomes one "_".
    wxString name;
    for (const wxUniChar c : title) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (plain)
            name += c;
        else if (!name.empty() && !name.EndsWith("_"))
            name += '_';
    }
    while (name.EndsWith("_")) name.RemoveLast();
    return name + extension;
}

std::vector<Interval> flaggedIntervals(const std::vector<double>& x, const std::vector<bool>& flagged,
                                       double loneHalfWidth) {
    std::vector<Interval> intervals;
    const std::size_t n = std::min(x.size(), flagged.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (!flagged[i]) continue;
        // A position reaches halfway to each neighbour; an end position as far outwards
        // as inwards. Positions may fall (wind velocities of a tip speed ratio sweep).
        double toPrevious = 0.0, toNext = 0.0;
        if (i > 0) toPrevious = (x[i - 1] - x[i]) / 2.0;
        if (i + 1 < n) toNext = (x[i + 1] - x[i]) / 2.0;
        if (n == 1) {
            toPrevious = -loneHalfWidth;
            toNext = loneHalfWidth;
        } else if (i == 0) {
            toPrevious = -toNext;
        } else if (i + 1 == n) {
            toNext = -toPrevious;
        }
        const double lo = x[i] + std::min(toPrevious, toNext);
        const double hi = x[i] + std::max(toPrevious, toNext);
        if (!intervals.empty() && lo <= intervals.back().second + 1e-12 && hi >= intervals.back().first - 1e-12) {
            intervals.back().first = std::min(intervals.back().first, lo);
            intervals.back().second = std::max(intervals.back().second, hi);
        } else {
            intervals.emplace_back(lo, hi);
        }
    }
    return intervals;
}

AnalyzerAngles analyzerAngles(double alphaMin, double alphaMax, double step, bool fullRange) {
    AnalyzerAngles result;
    // The step serves the full circle too, also for a polar of one angle.
    if (!(step > 0.0) || bemt::SweepRange{alphaMin, alphaMax, step}.fault() != bemt::SweepRange::Fault::None)
        return result;
    bemt::SweepRange range{-180.0, 180.0, step};
    if (!fullRange) {
        const double margin = std::floor(0.04 * (alphaMax - alphaMin) / step + kRounding) * step;
        range = {alphaMin - margin, alphaMax + margin, step};
    }
    // Angles repeat after a full turn: the widened range ends where the full circle does.
    for (const double angle : range.values()) {
        if (angle >= -180.0 - kRounding && angle <= 180.0 + kRounding) result.angles.push_back(angle);
    }
    if (result.angles.empty()) return result;
    const double first = result.angles.front();
    const double last = result.angles.back();
    if (first < alphaMin) result.outOfRange.emplace_back(first, std::min(alphaMin, last));
    if (last > alphaMax) result.outOfRange.emplace_back(std::max(alphaMax, first), last);
    return result;
}

}  // namespace result_rules
