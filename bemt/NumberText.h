#pragma once
// Locale-independent reading of numbers from text, so that a user-interface locale
// with a decimal comma never changes how data files are read.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bemt::NumberText {

// Like std::strtod in the "C" locale: skips leading white space, accepts a leading '+',
// takes the longest valid number prefix (exponent, inf and nan spellings included) and
// reports how many characters were used. Empty when no number starts the text or the
// number is out of the range of double.
struct Parsed {
    double value;
    std::size_t used;
};
std::optional<Parsed> leadingDouble(std::string_view text);

// The value of the leading number alone.
std::optional<double> toDouble(std::string_view text);

// A field that must hold one number and nothing else: white space around it is
// allowed, trailing text is not ("4.5xyz" and "0,8911" are no numbers). A number too
// large for a double, an infinity or NaN is recognised as such, so that a reader can
// say why it refuses it.
struct Whole {
    enum Kind { Finite, NotFinite, NotANumber } kind;
    double value;
};
Whole wholeDouble(std::string_view text);

// Fields separated by separator ("0:10:2.5"), each one finite number as wholeDouble
// reads it; empty when any field is not ("0:10:5abc", "0::5"). The caller checks the
// count, so that "0:10:5:5" is never taken for its first three fields.
std::optional<std::vector<double>> wholeDoubles(std::string_view text, char separator);

// A number for a message: printf's %g (six significant digits, no trailing zeros).
std::string shortText(double value);

// A number for a file or a table, as the printf pattern for one double puts it
// ("%22.15g"); at most 63 characters. NaN is written without a sign, "nan".
std::string formatted(const char* pattern, double value);

}  // namespace bemt::NumberText
