#pragma once
// Airfoil segments for the command line: the same builder as the desktop program
// (built-in NACA tables, CSV polars, XFOIL analyses of coordinate files on parallel
// workers), fed with files read straight from disk.

#include <functional>
#include <string>
#include <vector>

#include "bemt/Records.h"

namespace korvane::cli {

// Builds the segments of the project's airfoil points. progress may be called from
// several worker threads at once; it may throw to stop. interrupted is polled by the
// XFOIL workers. Throws the builder's messages (ordering, unreadable files, XFOIL
// failures, "The Xfoil preprocessing has been aborted.").
std::vector<bemt::AirfoilSegment> buildAirfoilSegments(const std::vector<bemt::AirfoilPoint>& points,
                                                       const bemt::OperatingConditions& conditions,
                                                       const std::function<void(int, const std::string&)>& progress,
                                                       const std::function<bool()>& interrupted);

}  // namespace korvane::cli
