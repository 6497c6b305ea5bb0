#include "python/python_save.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "bemt/Error.h"
#include "project/file_set.h"
#include "project/input_files.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::python {

namespace fs = std::filesystem;

namespace {

struct SideFile {
    std::string path;
    std::string text;
};

// The airfoil data files named by the project file at path, when one can be read there.
std::vector<std::string> filesOfProjectAt(const std::string& path) {
    try {
        return inputFiles("", kvp::read(readTextFile(path), path));
    } catch (const bemt::Error&) {
        return {};
    }
}

bool holds(const std::string& path, const std::string& text) {
    try {
        return readTextFile(path) == text;
    } catch (const bemt::Error&) {
        return false;
    }
}

// The polars go beside a regular file: not into /dev beside a device, nor beside a pipe.
void refuseSpecialTarget(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(pathFromUtf8(path), error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw bemt::Error("The project's polars are written beside its file, and " + path +
                          " is not a regular file. Save it to a file.");
}

void refuseForeignFiles(const std::string& path, const std::vector<SideFile>& sides) {
    const std::vector<std::string> ours = filesOfProjectAt(path);
    for (const SideFile& side : sides) {
        std::error_code error;
        if (!fs::exists(fs::symlink_status(pathFromUtf8(side.path), error))) continue;
        const bool named = std::any_of(ours.begin(), ours.end(),
                                       [&](const std::string& file) { return sameFile(file, side.path); });
        if (!named && !holds(side.path, side.text))
            throw bemt::Error("The file " + side.path +
                              " exists and is not one of this project's files; saving would replace it. "
                              "Choose another name.");
    }
}

const char* outcomeName(WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::Created: return "Created";
        case WriteOutcome::Replaced: return "Replaced";
        case WriteOutcome::Written: break;
    }
    return "Wrote";
}

}  // namespace

std::string saveProject(PythonProject& project, const std::string& given) {
    const fs::path target = fs::absolute(pathFromUtf8(given));
    const std::string path = utf8OfPath(target);
    const std::string stem = utf8OfPath(target.parent_path() / target.stem());
    ProjectData saved = project.data;
    std::vector<SideFile> sides;
    for (std::size_t k = 0; k < saved.airfoilPoints.size(); ++k) {
        bemt::AirfoilPoint& point = saved.airfoilPoints[k];
        const auto held = project.memory.find(point.path);
        if (held == project.memory.end()) continue;
        point.path = stem + ".airfoil-" + std::to_string(k + 1) + ".csv";
        sides.push_back({point.path, held->second});
    }
    std::vector<std::string> outputs{path};
    for (const SideFile& side : sides) outputs.push_back(side.path);
    refuseInputsAsOutputs(outputs, inputFiles("", project.data));
    if (!sides.empty()) {
        refuseSpecialTarget(path);
        refuseForeignFiles(path, sides);
    }
    std::vector<std::pair<std::string, std::string>> files{{utf8OfPath(target.filename()), kvp::write(saved, path)}};
    for (const SideFile& side : sides) files.emplace_back(utf8OfPath(pathFromUtf8(side.path).filename()), side.text);
    const std::vector<WrittenFile> written = writeFileSet(utf8OfPath(target.parent_path()), files);
    project.data = std::move(saved);
    project.memory.clear();
    project.path = path;
    return outcomeName(written.front().outcome);
}

}  // namespace korvane::python
