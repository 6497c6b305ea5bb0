#include "bemt/ValueLimits.h"

#include <cstdio>

namespace bemt {

namespace {

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

}  // namespace

bool ValueLimit::contains(double value) const {
    const bool aboveLowest = lowestIncluded ? value >= lowest : value > lowest;
    const bool belowHighest = highestIncluded ? value <= highest : value < highest;
    return aboveLowest && belowHighest;
}

std::string ValueLimit::rangeText() const {
    if (highest == kUnbounded) return (lowestIncluded ? "at least " : "above ") + numberText(lowest);
    if (lowestIncluded && highestIncluded) return numberText(lowest) + " to " + numberText(highest);
    return std::string(lowestIncluded ? "at least " : "greater than ") + numberText(lowest) +
           (highestIncluded ? " and at most " : " and less than ") + numberText(highest);
}

std::string ValueLimit::refusal(double value) const {
    if (highest == kUnbounded) return std::string(name) + " " + numberText(value) + " must be " + rangeText() + ".";
    return std::string(name) + " " + numberText(value) + " lies outside its range, " + rangeText() + ".";
}

std::optional<std::string> ValueLimit::check(double value) const {
    if (contains(value)) return std::nullopt;
    return refusal(value);
}

std::optional<std::string> countRefusal(const std::string& what, double count, int limit) {
    if (count <= limit) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", count);
    return what + " asks for " + text + " positions, more than " + std::to_string(limit) + ".";
}

}  // namespace bemt
