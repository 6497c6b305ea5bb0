// Stall delay on the command line: switched by the project or the options, stated in
// every result, without effect when off, and the polar of one position as computed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <nlohmann/json.hpp>

#include "CliChecks.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;

// The 5-MW example (CSV tables, one per element) in temp, with stallDelay added.
std::string nrel5mw(const TempFolder& temp, const std::string& name, const std::string& stallDelay) {
    std::string text = replacedAll(readBytes(example("nrel5mw.kvp")), "\"../nrel5mw/", "\"" + example("nrel5mw/"));
    if (!stallDelay.empty()) text = replacedAll(text, "\"twist_points\":", stallDelay + ",\"twist_points\":");
    writeBytes(temp.file(name), text);
    return temp.file(name);
}

TEST(CliStallDelay, OffComputesAsWithoutItAndOnIsStatedInTheResults) {
    TempFolder temp;
    const std::string plain = nrel5mw(temp, "plain.kvp", "");
    const std::string snel = nrel5mw(temp, "snel.kvp", R"("stall_delay":{"lift":"snel","x_max":0.5})");
    const CliRun off = runCli({"op", plain, "--json", "-"});
    const json plainResult = json::parse(off.out);
    EXPECT_EQ(plainResult["stall_delay"], json::parse(R"({"corrected":false})"));
    EXPECT_EQ(runCli({"op", snel, "--stall-delay", "none", "--json", "-"}).out, off.out);

    const json on = runJson({"op", snel});
    EXPECT_EQ(on["stall_delay"]["lift"], "snel");
    EXPECT_EQ(on["stall_delay"]["x_max"], 0.5);
    EXPECT_NEAR(on["stall_delay"]["tip_speed_ratio"].get<double>(), 7.55, 0.01);
    // Only the elements inboard of x/R 0.5 change, and their lift grows.
    const json& before = plainResult["points"][0]["elements"];
    const json& after = on["points"][0]["elements"];
    for (std::size_t i = 0; i < after.size(); ++i) {
        const double x = after[i]["x_rel"].get<double>();
        if (x > 0.5) {
            EXPECT_EQ(after[i]["cl"], before[i]["cl"]) << x;
        }
    }
    EXPECT_NE(on["points"][0]["P"], plainResult["points"][0]["P"]);
    const CliRun summary = runCli({"power-curve", snel, "--stall-delay", "du_selig", "--stall-drag", "none"});
    EXPECT_NE(summary.out.find("Polars: corrected for rotational stall delay (du_selig lift, none drag, fit -5 to 5 "
                               "deg, fade 25 to 45 deg, |dcl| <= 0.25, up to x/R 0.5, tip speed ratio 7.5"),
              std::string::npos)
        << summary.out;

    expectRefusals({
        {{"op", plain, "--stall-drag", "none"},
         said("--stall-drag none changes nothing: the project corrects no polar for stall delay; give --stall-delay "
              "du_selig or snel as well."),
         2},
        {{"polar", plain, "--at", "0.01"}, said("--at 0.01 lies inside the hub: give x/R from 0.0238095 (Rh/R) to 1."),
         2},
    });
    EXPECT_EQ(runCli({"op", plain, "--stall-delay", "Du_Selig"}).status, 2);
    EXPECT_EQ(runCli({"surface", plain, "--tsr", "7:8:1", "--pitch", "0", "--stall-drag", "viterna"}).status, 2);
}

// At x/R 0.25 (DU35, c/r 4.65/15.75) the 2D values are the table's, and the corrected ones
// follow from the reported factor and lift line by the formulas of the guide.
TEST(CliStallDelay, PolarGivesTheTableAndItsCorrection) {
    TempFolder temp;
    const std::string project = nrel5mw(temp, "snel.kvp", R"("stall_delay":{"lift":"snel"})");
    const json polar = runJson({"polar", project, "--at", "0.25", "--alpha", "10:40:15"});
    EXPECT_EQ(polar["command"], "polar");
    EXPECT_NEAR(polar["r"].get<double>(), 15.75, 1e-9);
    const json& c = polar["correction"];
    EXPECT_TRUE(c["applied"].get<bool>());
    EXPECT_NEAR(c["factor"].get<double>(), 3.0 * std::pow(c["c_over_r"].get<double>(), 2), 1e-12);
    const double tableCl[] = {1.475, 1.546, 1.529};   // DU35_A17 at 10, 25 and 40 degrees
    const double weight[] = {1.0, 1.0, 0.25};
    ASSERT_EQ(polar["points"].size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const json& p = polar["points"][i];
        const double alpha = p["alpha_deg"].get<double>() * std::numbers::pi / 180.0;
        EXPECT_NEAR(p["cl_2d"].get<double>(), tableCl[i], 1e-9);
        const double line = c["lift_slope_per_rad"].get<double>() * (alpha - c["alpha0_deg"].get<double>() * std::numbers::pi / 180.0);
        const double dcl = weight[i] * std::clamp(c["factor"].get<double>() * (line - tableCl[i]), -0.25, 0.25);
        EXPECT_NEAR(p["cl"].get<double>(), tableCl[i] + dcl, 1e-9) << i;
        EXPECT_NEAR(p["cd"].get<double>() - p["cd_2d"].get<double>(), dcl * std::tan(alpha - std::atan(0.12)), 1e-9);
    }
}

}  // namespace
