// Heap allocations of the numerical core, counted by a replacement global allocator and
// reported as the counter `allocations` per iteration. Element solves run millions of
// times in a characteristics sweep and should allocate nothing; an operating point and a
// parallel sweep should allocate the same for 20 and for 400 elements (per sweep the
// workers with their threads and polar copies, per operating point its result; nothing
// per element or per iteration, on any thread).
//
//   build/bench/allocation_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"
#include "bemt/Compute.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/Solver2D.h"
#include "bemt/SolverNR.h"
#include "bemt/SolverNing.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// The replacement pair below is matched (malloc and free); the compiler cannot see that
// once it inlines the library's sized delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

const bemt::ProgressCallback kNoProgress = ignoreProgress;

// Runs work once per iteration and reports its allocations per iteration.
template <typename Work>
void countAllocations(benchmark::State& state, Work work) {
    long counted = 0;
    for (auto _ : state) {
        const long before = allocations.load();
        work();
        counted += allocations.load() - before;
    }
    state.counters["allocations"] = benchmark::Counter(static_cast<double>(counted), benchmark::Counter::kAvgIterations);
}

std::unique_ptr<bemt::Solver> makeSolver(bemt::SolverType type) {
    switch (type) {
        case bemt::Ning: return std::make_unique<bemt::SolverNing>();
        case bemt::NewtonRaphson: return std::make_unique<bemt::SolverNR>();
        default: return std::make_unique<bemt::Solver2D>();
    }
}

// 100 element solves on a blended polar, each from the previous solution.
void BM_ElementSolves(benchmark::State& state) {
    auto data = defaultRotor();
    bemt::ProfileParamsCombined blend;
    blend.setProfiles(data.segments[0].first.get(), data.segments[0].second.get());
    blend.setRatio(0.3);
    const auto solver = makeSolver(static_cast<bemt::SolverType>(state.range(0)));
    bemt::Compute compute(solver.get(), data.settings, data.conditions);
    countAllocations(state, [&] {
        for (int i = 0; i < 100; ++i) {
            const auto s = compute.analyzeElement(compute.elementRadius(i), 1.0, 0.1, &blend);
            compute.usePrevSolution(s);
        }
    });
}
BENCHMARK(BM_ElementSolves)->ArgName("solver")->Arg(bemt::Ning)->Arg(bemt::NewtonRaphson)->Arg(bemt::FixedPoint2D);

void BM_OperatingPoint(benchmark::State& state) {
    auto data = defaultRotor();
    data.settings.n_elements = static_cast<int>(state.range(0));
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    countAllocations(state, [&] { benchmark::DoNotOptimize(tools.analyzeOp(data, kNoProgress, 0.0)); });
}
BENCHMARK(BM_OperatingPoint)->ArgName("elements")->Arg(20)->Arg(400)->Unit(benchmark::kMillisecond);

// Twelve tip speed ratios by three pitch angles on two threads.
void BM_ParallelSweep(benchmark::State& state) {
    auto data = defaultRotor(bemt::Ning);
    data.settings.n_elements = static_cast<int>(state.range(0));
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(2);
    auto sweep = [&] {
        benchmark::DoNotOptimize(
            tools.characteristicsSweep(data, bemt::tipSpeedRatio, {2.0, 12.0, 1.0}, {0.0, 4.0, 2.0}, kNoProgress));
    };
    sweep();  // the first run starts what stays (thread-local state of the library)
    countAllocations(state, sweep);
}
BENCHMARK(BM_ParallelSweep)->ArgName("elements")->Arg(20)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
