#pragma once
// Korvane's own temporary folders. A file is written into a hidden folder
// ".korvane-<8 hex digits>.tmp" beside its target and renamed into place when complete.
// The folder holds a marker file naming the host and the process that made it, so that
// a clean-up can prove a folder is ours: a run that was killed leaves its folder behind,
// and the next write into the same folder removes it. Only folders with that name and
// marker, owned by this user, made on this host by a process that no longer runs, are
// removed, and of them only the files directly inside: nothing is removed recursively.

#include <filesystem>
#include <map>
#include <memory>

namespace korvane {

class TemporaryFolder {
public:
    // Creates the folder inside folder, after removing stale ones there. Throws
    // std::system_error with the reason.
    explicit TemporaryFolder(const std::filesystem::path& folder);
    // Removes the folder with the files in it.
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // A path in the folder that was not handed out before.
    std::filesystem::path newFile();

private:
    std::filesystem::path m_path;
    int m_files = 0;
};

// The temporary folders of the files written together, one per folder written into,
// each made when first needed (a rename cannot cross file systems, so a temporary file
// lives beside its target).
class TemporaryFolders {
public:
    std::filesystem::path newFile(const std::filesystem::path& folder);

private:
    std::map<std::filesystem::path, std::unique_ptr<TemporaryFolder>> m_folders;
};

// Removes the folders that killed runs left in folder (see above); every write calls it.
void removeStaleTemporaries(const std::filesystem::path& folder);

}  // namespace korvane
