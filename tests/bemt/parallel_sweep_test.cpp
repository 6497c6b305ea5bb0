// Sweeps on several threads: the same numbers as one after another for every solver and
// every kind of polar, the per-thread polar copies, progress, abort, the thread count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DefaultRotor.h"
#include "ErrorOf.h"
#include "TestPolars.h"
#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "bemt/PolarCopies.h"
#include "bemt/ProfileParamsCSV.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ThreadCount.h"

namespace {

using korvane::testing::csvPolar;
using korvane::testing::defaultRotor;
using korvane::testing::ignoreProgress;

// A thick-ish airfoil measured from -10 to 20 degrees, lift slope and stall included.
const char* const kPolarA =
    "alpha,cl,cd\n-10,-0.62,0.0210\n-6,-0.35,0.0110\n-2,0.05,0.0080\n0,0.25,0.0075\n2,0.46,0.0078\n4,0.67,0.0085\n"
    "6,0.88,0.0095\n8,1.06,0.0110\n10,1.20,0.0135\n12,1.28,0.0180\n14,1.25,0.0280\n16,1.15,0.0450\n20,0.95,0.0900\n";
// The same airfoil at a higher Reynolds number: more lift, less drag, later stall.
const char* const kPolarB =
    "alpha,cl,cd\n-10,-0.70,0.0180\n-6,-0.40,0.0095\n-2,0.06,0.0068\n0,0.27,0.0064\n2,0.49,0.0066\n4,0.71,0.0072\n"
    "6,0.93,0.0080\n8,1.13,0.0092\n10,1.30,0.0110\n12,1.42,0.0140\n14,1.46,0.0200\n16,1.38,0.0330\n20,1.10,0.0750\n";

// The new-project rotor with one of three kinds of airfoil data along the blade.
enum class Airfoils { Naca, Csv, Blended };

bemt::InputDataSet rotorWith(Airfoils kind, bemt::SolverType solver, int elements) {
    auto data = defaultRotor(solver, elements);
    data.segments.clear();
    switch (kind) {
        case Airfoils::Naca: {
            // NACA tables depend on the Reynolds number: every element is refined.
            auto root = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0018);
            auto tip = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0012);
            data.segments.push_back({0.06, 1.0, root, tip});
            break;
        }
        case Airfoils::Csv: {
            auto polar = csvPolar(kPolarA);
            data.segments.push_back({0.06, 1.0, polar, polar});
            break;
        }
        case Airfoils::Blended: {
            // NACA at the root, blended towards a CSV polar, then a Reynolds combination of
            // two CSV polars shared by the last two segments, as repeated points share it.
            auto naca = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0021);
            auto csv = csvPolar(kPolarA);
            auto combination = std::make_shared<bemt::ProfileParamsCombined>();
            combination->setProfiles(std::shared_ptr<bemt::ProfileParams>(csvPolar(kPolarA)),
                                     std::shared_ptr<bemt::ProfileParams>(csvPolar(kPolarB)));
            combination->setReynoldsRange(3e5, 3e6);
            data.segments.push_back({0.06, 0.3, naca, csv});
            data.segments.push_back({0.3, 0.7, csv, combination});
            data.segments.push_back({0.7, 1.0, combination, combination});
            break;
        }
    }
    return data;
}

// The numbers of a result in order; the profile pointers are each computation's own.
std::vector<double> numbers(const bemt::OperatingPoint& p) {
    std::vector<double> n{p.conditions.V0, p.conditions.TSR, p.conditions.Om, p.T, p.P, p.Ct, p.Cp, p.dr,
                          double(p.converged), double(p.extrapolated)};
    for (const bemt::Solution& s : p.solutions)
        n.insert(n.end(), {s.r, s.c, s.theta, s.phi, s.alpha, s.alphaOpt, s.a, s.a_, s.cl, s.cd, s.F,
                           double(s.extrapolated), double(s.converged), s.dP, s.dT});
    return n;
}

// Equal to the last bit (NaN equals NaN, 0 differs from -0).
void expectIdentical(const std::vector<double>& a, const std::vector<double>& b, const std::string& where) {
    EXPECT_TRUE(a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0) << where;
}

void expectIdentical(const bemt::OperatingPoint& a, const bemt::OperatingPoint& b, const std::string& where) {
    expectIdentical(numbers(a), numbers(b), where);
}

std::vector<double> numbers(const std::vector<bemt::pitchControlledCharacteristicElement>& sweep) {
    std::vector<double> n;
    for (const auto& step : sweep) {
        n.insert(n.end(), {step.conditions.TSR, step.conditions.V0, double(step.points.size())});
        for (const auto& point : step.points) {
            n.push_back(point.pitch);
            const auto op = numbers(point.op);
            n.insert(n.end(), op.begin(), op.end());
        }
    }
    return n;
}

int threadsOfThisProcess() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

TEST(ParallelSweep, CharacteristicsOnFourThreadsEqualTheSerialSweepForEverySolverAndPolar) {
    for (auto kind : {Airfoils::Naca, Airfoils::Csv, Airfoils::Blended}) {
        for (auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
            const auto data = rotorWith(kind, solver, 24);
            const bemt::SweepRange tsr{1.0, 12.0, 1.0};
            const bemt::SweepRange pitch{0.0, 4.0, 2.0};
            bemt::BEMTTools serial(solver);
            serial.setThreads(1);
            bemt::BEMTTools parallel(solver);
            parallel.setThreads(4);
            const auto one = serial.characteristicsSweep(data, bemt::tipSpeedRatio, tsr, pitch, ignoreProgress);
            const auto many = parallel.characteristicsSweep(data, bemt::tipSpeedRatio, tsr, pitch, ignoreProgress);
            ASSERT_EQ(one.size(), 12u);
            ASSERT_EQ(one[0].points.size(), 3u);
            expectIdentical(numbers(one), numbers(many),
                            "kind " + std::to_string(static_cast<int>(kind)) + " solver " + std::to_string(solver));
        }
    }
}

TEST(ParallelSweep, GridAndPitchSweepEqualSingleAnalysesOneAfterAnother) {
    const auto data = rotorWith(Airfoils::Blended, bemt::Ning, 30);
    bemt::BEMTTools single(bemt::Ning);
    bemt::BEMTTools parallel(bemt::Ning);
    parallel.setThreads(3);

    std::vector<bemt::OperatingPointRequest> requests;
    for (double v0 : {4.0, 7.5, 11.0, 25.0})
        for (double pitch : {-2.0, 0.0, 3.0}) requests.push_back({v0, data.conditions.Om * (v0 / 8.0), pitch});
    const auto grid = parallel.analyzeOpGrid(data, requests, ignoreProgress);
    ASSERT_EQ(grid.size(), requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        auto input = data;
        input.conditions.V0 = requests[i].V0;
        input.conditions.Om = requests[i].Om;
        input.conditions.TSR = requests[i].Om * input.conditions.R / requests[i].V0;
        bemt::OperatingPoint expected = single.analyzeOp(input, ignoreProgress, requests[i].pitch);
        expected.solutions.clear();  // a grid keeps totals only
        expectIdentical(expected, grid[i], "request " + std::to_string(i));
    }

    const auto points = parallel.pitchSweep(data, {-4.0, 8.0, 2.0}, ignoreProgress);
    ASSERT_EQ(points.size(), 7u);
    for (const auto& point : points)
        expectIdentical(single.analyzeOp(data, ignoreProgress, point.pitch), point.op,
                        "pitch " + std::to_string(point.pitch));
}

TEST(ParallelSweep, ProgressRisesMonotonicallyFromOneThreadAtATimeWithTheEarliestPitchInItsText) {
    const auto data = rotorWith(Airfoils::Naca, bemt::FixedPoint2D, 40);
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    tools.setThreads(4);
    std::atomic<int> inside{0};
    bool overlapped = false;
    std::vector<int> percents;
    std::vector<std::string> texts;
    const auto points = tools.pitchSweep(data, {0.0, 10.0, 2.5}, [&](int percent, const std::string& text) {
        if (inside.fetch_add(1) != 0) overlapped = true;
        percents.push_back(percent);
        texts.push_back(text);
        inside.fetch_sub(1);
    });
    ASSERT_EQ(points.size(), 5u);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(texts.front(), "Computing the operating point (0 °).");
    EXPECT_EQ(texts.back(), "Computing the operating point (10 °).");

    // A grid without requests reports its end and returns nothing.
    std::vector<int> empty;
    EXPECT_TRUE(tools.analyzeOpGrid(data, {}, [&](int p, const std::string&) { empty.push_back(p); }).empty());
    EXPECT_EQ(empty, std::vector<int>{100});
}

TEST(ParallelSweep, AbortStopsEveryWorkerPromptlyAndLeavesNoThreadBehind) {
    const auto data = rotorWith(Airfoils::Blended, bemt::NewtonRaphson, 30);
    bemt::BEMTTools tools(bemt::NewtonRaphson);
    tools.setThreads(4);
    // A first parallel run starts whatever threads the runtime keeps for good (such as a
    // sanitizer's own); the sweep must leave none of its own behind.
    tools.analyzeOpGrid(data, {{8.0, 2.0, 0.0}, {9.0, 2.0, 0.0}}, ignoreProgress);
    const int threadsBefore = threadsOfThisProcess();

    std::atomic<int> calls{0};
    std::atomic<int> callsAfterAbort{0};
    std::atomic<bool> aborted{false};
    const std::string message = "The computation process has been aborted.";
    auto abortAtTwentiethReport = [&](int, const std::string&) {
        if (aborted) ++callsAfterAbort;
        if (++calls == 20) {
            aborted = true;
            throw bemt::Aborted(message);
        }
    };
    try {
        tools.characteristicsSweep(data, bemt::tipSpeedRatio, {1.0, 20.0, 0.5}, {0.0, 10.0, 5.0},
                                   abortAtTwentiethReport);
        ADD_FAILURE() << "the sweep was not aborted";
    } catch (const bemt::Aborted& error) {
        EXPECT_EQ(error.message(), message);
    }
    // Every worker has returned: nothing reports any more, no thread is left.
    EXPECT_EQ(callsAfterAbort.load(), 0);
    EXPECT_EQ(threadsOfThisProcess(), threadsBefore);

    // Any other failure inside a worker ends the sweep the same way.
    auto failing = rotorWith(Airfoils::Naca, bemt::Ning, 30);
    failing.twistPoints.resize(1);
    EXPECT_THROW(tools.analyzeOpGrid(failing, {{8.0, 2.0, 0.0}, {9.0, 2.0, 0.0}}, ignoreProgress), bemt::Error);
}

TEST(ParallelSweep, PolarsThatCannotBeCopiedAreComputedOnTheCallingThread) {
    // A test polar with a Reynolds range and no copy: sharing it between threads would
    // race, so the sweep runs serially and every Reynolds number reaches the one object.
    auto recording = std::make_shared<korvane::testing::ReynoldsRecordingPolar>();
    auto data = defaultRotor(bemt::FixedPoint2D, 10);
    data.segments = {{0.06, 1.0, recording, recording}};
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    tools.setThreads(4);
    const auto points = tools.pitchSweep(data, {0.0, 4.0, 1.0}, ignoreProgress);
    EXPECT_EQ(points.size(), 5u);
    EXPECT_GT(recording->calls, 5 * 10);
    EXPECT_FALSE(bemt::PolarCopies::copySegments(data.segments).has_value());
}

TEST(PolarCopies, CopiesHaveTheirOwnReynoldsNumbersAndKeepTheSharingOfTheOriginal) {
    auto data = rotorWith(Airfoils::Blended, bemt::Ning, 10);
    const auto copies = bemt::PolarCopies::copySegments(data.segments);
    ASSERT_TRUE(copies.has_value());
    ASSERT_EQ(copies->size(), 3u);
    const auto& s = *copies;
    // Shared in the original, shared in the copy; never the original object.
    EXPECT_EQ(s[0].second, s[1].first);
    EXPECT_EQ(s[1].second, s[2].first);
    EXPECT_EQ(s[2].first, s[2].second);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(s[i].first, data.segments[i].first);
        EXPECT_NE(s[i].second, data.segments[i].second);
    }

    // The NACA copy follows its own Reynolds number.
    s[0].first->setReynolds(2e5);
    EXPECT_DOUBLE_EQ(data.segments[0].first->getCurrentReynolds(), 1e6);
    EXPECT_NE(s[0].first->cl(0.2), data.segments[0].first->cl(0.2));

    // The Reynolds combination blends copies of both analyses with a ratio of its own.
    auto* original = static_cast<bemt::ProfileParamsCombined*>(data.segments[2].first.get());
    auto* copy = static_cast<bemt::ProfileParamsCombined*>(s[2].first.get());
    EXPECT_NE(copy->getProfile1(), original->getProfile1());
    copy->setReynolds(3e6);
    original->setReynolds(3e5);
    EXPECT_DOUBLE_EQ(copy->ratio(), 1.0);
    EXPECT_DOUBLE_EQ(original->ratio(), 0.0);
    EXPECT_DOUBLE_EQ(copy->cl(0.1), csvPolar(kPolarB)->cl(0.1));
    EXPECT_DOUBLE_EQ(original->cl(0.1), csvPolar(kPolarA)->cl(0.1));
}

TEST(ThreadCountVariable, WholeNumbersFromOneAreTakenAnythingElseIsNamedInTheMessage) {
    const char* saved = std::getenv("KORVANE_THREADS");
    const std::optional<std::string> restore = saved ? std::optional<std::string>(saved) : std::nullopt;
    unsetenv("KORVANE_THREADS");
    EXPECT_FALSE(bemt::ThreadCount::fromEnvironment().has_value());
    EXPECT_EQ(bemt::ThreadCount::standard(), bemt::ThreadCount::cores());
    EXPECT_EQ(bemt::BEMTTools().threads(), bemt::ThreadCount::cores());

    setenv("KORVANE_THREADS", "3", 1);
    EXPECT_EQ(bemt::ThreadCount::fromEnvironment(), 3);
    EXPECT_EQ(bemt::BEMTTools().threads(), 3);

    for (const char* wrong : {"0", "-2", "2.5", "4x", "many", "1e9", "nan"}) {
        setenv("KORVANE_THREADS", wrong, 1);
        EXPECT_EQ(
            korvane::testing::errorOf([] { bemt::ThreadCount::fromEnvironment(); }),
            std::string("KORVANE_THREADS must be a whole number of threads from 1 to 1024, not \"") + wrong + "\".");
        // Programs that cannot report it fall back to every core.
        EXPECT_EQ(bemt::ThreadCount::standard(), bemt::ThreadCount::cores());
    }
    if (restore) {
        setenv("KORVANE_THREADS", restore->c_str(), 1);
    } else {
        unsetenv("KORVANE_THREADS");
    }
}

}  // namespace
