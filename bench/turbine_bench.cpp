// The power curve and the performance surface of the NREL 5-MW example (100 elements,
// CSV polars): the power curve over its 45 wind speeds with the pitch solved above rated
// power, and a 50 x 50 surface of tip speed ratio and pitch.
#include <benchmark/benchmark.h>

#include <memory>

#include "Nrel5MwExample.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace {

void ignore(int, const std::string&) {}

void BM_PowerCurveNrel5Mw(benchmark::State& state) {
    const Example& e = nrel5mw();
    const bemt::TurbineSettings settings = korvane::turbineSettings(e.project);
    bemt::BEMTTools tools(e.project.solverSettings.solver);
    for (auto _ : state) {
        const auto curve = bemt::TurbineController(tools, e.input, settings).powerCurve(ignore);
        benchmark::DoNotOptimize(curve);
        state.counters["rated_wind_speed"] = curve.ratedWindSpeed;
    }
    state.SetLabel("45 wind speeds, automatic tip speed ratio");
}
BENCHMARK(BM_PowerCurveNrel5Mw)->Unit(benchmark::kMillisecond);

void BM_SurfaceNrel5Mw50x50(benchmark::State& state) {
    const Example& e = nrel5mw();
    bemt::BEMTTools tools(e.project.solverSettings.solver);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bemt::PerformanceSurface::compute(tools, e.input, 9.0, {2.0, 14.25, 0.25},
                                                                   {-2.0, 22.5, 0.5}, ignore));
    }
    state.SetLabel("TSR 2-14.25 x pitch -2-22.5, 2500 points");
}
BENCHMARK(BM_SurfaceNrel5Mw50x50)->Unit(benchmark::kMillisecond);

}  // namespace
