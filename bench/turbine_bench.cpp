// The power curve and the performance surface of the NREL 5-MW example (100 elements,
// CSV polars): the power curve over its 45 wind speeds with the pitch solved above rated
// power, and a 50 x 50 surface of tip speed ratio and pitch, each for the plain rotor
// (argument 0) and for the rotor as it operates, coned 2.5° and tilted 5° in 8 sectors
// (argument 8); and one operating point of that rotor in 1 and 8 sectors on one thread
// and on every core.
//
//   build/bench/turbine_bench --benchmark_filter=Sectors
#include <benchmark/benchmark.h>

#include <memory>

#include "Nrel5MwExample.h"
#include "turbine/PerformanceSurface.h"
#include "bemt/ThreadCount.h"
#include "turbine/TurbineController.h"

namespace {

void ignore(int, const std::string&) {}

// The example's input, plain (sectors 0) or coned and tilted in that many sectors.
bemt::InputDataSet rotor(int sectors) {
    bemt::InputDataSet input = nrel5mw().input;
    if (sectors > 0) input.rotor = {2.5, 5.0, 0.0, 90.0, 0.0, sectors};
    return input;
}

void BM_OperatingPointSectors(benchmark::State& state) {
    const bemt::InputDataSet input = rotor(static_cast<int>(state.range(0)));
    bemt::BEMTTools tools(input.settings.solver);
    tools.setThreads(state.range(1) == 0 ? bemt::ThreadCount::cores() : static_cast<int>(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(tools.analyzeOp(input, ignore, 0.0));
    state.SetLabel(std::to_string(state.range(0)) + " sectors, " +
                   (state.range(1) == 0 ? "every core" : std::to_string(state.range(1)) + " thread"));
}
BENCHMARK(BM_OperatingPointSectors)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({8, 1})
    ->Args({8, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PowerCurveNrel5Mw(benchmark::State& state) {
    const Example& e = nrel5mw();
    const bemt::InputDataSet input = rotor(static_cast<int>(state.range(0)));
    const bemt::TurbineSettings settings = korvane::turbineSettings(e.project);
    bemt::BEMTTools tools(e.project.solverSettings.solver);
    for (auto _ : state) {
        const auto curve = bemt::TurbineController(tools, input, settings).powerCurve(ignore);
        benchmark::DoNotOptimize(curve);
        state.counters["rated_wind_speed"] = curve.ratedWindSpeed;
    }
    state.SetLabel("45 wind speeds, automatic tip speed ratio");
}
BENCHMARK(BM_PowerCurveNrel5Mw)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_SurfaceNrel5Mw50x50(benchmark::State& state) {
    const Example& e = nrel5mw();
    const bemt::InputDataSet input = rotor(static_cast<int>(state.range(0)));
    bemt::BEMTTools tools(e.project.solverSettings.solver);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bemt::PerformanceSurface::compute(tools, input, 9.0, {2.0, 14.25, 0.25},
                                                                   {-2.0, 22.5, 0.5}, ignore));
    }
    state.SetLabel("TSR 2-14.25 x pitch -2-22.5, 2500 points");
}
BENCHMARK(BM_SurfaceNrel5Mw50x50)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
