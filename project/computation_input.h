#pragma once
// From a project to the core's input: the checks that turn impossible combinations of
// values into clear messages before any computation starts, and the input record with
// its airfoil segments (built-in tables, polar files, XFOIL analyses on parallel workers).
// Shared by korvane-cli and the Python module.

#include <functional>
#include <istream>
#include <string>

#include "bemt/Records.h"
#include "project/project_data.h"
#include "project/result_json.h"

namespace korvane {

// What the computations need beyond the limits of each value: a hub inside the rotor,
// enough chord, twist and airfoil points in order, and a usable pitch range. Throws
// the first problem found.
void checkForComputation(const ProjectData& project);

// What one computation needs beyond checkForComputation: enough elements and a chord
// limit to design, a characteristics range of a usable size.
void checkCommandSettings(Computation computation, const ProjectData& project);

// Opens an airfoil data file by its path: a stream the caller deletes, or null when the
// file cannot be read.
using AirfoilFileOpener = std::function<std::istream*(std::string)>;
// Files read from disk and decoded as the desktop program reads them (byte-order marks,
// UTF-16, Latin-1), so that one project gives one result.
AirfoilFileOpener diskFiles();

// The input record of the core, with the project's airfoil segments built (which may run
// XFOIL analyses: progress is reported, possibly from several threads, and interrupted
// is polled to stop them). Throws the builder's messages (ordering, unreadable files,
// XFOIL failures, "The Xfoil preprocessing has been aborted.").
bemt::InputDataSet computationInput(const ProjectData& project,
                                    const std::function<void(int, const std::string&)>& progress,
                                    const std::function<bool()>& interrupted,
                                    const AirfoilFileOpener& openFile = diskFiles());

}  // namespace korvane
