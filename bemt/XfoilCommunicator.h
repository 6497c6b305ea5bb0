#pragma once
// One running `xfoil-core` child and the text channel to it: what is sent goes to the
// child's standard input, what it prints is read back as whitespace-separated tokens,
// and what it prints on its standard error is kept as its diagnostic. Every wait on the
// child is bounded and can be interrupted, so a hung or slow child never blocks its
// caller; the destructor ends and reaps the child.

#include <boost/process/child.hpp>
#include <boost/process/pipe.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bemt {

class XfoilCommunicator {
public:
    struct Settings {
        // The adapter executable; empty means defaultProgram().
        std::filesystem::path program;
        // Longest wait for one answer token before the child is given up.
        std::chrono::milliseconds answerTimeout{60000};
        // Polled while waiting on the child; true ends the wait and the child at once.
        std::function<bool()> interrupted;
    };

    // Thrown (as std::string) when the interruption predicate stops a wait.
    static inline const std::string kInterrupted = "The XFOIL analysis has been interrupted.";

    // Where the program looks for the adapter, in this order: in ../lib/korvane from its
    // own executable (an installed program), then beside it (a build tree); never in the
    // working directory. Empty when the executable's folder is unknown.
    static std::vector<std::filesystem::path> programCandidates();
    // A host whose executable is not Korvane's (the Python module inside python3) names
    // its own candidates instead; an empty list returns to the rule above.
    static void setProgramCandidates(std::vector<std::filesystem::path> candidates);
    // The first candidate that is a regular executable file; empty when none is.
    static std::filesystem::path defaultProgram();
    static bool isExecutableFile(const std::filesystem::path& path);

    // Starts the child without arguments. Throws a std::string naming the program when
    // it is missing or cannot be started.
    XfoilCommunicator();
    explicit XfoilCommunicator(Settings settings);
    ~XfoilCommunicator();
    XfoilCommunicator(const XfoilCommunicator&) = delete;
    XfoilCommunicator& operator=(const XfoilCommunicator&) = delete;

    // Writes the text and pushes it through at once. Writing to a child that has gone
    // is silently dropped: the next read then reports the closed channel.
    void send(const std::string& text);

    // The next whitespace-separated token of the child's output; empty when the child
    // closed its output or did not answer within the time limit (the child is then
    // ended, so the conversation cannot resume out of step). Throws kInterrupted.
    std::optional<std::string> readToken();

    // Why the conversation broke off when the child ended its output or did not answer
    // in time: the child's diagnostic, or a message naming the adapter. Empty while the
    // conversation goes on and after terminate().
    std::optional<std::string> failure() const;
    // The last lines the child printed on its standard error, without the "name: "
    // prefix of its own name, as one sentence; empty when it printed nothing.
    std::string diagnostic() const;
    // "The XFOIL adapter PATH gave an answer that is not a result: TEXT." Ends the child.
    std::string outOfStep(const std::string& text);

    // True until the child has exited or was ended.
    bool running();
    // Closes the child's input (the adapter then exits by itself), waits briefly, kills
    // it if it is still there, and reaps it. Safe to call more than once.
    void terminate();
    int pid() const;

private:
    using Clock = std::chrono::steady_clock;
    // Reads more output into the buffer; false on end of output or time limit.
    bool fill(Clock::time_point deadline);
    void throwIfInterrupted();
    void closeInput();
    // Reads what the child printed on its standard error so far (up to its end when
    // waitForEnd, within a short grace).
    void drainErrors(bool waitForEnd);

    enum class Ending { None, Closed, TimedOut };

    Settings m_settings;
    boost::process::pipe m_toChild;
    boost::process::pipe m_fromChild;
    boost::process::pipe m_errorsFromChild;
    boost::process::child m_child;
    std::string m_errors;  // the tail of the child's standard error
    Ending m_ending = Ending::None;
    std::string m_buffer;
    std::size_t m_position = 0;
    bool m_outputClosed = false;
    bool m_inputClosed = false;
};

}  // namespace bemt
