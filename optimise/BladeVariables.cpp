#include "optimise/BladeVariables.h"

#include <algorithm>
#include <cmath>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/spline.h"

namespace korvane::optimise {

using namespace bemt;

BladeVariables::Value BladeVariables::variable(double start, double lo, double hi, bool varied) {
    Value value;
    if (!varied) {
        value.fixed = start;
        return value;
    }
    value.index = static_cast<int>(m_start.size());
    value.lo = lo;
    value.span = hi - lo;
    // A start outside the bounds starts on the nearest bound.
    m_start.push_back(std::clamp((start - lo) / value.span, 0.0, 1.0));
    return value;
}

BladeVariables::BladeVariables(const std::vector<ChordPoint>& chord, const std::vector<TwistPoint>& twist, double R,
                               double tsr, const OptimisationSettings& s) {
    if (chord.size() < 2 || twist.size() < 2)
        throw bemt::Error("The blade optimisation needs at least two chord points and two twist points.");
    const auto [chordX, chordY] = Common::splitChordPoints(chord);
    const auto [twistX, twistY] = Common::splitTwistPoints(twist);
    const spline chordSpline(chordX, chordY, spline::linear);
    const spline twistSpline(twistX, twistY, spline::cubic);

    const int n = s.control_points;
    const double first = chord.front().x_rel;
    const double last = chord.back().x_rel;
    const double chordHi = std::isnan(s.max_chord) ? s.chord_max : std::min(s.chord_max, s.max_chord / R);
    m_x.resize(n);
    m_chord.reserve(n);
    m_twist.reserve(n);
    m_start.reserve(2 * n + 1);
    for (int i = 0; i < n; ++i) {
        m_x[i] = i + 1 == n ? last : first + (last - first) * i / (n - 1);
        const bool root = i == 0 && !s.free_root_chord;
        const double c = i == 0 ? chord.front().c_rel : chordSpline(m_x[i]);
        if (root && c > chordHi * (1.0 + 1e-12)) {
            throw bemt::Error("The root chord " + NumberText::shortText(c * R) +
                              " m lies above the largest chord allowed, " + NumberText::shortText(chordHi * R) +
                              " m: raise the limit or free the root chord.");
        }
        m_chord.push_back(variable(c, s.chord_min, chordHi, s.vary_chord && !root));
    }
    for (int i = 0; i < n; ++i) m_twist.push_back(variable(twistSpline(m_x[i]), s.twist_min, s.twist_max, s.vary_twist));
    m_tsr = variable(tsr, kTsrMin, kTsrMax, s.vary_tsr);

    // The chord may grow from the root to its largest start point, and shrinks from there.
    if (s.monotonic_chord && s.vary_chord) {
        std::size_t largest = 0;
        for (std::size_t i = 1; i < m_chord.size(); ++i) {
            if (m_chord[i].at(m_start.data()) > m_chord[largest].at(m_start.data())) largest = i;
        }
        for (std::size_t i = largest; i + 1 < m_chord.size(); ++i) m_pairs.push_back({&m_chord[i], &m_chord[i + 1]});
    }
    m_chordPairs = static_cast<int>(m_pairs.size());
    if (s.monotonic_twist && s.vary_twist) {
        for (std::size_t i = 0; i + 1 < m_twist.size(); ++i) m_pairs.push_back({&m_twist[i], &m_twist[i + 1]});
    }
}

void BladeVariables::apply(const double* x, std::vector<ChordPoint>& chord, std::vector<TwistPoint>& twist,
                           double& tsr) const {
    chord.resize(m_x.size());
    twist.resize(m_x.size());
    for (std::size_t i = 0; i < m_x.size(); ++i) {
        chord[i] = {m_x[i], m_chord[i].at(x)};
        twist[i] = {m_x[i], m_twist[i].at(x)};
    }
    tsr = m_tsr.at(x);
}

void BladeVariables::linearValues(const double* x, double* values, double* gradient) const {
    const int n = count();
    for (std::size_t k = 0; k < m_pairs.size(); ++k) {
        const Value& earlier = *m_pairs[k].earlier;
        const Value& later = *m_pairs[k].later;
        // Both points of a pair belong to one quantity and share its bounds: the limit is
        // scaled by their span, so that its unit is the variables'.
        const double span = later.index >= 0 ? later.span : earlier.span;
        values[k] = (later.at(x) - earlier.at(x)) / span;
        if (!gradient) continue;
        double* row = gradient + k * n;
        std::fill(row, row + n, 0.0);
        if (later.index >= 0) row[later.index] += later.span / span;
        if (earlier.index >= 0) row[earlier.index] -= earlier.span / span;
    }
}

}  // namespace korvane::optimise
