#pragma once
// A blade for AeroDyn v15: the blade file (nodes with span, prebend as BlCrvAC, twist,
// chord and airfoil index), one airfoil table per airfoil point (the polar as Korvane uses it, -180 to
// 180 degrees, at the Reynolds number of that point at the design conditions, without
// unsteady-aerodynamics data) and the NumAFfiles/AFNames lines for the primary input.
// Everything is produced in memory first and written as one set, so a failure leaves no
// new file behind and the earlier ones as they were.

#include <optional>
#include <string>
#include <vector>

#include "project/file_set.h"
#include "project/project_data.h"

namespace korvane::aerodyn {

struct OutputFile {
    std::string name;      // relative to the output folder, with "/" separators
    std::string content;
};

// The files of the export. segments are the project's airfoil segments (one polar per
// airfoil point, ToolsAirfoil::segmentsFromPoints); nodeCount asks for that many nodes
// evenly spaced from the hub to the tip, otherwise the nodes are the positions of the
// chord points and the airfoil points (sorted, without repeats) on the blade, with a
// node just inboard of each change of airfoil.
std::vector<OutputFile> exportFiles(const ProjectData& project, std::vector<bemt::AirfoilSegment> segments,
                                    std::optional<int> nodeCount, const std::string& projectName);

// The node positions x/R of an export. Without a node count each airfoil point but the
// first also gets a node kBoundaryGap inboard of it, on the previous airfoil.
inline constexpr double kBoundaryGap = 1e-6;
std::vector<double> nodePositions(const ProjectData& project, std::optional<int> nodeCount);

// Writes the files below folder (created when missing) as one set: all of them or, on a
// failure, none (see writeFileSet).
std::vector<WrittenFile> writeFiles(const std::string& folder, const std::vector<OutputFile>& files);

inline const std::string kBladeFile = "AeroDyn_blade.dat";
inline const std::string kAirfoilListFile = "AeroDyn_airfoils.txt";

}  // namespace korvane::aerodyn
