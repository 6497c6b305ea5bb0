// The program's side of the xfoil-core conversation, against a scripted fake adapter:
// the exact lines sent, converged and unconverged answers, children that exit early,
// never answer, answer garbage or explain themselves on standard error, interruption,
// and the failures before any child starts.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <sstream>
#include <thread>
#include <tuple>

#include "AirfoilTestSupport.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/HelperXfoil.h"
#include "bemt/ProfileParamsXfoil.h"

namespace {

using namespace korvane::testing;
using bemt::ProfileParamsXfoil;
using Clock = std::chrono::steady_clock;

const std::string kCoordinates = "Test airfoil\n1.0 0.0\n0.5 0.05\n\n0.0 0.0 trailing words\n0.5 -0.05\n1.0 0.0\n";

// Each test talks to the fake adapter in a folder of its own, about the coordinates above.
class XfoilChannel : public ::testing::Test {
protected:
    TempDir dir;
    ProfileParamsXfoil polar;
    std::istringstream coords{kCoordinates};
};

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

TEST_F(XfoilChannel, SendsCoordinatesSettingsAndRequestsLineByLineAndKeepsOnlyConvergedAngles) {
    const auto adapter = fakeAdapter(dir, "converging");
    std::vector<int> steps;
    polar.setupData("test", &coords, 500000, 0.1, 5, 5, 1, 7, 9, [&](int p) { steps.push_back(p); },
                    fakeChannel(adapter));
    // The title and the blank line are not points, words after x and y are ignored.
    const std::vector<std::string> expected = {
        "5",        "1.000000",        "0.000000", "0.500000", "0.050000", "0.000000", "0.000000",
        "0.500000", "-0.050000",       "1.000000", "0.000000", "",         "20",       "7",
        "9",        "0.087266",        "500000.000000",        "0.100000", ""};
    EXPECT_EQ(fakeLog(adapter), expected);
    EXPECT_EQ(steps, std::vector<int>{100});  // a single angle is the whole sweep
    EXPECT_EQ(polar.size(), 1u);
    EXPECT_DOUBLE_EQ(polar.relativeThickness(), 0.123);
    EXPECT_DOUBLE_EQ(polar.getCurrentReynolds(), 500000);
    EXPECT_FALSE(polar.hasReynoldsRange());

    // A sweep keeps only converged angles: 21 requests; the fake does not converge at 13° and 14°.
    std::istringstream text(kCoordinates);
    ProfileParamsXfoil sweep;
    steps.clear();
    sweep.setupData("test", &text, 1e6, 0, -5, 15, 1, 5, 9, [&](int p) { steps.push_back(p); }, fakeChannel(adapter));
    ASSERT_EQ(sweep.size(), 19u);
    EXPECT_DOUBLE_EQ(sweep.alphaList().front(), -5);
    EXPECT_DOUBLE_EQ(sweep.alphaList()[17], 12);
    EXPECT_DOUBLE_EQ(sweep.alphaList().back(), 15);
    EXPECT_DOUBLE_EQ(sweep.alphaMin(), bemt::Common::deg2rad(-5));
    EXPECT_DOUBLE_EQ(sweep.alphaMax(), bemt::Common::deg2rad(15));
    // Values come back as sent, in single precision.
    EXPECT_NEAR(sweep.clList()[5], 0.0, 1e-6);
    EXPECT_NEAR(sweep.clList()[10], 2 * std::numbers::pi * bemt::Common::deg2rad(5), 1e-5);
    EXPECT_NEAR(sweep.cl(bemt::Common::deg2rad(5)), 2 * std::numbers::pi * bemt::Common::deg2rad(5), 1e-5);
    ASSERT_EQ(steps.size(), 21u);
    EXPECT_EQ(steps.front(), 0);
    EXPECT_EQ(steps[10], 50);
    EXPECT_EQ(steps.back(), 100);
}

// Only answers starting with a capital T converge (the words in turn: True, Tconv, False,
// X, T with a NaN, t); a child that floods standard error is still read to the end.
TEST_F(XfoilChannel, OnlyAnswersStartingWithCapitalTConvergeAndAdapterNotesReachTheCaller) {
    polar.setupData("test", &coords, 1e6, 0, 0, 5, 1, 5, 9, {}, fakeChannel(fakeAdapter(dir, "words")));
    EXPECT_EQ(polar.alphaList(), (std::vector<double>{0, 1}));
    EXPECT_DOUBLE_EQ(polar.relativeThickness(), 0.2);
    std::istringstream again(kCoordinates);
    ProfileParamsXfoil noisy;
    noisy.setupData("test", &again, 1e6, 0, 0, 4, 1, 5, 9, {}, fakeChannel(fakeAdapter(dir, "noisy")));
    EXPECT_EQ(noisy.size(), 5u);
    EXPECT_EQ(noisy.adapterNote(), "Line 9998; line 9999; the coordinates look odd.");
}

// A child that exits early ends the sweep at once, keeping earlier points, and is sent
// nothing more; a silent one is given up after the time limit; the adapter's own
// explanation on standard error becomes the message, without its name. Only the silent
// child waits for the time limit of 0.3 s; the others end before a limit of 10 s.
TEST_F(XfoilChannel, ChildrenThatFailEndTheSweepWithTheirReason) {
    const struct {
        const char* mode;
        std::string message;  // after "The XFOIL adapter <path> " unless it starts with "XFOIL"
        std::size_t points;
    } cases[] = {
        {"exit3", "ended without answering.", 3},
        {"silent", "did not answer within 0.3 s.", 0},
        {"garbage", "gave an answer that is not a result: \"0.5abc\".", 0},
        {"garbage-thickness", "gave an answer that is not a result: \"thick\".", 0},
        {"not-installed", "XFOIL is not installed (no /usr/bin/xfoil).", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        std::istringstream text(kCoordinates);
        ProfileParamsXfoil sweep;
        const auto adapter = fakeAdapter(dir, c.mode);
        const auto start = Clock::now();
        const auto limit = std::chrono::milliseconds(std::string(c.mode) == "silent" ? 300 : 10000);
        const std::string error =
            errorOf([&] { sweep.setupData("test", &text, 1e6, 0, 0, 9, 1, 5, 9, {}, fakeChannel(adapter, limit)); });
        const bool own = c.message.starts_with("XFOIL");
        EXPECT_EQ(error, own ? c.message : "The XFOIL adapter " + adapter.string() + " " + c.message);
        EXPECT_EQ(sweep.size(), c.points);
        EXPECT_LT(seconds(start), 2.0);
    }
    // No further requests went out after the child had gone.
    EXPECT_EQ(fakeLog(dir.path() / "exit3").size(), 12u + 3u + 4u * 4u);
}

TEST_F(XfoilChannel, InterruptionEndsAWaitPromptlyAndKeepsEarlierPoints) {
    std::atomic<bool> stop{false};
    auto channel = fakeChannel(fakeAdapter(dir, "slow"));
    channel.interrupted = [&] { return stop.load(); };
    Clock::time_point stopped;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        stopped = Clock::now();
        stop = true;
    });
    const std::string error = errorOf([&] { polar.setupData("test", &coords, 1e6, 0, 0, 20, 1, 5, 9, {}, channel); });
    const double reaction = seconds(stopped);
    stopper.join();
    EXPECT_EQ(error, bemt::XfoilCommunicator::kInterrupted);
    std::printf("interruption reaction %.3f s\n", reaction);
    EXPECT_LT(reaction, 1.0);
    EXPECT_GE(polar.size(), 1u);
    EXPECT_LT(polar.size(), 6u);
    EXPECT_DOUBLE_EQ(polar.alphaMin(), 0.0);
}

TEST_F(XfoilChannel, ThrowingStepEndsTheSweepAtOnce) {
    int calls = 0;
    const std::string error = errorOf([&] {
        polar.setupData(
            "test", &coords, 1e6, 0, 0, 20, 1, 5, 9,
            [&](int) {
                if (++calls == 3) throw bemt::Error("stop");
            },
            fakeChannel(fakeAdapter(dir, "converging")));
    });
    EXPECT_EQ(error, "stop");
    EXPECT_EQ(polar.size(), 3u);
    EXPECT_DOUBLE_EQ(polar.alphaMax(), bemt::Common::deg2rad(2));
}

TEST_F(XfoilChannel, FailuresBeforeAnyChildStarts) {
    const auto channel = fakeChannel(fakeAdapter(dir, "converging"));
    // Steps that are not positive, angles out of order or range, Reynolds numbers that are no numbers.
    for (const auto& [re, lo, hi, step] : {std::tuple{1e6, 0.0, 10.0, 0.0},
                                           {1e6, 0.0, 10.0, -0.5},
                                           {1e6, 10.0, 0.0, 1.0},
                                           {1e6, -181.0, 0.0, 1.0},
                                           {1e6, 0.0, 1e20, 1.0},
                                           {std::nan(""), 0.0, 5.0, 1.0},
                                           {1e300, 0.0, 5.0, 1.0}}) {
        EXPECT_EQ(errorOf([&] { polar.setupData("t", &coords, re, 0, lo, hi, step, 5, 9, {}, channel); }),
                  "Wrong airfoil XFOIL data parameters.");
    }
    const std::string missing = (dir.path() / "missing.dat").string();
    EXPECT_EQ(errorOf([&] { polar.setupData(missing, 1e6, 0, 0, 10, 1, 5, 9, {}, channel); }),
              "The file " + missing + " could not be opened: No such file or directory.");
    // A missing adapter, a folder of its name (which passes access(X_OK)), a file that
    // cannot be executed.
    std::filesystem::create_directory(dir.path() / "xfoil-core");
    const auto plain = dir.write("plain", "#!/bin/sh\n");
    for (const auto& program : {dir.path() / "no-such-adapter", dir.path() / "xfoil-core", plain}) {
        auto absent = channel;
        absent.program = program;
        std::istringstream text(kCoordinates);
        EXPECT_EQ(errorOf([&] { polar.setupData("t", &text, 1e6, 0, 0, 10, 1, 5, 9, {}, absent); }),
                  "The XFOIL adapter " + program.string() + " was not found or is not executable.");
        EXPECT_FALSE(bemt::XfoilCommunicator::isExecutableFile(program));
    }
    EXPECT_TRUE(fakeLog(channel.program).empty());
}

}  // namespace
