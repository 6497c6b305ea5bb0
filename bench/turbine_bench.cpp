// The power curve and the performance surface of the NREL 5-MW example (100 elements,
// CSV polars): the power curve over its 45 wind speeds with the pitch solved above rated
// power, and a 50 x 50 surface of tip speed ratio and pitch.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "project/kvp_codec.h"
#include "turbine/PerformanceSurface.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ToolsAirfoil.h"
#include "turbine/TurbineController.h"

namespace {

struct Example {
    korvane::ProjectData project;
    bemt::InputDataSet input;
};

const Example& nrel5mw() {
    static const Example example = [] {
        const std::string path = KORVANE_EXAMPLES "/nrel5mw.kvp";
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        Example e;
        e.project = korvane::kvp::read(text.str(), path);
        // Neighbouring-airfoil blending as the project asks (off: one table per element).
        if (e.project.computeSettings.enable_interpolation) {
            bemt::ProfileParamsCombined::enableInterpolation();
        } else {
            bemt::ProfileParamsCombined::disableInterpolation();
        }
        e.input.settings = e.project.solverSettings;
        e.input.conditions = e.project.conditions;
        e.input.chordPoints = e.project.chordPoints;
        e.input.twistPoints = e.project.twistPoints;
        std::atomic<bool> abort{false};
        e.input.segments = bemt::ToolsAirfoil::segmentsFromPoints(
            e.project.airfoilPoints,
            [](std::string p) -> std::istream* { return new std::ifstream(p, std::ios::binary); },
            e.project.conditions, [](int, std::string) {}, &abort);
        return e;
    }();
    return example;
}

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
