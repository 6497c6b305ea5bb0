#include "InputTokens.h"

#include <cctype>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

#include "XfoilProcess.h"

namespace xfoilcore {

namespace {
constexpr std::size_t kMaxToken = 256;
bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

bool InputTokens::fill() {
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n > 0) {
            m_buffer.erase(0, m_position);
            m_position = 0;
            m_buffer.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR && !stopRequested()) continue;
        return false;
    }
}

std::optional<std::string> InputTokens::next() {
    for (;;) {
        while (m_position < m_buffer.size() && isSpace(m_buffer[m_position])) ++m_position;
        if (m_position < m_buffer.size()) break;
        if (!fill()) return std::nullopt;
    }
    std::string token;
    for (;;) {
        while (m_position < m_buffer.size() && !isSpace(m_buffer[m_position])) {
            if (token.size() < kMaxToken) token.push_back(m_buffer[m_position]);
            ++m_position;
        }
        if (m_position < m_buffer.size() || !fill()) return token;
    }
}

bool InputTokens::abandoned() const {
    for (std::size_t i = m_position; i < m_buffer.size(); ++i) {
        if (!isSpace(m_buffer[i])) return false;
    }
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return false;
    return (p.revents & (POLLHUP | POLLERR)) != 0 && (p.revents & POLLIN) == 0;
}

}  // namespace xfoilcore
