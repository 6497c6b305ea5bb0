#include "bemt/XfoilCommunicator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <boost/process/exe.hpp>
#include <boost/process/io.hpp>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "bemt/Error.h"

namespace bemt {

namespace bp = boost::process;

namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(50);
constexpr auto kExitGrace = std::chrono::milliseconds(1000);
constexpr std::size_t kChunk = 4096;
constexpr std::size_t kMaxToken = 256;
// Enough for the adapter's few diagnostic lines; a child that prints more keeps its tail.
constexpr std::size_t kMaxErrorText = 4096;
constexpr std::size_t kDiagnosticLines = 3;

// Writes to a pipe whose reader has gone raise SIGPIPE, which would end the whole
// program. The signal is blocked for this thread during the write and a pending one
// is consumed, so the program's own signal settings stay untouched.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_old);
    }
    ~SigpipeGuard() {
        if (m_broken) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE)) {
                const timespec zero{0, 0};
                sigtimedwait(&m_set, nullptr, &zero);
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    void markBroken() { m_broken = true; }

private:
    sigset_t m_set{};
    sigset_t m_old{};
    bool m_broken = false;
};

// Pipes of concurrent channels must not leak into each other's children: an inherited
// copy of another channel's pipe would keep that channel open after its owner closed
// it. Close-on-exec ends reach only the child they are handed to (as its stdin/stdout).
bp::pipe closeOnExecPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw bemt::Error("The pipe to the XFOIL adapter could not be created.");
    return bp::pipe(fds[0], fds[1]);
}

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

std::string seconds(std::chrono::milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(duration.count()) / 1000.0);
    return text;
}

int pollTimeout(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp(left, std::chrono::milliseconds(0), std::chrono::milliseconds(kPollSlice)).count());
}

// Waits until the process has exited, at most for limit, woken by the kernel rather than
// by a timer. False when it still runs then, or when the kernel cannot tell (the caller
// then ends it).
bool exitsWithin(pid_t pid, std::chrono::milliseconds limit) {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, static_cast<int>(limit.count()));
    } while (ready < 0 && errno == EINTR);
    ::close(fd);
    return ready > 0;
}

}  // namespace

bool XfoilCommunicator::isExecutableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && access(path.c_str(), X_OK) == 0;
}

namespace {

std::mutex hostCandidatesMutex;
std::vector<std::filesystem::path> hostCandidates;

}  // namespace

void XfoilCommunicator::setProgramCandidates(std::vector<std::filesystem::path> candidates) {
    const std::lock_guard<std::mutex> lock(hostCandidatesMutex);
    hostCandidates = std::move(candidates);
}

std::vector<std::filesystem::path> XfoilCommunicator::programCandidates() {
    {
        const std::lock_guard<std::mutex> lock(hostCandidatesMutex);
        if (!hostCandidates.empty()) return hostCandidates;
    }
    // Never the working folder: that may be a project folder from anywhere, and a
    // program of that name in it must not run.
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const auto folder = self.parent_path();
    // The installed place first: beside an installed program (/usr/bin) lie other
    // packages' programs, one of which may bear the adapter's name.
    return {(folder / ".." / "lib" / "korvane" / "xfoil-core").lexically_normal(), folder / "xfoil-core"};
}

std::filesystem::path XfoilCommunicator::defaultProgram() {
    for (const auto& candidate : programCandidates())
        if (isExecutableFile(candidate)) return candidate;
    return {};
}

XfoilCommunicator::XfoilCommunicator() : XfoilCommunicator(Settings{}) {}

XfoilCommunicator::XfoilCommunicator(Settings settings)
    : m_settings(std::move(settings)), m_toChild(closeOnExecPipe()), m_fromChild(closeOnExecPipe()),
      m_errorsFromChild(closeOnExecPipe()) {
    if (m_settings.program.empty()) m_settings.program = defaultProgram();
    if (m_settings.program.empty()) {
        const auto candidates = programCandidates();
        if (candidates.empty())
            throw bemt::Error("The XFOIL adapter xfoil-core was not found: the folder of the running program is unknown.");
        std::string places;
        for (const auto& candidate : candidates) places += (places.empty() ? "" : " or ") + candidate.string();
        throw bemt::Error("The XFOIL adapter was not found (no executable file " + places + ").");
    }
    const std::string program = m_settings.program.string();
    // A directory passes access(X_OK) and would only fail in execve.
    if (!isExecutableFile(m_settings.program)) {
        throw bemt::Error("The XFOIL adapter " + program + " was not found or is not executable.");
    }
    try {
        m_child = bp::child(bp::exe = program, bp::std_in < m_toChild, bp::std_out > m_fromChild,
                            bp::std_err > m_errorsFromChild);
    } catch (const std::exception& e) {
        throw bemt::Error("The XFOIL adapter " + program + " could not be started: " + e.what());
    }
    // The process library already closed the child's ends of the pipes here.
    setNonBlocking(m_toChild.native_sink());
    setNonBlocking(m_fromChild.native_source());
    setNonBlocking(m_errorsFromChild.native_source());
}

XfoilCommunicator::~XfoilCommunicator() {
    terminate();
}

int XfoilCommunicator::pid() const { return m_child.id(); }

void XfoilCommunicator::throwIfInterrupted() {
    if (m_settings.interrupted && m_settings.interrupted()) {
        terminate();
        throw bemt::Aborted(kInterrupted);
    }
}

void XfoilCommunicator::send(const std::string& text) {
    if (m_inputClosed) return;
    const int fd = m_toChild.native_sink();
    const auto deadline = Clock::now() + m_settings.answerTimeout;
    std::size_t written = 0;
    SigpipeGuard guard;
    while (written < text.size()) {
        throwIfInterrupted();
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The child is not reading: wait for room, but not for ever.
            if (Clock::now() >= deadline) {
                terminate();
                m_ending = Ending::TimedOut;
                return;
            }
            // A child blocked on a full standard error reads on once that is drained.
            drainErrors(false);
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, pollTimeout(deadline));
            continue;
        }
        if (n < 0 && errno == EPIPE) guard.markBroken();
        closeInput();
        return;
    }
}

bool XfoilCommunicator::fill(Clock::time_point deadline) {
    if (m_outputClosed) return false;
    const int fd = m_fromChild.native_source();
    char chunk[kChunk];
    for (;;) {
        throwIfInterrupted();
        if (m_outputClosed) return false;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            if (m_position > 0) {
                m_buffer.erase(0, m_position);
                m_position = 0;
            }
            m_buffer.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) {
            // The child ended: what it said on its way out explains why.
            m_outputClosed = true;
            m_ending = Ending::Closed;
            drainErrors(true);
            return false;
        }
        if (Clock::now() >= deadline) {
            terminate();
            m_ending = Ending::TimedOut;
            return false;
        }
        pollfd p[2] = {{fd, POLLIN, 0}, {m_errorsFromChild.native_source(), POLLIN, 0}};
        ::poll(p, m_errorsFromChild.native_source() != -1 ? 2 : 1, pollTimeout(deadline));
        drainErrors(false);
    }
}

void XfoilCommunicator::drainErrors(bool waitForEnd) {
    const int fd = m_errorsFromChild.native_source();
    if (fd == -1) return;
    const auto giveUp = Clock::now() + kExitGrace;
    char chunk[kChunk];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            m_errors.append(chunk, static_cast<std::size_t>(n));
            if (m_errors.size() > kMaxErrorText) m_errors.erase(0, m_errors.size() - kMaxErrorText);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && waitForEnd && Clock::now() < giveUp) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, pollTimeout(giveUp));
            continue;
        }
        if (n == 0 || (n < 0 && errno != EAGAIN)) {
            ::close(fd);
            m_errorsFromChild.assign_source(-1);
        }
        return;
    }
}

std::string XfoilCommunicator::diagnostic() const {
    const std::string prefix = m_settings.program.filename().string() + ":";
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < m_errors.size()) {
        const std::size_t end = std::min(m_errors.find('\n', start), m_errors.size());
        std::string line = trimmed(std::string_view(m_errors).substr(start, end - start));
        if (line.rfind(prefix, 0) == 0) line = trimmed(std::string_view(line).substr(prefix.size()));
        if (!line.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    if (lines.size() > kDiagnosticLines) lines.erase(lines.begin(), lines.end() - kDiagnosticLines);
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "; ") + line;
    if (!text.empty() && text.back() != '.') text += '.';
    if (!text.empty()) text.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
    return text;
}

std::optional<std::string> XfoilCommunicator::failure() const {
    const std::string adapter = "The XFOIL adapter " + m_settings.program.string();
    switch (m_ending) {
        case Ending::TimedOut: return adapter + " did not answer within " + seconds(m_settings.answerTimeout) + " s.";
        case Ending::Closed: {
            const std::string said = diagnostic();
            return said.empty() ? adapter + " ended without answering." : said;
        }
        case Ending::None: break;
    }
    return std::nullopt;
}

std::string XfoilCommunicator::outOfStep(const std::string& text) {
    terminate();
    std::string shown;
    for (char c : text.substr(0, 60)) shown += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return "The XFOIL adapter " + m_settings.program.string() + " gave an answer that is not a result: \"" + shown +
           "\".";
}

std::optional<std::string> XfoilCommunicator::readToken() {
    const auto deadline = Clock::now() + m_settings.answerTimeout;
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    // Skip the white space before the token.
    for (;;) {
        while (m_position < m_buffer.size() && isSpace(m_buffer[m_position])) ++m_position;
        if (m_position < m_buffer.size()) break;
        if (!fill(deadline)) return std::nullopt;
    }
    std::string token;
    for (;;) {
        while (m_position < m_buffer.size() && !isSpace(m_buffer[m_position])) {
            if (token.size() < kMaxToken) token.push_back(m_buffer[m_position]);
            ++m_position;
        }
        if (m_position < m_buffer.size()) return token;
        // The token may continue in output not yet read; a closed or silent child ends it.
        if (!fill(deadline)) return m_outputClosed && !token.empty() ? std::optional(token) : std::nullopt;
    }
}

bool XfoilCommunicator::running() {
    std::error_code ec;
    return m_child.valid() && m_child.running(ec);
}

void XfoilCommunicator::closeInput() {
    if (m_inputClosed) return;
    m_inputClosed = true;
    if (m_toChild.native_sink() != -1) ::close(m_toChild.native_sink());
    m_toChild.assign_sink(-1);
}

void XfoilCommunicator::terminate() {
    closeInput();
    if (m_child.valid()) {
        // Without its input the adapter ends by itself; one that does not is ended.
        if (running()) exitsWithin(m_child.id(), kExitGrace);
        std::error_code ec;
        if (running()) m_child.terminate(ec);
        m_child.detach();
        m_child = bp::child();
    }
    m_outputClosed = true;
    if (m_fromChild.native_source() != -1) ::close(m_fromChild.native_source());
    m_fromChild.assign_source(-1);
    // The child is gone, so its standard error ends without waiting.
    drainErrors(true);
}

}  // namespace bemt
