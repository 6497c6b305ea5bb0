#pragma once
// The project as the Python module holds it: the project's record, the path it was read
// from or saved to, and airfoil data held in memory (polars given as arrays, and the
// files of a project sent to a study's workers), read before any file of that path.

#include <map>
#include <string>

#include "project/computation_input.h"
#include "project/project_data.h"

namespace korvane::python {

struct PythonProject {
    ProjectData data;
    std::string path;                           // empty until loaded or saved
    std::map<std::string, std::string> memory;  // airfoil data path -> text

    // The path the codec resolves airfoil paths against: the project's, or an unsaved
    // project's in the working folder.
    std::string codecPath() const;
    // Reads memory first, then the disk.
    AirfoilFileOpener opener() const;
};

}  // namespace korvane::python
