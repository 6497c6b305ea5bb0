#pragma once
// Progress of a long computation on stderr, and Ctrl-C as the way to stop it: the
// interrupt only raises a flag, and the next progress report throws the same abort
// message as the desktop program's Stop button.

#include <string>

namespace korvane::cli {

inline const std::string kAbortMessage = "The computation process has been aborted.";

// Installs the Ctrl-C handler for its lifetime and restores the previous one after. A
// second Ctrl-C ends the program at once, in case a computation never reports back.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool interrupted();
};

class ProgressBar {
public:
    // Draws only when enabled (stderr is a terminal and the user did not ask for quiet).
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The core's progress callback: redraws when something changed, and throws
    // kAbortMessage after Ctrl-C.
    void report(int percent, const std::string& text);
    // Removes the bar so that the results start on a clean line.
    void clear();

    static bool stderrIsTerminal();

private:
    bool m_enabled;
    bool m_drawn = false;
    int m_percent = -1;
    std::string m_text;
};

}  // namespace korvane::cli
