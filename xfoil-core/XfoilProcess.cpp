#include "XfoilProcess.h"

#include <boost/process/env.hpp>
#include <boost/process/environment.hpp>
#include <boost/process/exe.hpp>
#include <boost/process/extend.hpp>
#include <boost/process/io.hpp>
#include <boost/process/start_dir.hpp>

#include <atomic>
#include <optional>
#include <cstdio>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace xfoilcore {

namespace bp = boost::process;

namespace {

volatile std::sig_atomic_t g_stop = 0;

constexpr std::size_t kMaxLine = 4096;

// A file open for reading in this process and the programs it starts, closed again when
// this ends.
class InheritedFile {
public:
    explicit InheritedFile(const std::filesystem::path& path) : m_fd(::open(path.c_str(), O_RDONLY)) {
        if (m_fd < 0) throw XfoilFailure("The shim " + path.string() + " could not be opened");
    }
    ~InheritedFile() { ::close(m_fd); }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    int descriptor() const { return m_fd; }

private:
    int m_fd;
};

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool stopRequested() { return g_stop != 0; }
void requestStop() { g_stop = 1; }

XfoilProcess::XfoilProcess(const std::filesystem::path& xfoil, const std::filesystem::path& shim,
                           const std::filesystem::path& workDir, std::chrono::milliseconds timeout,
                           std::function<bool()> abandoned)
    : m_timeout(timeout), m_abandoned(std::move(abandoned)) {
    // The loader splits LD_PRELOAD at spaces and colons, which a folder name may hold:
    // XFOIL loads the shim through a descriptor it inherits instead of through its path.
    // No shim given (a stand-in for XFOIL): nothing is preloaded.
    std::optional<InheritedFile> preload;
    if (!shim.empty()) preload.emplace(shim);
    bp::environment env = boost::this_process::environment();
    if (preload) env["LD_PRELOAD"] = "/proc/self/fd/" + std::to_string(preload->descriptor());
    // Without a display XFOIL can never open windows on the user's screen.
    env.erase("DISPLAY");
    const pid_t adapter = getpid();
    try {
        m_child = bp::child(bp::exe = xfoil.string(), env, bp::start_dir = workDir.string(), bp::std_in < m_input,
                            bp::std_out > m_output, bp::std_err > bp::null,
                            bp::extend::on_exec_setup = [adapter](auto&) {
                                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                                if (::getppid() != adapter) ::_exit(1);
                            });
    } catch (const std::exception& e) {
        throw XfoilFailure("XFOIL (" + xfoil.string() + ") could not be run: " + e.what());
    }
    fcntl(m_output.native_source(), F_SETFL, fcntl(m_output.native_source(), F_GETFL) | O_NONBLOCK);
    m_endedText = "XFOIL ended as soon as it started";
    const XfoilReply banner = readReply();
    m_endedText = "XFOIL ended unexpectedly";
    if (banner.prompt.find("XFOIL") == std::string::npos) {
        throw XfoilFailure("XFOIL did not start: its output holds no XFOIL menu");
    }
}

XfoilProcess::~XfoilProcess() {
    std::error_code ec;
    if (m_child.valid() && m_child.running(ec)) m_child.terminate(ec);
}

XfoilReply XfoilProcess::command(const std::string& line) {
    const std::string text = line + "\n";
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(m_input.native_sink(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw XfoilFailure("XFOIL closed its input");
        written += static_cast<std::size_t>(n);
    }
    return readReply();
}

std::string XfoilProcess::timeoutMessage(std::chrono::milliseconds timeout) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(timeout.count()) / 1000.0);
    return std::string("XFOIL did not answer within ") + seconds + " s";
}

XfoilReply XfoilProcess::readReply() {
    XfoilReply reply;
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    char chunk[8192];
    for (;;) {
        if (stopRequested() || (m_abandoned && m_abandoned())) throw AdapterStop("stop");
        const ssize_t n = ::read(m_output.native_source(), chunk, sizeof chunk);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                if (chunk[i] == '\n') {
                    reply.addLine(m_pending);
                    m_pending.clear();
                } else if (m_pending.size() < kMaxLine) {
                    m_pending.push_back(chunk[i]);
                }
            }
            // gfortran flushes before every read, so a prompt at the end means XFOIL waits.
            if (endsWith(m_pending, "c>  ")) {
                reply.prompt = m_pending;
                m_pending.clear();
                return reply;
            }
            if (endsWith(m_pending, "r>  ") || endsWith(m_pending, "i>  ") || endsWith(m_pending, "s>  ") ||
                endsWith(m_pending, "l>  ")) {
                throw XfoilFailure("XFOIL asked for a value: " + m_pending);
            }
            continue;
        }
        if (n == 0) throw XfoilFailure(m_endedText);
        if (errno != EAGAIN && errno != EINTR) throw XfoilFailure("XFOIL output failed");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) throw XfoilTimeout(timeoutMessage(m_timeout));
        // Short slices, so that a program that has gone is noticed within 50 ms.
        pollfd p{m_output.native_source(), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 50)));
    }
}

}  // namespace xfoilcore
