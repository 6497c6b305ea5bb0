#pragma once
// Helpers shared by the airfoil tests: temporary files and directories, the fake
// adapter under a chosen behaviour, the shipped example airfoils, the error messages.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "TempFolder.h"
#include "bemt/ErrorOf.h"
#include "bemt/XfoilCommunicator.h"

namespace korvane::testing {

namespace fs = std::filesystem;

// A folder removed with its contents at the end of the test, where tests write files.
class TempDir : public TempFolder {
public:
    fs::path write(const std::string& name, const std::string& text) const {
        const fs::path file = path() / name;
        std::ofstream(file) << text;
        return file;
    }
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

// Processes whose parent is `parent` and whose command name is `name`.
inline std::vector<pid_t> childProcesses(pid_t parent, const std::string& name) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const auto open = text.find('('), close = text.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(text.substr(close + 2));
        char state = 0;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != 'Z' && text.substr(open + 1, close - open - 1) == name) {
            found.push_back(std::stoi(pid));
        }
    }
    return found;
}

// True while the process exists and is not a zombie.
inline bool processAlive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return false;
    const auto close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}

}  // namespace korvane::testing
