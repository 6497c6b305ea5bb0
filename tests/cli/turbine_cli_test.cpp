// korvane-cli power-curve and surface end to end: the NREL 5-MW example against its
// published figures, the turbine overrides, the controller-tuning text file read back as
// its consumers read it, and the messages for wrong turbine settings and grids.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>

#include "CliChecks.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;

TEST(CliPowerCurve, Nrel5MwReachesRatedPowerNearThePublishedWindSpeed) {
    const json doc = runJson({"power-curve", example("nrel5mw.kvp")});
    EXPECT_EQ(doc["command"], "power-curve");
    // Published: rated at 11.4 m/s, Cp 0.482 at TSR 7.55, blade pitch about 23 deg at
    // 25 m/s (NREL/TP-500-38060); plain BEM without precone and tilt comes within tenths.
    EXPECT_NEAR(doc["rated_wind_speed"].get<double>(), 11.4, 0.4);
    EXPECT_NEAR(doc["tsr_target"].get<double>(), 7.55, 0.3);
    const json& points = doc["points"];
    ASSERT_EQ(points.size(), 45u);  // 3 to 25 m/s by 0.5
    for (const char* key : {"V0", "region", "rpm", "TSR", "pitch", "P_aero", "P", "T", "Q", "Cp", "Ct", "Cq",
                            "converged", "extrapolated", "pitch_limited"})
        EXPECT_TRUE(points[0].contains(key)) << key;
    const json& last = points.back();
    EXPECT_EQ(last["V0"].get<double>(), 25.0);
    EXPECT_EQ(last["region"].get<double>(), 3.0);
    EXPECT_NEAR(last["pitch"].get<double>(), 23.0, 1.5);
    EXPECT_NEAR(last["rpm"].get<double>(), 12.1, 1e-9);
    // The regions and limits of the controller are checked on small rotors in the turbine tests.
    EXPECT_EQ(last["P"].get<double>(), 5e6);
    EXPECT_NEAR(0.944 * last["P_aero"].get<double>(), 5e6, 500.0);

    // The annual energy's bin sum is checked by hand in the turbine tests.
    ASSERT_EQ(doc["aep"].size(), 2u);
    EXPECT_EQ(doc["aep"][0]["name"], "Rayleigh, mean 8.5 m/s");
    for (const char* key : {"k", "A", "aep_MWh", "capacity_factor"}) EXPECT_TRUE(doc["aep"][1].contains(key)) << key;
}

TEST(CliPowerCurve, SummaryAndCsvFilesWithUnits) {
    TempFolder temp;
    const std::string folder = temp.file("out");
    const CliRun run = runCli({"power-curve", example("nrel5mw.kvp"), "--wind", "4:24:4", "--csv", folder});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* text : {"Rated wind speed 11.", "Tip speed ratio target", "Rayleigh, mean 8.5 m/s", "MWh",
                             "capacity factor"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
    const std::string curve = readBytes(folder + "/power_curve.csv");
    EXPECT_EQ(curve.substr(0, curve.find('\n')),
              "V0 [m/s],region [-],rpm [rpm],TSR [-],pitch [deg],P_aero [W],P [W],T [N],Q [N m],Cp [-],Ct [-],Cq [-],"
              "converged [1/0],extrapolated [1/0],pitch_limited [1/0],over_rated [1/0],motoring [1/0],M_root [N m],"
              "M_root_max [N m]");
    EXPECT_EQ(std::count(curve.begin(), curve.end(), '\n'), 7);  // header and 4, 8, ..., 24 m/s
    EXPECT_NE(curve.find("\n24,3,12.1,"), std::string::npos) << curve;
    const std::string aep = readBytes(folder + "/aep.csv");
    EXPECT_EQ(aep.substr(0, aep.find('\n')), "climate,k [-],A [m/s],AEP [MWh],capacity factor [-],bins at rated power [-]");
    EXPECT_NE(aep.find("\n\"Rayleigh, mean 8.5 m/s\",2,"), std::string::npos) << aep;
}

TEST(CliPowerCurve, OverridesReplaceTheTurbineSettings) {
    const json doc = runJson({"power-curve", example("nrel5mw.kvp"), "--rated-power", "3e6", "--efficiency", "1",
                              "--control", "fsfp", "--rpm", "8:10", "--tsr-target", "7", "--wind", "5:15:1",
                              "--weibull", "2.2,9", "--rayleigh", "7"});
    const json& points = doc["points"];
    ASSERT_EQ(points.size(), 11u);
    EXPECT_EQ(doc["tsr_target"].get<double>(), 7.0);
    bool above = false;
    for (const json& p : points) {
        EXPECT_NEAR(p["rpm"].get<double>(), 10.0, 1e-12);  // fixed speed runs at the largest speed
        EXPECT_EQ(p["pitch"].get<double>(), 0.0);          // fixed pitch
        EXPECT_NEAR(p["P"].get<double>(), p["P_aero"].get<double>(), 1e-6);
        if (p["P"].get<double>() > 3e6) {
            above = true;
            EXPECT_EQ(p["region"].get<double>(), 3.0);
        }
    }
    EXPECT_TRUE(above);
    ASSERT_EQ(doc["aep"].size(), 2u);
    EXPECT_EQ(doc["aep"][0]["name"], "Weibull k 2.2, A 9 m/s");
    EXPECT_EQ(doc["aep"][1]["name"], "Rayleigh, mean 7 m/s");
    EXPECT_NEAR(doc["aep"][1]["A"].get<double>(), 14.0 / std::sqrt(std::numbers::pi), 1e-12);

    // A project without turbine settings uses the defaults for its rotor (R 25 m: 785 kW).
    const json plain = runJson({"power-curve", example("new_turbine.kvp"), "--wind", "10:12:1"});
    for (const json& p : plain["points"]) EXPECT_LE(p["P"].get<double>(), 785000.0);
}

TEST(CliPowerCurve, WrongTurbineSettingsExitWithAMessageNamingTheSetting) {
    const std::string project = example("nrel5mw.kvp");
    auto curve = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"power-curve", project});
        return options;
    };
    // The turbine's own messages for each key are checked in the project reader's tests.
    expectRefusals({
        {curve({"--efficiency", "1.5"}),
         said("--efficiency: \"efficiency\" must be greater than 0 and at most 1, not 1.5."), 2},
        {curve({"--rpm", "fast"}), said("--rpm expects MIN:MAX, not \"fast\"."), 2},
        {curve({"--rpm", "5:12,1"}),
         said("--rpm expects MIN:MAX, not \"5:12,1\" (12,1 is written with a decimal comma; write a decimal point)."),
         2},
        {curve({"--tsr-target", "best"}), said("--tsr-target expects a number or auto, not \"best\"."), 2},
        {curve({"--wind", "5:4:1"}), said("--wind 5:4:1: the wind speed range ends before it starts."), 2},
        {curve({"--wind", "3:25"}), said("--wind expects VALUE or MIN:MAX:STEP, not \"3:25\"."), 2},
        {curve({"--wind", "3:25:1:1"}), said("--wind expects VALUE or MIN:MAX:STEP, not \"3:25:1:1\"."), 2},
        {curve({"--rpm", "5:10:15"}), said("--rpm expects MIN:MAX, not \"5:10:15\"."), 2},
        {curve({"--weibull", "2"}), said("--weibull expects K,A (shape and scale in m/s), not \"2\"."), 2},
        {curve({"--weibull", "0,8"}),
         said("--weibull or --rayleigh: \"wind_climates[0].k\" must be greater than 0, not 0."), 2},
        {curve({"--weibull", "2,8", "--rayleigh", "1000"}),
         said("--weibull or --rayleigh: \"wind_climates[1].A\" must be at most 100, not 1128.38."), 2},
    });
    EXPECT_EQ(runCli({"power-curve", project, "--control", "pitch"}).status, 2);
    EXPECT_EQ(runCli({"power-curve", project, "--rayleigh", "-3"}).status, 2);
}

// A matrix of the controller-tuning text, read the way its consumers read it: a comment
// line announces it, a blank line follows, then one line of numbers per row.
std::vector<std::vector<double>> matrixAfter(const std::string& text, const std::string& title, std::size_t rows) {
    const std::size_t at = text.find("\n" + title + "\n");
    EXPECT_NE(at, std::string::npos) << title;
    std::istringstream in(text.substr(at + title.size() + 2));
    std::string line;
    std::getline(in, line);
    EXPECT_TRUE(line.empty()) << title;
    std::vector<std::vector<double>> matrix;
    while (matrix.size() < rows && std::getline(in, line)) {
        std::istringstream numbers(line);
        matrix.emplace_back(std::istream_iterator<double>(numbers), std::istream_iterator<double>());
    }
    return matrix;
}

TEST(CliSurface, TablesFileJsonAndCsvHoldTheSameGrid) {
    TempFolder temp;
    const std::string tables = temp.file("Cp_Ct_Cq.nrel5mw.txt");
    const std::string folder = temp.file("csv");
    const json doc = runJson({"surface", example("nrel5mw.kvp"), "--tsr", "4:10:1.5", "--pitch", "-1:8:3", "--wind",
                              "9", "--rosco", tables, "--csv", folder});
    EXPECT_EQ(doc["command"], "surface");
    EXPECT_EQ(doc["wind"].get<double>(), 9.0);
    EXPECT_EQ(doc["tsr"].get<std::vector<double>>(), (std::vector<double>{4.0, 5.5, 7.0, 8.5, 10.0}));
    EXPECT_EQ(doc["pitch"].get<std::vector<double>>(), (std::vector<double>{-1.0, 2.0, 5.0, 8.0}));

    const std::string text = readBytes(tables);
    EXPECT_EQ(text.rfind("# ----- Rotor performance tables for the nrel5mw rotor -----\n# ", 0), 0u) << text;
    EXPECT_NE(text.find("\n\n# Pitch angle vector, 4 entries - x axis (matrix columns) (deg)\n"
                        "-1.000000 2.000000 5.000000 8.000000\n"
                        "# TSR vector, 5 entries - y axis (matrix rows) (-)\n"
                        "4.000000 5.500000 7.000000 8.500000 10.000000\n"
                        "# Wind speed vector - z axis (m/s)\n9.000000\n"),
              std::string::npos)
        << text;

    const std::vector<double> tsr = doc["tsr"].get<std::vector<double>>();
    std::map<std::string, std::vector<std::vector<double>>> m;
    for (const auto& [name, title] : {std::pair{"cp", "# Power coefficient"}, std::pair{"ct", "# Thrust coefficient"},
                                      std::pair{"cq", "# Torque coefficent"}}) {
        m[name] = matrixAfter(text, title, 5);
        ASSERT_EQ(m[name].size(), 5u) << name;
        for (std::size_t i = 0; i < 5; ++i) {
            ASSERT_EQ(m[name][i].size(), 4u) << name;
            for (std::size_t j = 0; j < 4; ++j)
                EXPECT_NEAR(m[name][i][j], doc[name][i][j].get<double>(), 1e-6) << name << " " << i << " " << j;
        }
    }
    double best = 0.0;
    for (std::size_t i = 0; i < 5; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            best = std::max(best, m["cp"][i][j]);
            EXPECT_NEAR(m["cq"][i][j], m["cp"][i][j] / tsr[i], 2e-6);
            EXPECT_TRUE(doc["converged"][i][j].get<bool>());
        }
    }
    // The rotor's best power coefficient lies near TSR 7.5 at fine pitch.
    EXPECT_NEAR(best, m["cp"][2][0], 0.03);
    EXPECT_GT(best, 0.45);

    const std::string cp = readBytes(folder + "/surface_cp.csv");
    EXPECT_EQ(cp.substr(0, cp.find('\n')), "TSR [-] \\ pitch [deg],-1,2,5,8");
    EXPECT_EQ(std::count(cp.begin(), cp.end(), '\n'), 6);
    for (const char* name : {"/surface_ct.csv", "/surface_cq.csv"})
        EXPECT_FALSE(readBytes(folder + name).empty()) << name;
}

TEST(CliSurface, WrongGridsExitWithAMessage) {
    const std::string project = example("nrel5mw.kvp");
    EXPECT_EQ(runCli({"surface", project, "--pitch", "0:5:1"}).status, 2);  // --tsr is required
    EXPECT_EQ(runCli({"surface", project, "--tsr", "2:5:1"}).status, 2);    // --pitch is required
    auto grid = [&](const std::string& tsr, const std::string& pitch) {
        return std::vector<std::string>{"surface", project, "--tsr", tsr, "--pitch", pitch};
    };
    expectRefusals({
        {grid("0:5:1", "0:5:1"),
         said("--tsr 0:5:1: the tip speed ratio 0 lies outside its range, greater than 0 and at "
              "most 100."),
         2},
        {grid("2:5:1", "5:0:1"), said("--pitch 5:0:1: the pitch range ends before it starts."), 2},
        {grid("2:5:0", "0:5:1"),
         said("--tsr 2:5:0: the tip speed ratio step 0 lies outside its range, greater than 0 and at most 100."), 2},
        {grid("2:5", "0:5:1"), said("--tsr expects VALUE or MIN:MAX:STEP, not \"2:5\"."), 2},
        // A fourth field was once dropped.
        {grid("2:5:1", "0:10:5:5"), said("--pitch expects VALUE or MIN:MAX:STEP, not \"0:10:5:5\"."), 2},
        {grid("0.1:100:0.1", "-5:90:0.1"),
         said("A performance surface has at most 250000 points; 1000 tip speed ratios "
              "and 951 pitch angles ask for 951000.")},
    });
}

// At V0 = 1e-300 the wind's power underflows to 0: the results are no numbers, once
// printed as "-nan" beside "converged yes" with exit status 0.
TEST(CliStatus, ResultsThatAreNotNumbersNeverConvergeAndExitWithThree) {
    TempFolder temp;
    const std::string project =
        writeChanged(example("new_turbine.kvp"), temp.file("calm.kvp"), "\"V0\":8.0", "\"V0\":1e-300");
    const std::string note = said(
        "1 of 1 operating points did not converge, 1 of them with values that are not "
        "numbers (nan; null in JSON); exit status 3.");
    const CliRun op = runCli({"op", project, "--elements", "10"});
    EXPECT_EQ(op.status, 3);
    EXPECT_NE(op.out.find("no (NaN)"), std::string::npos) << op.out;
    EXPECT_EQ(op.err, note);
    // NaN was once written "-nan" or "nan" as the computation's sign bit fell.
    EXPECT_EQ(runCli({"op", project, "--elements", "10", "-q", "--csv", temp.file("csv")}).status, 3);
    for (const char* name : {"/op_summary.csv", "/op_elements_1_pitch_0.csv"}) {
        const std::string csv = readBytes(temp.file("csv") + name);
        EXPECT_TRUE(csv.find(",nan,") != std::string::npos && csv.find("-nan") == std::string::npos) << csv;
    }
    const CliRun surface = runCli({"surface", project, "--elements", "10", "--tsr", "7", "--pitch", "0", "--json", "-"});
    EXPECT_EQ(surface.status, 3);
    EXPECT_EQ(json::parse(surface.out)["converged"], json::parse("[[false]]"));
    EXPECT_EQ(surface.err, note);
}

}  // namespace
