// The blade optimisation of the NREL 5-MW example for the most annual energy of its first
// wind climate (Rayleigh, mean 8.5 m/s): chord at most 4.652 m (the published largest),
// thrust at most the starting blade's (or 90 % of it), root chord fixed, 8 control points
// (15 variables, 16 with the target tip speed ratio), on every thread. Each run reports
// its evaluations, the energy gained and the thrust reached; the starts and methods are
// the ones the user guide compares.
#include <benchmark/benchmark.h>

#include <thread>

#include "Nrel5MwExample.h"
#include "optimise/BladeOptimiser.h"

namespace {

using korvane::OptimisationMethod;
using korvane::OptimisationSettings;
using namespace korvane::optimise;

enum Start { ProjectBlade, DesignedBlade };

// Arguments: thrust limit in % of the start's, method, start, tip speed ratio varied.
void BM_OptimiseNrel5MwAep(benchmark::State& state) {
    const Example& e = nrel5mw();
    const bemt::TurbineSettings turbine = korvane::turbineSettings(e.project);
    OptimisationSettings s;
    s.max_chord = 4.652;
    s.max_thrust_ratio = state.range(0) / 100.0;
    s.method = static_cast<OptimisationMethod>(state.range(1));
    s.vary_tsr = state.range(3) != 0;
    s.start_designed = state.range(2) == DesignedBlade;
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    OptimisationResult r;
    for (auto _ : state) r = optimiseBlade(e.input, turbine, s, threads, [](const OptimisationProgress&) {});
    state.counters["evaluations"] = r.evaluations;
    state.counters["aep_gain_pct"] = 100.0 * (r.best.objective / r.start.objective - 1.0);
    state.counters["thrust_ratio"] = r.best.maxThrust / r.start.maxThrust;
    state.counters["feasible"] = r.feasible;
    state.SetLabel(r.method + ", " + endName(r.end));
}
BENCHMARK(BM_OptimiseNrel5MwAep)
    ->ArgNames({"thrust_pct", "method", "start", "tsr"})
    ->Args({100, static_cast<int>(OptimisationMethod::Automatic), ProjectBlade, 0})
    ->Args({100, static_cast<int>(OptimisationMethod::Automatic), ProjectBlade, 1})
    ->Args({90, static_cast<int>(OptimisationMethod::Automatic), ProjectBlade, 0})
    ->Args({100, static_cast<int>(OptimisationMethod::Cobyla), ProjectBlade, 0})
    ->Args({100, static_cast<int>(OptimisationMethod::Automatic), DesignedBlade, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
