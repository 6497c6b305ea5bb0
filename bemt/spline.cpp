#include "bemt/spline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "bemt/Error.h"

namespace bemt {

namespace {

// Square banded matrix solved by LU decomposition without pivoting. The upper storage
// holds the diagonal and the upper bands, the lower storage a saved diagonal (the
// reciprocals used by the decomposition) and the lower bands.
class band_matrix {
public:
    band_matrix(int dim, int nUpper, int nLower)
        : m_upper(nUpper + 1, std::vector<double>(dim)), m_lower(nLower + 1, std::vector<double>(dim)) {}

    int dim() const { return static_cast<int>(m_upper[0].size()); }
    int numUpper() const { return static_cast<int>(m_upper.size()) - 1; }
    int numLower() const { return static_cast<int>(m_lower.size()) - 1; }

    double& operator()(int i, int j) {
        const int k = j - i;
        return k >= 0 ? m_upper[k][i] : m_lower[-k][i];
    }
    double operator()(int i, int j) const {
        const int k = j - i;
        return k >= 0 ? m_upper[k][i] : m_lower[-k][i];
    }

    std::vector<double> lu_solve(const std::vector<double>& rhs, bool is_lu_decomposed = false) {
        if (!is_lu_decomposed) lu_decompose();
        return r_solve(l_solve(rhs));
    }

private:
    double& saved_diag(int i) { return m_lower[0][i]; }
    double saved_diag(int i) const { return m_lower[0][i]; }

    void lu_decompose() {
        const int n = dim();
        // Normalise each row by its diagonal so that the diagonal of U becomes 1.
        for (int i = 0; i < n; ++i) {
            saved_diag(i) = 1.0 / (*this)(i, i);
            const int jMin = std::max(0, i - numLower());
            const int jMax = std::min(n - 1, i + numUpper());
            for (int j = jMin; j <= jMax; ++j) (*this)(i, j) *= saved_diag(i);
            (*this)(i, i) = 1.0;
        }
        // Gaussian elimination.
        for (int k = 0; k < n; ++k) {
            const int iMax = std::min(n - 1, k + numLower());
            for (int i = k + 1; i <= iMax; ++i) {
                const double x = -(*this)(i, k) / (*this)(k, k);
                (*this)(i, k) = -x;
                const int jMax = std::min(n - 1, k + numUpper());
                for (int j = k + 1; j <= jMax; ++j) (*this)(i, j) += x * (*this)(k, j);
            }
        }
    }

    std::vector<double> l_solve(const std::vector<double>& b) const {
        const int n = dim();
        std::vector<double> x(n);
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int j = std::max(0, i - numLower()); j < i; ++j) sum += (*this)(i, j) * x[j];
            x[i] = b[i] * saved_diag(i) - sum;
        }
        return x;
    }

    std::vector<double> r_solve(const std::vector<double>& b) const {
        const int n = dim();
        std::vector<double> x(n);
        for (int i = n - 1; i >= 0; --i) {
            double sum = 0.0;
            for (int j = i + 1; j <= std::min(n - 1, i + numUpper()); ++j) sum += (*this)(i, j) * x[j];
            x[i] = (b[i] - sum) / (*this)(i, i);
        }
        return x;
    }

    std::vector<std::vector<double>> m_upper;
    std::vector<std::vector<double>> m_lower;
};

}  // namespace

spline::spline(const std::vector<double>& x, const std::vector<double>& y, spline_type type, bool make_monotonic,
               bd_type left, double left_value, bd_type right, double right_value)
    : m_left(left), m_right(right), m_left_value(left_value), m_right_value(right_value) {
    // The monotonic correction is never requested by this program.
    (void)make_monotonic;
    set_points(x, y, type);
}

void spline::set_points(const std::vector<double>& x, const std::vector<double>& y, spline_type type) {
    if (x.size() != y.size()) throw bemt::Error(kSizeMismatch);
    const std::size_t n = x.size();
    if (n < 2) throw bemt::Error(kTooFewPoints);
    const bool notAKnot = m_left == not_a_knot || m_right == not_a_knot;
    if (n == 2 && !notAKnot) type = linear;
    if (notAKnot && n <= 3) throw bemt::Error(kTooFewPoints);

    m_type = type;
    m_made_monotonic = false;
    m_x = x;
    m_y = y;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (m_x[i] >= m_x[i + 1]) throw bemt::Error(kNotOrdered);
    }

    switch (m_type) {
        case linear: computeLinear(); break;
        case cubic_hermite: computeHermite(); break;
        case cubic:
        default: computeCubic(); break;
    }
    m_c0 = (m_left == first_derivative) ? 0.0 : m_c[0];
    indexPieces();
}

void spline::indexPieces() {
    // Buckets half as wide as the shortest piece hold at most two knots each, so a search
    // takes a step or two; a polar refined near zero lift needs no more than a few
    // thousand of them, and knots closer than that are found in a few more steps.
    constexpr double kMaxBuckets = 1 << 16;
    const std::size_t n = m_x.size();
    double shortest = m_x[n - 1] - m_x[0];
    for (std::size_t i = 0; i + 1 < n; ++i) shortest = std::min(shortest, m_x[i + 1] - m_x[i]);
    const double range = m_x[n - 1] - m_x[0];
    // At least one bucket, also where the range overflows.
    const double wanted = 2.0 * range / shortest;
    const auto buckets = static_cast<std::size_t>(wanted >= 1.0 ? std::min(std::ceil(wanted), kMaxBuckets) : 1.0);
    const double width = range / static_cast<double>(buckets);
    m_bucketsPerUnit = 1.0 / width;
    m_lastBucket = static_cast<double>(buckets - 1);
    m_bucketPiece.resize(buckets);
    std::size_t i = 0;
    for (std::size_t j = 0; j < buckets; ++j) {
        const double edge = m_x[0] + static_cast<double>(j) * width;
        while (i + 1 < n && m_x[i + 1] <= edge) ++i;
        m_bucketPiece[j] = static_cast<std::uint32_t>(i);
    }
}

void spline::computeLinear() {
    const std::size_t n = m_x.size();
    m_b.assign(n, 0.0);
    m_c.assign(n, 0.0);
    m_d.assign(n, 0.0);
    for (std::size_t i = 0; i + 1 < n; ++i) m_b[i] = (m_y[i + 1] - m_y[i]) / (m_x[i + 1] - m_x[i]);
    m_b[n - 1] = m_b[n - 2];
}

void spline::computeCubic() {
    const int n = static_cast<int>(m_x.size());
    const int nUpper = (m_left == not_a_knot) ? 2 : 1;
    const int nLower = (m_right == not_a_knot) ? 2 : 1;
    band_matrix A(n, nUpper, nLower);
    std::vector<double> rhs(n);
    const auto& x = m_x;
    const auto& y = m_y;
    for (int i = 1; i < n - 1; ++i) {
        A(i, i - 1) = (x[i] - x[i - 1]) / 3.0;
        A(i, i) = 2.0 / 3.0 * (x[i + 1] - x[i - 1]);
        A(i, i + 1) = (x[i + 1] - x[i]) / 3.0;
        rhs[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    }
    switch (m_left) {
        case second_derivative:
            A(0, 0) = 2.0;
            A(0, 1) = 0.0;
            rhs[0] = m_left_value;
            break;
        case first_derivative:
            A(0, 0) = 2.0 * (x[1] - x[0]);
            A(0, 1) = 1.0 * (x[1] - x[0]);
            rhs[0] = 3.0 * ((y[1] - y[0]) / (x[1] - x[0]) - m_left_value);
            break;
        case not_a_knot:
            A(0, 0) = -(x[2] - x[1]);
            A(0, 1) = x[2] - x[0];
            A(0, 2) = -(x[1] - x[0]);
            rhs[0] = 0.0;
            break;
    }
    switch (m_right) {
        case second_derivative:
            A(n - 1, n - 1) = 2.0;
            A(n - 1, n - 2) = 0.0;
            rhs[n - 1] = m_right_value;
            break;
        case first_derivative:
            A(n - 1, n - 1) = 2.0 * (x[n - 1] - x[n - 2]);
            A(n - 1, n - 2) = 1.0 * (x[n - 1] - x[n - 2]);
            rhs[n - 1] = 3.0 * (m_right_value - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
            break;
        case not_a_knot:
            A(n - 1, n - 3) = -(x[n - 1] - x[n - 2]);
            A(n - 1, n - 2) = x[n - 1] - x[n - 3];
            A(n - 1, n - 1) = -(x[n - 2] - x[n - 3]);
            rhs[n - 1] = 0.0;
            break;
    }
    m_c = A.lu_solve(rhs);
    m_b.assign(n, 0.0);
    m_d.assign(n, 0.0);
    for (int i = 0; i < n - 1; ++i) {
        const double h = x[i + 1] - x[i];
        m_d[i] = 1.0 / 3.0 * (m_c[i + 1] - m_c[i]) / h;
        m_b[i] = (y[i + 1] - y[i]) / h - 1.0 / 3.0 * (2.0 * m_c[i] + m_c[i + 1]) * h;
    }
    const double h = x[n - 1] - x[n - 2];
    m_d[n - 1] = 0.0;
    m_b[n - 1] = 3.0 * m_d[n - 2] * h * h + 2.0 * m_c[n - 2] * h + m_b[n - 2];
    if (m_right == first_derivative) m_c[n - 1] = 0.0;
}

void spline::computeHermite() {
    const int n = static_cast<int>(m_x.size());
    const auto& x = m_x;
    const auto& y = m_y;
    m_b.assign(n, 0.0);
    m_c.assign(n, 0.0);
    m_d.assign(n, 0.0);
    for (int i = 1; i < n - 1; ++i) {
        const double h = x[i + 1] - x[i];
        const double hl = x[i] - x[i - 1];
        m_b[i] = -h / (hl * (hl + h)) * y[i - 1] + (h - hl) / (hl * h) * y[i] + hl / (h * (hl + h)) * y[i + 1];
    }
    switch (m_left) {
        case first_derivative: m_b[0] = m_left_value; break;
        case second_derivative: {
            const double h = x[1] - x[0];
            m_b[0] = 0.5 * (-m_b[1] - 0.5 * m_left_value * h + 3.0 * (y[1] - y[0]) / h);
            break;
        }
        case not_a_knot: {
            const double h0 = x[1] - x[0];
            const double h1 = x[2] - x[1];
            m_b[0] = -m_b[1] + 2.0 * (y[1] - y[0]) / h0
                     + h0 * h0 / (h1 * h1) * (m_b[1] + m_b[2] - 2.0 * (y[2] - y[1]) / h1);
            break;
        }
    }
    switch (m_right) {
        case first_derivative:
            m_b[n - 1] = m_right_value;
            m_c[n - 1] = 0.0;
            break;
        case second_derivative: {
            const double h = x[n - 1] - x[n - 2];
            m_b[n - 1] = 0.5 * (-m_b[n - 2] + 0.5 * m_right_value * h + 3.0 * (y[n - 1] - y[n - 2]) / h);
            m_c[n - 1] = 0.5 * m_right_value;
            break;
        }
        case not_a_knot: {
            const double h0 = x[n - 2] - x[n - 3];
            const double h1 = x[n - 1] - x[n - 2];
            m_b[n - 1] = -m_b[n - 2] + 2.0 * (y[n - 1] - y[n - 2]) / h1
                         + h1 * h1 / (h0 * h0) * (m_b[n - 3] + m_b[n - 2] - 2.0 * (y[n - 2] - y[n - 3]) / h0);
            m_c[n - 1] = (m_b[n - 2] + 2.0 * m_b[n - 1]) / h1 - 3.0 * (y[n - 1] - y[n - 2]) / (h1 * h1);
            break;
        }
    }
    m_d[n - 1] = 0.0;
    set_coeffs_from_b();
}

void spline::set_coeffs_from_b() {
    const std::size_t n = m_b.size();
    if (m_c.size() < n) m_c.resize(n);
    if (m_d.size() < n) m_d.resize(n);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double h = m_x[i + 1] - m_x[i];
        m_c[i] = (3.0 * (m_y[i + 1] - m_y[i]) / h - (2.0 * m_b[i] + m_b[i + 1])) / h;
        m_d[i] = ((m_b[i + 1] - m_b[i]) / (3.0 * h) - 2.0 / 3.0 * m_c[i]) / h;
    }
}

double spline::operator()(double t) const { return evaluate(t, piece(t)); }

}  // namespace bemt
