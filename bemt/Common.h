#pragma once
// Stateless formulas shared by the whole program: unit conversions, first guesses,
// Reynolds and Mach numbers, the power and thrust of the free wind, the combined tip
// and hub loss, and splitting of point lists. x is always a relative position r/R.

#include <numbers>
#include <utility>
#include <vector>

#include "bemt/Records.h"

namespace bemt {
// The largest power coefficient an ideal rotor reaches (Betz). An operating point above
// it comes from impossible airfoil data and is marked not converged.
inline constexpr double kBetzLimit = 16.0 / 27.0;
}  // namespace bemt

namespace bemt::Common {

// Inline: the polars convert every angle of attack they are asked for.
inline double rad2deg(double v) { return v / std::numbers::pi * 180.0; }
inline double deg2rad(double v) { return v / 180.0 * std::numbers::pi; }
double rads2rpm(double v);
double rpm2rads(double v);

// Relative position of the centre of element i of n equal annuli between hub and tip.
double i2x_rel(int i, int n, const OperatingConditions& op);

double min(double a, double b);
double max(double a, double b);

// First guesses of the induction factors, the relative chord and the twist (degrees).
double guessA(double x);
double guessA_(double x);
double guessCrel(double x);
double guessTwistDeg(double x);

// Reynolds number rho*W*c/mu of an element, W from the induction factors.
double reynolds(double x, double c_rel, double a, double a_, const OperatingConditions& op);
double reynolds(double x, double c_rel, const OperatingConditions& op);
double reynolds(double x, const OperatingConditions& op);
double mach(double x, const OperatingConditions& op);

// Thrust reference and power of the free wind through the rotor disc.
double Twind(const OperatingConditions& op);
double Pwind(const OperatingConditions& op);

// Prandtl/Glauert tip loss times hub loss at radius r and inflow angle phi. A tiny
// constant keeps the result strictly positive, because every solver divides by it.
double glauertTipLoss(double r, double phi, const OperatingConditions& op);

// The same in two steps for the solvers, which evaluate it at many inflow angles of one
// element: the exponents of the tip and hub terms without the 1/sin(phi) factor, then
// the loss at sin(phi). Equal to glauertTipLoss to the last bit.
struct TipLossExponents {
    double tip;
    double hub;
};
TipLossExponents tipLossExponents(double r, const OperatingConditions& op);
double glauertTipLoss(const TipLossExponents& exponents, double sinPhi);

std::pair<std::vector<double>, std::vector<double>> splitChordPoints(const std::vector<ChordPoint>& points);
std::pair<std::vector<double>, std::vector<double>> splitTwistPoints(const std::vector<TwistPoint>& points);

// The planform area of one blade over R², by the trapezoidal rule on c/R over x/R between
// the first and the last chord point (the chord is linear between them).
double relativeBladeArea(const std::vector<ChordPoint>& points);

}  // namespace bemt::Common
