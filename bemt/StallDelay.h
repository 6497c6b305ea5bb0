#pragma once
// Rotational stall delay: the correction of a blade element's two-dimensional polar for
// the outward pumping of the boundary layer on a rotating blade, which delays stall near
// the root. For an element at radius r with chord c on a rotor of radius R run at the
// design tip speed ratio λ (Λ = λ / √(1 + λ²)), on the element's polar as the
// computations see it (blended between airfoils, at its Reynolds number):
//
//   lift line   cl_lin = m (α − α0), the least-squares line through the polar at its
//               tabulated angles within [fit_min, fit_max] (at every whole degree of the
//               window and its ends where the table has fewer than two there);
//   Du & Selig  f = 1/(2π) [1.6 (c/r)/0.1267 · (1 − (c/r)^(R/(Λ r))) / (1 + (c/r)^(R/(Λ r))) − 1],
//               clamped to f ≥ 0 (Du and Selig 1998);
//   Snel        f = 3 (c/r)² (Snel, Houwink and Bosschers 1994);
//   lift        Δcl = f (cl_lin − cl_2D) limited to ±max_delta_cl; cl_3D = cl_2D + w(α) Δcl,
//               with w = 1 for |α| ≤ fade_start, falling linearly to 0 at fade_end;
//   drag        Eggers: cd_3D = cd_2D + w Δcl (sin α − 0.12 cos α)/(cos α + 0.12 sin α)
//               (Eggers, Digumarthi and Chaney 2003), or none.
//
// Nothing is corrected where the fitted slope is below kMinSlope (a cylinder) or beyond
// x_max. The fade ends at 45 degrees by default: the full-circle extension beyond it is
// left as it is.

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "bemt/ProfileParams.h"

namespace bemt {

enum class StallLift { None, DuSelig, Snel };
enum class StallDrag { None, Eggers };

// The settings of a project; angles in degrees.
struct StallDelaySettings {
    StallLift lift = StallLift::DuSelig;
    StallDrag drag = StallDrag::Eggers;
    double fit_min = -5.0;
    double fit_max = 5.0;
    double fade_start = 25.0;
    double fade_end = 45.0;
    double max_delta_cl = 0.25;
    std::optional<double> x_max;   // x/R beyond which nothing is corrected; none: the whole blade
};

bool operator==(const StallDelaySettings& a, const StallDelaySettings& b);

// A setting outside its range, named by its project file key.
struct StallDelayProblem {
    std::string key;
    std::string message;
};

// The lift line of a polar: slope per radian and zero-lift angle in radians.
struct LiftLine {
    double slope = 0.0;
    double alpha0 = 0.0;
};

namespace StallDelay {

// Slopes (per radian) below which a polar has no lift line to correct towards.
inline constexpr double kMinSlope = 1e-4;

// Project file names: "none", "du_selig", "snel"; "none", "eggers". False when unknown.
std::string liftName(StallLift lift);
std::string dragName(StallDrag drag);
// "Du & Selig", "Eggers": the models as the desktop program names them.
std::string liftLabel(StallLift lift);
std::string dragLabel(StallDrag drag);
bool liftFromName(const std::string& name, StallLift& lift);
bool dragFromName(const std::string& name, StallDrag& drag);

// Every value outside its limit and every pair out of order.
std::vector<StallDelayProblem> problems(const StallDelaySettings& settings);

// Whether a computation with these settings corrects any polar.
bool corrects(const std::optional<StallDelaySettings>& settings);

// One line for result headers: "none" or "du_selig lift, eggers drag, fit -5 to 5 deg, ...".
std::string description(const std::optional<StallDelaySettings>& settings);

// The lift factors of the models; cOverR = c/r, xRel = r/R.
double duSeligFactor(double cOverR, double xRel, double tipSpeedRatio);
double snelFactor(double cOverR);
// The factor of the settings' model at one element; 0 beyond x_max or without a model.
double liftFactor(const StallDelaySettings& settings, double cOverR, double xRel, double tipSpeedRatio);

// The least-squares line through (alpha, cl), alpha in radians; nothing for fewer than
// two distinct angles.
std::optional<LiftLine> fitLiftLine(const std::vector<double>& alpha, const std::vector<double>& cl);

}  // namespace StallDelay

// What a computation needs to correct its polars: the settings and the tip speed ratio
// of the model, the project's own (not that of each operating point).
struct StallDelayInput {
    StallDelaySettings settings;
    double tipSpeedRatio = 0.0;
};

// The correction of one element: its factor and lift line with the settings' limits.
// Applying it is a few operations and one tangent, fit for the solvers' inner loops.
class StallDelayCorrection {
public:
    StallDelayCorrection() = default;  // corrects nothing
    StallDelayCorrection(const StallDelaySettings& settings, double factor, LiftLine line);

    bool active() const { return m_active; }
    double factor() const { return m_factor; }
    const LiftLine& line() const { return m_line; }

    // The 3D coefficients at alpha (radians) from the 2D ones there.
    LiftDrag apply(double alpha, LiftDrag twoD) const {
        if (!m_active) return twoD;
        alpha = folded(alpha);
        const double dcl = foldedLiftChange(alpha, twoD.cl);
        // (sin α − 0.12 cos α)/(cos α + 0.12 sin α) = tan(α − atan 0.12)
        if (dcl == 0.0 || !m_eggers) return {twoD.cl + dcl, twoD.cd};
        return {twoD.cl + dcl, twoD.cd + dcl * tangent(alpha - kEggersAngle)};
    }
    // The lift alone.
    double applyToLift(double alpha, double cl) const {
        return m_active ? cl + foldedLiftChange(folded(alpha), cl) : cl;
    }

    static inline const double kEggersAngle = std::atan(0.12);

    // tan x for |x| < 1.52 (87°: the fade ends by 80°, less the Eggers angle) to within
    // 2e-15 relative: Moshier's rational approximation (Cephes) on |z| <= pi/4 and
    // tan x = -1/tan(x -+ pi/2) beyond. The library's tan, called at every polar lookup
    // of a sweep, cost a third of the correction's time.
    static double tangent(double x) {
        constexpr double quarter = std::numbers::pi / 4.0;
        constexpr double half = std::numbers::pi / 2.0;
        if (x > quarter) return -1.0 / tangentNearZero(x - half);
        if (x < -quarter) return -1.0 / tangentNearZero(x + half);
        return tangentNearZero(x);
    }

private:
    static double tangentNearZero(double z) {
        const double zz = z * z;
        const double p = (-1.30936939181383777646e4 * zz + 1.15351664838587416140e6) * zz - 1.79565251976484877988e7;
        const double q = (((zz + 1.36812963470692954678e4) * zz - 1.32089234440210967447e6) * zz
                          + 2.50083801823357915839e7) * zz
                         - 5.38695755929454629881e7;
        return z + z * (zz * p / q);
    }

    static double folded(double alpha) {
        constexpr double pi = std::numbers::pi;
        if (alpha > pi) return alpha - 2.0 * pi;
        if (alpha < -pi) return alpha + 2.0 * pi;
        return alpha;
    }

    // w Δcl at alpha (folded into -pi..pi) for the 2D lift cl; 0 beyond the fade.
    double foldedLiftChange(double alpha, double cl) const {
        const double size = std::fabs(alpha);
        if (size >= m_fadeEnd) return 0.0;
        const double change = m_factor * (m_line.slope * (alpha - m_line.alpha0) - cl);
        const double limited = change > m_maxDeltaCl ? m_maxDeltaCl : change < -m_maxDeltaCl ? -m_maxDeltaCl : change;
        return size <= m_fadeStart ? limited : limited * (m_fadeEnd - size) * m_fadeScale;
    }

    bool m_active = false;
    bool m_eggers = false;
    double m_factor = 0.0;
    LiftLine m_line;
    double m_fadeStart = 0.0;  // radians
    double m_fadeEnd = 0.0;
    double m_fadeScale = 0.0;  // 1 / (fade end - fade start)
    double m_maxDeltaCl = 0.0;
};

// The correction of one blade element at x/R xRel with chord c/R cRel, its lift line
// fitted to polar in its present state (blend, Reynolds number) at the polar's tabulated
// angles within the fit window, or at every whole degree of the window and its ends
// where fewer than two lie in it. Corrects nothing where the factor is 0.
StallDelayCorrection stallDelayCorrection(const StallDelaySettings& settings, double xRel, double cRel,
                                          double tipSpeedRatio, ProfileParams& polar);

}  // namespace bemt
