#pragma once
// Runs korvane-cli as a child process and collects its exit status and output.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

namespace korvane::testing {

struct CliRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// interruptAfter > 0 sends Ctrl-C (SIGINT) to the program after that time;
// addressSpace > 0 limits the program's address space to that many bytes (`ulimit -v`);
// stdoutTo names a file for the standard output instead of the one run.out is read from.
inline CliRun runCli(const std::vector<std::string>& args,
                     std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(0),
                     rlim_t addressSpace = 0, const std::string& stdoutTo = "") {
    TempFolder temp;
    const std::string outPath = temp.file("stdout");
    const std::string errPath = temp.file("stderr");
    std::vector<std::string> argv{KORVANE_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open((stdoutTo.empty() ? outPath : stdoutTo).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::dup2(in, STDIN_FILENO);
        ::signal(SIGINT, SIG_DFL);
        const rlimit limit{addressSpace, addressSpace};
        if (addressSpace > 0 && ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(126);
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
    CliRun run;
    if (pid < 0) return run;
    if (interruptAfter.count() > 0) {
        std::this_thread::sleep_for(interruptAfter);
        ::kill(pid, SIGINT);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    return run;
}

inline std::string example(const std::string& name) { return std::string(KORVANE_EXAMPLES) + "/" + name; }

// ASCII text as UTF-16 little-endian with its byte-order mark, as Windows editors save it.
inline std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

}  // namespace korvane::testing
