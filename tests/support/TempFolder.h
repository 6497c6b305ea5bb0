#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes. Shared by the tests that write files.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace korvane::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("korvane-test-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The UTF-8 path of a name inside the folder.
    std::string file(const std::string& name) const {
        const std::u8string text = (m_path / std::u8string(name.begin(), name.end())).u8string();
        return std::string(text.begin(), text.end());
    }

private:
    std::filesystem::path m_path;
};

inline std::filesystem::path utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(utf8Path(path), std::ios::binary);
    out << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(utf8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace korvane::testing
