// naca4-coords: writes the coordinates of a NACA four-digit airfoil in Selig order
// (name line, then the upper surface from the trailing edge to the leading edge and the
// lower surface back to the trailing edge), from the published NACA equations
// (Jacobs, Ward and Pinkerton, NACA Report 460, 1933) with the closed trailing edge
// coefficient -0.1036 and cosine spacing along the chord.
//
// Usage: naca4-coords DIGITS [POINTS_PER_SIDE]   e.g. naca4-coords 2412 > naca2412.dat

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

#include "bemt/NumberText.h"

namespace {

struct Point {
    double x, y;
};

std::vector<Point> naca4(int digits, int perSide) {
    const double m = (digits / 1000) / 100.0;        // maximum camber
    const double p = (digits / 100 % 10) / 10.0;     // its chordwise position
    const double t = (digits % 100) / 100.0;         // thickness
    std::vector<Point> upper, lower;
    for (int i = 0; i <= perSide; ++i) {
        const double x = (1.0 - std::cos(std::numbers::pi * i / perSide)) / 2.0;
        const double yt = 5.0 * t *
                          (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                           0.1036 * x * x * x * x);
        double yc = 0.0, slope = 0.0;
        if (m > 0.0 && x < p) {
            yc = m / (p * p) * (2.0 * p * x - x * x);
            slope = 2.0 * m / (p * p) * (p - x);
        } else if (m > 0.0) {
            yc = m / ((1.0 - p) * (1.0 - p)) * ((1.0 - 2.0 * p) + 2.0 * p * x - x * x);
            slope = 2.0 * m / ((1.0 - p) * (1.0 - p)) * (p - x);
        }
        const double theta = std::atan(slope);
        upper.push_back({x - yt * std::sin(theta), yc + yt * std::cos(theta)});
        lower.push_back({x + yt * std::sin(theta), yc - yt * std::cos(theta)});
    }
    std::vector<Point> outline(upper.rbegin(), upper.rend());
    outline.insert(outline.end(), lower.begin() + 1, lower.end());
    return outline;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strlen(argv[1]) != 4 || std::strspn(argv[1], "0123456789") != 4) {
        std::fprintf(stderr, "Usage: naca4-coords DIGITS [POINTS_PER_SIDE], e.g. naca4-coords 2412\n");
        return 2;
    }
    const int digits = static_cast<int>(bemt::NumberText::wholeDouble(argv[1]).value);
    // The point count read as the program reads every number: the whole text, one number.
    const auto points = bemt::NumberText::wholeDouble(argc > 2 ? argv[2] : "80");
    const bool pointsUsable = points.kind == bemt::NumberText::Whole::Finite &&
                              points.value == std::trunc(points.value) && points.value >= 5 && points.value <= 400;
    if (digits % 100 == 0 || (digits / 1000 > 0) != (digits / 100 % 10 > 0) || !pointsUsable) {
        std::fprintf(stderr, "naca4-coords: %s is not a usable NACA four-digit airfoil or point count\n", argv[1]);
        return 2;
    }
    const int perSide = static_cast<int>(points.value);
    std::printf("NACA %s\n", argv[1]);
    // Values that round to zero are written as 0 rather than -0.000000.
    auto clean = [](double v) { return std::fabs(v) < 5e-7 ? 0.0 : v; };
    for (const Point& point : naca4(digits, perSide)) std::printf("%9.6f %9.6f\n", clean(point.x), clean(point.y));
    return 0;
}
