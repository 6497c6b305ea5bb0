#pragma once
// Blade evaluations run side by side: one evaluator per thread, the calling thread's
// first, and threads that live as long as the pool and wait between batches, so that a
// batch (a point and its finite-difference neighbours) starts no thread and allocates
// nothing. Each result lands at its point's index, so a batch gives the same results on
// any number of threads.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "optimise/BladeEvaluator.h"

namespace korvane::optimise {

class EvaluationPool {
public:
    // One thread per evaluator beyond the first; check (called on the calling thread
    // during its evaluations) may throw to stop the batch.
    EvaluationPool(std::vector<std::unique_ptr<BladeEvaluator>> evaluators, bemt::ProgressCallback check);
    ~EvaluationPool();
    EvaluationPool(const EvaluationPool&) = delete;
    EvaluationPool& operator=(const EvaluationPool&) = delete;

    // Evaluates count points of the variables (point i at points + i variables.count()) into
    // responses. The first failure of any evaluation stops the others and propagates.
    void run(const BladeVariables& variables, const double* points, std::size_t count, BladeResponse* responses);

    // The calling thread's evaluator, for blades outside the variables.
    BladeEvaluator& first() { return *m_evaluators.front(); }
    std::size_t threads() const { return m_evaluators.size(); }

private:
    struct Stopped {};
    void work(std::size_t evaluator);
    void helper(std::size_t evaluator);
    void fail(std::exception_ptr failure);

    std::vector<std::unique_ptr<BladeEvaluator>> m_evaluators;
    bemt::ProgressCallback m_check;
    bemt::ProgressCallback m_helperCheck;
    std::vector<std::jthread> m_threads;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::size_t m_batch = 0;      // number of the current batch; helpers wait for a new one
    std::size_t m_busy = 0;       // helpers still on the current batch
    bool m_closing = false;

    const BladeVariables* m_variables = nullptr;
    const double* m_points = nullptr;
    std::size_t m_count = 0;
    std::size_t m_n = 0;
    BladeResponse* m_responses = nullptr;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_failed{false};
    std::exception_ptr m_failure;
};

}  // namespace korvane::optimise
