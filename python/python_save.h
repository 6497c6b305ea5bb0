#pragma once
// Project.save: the project file and the polars held in memory, written beside it as
// NAME.airfoil-K.csv (K the airfoil point's number), as one set: every file or none, and
// the project unchanged when the save fails. No file of the user's is replaced: an
// existing NAME.airfoil-K.csv only when it holds the new text already or when the project
// file being replaced names it among its airfoil files (saving again where it was saved).

#include <string>

#include "python/python_project.h"

namespace korvane::python {

// The project saved at path (made absolute, and the project's path from then on): its
// polars in memory become files, its airfoil points name them. Returns "Created",
// "Replaced" or "Wrote" (a device, in place). Throws bemt::Error, writing nothing.
std::string saveProject(PythonProject& project, const std::string& path);

}  // namespace korvane::python
