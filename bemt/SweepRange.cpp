#include "bemt/SweepRange.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"

namespace bemt {

SweepRange::Fault SweepRange::fault() const {
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(step)) return Fault::NotANumber;
    if (max < min) return Fault::Backwards;
    if (max > min && !(step > 0.0)) return Fault::NoStep;
    return Fault::None;
}

std::optional<std::string> SweepRange::refusal(const std::string& what, bool showEnds) const {
    switch (fault()) {
        case Fault::None: return std::nullopt;
        case Fault::NotANumber: return what + " holds a value that is not a number.";
        case Fault::Backwards:
            if (!showEnds) return what + " ends before it starts.";
            return what + " ends (" + NumberText::shortText(max) + ") before it starts (" + NumberText::shortText(min)
                   + ").";
        case Fault::NoStep: return "the step of " + what + " must be greater than zero.";
    }
    return std::nullopt;
}

std::optional<std::string> SweepRange::sizeRefusal(const std::string& what, int limit) const {
    if (fault() != Fault::None) return std::nullopt;
    return countRefusal(what, positions(), limit);
}

double SweepRange::positions() const {
    if (!(max >= min)) return 0.0;
    if (max == min) return 1.0;
    if (!(step > 0.0)) throw bemt::Error("The step of a range must be greater than zero.");
    // The tolerance lets 0.3/0.1 = 2.9999999999999996 count as 3 steps.
    constexpr double kRounding = 1e-9;
    return std::floor((max - min) / step + kRounding) + 1.0;
}

int SweepRange::count() const {
    const double n = positions();
    if (!(n <= static_cast<double>(std::numeric_limits<int>::max()))) {
        char text[160];
        std::snprintf(text, sizeof text, "The range from %g to %g by %g has too many positions (%.15g).", min, max,
                      step, n);
        throw bemt::Error(text);
    }
    return static_cast<int>(n);
}

std::optional<int> SweepRange::countIfRange() const {
    if (fault() != Fault::None) return std::nullopt;
    const double n = positions();
    if (!(n <= static_cast<double>(std::numeric_limits<int>::max()))) return std::nullopt;
    return static_cast<int>(n);
}

double SweepRange::value(int k) const { return min + k * step; }

std::vector<double> SweepRange::values() const {
    const int n = count();
    std::vector<double> v;
    v.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) v.push_back(value(k));
    return v;
}

std::optional<double> SweepRange::stepFor(double min, double max, double positions) {
    if (!(positions >= 2.0) || !std::isfinite(min) || !std::isfinite(max)) return std::nullopt;
    return (max - min) / (positions - 1.0);
}

}  // namespace bemt
