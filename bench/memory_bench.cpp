// Peak memory of the largest computations korvane-cli accepts, each run as a whole
// process whose maximum resident set size (getrusage of the child) is reported as the
// counter peak_MB. Operating points keep every element (they are what `op` reports);
// characteristics and surfaces keep totals only, so their peak follows the number of
// points and hardly the number of elements. JSON goes to standard output, which is
// discarded, so that the figure includes writing it.
//
//   build/bench/memory_bench
//
// op:      1001 pitch angles x 10000 elements (the limits of both)
// char:    500 steps x 1001 pitch angles at 17 elements, and 10 x 11 at 10000 elements
// surface: 500 x 500 tip speed ratios and pitch angles at 17 elements, and 10 x 10 at 10000
// The largest surface (250000 points) at 10000 elements would take hours; its memory is
// that of the 17-element one plus one point's elements per thread. On a shared 2-core
// machine the whole run takes about 20 minutes (the 500 x 1001 characteristics most of it);
// measured there: char 17 elements 200 MB, 10000 elements 6 MB; surface 71 MB and 6 MB;
// op 181 pitch angles x 10000 elements (a 1.16 GB JSON) 247 MB.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kProject = std::string(KORVANE_EXAMPLES) + "/new_turbine.kvp";

// Runs korvane-cli with args, standard output discarded; the child's peak resident
// set in MB, or a negative number when it failed.
double peakMegabytes(std::vector<std::string> args) {
    args.insert(args.begin(), KORVANE_CLI);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1.0;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void run(benchmark::State& state, const std::vector<std::string>& args) {
    double peak = 0.0;
    for (auto _ : state) peak = peakMegabytes(args);
    if (peak < 0.0) state.SkipWithError("korvane-cli failed");
    state.counters["peak_MB"] = peak;
}

void BM_LargestOp(benchmark::State& state) {
    run(state, {"op", kProject, "--pitch", "0:90:0.09", "--elements", "10000", "--json", "-", "-q"});
}
BENCHMARK(BM_LargestOp)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_LargestChar(benchmark::State& state) {
    const std::string elements = std::to_string(state.range(0));
    if (state.range(0) > 100) {
        run(state, {"char", kProject, "--range", "1:10:1", "--pitch", "0:10:1", "--elements", elements, "--json", "-"});
    } else {
        run(state, {"char", kProject, "--range", "0.05:25:0.05", "--pitch", "0:90:0.09", "--elements", elements,
                    "--json", "-"});
    }
}
BENCHMARK(BM_LargestChar)->ArgName("elements")->Arg(17)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_LargestSurface(benchmark::State& state) {
    const std::string elements = std::to_string(state.range(0));
    if (state.range(0) > 100) {
        run(state, {"surface", kProject, "--tsr", "1:10:1", "--pitch", "0:9:1", "--elements", elements, "--json", "-"});
    } else {
        run(state, {"surface", kProject, "--tsr", "0.1:25:0.0499", "--pitch", "0:90:0.1803", "--elements", elements,
                    "--json", "-"});
    }
}
BENCHMARK(BM_LargestSurface)->ArgName("elements")->Arg(17)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
