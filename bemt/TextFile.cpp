#include "bemt/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "bemt/Error.h"

namespace bemt {

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

// Closes the descriptor it holds.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
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
    if (path.empty()) throw bemt::Error("No file name has been provided.");
    const std::string unreadable = "The file " + path + " could not be opened";
    // Without blocking, so that a pipe without a writer is refused instead of waited
    // for; the type is then taken from what was opened, not from an earlier look.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        throw bemt::Error(unreadable + ": " + std::strerror(errno) + ".");
    if (S_ISDIR(status.st_mode)) throw bemt::Error(unreadable + ": it is a folder.");
    // A device or a pipe would be read for ever, or block before the first byte.
    if (!S_ISREG(status.st_mode)) throw bemt::Error(unreadable + ": it is not a regular file.");
    const std::string tooLarge = unreadable + ": it holds more than " + std::to_string(kMaxTextFileBytes >> 20) +
                                 " MiB, more than a text input may.";
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxTextFileBytes) throw bemt::Error(tooLarge);
    // The size is not trusted: a file may grow while it is read, or report none at all.
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw bemt::Error(unreadable + ": " + std::strerror(errno) + ".");
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxTextFileBytes) throw bemt::Error(tooLarge);
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return decodeText(bytes);
}

std::istream* openTextStream(const std::string& path) { return new std::istringstream(readTextFile(path)); }

std::filesystem::path physicalPath(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) return path;
    const fs::path name = absolute.filename();
    const bool folderOnly = name.empty() || name == "." || name == "..";
    const fs::path resolved = fs::weakly_canonical(folderOnly ? absolute : absolute.parent_path(), error);
    if (error) return absolute.lexically_normal();
    return folderOnly ? resolved : resolved / name;
}

}  // namespace bemt
