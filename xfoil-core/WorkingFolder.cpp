#include "WorkingFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace xfoilcore {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRuntimeSubfolder = "xfoil-core";
constexpr const char* kTempPrefix = "xfoil-core-";

// A real directory (not a link to one) of uid that nobody else may enter or change.
bool isPrivateDirectory(const fs::path& path, uid_t uid, std::string& reason) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        reason = path.string() + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        reason = path.string() + " is not a directory";
        return false;
    }
    if (info.st_uid != uid) {
        reason = path.string() + " belongs to another user";
        return false;
    }
    if ((info.st_mode & 077) != 0) {
        reason = path.string() + " is open to other users";
        return false;
    }
    return true;
}

// The folder at path, created 0700 when it does not exist yet, if it is private.
bool privateSubfolder(const fs::path& path, uid_t uid, std::string& reason) {
    if (::mkdir(path.c_str(), 0700) == 0) {
        ::chmod(path.c_str(), 0700);  // whatever the umask left
    } else if (errno != EEXIST) {
        reason = path.string() + ": " + std::strerror(errno);
        return false;
    }
    return isPrivateDirectory(path, uid, reason);
}

fs::path temporaryDirectory() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    return ec ? fs::path("/tmp") : temp;
}

}  // namespace

WorkingFolder::WorkingFolder() {
    std::string reason;
    const fs::path folder = privateFolder(std::getenv("XDG_RUNTIME_DIR"), temporaryDirectory(), ::getuid(), reason);
    if (folder.empty()) {
        m_reason = "no private working folder (" + reason + ")";
        return;
    }
    removeOrphans(folder);
    std::string pattern = (folder / (std::to_string(::getpid()) + ".XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_reason = "no working directory in " + folder.string() + " (" + std::strerror(errno) + ")";
        return;
    }
    m_path = pattern;
}

WorkingFolder::~WorkingFolder() {
    std::error_code ec;
    if (!m_path.empty()) fs::remove_all(m_path, ec);
}

fs::path WorkingFolder::privateFolder(const char* runtimeDir, const fs::path& temp, uid_t uid, std::string& reason) {
    if (runtimeDir != nullptr && *runtimeDir == '/') {
        std::string ignored;
        const fs::path runtime(runtimeDir);
        if (isPrivateDirectory(runtime, uid, ignored) &&
            privateSubfolder(runtime / kRuntimeSubfolder, uid, ignored)) {
            return runtime / kRuntimeSubfolder;
        }
    }
    const fs::path perUser = temp / (kTempPrefix + std::to_string(uid));
    if (privateSubfolder(perUser, uid, reason)) return perUser;
    return {};
}

std::optional<pid_t> WorkingFolder::ownerPid(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == name.size()) return std::nullopt;
    long long pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dot, pid);
    if (error != std::errc() || end != name.data() + dot || pid <= 0 || pid > INT_MAX) return std::nullopt;
    return static_cast<pid_t>(pid);
}

void WorkingFolder::removeOrphans(const fs::path& folder) noexcept {
    try {
        std::error_code ec;
        fs::directory_iterator entries(folder, ec);
        for (; !ec && entries != fs::directory_iterator(); entries.increment(ec)) {
            const fs::path& entry = entries->path();
            const auto pid = ownerPid(entry.filename().string());
            if (!pid || *pid == ::getpid()) continue;
            std::error_code statusError;
            if (!fs::is_directory(fs::symlink_status(entry, statusError))) continue;
            if (::kill(*pid, 0) != 0 && errno == ESRCH) {
                std::error_code removeError;
                fs::remove_all(entry, removeError);
            }
        }
    } catch (...) {
        // Clean-up is a courtesy: whatever goes wrong here must not stop an analysis.
    }
}

}  // namespace xfoilcore
