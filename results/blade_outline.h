#pragma once
// The blade outline seen from the wind and its area, from the chord distribution: the
// leading edge a quarter chord ahead of the pitch axis, the trailing edge three quarters
// behind it.

#include <vector>

#include "bemt/Records.h"

struct BladeOutline {
    std::vector<double> x;  // x/R, leading edge root to tip, trailing edge tip to root, closed
    std::vector<double> y;  // offset from the pitch axis, c/R
    double relativeArea = 0.0;  // area / R², trapezoidal rule on c/R over x/R
};

BladeOutline bladeOutline(const std::vector<bemt::ChordPoint>& points);
