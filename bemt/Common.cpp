#include "bemt/Common.h"

#include <cmath>
#include <numbers>

namespace bemt::Common {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kChordAtAxis = 0.15;
constexpr double kChordAtTip = 0.05;
}  // namespace

double rads2rpm(double v) { return v / kPi * 30.0; }
double rpm2rads(double v) { return v / 30.0 * kPi; }

double i2x_rel(int i, int n, const OperatingConditions& op) {
    const double h = op.Rh / op.R;
    return (i + 0.5) / n * (1.0 - h) + h;
}

double min(double a, double b) { return a < b ? a : b; }
double max(double a, double b) { return a > b ? a : b; }

double guessA(double) { return 0.3; }
double guessA_(double x) { return 0.01 / std::pow(x, 1.602); }
double guessCrel(double x) { return kChordAtTip + (kChordAtAxis - kChordAtTip) * (1.0 - x); }
double guessTwistDeg(double x) { return 14.6939 / (0.142857 + x) - 12.8571; }

double reynolds(double x, double c_rel, double a, double a_, const OperatingConditions& op) {
    const double tangential = (1.0 + a_) * x * op.TSR;
    const double axial = 1.0 - a;
    return (c_rel * 0.5) * std::sqrt(tangential * tangential + axial * axial)
           * (2.0 * op.rho * op.V0 * op.R / op.mu);
}

double reynolds(double x, double c_rel, const OperatingConditions& op) {
    return reynolds(x, c_rel, guessA(x), guessA_(x), op);
}

double reynolds(double x, const OperatingConditions& op) { return reynolds(x, guessCrel(x), op); }

double mach(double x, const OperatingConditions& op) {
    const double tangential = (1.0 + guessA(x)) * x * op.TSR;
    const double axial = 1.0 - guessA(x);
    return std::sqrt(tangential * tangential + axial * axial) * op.V0 / op.cair;
}

double Twind(const OperatingConditions& op) { return 0.5 * op.rho * op.V0 * op.V0 * kPi * op.R * op.R; }
double Pwind(const OperatingConditions& op) { return 0.5 * op.rho * std::pow(op.V0, 3) * kPi * op.R * op.R; }

TipLossExponents tipLossExponents(double r, const OperatingConditions& op) {
    const double x = r / op.R;
    const double h = op.Rh / op.R;
    const double f = -op.B * 0.5;
    return {f * (1.0 - x) / x, f * (x - h) / h};
}

namespace {
// acos(exp(e)) of one loss term. Below e = -40, exp(e) < 4.3e-18 leaves acos at pi/2 to
// the last bit (it differs from pi/2 only from about 1.1e-16 on), so neither is evaluated:
// the hub term of most elements and the tip term of inner elements at small inflow angles.
double lossTerm(double exponent) {
    constexpr double kFarExponent = -40.0;
    return exponent < kFarExponent ? kPi / 2.0 : std::acos(std::exp(exponent));
}
}  // namespace

double glauertTipLoss(const TipLossExponents& exponents, double sinPhi) {
    const double tip = lossTerm(exponents.tip / sinPhi);
    const double hub = lossTerm(exponents.hub / sinPhi);
    return (2.0 / kPi) * tip * (2.0 / kPi) * hub + 1e-10;
}

double glauertTipLoss(double r, double phi, const OperatingConditions& op) {
    return glauertTipLoss(tipLossExponents(r, op), std::sin(phi));
}

double relativeBladeArea(const std::vector<ChordPoint>& points) {
    double area = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        area += (points[i - 1].c_rel + points[i].c_rel) / 2.0 * (points[i].x_rel - points[i - 1].x_rel);
    return area;
}

std::pair<std::vector<double>, std::vector<double>> splitChordPoints(const std::vector<ChordPoint>& points) {
    std::pair<std::vector<double>, std::vector<double>> out;
    out.first.reserve(points.size());
    out.second.reserve(points.size());
    for (const auto& p : points) {
        out.first.push_back(p.x_rel);
        out.second.push_back(p.c_rel);
    }
    return out;
}

std::pair<std::vector<double>, std::vector<double>> splitTwistPoints(const std::vector<TwistPoint>& points) {
    std::pair<std::vector<double>, std::vector<double>> out;
    out.first.reserve(points.size());
    out.second.reserve(points.size());
    for (const auto& p : points) {
        out.first.push_back(p.x_rel);
        out.second.push_back(p.twist_deg);
    }
    return out;
}

}  // namespace bemt::Common
