#pragma once
// The core's computations from Python without the interpreter's lock: Ctrl-C (the
// interpreter's SIGINT handler, checked with the lock taken again from the progress
// reports of the calling thread) stops them.

#include <pybind11/pybind11.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "python/python_project.h"

namespace korvane::python {

namespace py = pybind11;

// Ctrl-C while the lock is released: the calling thread checks the interpreter's signal
// handlers from its progress reports; every thread then stops at its next report.
class SignalWatch {
public:
    bemt::ProgressCallback progress() {
        return [this](int, const std::string&) {
            if (interrupted()) throw bemt::Aborted("The computation has been stopped (KeyboardInterrupt).");
        };
    }
    std::function<bool()> interruption() {
        return [this] { return interrupted(); };
    }
    bool interrupted() {
        if (!m_stopped && std::this_thread::get_id() == m_caller) {
            py::gil_scoped_acquire lock;
            if (PyErr_CheckSignals() != 0) m_stopped = true;
        }
        return m_stopped;
    }
    bool stopped() const { return m_stopped; }

private:
    std::thread::id m_caller = std::this_thread::get_id();
    std::atomic<bool> m_stopped = false;
};

// Runs work without the interpreter's lock; returns whether Ctrl-C stopped it, the
// interpreter then holding the KeyboardInterrupt the signal check raised.
template <typename Work>
bool releasedUntilStop(Work work) {
    SignalWatch watch;
    try {
        py::gil_scoped_release unlocked;
        work(watch);
    } catch (const bemt::Error&) {
        // What failed once Ctrl-C came (an XFOIL adapter it reached too) failed because of it.
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
