#pragma once
// Contour lines of a quantity given on a rectangular grid, by marching squares: in each
// grid cell the straight pieces where the values, linear along the cell's sides, pass
// the level. A saddle cell is resolved by the mean of its corners. Cells with a value
// that is not finite draw nothing.

#include <vector>

struct ContourSegment {
    double x1, y1, x2, y2;
};

// values[i][j] belongs to x[i] and y[j]; x and y ascending.
std::vector<ContourSegment> contourSegments(const std::vector<double>& x, const std::vector<double>& y,
                                            const std::vector<std::vector<double>>& values, double level);
