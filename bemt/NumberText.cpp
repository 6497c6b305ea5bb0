#include "bemt/NumberText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace bemt::NumberText {

std::optional<Parsed> leadingDouble(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    std::size_t start = pos;
    // from_chars refuses a leading '+' that strtod accepts; a sign after it is not a number.
    if (pos < text.size() && text[pos] == '+') {
        ++start;
        if (start < text.size() && (text[start] == '+' || text[start] == '-')) return std::nullopt;
    }
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc()) return std::nullopt;
    return Parsed{value, static_cast<std::size_t>(end - text.data())};
}

std::optional<double> toDouble(std::string_view text) {
    const auto parsed = leadingDouble(text);
    if (!parsed) return std::nullopt;
    return parsed->value;
}

Whole wholeDouble(std::string_view text) {
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    std::size_t start = pos;
    if (pos < text.size() && text[pos] == '+') {
        ++start;
        if (start < text.size() && (text[start] == '+' || text[start] == '-')) return {Whole::NotANumber, 0.0};
    }
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last || error == std::errc::invalid_argument) return {Whole::NotANumber, 0.0};
    if (error == std::errc::result_out_of_range || !std::isfinite(value)) return {Whole::NotFinite, value};
    return {Whole::Finite, value};
}

std::optional<std::vector<double>> wholeDoubles(std::string_view text, char separator) {
    std::vector<double> values;
    for (;;) {
        const std::size_t end = text.find(separator);
        const Whole field = wholeDouble(text.substr(0, end));
        if (field.kind != Whole::Finite) return std::nullopt;
        values.push_back(field.value);
        if (end == std::string_view::npos) return values;
        text.remove_prefix(end + 1);
    }
}

std::string shortText(double value) { return formatted("%g", value); }

std::string formatted(const char* pattern, double value) {
    // A NaN's sign bit means nothing: it is written "nan" whatever computed it.
    if (std::isnan(value)) value = std::fabs(value);
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace bemt::NumberText
