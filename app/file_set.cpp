#include "app/file_set.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/text_file.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

// Removes the temporary folder of a file set however the writing ended.
class TemporaryFolder {
public:
    explicit TemporaryFolder(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(pathFromUtf8(m_path), ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string cannotWrite(const fs::path& target, const std::string& reason) {
    return "The file " + utf8OfPath(target) + " could not be written: " + reason + ".";
}

}  // namespace

std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files,
                                      const std::string& stagingName) {
    std::vector<std::pair<std::string, TextProducer>> produced;
    produced.reserve(files.size());
    for (const auto& [name, text] : files)
        produced.emplace_back(name, [&text = text](std::ostream& out) { out << text; });
    return writeFileSet(folder, produced, stagingName);
}

std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, TextProducer>>& files,
                                      const std::string& stagingName) {
    const fs::path dir = pathFromUtf8(folder);
    std::error_code error;
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir))
        throw "The folder " + folder + " could not be created" + (error ? ": " + error.message() : std::string()) + ".";
    removeStaleTemporaries(folder);

    const TemporaryFolder staging(makeTemporaryFolder(folder, stagingName));
    const fs::path stage = pathFromUtf8(staging.path());
    for (const auto& [name, produce] : files) {
        const fs::path staged = stage / pathFromUtf8(name);
        try {
            fs::create_directories(staged.parent_path(), error);
            writeFileExplained(utf8OfPath(staged), produce);
        } catch (const std::string& message) {
            // The reason, but with the name the user asked for.
            const auto colon = message.find(" could not be written: ");
            throw "The file " + utf8OfPath(dir / pathFromUtf8(name)) +
                (colon == std::string::npos ? " could not be written." : message.substr(colon));
        }
    }

    // What would stop a move is found before anything is moved: a folder in a file's
    // place, or a file in the place of a subfolder.
    for (const auto& file : files) {
        const fs::path target = dir / pathFromUtf8(file.first);
        if (fs::is_directory(target, error)) throw cannotWrite(target, "it is a folder");
        for (fs::path parent = target.parent_path(); parent != dir && parent.has_relative_path();
             parent = parent.parent_path()) {
            if (fs::exists(parent, error) && !fs::is_directory(parent, error))
                throw cannotWrite(target, utf8OfPath(parent) + " is not a folder");
        }
    }
    std::vector<WrittenFile> written;
    for (const auto& file : files) {
        const std::string& name = file.first;
        const fs::path target = dir / pathFromUtf8(name);
        fs::create_directories(target.parent_path(), error);
        const bool existed = fs::exists(target, error);
        if (std::rename(utf8OfPath(stage / pathFromUtf8(name)).c_str(), utf8OfPath(target).c_str()) != 0)
            throw cannotWrite(target, std::strerror(errno));
        written.push_back({utf8OfPath(target), existed});
    }
    return written;
}

}  // namespace korvane
