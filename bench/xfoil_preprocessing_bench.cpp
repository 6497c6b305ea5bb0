// Wall time of the XFOIL preprocessing: two "Coordinates" airfoil points at two
// Reynolds numbers each (four sweeps -10°...20° by 0.5°, 61 angles) on parallel
// workers, one sweep alone through the adapter, and the same sweep by Debian's XFOIL
// alone from a command file (the floor the adapter's overhead is measured against).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ToolsAirfoil.h"

namespace {

namespace fs = std::filesystem;

std::string example(const char* name) { return std::string(KORVANE_EXAMPLE_AIRFOILS) + "/" + name; }

bemt::AirfoilPoint coordinates(double x, const char* file) {
    bemt::AirfoilPoint p;
    p.x_rel = x;
    p.data_type = bemt::Coordinates;
    p.path = example(file);
    p.guess_reynolds = false;
    p.rey_min = 500000;
    p.rey_max = 2000000;
    p.a_min = -10;
    p.a_max = 20;
    p.a_step = 0.5;
    return p;
}

void BM_PreprocessTwoAirfoilsAtTwoReynoldsNumbers(benchmark::State& state) {
    const std::vector<bemt::AirfoilPoint> points = {coordinates(0.1, "naca4415.dat"), coordinates(1.0, "naca2412.dat")};
    auto open = [](std::string path) -> std::istream* { return new std::ifstream(path); };
    for (auto _ : state) {
        auto segments = bemt::ToolsAirfoil::segmentsFromPoints(points, open, {}, {}, nullptr);
        benchmark::DoNotOptimize(segments);
    }
}
BENCHMARK(BM_PreprocessTwoAirfoilsAtTwoReynoldsNumbers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same four sweeps one after another on this thread: the time the parallel
// workers are compared with.
void BM_FourSweepsOneAfterAnother(benchmark::State& state) {
    for (auto _ : state) {
        for (const char* file : {"naca4415.dat", "naca2412.dat"}) {
            for (double reynolds : {500000.0, 2000000.0}) {
                bemt::ProfileParamsXfoil polar;
                polar.setupData(example(file), reynolds, 0, -10, 20, 0.5, 5, 9, {});
                benchmark::DoNotOptimize(polar);
            }
        }
    }
}
BENCHMARK(BM_FourSweepsOneAfterAnother)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OneSweepThroughTheAdapter(benchmark::State& state) {
    for (auto _ : state) {
        bemt::ProfileParamsXfoil polar;
        polar.setupData(example("naca2412.dat"), 1000000, 0, -10, 20, 0.5, 5, 9, {});
        benchmark::DoNotOptimize(polar);
    }
}
BENCHMARK(BM_OneSweepThroughTheAdapter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same sweep typed straight into XFOIL (one pass per angle, no checks, no retries).
void BM_OneSweepByXfoilAlone(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / ("korvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(example("naca2412.dat"), dir / "foil.dat", fs::copy_options::overwrite_existing);
    {
        std::ofstream script(dir / "commands");
        script << "PLOP\nG\n\nLOAD foil.dat\nPANE\nOPER\nITER 20\nVPAR\nN 9\n\nVISC 1000000\n";
        for (double a = -10; a <= 20; a += 0.5) script << "ALFA " << a << "\n";
        script << "\nQUIT\n";
    }
    const fs::path shim = fs::read_symlink("/proc/self/exe").parent_path() / "libxfoil-nofpe.so";
    const std::string command = "cd " + dir.string() + " && env -u DISPLAY LD_PRELOAD=" + shim.string() +
                                " /usr/bin/xfoil < commands > /dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("XFOIL failed");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_OneSweepByXfoilAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
