#include "project/temporary_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

namespace {

constexpr char kPrefix[] = ".korvane-";
constexpr char kMarker[] = ".korvane-temporary";
constexpr char kMarkerHeader[] = "Korvane temporary folder";

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "unknown";
    return name;
}

std::string markerText(long pid) {
    return std::string(kMarkerHeader) + "\nhost " + hostName() + "\nprocess " + std::to_string(pid) + "\n";
}

// ".korvane-<8 hex digits>.tmp"
bool isOurName(const std::string& name) {
    const std::size_t prefix = sizeof kPrefix - 1;
    if (name.size() != prefix + 12 || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    for (std::size_t i = prefix; i < prefix + 8; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

bool ownedByUs(const fs::path& path, mode_t type) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type && info.st_uid == ::geteuid();
}

std::string contentOf(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return {};
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// A folder of ours whose process has ended: the marker names this host and a process
// that no longer exists. A process that still runs keeps its folder.
bool isStale(const fs::path& folder) {
    const fs::path marker = folder / kMarker;
    if (!ownedByUs(folder, S_IFDIR) || !ownedByUs(marker, S_IFREG)) return false;
    const std::string text = contentOf(marker);
    const std::string ours = markerText(0);
    const std::size_t processAt = ours.rfind("process ");
    if (text.compare(0, processAt + 8, ours, 0, processAt + 8) != 0) return false;
    char* end = nullptr;
    const long pid = std::strtol(text.c_str() + processAt + 8, &end, 10);
    if (pid <= 0 || *end != '\n') return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// The files directly in folder, then the folder itself; anything else in it (a folder
// someone put there) stays, and so does the folder then.
void removeFlatFolder(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator(); it.increment(error)) {
        if (!it->is_directory(error)) ::unlink(it->path().c_str());
    }
    ::rmdir(folder.c_str());
}

}  // namespace

void removeStaleTemporaries(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (isOurName(path.filename().string()) && isStale(path)) removeFlatFolder(path);
    }
}

TemporaryFolder::TemporaryFolder(const fs::path& folder) {
    const fs::path parent = folder.empty() ? fs::path(".") : folder;
    removeStaleTemporaries(parent);
    auto failed = [](int error) { return std::system_error(error, std::generic_category()); };
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%08x.tmp", kPrefix, static_cast<unsigned>(random()));
        if (::mkdir((parent / name).c_str(), 0700) == 0) {
            m_path = parent / name;
        } else if (errno != EEXIST) {
            throw failed(errno);
        }
    }
    if (m_path.empty()) throw failed(EEXIST);
    const std::string text = markerText(::getpid());
    const int fd = ::open((m_path / kMarker).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int error = errno;
    if (fd >= 0) ::close(fd);
    if (!written) {
        removeFlatFolder(m_path);
        throw failed(error);
    }
}

TemporaryFolder::~TemporaryFolder() { removeFlatFolder(m_path); }

fs::path TemporaryFolder::newFile() { return m_path / std::to_string(++m_files); }

fs::path TemporaryFolders::newFile(const fs::path& folder) {
    auto& temporary = m_folders[folder];
    if (!temporary) temporary = std::make_unique<TemporaryFolder>(folder);
    return temporary->newFile();
}

}  // namespace korvane
