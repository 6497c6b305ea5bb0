#include "app/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <random>
#include <filesystem>

namespace korvane {

namespace fs = std::filesystem;

fs::path pathFromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string utf8OfPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

std::string createdMessage(const std::string& path) { return "The file " + path + " could not be created."; }

// The moment this program started: hidden temporaries older than that were left by a
// run that was killed while writing.
const fs::file_time_type kRunStart = fs::file_time_type::clock::now();

// ".<name>.<8 hex digits>.tmp", the names createTemporary gives.
bool isTemporaryName(const std::string& name) {
    constexpr std::size_t kSuffix = 13;  // ".xxxxxxxx.tmp"
    if (name.size() < kSuffix + 2 || name[0] != '.' || name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
    const std::size_t dot = name.size() - kSuffix;
    if (name[dot] != '.') return false;
    for (std::size_t i = dot + 1; i < dot + 9; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

std::string errnoReason(int error) { return std::strerror(error); }

// Creates a new hidden file beside the target, named after it with a random suffix, and
// returns its descriptor (negative on failure, with errno set). The mode 0666 lets the
// umask apply.
int createTemporary(const fs::path& folder, const std::string& name, std::string& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(random()));
        temporary = utf8OfPath(folder / ("." + name + suffix + ".tmp"));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

void removeStaleTemporaries(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator it(pathFromUtf8(folder.empty() ? "." : folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (!isTemporaryName(utf8OfPath(it->path().filename()))) continue;
        std::error_code ignored;
        const auto modified = it->last_write_time(ignored);
        if (ignored || !(modified < kRunStart) || it->is_symlink(ignored)) continue;
        // Someone else's file of the same name pattern that cannot be removed stays.
        fs::remove_all(it->path(), ignored);
    }
}

WriteOutcome writeFileExplained(const std::string& path, const std::string& content) {
    if (path.empty()) throw std::string("No file name has been provided.");
    auto failed = [&path](const std::string& reason) { return "The file " + path + " could not be written: " + reason + "."; };
    fs::path target = pathFromUtf8(path);
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error) target = resolved;
    }
    if (fs::is_directory(target, error)) throw failed("it is a folder");

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    removeStaleTemporaries(utf8OfPath(folder));
    std::string temporary;
    const int fd = createTemporary(folder, utf8OfPath(target.filename()), temporary);
    if (fd < 0) throw failed(errnoReason(errno));

    // A replaced file keeps its permissions; a new one has those the umask gave the
    // temporary file.
    int reason = 0;
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    if (replacing && ::fchmod(fd, existing.st_mode & 07777) != 0) reason = errno;
    const char* data = content.data();
    std::size_t left = content.size();
    while (reason == 0 && left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            reason = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (reason == 0 && ::fsync(fd) != 0) reason = errno;
    if (::close(fd) != 0 && reason == 0) reason = errno;
    if (reason == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) reason = errno;
    if (reason != 0) {
        ::unlink(temporary.c_str());
        throw failed(errnoReason(reason));
    }
    // Make the rename itself durable; a failure here no longer endangers either file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return replacing ? WriteOutcome::Replaced : WriteOutcome::Created;
}

void writeFileAtomically(const std::string& path, const std::string& content) {
    try {
        writeFileExplained(path, content);
    } catch (const std::string&) {
        throw createdMessage(path);
    }
}

std::string makeTemporaryFolder(const std::string& folder, const std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(random()));
        const std::string path = utf8OfPath(pathFromUtf8(folder) / ("." + name + suffix + ".tmp"));
        if (::mkdir(path.c_str(), 0777) == 0) return path;
        if (errno != EEXIST) throw "The folder " + folder + " could not be written: " + errnoReason(errno) + ".";
    }
    throw "The folder " + folder + " could not be written: no free temporary name.";
}

}  // namespace korvane
