#include "bemt/ProfileParamsList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ViternaExtension.h"

namespace bemt {

namespace {

double foldAngle(double alpha) {
    constexpr double pi = std::numbers::pi;
    if (alpha > pi) alpha -= 2.0 * pi;
    if (alpha < -pi) alpha += 2.0 * pi;
    return alpha;
}

// The built-in airfoil closest in relative thickness; the table thresholds lie halfway
// between the built-in thicknesses, in percent of chord.
NACAairfoil extensionAirfoil(double thickness) {
    const double percent = thickness * 100.0;
    if (percent < 13.5) return NACA_0012;
    if (percent < 16.5) return NACA_0015;
    if (percent < 19.5) return NACA_0018;
    if (percent < 23.0) return NACA_0021;
    return NACA_0025;
}

// The tabulated data join the NACA data across a gap of at least 20 degrees below and
// about 15 degrees above, which the Hermite spline bridges smoothly.
constexpr double kLeadingGapDeg = 20.0;
constexpr double kTrailingGapDeg = 15.0;

}  // namespace

ProfileParamsList::ProfileParamsList() {
    reynoldsRange = false;
    currentReynolds = 1000000.0;
    reynoldsLo = 1000000.0;
    reynoldsHi = 1000000.0;
}

double ProfileParamsList::cl(double alpha) {
    if (!m_splinesReady) setSplines();
    return m_clSpline(Common::rad2deg(foldAngle(alpha)));
}

double ProfileParamsList::cd(double alpha) {
    if (!m_splinesReady) setSplines();
    return m_cdSpline(Common::rad2deg(foldAngle(alpha)));
}

LiftDrag ProfileParamsList::coefficients(double alpha) {
    if (!m_splinesReady) setSplines();
    const double deg = Common::rad2deg(foldAngle(alpha));
    // Both splines are built on the same angles: one search serves both.
    m_piece = m_clSpline.piece(deg, m_piece);
    return {m_clSpline.evaluate(deg, m_piece), m_cdSpline.evaluate(deg, m_piece)};
}

double ProfileParamsList::alphaMin() { return Common::deg2rad(m_lowestDeg); }
double ProfileParamsList::alphaMax() { return Common::deg2rad(m_highestDeg); }

bool ProfileParamsList::outOfRange(double alpha) {
    const double deg = Common::rad2deg(alpha);
    return deg < m_lowestDeg || deg > m_highestDeg;
}

void ProfileParamsList::setReynolds(double re) {
    currentReynolds = re;
    setSplines();
}

std::shared_ptr<ProfileParams> ProfileParamsList::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsList>(*this);
}

void ProfileParamsList::appendTabulatedAngles(std::vector<double>& degrees) {
    degrees.insert(degrees.end(), m_alpha.begin(), m_alpha.end());
}

void ProfileParamsList::emptyData() {
    m_alpha.clear();
    m_cl.clear();
    m_cd.clear();
}

void ProfileParamsList::setSplines() {
    // Without tabulated points the result would be NACA data passed off as this airfoil.
    if (m_alpha.empty()) throw bemt::Error(spline::kTooFewPoints);
    if (!(std::isfinite(m_lowestDeg) && std::isfinite(m_highestDeg))) throw bemt::Error(kNotFiniteAngles);

    Samples a, cl, cd;
    const std::size_t capacity = m_alpha.size() + 362;
    a.reserve(capacity);
    cl.reserve(capacity);
    cd.reserve(capacity);
    const bool viterna = m_extension == PolarExtension::Viterna;
    if (viterna) {
        appendViternaExtension(a, cl, cd, true);
    } else {
        appendNacaExtension(a, cl, cd, true);
    }
    a.insert(a.end(), m_alpha.begin(), m_alpha.end());
    cl.insert(cl.end(), m_cl.begin(), m_cl.end());
    cd.insert(cd.end(), m_cd.begin(), m_cd.end());
    if (viterna) {
        appendViternaExtension(a, cl, cd, false);
    } else {
        appendNacaExtension(a, cl, cd, false);
    }

    m_clSpline = spline(a, cl, spline::cubic_hermite);
    m_cdSpline = spline(a, cd, spline::cubic_hermite);
    m_splinesReady = true;
}

void ProfileParamsList::appendNacaExtension(Samples& a, Samples& cl, Samples& cd, bool leading) const {
    ProfileParamsNACA naca(extensionAirfoil(m_thickness));
    naca.setReynolds(currentReynolds);
    auto append = [&](double deg) {
        a.push_back(deg);
        cl.push_back(naca.cl(Common::deg2rad(deg)));
        cd.push_back(naca.cd(Common::deg2rad(deg)));
    };
    // Whole degrees counted by an integer within the circle, so that no angle however
    // far out makes the loops run long.
    if (leading) {
        const double leadingEnd = std::min(m_lowestDeg - kLeadingGapDeg, 180.0);
        for (int deg = -180; deg <= leadingEnd; ++deg) append(deg);
        return;
    }
    const double trailingStart = std::clamp(std::trunc(m_highestDeg + kTrailingGapDeg), -180.0, 181.0);
    for (int deg = static_cast<int>(trailingStart); deg <= 180; ++deg) append(deg);
}

void ProfileParamsList::appendViternaExtension(Samples& a, Samples& cl, Samples& cd, bool leading) const {
    // The formulas are sampled at every whole degree beyond the table and meet it at its
    // end point, so the spline is continuous at the stall angle.
    const double cd180 = *std::min_element(m_cd.begin(), m_cd.end());
    auto problem = [this] {
        char range[96];
        std::snprintf(range, sizeof range, " (the table spans %g to %g degrees).", m_lowestDeg, m_highestDeg);
        return "The polar cannot be extended: " + ViternaExtension::kRangeProblem + range;
    };
    if (leading) {
        if (m_lowestDeg <= -180.0) return;
        if (!ViternaExtension::canMatch(-m_lowestDeg)) throw bemt::Error(problem());
        const auto lower = ViternaExtension::lowerSide({m_lowestDeg, m_cl.front(), m_cd.front()}, m_cdMax, cd180);
        const double leadingEnd = std::min(m_lowestDeg - 0.5, 180.0);
        for (int deg = -180; deg < leadingEnd; ++deg) {
            a.push_back(deg);
            cl.push_back(-lower.cl(-deg));
            cd.push_back(lower.cd(-deg));
        }
        return;
    }
    if (m_highestDeg >= 180.0) return;
    if (!ViternaExtension::canMatch(m_highestDeg)) throw bemt::Error(problem());
    const ViternaExtension upper({m_highestDeg, m_cl.back(), m_cd.back()}, m_cdMax, cd180);
    const double trailingStart = std::clamp(std::ceil(m_highestDeg + 0.5), -180.0, 181.0);
    for (int deg = static_cast<int>(trailingStart); deg <= 180; ++deg) {
        a.push_back(deg);
        cl.push_back(upper.cl(deg));
        cd.push_back(upper.cd(deg));
    }
}

void ProfileParamsList::setExtension(PolarExtension kind, double cdMax) {
    m_extension = kind;
    m_cdMax = cdMax;
    m_splinesReady = false;
}

void ProfileParamsList::setTable(std::vector<double> alphaDeg, std::vector<double> clValues,
                                 std::vector<double> cdValues) {
    m_alpha = std::move(alphaDeg);
    m_cl = std::move(clValues);
    m_cd = std::move(cdValues);
    setBoundsFromList();
    m_splinesReady = false;
}

void ProfileParamsList::appendPoint(double alphaDeg, double clValue, double cdValue) {
    m_alpha.push_back(alphaDeg);
    m_cl.push_back(clValue);
    m_cd.push_back(cdValue);
}

void ProfileParamsList::setBoundsFromList() {
    if (m_alpha.empty()) return;
    m_lowestDeg = m_alpha.front();
    m_highestDeg = m_alpha.back();
}

}  // namespace bemt
