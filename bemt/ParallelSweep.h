#pragma once
// Independent operating points computed on several threads. Each worker thread has its
// own element solver and its own copies of the polars (whose Reynolds numbers the
// analysis sets) and takes the next operating point as soon as it has finished one, so
// that every thread stays busy to the end. Each point is computed by the same code from
// the same inputs as in a run one after another, so the results are identical to the
// last bit whatever the number of threads. The sectors of a rotor computed per azimuth
// sector are tasks of their own, combined per point in azimuth order.

#include <cstddef>
#include <string>
#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"

namespace bemt {

class Solver;

struct OperatingPointJob {
    OperatingConditions conditions;
    double pitch = 0.0;      // degrees
    std::size_t text = 0;    // index of the progress text of this point
};

class ParallelSweep {
public:
    // At most `threads` threads work, the calling one included.
    ParallelSweep(SolverType solver, int threads);

    // The operating points of jobs, result i for job i. progress receives the share of
    // all element solves done so far (never decreasing) with the text of the earliest
    // unfinished job, and 100 at the end; one thread at a time calls it. When it throws
    // (or an analysis fails) every worker stops after its current element, all threads
    // are joined, and the first exception propagates. When one thread does all the work
    // (one thread or one job, or polars that cannot be copied), it runs on the calling
    // thread with serialSolver and the segments of data themselves. detail says whether
    // the results keep their element solutions. A run whose results would not fit in
    // the memory the process may use is refused before any work (MemoryBudget's message).
    std::vector<OperatingPoint> run(const InputDataSet& data, const std::vector<OperatingPointJob>& jobs,
                                    const std::vector<std::string>& texts, Solver& serialSolver,
                                    const ProgressCallback& progress, ElementDetail detail) const;

    // The memory a run of jobs points of elements each in sectors holds at its peak, in bytes.
    double estimatedBytes(std::size_t jobs, int elements, ElementDetail detail, int sectors = 1) const;

private:
    SolverType m_solver;
    int m_threads;
};

}  // namespace bemt
