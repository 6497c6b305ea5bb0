#include "bemt/ParallelSweep.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "bemt/MemoryBudget.h"
#include "bemt/OperatingPointAnalysis.h"
#include "bemt/PolarCopies.h"
#include "bemt/Solver.h"

namespace bemt {

namespace {

// Thrown in the other workers once the sweep has failed; never leaves run().
struct Stopped {};

// The progress of all workers as one monotonic share of the element solves, reported by
// one thread at a time, and the first failure of any worker, which stops the others.
class SweepProgress {
public:
    SweepProgress(const ProgressCallback& callback, const std::vector<std::string>& texts,
                  const std::vector<OperatingPointJob>& jobs, int elementsPerJob)
        : m_callback(callback), m_texts(texts), m_jobs(jobs),
          m_total(static_cast<long long>(jobs.size()) * std::max(elementsPerJob, 1)), m_finished(jobs.size(), 0) {}

    bool stopped() const { return m_stopped.load(std::memory_order_relaxed); }

    void start() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        report(0);
    }

    // After every element solve of any worker. A worker that finds another one reporting
    // goes on at once: the report in progress checks for an abort just as well.
    void elementDone() {
        if (stopped()) throw Stopped{};
        const long long done = m_done.fetch_add(1, std::memory_order_relaxed) + 1;
        std::unique_lock<std::mutex> lock(m_mutex, std::try_to_lock);
        if (!lock.owns_lock()) return;
        report(static_cast<int>(std::min<long long>(100, done * 100 / m_total)));
    }

    void jobDone(std::size_t job) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished[job] = 1;
        while (m_firstUnfinished < m_finished.size() && m_finished[m_firstUnfinished]) ++m_firstUnfinished;
    }

    void finish() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        report(100);
    }

    // Keeps the first failure and stops every worker.
    void fail(std::exception_ptr failure) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_failure) m_failure = std::move(failure);
        m_stopped.store(true);
    }

    void rethrowFailure() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    // Called with m_mutex held.
    void report(int percent) {
        if (m_failure) throw Stopped{};
        m_lastPercent = std::max(m_lastPercent, percent);
        try {
            m_callback(m_lastPercent, text());
        } catch (...) {
            m_failure = std::current_exception();
            m_stopped.store(true);
            throw Stopped{};
        }
    }

    const std::string& text() const {
        if (m_jobs.empty()) return m_texts.front();
        const std::size_t job = std::min(m_firstUnfinished, m_jobs.size() - 1);
        return m_texts[m_jobs[job].text];
    }

    const ProgressCallback& m_callback;
    const std::vector<std::string>& m_texts;
    const std::vector<OperatingPointJob>& m_jobs;
    const long long m_total;
    std::atomic<long long> m_done{0};
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    int m_lastPercent = 0;
    std::vector<char> m_finished;
    std::size_t m_firstUnfinished = 0;
    std::exception_ptr m_failure;
};

// What one worker thread owns: its element solver and its copies of the polars.
struct Worker {
    std::unique_ptr<Solver> solver;
    OperatingPointAnalysis::Workspace workspace;
};

// The workers of a parallel run, or none when the polars cannot be copied.
std::vector<Worker> makeWorkers(SolverType type, std::size_t count, const std::vector<AirfoilSegment>& segments,
                                int elements) {
    std::vector<Worker> workers;
    workers.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto copies = PolarCopies::copySegments(segments);
        if (!copies) return {};
        workers.push_back({Solver::create(type), OperatingPointAnalysis::Workspace(std::move(*copies), elements)});
    }
    return workers;
}

}  // namespace

ParallelSweep::ParallelSweep(SolverType solver, int threads) : m_solver(solver), m_threads(std::max(1, threads)) {}

double ParallelSweep::estimatedBytes(std::size_t jobs, int elements, ElementDetail detail, int sectors) const {
    const double points = static_cast<double>(jobs);
    const double threads = static_cast<double>(std::min<std::size_t>(static_cast<std::size_t>(m_threads), jobs));
    const double n = std::max(elements, 0);
    // A rotor computed in several sectors holds every sector's result until its point is
    // combined, with their elements when they are kept.
    const double tasks = sectors > 1 ? points * sectors : 0.0;
    const double sectorBytes =
        tasks * (2.0 * sizeof(OperatingPointJob) + sizeof(RotorSector)
                 + (detail == ElementDetail::Kept ? n * 2.0 * sizeof(SectorElement) : 0.0));
    // Each point twice: the results and the caller's arrangement of them (the element
    // solutions move, the records do not). Every thread holds one point's elements at a
    // time; kept, they stay.
    const double records = 2.0 * points * (sizeof(OperatingPoint) + sizeof(OperatingPointJob));
    const double solutions = (detail == ElementDetail::Kept ? points : threads) * n * sizeof(Solution);
    const double workspaces = threads * n * sizeof(std::optional<double>);
    // Thread stacks and per-thread malloc arenas are left out: when the address space
    // has no room for them, fewer threads run and they share the main arena.
    return records + solutions + workspaces + sectorBytes;
}

std::vector<OperatingPoint> ParallelSweep::run(const InputDataSet& data, const std::vector<OperatingPointJob>& jobs,
                                               const std::vector<std::string>& texts, Solver& serialSolver,
                                               const ProgressCallback& progress, ElementDetail detail) const {
    const OperatingPointAnalysis analysis(data);
    const int sectors = analysis.sectors();
    MemoryBudget::check(estimatedBytes(jobs.size(), analysis.elements(), detail, sectors),
                        "The " + std::to_string(jobs.size()) + " operating points of " +
                            std::to_string(analysis.elements()) + " elements",
                        "Compute fewer points or fewer elements.");
    // A rotor of several sectors runs each sector of each point as a task of its own, so
    // that the sectors of one point share the threads too.
    std::vector<OperatingPointJob> sectorJobs;
    if (sectors > 1) {
        sectorJobs.reserve(jobs.size() * static_cast<std::size_t>(sectors));
        for (const OperatingPointJob& job : jobs) sectorJobs.insert(sectorJobs.end(), sectors, job);
    }
    const std::vector<OperatingPointJob>& tasks = sectors > 1 ? sectorJobs : jobs;
    std::vector<RotorSector> sectorResults(sectors > 1 ? tasks.size() : 0);
    SweepProgress tracker(progress, texts, tasks, analysis.elements());
    std::vector<OperatingPoint> results(jobs.size());
    // A report outside the workers whose callback throws ends the run with that exception.
    auto report = [&tracker](void (SweepProgress::*step)()) {
        try {
            (tracker.*step)();
        } catch (const Stopped&) {
            tracker.rethrowFailure();
        }
    };
    if (jobs.empty()) {
        report(&SweepProgress::finish);
        return results;
    }

    std::atomic<std::size_t> next{0};
    auto work = [&](Solver& solver, OperatingPointAnalysis::Workspace& workspace) {
        try {
            const std::function<void(int)> elementDone = [&tracker](int) { tracker.elementDone(); };
            for (std::size_t i = next.fetch_add(1); i < tasks.size() && !tracker.stopped(); i = next.fetch_add(1)) {
                const OperatingPointJob& task = tasks[i];
                if (sectors > 1) {
                    sectorResults[i] = analysis.analyzeSector(solver, workspace, task.conditions, task.pitch,
                                                              static_cast<int>(i % sectors), elementDone, detail);
                } else {
                    results[i] = analysis.analyze(solver, workspace, task.conditions, task.pitch, elementDone, detail);
                }
                tracker.jobDone(i);
            }
        } catch (...) {
            tracker.fail(std::current_exception());
        }
    };

    report(&SweepProgress::start);

    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(m_threads), tasks.size());
    std::vector<Worker> workers =
        threads > 1 ? makeWorkers(m_solver, threads, data.segments, analysis.elements()) : std::vector<Worker>{};
    if (workers.empty()) {
        OperatingPointAnalysis::Workspace workspace(data.segments, analysis.elements());
        work(serialSolver, workspace);
    } else {
        std::vector<std::jthread> helpers;
        helpers.reserve(workers.size() - 1);
        for (std::size_t w = 1; w < workers.size(); ++w) {
            try {
                helpers.emplace_back(work, std::ref(*workers[w].solver), std::ref(workers[w].workspace));
            } catch (const std::system_error&) {
                break;  // no more threads to be had: the ones running share the work
            }
        }
        work(*workers[0].solver, workers[0].workspace);
    }  // every helper thread is joined here
    tracker.rethrowFailure();
    for (std::size_t j = 0; sectors > 1 && j < jobs.size(); ++j) {
        const auto first = sectorResults.begin() + static_cast<std::ptrdiff_t>(j * sectors);
        results[j] = analysis.combine(jobs[j].conditions,
                                      std::vector<RotorSector>(std::make_move_iterator(first),
                                                               std::make_move_iterator(first + sectors)),
                                      detail);
    }
    report(&SweepProgress::finish);
    return results;
}

}  // namespace bemt
