#pragma once
// The engine of the compute panel's long actions, without windows: one action at a time,
// its computation on a worker thread with progress and Stop, and the preprocessed airfoil
// segments every action needs, rebuilt (XFOIL for coordinates) when they are missing or
// outdated.
//
// An action starts with startAction(whenSegmentsReady): the runner turns busy, makes the
// segments ready and then calls the continuation on the GUI thread. The continuation
// ends the action itself (finish, or setBusy(false) when nothing is computed) or hands a
// computation to run(). Whatever throws on the way, on the worker or while a result is
// delivered, ends the action as one Failure (a stop or an error) reported to the owner.
//
// Worker threads see only copies, the abort flag and the polars the segments share.
// Everything they do to the GUI is queued to the runner, so a result that arrives after
// the runner is gone is dropped with its queue; the destructor raises the abort flag and
// joins the worker, which ends at its next progress report (a running xfoil-core is
// ended by the segment builder within a second).

#include <wx/event.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"

class KvpProject;

class ComputationRunner : public wxEvtHandler {
public:
    static inline const std::string kAborted = "The computation process has been aborted.";
    static inline const wxString kStopping = "Stopping the computation...";

    // How an action ended that did not finish: the message, and whether the user stopped
    // it (an information) rather than it failing (an error).
    struct Failure {
        wxString message;
        bool stopped = false;
    };

    // What the runner tells its owner, always on the GUI thread.
    struct Hooks {
        // Progress for the status bar; 100 when an action has ended.
        std::function<void(int, wxString)> progress;
        // The runner turned busy (true) or idle.
        std::function<void(bool)> busyChanged;
        // An action failed or was stopped; the runner is idle again.
        std::function<void(const Failure&)> failed;
        // Outdated segments built by XFOIL: preprocess them again (true) or keep them.
        std::function<bool()> preprocessOutdated;
    };

    ComputationRunner(KvpProject& project, Hooks hooks);
    ~ComputationRunner() override;
    ComputationRunner(const ComputationRunner&) = delete;
    ComputationRunner& operator=(const ComputationRunner&) = delete;

    // Turns busy, makes the segments ready, then runs whenSegmentsReady on the GUI thread
    // (not at all when the preprocessing fails). Only when idle.
    void startAction(std::function<void()> whenSegmentsReady);
    // Runs compute(progress) on the worker thread and deliver(result) with its result on
    // the GUI thread. deliver ends the action; what it throws ends it as failed.
    template <class Compute, class Deliver>
    void run(Compute compute, Deliver deliver);
    // Asks the running action to stop at its next progress report; false when idle.
    bool stop();
    // Stops the running action and drops its result, which would belong to a project no
    // longer open (an optimisation returns its best blade after a stop): the action ends
    // as stopped.
    void abandon();
    // Ends the action: the status bar is reset and the runner idle.
    void finish();
    void setBusy(bool busy);

    void removeAirfoilSegments();

    bool busy() const { return *m_busy; }
    // Raised while an action runs; result windows that use the shared polars watch it.
    std::shared_ptr<const bool> busyFlag() const { return m_busy; }
    bool abortRequested() const { return m_abortRequested; }
    bool segmentsValid() const { return m_segmentsValid; }
    bool xfoilInvolved() const { return m_xfoilInvolved; }
    const std::vector<bemt::AirfoilSegment>& airfoilSegments() const { return m_airfoilSegments; }
    // The operating conditions the segments were built for.
    const bemt::OperatingConditions& segmentsConditions() const { return m_segmentsConditions; }

private:
    void preprocessAirfoils();
    // Queues the continuation of the action to run on the GUI thread.
    void segmentsReady();
    // Runs work on the worker thread (after the previous one has ended).
    void startWorker(std::function<void()> work);
    // Queues f to run on the GUI thread; dropped when the runner is going.
    void onGuiThread(std::function<void()> f);
    // The progress report of one computation's worker; throws bemt::Aborted after Stop.
    bemt::ProgressCallback workerProgress();
    // Queues a progress report to the status bar (any thread).
    void showProgress(int progress, const wxString& message);
    // Call in a catch block (any thread).
    static Failure failureOfCurrentException();
    // Ends an action that failed or was stopped (on the GUI thread).
    void fail(const Failure& failure);

    void onReynoldsConditions(wxEvent& event);
    void onAirfoilPoints(wxEvent& event);
    void recomputeXfoilInvolved();

    KvpProject& m_project;
    Hooks m_hooks;
    std::function<void()> m_whenSegmentsReady;
    std::vector<bemt::AirfoilSegment> m_airfoilSegments;
    bool m_segmentsValid = false;
    bool m_xfoilInvolved = false;
    bemt::OperatingConditions m_segmentsConditions;

    // True from an action's start until its end; shared with the analyzer windows,
    // which leave the shared polars alone meanwhile.
    std::shared_ptr<bool> m_busy = std::make_shared<bool>(false);
    // Stop was pressed during this action: the reports still queued would overwrite
    // "Stopping".
    bool m_stopping = false;
    std::atomic<bool> m_abortRequested{false};
    // Counts the abandoned actions (GUI thread): a result computed before the count
    // changed is not delivered.
    unsigned m_abandoned = 0;
    // Raised for good when the runner goes: every further report aborts.
    std::atomic<bool> m_closing{false};
    std::thread m_worker;
};

template <class Compute, class Deliver>
void ComputationRunner::run(Compute compute, Deliver deliver) {
    startWorker([this, compute = std::move(compute), deliver = std::move(deliver), abandoned = m_abandoned] {
        auto result = compute(workerProgress());
        onGuiThread([this, result = std::move(result), deliver, abandoned]() mutable {
            if (abandoned != m_abandoned) {
                fail({wxString::FromUTF8(kAborted), true});
                return;
            }
            // A message thrown while a window is built must not leave the runner busy (nor
            // escape into the event loop).
            try {
                deliver(std::move(result));
            } catch (...) {
                fail(failureOfCurrentException());
            }
        });
    });
}
