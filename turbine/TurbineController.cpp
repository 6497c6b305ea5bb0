#include "turbine/TurbineController.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/BEMTTools.h"
#include "bemt/HelperRootFinder.h"

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
    for (double tsr : scan.values()) requests.push_back({v, tsr * v / R, fine});
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
    const double lo = std::max(kTsrScanMin, scan.value(best) - kTsrScanStep);
    const double hi = std::min(kTsrScanMax, scan.value(best) + kTsrScanStep);
    report(60, kTsrText);
    const double tsr = HelperRootFinder::goldenSectionMaximize(
        [&](double x) { return operatingPoint(v, x * v / R, fine).Cp; }, lo, hi, kTsrTolerance,
        [&](int k, int steps) { report(static_cast<int>(60.0 + 40.0 * k / steps), kTsrText); });
    report(100, kTsrText);
    m_progress = nullptr;
    return tsr;
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
    const double discArea = std::numbers::pi * op.Rp * op.Rp;
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
    row.Cq = row.Q / (dynamicPressure * discArea * op.Rp);
    row.M_root = op.rootMoment;
    row.M_root_max = op.rootMomentMax;
    row.converged = op.converged;
    row.extrapolated = op.extrapolated;
    row.motoring = op.P < 0.0;
}

void TurbineController::pitchToRated(PowerCurvePoint& row, double om, double lo, OperatingPoint loOp,
                                     OperatingPoint& op) {
    const double rated = m_settings.rated_power;
    const double maxPitch = m_settings.max_pitch;
    const double v = row.V0;
    auto excess = [&](const OperatingPoint& p) { return electricalPower(p) - rated; };

    // Step towards feather until the power falls to rated; the power need not fall
    // monotonically, so the first step that brackets it gives the smallest pitch.
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

    // Between lo (too much power) and hi; the search gives the pitch of the operating
    // point computed on the way that comes closest to rated power.
    const double fLo = excess(loOp);
    const double fHi = excess(hiOp);
    std::map<double, OperatingPoint> computed;
    computed.emplace(lo, std::move(loOp));
    computed.emplace(hi, std::move(hiOp));
    const double best = HelperRootFinder::illinoisRoot(
        [&](double pitch) { return excess(computed[pitch] = operatingPoint(v, om, pitch)); }, lo, hi, fLo, fHi,
        kPowerTolerance * rated, kPitchTolerance, kMaxRefinements);
    row.pitch = best;
    op = std::move(computed.at(best));
    fill(row, op, om);
    row.P = rated;
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
        auto excess = [&](double v) {
            return electricalPower(operatingPoint(v, rotorSpeed(v, tsrTarget).first, m_settings.fine_pitch)) - rated;
        };
        return HelperRootFinder::bisectionInterpolatedRoot(excess, points[i - 1].V0, points[i].V0,
                                                           finePower[i - 1] - rated, finePower[i] - rated,
                                                           kRatedWindTolerance);
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
    bool regulating = false;  // a lower wind speed was pitched to rated power
    for (std::size_t j = 0; j < computedRows.size(); ++j) {
        report(static_cast<int>(gridEnd + (100.0 - gridEnd) * j / computedRows.size()), kPowerCurveText);
        PowerCurvePoint& row = curve.points[computedRows[j]];
        const double om = requests[j].Om;
        fill(row, fine[j], om);
        finePower[computedRows[j]] = row.P;
        const bool aboveRated = row.P > m_settings.rated_power;
        if (!aboveRated && !regulating) continue;
        if (!m_settings.variablePitch()) {
            row.region = 3.0;
            row.over_rated = true;
            continue;
        }
        // Power at a fixed pitch and rotor speed grows with the wind speed, so the pitch
        // that holds rated power never falls below the one of the previous wind speed:
        // the search starts from the whole step below it. Once the controller holds rated
        // power it goes on doing so where the rotor can give it, also where a blade that
        // stalls at fine pitch gives less there (its power rises again towards feather).
        const double start = m_settings.fine_pitch
                             + std::floor((lastPitch - m_settings.fine_pitch) / kPitchBracketStep) * kPitchBracketStep;
        double from = m_settings.fine_pitch;
        OperatingPoint fromOp = fine[j];
        if (start > m_settings.fine_pitch) {
            OperatingPoint startOp = operatingPoint(row.V0, om, start);
            if (electricalPower(startOp) > m_settings.rated_power) {
                from = start;
                fromOp = std::move(startOp);
            }
        }
        // A rotor that cannot give rated power at any pitch tried runs at fine pitch.
        if (!(electricalPower(fromOp) > m_settings.rated_power)) continue;
        row.region = 3.0;
        pitchToRated(row, om, from, std::move(fromOp), fine[j]);
        lastPitch = row.pitch;
        regulating = true;
    }
    curve.ratedWindSpeed = ratedWindSpeed(finePower, curve, curve.tsrTarget);
    report(100, kPowerCurveText);
    m_progress = nullptr;
    return curve;
}

}  // namespace bemt
