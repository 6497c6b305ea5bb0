#include "cli/output_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/text_file.h"

namespace korvane::cli {

namespace fs = std::filesystem;

namespace {

fs::path fromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(fromUtf8(a), fromUtf8(b), error) && !error) return true;
    const fs::path left = fs::weakly_canonical(fromUtf8(a), error);
    if (error) return false;
    const fs::path right = fs::weakly_canonical(fromUtf8(b), error);
    return !error && left == right;
}

// Removes the temporary folder of a file set however the writing ended.
class TemporaryFolder {
public:
    explicit TemporaryFolder(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(fromUtf8(m_path), ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace

void refuseInputsAsOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) {
    for (const std::string& output : outputs) {
        for (const std::string& input : inputs) {
            if (!input.empty() && sameFile(output, input))
                throw "The output file " + output + " is the input file " + input +
                      "; writing it would destroy the input. Choose another name.";
        }
    }
}

WrittenFile writeOutputFile(const std::string& path, const std::string& text) {
    return {path, writeFileExplained(path, text) == WriteOutcome::Replaced};
}

std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files) {
    const fs::path dir = fromUtf8(folder);
    std::error_code error;
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir))
        throw "The folder " + folder + " could not be created" + (error ? ": " + error.message() : std::string()) + ".";
    removeStaleTemporaries(folder);

    const TemporaryFolder staging(makeTemporaryFolder(folder, "korvane-csv"));
    for (const auto& [name, text] : files) {
        try {
            writeFileExplained(toUtf8(fromUtf8(staging.path()) / name), text);
        } catch (const std::string& message) {
            // The reason, but with the name the user asked for.
            const std::string path = toUtf8(dir / name);
            const auto colon = message.find(" could not be written: ");
            throw "The file " + path + (colon == std::string::npos ? " could not be written." : message.substr(colon));
        }
    }

    // What would stop a move is found before anything is moved.
    for (const auto& file : files) {
        if (fs::is_directory(dir / file.first, error))
            throw "The file " + toUtf8(dir / file.first) + " could not be written: it is a folder.";
    }
    std::vector<WrittenFile> written;
    for (const auto& [name, text] : files) {
        const fs::path target = dir / name;
        const bool existed = fs::exists(target, error);
        if (::rename(toUtf8(fromUtf8(staging.path()) / name).c_str(), toUtf8(target).c_str()) != 0)
            throw "The file " + toUtf8(target) + " could not be written: " + std::strerror(errno) + ".";
        written.push_back({toUtf8(target), existed});
    }
    return written;
}

}  // namespace korvane::cli
