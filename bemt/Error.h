#pragma once
// The program's own exceptions. An Error is a failure the user can act on: its message is
// the whole text shown (the desktop program's error box, the command line's error line),
// naming the file, line, field or value at fault. Aborted is a run stopped at the user's
// request (Stop, Ctrl-C): reported as information, recognised by its type, never by its
// text. Anything else that reaches a boundary is a fault of the program.

#include <stdexcept>
#include <string>

namespace bemt {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message), m_message(message) {}
    const std::string& message() const noexcept { return m_message; }

private:
    std::string m_message;
};

class Aborted : public Error {
public:
    using Error::Error;
};

}  // namespace bemt
