// Building airfoil segments from airfoil points: ordering, every data kind (AeroDyn
// tables and XFOIL polar files included), the sharing rules of repeated points, XFOIL
// workers (with the scripted fake adapter), progress, abort and the messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "AirfoilTestSupport.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "bemt/ProfileParamsCSV.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ProfileParamsXfoilPolar.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/ViternaExtension.h"

namespace {

using namespace korvane::testing;
using bemt::AirfoilPoint;
using bemt::ToolsAirfoil;
using bemt::Common::deg2rad;
using Clock = std::chrono::steady_clock;

const std::string kCsv = "Alpha,Cl,Cd\n-5,-0.3,0.01\n0,0.2,0.008\n5,0.75,0.01\n10,1.2,0.02\n";
const std::string kCoordinates = "Fake\n1 0\n0.5 0.05\n0 0\n0.5 -0.05\n1 0\n";
// Two AeroDyn tables at 0.5 and 1.5 million, and three rows of an XFOIL polar file.
const std::string kTwoTables =
    "2  NumTabs\n0.5  Re\nFalse  InclUAdata\n3  NumAlf\n-10  -1.0  0.01\n0  0.0  0.01\n10  1.0  0.01\n"
    "1.5  Re\nFalse  InclUAdata\n3  NumAlf\n-10  -0.8  0.03\n0  0.2  0.03\n10  1.2  0.03\n";
const std::string kPolarFile =
    " Mach =   0.000     Re =     1.000 e 6     Ncrit =   9.000\n   alpha    CL        CD\n"
    "  ------ -------- ---------\n  -4.000   0.0296   0.00840\n   0.000   0.4707   0.00764\n"
    "  12.000   1.5471   0.02108\n";

// Opens the in-memory files above by name; anything else is missing.
std::istream* openFile(const std::string& path) {
    if (path == "polar.csv") return new std::istringstream(kCsv);
    if (path == "broken.csv") return new std::istringstream("Alpha,Cl,Cd\n0;1;2\n");
    if (path == "foil.dat") return new std::istringstream(kCoordinates);
    if (path == "nan.dat") return new std::istringstream("Fake\n1 0\n0.5 nan\n0 0\n");
    if (path == "two.dat") return new std::istringstream(kTwoTables);
    if (path == "polar.txt") return new std::istringstream(kPolarFile);
    if (path == "wide.dat") {
        return new std::istringstream(
            "1 NumTabs\n1 Re\nF InclUAdata\n3 NumAlf\n-10 -0.8 0.02\n0 0.2 0.01\n120 -0.5 1.2\n");
    }
    return nullptr;
}

AirfoilPoint naca(double x, bemt::AirfoilType type = bemt::NACA0012, const std::string& path = "") {
    AirfoilPoint p;
    p.x_rel = x;
    p.data_type = type;
    p.path = path;
    return p;
}

AirfoilPoint csv(double x, const std::string& path = "polar.csv") {
    AirfoilPoint p = naca(x, bemt::CSVData);
    p.path = path;
    p.preceeding_line = "Alpha";
    p.csv_separator = bemt::Comma;
    return p;
}

AirfoilPoint coordinates(double x, double reMin, double reMax, double aMin = 0, double aMax = 4) {
    AirfoilPoint p = naca(x, bemt::Coordinates);
    p.path = "foil.dat";
    p.guess_reynolds = false;
    p.rey_min = reMin;
    p.rey_max = reMax;
    p.a_min = aMin;
    p.a_max = aMax;
    p.a_step = 1;
    return p;
}

AirfoilPoint repeat(double x) {
    AirfoilPoint p = naca(x, bemt::NACA0025);  // ignored for a repeated point
    p.repeat = true;
    return p;
}

struct Build {
    std::vector<bemt::AirfoilSegment> segments;
    std::string error;
};

Build build(const std::vector<AirfoilPoint>& points, const bemt::XfoilCommunicator::Settings& channel = {},
            std::atomic<bool>* abort = nullptr, std::function<void(int, std::string)> progress = {}) {
    Build result;
    result.error = errorOf([&] {
        result.segments = ToolsAirfoil::segmentsFromPoints(points, openFile, bemt::OperatingConditions{},
                                                           std::move(progress), abort, channel);
    });
    return result;
}

// Each test has a folder of its own, with the fake adapter that converges.
class Segments : public ::testing::Test {
protected:
    TempDir dir;
    const std::filesystem::path adapter = fakeAdapter(dir, "converging");
};

// Every NACA type gets its built-in airfoil.
TEST_F(Segments, OnePointGivesNoSegmentAndTwoPointsCoverTheBlade) {
    EXPECT_TRUE(build({naca(0.3)}).segments.empty());
    const std::pair<bemt::AirfoilType, bemt::NACAairfoil> types[] = {
        {bemt::NACA0012, bemt::NACA_0012}, {bemt::NACA0015, bemt::NACA_0015}, {bemt::NACA0018, bemt::NACA_0018},
        {bemt::NACA0021, bemt::NACA_0021}, {bemt::NACA0025, bemt::NACA_0025}};
    for (const auto& [type, airfoil] : types) {
        const auto whole = build({naca(0.0, type), naca(1.0, bemt::NACA0021)});
        ASSERT_EQ(whole.error, "");
        ASSERT_EQ(whole.segments.size(), 1u);
        EXPECT_EQ(whole.segments[0].start, 0.0);
        EXPECT_EQ(whole.segments[0].end, 1.0);
        const auto* polar = dynamic_cast<bemt::ProfileParamsNACA*>(whole.segments[0].first.get());
        ASSERT_NE(polar, nullptr);
        EXPECT_EQ(polar->airfoil(), airfoil);
    }
    // Neighbouring segments share the polar of their common point.
    const auto three = build({naca(0.0), csv(0.5), naca(1.0)});
    ASSERT_EQ(three.segments.size(), 2u);
    EXPECT_EQ(three.segments[0].second, three.segments[1].first);
}

TEST_F(Segments, RepeatedPointsShareOnlyWhatIsSafeToShare) {
    // CSV: the same object.
    auto r = build({csv(0.0), repeat(0.5), repeat(1.0)});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.segments[0].first, r.segments[0].second);
    EXPECT_EQ(r.segments[1].first, r.segments[1].second);
    EXPECT_NE(dynamic_cast<bemt::ProfileParamsCSV*>(r.segments[0].first.get()), nullptr);
    // NACA: a copy of its own (each point gets its own Reynolds number).
    r = build({naca(0.0, bemt::NACA0018), repeat(1.0)});
    EXPECT_NE(r.segments[0].first, r.segments[0].second);
    EXPECT_EQ(dynamic_cast<bemt::ProfileParamsNACA*>(r.segments[0].second.get())->airfoil(), bemt::NACA_0018);
    // A repeat flag on the first point is ignored.
    r = build({[] { auto p = csv(0.0); p.repeat = true; return p; }(), naca(1.0)});
    EXPECT_NE(dynamic_cast<bemt::ProfileParamsCSV*>(r.segments[0].first.get()), nullptr);
}

// One XFOIL worker for a single Reynolds number, two for a range; a repeated point starts
// none of its own: a single-Reynolds polar is shared as it is, a Reynolds combination gets
// its own blend over the same two analyses.
TEST_F(Segments, OneOrTwoXfoilWorkersByReynoldsRange) {
    auto r = build({coordinates(0.0, 5e5, 5e5), repeat(1.0)}, fakeChannel(adapter));
    ASSERT_EQ(r.error, "");
    auto* single = dynamic_cast<bemt::ProfileParamsXfoil*>(r.segments[0].first.get());
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(r.segments[0].first, r.segments[0].second);
    EXPECT_EQ(single->size(), 5u);
    EXPECT_DOUBLE_EQ(single->getCurrentReynolds(), 5e5);
    auto log = fakeLog(adapter);
    EXPECT_EQ(std::count(log.begin(), log.end(), "500000.000000"), 5);
    EXPECT_EQ(std::count(log.begin(), log.end(), "0.100000"), 5);

    std::filesystem::remove(adapter.string() + ".log");
    r = build({coordinates(0.0, 2e5, 1e6), repeat(1.0)}, fakeChannel(adapter));
    ASSERT_EQ(r.error, "");
    auto* blend = dynamic_cast<bemt::ProfileParamsCombined*>(r.segments[0].first.get());
    auto* second = dynamic_cast<bemt::ProfileParamsCombined*>(r.segments[0].second.get());
    ASSERT_TRUE(blend && second);
    EXPECT_TRUE(blend->hasReynoldsRange());
    EXPECT_DOUBLE_EQ(static_cast<bemt::ProfileParamsXfoil*>(blend->getProfile1())->getCurrentReynolds(), 2e5);
    EXPECT_DOUBLE_EQ(static_cast<bemt::ProfileParamsXfoil*>(blend->getProfile2())->getCurrentReynolds(), 1e6);
    blend->setReynolds(6e5);
    EXPECT_DOUBLE_EQ(blend->ratio(), 0.5);
    EXPECT_NE(blend, second);
    EXPECT_TRUE(second->isReynoldsCombination());
    EXPECT_EQ(blend->getProfile1(), second->getProfile1());
    EXPECT_EQ(blend->getProfile2(), second->getProfile2());
    EXPECT_EQ(second->getReynoldsLo(), 2e5);
    EXPECT_EQ(second->getReynoldsHi(), 1e6);
    log = fakeLog(adapter);
    // Auxiliary value 0.1 for the low polar, 0.3 for the high one.
    EXPECT_EQ(std::count(log.begin(), log.end(), "200000.000000"), 5);
    EXPECT_EQ(std::count(log.begin(), log.end(), "1000000.000000"), 5);
    EXPECT_EQ(std::count(log.begin(), log.end(), "0.300000"), 5);
}

TEST_F(Segments, GuessedReynoldsRangeSpansTheDesignConditions) {
    bemt::OperatingConditions op;
    AirfoilPoint p = coordinates(0.5, 1, 1);
    p.guess_reynolds = true;
    const auto re = ToolsAirfoil::xfoilReynolds(p, op);
    bemt::OperatingConditions slow = op, fast = op;
    slow.V0 /= std::sqrt(10.0);
    slow.TSR *= std::sqrt(10.0);
    fast.V0 *= std::sqrt(10.0);
    fast.TSR /= std::sqrt(10.0);
    EXPECT_NEAR(re.lo, bemt::Common::reynolds(0.5, slow), 1e-6 * re.lo);
    EXPECT_NEAR(re.hi, bemt::Common::reynolds(0.5, fast), 1e-6 * re.hi);
    EXPECT_LT(re.lo, re.hi);
    EXPECT_EQ(re.auxiliaryLo, 0.0);
    EXPECT_EQ(re.auxiliaryHi, 0.0);
}

// Points out of order, and wrong XFOIL parameters, are refused before any analysis starts.
TEST_F(Segments, PointsOutOfOrderAndWrongXfoilParametersAreRefused) {
    const std::string ordered = "Airfoils must be ordered by their relative position (0.0 to 1.0).";
    EXPECT_EQ(build({coordinates(0.1, 5e5, 5e5), naca(0.5), naca(0.5)}, fakeChannel(adapter)).error, ordered);
    EXPECT_EQ(build({coordinates(0.1, 5e5, 5e5), naca(0.6), naca(0.4)}, fakeChannel(adapter)).error, ordered);
    EXPECT_EQ(build({naca(-0.01), naca(0.5)}).error, ordered);
    EXPECT_EQ(build({naca(0.5), naca(1.01)}).error, ordered);
    EXPECT_EQ(build({naca(0.5), naca(std::nan(""))}).error, ordered);
    const std::string wrong = "Wrong airfoil XFOIL data parameters.";
    // Refused with the point, its file and the reason, before any analysis: an angle
    // of -1e20 or a step of 1e-9 once asked XFOIL for ever.
    const std::string where = wrong + " Airfoil point 2 (foil.dat): ";
    const std::vector<std::pair<std::function<void(AirfoilPoint&)>, std::string>> sweeps = {
        {[](AirfoilPoint& p) { p.rey_min = 0; }, "The Reynolds numbers 0 to 1000000 must be positive, the first not "
                                                 "above the second."},
        {[](AirfoilPoint& p) { p.rey_min = 2e6; }, "The Reynolds numbers 2000000 to 1000000 must be positive, the "
                                                   "first not above the second."},
        {[](AirfoilPoint& p) { p.rey_max = std::nan(""); }, "The Reynolds numbers 200000 to nan must be positive, the "
                                                            "first not above the second."},
        {[](AirfoilPoint& p) { p.max_passes = 0; }, "XFOIL needs at least one pass, not 0."},
        {[](AirfoilPoint& p) { p.a_min = 30; }, "The last angle of attack must not be below the first."},
        {[](AirfoilPoint& p) { p.a_step = 0; }, "The angle step must be greater than zero."},
        {[](AirfoilPoint& p) { p.a_step = -0.5; }, "The angle step must be greater than zero."},
        {[](AirfoilPoint& p) { p.a_step = std::nan(""); }, "The angle step must be greater than zero."},
        {[](AirfoilPoint& p) { p.a_min = -1e20; },
         "The first angle of attack [deg] -1e+20 lies outside its range, -180 to 180."},
        {[](AirfoilPoint& p) { p.a_max = INFINITY; },
         "The last angle of attack [deg] inf lies outside its range, -180 to 180."},
        {[](AirfoilPoint& p) { p.a_max = std::nan(""); },
         "The last angle of attack [deg] nan lies outside its range, -180 to 180."},
        {[](AirfoilPoint& p) { p.a_step = 1e-9; },
         "The sweep of angles of attack asks for 4000000000 positions, more than 10000."},
        {[](AirfoilPoint& p) {
             p.a_min = -180;
             p.a_max = 180;
             p.a_step = 0.036;
         },
         "The sweep of angles of attack asks for 10001 positions, more than 10000."},
    };
    for (const auto& [change, reason] : sweeps) {
        AirfoilPoint point = coordinates(0.5, 2e5, 1e6);
        change(point);
        EXPECT_EQ(build({coordinates(0.0, 5e5, 5e5), point}, fakeChannel(adapter)).error, where + reason);
    }
    EXPECT_TRUE(fakeLog(adapter).empty());
    // 10 000 angles are allowed.
    EXPECT_FALSE(bemt::ProfileParamsXfoil::sweepRefusal(-180, 180, 0.036001).has_value());
}

// Every file and analysis problem names the file; a faulty coordinate file is refused
// with the reader's message before any adapter starts.
TEST_F(Segments, FileAndAnalysisProblemsNameTheFile) {
    auto at = [](AirfoilPoint p, const std::string& path) {
        p.path = path;
        return p;
    };
    AirfoilPoint wide = naca(0.2, bemt::AeroDynTable, "wide.dat");
    wide.extension = bemt::ExtensionViterna;
    const std::string xfoil = "XFOIL could not analyse foil.dat at Reynolds number 500000: ";
    const struct {
        AirfoilPoint point;
        const char* adapter;
        std::string message;
    } cases[] = {
        {csv(0.0, "missing.csv"), "converging", "File missing.csv does not exist or is not readable."},
        {csv(0.0, "broken.csv"), "converging",
         "line 2 of broken.csv: three numbers expected (angle of attack, cl, cd), found 1 field."},
        {naca(0.2, bemt::AeroDynTable, "missing.dat"), "converging",
         "File missing.dat does not exist or is not readable."},
        {wide, "converging",
         "wide.dat: The polar cannot be extended: " + bemt::ViternaExtension::kRangeProblem +
             " (the table spans -10 to 120 degrees)."},
        {at(coordinates(0.0, 5e5, 5e5), "missing.dat"), "converging", "Input file missing.dat could not be read."},
        {at(coordinates(0.0, 5e5, 5e5), "nan.dat"), "converging",
         "The line 3 of nan.dat holds a coordinate that is not a finite number: nan."},
        // One converged angle only (13° and 14° do not converge).
        {coordinates(0.0, 5e5, 5e5, 12, 14), "one-angle", xfoil + "fewer than two angles of attack converged."},
        // One angle asked for: refused before XFOIL runs.
        {coordinates(0.0, 5e5, 5e5, 3, 3), "converging",
         "Wrong airfoil XFOIL data parameters. Airfoil point 1 (foil.dat): The sweep of angles of attack from 3 to 3 "
         "by 1 gives one angle: a polar needs at least two."},
        // The adapter's reason, not the airfoil, is reported.
        {coordinates(0.0, 5e5, 5e5), "not-installed", xfoil + "XFOIL is not installed (no /usr/bin/xfoil)."},
        // A sweep given up midway is reported although three angles converged.
        {coordinates(0.0, 5e5, 5e5, 0, 10), "exit3",
         xfoil + "The XFOIL adapter " + (dir.path() / "exit3").string() + " ended without answering."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(build({c.point, naca(1.0)}, fakeChannel(fakeAdapter(dir, c.adapter))).error, c.message);
    }
    EXPECT_TRUE(fakeLog(adapter).empty());
}

TEST_F(Segments, ProgressIsReportedFromStartToEnd) {
    std::mutex mutex;
    std::vector<std::pair<int, std::string>> reports;
    auto progress = [&](int p, std::string text) {
        std::lock_guard lock(mutex);
        reports.emplace_back(p, std::move(text));
    };
    const auto r = build({coordinates(0.0, 2e5, 1e6), naca(1.0)}, fakeChannel(adapter), nullptr, progress);
    ASSERT_EQ(r.error, "");
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports.front(), (std::pair<int, std::string>{0, "Processing airfoils... "}));
    EXPECT_EQ(reports.back(), (std::pair<int, std::string>{100, ""}));
    EXPECT_EQ(reports[reports.size() - 2].second, "Processing airfoils (2/2).");
    for (const auto& [p, text] : reports) {
        EXPECT_GE(p, 0);
        EXPECT_LE(p, 100);
    }
}

// An abort request and the channel's interruption stop running analyses and those waiting
// for a free slot (six slow Reynolds pairs: more than may run at once) alike: none waits on
// a timer or starts afterwards. Without them the sweeps of 21 angles take many seconds.
TEST_F(Segments, AbortAndInterruptionStopRunningAndWaitingAnalysesPromptly) {
    std::vector<AirfoilPoint> points;
    for (int i = 0; i < 6; ++i) points.push_back(coordinates(0.1 * i, 2e5, 1e6, 0, 20));
    points.push_back(naca(1.0));
    for (const bool byChannel : {false, true}) {
        SCOPED_TRACE(byChannel ? "interruption" : "abort");
        std::atomic<bool> stop{false};
        auto channel = fakeChannel(fakeAdapter(dir, "slow"));
        if (byChannel) channel.interrupted = [&] { return stop.load(); };
        Clock::time_point requested;
        std::thread requester([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            requested = Clock::now();
            stop = true;
        });
        const auto r = build(points, channel, byChannel ? nullptr : &stop);
        const double reaction = std::chrono::duration<double>(Clock::now() - requested).count();
        requester.join();
        EXPECT_EQ(r.error, "The Xfoil preprocessing has been aborted.");
        std::printf("reaction %.3f s\n", reaction);
        EXPECT_LT(reaction, 1.0);
        EXPECT_EQ(stop.load(), byChannel);  // an abort request is taken over
        EXPECT_TRUE(childProcesses(getpid(), "slow").empty());
    }
}

// AeroDyn tables and XFOIL polar files: a repeated multi-table point follows its own
// Reynolds number; the Viterna extension is chosen per point, the other keeping NACA's.
TEST_F(Segments, AeroDynTablesAndXfoilPolarFilesBecomePolarsWithTheirPointsExtension) {
    AirfoilPoint viterna = naca(0.5, bemt::XfoilPolarFile, "polar.txt");
    viterna.extension = bemt::ExtensionViterna;
    viterna.cd_max = 1.5;
    const auto r = build({naca(0.2, bemt::AeroDynTable, "two.dat"), repeat(0.4), viterna,
                          naca(1.0, bemt::XfoilPolarFile, "polar.txt")});
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.segments.size(), 3u);
    ASSERT_NE(dynamic_cast<bemt::ProfileParamsAeroDyn*>(r.segments[0].first.get()), nullptr);
    ASSERT_NE(dynamic_cast<bemt::ProfileParamsXfoilPolar*>(r.segments[2].second.get()), nullptr);
    EXPECT_TRUE(r.segments[0].first->hasReynoldsRange());
    EXPECT_FALSE(r.segments[2].second->hasReynoldsRange());
    EXPECT_NEAR(r.segments[2].second->cl(deg2rad(12.0)), 1.5471, 1e-12);

    ASSERT_NE(r.segments[0].first.get(), r.segments[0].second.get());
    r.segments[0].first->setReynolds(0.5e6);
    r.segments[0].second->setReynolds(1.5e6);
    EXPECT_NEAR(r.segments[0].first->cl(deg2rad(10.0)), 1.0, 1e-12);
    EXPECT_NEAR(r.segments[0].second->cl(deg2rad(10.0)), 1.2, 1e-12);

    EXPECT_NEAR(r.segments[2].first->cd(deg2rad(90.0)), 1.5, 1e-12);
    EXPECT_NEAR(r.segments[2].first->cd(deg2rad(180.0)), 0.00764, 1e-12);
    EXPECT_GT(std::abs(r.segments[2].second->cd(deg2rad(90.0)) - 1.5), 0.01);
}

}  // namespace
