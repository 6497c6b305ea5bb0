#pragma once
// How well the project's chord or twist points can carry a designed distribution, and a
// set of the design's own points that carries it closely. The computations interpolate
// the chord points linearly and the twist points with a natural cubic spline, so a
// designed shape (a root plateau, a curved taper) taken over at a few kept positions
// can come out quite different; these functions measure that and find the points to
// use instead. No toolkit here.

#include <cstddef>
#include <vector>

#include "bemt/spline.h"

namespace design_transfer {

// A distribution as positions x/R and values.
struct Curve {
    std::vector<double> x;
    std::vector<double> values;
};

// The largest difference, at the design's positions, between the interpolation of the
// given kind through points and the design, as a fraction of the design's range
// (largest value − smallest). 0 for a design without range.
double deviation(const Curve& points, const Curve& design, bemt::spline::spline_type kind);

// The fewest of the design's own points (always its first and last, then each time the
// one followed worst) whose interpolation of the given kind follows the design within
// tolerance, a fraction of its range.
Curve followingPoints(const Curve& design, bemt::spline::spline_type kind, double tolerance);

// The design resampled at the given positions as the project takes it over (a natural
// cubic spline through the design).
Curve resampled(const Curve& design, const std::vector<double>& x);

}  // namespace design_transfer
