#pragma once
// One interpolation class for the whole program: piecewise linear, natural/clamped
// cubic (C2) and cubic Hermite (C1, finite-difference slopes) interpolants through
// strictly increasing knots. Piece i is f(t) = y[i] + b[i] h + c[i] h^2 + d[i] h^3 with
// h = t - x[i]. Left of the first knot the spline continues as (c0 h + b[0]) h + y[0],
// right of the last as (c[n-1] h + b[n-1]) h + y[n-1]: at most a quadratic.
//
// Failures throw std::string with a user-facing message. Evaluation never fails,
// allocates nothing and costs one binary search.

#include <cstddef>
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
    void computeLinear();
    void computeCubic();
    void computeHermite();

    std::vector<double> m_x, m_y;
    std::vector<double> m_b, m_c, m_d;
    double m_c0 = 0.0;
    spline_type m_type = cubic;
    bd_type m_left = second_derivative;
    bd_type m_right = second_derivative;
    double m_left_value = 0.0;
    double m_right_value = 0.0;
    bool m_made_monotonic = false;
};

}  // namespace bemt
