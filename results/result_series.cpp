#include "results/result_series.h"

#include <cmath>
#include <limits>

#include "bemt/Common.h"

namespace result_series {

namespace {

using bemt::Common::rad2deg;

wxString u8(const char* text) { return wxString::FromUTF8(text); }

// The half width of the band of a lone element or step.
constexpr double kLoneHalfWidth = 0.005;

Intervals flagged(const std::vector<double>& x, const std::vector<bool>& flags) {
    return result_rules::flaggedIntervals(x, flags, kLoneHalfWidth);
}

double relativePosition(const bemt::Solution& s, const bemt::OperatingConditions& c) { return s.r / c.R; }

}  // namespace

const std::array<ChartText, OpChartCount>& opCharts() {
    static const std::array<ChartText, OpChartCount> charts = {{
        {"Blade shape (chord and twist)", "Blade shape", "x/R [-]", "Relative chord length c/R [-]",
         u8("Blade twist β [°]")},
        {"Angle of attack, relative velocity angle", "Angle of attack, relative velocity angle", "x/R [-]",
         u8("Angle of attack α [°]"), u8("Relative velocity angle φ [°]")},
        {"Reynolds number, tip loss factor", "Reynolds number, tip loss factor", "x/R [-]",
         "Reynolds number [-]", "Tip loss factor F [-]"},
        {"Axial and tangential induction factors", "Induction factors", "x/R [-]", "Axial factor a [-]",
         "Tangential factor a' [-]"},
        {"Lift and drag coefficients", "Lift and drag coefficients", "x/R [-]", "Lift coefficient Cl [-]",
         "Drag coefficient Cd [-]"},
        {"Power and thrust distribution", "Power and thrust distribution", "x/R [-]",
         u8("dP / dr ⋅ R / |P| [-]"), u8("dT / dr ⋅ R / |T| [-]")},
    }};
    return charts;
}

wxString bestAngleLegend() { return "Angle of attack for max. Cl/Cd"; }

std::vector<double> elementPositions(const bemt::pitchControlledOperatingPoint& point) {
    std::vector<double> x;
    x.reserve(point.op.solutions.size());
    for (const auto& s : point.op.solutions) x.push_back(relativePosition(s, point.op.conditions));
    return x;
}

std::vector<double> elementTwist(const bemt::pitchControlledOperatingPoint& point) {
    std::vector<double> twist;
    twist.reserve(point.op.solutions.size());
    for (const auto& s : point.op.solutions) twist.push_back(rad2deg(s.theta) - point.pitch);
    return twist;
}

std::vector<double> elementChord(const bemt::pitchControlledOperatingPoint& point) {
    std::vector<double> chord;
    chord.reserve(point.op.solutions.size());
    for (const auto& s : point.op.solutions) chord.push_back(s.c / point.op.conditions.R);
    return chord;
}

std::vector<double> optimizedTwist(const bemt::pitchControlledOperatingPoint& point) {
    std::vector<double> twist = elementTwist(point);
    for (std::size_t i = 0; i < twist.size(); ++i) {
        const auto& s = point.op.solutions[i];
        twist[i] += rad2deg(s.alpha) - rad2deg(s.alphaOpt);
    }
    return twist;
}

OpSeries opSeries(const std::vector<bemt::pitchControlledOperatingPoint>& results) {
    OpSeries series;
    if (results.empty()) return series;
    series.x = elementPositions(results.front());
    for (const auto& s : results.front().op.solutions) series.bestAlpha.push_back(rad2deg(s.alphaOpt));

    for (const auto& point : results) {
        const bemt::OperatingPoint& op = point.op;
        const auto& c = op.conditions;
        OpCurves curves;
        curves.y1[BladeShape] = elementChord(point);
        curves.y2[BladeShape] = elementTwist(point);
        const double powerScale = op.P != 0.0 && op.dr > 0.0 ? c.R / (op.dr * std::fabs(op.P)) : 0.0;
        const double thrustScale = op.T != 0.0 && op.dr > 0.0 ? c.R / (op.dr * std::fabs(op.T)) : 0.0;
        std::vector<bool> unconverged, extrapolated;
        for (const auto& s : op.solutions) {
            const double x = relativePosition(s, c);
            curves.y1[Angles].push_back(rad2deg(s.alpha));
            curves.y2[Angles].push_back(rad2deg(s.phi));
            curves.y1[Reynolds].push_back(std::log10(bemt::Common::reynolds(x, s.c / c.R, s.a, s.a_, c)));
            curves.y2[Reynolds].push_back(s.F);
            curves.y1[Induction].push_back(s.a);
            curves.y2[Induction].push_back(s.a_);
            curves.y1[LiftDrag].push_back(s.cl);
            curves.y2[LiftDrag].push_back(s.cd);
            curves.y1[PowerThrust].push_back(s.dP * powerScale);
            curves.y2[PowerThrust].push_back(s.dT * thrustScale);
            unconverged.push_back(!s.converged);
            extrapolated.push_back(s.extrapolated);
        }
        const std::vector<double> x = elementPositions(point);
        curves.unconverged = flagged(x, unconverged);
        curves.outOfRange = flagged(x, extrapolated);
        series.pitches.push_back(std::move(curves));
    }
    return series;
}

const std::array<CharChartText, CharChartCount>& charCharts() {
    static const std::array<CharChartText, CharChartCount> charts = {{
        {"Turbine's absolute power", "Turbine's power", "Power P [W]", true},
        {"Turbine's absolute thrust", "Turbine's thrust", "Thrust T [N]", true},
        {"Turbine's power coefficient", "Turbine's power coefficient", "Power coefficient Cp [-]", false},
        {"Turbine's thrust coefficient", "Turbine's thrust coefficient", "Thrust coefficient Ct [-]", false},
        {"Root bending moment", "Blade root flapwise bending moment", "Root bending moment M_root [N m]", true},
        {"Largest root bending moment", "Largest blade root flapwise bending moment over the azimuth",
         "Largest root bending moment M_root_max [N m]", true},
    }};
    return charts;
}

wxString sweptLabel(bemt::ComputeRangeType type) {
    return type == bemt::tipSpeedRatio ? u8("Tip speed ratio λ [-]") : windLabel();
}
wxString sweptName(bemt::ComputeRangeType type) { return type == bemt::tipSpeedRatio ? "tip speed ratio" : windName(); }
wxString windLabel() { return "Wind velocity [m/s]"; }
wxString windName() { return "wind velocity"; }

ScaledUnit scaledUnit(double largestMagnitude) {
    // Engineering prefixes: the largest value shown has one to three digits before the point.
    if (largestMagnitude >= 1e6) return {1e6, "M"};
    if (largestMagnitude >= 1e3) return {1e3, "k"};
    return {};
}

CharSeries charSeries(const std::vector<bemt::pitchControlledCharacteristicElement>& results,
                      bemt::ComputeRangeType type) {
    CharSeries series;
    const auto& texts = charCharts();
    for (std::size_t c = 0; c < texts.size(); ++c) series.y1Labels[c] = texts[c].y1;
    if (results.empty()) return series;
    const std::size_t pitches = results.front().points.size();
    series.pitches.resize(pitches);
    for (const auto& step : results) {
        series.swept.push_back(type == bemt::tipSpeedRatio ? step.conditions.TSR : step.conditions.V0);
        series.wind.push_back(step.conditions.V0);
    }
    double largestPower = 0.0, largestThrust = 0.0, largestMoment = 0.0;
    constexpr double missing = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t j = 0; j < pitches; ++j) {
        CharCurves& curves = series.pitches[j];
        curves.pitch = results.front().points[j].pitch;
        std::vector<bool> unconverged, extrapolated;
        for (const auto& step : results) {
            const bool present = j < step.points.size();
            const bemt::OperatingPoint* op = present ? &step.points[j].op : nullptr;
            curves.y[Power].push_back(present ? op->P : missing);
            curves.y[Thrust].push_back(present ? op->T : missing);
            curves.y[PowerCoefficient].push_back(present ? op->Cp : missing);
            curves.y[ThrustCoefficient].push_back(present ? op->Ct : missing);
            curves.y[RootMoment].push_back(present ? op->rootMoment : missing);
            curves.y[RootMomentMax].push_back(present ? op->rootMomentMax : missing);
            unconverged.push_back(present && !op->converged);
            extrapolated.push_back(present && op->extrapolated);
            if (present && std::isfinite(op->P)) largestPower = std::max(largestPower, std::fabs(op->P));
            if (present && std::isfinite(op->T)) largestThrust = std::max(largestThrust, std::fabs(op->T));
            for (const double m : {op ? op->rootMoment : 0.0, op ? op->rootMomentMax : 0.0})
                if (std::isfinite(m)) largestMoment = std::max(largestMoment, std::fabs(m));
        }
        curves.unconverged = flagged(series.swept, unconverged);
        curves.outOfRange = flagged(series.swept, extrapolated);
    }
    series.powerUnit = scaledUnit(largestPower);
    series.thrustUnit = scaledUnit(largestThrust);
    // The mean and the largest moment on one scale, so that their charts compare.
    series.momentUnit = scaledUnit(largestMoment);
    for (auto& curves : series.pitches) {
        for (double& p : curves.y[Power]) p /= series.powerUnit.factor;
        for (double& t : curves.y[Thrust]) t /= series.thrustUnit.factor;
        for (const CharChart c : {RootMoment, RootMomentMax})
            for (double& m : curves.y[c]) m /= series.momentUnit.factor;
    }
    series.y1Labels[Power] = "Power P [" + series.powerUnit.prefix + "W]";
    series.y1Labels[Thrust] = "Thrust T [" + series.thrustUnit.prefix + "N]";
    series.y1Labels[RootMoment] = "Root bending moment M_root [" + series.momentUnit.prefix + "N m]";
    series.y1Labels[RootMomentMax] = "Largest root bending moment M_root_max [" + series.momentUnit.prefix + "N m]";
    return series;
}

}  // namespace result_series
