#pragma once
// Airfoil segments for the command line. For now only the built-in NACA airfoils are
// built here; CSV polars and XFOIL analyses come with the airfoil data builder
// (ToolsAirfoil::segmentsFromPoints), which will replace the body of this one function.

#include <vector>

#include "bemt/Records.h"

namespace korvane::cli {

// One segment per pair of neighbouring points, each point with its own NACA polar; a
// repeated point gets a new polar of the previous point's airfoil. Throws the core's
// ordering message for unordered points, and a clear message for airfoil kinds that
// the command line cannot use yet.
std::vector<bemt::AirfoilSegment> buildAirfoilSegments(const std::vector<bemt::AirfoilPoint>& points);

}  // namespace korvane::cli
