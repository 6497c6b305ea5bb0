#include "python/python_project.h"

#include <filesystem>
#include <sstream>

#include "project/text_file.h"

namespace korvane::python {

std::string PythonProject::codecPath() const {
    if (!path.empty()) return path;
    return utf8OfPath(std::filesystem::current_path() / "untitled.kvp");
}

AirfoilFileOpener PythonProject::opener() const {
    return [memory = memory, disk = diskFiles()](std::string path) -> std::istream* {
        const auto held = memory.find(path);
        if (held != memory.end()) return new std::istringstream(held->second);
        return disk(std::move(path));
    };
}

}  // namespace korvane::python
