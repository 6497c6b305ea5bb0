#include "app/field_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <locale>
#include <optional>
#include <sstream>

#include "bemt/NumberText.h"

namespace {

// Decimal unit prefixes from 1e-12 to 1e12.
const wxString kPrefixes[] = {"p", "n", wxString::FromUTF8("µ"), "m", "", "k", "M", "G", "T"};
constexpr int kSmallestExponent = -12;
constexpr int kLargestExponent = 12;

}  // namespace

wxString formatNumber(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(3);
    out << value;  // the default float format with precision 3 is "%.3g"
    return wxString::FromUTF8(out.str());
}

namespace {

// Locale-independent text of a finite number; no precision: the shortest exact text.
wxString charsOf(double value, std::optional<int> precision) {
    if (!std::isfinite(value)) return formatNumber(value);
    char buffer[64];
    const auto result = precision
                            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, *precision)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    return wxString::FromAscii(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

}  // namespace

wxString formatExact(double value) { return charsOf(value, std::nullopt); }

wxString formatComputed(double value) { return charsOf(value, 15); }

double scaledDecimal(double value, int exponent) {
    double scaled = 0.0;
    if (!std::isfinite(value) || !parseNumber(formatExact(value) + wxString::Format("e%d", exponent), scaled))
        return value * std::pow(10.0, exponent);
    return scaled;
}

NumberWithUnit formatNumberUnits(double value, const wxString& units, bool scaleUnits) {
    if (!scaleUnits || value == 0.0 || units.empty() || !std::isfinite(value)) return {formatNumber(value), units};
    int exponent = 3 * static_cast<int>(std::trunc(std::trunc(std::log10(std::fabs(value))) / 3.0));
    exponent = std::clamp(exponent, kSmallestExponent, kLargestExponent);
    const wxString prefix = kPrefixes[(exponent - kSmallestExponent) / 3];
    return {formatNumber(value / std::pow(10.0, exponent)), prefix + units};
}

bool parseNumber(const wxString& text, double& value) {
    const auto whole = bemt::NumberText::wholeDouble(text.utf8_string());
    if (whole.kind != bemt::NumberText::Whole::Finite) return false;
    // "-0" is zero: a file never says -0.
    value = whole.value == 0.0 ? 0.0 : whole.value;
    return true;
}

bool parseNumber(const wxString& text, int& value) {
    double number = 0.0;
    if (!parseNumber(text, number) || number != std::trunc(number) || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}
