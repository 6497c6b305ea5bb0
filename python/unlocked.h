#pragma once
// The core's computations from Python without the interpreter's lock: Ctrl-C (the
// interpreter's SIGINT handler, which the calling thread checks while the computation
// runs in a thread of its own) stops them.

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "python/python_project.h"

namespace korvane::python {

namespace py = pybind11;

// Ctrl-C while the lock is released: the calling thread (where the interpreter runs its
// signal handlers) checks them while the work runs in a thread of its own; the work
// stops at its next progress report or interruption check.
class SignalWatch {
public:
    bemt::ProgressCallback progress() {
        return [this](int, const std::string&) {
            if (stopped()) throw bemt::Aborted("The computation has been stopped (KeyboardInterrupt).");
        };
    }
    std::function<bool()> interruption() {
        return [this] { return stopped(); };
    }
    // With the interpreter's lock held, in the calling thread.
    void check() {
        if (!m_stopped && PyErr_CheckSignals() != 0) m_stopped = true;
    }
    // Stops the work at its next check without asking the interpreter.
    void stop() { m_stopped = true; }
    bool stopped() const { return m_stopped; }

private:
    std::atomic<bool> m_stopped = false;
};

// How often the calling thread asks the interpreter for Ctrl-C while the work runs.
inline constexpr std::chrono::milliseconds kSignalCheckInterval{50};

// Runs work without the interpreter's lock; returns whether Ctrl-C stopped it, the
// interpreter then holding the KeyboardInterrupt the signal check raised.
template <typename Work>
bool releasedUntilStop(Work work) {
    SignalWatch watch;
    std::packaged_task<void()> task([&] { work(watch); });
    std::future<void> done = task.get_future();
    {
        py::gil_scoped_release unlocked;
        // Whatever ends this scope early (the interpreter ending the thread as it shuts
        // down) stops the work and waits for it, which uses this frame.
        struct Joined {
            std::thread thread;
            SignalWatch& watch;
            ~Joined() {
                if (!thread.joinable()) return;
                watch.stop();
                thread.join();
            }
        } worker{std::thread(std::move(task)), watch};
        while (done.wait_for(kSignalCheckInterval) != std::future_status::ready) {
            py::gil_scoped_acquire lock;
            watch.check();
        }
        worker.thread.join();
    }
    try {
        done.get();
    } catch (const bemt::Error&) {
        // What failed once Ctrl-C came failed because of it: an XFOIL adapter that the
        // terminal's Ctrl-C reached too may end before the signal was checked.
        watch.check();
        if (!watch.stopped()) throw;
    }
    return watch.stopped();
}

// The same, raising KeyboardInterrupt when Ctrl-C stopped it.
template <typename Work>
void released(Work work) {
    if (releasedUntilStop(work)) throw py::error_already_set();
}

// The core's input for the project's own computation on a checked copy.
struct Prepared {
    ProjectData project;
    bemt::InputDataSet input;
};
Prepared prepare(const PythonProject& p, SignalWatch& watch);

// threads: 0 for KORVANE_THREADS or every core.
void setThreads(bemt::BEMTTools& tools, int threads);

}  // namespace korvane::python
