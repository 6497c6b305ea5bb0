#include "app/computation_runner.h"

#include "app/file_manager.h"
#include "app/kvp_project.h"
#include "bemt/Error.h"
#include "bemt/ToolsAirfoil.h"
#include "project/exception_text.h"

namespace {

wxString fromCore(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

ComputationRunner::ComputationRunner(KvpProject& project, Hooks hooks) : m_project(project), m_hooks(std::move(hooks)) {
    m_project.Bind(kvnEVT_UPDATED_REYNOLDS_CONDITIONS, &ComputationRunner::onReynoldsConditions, this);
    m_project.Bind(kvnEVT_UPDATED_AIRFOIL_POINTS, &ComputationRunner::onAirfoilPoints, this);
    recomputeXfoilInvolved();
}

ComputationRunner::~ComputationRunner() {
    // A running computation ends at its next progress report; what it still sends
    // is dropped with this runner's queue.
    m_closing = true;
    m_abortRequested = true;
    if (m_worker.joinable()) m_worker.join();
    m_project.Unbind(kvnEVT_UPDATED_REYNOLDS_CONDITIONS, &ComputationRunner::onReynoldsConditions, this);
    m_project.Unbind(kvnEVT_UPDATED_AIRFOIL_POINTS, &ComputationRunner::onAirfoilPoints, this);
}

// ---- actions ----

void ComputationRunner::startAction(std::function<void()> whenSegmentsReady) {
    if (*m_busy) return;
    // A Stop pressed after the last run had ended must not abort this one.
    m_abortRequested = false;
    setBusy(true);
    m_whenSegmentsReady = std::move(whenSegmentsReady);
    if (m_airfoilSegments.empty() ||
        (!m_segmentsValid && (!m_xfoilInvolved || m_hooks.preprocessOutdated()))) {
        preprocessAirfoils();
        return;
    }
    segmentsReady();
}

void ComputationRunner::segmentsReady() {
    CallAfter([this] {
        if (auto next = std::exchange(m_whenSegmentsReady, {})) next();
    });
}

void ComputationRunner::preprocessAirfoils() {
    auto points = bemt::ToolsAirfoil::withBladeDefaults(m_project.airfoilPoints(), m_project.chordPoints());
    auto openFile = m_project.fileManager()->getFileStringStream();
    const bemt::OperatingConditions conditions = m_project.operatingConditions();
    // Changes to the airfoil points or conditions while the segments are built leave
    // them outdated.
    m_segmentsValid = true;
    startWorker([this, points = std::move(points), openFile = std::move(openFile), conditions]() mutable {
        try {
            auto segments = bemt::ToolsAirfoil::segmentsFromPoints(
                std::move(points), std::move(openFile), conditions,
                [this](int progress, std::string text) { showProgress(progress, fromCore(text)); },
                &m_abortRequested);
            onGuiThread([this, segments = std::move(segments), conditions]() mutable {
                const bool unchanged = m_segmentsValid;
                m_airfoilSegments = std::move(segments);
                m_segmentsConditions = conditions;
                m_segmentsValid = unchanged;
                m_hooks.progress(100, "");
                segmentsReady();
            });
        } catch (...) {
            onGuiThread([this, failure = failureOfCurrentException()] {
                m_segmentsValid = false;
                m_whenSegmentsReady = {};
                fail(failure);
            });
        }
    });
}

bool ComputationRunner::stop() {
    if (!*m_busy) return false;
    m_abortRequested = true;
    // Until the computation has ended the status says so.
    m_stopping = true;
    m_hooks.progress(0, kStopping);
    return true;
}

void ComputationRunner::abandon() {
    if (stop()) ++m_abandoned;
}

void ComputationRunner::finish() {
    m_hooks.progress(100, "");
    setBusy(false);
}

void ComputationRunner::fail(const Failure& failure) {
    // The owner's controls and the status bar follow the real state before the failure
    // is shown.
    finish();
    m_hooks.failed(failure);
}

void ComputationRunner::setBusy(bool busy) {
    *m_busy = busy;
    m_stopping = false;
    m_hooks.busyChanged(busy);
}

// ---- threads ----

void ComputationRunner::startWorker(std::function<void()> work) {
    // The previous worker has sent its last message and is about to return.
    if (m_worker.joinable()) m_worker.join();
    m_worker = std::thread([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            onGuiThread([this, failure = failureOfCurrentException()] { fail(failure); });
        }
    });
}

void ComputationRunner::onGuiThread(std::function<void()> f) {
    if (m_closing) return;
    CallAfter(std::move(f));
}

bemt::ProgressCallback ComputationRunner::workerProgress() {
    // The core reports after every element solve, so that Stop is heard at once; the
    // status bar hears only of a new percentage or text (one queued event each, where
    // one per solve would flood the event loop). One worker reports at a time.
    auto shown = std::make_shared<std::pair<int, std::string>>(-1, std::string());
    return [this, shown](int progress, const std::string& text) {
        if (m_closing) throw bemt::Aborted(kAborted);
        // The status bar is reset when the computation has really ended (fail).
        if (m_abortRequested.exchange(false)) throw bemt::Aborted(kAborted);
        if (progress == shown->first && text == shown->second) return;
        shown->first = progress;
        shown->second = text;
        showProgress(progress, fromCore(text));
    };
}

void ComputationRunner::showProgress(int progress, const wxString& message) {
    onGuiThread([this, progress, message] {
        // Reports still queued when Stop was pressed would overwrite "Stopping".
        if (m_stopping && *m_busy) return;
        m_hooks.progress(progress, message);
    });
}

ComputationRunner::Failure ComputationRunner::failureOfCurrentException() {
    try {
        throw;
    } catch (const bemt::Aborted& stop) {
        return {fromCore(stop.message()), true};
    } catch (...) {
        return {fromCore(korvane::currentExceptionText()), false};
    }
}

// ---- segments ----

void ComputationRunner::removeAirfoilSegments() {
    m_airfoilSegments.clear();
    m_segmentsValid = false;
}

void ComputationRunner::onReynoldsConditions(wxEvent& event) {
    m_segmentsValid = false;
    event.Skip();
}

void ComputationRunner::onAirfoilPoints(wxEvent& event) {
    m_segmentsValid = false;
    recomputeXfoilInvolved();
    event.Skip();
}

void ComputationRunner::recomputeXfoilInvolved() {
    m_xfoilInvolved = false;
    for (const auto& point : m_project.airfoilPoints())
        if (point.data_type == bemt::Coordinates) m_xfoilInvolved = true;
}
