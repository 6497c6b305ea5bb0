// The numerical core on the new-project rotor (100 elements, NACA 0012): one operating
// point per solver, the blade design, and the characteristics sweep over TSR 0 to 14.
#include <benchmark/benchmark.h>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"

namespace {

using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

const bemt::ProgressCallback kNoProgress = ignoreProgress;

void BM_AnalyzeOp(benchmark::State& state) {
    const auto solver = static_cast<bemt::SolverType>(state.range(0));
    const auto data = defaultRotor(solver);
    bemt::BEMTTools tools(solver);
    for (auto _ : state) benchmark::DoNotOptimize(tools.analyzeOp(data, kNoProgress, 0.0));
    state.SetLabel(solver == bemt::Ning ? "Ning" : solver == bemt::NewtonRaphson ? "Newton-Raphson" : "2D fixed point");
}
BENCHMARK(BM_AnalyzeOp)->Arg(bemt::Ning)->Arg(bemt::NewtonRaphson)->Arg(bemt::FixedPoint2D)->Unit(benchmark::kMillisecond);

void BM_DesignBlade(benchmark::State& state) {
    const auto data = defaultRotor(bemt::FixedPoint2D);
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    for (auto _ : state) benchmark::DoNotOptimize(tools.designBlade(data, kNoProgress, 0.2));
}
BENCHMARK(BM_DesignBlade)->Unit(benchmark::kMillisecond);

void BM_CharacteristicsSweep(benchmark::State& state) {
    const auto solver = static_cast<bemt::SolverType>(state.range(0));
    const auto data = defaultRotor(solver);
    bemt::BEMTTools tools(solver);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            tools.characteristicsSweep(data, bemt::tipSpeedRatio, {0.0, 14.0, 0.5}, {0.0, 0.0, 1.0}, kNoProgress));
}
BENCHMARK(BM_CharacteristicsSweep)->Arg(bemt::Ning)->Arg(bemt::FixedPoint2D)->Unit(benchmark::kMillisecond);

}  // namespace
