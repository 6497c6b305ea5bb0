// korvane-cli optimise end to end: the optimised project is a new file that reads back
// with its settings and a better blade, beside the before/after table, the history and
// the blade files; the input stays as it was. The command line's stall delay is the one
// computed with and reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "CliChecks.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;
namespace fs = std::filesystem;

TEST(CliOptimise, WritesABetterBladeAsANewProjectWithItsHistory) {
    TempFolder temp;
    const std::string project = example("new_turbine.kvp");
    const std::string before = readBytes(project);
    const std::string out = temp.file("optimised.kvp");
    const CliRun run = runCli({"optimise", project, "--elements", "10", "--budget", "60", "--points", "4",
                               "--max-thrust-ratio", "1", "--max-root-moment", "1e9", "--out", out, "--json", temp.file("o.json"), "--csv",
                               temp.file("csv"), "--stall-delay", "snel"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("before         after     change"), std::string::npos) << run.out;
    // The summary and the document name the polars as computed, with the option's model.
    EXPECT_NE(run.out.find("Polars: corrected for rotational stall delay (snel lift"), std::string::npos) << run.out;
    EXPECT_EQ(readBytes(project), before);

    const korvane::ProjectData optimised = korvane::kvp::read(readBytes(out), out);
    ASSERT_EQ(optimised.chordPoints.size(), 4u);
    ASSERT_TRUE(optimised.optimisation.has_value());
    EXPECT_EQ(optimised.optimisation->max_thrust_ratio, 1.0);
    EXPECT_EQ(optimised.optimisation->max_root_moment, 1e9);
    // The new project's airfoil files are found from its own folder.
    EXPECT_EQ(optimised.airfoilPoints.size(), korvane::kvp::read(before, project).airfoilPoints.size());

    const json doc = json::parse(readBytes(temp.file("o.json")));
    EXPECT_EQ(doc["command"], "optimise");
    EXPECT_EQ(doc["stall_delay"]["lift"], "snel");
    EXPECT_TRUE(doc["feasible"].get<bool>());
    EXPECT_GT(doc["after"]["aep"][0]["aep_MWh"].get<double>(), doc["before"]["aep"][0]["aep_MWh"].get<double>());
    EXPECT_LE(doc["after"]["max_thrust"].get<double>(), doc["thrust_limit"].get<double>() * (1.0 + 5e-4));
    EXPECT_EQ(doc["root_moment_limit"].get<double>(), 1e9);
    EXPECT_GT(doc["after"]["max_root_moment"].get<double>(), 0.0);
    EXPECT_NE(run.out.find("Largest root moment [kN m]"), std::string::npos) << run.out;
    EXPECT_FALSE(doc["history"].empty());
    EXPECT_TRUE(fs::exists(temp.file("csv/optimise_history.csv")));
    EXPECT_TRUE(fs::exists(temp.file("csv/optimise_blade.csv")));
}

}  // namespace
