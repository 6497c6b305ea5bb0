// Element solves run millions of times in a characteristics sweep: they must not touch
// the heap. A counting global allocator checks it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
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

long allocationsDuring(const std::function<void()>& work) {
    const long before = allocations.load();
    work();
    return allocations.load() - before;
}

TEST(Allocation, ElementSolvesDoNotAllocate) {
    auto data = defaultRotor();
    bemt::ProfileParamsCombined blend;
    blend.setProfiles(data.segments[0].first.get(), data.segments[0].second.get());
    blend.setRatio(0.3);
    bemt::SolverNing ning;
    bemt::SolverNR nr;
    bemt::Solver2D fixed;
    for (bemt::Solver* solver : {static_cast<bemt::Solver*>(&ning), static_cast<bemt::Solver*>(&nr),
                                 static_cast<bemt::Solver*>(&fixed)}) {
        bemt::Compute compute(solver, data.settings, data.conditions);
        const long count = allocationsDuring([&] {
            for (int i = 0; i < 100; ++i) {
                const auto s = compute.analyzeElement(compute.elementRadius(i), 1.0, 0.1, &blend);
                compute.usePrevSolution(s);
            }
        });
        EXPECT_EQ(count, 0);
    }
}

TEST(Allocation, AnOperatingPointAllocatesTheSameForAnyNumberOfElements) {
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    auto small = defaultRotor();
    small.settings.n_elements = 20;
    auto large = defaultRotor();
    large.settings.n_elements = 400;
    const bemt::ProgressCallback progress = ignoreProgress;
    const long a = allocationsDuring([&] { tools.analyzeOp(small, progress, 0.0); });
    const long b = allocationsDuring([&] { tools.analyzeOp(large, progress, 0.0); });
    EXPECT_EQ(a, b);
}

TEST(Allocation, AParallelSweepAllocatesTheSameForAnyNumberOfElements) {
    // Per sweep: the workers with their threads and polar copies; per operating point:
    // its result. Nothing per element or per iteration, on any thread.
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(2);
    auto small = defaultRotor(bemt::Ning);
    small.settings.n_elements = 20;
    auto large = defaultRotor(bemt::Ning);
    large.settings.n_elements = 400;
    const bemt::ProgressCallback progress = ignoreProgress;
    auto sweep = [&](const bemt::InputDataSet& data) {
        tools.characteristicsSweep(data, bemt::tipSpeedRatio, {2.0, 12.0, 1.0}, {0.0, 4.0, 2.0}, progress);
    };
    sweep(small);  // the first run starts what stays (thread-local state of the library)
    const long a = allocationsDuring([&] { sweep(small); });
    const long b = allocationsDuring([&] { sweep(large); });
    EXPECT_EQ(a, b);
}

}  // namespace
