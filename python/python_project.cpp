#include "python/python_project.h"

#include <sstream>

namespace korvane::python {

AirfoilFileOpener PythonProject::opener() const {
    return [memory = memory, disk = diskFiles()](std::string path) -> std::istream* {
        const auto held = memory.find(path);
        if (held != memory.end()) return new std::istringstream(held->second);
        return disk(std::move(path));
    };
}

}  // namespace korvane::python
