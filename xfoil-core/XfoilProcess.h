#pragma once
// One running Debian XFOIL, headless: graphics traps disabled by the preloaded shim,
// no display, its own working directory. Commands are sent a line at a time and each
// reply is read up to the next menu prompt within a time limit. The destructor kills
// and reaps XFOIL; the kernel kills it as well should the adapter die first.

#include <boost/process/child.hpp>
#include <boost/process/pipe.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "XfoilReply.h"

namespace xfoilcore {

// XFOIL died, stopped answering, or asked for a value the driver did not plan to give.
struct XfoilFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// XFOIL printed nothing that ended its reply within the time limit.
struct XfoilTimeout : XfoilFailure {
    using XfoilFailure::XfoilFailure;
};
// The program on the other end of the adapter's input has gone, or a stop signal came.
struct AdapterStop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Set by the adapter's signal handler.
bool stopRequested();
void requestStop();

class XfoilProcess {
public:
    // Starts XFOIL and reads its banner up to the first prompt. abandoned is polled
    // while waiting and ends the wait with AdapterStop when it turns true.
    XfoilProcess(const std::filesystem::path& xfoil, const std::filesystem::path& shim,
                 const std::filesystem::path& workDir, std::chrono::milliseconds timeout,
                 std::function<bool()> abandoned);
    ~XfoilProcess();
    XfoilProcess(const XfoilProcess&) = delete;
    XfoilProcess& operator=(const XfoilProcess&) = delete;

    // Sends one line and gathers the reply up to the next menu prompt.
    XfoilReply command(const std::string& line);

    // "XFOIL did not answer within 10 s", for the time limit given.
    static std::string timeoutMessage(std::chrono::milliseconds timeout);

private:
    XfoilReply readReply();

    std::chrono::milliseconds m_timeout;
    std::function<bool()> m_abandoned;
    boost::process::pipe m_input;
    boost::process::pipe m_output;
    boost::process::child m_child;
    std::string m_pending;  // the unfinished last line
    std::string m_endedText;  // the failure when XFOIL's output ends
};

}  // namespace xfoilcore
