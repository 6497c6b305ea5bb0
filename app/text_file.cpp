#include "app/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <random>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace korvane {

namespace fs = std::filesystem;

fs::path pathFromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string utf8OfPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;  // not a character
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool startsWith(const std::string& s, std::initializer_list<unsigned char> prefix) {
    if (s.size() < prefix.size()) return false;
    std::size_t i = 0;
    for (unsigned char c : prefix) {
        if (static_cast<unsigned char>(s[i++]) != c) return false;
    }
    return true;
}

std::string fromUtf16(const std::string& bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string fromUtf32(const std::string& bytes, bool bigEndian) {
    std::string out;
    for (std::size_t i = 4; i + 3 < bytes.size(); i += 4) {
        char32_t c = 0;
        for (int k = 0; k < 4; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
            c = (c << 8) | b;
        }
        appendUtf8(out, c);
    }
    return out;
}

bool isValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int more = 0;
        char32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= s.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (value < smallest[more] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

std::string fromLatin1(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

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

// A stream buffer writing into a file descriptor, which keeps the first error (errno)
// instead of throwing, so that the writer can report it with the file's name.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) { setp(m_buffer, m_buffer + sizeof m_buffer); }
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const char* data = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        while (m_error == 0 && left > 0) {
            const ssize_t n = ::write(m_fd, data, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : ENOSPC;
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        setp(m_buffer, m_buffer + sizeof m_buffer);
        return m_error == 0;
    }

    int m_fd;
    int m_error = 0;
    char m_buffer[1 << 16];
};

}  // namespace

std::string decodeText(const std::string& bytes) {
    // The UTF-32 little-endian mark starts with the UTF-16 one, so it is tested first.
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) return bytes.substr(3);
    if (startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00})) return fromUtf32(bytes, false);
    if (startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) return fromUtf32(bytes, true);
    if (startsWith(bytes, {0xFF, 0xFE})) return fromUtf16(bytes, false);
    if (startsWith(bytes, {0xFE, 0xFF})) return fromUtf16(bytes, true);
    if (isValidUtf8(bytes)) return bytes;
    return fromLatin1(bytes);
}

std::string readTextFile(const std::string& path) {
    if (path.empty()) throw std::string("No file name has been provided.");
    const fs::path file = pathFromUtf8(path);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (fs::is_directory(status)) throw "The file " + path + " could not be opened.";
    // A device or a pipe would be read for ever, or block before the first byte.
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw "The file " + path + " could not be opened: it is not a regular file.";
    std::ifstream in(file, std::ios::binary);
    if (!in) throw "The file " + path + " could not be opened.";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw "The file " + path + " could not be opened.";
    return decodeText(bytes.str());
}

std::istream* openTextStream(const std::string& path) { return new std::istringstream(readTextFile(path)); }

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
    return writeFileExplained(path, [&content](std::ostream& out) { out << content; });
}

WriteOutcome writeFileExplained(const std::string& path, const TextProducer& produce) {
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
    if (reason == 0) {
        // The content is written as it is produced; whatever stops the producer (an
        // allocation failure, say) leaves no temporary behind.
        DescriptorBuffer buffer(fd);
        std::ostream out(&buffer);
        try {
            produce(out);
        } catch (...) {
            ::close(fd);
            ::unlink(temporary.c_str());
            throw;
        }
        out.flush();
        reason = buffer.error();
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
