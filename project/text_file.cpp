#include "project/text_file.h"

#include <filesystem>

namespace korvane {

namespace fs = std::filesystem;

fs::path pathFromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string utf8OfPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
}  // namespace korvane
