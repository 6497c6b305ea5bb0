#pragma once
// The closed range min, min + step, ..., up to max: how every sweep, every count field
// and every range option turns three numbers into values, and the one place that says
// when three numbers make no range and how many positions are too many.

#include <optional>
#include <string>
#include <vector>

namespace bemt {

struct SweepRange {
    double min = 0.0;
    double max = 0.0;
    double step = 1.0;

    // What keeps the three numbers from being a range: a value that is not a finite
    // number, max below min, or a step that is not positive while max lies above min (a
    // range of one position needs no step).
    enum class Fault { None, NotANumber, Backwards, NoStep };
    Fault fault() const;
    // The sentence that refuses the fault, naming the range as what ("the pitch range
    // ends before it starts."); empty when there is none. showEnds puts max and min into
    // the refusal of a range that runs backwards, for readers who do not see them (the
    // settings of a project file).
    std::optional<std::string> refusal(const std::string& what, bool showEnds = false) const;
    // "the pitch range asks for 9001 positions, more than 1001." when the range has more
    // positions than limit; empty otherwise, and for a range with a fault (refusal says
    // what is wrong with it).
    std::optional<std::string> sizeRefusal(const std::string& what, int limit) const;

    // Number of positions: the whole part of (max - min)/step, with a small tolerance
    // for rounding, plus one; none when max < min. Each value is min + k*step, never a
    // running sum, so the last position is not lost to rounding.
    // Throws bemt::Error when the step is not positive over a non-empty range, and when
    // the number does not fit an int (see positions() to check a limit first).
    int count() const;
    // The same number as a real number, which does not overflow (infinite when the
    // range is infinitely long).
    double positions() const;
    // count() for three numbers that make a range (no fault) and whose count fits an
    // int; empty for any others.
    std::optional<int> countIfRange() const;
    double value(int k) const;
    // value(0) to value(count() - 1); throws as count() does.
    std::vector<double> values() const;

    // The step that spreads positions values from min to max, (max - min)/(positions - 1);
    // empty for fewer than two positions or ends that are not finite.
    static std::optional<double> stepFor(double min, double max, double positions);
};

}  // namespace bemt
