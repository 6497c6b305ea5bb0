#pragma once
// Whitespace-separated tokens of the adapter's standard input, read without stdio so
// that the adapter knows whether anything the program sent is still unread.

#include <optional>
#include <string>

namespace xfoilcore {

class InputTokens {
public:
    explicit InputTokens(int fd) : m_fd(fd) {}

    // The next token; empty at the end of the input, on a read error or a stop signal.
    std::optional<std::string> next();

    // The program closed its end and everything it sent has been consumed: nobody
    // waits for answers any more.
    bool abandoned() const;

private:
    bool fill();

    int m_fd;
    std::string m_buffer;
    std::size_t m_position = 0;
};

}  // namespace xfoilcore
