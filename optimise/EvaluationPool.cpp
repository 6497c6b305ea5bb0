#include "optimise/EvaluationPool.h"

namespace korvane::optimise {

EvaluationPool::EvaluationPool(std::vector<std::unique_ptr<BladeEvaluator>> evaluators, bemt::ProgressCallback check)
    : m_evaluators(std::move(evaluators)), m_check(std::move(check)) {
    // The helpers stop between elements once any evaluation has failed.
    m_helperCheck = [this](int, const std::string&) {
        if (m_failed.load(std::memory_order_relaxed)) throw Stopped{};
    };
    m_threads.reserve(m_evaluators.size());
    for (std::size_t e = 1; e < m_evaluators.size(); ++e) m_threads.emplace_back(&EvaluationPool::helper, this, e);
}

EvaluationPool::~EvaluationPool() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    m_threads.clear();  // joins them while the members they use still live
}

void EvaluationPool::fail(std::exception_ptr failure) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_failure) m_failure = std::move(failure);
    m_failed.store(true);
}

void EvaluationPool::work(std::size_t evaluator) {
    const bemt::ProgressCallback& check = evaluator == 0 ? m_check : m_helperCheck;
    try {
        for (std::size_t i = m_next.fetch_add(1); i < m_count && !m_failed.load(); i = m_next.fetch_add(1)) {
            if (evaluator == 0) check(0, {});
            m_responses[i] = m_evaluators[evaluator]->evaluate(*m_variables, m_points + i * m_n, check);
        }
    } catch (const Stopped&) {
        // another evaluation failed first
    } catch (...) {
        fail(std::current_exception());
    }
}

void EvaluationPool::helper(std::size_t evaluator) {
    std::size_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_closing || m_batch != seen; });
            if (m_closing) return;
            seen = m_batch;
        }
        work(evaluator);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            --m_busy;
        }
        m_idle.notify_one();
    }
}

void EvaluationPool::run(const BladeVariables& variables, const double* points, std::size_t count,
                         BladeResponse* responses) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_points = points;
        m_count = count;
        m_variables = &variables;
        m_n = static_cast<std::size_t>(variables.count());
        m_responses = responses;
        m_next.store(0);
        m_failed.store(false);
        m_failure = nullptr;
        m_busy = m_threads.size();
        ++m_batch;
    }
    m_wake.notify_all();
    work(0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [&] { return m_busy == 0; });
    if (m_failure) std::rethrow_exception(m_failure);
}

}  // namespace korvane::optimise
