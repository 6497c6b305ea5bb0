#pragma once
// Small one-dimensional root finders and maximisers over a scalar function. Their exact
// iterations matter: the results of the element solvers and of the turbine controller
// depend on them. They accept any callable; an empty std::function throws
// std::bad_function_call.
//
// None of them throws on numerical trouble; NaN values make every comparison false.

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace bemt {

class HelperRootFinder {
public:
    // Bisection keeping the end whose value has the sign of f(midpoint). Stops when
    // |f(m)| <= eps, or after maxIter steps. Returns (last midpoint, stayed below limit).
    // No sign change over [lo, hi] is required.
    template <class Function>
    static std::pair<double, bool> bisectionRoot(Function&& f, double lo, double hi, double eps, int maxIter) {
        int k = 0;
        // f is a pure function: f(lo) is carried along instead of evaluated anew.
        double fLo = f(lo);
        while (true) {
            const double m = (lo + hi) * 0.5;
            const double fM = f(m);
            const bool moveLo = (fLo < 0 && fM < 0) || (fLo > 0 && fM > 0);
            if (moveLo) {
                lo = m;
                fLo = fM;
            } else {
                hi = m;
            }
            ++k;
            const bool found = k < maxIter;
            if (!(std::fabs(fM) > eps && found)) return {m, found};
        }
    }

    // Brent's method (R. P. Brent, "Algorithms for minimization without derivatives",
    // 1973, ch. 4): root of f in [lo, hi], whose end values fLo and fHi have opposite
    // signs. Each step interpolates (secant or inverse quadratic) from the best point
    // and falls back to bisection where the interpolation would not shrink the bracket
    // fast enough, so it needs a handful of evaluations where bisection needs twenty.
    // Stops at the first point where |f| <= eps, the criterion of bisectionRoot, and
    // returns (that point, true). Returns (best point, false) when f is NaN there, when
    // the bracket shrinks to a few ulps without such a point (f jumps across zero), or
    // after maxIter evaluations.
    template <class Function>
    static std::pair<double, bool> brentRoot(Function&& f, double lo, double hi, double fLo, double fHi, double eps,
                                             int maxIter) {
        // best: the point with the smallest |f| so far; other: the end of the bracket
        // across the sign change; previous: the best point before the last step.
        double best = hi, fBest = fHi;
        double previous = lo, fPrevious = fLo;
        double other = lo, fOther = fLo;
        double step = hi - lo, lastStep = step;
        for (int k = 0; k < maxIter; ++k) {
            if (std::signbit(fPrevious) != std::signbit(fBest)) {
                other = previous;
                fOther = fPrevious;
                step = lastStep = best - previous;
            }
            if (std::fabs(fOther) < std::fabs(fBest)) {
                previous = best;
                best = other;
                other = previous;
                fPrevious = fBest;
                fBest = fOther;
                fOther = fPrevious;
            }
            const double tolerance = 2.0 * std::numeric_limits<double>::epsilon() * std::fabs(best) +
                                     std::numeric_limits<double>::min();
            const double half = (other - best) * 0.5;
            if (std::fabs(half) < tolerance) return {best, false};

            if (std::fabs(lastStep) > tolerance && std::fabs(fBest) < std::fabs(fPrevious)) {
                double trial;
                if (previous == other) {
                    trial = -fBest * (best - previous) / (fBest - fPrevious);
                } else {
                    const double slopePrevious = (fPrevious - fBest) / (previous - best);
                    const double slopeOther = (fOther - fBest) / (other - best);
                    trial = -fBest * (fOther * slopeOther - fPrevious * slopePrevious) /
                            (slopeOther * slopePrevious * (fOther - fPrevious));
                }
                // Interpolation is accepted only while it shrinks the steps fast enough.
                if (2.0 * std::fabs(trial) < std::min(std::fabs(lastStep), 3.0 * std::fabs(half) - tolerance)) {
                    lastStep = step;
                    step = trial;
                } else {
                    lastStep = step = half;
                }
            } else {
                lastStep = step = half;
            }

            previous = best;
            fPrevious = fBest;
            best += std::fabs(step) > tolerance ? step : std::copysign(tolerance, half);
            fBest = f(best);
            if (std::isnan(fBest)) return {best, false};
            if (std::fabs(fBest) <= eps) return {best, true};
        }
        return {best, false};
    }

    // Regula falsi with the Illinois modification (M. Dowell and P. Jarratt, BIT 11, 1971)
    // on a bracket whose lower end lo has the positive value fLo and whose upper end hi the
    // value fHi <= 0. Each step evaluates f at the secant root of the bracket (at the
    // midpoint where that falls outside it), keeps the end on the same side of zero as
    // the new point, and halves the value kept at the other end when the same end moved
    // twice in a row, so that the bracket shrinks from both sides. Stops when the smallest
    // |f| so far is at most eps, the bracket no wider than width, or after maxIter
    // evaluations; returns the point of the smallest |f| (an end when no step was taken).
    template <class Function>
    static double illinoisRoot(Function&& f, double lo, double hi, double fLo, double fHi, double eps, double width,
                               int maxIter) {
        double best = std::fabs(fLo) < std::fabs(fHi) ? lo : hi;
        double fBest = std::min(std::fabs(fLo), std::fabs(fHi));
        int side = 0;
        for (int k = 0; k < maxIter && fBest > eps && hi - lo > width; ++k) {
            double p = (lo * fHi - hi * fLo) / (fHi - fLo);
            if (!(p > lo && p < hi)) p = 0.5 * (lo + hi);
            const double fP = f(p);
            if (std::fabs(fP) < fBest) {
                best = p;
                fBest = std::fabs(fP);
            }
            if (fP > 0.0) {
                lo = p;
                fLo = fP;
                if (side == -1) fHi *= 0.5;
                side = -1;
            } else {
                hi = p;
                fHi = fP;
                if (side == 1) fLo *= 0.5;
                side = 1;
            }
        }
        return best;
    }

    // Bisection of a bracket with f(lo) = fLo < 0 <= f(hi) = fHi until it is no wider
    // than width (a midpoint whose value is not >= 0, NaN included, becomes lo); then the
    // root of the line through the final ends, or hi when their values do not rise.
    template <class Function>
    static double bisectionInterpolatedRoot(Function&& f, double lo, double hi, double fLo, double fHi, double width) {
        while (hi - lo > width) {
            const double mid = 0.5 * (lo + hi);
            const double fMid = f(mid);
            if (fMid >= 0.0) {
                hi = mid;
                fHi = fMid;
            } else {
                lo = mid;
                fLo = fMid;
            }
        }
        return fHi > fLo ? lo + (hi - lo) * (-fLo) / (fHi - fLo) : hi;
    }

    // Newton iteration with a forward-difference derivative of step eps/1000. Returns the
    // last iterate; a zero derivative yields inf or NaN, which ends the loop.
    template <class Function>
    static double newtonRoot(Function&& f, double x0, double eps, int maxIter) {
        const double h = eps / 1000.0;
        double x = x0;
        int k = 0;
        while (true) {
            const double f0 = f(x);
            const double f1 = f(x + h);
            ++k;
            const double next = x - f0 / ((f1 - f0) / h);
            if (std::fabs(next - x) > eps && k < maxIter) {
                x = next;
            } else {
                return next;
            }
        }
    }

    // Samples f from lo in steps of step while x <= hi; the first largest sample wins.
    template <class Function>
    static double stepByStepMaximize(Function&& f, double lo, double hi, double step, int maxIter) {
        double best = lo;
        double fBest = f(lo);
        double x = lo;
        int k = 0;
        do {
            const double fx = f(x);
            if (fx > fBest) {
                best = x;
                fBest = fx;
            }
            ++k;
            x += step;
        } while (k < maxIter && x <= hi);
        return best;
    }

    // Golden-section search for the maximum of a unimodal f on [lo, hi] (J. Kiefer, 1953):
    // each step drops the part of the bracket beyond the lower of two inner points, which
    // divide it in the golden ratio, and evaluates f once. Runs the steps that shrink the
    // bracket to width, calling onStep(k, steps) before step k, and returns the midpoint
    // of the final bracket. Ties keep the lower part.
    template <class Function, class Step>
    static double goldenSectionMaximize(Function&& f, double lo, double hi, double width, Step&& onStep) {
        const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
        double a = hi - ratio * (hi - lo);
        double b = lo + ratio * (hi - lo);
        double fa = f(a);
        double fb = f(b);
        const int steps = static_cast<int>(std::ceil(std::log(width / (hi - lo)) / std::log(ratio)));
        for (int k = 0; k < steps && hi - lo > width; ++k) {
            onStep(k, steps);
            if (fa >= fb) {
                hi = b;
                b = a;
                fb = fa;
                a = hi - ratio * (hi - lo);
                fa = f(a);
            } else {
                lo = a;
                a = b;
                fa = fb;
                b = lo + ratio * (hi - lo);
                fb = f(b);
            }
        }
        return 0.5 * (lo + hi);
    }

    // Bisection on the sign of the forward-difference slope; the result stays in [lo, hi].
    template <class Function>
    static double gradientMaximize(Function&& f, double lo, double hi, double eps, int maxIter) {
        const double h = eps / 1000.0;
        double x = (lo + hi) * 0.5;
        int k = 0;
        while (true) {
            const double g = (f(x + h) - f(x)) / h;
            const bool rising = g > 0;
            const double next = rising ? (hi + x) * 0.5 : (lo + x) * 0.5;
            ++k;
            if (std::fabs(next - x) <= eps || k >= maxIter) return next;
            if (rising) lo = x; else hi = x;
            x = next;
        }
    }
};

}  // namespace bemt
