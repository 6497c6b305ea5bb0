#pragma once
// One interpolation class for the whole program: piecewise linear, natural/clamped
// cubic (C2) and cubic Hermite (C1, finite-difference slopes) interpolants through
// strictly increasing knots. Piece i is f(t) = y[i] + b[i] h + c[i] h^2 + d[i] h^3 with
// h = t - x[i]. Left of the first knot the spline continues as (c0 h + b[0]) h + y[0],
// right of the last as (c[n-1] h + b[n-1]) h + y[n-1]: at most a quadratic.
//
// Failures throw std::string with a user-facing message. Evaluation never fails,
// allocates nothing and needs no search: an index of equal-width buckets over the knots
// leads to the piece in a step or two.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bemt {

class spline {
public:
    enum spline_type { linear = 10, cubic = 30, cubic_hermite = 31 };
    enum bd_type { first_derivative = 1, second_derivative = 2, not_a_knot = 3 };

    static inline const std::string kSizeMismatch = "Sizes of x and y value arrays must match.";
    static inline const std::string kTooFewPoints = "Increase the number of points to create a spline.";
    static inline const std::string kNotOrdered =
        "X values must be ordered from the lowest to the highest to create a spline.";

    spline() = default;
    spline(const std::vector<double>& x, const std::vector<double>& y, spline_type type = cubic,
           bool make_monotonic = false, bd_type left = second_derivative, double left_value = 0.0,
           bd_type right = second_derivative, double right_value = 0.0);

    // Replaces the points and recomputes the coefficients; boundary settings stay.
    void set_points(const std::vector<double>& x, const std::vector<double>& y, spline_type type = cubic);

    // Given b at every knot, computes c and d so each piece matches y and b at both ends.
    void set_coeffs_from_b();

    double operator()(double t) const;

    // The two steps of an evaluation, for callers that evaluate several splines on the
    // same knots at the same t with one search: the piece index of t, and the value of
    // that piece (or of the extrapolation) at t.
    std::size_t piece(double t) const;
    double evaluate(double t, std::size_t piece) const;
    // The same piece as piece(t), found without a search when t lies in the piece hint
    // or in one of its neighbours (as for the nearby angles of an iteration).
    std::size_t piece(double t, std::size_t hint) const;

    spline_type type() const { return m_type; }
    const std::vector<double>& xValues() const { return m_x; }
    const std::vector<double>& yValues() const { return m_y; }
    bool madeMonotonic() const { return m_made_monotonic; }

private:
    // Index of equal-width buckets over the knots: the piece at each bucket's left edge,
    // where the search for t starts.
    void indexPieces();

    void computeLinear();
    void computeCubic();
    void computeHermite();

    std::vector<double> m_x, m_y;
    std::vector<double> m_b, m_c, m_d;
    std::vector<std::uint32_t> m_bucketPiece;
    double m_bucketsPerUnit = 0.0;
    double m_lastBucket = 0.0;  // index of the last bucket
    double m_c0 = 0.0;
    spline_type m_type = cubic;
    bd_type m_left = second_derivative;
    bd_type m_right = second_derivative;
    double m_left_value = 0.0;
    double m_right_value = 0.0;
    bool m_made_monotonic = false;
};

// Inline: the polars evaluate their splines several times per element solve.
inline std::size_t spline::piece(double t) const {
    // The last knot i with x[i] <= t; 0 left of the knots, the last knot right of them
    // and for NaN.
    const std::size_t n = m_x.size();
    if (n == 0) return 0;
    if (!(t < m_x[n - 1])) return n - 1;
    if (t < m_x[0]) return 0;
    // Below the bucket count, also for NaN; the last bucket takes what rounds beyond.
    const double scaled = (t - m_x[0]) * m_bucketsPerUnit;
    const double position = scaled < m_lastBucket ? scaled : m_lastBucket;
    std::size_t i = m_bucketPiece[static_cast<std::size_t>(position)];
    // The bucket's edge may round to either side of t.
    while (i > 0 && m_x[i] > t) --i;
    while (m_x[i + 1] <= t) ++i;
    return i;
}

inline std::size_t spline::piece(double t, std::size_t hint) const {
    const std::size_t n = m_x.size();
    if (hint + 1 < n && m_x[hint] <= t) {
        if (t < m_x[hint + 1]) return hint;
        if (hint + 2 < n && t < m_x[hint + 2]) return hint + 1;
    } else if (hint > 0 && hint < n && m_x[hint - 1] <= t && t < m_x[hint]) {
        return hint - 1;
    }
    return piece(t);
}

inline double spline::evaluate(double t, std::size_t i) const {
    const std::size_t n = m_x.size();
    if (t < m_x[0]) {
        const double h = t - m_x[0];
        return (m_c0 * h + m_b[0]) * h + m_y[0];
    }
    if (t > m_x[n - 1]) {
        const double h = t - m_x[n - 1];
        return (m_c[n - 1] * h + m_b[n - 1]) * h + m_y[n - 1];
    }
    const double h = t - m_x[i];
    return ((m_d[i] * h + m_c[i]) * h + m_b[i]) * h + m_y[i];
}

}  // namespace bemt
