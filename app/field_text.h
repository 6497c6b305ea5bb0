#pragma once
// How input fields and read-only displays write and read numbers: locale-independent,
// exact where a field shows a stored value, with decimal unit prefixes where a display
// scales its unit.

#include <wx/string.h>

// Number display with a decimal unit prefix, e.g. 1234567 W as "1.23" and "MW".
struct NumberWithUnit {
    wxString number;
    wxString unit;
};
NumberWithUnit formatNumberUnits(double value, const wxString& units, bool scaleUnits);

// "%.3g" independent of the locale, as read-only displays show numbers.
wxString formatNumber(double value);
// The shortest text that reads back to exactly this double ("1.225", "59.57773941520393"),
// as input fields show stored values: editing one digit changes nothing else.
wxString formatExact(double value);
// value × 10^exponent as the decimal number its shortest text shifted by exponent digits
// reads: 1.0000001 MW is 1000000.1 W, where the product gives 1000000.1000000001.
double scaledDecimal(double value, int exponent);
// A value a field computes from others (x from x/R and R, λ from ω R / V): 15
// significant digits, so that the last bit of a product does not show ("15.6", not
// "15.600000000000001").
wxString formatComputed(double value);
// A whole field's text as a finite number ("." as decimal point, white space around it
// allowed): "1,5", "12abc", "1 000", "1e400" and empty text are none. "-0" reads as 0.
bool parseNumber(const wxString& text, double& value);
// The same for a count, which must be whole and within int: "10" and "10.0" are 10, as
// on the command line; "4.5" is none.
bool parseNumber(const wxString& text, int& value);
