// One operating point of the NREL 5-MW example as a caller of the project library computes
// it from a project in memory: the checks, the airfoil segments from the polar files,
// and the point on one thread. The Python module does the same for
// Project.operating_point(threads=1); bench/python_bench.py measures that call, so the
// two give the module's own cost. Arguments: the number of elements (17 as in CCBlade's
// example of this rotor, and the project's 100).
#include <benchmark/benchmark.h>

#include "bemt/BEMTTools.h"
#include "project/computation_input.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace {

void ignore(int, const std::string&) {}

void BM_OperatingPointNrel5Mw(benchmark::State& state) {
    const std::string path = KORVANE_EXAMPLES "/nrel5mw.kvp";
    korvane::ProjectData project = korvane::kvp::read(korvane::readTextFile(path), path);
    project.solverSettings.n_elements = static_cast<int>(state.range(0));
    for (auto _ : state) {
        korvane::checkForComputation(project);
        const bemt::InputDataSet input = korvane::computationInput(project, ignore, [] { return false; });
        bemt::BEMTTools tools(project.solverSettings.solver);
        tools.setThreads(1);
        const auto points = tools.pitchSweep(input, bemt::BEMTTools::pitchRange(project.computeSettings), ignore);
        benchmark::DoNotOptimize(points);
        state.counters["Cp"] = points.front().op.Cp;
    }
}
BENCHMARK(BM_OperatingPointNrel5Mw)->Arg(17)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
