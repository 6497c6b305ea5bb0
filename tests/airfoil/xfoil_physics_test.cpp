// The real adapter driving Debian's XFOIL: published figures for NACA 0012, two Reynolds
// numbers, outlines it refuses, XFOIL missing, and an adapter or an XFOIL killed in the
// middle of a sweep.

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

// Abbott and von Doenhoff and XFOIL's own runs put NACA 0012 at Re 1e6 and 5° at cl 0.55
// and cd 0.008 to 0.009; the lift slope is near 2 pi per radian (0.11 per degree), a little
// less with viscosity.
TEST(XfoilPhysics, Naca0012SweepMatchesThePublishedFigures) {
    ProfileParamsXfoil polar;
    polar.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, -5, 15, 1, 5, 9, {});
    EXPECT_GE(polar.size(), 20u);
    EXPECT_NEAR(polar.relativeThickness(), 0.12, 0.002);
    const double cl5 = polar.cl(deg2rad(5));
    EXPECT_GE(cl5, 0.54);
    EXPECT_LE(cl5, 0.57);
    EXPECT_GE(polar.cd(deg2rad(5)), 0.007);
    EXPECT_LE(polar.cd(deg2rad(5)), 0.010);
    EXPECT_NEAR(polar.cl(0.0), 0.0, 0.01);
    EXPECT_NEAR(polar.cl(deg2rad(-5)), -cl5, 0.01);
    const double slope = (cl5 - polar.cl(deg2rad(-5))) / 10.0;
    EXPECT_GT(slope, 0.100);
    EXPECT_LT(slope, 0.116);
    EXPECT_GT(polar.cl(deg2rad(14)), 1.2);
    // The full-circle extension of a 12 % airfoil is NACA 0012.
    bemt::ProfileParamsNACA naca(bemt::NACA_0012);
    EXPECT_NEAR(polar.cl(deg2rad(90)), naca.cl(deg2rad(90)), 1e-9);
}

// An airfoil point of the coordinate file at path, analysed at Re 1e6 from -5 to 15 degrees.
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

// The segments of a blade from the point to a NACA 0012 tip, its files read from disk.
std::vector<bemt::AirfoilSegment> segmentsFrom(const bemt::AirfoilPoint& point) {
    bemt::AirfoilPoint tip;
    tip.x_rel = 1.0;
    auto open = [](std::string file) -> std::istream* { return new std::ifstream(file); };
    return bemt::ToolsAirfoil::segmentsFromPoints({point, tip}, open, {}, {}, nullptr);
}

std::string segmentsError(const std::string& path) {
    return errorOf([&] { segmentsFrom(coordinatePoint(path)); });
}

TEST(XfoilPhysics, TwoReynoldsNumbersBlended) {
    auto point = coordinatePoint(exampleAirfoil("naca4415.dat"));
    point.rey_min = 3e5;
    point.rey_max = 3e6;
    point.a_min = 0;
    point.a_max = 8;
    point.a_step = 2;
    const auto segments = segmentsFrom(point);
    auto& blend = dynamic_cast<bemt::ProfileParamsCombined&>(*segments[0].first);
    auto& low = dynamic_cast<ProfileParamsXfoil&>(*blend.getProfile1());
    auto& high = dynamic_cast<ProfileParamsXfoil&>(*blend.getProfile2());
    ASSERT_EQ(low.size(), 5u);
    ASSERT_EQ(high.size(), 5u);
    EXPECT_NEAR(low.relativeThickness(), 0.15, 0.002);
    // Thinner boundary layers at the higher Reynolds number: less drag.
    EXPECT_GT(low.cd(deg2rad(4)), high.cd(deg2rad(4)));
}

// Outlines the adapter refuses are reported with its reason, quickly (the reader's own
// refusals are those of the coordinate file tests).
TEST(XfoilPhysics, OutlinesTheAdapterRefusesAreReportedQuickly) {
    TempDir dir;
    const std::string refused =
        " at Reynolds number 1000000: fewer than two angles of attack converged. The coordinates cannot be analysed: ";
    const std::vector<std::tuple<std::string, std::string, std::string>> outlines = {
        {"three.dat", "Three\n1 0\n0 0\n1 0.01\n", "too few distinct points."},
        {"figure8.dat",
         "Eight\n1 0\n0.8 0.05\n0.6 -0.05\n0.4 0.05\n0.2 -0.05\n0 0\n0.2 0.05\n0.4 -0.05\n0.6 0.05\n0.8 -0.05\n1 0\n",
         "the outline crosses itself."}};
    for (const auto& [name, text, reason] : outlines) {
        const auto path = dir.write(name, text).string();
        const auto start = Clock::now();
        EXPECT_EQ(segmentsError(path), "XFOIL could not analyse " + path + refused + reason) << name;
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0) << name;
    }
}

// Sets an environment variable for the adapters started while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) { ::setenv(name, value.c_str(), 1); }
    ~ScopedEnvironment() { ::unsetenv(m_name); }

private:
    const char* m_name;
};

// XFOIL itself missing: the adapter's diagnosis is the message. An XFOIL that ends at once,
// prints garbage or hangs is given up by the adapter's session (xfoil-core tests).
TEST(XfoilPhysics, MissingXfoilIsReportedAsSuch) {
    TempDir dir;
    const std::string naca = exampleAirfoil("naca0012.dat");
    const std::string prefix = "XFOIL could not analyse " + naca + " at Reynolds number 1000000: ";
    std::filesystem::create_directory(dir.path() / "folder");
    for (const std::string name : {"absent", "folder"}) {
        const std::string xfoil = (dir.path() / name).string();
        ScopedEnvironment chosen("KORVANE_XFOIL", xfoil);
        EXPECT_EQ(segmentsError(naca), prefix + "XFOIL is not installed (no " + xfoil + ").");
    }
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
    ProfileParamsXfoil next;
    next.setupData(exampleAirfoil("naca0012.dat"), 1e6, 0, 0, 1, 1, 5, 9, {});
    EXPECT_EQ(next.size(), 2u);
    EXPECT_EQ(leftovers(), 0);
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
    EXPECT_GT(polar.cl(deg2rad(10)), polar.cl(deg2rad(5)));
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
