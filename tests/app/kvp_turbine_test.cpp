// The "turbine" object of a .kvp document: written with every key in byte order and read
// back, defaults for a missing object and for each missing key, and a message naming
// the key for every value out of its range.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "bemt/Error.h"
#include "project/kvp_codec.h"

namespace {

using namespace bemt;
using korvane::ProjectData;
namespace kvp = korvane::kvp;

// R 10 m, 3 rad/s (28.648 rpm).
const std::string kBase =
    R"("conditions":{"B":2,"Om":3.0,"R":10.0,"Rh":1.0,"V0":6.0},)"
    R"("solver_settings":{"accuracy":1e-5,"max_iterations":100,"n_elements":20,"relaxation_factor":0.1,"solver":1},)"
    R"("compute_settings":{"design_c_limit":0.2,"enable_interpolation":true,"enable_pitch":false,"p_max":20,)"
    R"("p_min":0,"p_step":5,"ran_max":14,"ran_min":0,"ran_step":0.5,"range_type":1})";

const std::string kTurbine =
    R"("turbine":{"availability":0.97,"control":"fixed_speed_variable_pitch","cut_in":3.5,"cut_out":20.0,)"
    R"("efficiency":0.944,"fine_pitch":-1.0,"max_pitch":30.0,"rated_power":5000000.0,"rpm_max":12.1,"rpm_min":6.9,)"
    R"("tsr_target":7.5,"wind_climates":[{"A":9.0,"k":2.2,"name":"North Sea"},{"A":6.5,"k":1.8,"name":"Inland"}],)"
    R"("wind_max":30.0,"wind_min":2.0,"wind_step":1.0})";

std::string document(const std::string& turbine) { return "{" + kBase + (turbine.empty() ? "" : "," + turbine) + "}"; }

std::string readError(const std::string& doc) {
    try {
        kvp::read(doc, "/projects/rotor.kvp");
    } catch (const bemt::Error& error) {
        return error.message();
    }
    return "no error";
}

TEST(KvpTurbine, EveryKeyIsWrittenInByteOrderAndReadBack) {
    const ProjectData d = kvp::read(document(kTurbine), "/p/rotor.kvp");
    ASSERT_TRUE(d.turbine.has_value());
    const TurbineSettings stated{.rated_power = 5e6,
                                 .efficiency = 0.944,
                                 .control = ControlMode::FixedSpeedVariablePitch,
                                 .rpm_min = 6.9,
                                 .rpm_max = 12.1,
                                 .tsr_target = 7.5,
                                 .fine_pitch = -1.0,
                                 .max_pitch = 30.0,
                                 .cut_in = 3.5,
                                 .cut_out = 20.0,
                                 .wind_min = 2.0,
                                 .wind_max = 30.0,
                                 .wind_step = 1.0,
                                 .wind_climates = {{"North Sea", 2.2, 9.0}, {"Inland", 1.8, 6.5}},
                                 .availability = 0.97};
    EXPECT_TRUE(korvane::sameValues(*d.turbine, stated));

    const std::string written = kvp::write(d, "/p/rotor.kvp");
    // "turbine" sorts between "solver_settings" and "twist_points".
    const std::string expected = kTurbine.substr(0, kTurbine.size()) + ",\"twist_points\":[]}";
    ASSERT_NE(written.find(R"("solver_settings":)"), std::string::npos);
    EXPECT_NE(written.find("," + expected), std::string::npos) << written;
    EXPECT_TRUE(korvane::sameValues(kvp::read(written, "/p/rotor.kvp"), d));

    // Each control mode by its name; null is the automatic tip speed ratio.
    for (const auto& [name, mode] : std::vector<std::pair<std::string, ControlMode>>{
             {"variable_speed_variable_pitch", ControlMode::VariableSpeedVariablePitch},
             {"variable_speed_fixed_pitch", ControlMode::VariableSpeedFixedPitch},
             {"fixed_speed_variable_pitch", ControlMode::FixedSpeedVariablePitch},
             {"fixed_speed_fixed_pitch", ControlMode::FixedSpeedFixedPitch}}) {
        const ProjectData m = kvp::read(document(R"("turbine":{"control":")" + name + R"(","tsr_target":null})"), "/p");
        EXPECT_EQ(m.turbine->control, mode) << name;
        EXPECT_TRUE(m.turbine->automaticTsr());
        EXPECT_NE(kvp::write(m, "/p").find(R"("control":")" + name + R"(",)"), std::string::npos);
        EXPECT_NE(kvp::write(m, "/p").find(R"("tsr_target":null,)"), std::string::npos);
    }
}

TEST(KvpTurbine, MissingObjectAndMissingKeysTakeTheDefaultsOfTheRotor) {
    // Without the object nothing is written back, and the rotor's defaults apply:
    // 400 W/m2 x pi x 10^2 m2 = 125.66 kW, rounded to 126 kW; 28.648 rpm and half of it.
    for (const std::string& absent : {std::string(), std::string(R"("turbine":null)")}) {
        const ProjectData d = kvp::read(document(absent), "/p/rotor.kvp");
        EXPECT_FALSE(d.turbine.has_value());
        EXPECT_EQ(kvp::write(d, "/p/rotor.kvp").find("turbine"), std::string::npos);
        const TurbineSettings t = korvane::turbineSettings(d);
        EXPECT_EQ(t.rated_power, 126000.0);
        EXPECT_NEAR(t.rpm_max, 3.0 * 30.0 / std::numbers::pi, 1e-12);
        EXPECT_NEAR(t.rpm_min, 0.5 * 3.0 * 30.0 / std::numbers::pi, 1e-12);
    }
    const ProjectData d = kvp::read(document(R"("turbine":{})"), "/p/rotor.kvp");
    ASSERT_TRUE(d.turbine.has_value());
    const TurbineSettings& t = *d.turbine;
    EXPECT_TRUE(t.automaticTsr());
    EXPECT_EQ(t.control, ControlMode::VariableSpeedVariablePitch);
    const std::pair<double, double> values[] = {{t.rated_power, 126000.0}, {t.efficiency, 1.0}, {t.fine_pitch, 0.0},
                                                {t.max_pitch, 90.0},       {t.cut_in, 3.0},     {t.cut_out, 25.0},
                                                {t.wind_min, 3.0},         {t.wind_max, 25.0},  {t.wind_step, 0.5},
                                                {t.availability, 1.0}};
    for (std::size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(values[i].first, values[i].second) << i;
    ASSERT_EQ(t.wind_climates.size(), 1u);
    EXPECT_EQ(t.wind_climates[0].k, 2.0);
    EXPECT_NEAR(t.wind_climates[0].A, 2.0 * 8.5 / std::sqrt(std::numbers::pi), 1e-12);  // Rayleigh, mean 8.5 m/s

    // One key given, the rest default; a climate without a name is numbered.
    const ProjectData one = kvp::read(document(R"("turbine":{"wind_climates":[{"k":3,"A":7}],"cut_out":20})"), "/p");
    EXPECT_EQ(one.turbine->cut_out, 20.0);
    EXPECT_EQ(one.turbine->rated_power, 126000.0);
    ASSERT_EQ(one.turbine->wind_climates.size(), 1u);
    EXPECT_EQ(one.turbine->wind_climates[0].name, "Climate 1");
    EXPECT_TRUE(kvp::read(document(R"("turbine":{"wind_climates":[]})"), "/p").turbine->wind_climates.empty());
}

TEST(KvpTurbine, EveryBadValueIsRefusedWithItsKey) {
    const std::string file = "The project file /projects/rotor.kvp could not be read: ";
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"("turbine":[])", R"("turbine" must be an object, not an array.)"},
        {R"("turbine":{"rated_power":0})", R"("turbine.rated_power" must be greater than 0, not 0.)"},
        {R"("turbine":{"rated_power":null})", R"("turbine.rated_power" must be greater than 0, not nan.)"},
        {R"("turbine":{"rated_power":"5 MW"})", R"("turbine.rated_power" must be a number, not a string.)"},
        {R"("turbine":{"efficiency":0})", R"("turbine.efficiency" must be greater than 0 and at most 1, not 0.)"},
        {R"("turbine":{"efficiency":1.01})", R"("turbine.efficiency" must be greater than 0 and at most 1, not 1.01.)"},
        {R"("turbine":{"control":"pitch"})",
         R"("turbine.control" must be "variable_speed_variable_pitch", "variable_speed_fixed_pitch", )"
         R"("fixed_speed_variable_pitch" or "fixed_speed_fixed_pitch", not "pitch".)"},
        {R"("turbine":{"control":1})", R"("turbine.control" must be a string, not a number.)"},
        {R"("turbine":{"rpm_min":-1})", R"("turbine.rpm_min" must be 0 or more, not -1.)"},
        {R"("turbine":{"rpm_max":0})", R"("turbine.rpm_max" must be greater than 0, not 0.)"},
        {R"("turbine":{"rpm_min":10,"rpm_max":9})", R"("turbine.rpm_max" must not be below rpm_min (10), not 9.)"},
        {R"("turbine":{"tsr_target":0})", R"("turbine.tsr_target" must be greater than 0, not 0.)"},
        {R"("turbine":{"fine_pitch":-90})", R"("turbine.fine_pitch" must be from -5 to 90, not -90.)"},
        {R"("turbine":{"max_pitch":95})", R"("turbine.max_pitch" must be from -5 to 90, not 95.)"},
        {R"("turbine":{"fine_pitch":5,"max_pitch":4})", R"("turbine.max_pitch" must not be below fine_pitch (5), not 4.)"},
        {R"("turbine":{"cut_in":0})", R"("turbine.cut_in" must be greater than 0 and at most 100, not 0.)"},
        {R"("turbine":{"cut_out":1e6})", R"("turbine.cut_out" must be greater than 0 and at most 100, not 1e+06.)"},
        {R"("turbine":{"cut_in":12,"cut_out":12})", R"("turbine.cut_out" must be above cut_in (12), not 12.)"},
        {R"("turbine":{"wind_min":-1})", R"("turbine.wind_min" must be from 0 to 100, not -1.)"},
        {R"("turbine":{"wind_max":1e6})", R"("turbine.wind_max" must be from 0 to 100, not 1e+06.)"},
        {R"("turbine":{"wind_min":10,"wind_max":5})", R"("turbine.wind_max" must not be below wind_min (10), not 5.)"},
        {R"("turbine":{"wind_step":0})", R"("turbine.wind_step" must be greater than 0 and at most 100, not 0.)"},
        {R"("turbine":{"wind_step":1e-3})",
         R"("turbine.wind_step" gives more than 2000 wind speeds from wind_min to wind_max.)"},
        // 1999.9999999995 steps: 2001 wind speeds as the power curve counts them.
        {R"("turbine":{"wind_min":0,"wind_max":20,"wind_step":0.0100000000000025})",
         R"("turbine.wind_step" gives more than 2000 wind speeds from wind_min to wind_max.)"},
        {R"("turbine":{"wind_climates":{}})", R"("turbine.wind_climates" must be an array, not an object.)"},
        {R"("turbine":{"wind_climates":[3]})", R"("turbine.wind_climates[0]" must be an object, not a number.)"},
        {R"("turbine":{"wind_climates":[{"A":7}]})", R"("turbine.wind_climates[0].k" is missing.)"},
        {R"("turbine":{"wind_climates":[{"k":2,"A":7},{"k":0,"A":7}]})",
         R"("turbine.wind_climates[1].k" must be greater than 0, not 0.)"},
        {R"("turbine":{"wind_climates":[{"k":2,"A":-7}]})", R"("turbine.wind_climates[0].A" must be greater than 0, not -7.)"},
        {R"("turbine":{"wind_climates":[{"k":2,"A":7,"name":4}]})",
         R"("turbine.wind_climates[0].name" must be a string, not a number.)"},
        {R"("turbine":{"availability":1.5})", R"("turbine.availability" must be from 0 to 1, not 1.5.)"},
        {R"("turbine":{"availability":-0.1})", R"("turbine.availability" must be from 0 to 1, not -0.1.)"},
    };
    for (const auto& [turbine, message] : cases) EXPECT_EQ(readError(document(turbine)), file + message) << turbine;
}

}  // namespace
