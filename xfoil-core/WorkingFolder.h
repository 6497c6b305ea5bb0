#pragma once
// The adapter's working directory, where XFOIL reads its defaults and writes its
// boundary-layer files. It lies in a folder that only the user can enter:
// $XDG_RUNTIME_DIR/xfoil-core, or a per-user 0700 folder under the temporary
// directory, so that other local users can neither see nor plant entries in it. The
// directories of adapters that were killed outright are removed by the next adapter.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace xfoilcore {

class WorkingFolder {
public:
    // Creates "<pid>.XXXXXX" in the private folder (removing orphans first). When no
    // private folder can be had, path() is empty and reason() says why.
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    const std::string& reason() const { return m_reason; }

    // The private folder for the user: $XDG_RUNTIME_DIR/xfoil-core when the runtime
    // directory is usable, else "<temp>/xfoil-core-<uid>", created 0700 when missing.
    // A folder that is a symbolic link, belongs to someone else or is open to others is
    // refused. Empty on failure, with the reason in `reason`.
    static std::filesystem::path privateFolder(const char* runtimeDir, const std::filesystem::path& temp, uid_t uid,
                                               std::string& reason);

    // The adapter process id in a working directory name "<pid>.<anything>"; empty for
    // any other name, including numbers that are no valid process id.
    static std::optional<pid_t> ownerPid(std::string_view name);

    // Removes the working directories in folder whose adapter no longer runs; leaves
    // every entry whose name it does not recognise alone. Never throws.
    static void removeOrphans(const std::filesystem::path& folder) noexcept;

private:
    std::filesystem::path m_path;
    std::string m_reason;
};

}  // namespace xfoilcore
