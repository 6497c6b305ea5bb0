#include "turbine/TurbineController.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/BEMTTools.h"

namespace bemt {

namespace {

const std::string kTsrText = "Finding the tip speed ratio of maximal power coefficient.";
const std::string kPowerCurveText = "Computing the power curve.";

// Tip speed ratios scanned for the best power coefficient before it is refined.
constexpr double kTsrScanMin = 1.0;
constexpr double kTsrScanMax = 18.0;
constexpr double kTsrScanStep = 0.5;
constexpr int kMaxRefinements = 100;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Progress of a part of a computation that covers [from, to] percent of the whole.
ProgressCallback share(const ProgressCallback& progress, double from, double to, const std::string& text) {
    return [=](int percent, const std::string&) {
        progress(static_cast<int>(from + (to - from) * percent / 100.0), text);
    };
}

}  // namespace

double TurbineController::electricalPower(double rotorPower, double efficiency) {
    return rotorPower < 0.0 ? rotorPower / efficiency : efficiency * rotorPower;
}

TurbineController::TurbineController(BEMTTools& tools, InputDataSet data, TurbineSettings settings)
    : m_tools(tools), m_data(std::move(data)), m_settings(std::move(settings)) {}

OperatingPoint TurbineController::operatingPoint(double v, double om, double pitch) {
    m_data.conditions.V0 = v;
    m_data.conditions.Om = om;
    m_data.conditions.TSR = om * m_data.conditions.R / v;
    return m_tools.analyzeOp(
        m_data, [this](int, const std::string&) { if (m_progress) m_progress(m_percent, m_text); }, pitch);
}

void TurbineController::report(int percent, const std::string& text) {
    m_percent = percent;
    m_text = text;
    if (m_progress) m_progress(percent, text);
}

double TurbineController::optimalTipSpeedRatio(const ProgressCallback& progress) {
    m_progress = progress;
    const double v = m_data.conditions.V0;
    const double R = m_data.conditions.R;
    const double fine = m_settings.fine_pitch;
    const SweepRange scan{kTsrScanMin, kTsrScanMax, kTsrScanStep};

    std::vector<OperatingPointRequest> requests;
    for (int k = 0; k < scan.count(); ++k) requests.push_back({v, scan.value(k) * v / R, fine});
    const auto points = m_tools.analyzeOpGrid(m_data, requests, share(progress, 0.0, 60.0, kTsrText));

    // Unconverged points leave out elements and may show a spurious maximum: they count
    // only when no point converged.
    const bool anyConverged = std::any_of(points.begin(), points.end(), [](const auto& p) { return p.converged; });
    int best = 0;
    for (int k = 1; k < static_cast<int>(points.size()); ++k) {
        if (anyConverged && !points[k].converged) continue;
        if ((anyConverged && !points[best].converged) || points[k].Cp > points[best].Cp) best = k;
    }

    // Golden-section search around the best scanned ratio.
    double lo = std::max(kTsrScanMin, scan.value(best) - kTsrScanStep);
    double hi = std::min(kTsrScanMax, scan.value(best) + kTsrScanStep);
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    auto cp = [&](double tsr) { return operatingPoint(v, tsr * v / R, fine).Cp; };
    report(60, kTsrText);
    double a = hi - ratio * (hi - lo);
    double b = lo + ratio * (hi - lo);
    double fa = cp(a);
    double fb = cp(b);
    const int steps = static_cast<int>(std::ceil(std::log(kTsrTolerance / (hi - lo)) / std::log(ratio)));
    for (int k = 0; k < steps && hi - lo > kTsrTolerance; ++k) {
        report(static_cast<int>(60.0 + 40.0 * k / steps), kTsrText);
        if (fa >= fb) {
            hi = b;
            b = a;
            fb = fa;
            a = hi - ratio * (hi - lo);
            fa = cp(a);
        } else {
            lo = a;
            a = b;
            fa = fb;
            b = lo + ratio * (hi - lo);
            fb = cp(b);
        }
    }
    report(100, kTsrText);
    m_progress = nullptr;
    return 0.5 * (lo + hi);
}

std::pair<double, double> TurbineController::rotorSpeed(double v, double tsrTarget) const {
    const double omMin = Common::rpm2rads(m_settings.rpm_min);
    const double omMax = Common::rpm2rads(m_settings.rpm_max);
    if (!m_settings.variableSpeed()) return {omMax, 2.5};
    const double om = tsrTarget * v / m_data.conditions.R;
    if (om < omMin) return {omMin, 1.5};
    if (om > omMax) return {omMax, 2.5};
    return {om, 2.0};
}

void TurbineController::fill(PowerCurvePoint& row, const OperatingPoint& op, double om) const {
    const OperatingConditions& c = op.conditions;
    const double discArea = std::numbers::pi * c.R * c.R;
    const double dynamicPressure = 0.5 * c.rho * c.V0 * c.V0;
    row.computed = true;
    row.rpm = Common::rads2rpm(om);
    row.TSR = om * c.R / c.V0;
    row.P_aero = op.P;
    row.P = electricalPower(op);
    row.T = op.T;
    row.Q = op.P / om;
    row.Cp = op.Cp;
    row.Ct = op.Ct;
    row.Cq = row.Q / (dynamicPressure * discArea * c.R);
    row.converged = op.converged;
    row.extrapolated = op.extrapolated;
    row.motoring = op.P < 0.0;
}

void TurbineController::pitchToRated(PowerCurvePoint& row, double om, double startPitch, OperatingPoint& op) {
    const double rated = m_settings.rated_power;
    const double maxPitch = m_settings.max_pitch;
    const double v = row.V0;
    auto excess = [&](const OperatingPoint& p) { return electricalPower(p) - rated; };

    // Step towards feather until the power falls to rated; the power need not fall
    // monotonically, so the first step that brackets it gives the smallest pitch.
    double lo = startPitch;
    OperatingPoint loOp = op;
    if (startPitch > m_settings.fine_pitch) {
        loOp = operatingPoint(v, om, startPitch);
        if (!(excess(loOp) > 0.0)) {
            lo = m_settings.fine_pitch;
            loOp = op;
        }
    }
    double hi = lo;
    OperatingPoint hiOp = loOp;
    while (excess(hiOp) > 0.0) {
        if (hi >= maxPitch) {
            // Even feathering to the limit leaves too much power: the rotor gives what it gives.
            row.pitch = maxPitch;
            row.pitch_limited = true;
            fill(row, hiOp, om);
            op = hiOp;
            return;
        }
        lo = hi;
        loOp = hiOp;
        hi = std::min(hi + kPitchBracketStep, maxPitch);
        hiOp = operatingPoint(v, om, hi);
    }

    // Regula falsi with the Illinois modification between lo (too much power) and hi.
    double fLo = excess(loOp);
    double fHi = excess(hiOp);
    double best = std::fabs(fLo) < std::fabs(fHi) ? lo : hi;
    OperatingPoint bestOp = std::fabs(fLo) < std::fabs(fHi) ? loOp : hiOp;
    double fBest = std::min(std::fabs(fLo), std::fabs(fHi));
    int side = 0;
    for (int k = 0; k < kMaxRefinements && fBest > kPowerTolerance * rated && hi - lo > kPitchTolerance; ++k) {
        double p = (lo * fHi - hi * fLo) / (fHi - fLo);
        if (!(p > lo && p < hi)) p = 0.5 * (lo + hi);
        OperatingPoint pOp = operatingPoint(v, om, p);
        const double f = excess(pOp);
        if (std::fabs(f) < fBest) {
            best = p;
            bestOp = pOp;
            fBest = std::fabs(f);
        }
        if (f > 0.0) {
            lo = p;
            fLo = f;
            if (side == -1) fHi *= 0.5;
            side = -1;
        } else {
            hi = p;
            fHi = f;
            if (side == 1) fLo *= 0.5;
            side = 1;
        }
    }
    row.pitch = best;
    fill(row, bestOp, om);
    row.P = rated;
    op = std::move(bestOp);
}

double TurbineController::ratedWindSpeed(const std::vector<double>& finePower, const PowerCurve& curve,
                                         double tsrTarget) {
    const double rated = m_settings.rated_power;
    const auto& points = curve.points;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].computed || !(finePower[i] >= rated)) continue;
        if (i == 0 || !points[i - 1].computed) return points[i].V0;
        // Between the last wind speed below rated and the first above it, bisect on the
        // power at fine pitch (which the pitch control does not cap).
        double lo = points[i - 1].V0;
        double hi = points[i].V0;
        double gLo = finePower[i - 1] - rated;
        double gHi = finePower[i] - rated;
        while (hi - lo > kRatedWindTolerance) {
            const double mid = 0.5 * (lo + hi);
            const double om = rotorSpeed(mid, tsrTarget).first;
            const double g = electricalPower(operatingPoint(mid, om, m_settings.fine_pitch)) - rated;
            if (g >= 0.0) {
                hi = mid;
                gHi = g;
            } else {
                lo = mid;
                gLo = g;
            }
        }
        return gHi > gLo ? lo + (hi - lo) * (-gLo) / (gHi - gLo) : hi;
    }
    return kNaN;
}

PowerCurve TurbineController::powerCurve(const ProgressCallback& progress) {
    PowerCurve curve;
    const bool automatic = m_settings.automaticTsr();
    const double tsrEnd = automatic ? 20.0 : 0.0;
    curve.tsrTarget = automatic ? optimalTipSpeedRatio(share(progress, 0.0, tsrEnd, kTsrText)) : m_settings.tsr_target;

    const SweepRange winds = Turbine::windSpeeds(m_settings);
    const int count = winds.count();
    curve.points.resize(count);
    std::vector<OperatingPointRequest> requests;
    std::vector<int> computedRows;
    for (int k = 0; k < count; ++k) {
        PowerCurvePoint& row = curve.points[k];
        row.V0 = winds.value(k);
        row.pitch = m_settings.fine_pitch;
        if (row.V0 < m_settings.cut_in) {
            row.region = 0.0;
        } else if (row.V0 > m_settings.cut_out) {
            row.region = 4.0;
        } else {
            const auto [om, region] = rotorSpeed(row.V0, curve.tsrTarget);
            row.region = region;
            row.rpm = Common::rads2rpm(om);
            requests.push_back({row.V0, om, m_settings.fine_pitch});
            computedRows.push_back(k);
        }
    }
    const double gridEnd = tsrEnd + (100.0 - tsrEnd) * 0.5;
    std::vector<OperatingPoint> fine =
        m_tools.analyzeOpGrid(m_data, requests, share(progress, tsrEnd, gridEnd, kPowerCurveText));

    m_progress = progress;
    std::vector<double> finePower(count, kNaN);
    double lastPitch = m_settings.fine_pitch;
    for (std::size_t j = 0; j < computedRows.size(); ++j) {
        report(static_cast<int>(gridEnd + (100.0 - gridEnd) * j / computedRows.size()), kPowerCurveText);
        PowerCurvePoint& row = curve.points[computedRows[j]];
        const double om = requests[j].Om;
        fill(row, fine[j], om);
        finePower[computedRows[j]] = row.P;
        if (!(row.P > m_settings.rated_power)) continue;
        row.region = 3.0;
        if (!m_settings.variablePitch()) {
            row.over_rated = true;
            continue;
        }
        // Power at a fixed pitch and rotor speed grows with the wind speed, so the pitch
        // that holds rated power never falls below the one of the previous wind speed:
        // the search starts from the whole step below it.
        const double start = m_settings.fine_pitch
                             + std::floor((lastPitch - m_settings.fine_pitch) / kPitchBracketStep) * kPitchBracketStep;
        pitchToRated(row, om, start, fine[j]);
        lastPitch = row.pitch;
    }
    curve.ratedWindSpeed = ratedWindSpeed(finePower, curve, curve.tsrTarget);
    report(100, kPowerCurveText);
    m_progress = nullptr;
    return curve;
}

}  // namespace bemt
