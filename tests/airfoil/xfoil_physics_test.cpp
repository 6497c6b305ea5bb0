// The real adapter driving Debian's XFOIL: published figures for NACA 0012, a sweep,
// two Reynolds numbers blended, garbage and missing files, XFOIL missing, broken or
// hanging, and an adapter or an XFOIL killed in the middle of a sweep.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include "AirfoilTestSupport.h"
#include "WorkingFolder.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/HelperXfoil.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ToolsAirfoil.h"

namespace {

using namespace korvane::testing;
using bemt::Common::deg2rad;
using bemt::ProfileParamsXfoil;
using Clock = std::chrono::steady_clock;

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const bemt::Error& error) {
        return error.message();
    }
    return "";
}

double clAt(const ProfileParamsXfoil& polar, double deg) {
    for (std::size_t i = 0; i < polar.size(); ++i) {
        if (polar.alphaList()[i] == deg) return polar.clList()[i];
    }
    return std::nan("");
}

// Abbott and von Doenhoff and XFOIL's own runs put NACA 0012 at Re 1e6 and 5° at
// cl 0.55 and cd 0.008 to 0.009.
TEST(XfoilPhysics, Naca0012AtFiveDegrees) {
    ProfileParamsXfoil polar;
    polar.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, 5, 5, 1, 5, 9, {});
    ASSERT_EQ(polar.size(), 1u);
    EXPECT_GE(polar.clList()[0], 0.54);
    EXPECT_LE(polar.clList()[0], 0.57);
    EXPECT_GE(polar.cdList()[0], 0.007);
    EXPECT_LE(polar.cdList()[0], 0.010);
    EXPECT_NEAR(polar.relativeThickness(), 0.12, 0.002);
}

TEST(XfoilPhysics, Naca0012SweepIsSymmetricWithThinAirfoilSlope) {
    ProfileParamsXfoil polar;
    polar.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, -5, 15, 1, 5, 9, {});
    EXPECT_GE(polar.size(), 20u);
    EXPECT_NEAR(clAt(polar, 0), 0.0, 0.01);
    EXPECT_NEAR(clAt(polar, -5), -clAt(polar, 5), 0.01);
    // Lift slope near 2 pi per radian (0.11 per degree), a little less with viscosity.
    const double slope = (clAt(polar, 5) - clAt(polar, -5)) / 10.0;
    EXPECT_GT(slope, 0.100);
    EXPECT_LT(slope, 0.116);
    EXPECT_GT(clAt(polar, 14), 1.2);
    // The full-circle extension of a 12 % airfoil is NACA 0012.
    bemt::ProfileParamsNACA naca(bemt::NACA_0012);
    EXPECT_NEAR(polar.cl(deg2rad(90)), naca.cl(deg2rad(90)), 1e-9);
}

TEST(XfoilPhysics, TwoReynoldsNumbersBlended) {
    bemt::AirfoilPoint point;
    point.data_type = bemt::Coordinates;
    point.path = exampleAirfoil("naca4415.dat");
    point.guess_reynolds = false;
    point.rey_min = 3e5;
    point.rey_max = 3e6;
    point.a_min = 0;
    point.a_max = 8;
    point.a_step = 2;
    bemt::AirfoilPoint tip;
    tip.x_rel = 1.0;
    auto open = [](std::string path) -> std::istream* { return new std::ifstream(path); };
    auto segments = bemt::ToolsAirfoil::segmentsFromPoints({point, tip}, open, {}, {}, nullptr);
    auto& blend = dynamic_cast<bemt::ProfileParamsCombined&>(*segments[0].first);
    auto& low = dynamic_cast<ProfileParamsXfoil&>(*blend.getProfile1());
    auto& high = dynamic_cast<ProfileParamsXfoil&>(*blend.getProfile2());
    ASSERT_EQ(low.size(), 5u);
    ASSERT_EQ(high.size(), 5u);
    EXPECT_NEAR(low.relativeThickness(), 0.15, 0.002);
    // Thinner boundary layers at the higher Reynolds number: less drag.
    EXPECT_GT(low.cd(deg2rad(4)), high.cd(deg2rad(4)));
    blend.setReynolds(3e5);
    EXPECT_DOUBLE_EQ(blend.cd(deg2rad(4)), low.cd(deg2rad(4)));
    blend.setReynolds(1.65e6);
    EXPECT_NEAR(blend.cd(deg2rad(4)), (low.cd(deg2rad(4)) + high.cd(deg2rad(4))) / 2, 1e-12);
    blend.setReynolds(3e6);
    EXPECT_NEAR(blend.cl(deg2rad(4)), high.cl(deg2rad(4)), 1e-12);
}

bemt::AirfoilPoint coordinatePoint(const std::string& path) {
    bemt::AirfoilPoint point;
    point.data_type = bemt::Coordinates;
    point.path = path;
    point.guess_reynolds = false;
    point.rey_min = point.rey_max = 1e6;
    point.a_min = -5;
    point.a_max = 15;
    point.a_step = 1;
    return point;
}

// The message of building a one-segment blade from the coordinate file at path.
std::string segmentsError(const std::string& path) {
    bemt::AirfoilPoint tip;
    tip.x_rel = 1.0;
    auto open = [](std::string file) -> std::istream* { return new std::ifstream(file); };
    return errorOf([&] { bemt::ToolsAirfoil::segmentsFromPoints({coordinatePoint(path), tip}, open, {}, {}, nullptr); });
}

// Files the reader refuses never reach the adapter; outlines the adapter refuses are
// reported with its reason. Either way quickly.
TEST(XfoilPhysics, GarbageAndMissingFilesAreReportedQuickly) {
    TempDir dir;
    const std::string refused = " at Reynolds number 1000000: fewer than two angles of attack converged. ";
    const std::vector<std::tuple<std::string, std::string, std::string>> garbage = {
        {"text.dat", "this is not\nan airfoil at all\n", "The line 2 of {} is not a pair of coordinates x y: "
                                                          "\"an airfoil at all\"."},
        {"empty.dat", "", "The file {} holds no airfoil coordinates (lines of x and y)."},
        {"three.dat", "Three\n1 0\n0 0\n1 0.01\n",
         "XFOIL could not analyse {}" + refused + "The coordinates cannot be analysed: too few distinct points."},
        {"nan.dat", "NaN\n1 0\n0.8 0.02\n0.6 nan\n0.4 0.05\n",
         "The line 4 of {} holds a coordinate that is not a finite number: nan."},
        {"figure8.dat", "Eight\n1 0\n0.8 0.05\n0.6 -0.05\n0.4 0.05\n0.2 -0.05\n0 0\n0.2 0.05\n0.4 -0.05\n0.6 0.05\n"
                        "0.8 -0.05\n1 0\n",
         "XFOIL could not analyse {}" + refused + "The coordinates cannot be analysed: the outline crosses itself."}};
    for (const auto& [name, text, message] : garbage) {
        const auto path = dir.write(name, text).string();
        const auto start = Clock::now();
        std::string expected = message;
        expected.replace(expected.find("{}"), 2, path);
        EXPECT_EQ(segmentsError(path), expected) << name;
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0) << name;
    }
    ProfileParamsXfoil polar;
    const std::string missing = (dir.path() / "missing.dat").string();
    EXPECT_EQ(errorOf([&] { polar.setupData(missing, 1e6, 0, 0, 5, 1, 5, 9, {}); }),
              "The file " + missing + " could not be opened: No such file or directory.");
}

// Sets an environment variable for the adapters started while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) { ::setenv(name, value.c_str(), 1); }
    ~ScopedEnvironment() { ::unsetenv(m_name); }

private:
    const char* m_name;
};

// XFOIL itself missing or broken: the adapter's diagnosis is the message, and a
// hanging XFOIL costs two time limits, not one per angle.
TEST(XfoilPhysics, MissingOrBrokenXfoilIsReportedAsSuch) {
    TempDir dir;
    const std::string naca = exampleAirfoil("naca0012.dat");
    const std::string prefix = "XFOIL could not analyse " + naca + " at Reynolds number 1000000: ";
    auto script = [&](const std::string& name, const std::string& body) {
        const auto path = dir.write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    };
    std::filesystem::create_directory(dir.path() / "folder");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {(dir.path() / "absent").string(), "XFOIL is not installed (no " + (dir.path() / "absent").string() + ")."},
        {(dir.path() / "folder").string(), "XFOIL is not installed (no " + (dir.path() / "folder").string() + ")."},
        {script("exits", "exit 3"), "XFOIL ended as soon as it started."},
        {script("garbage", "echo 'Segmentation fault (core dumped) #%&'"), "XFOIL ended as soon as it started."}};
    for (const auto& [xfoil, message] : cases) {
        ScopedEnvironment chosen("KORVANE_XFOIL", xfoil);
        const auto start = Clock::now();
        EXPECT_EQ(segmentsError(naca), prefix + message);
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 3.0) << xfoil;
    }
    ScopedEnvironment hanging("KORVANE_XFOIL", script("hangs", "exec sleep 600"));
    const auto start = Clock::now();
    EXPECT_EQ(segmentsError(naca), prefix + "XFOIL did not answer within 10 s (twice in a row).");
    const double spent = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("a hanging XFOIL was given up after %.1f s\n", spent);
    EXPECT_LT(spent, 25.0);
}

TEST(XfoilPhysics, MachNumberOutsideTheAdapterRangeDoesNotConverge) {
    ProfileParamsXfoil polar;
    EXPECT_EQ(errorOf([&] { polar.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0.95, 0, 3, 1, 5, 9, {}); }),
              "Increase the number of points to create a spline.");
    EXPECT_EQ(polar.size(), 0u);
}

TEST(XfoilPhysics, AdapterKilledMidSweepEndsTheSweepAndTakesXfoilWithIt) {
    ProfileParamsXfoil polar;
    pid_t adapter = 0;
    std::vector<pid_t> xfoil;
    int calls = 0;
    const auto start = Clock::now();
    const std::string error = errorOf([&] {
        polar.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, -5, 15, 1, 5, 9, [&](int) {
            if (++calls != 3) return;
            const auto adapters = childProcesses(getpid(), "xfoil-core");
            ASSERT_EQ(adapters.size(), 1u);
            adapter = adapters[0];
            xfoil = childProcesses(adapter, "xfoil");
            ::kill(adapter, SIGKILL);
        });
    });
    EXPECT_EQ(error, "The XFOIL adapter " + bemt::XfoilCommunicator::defaultProgram().string() +
                         " ended without answering.");
    EXPECT_EQ(polar.size(), 3u);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 3.0);
    ASSERT_EQ(xfoil.size(), 1u);
    for (int i = 0; i < 100 && processAlive(xfoil[0]); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(processAlive(xfoil[0]));
    EXPECT_FALSE(processAlive(adapter));
    // The killed adapter could not remove its working directory; the next one does.
    std::string reason;
    const auto folder = xfoilcore::WorkingFolder::privateFolder(std::getenv("XDG_RUNTIME_DIR"),
                                                                std::filesystem::temp_directory_path(), getuid(), reason);
    ASSERT_FALSE(folder.empty()) << reason;
    auto leftovers = [&] {
        int count = 0;
        const std::string prefix = std::to_string(adapter) + ".";
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            count += entry.path().filename().string().rfind(prefix, 0) == 0;
        }
        return count;
    };
    EXPECT_EQ(leftovers(), 1);
    // Names the clean-up does not understand (a process id beyond any int) stop nothing.
    const auto foreign = folder / "99999999999999999999.x";
    std::filesystem::create_directory(foreign);
    ProfileParamsXfoil next;
    next.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, 0, 1, 1, 5, 9, {});
    EXPECT_EQ(next.size(), 2u);
    EXPECT_EQ(leftovers(), 0);
    EXPECT_TRUE(std::filesystem::exists(foreign));
    std::filesystem::remove(foreign);
}

TEST(XfoilPhysics, CrashedXfoilIsRestartedByTheAdapter) {
    ProfileParamsXfoil polar;
    int calls = 0;
    polar.setupData(exampleAirfoil("naca2412.dat"), 1e6, 0, 0, 10, 1, 5, 9, [&](int) {
        if (++calls != 3) return;
        for (pid_t adapter : childProcesses(getpid(), "xfoil-core")) {
            for (pid_t xfoil : childProcesses(adapter, "xfoil")) ::kill(xfoil, SIGKILL);
        }
    });
    // At most the angle analysed while XFOIL died is lost.
    EXPECT_GE(polar.size(), 10u);
    EXPECT_GT(clAt(polar, 10), clAt(polar, 5));
}

TEST(XfoilPhysics, ClosingTheConversationEndsAdapterAndXfoil) {
    pid_t adapter = 0;
    std::vector<pid_t> xfoil;
    {
        bemt::XfoilCommunicator comm;
        std::ifstream coords(exampleAirfoil("naca0012.dat"));
        bemt::HelperXfoil::loadCoords(comm, "naca0012", &coords);
        ASSERT_TRUE(comm.readToken().has_value());
        comm.send("20\n5\n9\n");
        EXPECT_TRUE(bemt::HelperXfoil::liftAndDrag(comm, 1e6, 0, 0.05f).converged);
        adapter = comm.pid();
        xfoil = childProcesses(adapter, "xfoil");
        const auto start = Clock::now();
        comm.terminate();
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 0.5);  // no kill needed
    }
    EXPECT_FALSE(processAlive(adapter));
    ASSERT_EQ(xfoil.size(), 1u);
    for (int i = 0; i < 100 && processAlive(xfoil[0]); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(processAlive(xfoil[0]));
}

}  // namespace

namespace {

// Coordinates the adapter refuses still leave the conversation in step: every request
// is answered, with its own angle, as not converged.
TEST(XfoilPhysics, RefusedCoordinatesAreAnsweredInStep) {
    std::string many = "Too many\n";
    for (int i = 0; i < 6000; ++i) many += std::to_string(1.0 - i / 6000.0) + " 0.01\n";
    for (const std::string& text : {many, std::string("Words\n1 0\n0.5 0.05\n")}) {
        bemt::XfoilCommunicator comm;
        std::istringstream coords(text);
        bemt::HelperXfoil::loadCoords(comm, "refused", &coords);
        EXPECT_EQ(comm.readToken(), std::optional<std::string>("0.000000"));
        comm.send("20\n5\n9\n");
        for (float alpha : {0.01f, 0.02f, 0.03f}) {
            const auto answer = bemt::HelperXfoil::liftAndDrag(comm, 1e6, 0, alpha);
            EXPECT_FALSE(answer.converged);
            EXPECT_FLOAT_EQ(answer.first, alpha);
        }
    }
}

}  // namespace
