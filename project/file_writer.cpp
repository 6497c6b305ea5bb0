#include "project/file_writer.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <streambuf>
#include <system_error>
#include <utility>

#include "bemt/Error.h"
#include "project/temporary_folder.h"
#include "project/text_file.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

// Text is handed to the system in pieces of this size, so that many small writes of a
// streamed document cost few system calls.
constexpr std::size_t kBufferSize = 1 << 16;

enum class Kind { Missing, Regular, Special, Descriptor };

struct Target {
    fs::path file;
    Kind kind = Kind::Missing;
    struct stat info {};
};

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Files of the kernel's own file systems are regular in name only: they cannot be
// replaced, only written.
bool onKernelFileSystem(const fs::path& folder) {
    struct statfs info {};
    return ::statfs(folder.c_str(), &info) == 0 &&
           (info.f_type == PROC_SUPER_MAGIC || info.f_type == static_cast<decltype(info.f_type)>(SYSFS_MAGIC));
}

// Follows path link by link to what it names. A link into this process's descriptor
// folder (/dev/stdout, /dev/fd/63 of a shell's ">(...)") stops there: that names an
// open descriptor, not a file to replace. Throws the reason as a std::string.
Target resolve(const fs::path& path) {
    std::error_code error;
    fs::path current = fs::absolute(path, error);
    if (error) throw bemt::Error(error.message());
    const fs::path descriptors = fs::path("/proc") / std::to_string(::getpid()) / "fd";
    for (int hop = 0; hop < 40; ++hop) {
        const fs::path name = current.filename();
        if (name.empty() || name == "." || name == "..")
            throw bemt::Error(fs::is_directory(current, error) ? "it is a folder" : "it names no file");
        const fs::path folder = fs::canonical(current.parent_path(), error);
        if (error) throw bemt::Error(error.message());
        Target target{folder / name};
        if (folder == descriptors && isNumber(name.string())) {
            target.kind = Kind::Descriptor;
            return target;
        }
        if (::lstat(target.file.c_str(), &target.info) != 0) {
            if (errno == ENOENT) return target;
            throw bemt::Error(std::strerror(errno));
        }
        if (S_ISLNK(target.info.st_mode)) {
            const fs::path link = fs::read_symlink(target.file, error);
            if (error) throw bemt::Error(error.message());
            current = folder / link;  // an absolute link replaces the folder
            continue;
        }
        if (S_ISDIR(target.info.st_mode)) throw bemt::Error("it is a folder");
        target.kind = S_ISREG(target.info.st_mode) && !onKernelFileSystem(folder) ? Kind::Regular : Kind::Special;
        return target;
    }
    throw bemt::Error(std::strerror(ELOOP));
}

// Makes a rename durable; a failure here no longer endangers either file.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileWriter::FileWriter(const std::string& path)
    : m_path(path), m_ownTemporaries(std::make_unique<TemporaryFolders>()) {
    open(*m_ownTemporaries);
}

FileWriter::FileWriter(const std::string& path, TemporaryFolders& temporaries) : m_path(path) { open(temporaries); }

void FileWriter::open(TemporaryFolders& temporaries) {
    if (m_path.empty()) throw bemt::Error("No file name has been provided.");
    m_temporaries = &temporaries;
    Target target;
    try {
        target = resolve(pathFromUtf8(m_path));
    } catch (const bemt::Error& error) {
        throw bemt::Error(failure(error.message()));
    }
    m_target = target.file;
    switch (target.kind) {
    case Kind::Descriptor:
        m_inPlace = true;
        m_fd = ::fcntl(std::stoi(m_target.filename().string()), F_DUPFD_CLOEXEC, 0);
        break;
    case Kind::Special:
        m_inPlace = true;
        do {
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        } while (m_fd < 0 && errno == EINTR);
        break;
    case Kind::Regular:
        m_existed = true;
        m_mode = target.info.st_mode & 07777;
        m_owner = target.info.st_uid;
        m_group = target.info.st_gid;
        [[fallthrough]];
    case Kind::Missing:
        try {
            m_temporary = temporaries.newFile(m_target.parent_path());
        } catch (const std::system_error& error) {
            throw bemt::Error(failure(error.code().value()));
        }
        // The mode 0666 lets the umask apply to a new file.
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        break;
    }
    if (m_fd < 0) throw bemt::Error(failure(errno));
}

FileWriter::~FileWriter() {
    if (m_fd >= 0) ::close(m_fd);
    // An unfinished temporary file goes with its temporary folder.
}

std::string FileWriter::failure(const std::string& reason) const {
    return "The file " + m_path + " could not be written: " + reason + ".";
}

std::string FileWriter::failure(int error) const { return failure(std::strerror(error)); }

void FileWriter::write(std::string_view text) {
    m_buffer.append(text);
    if (m_buffer.size() >= kBufferSize) flushBuffer();
}

void FileWriter::flushBuffer() {
    if (m_fd < 0) throw bemt::Error(failure("it is closed already"));
    const char* data = m_buffer.data();
    std::size_t left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw bemt::Error(failure(n < 0 ? errno : ENOSPC));
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

void FileWriter::finish() {
    if (m_fd < 0) return;
    flushBuffer();
    int error = 0;
    if (!m_inPlace) {
        if (m_existed) {
            // Ownership can only be kept where the system allows it (as root, or the
            // group for a member); the permissions always are.
            if (::fchown(m_fd, m_owner, m_group) != 0 && errno != EPERM) error = errno;
            if (error == 0 && ::fchmod(m_fd, m_mode) != 0) error = errno;
        }
        if (error == 0 && ::fsync(m_fd) != 0) error = errno;
    }
    if (::close(std::exchange(m_fd, -1)) != 0 && error == 0) error = errno;
    if (error != 0) throw bemt::Error(failure(error));
}

void FileWriter::checkReplaceable() const {
    if (m_inPlace) return;
    struct stat target {};
    const bool exists = ::lstat(m_target.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) throw bemt::Error(failure("it is a folder"));
    const fs::path folder = m_target.parent_path();
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) throw bemt::Error(failure(errno));
    // In a sticky folder (such as /tmp) only a file's owner may replace it.
    struct stat parent {};
    const uid_t me = ::geteuid();
    if (exists && me != 0 && ::stat(folder.c_str(), &parent) == 0 && (parent.st_mode & S_ISVTX) &&
        target.st_uid != me && parent.st_uid != me)
        throw bemt::Error(failure("it belongs to another user, in a folder where only the owner may replace a file"));
}

void FileWriter::moveIntoPlace(bool keepPrevious) {
    if (m_moved) return;
    if (!m_inPlace) {
        if (keepPrevious && m_existed) {
            try {
                m_previous = m_temporaries->newFile(m_target.parent_path());
            } catch (const std::system_error& error) {
                throw bemt::Error(failure(error.code().value()));
            }
            // A second link keeps the previous file in place until the rename; where
            // links are not possible it is moved aside instead.
            if (::link(m_target.c_str(), m_previous.c_str()) != 0) {
                if (errno == ENOENT) {
                    m_previous.clear();  // gone meanwhile: nothing to keep
                } else if (::rename(m_target.c_str(), m_previous.c_str()) == 0) {
                    m_previousMoved = true;
                } else {
                    throw bemt::Error(failure(errno));
                }
            }
        }
        if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
            const int error = errno;
            if (m_previousMoved) ::rename(m_previous.c_str(), m_target.c_str());
            throw bemt::Error(failure(error));
        }
        syncFolder(m_target.parent_path());
    }
    m_moved = true;
}

void FileWriter::putBack() {
    if (!m_moved || m_inPlace) return;
    if (!m_previous.empty()) {
        ::rename(m_previous.c_str(), m_target.c_str());
    } else {
        ::unlink(m_target.c_str());
    }
    m_moved = false;
}

WriteOutcome FileWriter::commit() {
    finish();
    moveIntoPlace(false);
    return outcome();
}

WriteOutcome FileWriter::outcome() const {
    if (m_inPlace) return WriteOutcome::Written;
    return m_existed ? WriteOutcome::Replaced : WriteOutcome::Created;
}

namespace {

// A stream buffer that hands what is written to a FileWriter in pieces of its own size.
class WriterBuffer : public std::streambuf {
public:
    explicit WriterBuffer(FileWriter& file) : m_file(file) { setp(m_space, m_space + sizeof m_space); }
    ~WriterBuffer() override = default;

protected:
    int_type overflow(int_type c) override {
        flushSpace();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        flushSpace();
        return 0;
    }

private:
    void flushSpace() {
        m_file.write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        setp(m_space, m_space + sizeof m_space);
    }

    FileWriter& m_file;
    char m_space[4096];
};

}  // namespace

void produceInto(FileWriter& file, const TextProducer& produce) {
    WriterBuffer buffer(file);
    std::ostream out(&buffer);
    // A failed write throws FileWriter's message, which the stream then rethrows as is.
    out.exceptions(std::ios::badbit);
    produce(out);
    out.flush();
}

fs::path writtenFile(const std::string& path) {
    try {
        return resolve(pathFromUtf8(path)).file;
    } catch (const bemt::Error&) {
        return pathFromUtf8(path);
    }
}

WriteOutcome writeTextFile(const std::string& path, const TextProducer& produce) {
    FileWriter file(path);
    produceInto(file, produce);
    return file.commit();
}

WriteOutcome writeTextFile(const std::string& path, std::string_view content) {
    FileWriter file(path);
    file.write(content);
    return file.commit();
}

}  // namespace korvane
