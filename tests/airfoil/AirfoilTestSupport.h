#pragma once
// Helpers shared by the airfoil tests: temporary files and directories, the fake
// adapter under a chosen behaviour, and the shipped example airfoils.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bemt/XfoilCommunicator.h"

namespace korvane::testing {

namespace fs = std::filesystem;

// A directory removed with its contents at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "korvane-airfoil.XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }
    fs::path write(const std::string& name, const std::string& text) const {
        const fs::path file = m_path / name;
        std::ofstream(file) << text;
        return file;
    }

private:
    fs::path m_path;
};

// The fake adapter started under the name of one of its behaviours (see the fake).
inline fs::path fakeAdapter(const TempDir& dir, const std::string& mode) {
    const fs::path link = dir.path() / mode;
    if (!fs::exists(link)) fs::create_symlink(KORVANE_FAKE_XFOIL_CORE, link);
    return link;
}

// Everything the fake adapter read, line by line.
inline std::vector<std::string> fakeLog(const fs::path& adapter) {
    std::ifstream file(adapter.string() + ".log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

inline bemt::XfoilCommunicator::Settings fakeChannel(const fs::path& adapter,
                                                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    bemt::XfoilCommunicator::Settings settings;
    settings.program = adapter;
    settings.answerTimeout = timeout;
    return settings;
}

inline std::string exampleAirfoil(const std::string& name) {
    return std::string(KORVANE_EXAMPLE_AIRFOILS) + "/" + name;
}

inline std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace korvane::testing
