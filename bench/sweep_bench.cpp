// Sweeps of the NREL 5-MW rotor (CSV polars of the reference turbine, Ning solver) on one
// thread and on every core: the characteristics over 501 tip speed ratios with 17 and
// 100 elements (and with neighbouring airfoils blended, which the project does not ask
// for), a 50 x 50 grid of tip speed ratio and pitch, and the whole
// `korvane-cli char` process for 500 steps (the most the command line computes: 0.05 to
// 25 by 0.05, where the in-process sweep starts at 0).
//
//   build/bench/sweep_bench --benchmark_filter=Nrel5Mw
//
// The machine is shared: compare ratios measured in one run, or instruction counts
// (valgrind --tool=callgrind on korvane-cli).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "project/kvp_codec.h"
#include "project/text_file.h"
#include "bemt/BEMTTools.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ThreadCount.h"
#include "bemt/ToolsAirfoil.h"

extern char** environ;

namespace {

using korvane::ProjectData;

const std::string kProject = std::string(KORVANE_EXAMPLES) + "/nrel5mw.kvp";
// 501 tip speed ratios, the first one computed at 0.2.
const bemt::SweepRange kTipSpeedRatios{0.0, 25.0, 0.05};

void ignoreProgress(int, const std::string&) {}
const bemt::ProgressCallback kNoProgress = ignoreProgress;

const ProjectData& project() {
    static const ProjectData data = korvane::kvp::read(korvane::readTextFile(kProject), kProject);
    return data;
}

// A project as korvane-cli computes it: its settings, including whether neighbouring
// airfoils are blended (also when blend asks for it).
bemt::InputDataSet inputOf(const ProjectData& p, int elements, bool blend) {
    bemt::InputDataSet data;
    data.blendAirfoils = blend || p.computeSettings.enable_interpolation;
    data.settings = p.solverSettings;
    data.settings.n_elements = elements;
    data.conditions = p.conditions;
    data.chordPoints = p.chordPoints;
    data.twistPoints = p.twistPoints;
    auto openFile = [](std::string path) -> std::istream* {
        auto stream = std::make_unique<std::ifstream>(path);
        return stream->is_open() ? stream.release() : nullptr;
    };
    data.segments = bemt::ToolsAirfoil::segmentsFromPoints(p.airfoilPoints, openFile, p.conditions, {}, nullptr);
    return data;
}

bemt::InputDataSet nrel5mw(int elements, bool blend = false) { return inputOf(project(), elements, blend); }

// Threads to use: 0 stands for every core.
int threadsOf(benchmark::State& state, int index) {
    const int asked = static_cast<int>(state.range(index));
    const int threads = asked == 0 ? bemt::ThreadCount::cores() : asked;
    state.counters["threads"] = threads;
    return threads;
}

void BM_Nrel5MwCharacteristics(benchmark::State& state) {
    const auto data = nrel5mw(static_cast<int>(state.range(0)));
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(threadsOf(state, 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tools.characteristicsSweep(data, bemt::tipSpeedRatio, kTipSpeedRatios, {0.0, 0.0, 1.0}, kNoProgress));
    }
}
BENCHMARK(BM_Nrel5MwCharacteristics)
    ->ArgNames({"elements", "threads"})
    ->Args({17, 1})
    ->Args({17, 0})
    ->Args({100, 1})
    ->Args({100, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same sweep with neighbouring airfoils blended: two polar lookups per residual.
void BM_Nrel5MwCharacteristicsBlended(benchmark::State& state) {
    const auto data = nrel5mw(17, true);
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(threadsOf(state, 0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tools.characteristicsSweep(data, bemt::tipSpeedRatio, kTipSpeedRatios, {0.0, 0.0, 1.0}, kNoProgress));
    }
}
BENCHMARK(BM_Nrel5MwCharacteristicsBlended)->ArgName("threads")->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The characteristics with and without the rotational stall delay (Du & Selig, Eggers):
// on the 5-MW tables, whose polars do not follow the Reynolds number, and on the NACA
// blade of the examples, whose built-in tables do (so its lines are fitted again at
// every refinement of an element's Reynolds number). Both on one thread.
void BM_CharacteristicsStallDelay(benchmark::State& state) {
    const std::string path = std::string(KORVANE_EXAMPLES) + (state.range(0) == 0 ? "/nrel5mw.kvp" : "/naca_blade.kvp");
    const ProjectData p = korvane::kvp::read(korvane::readTextFile(path), path);
    auto data = inputOf(p, 17, false);
    if (state.range(1) != 0) data.stallDelay = bemt::StallDelayInput{{}, p.conditions.TSR};
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tools.characteristicsSweep(data, bemt::tipSpeedRatio, kTipSpeedRatios, {0.0, 0.0, 1.0}, kNoProgress));
    }
}
BENCHMARK(BM_CharacteristicsStallDelay)
    ->ArgNames({"naca", "stall_delay"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Nrel5MwGrid(benchmark::State& state) {
    const auto data = nrel5mw(17);
    std::vector<bemt::OperatingPointRequest> requests;
    const double Om = data.conditions.Om;
    for (int i = 0; i < 50; ++i) {
        const double tsr = 2.0 + i * 0.2;
        for (int j = 0; j < 50; ++j) requests.push_back({Om * data.conditions.R / tsr, Om, -2.0 + j * 0.5});
    }
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(threadsOf(state, 0));
    for (auto _ : state) benchmark::DoNotOptimize(tools.analyzeOpGrid(data, requests, kNoProgress));
}
BENCHMARK(BM_Nrel5MwGrid)->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// One operating point on many threads must cost no more than on one.
void BM_Nrel5MwSinglePoint(benchmark::State& state) {
    const auto data = nrel5mw(100);
    bemt::BEMTTools tools(bemt::Ning);
    tools.setThreads(threadsOf(state, 0));
    const std::vector<bemt::OperatingPointRequest> one{{data.conditions.V0, data.conditions.Om, 0.0}};
    for (auto _ : state) benchmark::DoNotOptimize(tools.analyzeOpGrid(data, one, kNoProgress));
}
BENCHMARK(BM_Nrel5MwSinglePoint)->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The whole command: start, reading the project and its polars, the sweep, the output.
void BM_Nrel5MwCliChar(benchmark::State& state) {
    const std::string threads = std::to_string(threadsOf(state, 0));
    std::vector<std::string> args{KORVANE_CLI, "char", kProject, "--elements", "17", "--range", "0.05:25:0.05",
                                  "--threads", threads, "--quiet"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("korvane-cli could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("korvane-cli failed");
            break;
        }
    }
}
BENCHMARK(BM_Nrel5MwCliChar)->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
