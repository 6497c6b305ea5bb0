// korvane-cli end to end: every subcommand on the bundled examples, its table, CSV and
// JSON output read back and checked against the core's own results, the overrides, and
// the exits for missing, malformed and invalid projects, wrong command lines and Ctrl-C.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <nlohmann/json.hpp>

#include "CliChecks.h"
#include "CsvRows.h"
#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"
#include "project/kvp_codec.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;

// Same machine, same core, same inputs: the numbers agree to rounding in the output.
constexpr double kSameResult = 1e-9;

std::vector<std::vector<std::string>> readCsv(const std::string& path) { return csvRows(readBytes(path)); }

double coreCp(bemt::SolverType solver, int elements = 100) {
    bemt::InputDataSet data = korvane::testing::defaultRotor(solver);
    data.settings.n_elements = elements;
    bemt::BEMTTools tools(solver);
    return tools.analyzeOp(data, korvane::testing::ignoreProgress, 0.0).Cp;
}

TEST(CliOp, TheDefaultExampleGivesTheCoresOperatingPoint) {
    const json result = runJson({"op", example("new_turbine.kvp")});
    EXPECT_EQ(result["command"], "op");
    EXPECT_EQ(result["conditions"]["R"], 25.0);
    EXPECT_EQ(result["conditions"]["B"], 3);
    ASSERT_EQ(result["points"].size(), 1u);
    const json& point = result["points"][0];
    EXPECT_EQ(point["pitch"], 0.0);
    EXPECT_NEAR(point["Cp"].get<double>(), coreCp(bemt::FixedPoint2D), kSameResult);
    EXPECT_TRUE(point["converged"].get<bool>());

    // The elements add up to the rotor: P is the sum of the converged elements' power.
    const json& elements = point["elements"];
    ASSERT_EQ(elements.size(), 100u);
    double power = 0.0;
    double lastX = 0.0;
    for (const json& e : elements) {
        if (e["converged"].get<bool>()) power += e["dP"].get<double>();
        EXPECT_GT(e["x_rel"].get<double>(), lastX);
        lastX = e["x_rel"].get<double>();
        EXPECT_NEAR(e["r"].get<double>(), lastX * 25.0, 1e-9);
        EXPECT_NEAR(e["alpha_deg"].get<double>(), e["phi_deg"].get<double>() - e["twist_deg"].get<double>(), 1e-9);
        for (const char* key : {"c", "alpha_opt_deg", "a", "a_", "cl", "cd", "F", "Re", "dT", "extrapolated"})
            EXPECT_TRUE(e.contains(key)) << key;
    }
    EXPECT_NEAR(power, point["P"].get<double>(), 1e-6 * power);
    // Twist at the element centres follows the project's twist points (59.6° at the root, 0 at the tip).
    EXPECT_GT(elements[0]["twist_deg"].get<double>(), 50.0);
    EXPECT_LT(std::fabs(elements[99]["twist_deg"].get<double>()), 1.0);
}

TEST(CliOp, TableAndCsvFilesHoldEachPitchAngleAndElement) {
    TempFolder temp;
    const std::string folder = temp.file("results/op");
    const CliRun run = runCli({"op", example("naca_blade.kvp"), "--csv", folder, "--json", temp.file("op.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    // The summary table on the standard output shows each pitch angle; no progress bar without a terminal.
    EXPECT_NE(run.out.find("Cp"), std::string::npos);
    for (const char* pitch : {"-2 ", " 0 ", " 2 ", " 4 ", " 6 "}) EXPECT_NE(run.out.find(pitch), std::string::npos);
    EXPECT_EQ(run.err.find('\r'), std::string::npos);
    const json result = json::parse(readBytes(temp.file("op.json")));

    const auto summary = readCsv(folder + "/op_summary.csv");
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[0][0], "pitch [deg]");
    EXPECT_EQ(summary[0][1], "P [W]");
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(std::stod(summary[k + 1][0]), -2.0 + 2.0 * k);
        EXPECT_NEAR(std::stod(summary[k + 1][2]), result["points"][k]["Cp"].get<double>(), 1e-9);
    }
    for (const char* pitch : {"1_pitch_-2", "2_pitch_0", "3_pitch_2", "4_pitch_4", "5_pitch_6"}) {
        const auto elements = readCsv(folder + "/op_elements_" + pitch + ".csv");
        ASSERT_EQ(elements.size(), 61u) << pitch;
        EXPECT_EQ(elements[0].size(), 17u);
        EXPECT_EQ(elements[0][0], "x_rel [-]");
        EXPECT_EQ(elements[0][12], "Re [-]");
    }
}

double largestChord(const json& result) {
    double largest = 0.0;
    for (const json& c : result["design"]["chord_points"]) largest = std::max(largest, c["c_rel"].get<double>());
    return largest;
}

TEST(CliDesign, TheDesignedBladeKeepsTheChordLimitAndBeatsTheGuessedBlade) {
    TempFolder temp;
    const std::string folder = temp.file("design");
    const json result = runJson({"design", example("new_turbine.kvp"), "--csv", folder});
    EXPECT_EQ(result["command"], "design");
    ASSERT_EQ(result["design"]["chord_points"].size(), 100u);
    ASSERT_EQ(result["design"]["twist_points"].size(), 100u);
    EXPECT_DOUBLE_EQ(largestChord(result), 0.2);  // the root wants more chord than the project's limit
    ASSERT_EQ(result["points"].size(), 1u);
    // The optimum blade at the design point extracts clearly more than the new
    // project's guessed blade, and stays below the Betz limit 16/27.
    const double cp = result["points"][0]["Cp"].get<double>();
    EXPECT_GT(cp, coreCp(bemt::FixedPoint2D) + 0.03);
    EXPECT_LT(cp, 16.0 / 27.0);
    EXPECT_EQ(readCsv(folder + "/design_blade.csv").size(), 101u);
    EXPECT_EQ(readCsv(folder + "/design_elements_1_pitch_0.csv").size(), 101u);

    // Options read numbers as their checks do: "0.06 " once passed the check and failed CLI11's conversion.
    const json limited = runJson({"design", example("new_turbine.kvp"), "--c-limit", "0.06 ", "--elements", "30.0"});
    EXPECT_DOUBLE_EQ(largestChord(limited), 0.06);
    EXPECT_EQ(limited["design"]["chord_points"].size(), 30u);
}

TEST(CliChar, OneStepPerRangeValueStartingAtTheSmallestUsableValue) {
    TempFolder temp;
    const json result = runJson({"char", example("new_turbine.kvp"), "--csv", temp.file("char")});
    EXPECT_EQ(result["range_type"], "tip_speed_ratio");
    const json& steps = result["steps"];
    ASSERT_EQ(steps.size(), 29u);  // 0 to 14 by 0.5
    EXPECT_DOUBLE_EQ(steps[0]["TSR"].get<double>(), 0.2);  // 0 would make V0 infinite
    EXPECT_DOUBLE_EQ(steps[1]["TSR"].get<double>(), 0.5);
    const double omR = 25.0 * 18.0 * M_PI / 30.0;
    for (const json& step : steps) {
        EXPECT_NEAR(step["V0"].get<double>(), omR / step["TSR"].get<double>(), 1e-9);
        ASSERT_EQ(step["points"].size(), 1u);
    }
    const auto rows = readCsv(temp.file("char") + "/characteristics.csv");
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows[0][0], "V0 [m/s]");
    EXPECT_EQ(rows[0][4], "Cp [-]");
    EXPECT_NEAR(std::stod(rows[1][4]), steps[0]["points"][0]["Cp"].get<double>(), 1e-9);
}

TEST(CliChar, RangeAndPitchOverridesSetTheSweep) {
    const json result = runJson({"char", example("naca_blade.kvp"), "--range", "4:12:2", "--range-type", "wind",
                                 "--pitch", "0:4:4", "--elements", "20"});
    EXPECT_EQ(result["range_type"], "wind_velocity");
    ASSERT_EQ(result["steps"].size(), 5u);
    EXPECT_DOUBLE_EQ(result["steps"][4]["V0"].get<double>(), 12.0);
    ASSERT_EQ(result["steps"][0]["points"].size(), 2u);
    EXPECT_DOUBLE_EQ(result["steps"][0]["points"][1]["pitch"].get<double>(), 4.0);
}

TEST(CliOverrides, SolverElementsAndBlendingReplaceTheProjectsSettings) {
    const json ning = runJson({"op", example("new_turbine.kvp"), "--solver", "ning", "--elements", "40"});
    EXPECT_NEAR(ning["points"][0]["Cp"].get<double>(), coreCp(bemt::Ning, 40), kSameResult);
    EXPECT_EQ(ning["points"][0]["elements"].size(), 40u);
    // Blending neighbouring airfoils changes the polars between the airfoil points, and so the power.
    const json on = runJson({"op", example("naca_blade.kvp"), "--pitch", "0"});
    const json off = runJson({"op", example("naca_blade.kvp"), "--pitch", "0", "--interpolation", "off"});
    EXPECT_GT(std::fabs(on["points"][0]["P"].get<double>() - off["points"][0]["P"].get<double>()), 100.0);
}

TEST(CliNew, WritesTheNewProjectDefaultsAndKeepsExistingFiles) {
    TempFolder temp;
    const std::string path = temp.file("my rotor.kvp");
    const CliRun created = runCli({"new", path});
    EXPECT_EQ(created.status, 0);
    EXPECT_EQ(created.err, "Created " + path + "\n");
    EXPECT_EQ(readBytes(path), readBytes(example("new_turbine.kvp")));

    writeBytes(path, "mine");
    const CliRun refused = runCli({"new", path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "korvane-cli: The file " + path + " exists already; use --force to replace it.\n");
    EXPECT_EQ(readBytes(path), "mine");
    EXPECT_EQ(runCli({"new", path, "--force"}).err, "Replaced " + path + "\n");
    EXPECT_EQ(readBytes(path), readBytes(example("new_turbine.kvp")));
}

TEST(CliExamples, EveryExampleIsStoredInTheProgramsOwnForm) {
    for (const char* name : {"new_turbine.kvp", "naca_blade.kvp", "nrel5mw.kvp", "nrel5mw_operating.kvp",
                             "xfoil_blade.kvp", "openfast-nrel5mw/nrel5mw_openfast.kvp"}) {
        const std::string path = example(name);
        const std::string text = readBytes(path);
        EXPECT_EQ(korvane::kvp::write(korvane::kvp::read(text, path), path), text) << name;
    }
}

TEST(CliErrors, MissingMalformedAndInvalidProjectsExitWithAMessage) {
    TempFolder temp;
    const std::string missing = temp.file("missing.kvp"), malformed = temp.file("malformed.kvp");
    writeBytes(malformed, "{\"conditions\": {\"R\": 25");
    int variants = 0;
    auto variant = [&](const std::string& from, const std::string& to) {
        return writeChanged(example("new_turbine.kvp"), temp.file(std::to_string(++variants) + ".kvp"), from, to);
    };
    expectRefusals({
        {{"op", missing}, said("The file " + missing + " could not be opened: No such file or directory.")},
        {{"char", malformed},
         said("The project file " + malformed +
              " could not be read: it is not a valid JSON document (line 1, column 24).")},
        {{"op", variant("\"Rh\":1.5", "\"Rh\":30.0")},
         said("Invalid project value: the hub radius Rh (30 m) must be at least 0 and smaller than the rotor radius R "
              "(25 m).")},
        {{"op", variant("\"chord_points\":[{\"c_rel\":0.144,\"x_rel\":0.06},", "\"chord_points\":[")},
         said("Invalid project value: the blade needs at least two chord points.")},
        {{"op",
          variant("\"data_type\":3,\"guess_reynolds\":true,\"max_passes\":5,\"ncrit\":9,\"path\":\"\"",
                  "\"data_type\":1,\"guess_reynolds\":true,\"max_passes\":5,\"ncrit\":9,\"path\":\"../missing.csv\"")},
         said("The file " + temp.file("missing.csv") + " could not be opened: No such file or directory.")},
    });
}

TEST(CliErrors, WrongCommandLinesExitWithUsageStatus) {
    EXPECT_EQ(runCli({}).status, 2);
    EXPECT_EQ(runCli({"op"}).status, 2);
    EXPECT_EQ(runCli({"op", example("new_turbine.kvp"), "--solver", "fast"}).status, 2);
    EXPECT_EQ(runCli({"op", example("new_turbine.kvp"), "--elements", "0"}).status, 2);
    for (const std::string range : {"1:2", "1:2:1:1", "1:2:1abc", "1::1"}) {
        const CliRun badRange = runCli({"char", example("new_turbine.kvp"), "--range", range});
        EXPECT_EQ(badRange.status, 2);
        EXPECT_EQ(badRange.err, "korvane-cli: --range expects VALUE or MIN:MAX:STEP, not \"" + range + "\".\n");
    }

    // The help names the commands, the output and the limits where a user looks for them.
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"op", "design", "char", "new", "Exit status", "\"alpha_opt_deg\"", "CSV polar files",
                             "coordinate files analysed by XFOIL", "rotor radius 0.1 to 300 m", "1 to 100 blades",
                             "at most 1001 pitch angles (the desktop program 11) and 500 characteristics steps"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    EXPECT_EQ(help.out.find("not supported"), std::string::npos);
    const CliRun charHelp = runCli({"char", "--help"});
    for (const char* text : {"--csv", "--json", "--solver", "--elements", "--pitch", "--interpolation", "--threads",
                             "1 to 10000", "1e-08 to 0.1", "at most 1001", "at most 500 steps"})
        EXPECT_NE(charHelp.out.find(text), std::string::npos) << text;
}

TEST(CliErrors, CtrlCAbortsTheComputationWithItsMessage) {
    // Long enough to be running when the interrupt arrives.
    const CliRun run = runCli({"char", example("new_turbine.kvp"), "--range", "0.5:14:0.05", "--elements", "5000"},
                              std::chrono::milliseconds(1500));
    EXPECT_EQ(run.status, 130);
    EXPECT_EQ(run.err, "The computation process has been aborted.\n");
    EXPECT_TRUE(run.out.empty());
}

TEST(CliThreads, ResultsDoNotDependOnTheThreadCountAndWrongCountsAreRefused) {
    // The same numbers to the last printed digit on one thread and on several; the
    // environment variable is checked when --threads is not given.
    const std::vector<std::string> sweep{"char", example("nrel5mw.kvp"), "--range", "3:12:0.25", "--pitch", "0:4:2"};
    std::vector<std::string> oneThread = sweep;
    oneThread.insert(oneThread.end(), {"--threads", "1"});
    const json one = runJson(oneThread);
    EXPECT_EQ(one["steps"].size(), 37u);

    for (const char* wrong : {"0", "-1", "1025", "two"})
        EXPECT_EQ(runCli({"op", example("new_turbine.kvp"), "--threads", wrong}).status, 2) << wrong;

    const char* saved = std::getenv("KORVANE_THREADS");
    const std::string kept = saved ? saved : "";
    setenv("KORVANE_THREADS", "lots", 1);
    const CliRun refused = runCli({"op", example("new_turbine.kvp")});
    std::vector<std::string> twoThreads = sweep;
    twoThreads.insert(twoThreads.end(), {"--threads", "2"});
    const json overridden = runJson(twoThreads);
    if (saved) {
        setenv("KORVANE_THREADS", kept.c_str(), 1);
    } else {
        unsetenv("KORVANE_THREADS");
    }
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, said("KORVANE_THREADS must be a whole number of threads from 1 to 1024, not \"lots\"."));
    EXPECT_EQ(overridden.dump(), one.dump());
}

TEST(CliXfoil, CoordinateAirfoilsAreAnalysedByXfoilBeforeTheOperatingPoint) {
    // NACA 4415 analysed by XFOIL at two Reynolds numbers guessed from the conditions.
    const CliRun run = runCli({"op", example("xfoil_blade.kvp"), "--json", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json point = json::parse(run.out)["points"][0];
    EXPECT_TRUE(point["converged"].get<bool>());
    // A cambered section of good lift-to-drag ratio on the guessed blade: better than the
    // NACA 0012 example, still below Betz.
    const double cp = point["Cp"].get<double>();
    EXPECT_GT(cp, 0.43);
    EXPECT_LT(cp, 16.0 / 27.0);
}

TEST(CliXfoil, CtrlCStopsTheXfoilAnalyses) {
    const auto started = std::chrono::steady_clock::now();
    const CliRun run = runCli({"op", example("xfoil_blade.kvp")}, std::chrono::milliseconds(300));
    EXPECT_EQ(run.status, 130);
    EXPECT_EQ(run.err, "The Xfoil preprocessing has been aborted.\n");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

// Published 0.482 at tip speed ratio 7.55, with the 2.5° precone and 5° tilt of the
// operating rotor; the plain rotor lies 2 % above it.
TEST(CliReference, Nrel5MwPeakPowerCoefficientMatchesThePublishedValue) {
    for (const auto& [name, tolerance] : {std::pair{"nrel5mw.kvp", 0.03}, {"nrel5mw_operating.kvp", 0.01}}) {
        const json document = runJson({"char", example(name), "--range", "6:9:0.05"});
        double peak = 0.0;
        for (const json& step : document["steps"]) peak = std::max(peak, step["points"][0]["Cp"].get<double>());
        EXPECT_NEAR(peak, 0.482, tolerance * 0.482) << name;
    }
}

// The plain rotor stated in full is computed as without the settings, to the byte; any
// other rotor is named, with its sectors and the radius its coefficients are on.
TEST(CliRotor, ThePlainRotorGivesTheSameBytesAndAnyOtherIsNamed) {
    const std::string project = example("nrel5mw.kvp");
    const CliRun plain = runCli({"op", project, "--json", "-"});
    const CliRun stated = runCli({"op", project, "--json", "-", "--precone", "0", "--tilt", "0", "--yaw", "0",
                                  "--shear", "0", "--hub-height", "0", "--sectors", "1", "--skew", "none"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(stated.out, plain.out);

    const json yawed = runJson({"op", example("nrel5mw_operating.kvp"), "--yaw", "20", "--sectors", "4"});
    EXPECT_EQ(yawed["model"], "precone 2.5°, tilt 5°, yaw 20°, 4 sectors");
    EXPECT_DOUBLE_EQ(yawed["swept_radius"].get<double>(), 63.0 * std::cos(2.5 * std::numbers::pi / 180.0));
    const json& point = yawed["points"][0];
    ASSERT_EQ(point["sectors"].size(), 4u);
    double thrust = 0.0;
    for (const json& sector : point["sectors"]) {
        EXPECT_EQ(sector["elements"].size(), 100u);
        thrust += sector["T"].get<double>() / 4.0;
    }
    EXPECT_NEAR(point["T"].get<double>(), thrust, 1e-9 * thrust);
    EXPECT_GT(point["M_root_max"].get<double>(), point["M_root"].get<double>());

    const CliRun switched = runCli({"op", project, "--no-tip-loss", "--no-drag-in-induction"});
    EXPECT_NE(switched.out.find("Model: no tip loss, no drag in the induction\n"), std::string::npos) << switched.out;
    const CliRun design = runCli({"design", example("nrel5mw_operating.kvp"), "--elements", "20"});
    EXPECT_NE(design.out.find("for the plain rotor, without the project's cone"), std::string::npos) << design.out;
}

}  // namespace
