// The .kvp format against hand-written documents: key order and compact form, defaults
// of optional keys, number conversions, every kind of malformed document, the airfoil
// data paths relative to the project file, and the "turbine" object with its defaults
// and a message naming the key for every value out of its range, and the "optimisation"
// object likewise.
#include "project/kvp_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "bemt/Error.h"
#include "bemt/ErrorOf.h"

namespace {

using namespace bemt;
using korvane::ProjectData;
namespace kvp = korvane::kvp;

// A small project whose document is easy to write by hand.
ProjectData handProject() {
    ProjectData d;
    d.conditions.R = 25.0;
    d.conditions.Rh = 1.5;
    d.conditions.B = 3;
    d.conditions.V0 = 8.0;
    d.conditions.Om = 2.5;
    d.conditions.rho = 1.225;
    d.conditions.mu = 1.789e-5;
    d.conditions.cair = 331.3;
    d.solverSettings = {Ning, 40, 1e-6, 300, 0.25};
    d.computeSettings = {false, windVelocity, 3.0, 25.0, 1.0, true, -2.0, 8.0, 2.0, 0.15};
    AirfoilPoint p;
    p.x_rel = 0.1;
    p.data_type = NACA0021;
    d.airfoilPoints = {p};
    d.chordPoints = {{0.1, 0.08}, {1.0, 0.03}};
    d.twistPoints = {{0.1, 20.0}, {1.0, -1.5}};
    return d;
}

const std::string kHandDocument =
    R"({"airfoil_points":[{"a_max":20.0,"a_min":-10.0,"a_step":0.5,"csv_separator":0,"data_type":5,)"
    R"("guess_reynolds":true,"max_passes":5,"ncrit":9,"path":"","preceeding_line":"","repeat":false,)"
    R"("rey_max":10000000.0,"rey_min":1000000.0,"x_rel":0.1}],)"
    R"("chord_points":[{"c_rel":0.08,"x_rel":0.1},{"c_rel":0.03,"x_rel":1.0}],)"
    R"("compute_settings":{"design_c_limit":0.15,"enable_interpolation":false,"enable_pitch":true,"p_max":8.0,)"
    R"("p_min":-2.0,"p_step":2.0,"ran_max":25.0,"ran_min":3.0,"ran_step":1.0,"range_type":0},)"
    R"("conditions":{"B":3,"Om":2.5,"R":25.0,"Rh":1.5,"V0":8.0,"cair":331.3,"mu":1.789e-05,"rho":1.225},)"
    R"("solver_settings":{"accuracy":1e-06,"max_iterations":300,"n_elements":40,"relaxation_factor":0.25,"solver":0},)"
    R"("twist_points":[{"twist_deg":20.0,"x_rel":0.1},{"twist_deg":-1.5,"x_rel":1.0}]})";

// The required parts of a document; tests add or replace members.
const std::string kConditions = R"("conditions":{"B":2,"Om":3.0,"R":10.0,"Rh":1.0,"V0":6.0})";
const std::string kSolver =
    R"("solver_settings":{"accuracy":1e-5,"max_iterations":100,"n_elements":20,"relaxation_factor":0.1,"solver":1})";
const std::string kCompute =
    R"("compute_settings":{"design_c_limit":0.2,"enable_interpolation":true,"enable_pitch":false,"p_max":20,)"
    R"("p_min":0,"p_step":5,"ran_max":14,"ran_min":0,"ran_step":0.5,"range_type":1})";
const std::string kAirfoil =
    R"({"a_max":20,"a_min":-10,"a_step":0.5,"csv_separator":0,"data_type":3,"guess_reynolds":true,)"
    R"("max_passes":5,"path":"","preceeding_line":"","repeat":false,"rey_max":1e7,"rey_min":1e6,"x_rel":0.2})";

std::string document(const std::string& extra = "") {
    return "{" + kConditions + "," + kSolver + "," + kCompute + (extra.empty() ? "" : "," + extra) + "}";
}

std::string readError(const std::string& doc, const std::string& path = "/projects/rotor.kvp") {
    return korvane::testing::errorOf([&] { kvp::read(doc, path); });
}

TEST(KvpFormat, WritesSortedKeysCompactlyWithShortestNumbers) {
    EXPECT_EQ(kvp::write(handProject(), "/projects/rotor.kvp"), kHandDocument);
}

TEST(KvpFormat, ReadsAHandWrittenDocumentInAnyKeyOrderAndLayout) {
    const std::string pretty = R"({
      "twist_points": [ { "x_rel": 0.1, "twist_deg": 20 }, { "x_rel": 1, "twist_deg": -1.5 } ],
      "solver_settings": { "solver": 0, "n_elements": 40, "max_iterations": 300,
                           "relaxation_factor": 0.25, "accuracy": 1e-6 },
      "conditions": { "rho": 1.225, "mu": 1.789e-5, "cair": 331.3, "V0": 8, "Rh": 1.5, "R": 25, "Om": 2.5, "B": 3 },
      "compute_settings": { "range_type": 0, "ran_step": 1, "ran_min": 3, "ran_max": 25, "p_step": 2,
                            "p_min": -2, "p_max": 8, "enable_pitch": true, "enable_interpolation": false,
                            "design_c_limit": 0.15 },
      "chord_points": [ { "x_rel": 0.1, "c_rel": 0.08 }, { "x_rel": 1.0, "c_rel": 0.03 } ],
      "airfoil_points": [ { "x_rel": 0.1, "repeat": false, "rey_min": 1e6, "rey_max": 1e7, "preceeding_line": "",
                            "path": "", "ncrit": 9, "max_passes": 5, "guess_reynolds": true, "data_type": 5,
                            "csv_separator": 0, "a_step": 0.5, "a_min": -10, "a_max": 20 } ]
    })";
    ProjectData expected = handProject();
    expected.conditions.L = 23.5;
    expected.conditions.TSR = 25.0 * 2.5 / 8.0;
    const ProjectData read = kvp::read(pretty, "/projects/rotor.kvp");
    EXPECT_TRUE(korvane::sameValues(read, expected));
    EXPECT_EQ(kvp::write(read, "/projects/rotor.kvp"), kHandDocument);
}

// Optional keys take their defaults, L and TSR follow, whole floats count as whole
// numbers, unknown keys are ignored, and missing or null arrays are empty lists.
TEST(KvpFormat, OptionalKeysTakeTheirDefaultsAndOtherKeysAreIgnored) {
    std::string doc = document("\"airfoil_points\":[" + kAirfoil + R"(],"comment":"made by hand","version":2)");
    doc.replace(doc.find("\"B\":2"), 5, "\"B\":3.0");
    const ProjectData d = kvp::read(doc, "/p/a.kvp");
    EXPECT_EQ(d.conditions.B, 3);
    EXPECT_EQ(d.conditions.rho, 1.225);
    EXPECT_EQ(d.conditions.mu, 1.789e-5);
    EXPECT_EQ(d.conditions.cair, 331.3);
    EXPECT_EQ(d.conditions.L, 9.0);
    EXPECT_DOUBLE_EQ(d.conditions.TSR, 10.0 * 3.0 / 6.0);
    ASSERT_EQ(d.airfoilPoints.size(), 1u);
    EXPECT_EQ(d.airfoilPoints[0].ncrit, 9);
    EXPECT_EQ(d.airfoilPoints[0].data_type, NACA0012);
    EXPECT_TRUE(d.chordPoints.empty());
    const ProjectData null =
        kvp::read(document(R"("airfoil_points":null,"chord_points":null,"twist_points":null)"), "/p/a.kvp");
    EXPECT_TRUE(null.twistPoints.empty());
    EXPECT_TRUE(null.airfoilPoints.empty());
}

TEST(KvpFormat, NotANumberIsWrittenAsNullAndRefusedOnReading) {
    ProjectData d = handProject();
    d.twistPoints[1].twist_deg = std::numeric_limits<double>::quiet_NaN();
    const std::string text = kvp::write(d, "/p/a.kvp");
    EXPECT_NE(text.find(R"({"twist_deg":null,"x_rel":1.0})"), std::string::npos);
    EXPECT_EQ(readError(text, "/p/a.kvp"), "The project file /p/a.kvp could not be read: \"twist_points[1].twist_deg\": "
                                           "the twist [deg] nan lies outside its range, -180 to 180.");
}

struct Malformed {
    const char* what;
    std::string doc;
    std::string message;  // after "The project file /projects/rotor.kvp could not be read: "
};

TEST(KvpFormat, EveryMalformedDocumentIsRefusedWithTheFileAndTheProblem) {
    const std::string noConditions = "{" + kSolver + "," + kCompute + "}";
    auto replaced = [](std::string doc, const std::string& from, const std::string& to) {
        doc.replace(doc.find(from), from.size(), to);
        return doc;
    };
    const Malformed cases[] = {
        {"not JSON", "conditions: R = 25", "it is not a valid JSON document (line 1, column 1)."},
        {"empty file", "", "it is not a valid JSON document (line 1, column 1)."},
        {"cut short", document().substr(0, 40), "it is not a valid JSON document (line 1, column 41)."},
        {"syntax on line 2", "{\n\"conditions\": {,}}", "it is not a valid JSON document (line 2, column 16)."},
        {"trailing text", document() + " x", "it is not a valid JSON document"},
        {"comment", "// rotor\n" + document(), "it is not a valid JSON document"},
        {"nested a million deep", std::string(1000000, '['),
         "its arrays and objects nest more than 64 levels deep; a project nests four."},
        {"array document", "[1,2]", "the document must be a JSON object, not an array."},
        {"missing object", noConditions, "\"conditions\" is missing."},
        {"null object", replaced(document(), kConditions, R"("conditions":null)"),
         "\"conditions\" must be an object, not null."},
        {"number for object", replaced(document(), kSolver, R"("solver_settings":5)"),
         "\"solver_settings\" must be an object, not a number."},
        {"missing key", replaced(document(), "\"Rh\":1.0,", ""), "\"conditions.Rh\" is missing."},
        {"string for number", replaced(document(), "\"R\":10.0", "\"R\":\"10\""),
         "\"conditions.R\" must be a number, not a string."},
        {"boolean for integer", replaced(document(), "\"B\":2", "\"B\":true"),
         "\"conditions.B\" must be a whole number, not true or false."},
        {"null for integer", replaced(document(), "\"n_elements\":20", "\"n_elements\":null"),
         "\"solver_settings.n_elements\" must be a whole number, not null."},
        {"fraction for integer", replaced(document(), "\"n_elements\":20", "\"n_elements\":20.7"),
         "\"solver_settings.n_elements\" must be a whole number, not 20.7."},
        {"key twice",
         document("\"airfoil_points\":[" + kAirfoil + "," + replaced(kAirfoil, "\"x_rel\"", "\"x_rel\":1,\"x_rel\"") +
                  "]"),
         "\"airfoil_points[1].x_rel\" is given twice; write each key once."},
        {"integer out of range", replaced(document(), "\"B\":2", "\"B\":3e12"),
         "\"conditions.B\" is out of range (3000000000000.0)."},
        {"number for boolean", replaced(document(), "\"enable_pitch\":false", "\"enable_pitch\":0"),
         "\"compute_settings.enable_pitch\" must be true or false, not a number."},
        {"unknown range type", replaced(document(), "\"range_type\":1", "\"range_type\":2"),
         "\"compute_settings.range_type\" must be a whole number from 0 to 1, not 2."},
        {"array of numbers", document(R"("twist_points":[1,2])"),
         "\"twist_points[0]\" must be an object, not a number."},
        {"object for array", document(R"("chord_points":{"x_rel":0})"),
         "\"chord_points\" must be an array, not an object."},
        {"missing point key", document(R"("chord_points":[{"x_rel":0,"c_rel":0.1},{"x_rel":1}])"),
         "\"chord_points[1].c_rel\" is missing."},
        {"number for string",
         document("\"airfoil_points\":[" + replaced(kAirfoil, "\"path\":\"\"", "\"path\":7") + "]"),
         "\"airfoil_points[0].path\" must be a string, not a number."},
        // Numbers beyond the range of double once escaped as the library's own exception.
        {"number beyond double", replaced(document(), "\"R\":10.0", "\"R\":1e400"),
         "the value of \"R\" '1e400' lies outside the range of numbers the program can hold."},
        {"400 digits", replaced(document(), "\"n_elements\":20", "\"n_elements\":" + std::string(400, '9')),
         "the value of \"n_elements\" '" + std::string(400, '9') +
             "' lies outside the range of numbers the program can hold."},
        // Every setting has a physical range; a value outside it is refused with the
        // key, the value and the range.
        {"accuracy", replaced(document(), "\"accuracy\":1e-5", "\"accuracy\":1e300"),
         "\"solver_settings.accuracy\": the accuracy 1e+300 lies outside its range, 1e-08 to 0.1."},
        {"relaxation", replaced(document(), "\"relaxation_factor\":0.1", "\"relaxation_factor\":0"),
         "\"solver_settings.relaxation_factor\": the relaxation factor 0 lies outside its range, 0.01 to 1."},
        {"elements", replaced(document(), "\"n_elements\":20", "\"n_elements\":2147483647"),
         "\"solver_settings.n_elements\": the number of blade elements 2147483647 lies outside its range, 1 to 10000."},
        {"negative chord", document(R"("chord_points":[{"x_rel":0.1,"c_rel":-0.1},{"x_rel":1,"c_rel":0.1}])"),
         "\"chord_points[0].c_rel\": the relative chord c/R -0.1 lies outside its range, greater than 0 and at most "
         "1."},
        {"null density", replaced(document(), "\"V0\":6.0", "\"V0\":6.0,\"rho\":null"),
         "\"conditions.rho\": the air density rho [kg/m^3] nan lies outside its range, 0.5 to 1.5."},
        {"airfoil position",
         document("\"airfoil_points\":[" + replaced(kAirfoil, "\"x_rel\":0.2", "\"x_rel\":1.5") + "]"),
         "\"airfoil_points[0].x_rel\": the relative position x/R 1.5 lies outside its range, 0 to 1."},
        {"blades", replaced(document(), "\"B\":2", "\"B\":101"),
         "\"conditions.B\": the number of blades B 101 lies outside its range, 1 to 100."},
        {"ncrit",
         document("\"airfoil_points\":[" + replaced(kAirfoil, "\"data_type\":3", "\"data_type\":3,\"ncrit\":90") + "]"),
         "\"airfoil_points[0].ncrit\": Ncrit 90 lies outside its range, 1 to 20."},
        {"sweep angle", document("\"airfoil_points\":[" + replaced(kAirfoil, "\"a_min\":-10", "\"a_min\":-1e20") + "]"),
         "\"airfoil_points[0].a_min\": the angle of attack [deg] -1e+20 lies outside its range, -180 to 180."},
        // Counts that would exhaust memory or run for ever.
        {"characteristic steps", replaced(document(), "\"ran_step\":0.5", "\"ran_step\":0.01"),
         "\"compute_settings\": the characteristics range asks for 1401 positions, more than 500."},
        {"pitch positions",
         replaced(replaced(document(), "\"enable_pitch\":false", "\"enable_pitch\":true"), "\"p_step\":5",
                  "\"p_step\":0.001"),
         "\"compute_settings\": the pitch range asks for 20001 positions, more than 1001."},
        {"unknown airfoil type",
         document("\"airfoil_points\":[" + replaced(kAirfoil, "\"data_type\":3", "\"data_type\":9") + "]"),
         "\"airfoil_points[0].data_type\" must be a whole number from 0 to 8, not 9."},
        {"unknown extension",
         document("\"airfoil_points\":[" + replaced(kAirfoil, "{", R"({"extension":"flat",)") + "]"),
         "\"airfoil_points[0].extension\" must be \"naca\" or \"viterna\", not \"flat\"."},
        {"negative cd_max", document("\"airfoil_points\":[" + replaced(kAirfoil, "{", R"({"cd_max":-1,)") + "]"),
         "\"airfoil_points[0].cd_max\" must be a positive number."},
        {"precone", document(R"("rotor":{"precone":25})"),
         "\"rotor.precone\": the precone [deg] 25 lies outside its range, -20 to 20."},
        {"yaw", document(R"("rotor":{"yaw":null})"),
         "\"rotor.yaw\": the yaw misalignment [deg] nan lies outside its range, -90 to 90."},
        {"no sectors", document(R"("rotor":{"sectors":0})"),
         "\"rotor.sectors\": the number of azimuth sectors 0 lies outside its range, 1 to 360."},
        {"sectors in words", document(R"("rotor":{"sectors":"many"})"),
         "\"rotor.sectors\" must be \"auto\" or a whole number, not \"many\"."},
        {"unknown skew", document(R"("rotor":{"skew_correction":"glauert"})"),
         "\"rotor.skew_correction\" must be \"none\" or \"pitt_peters\", not \"glauert\"."},
        {"shear without hub height", document(R"("rotor":{"shear_exponent":0.2,"hub_height":9})"),
         "\"rotor.hub_height\": a wind shear exponent of 0.2 needs a hub height greater than the rotor radius R "
         "(10 m), not 9 m."},
        {"prebend", document(R"("prebend_points":[{"x_rel":0.5,"value":200}])"),
         "\"prebend_points[0].value\": the prebend [m] 200 lies outside its range, -100 to 100."},
        {"number for switch", replaced(document(), "\"solver\":1", "\"solver\":1,\"tip_loss\":0"),
         "\"solver_settings.tip_loss\" must be true or false, not a number."},
    };
    const std::string prefix = "The project file /projects/rotor.kvp could not be read: ";
    for (const Malformed& c : cases) {
        const std::string message = readError(c.doc);
        EXPECT_EQ(message.rfind(prefix + c.message, 0), 0u) << c.what << ": " << message;
        // A value outside its limit alone (a file of an earlier version): the desktop
        // program reads the file, keeps the value and names it.
        std::vector<std::string> outside;
        if (!korvane::testing::errorOf([&] { korvane::kvp::read(c.doc, "/projects/rotor.kvp", &outside); }).empty())
            continue;
        ASSERT_EQ(outside.size(), 1u) << c.what;
        EXPECT_EQ(outside.front(), c.message) << c.what;
    }
    std::vector<std::string> outside;
    EXPECT_EQ(korvane::kvp::read(replaced(document(), "\"accuracy\":1e-5", "\"accuracy\":1"), "", &outside)
                  .solverSettings.accuracy,
              1.0);
    EXPECT_EQ(readError("{", ""), "The project could not be read: it is not a valid JSON document (line 1, column 2).");
}

TEST(KvpPaths, AFileBesideTheProjectIsStoredAsDotDotAndName) {
    EXPECT_EQ(kvp::storedPath("/work/rotor/polar.csv", "/work/rotor/rotor.kvp"), "../polar.csv");
    EXPECT_EQ(kvp::storedPath("/work/rotor/data/polar.csv", "/work/rotor/rotor.kvp"), "../data/polar.csv");
    EXPECT_EQ(kvp::storedPath("/elsewhere/polar.csv", "/work/rotor/rotor.kvp"), "../../../elsewhere/polar.csv");
    EXPECT_EQ(kvp::storedPath("", "/work/rotor/rotor.kvp"), "");
}

TEST(KvpPaths, StoredPathsWithEitherSeparatorResolveAgainstTheProjectFile) {
    EXPECT_EQ(kvp::resolvedPath("../data/polar.csv", "/work/rotor/rotor.kvp"), "/work/rotor/data/polar.csv");
    EXPECT_EQ(kvp::resolvedPath("..\\data\\polar.csv", "/work/rotor/rotor.kvp"), "/work/rotor/data/polar.csv");
    EXPECT_EQ(kvp::resolvedPath("../data/./../polar.csv", "/work/rotor/rotor.kvp"), "/work/rotor/polar.csv");
    EXPECT_EQ(kvp::resolvedPath("/abs/polar.csv", "/work/rotor/rotor.kvp"), "/abs/polar.csv");
    EXPECT_EQ(kvp::resolvedPath("", "/work/rotor/rotor.kvp"), "");
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        EXPECT_EQ(kvp::resolvedPath("~/polar.csv", "/work/rotor/rotor.kvp"),
                  (std::filesystem::path(home) / "polar.csv").lexically_normal().string());
    }
}

TEST(KvpPaths, NonAsciiPathsRoundTripUnescaped) {
    ProjectData d = handProject();
    d.airfoilPoints[0].data_type = CSVData;
    d.airfoilPoints[0].path = "/work/Rotorblätter/Profil ø 21 %/polár.csv";
    d.airfoilPoints[0].preceeding_line = "Anstellwinkel α";
    const std::string text = kvp::write(d, "/work/Rotorblätter/entwurf.kvp");
    EXPECT_NE(text.find(R"("path":"../Profil ø 21 %/polár.csv")"), std::string::npos);
    EXPECT_NE(text.find(R"("preceeding_line":"Anstellwinkel α")"), std::string::npos);
    const ProjectData back = kvp::read(text, "/work/Rotorblätter/entwurf.kvp");
    EXPECT_EQ(back.airfoilPoints[0].path, d.airfoilPoints[0].path);
    EXPECT_EQ(back.airfoilPoints[0].preceeding_line, d.airfoilPoints[0].preceeding_line);
}

}  // namespace

namespace {

TEST(KvpExchange, ExtensionCdMaxAndNotesAreStoredOnlyWhenUsed) {
    ProjectData d = handProject();
    d.airfoilPoints.front().data_type = AeroDynTable;
    const std::string plain = kvp::write(d, "/projects/rotor.kvp");
    EXPECT_EQ(plain.find("extension"), std::string::npos);
    EXPECT_EQ(plain.find("notes"), std::string::npos);

    d.airfoilPoints.front().extension = ExtensionViterna;
    d.notes = "PreCone = -2.5 deg is not modelled.";
    std::string text = kvp::write(d, "/projects/rotor.kvp");
    EXPECT_NE(text.find(R"("extension":"viterna")"), std::string::npos);
    EXPECT_EQ(text.find("cd_max"), std::string::npos);  // 0: from the blade
    ProjectData back = kvp::read(text, "/projects/rotor.kvp");
    EXPECT_TRUE(korvane::sameValues(back.airfoilPoints, d.airfoilPoints));
    EXPECT_EQ(back.notes, d.notes);
    EXPECT_EQ(back.airfoilPoints.front().data_type, AeroDynTable);

    d.airfoilPoints.front().cd_max = 1.5;
    text = kvp::write(d, "/projects/rotor.kvp");
    EXPECT_NE(text.find(R"("cd_max":1.5)"), std::string::npos);
    EXPECT_EQ(kvp::read(text, "/projects/rotor.kvp").airfoilPoints.front().cd_max, 1.5);
}

// Every rotor key, the prebend points and the switches that are off are written in byte
// order and read back; the plain rotor is written without them.
TEST(KvpRotor, EveryKeyIsWrittenInByteOrderAndReadBack) {
    const std::string rotor =
        R"("prebend_points":[{"value":0.0,"x_rel":0.2},{"value":-1.5,"x_rel":1.0}],)"
        R"("rotor":{"hub_height":90.0,"precone":2.5,"sectors":12,"shear_exponent":0.14,"skew_correction":"pitt_peters",)"
        R"("tilt":5.0,"yaw":-10.0})";
    std::string doc = document(rotor);
    doc.replace(doc.find("\"solver\":1"), 10, "\"solver\":1,\"hub_loss\":false,\"tip_loss\":true");
    const ProjectData d = kvp::read(doc, "/p/rotor.kvp");
    EXPECT_EQ(d.rotor.precone, 2.5);
    EXPECT_EQ(d.rotor.sectors, 12);
    EXPECT_EQ(d.rotor.skew, bemt::SkewCorrection::PittPeters);
    EXPECT_EQ(d.prebendPoints.back().value, -1.5);
    EXPECT_FALSE(d.solverSettings.hub_loss);
    EXPECT_TRUE(d.solverSettings.tip_loss && d.solverSettings.wake_rotation && d.solverSettings.drag_in_induction);
    const std::string text = kvp::write(d, "/p/rotor.kvp");
    EXPECT_NE(text.find(rotor), std::string::npos) << text;
    EXPECT_NE(text.find(R"("hub_loss":false,"max_iterations")"), std::string::npos) << text;
    EXPECT_EQ(text.find("tip_loss"), std::string::npos);
    EXPECT_EQ(kvp::write(kvp::read(text, "/p/rotor.kvp"), "/p/rotor.kvp"), text);

    const ProjectData stated = kvp::read(document(R"("rotor":{"sectors":"auto","precone":0})"), "/p/rotor.kvp");
    EXPECT_EQ(stated.rotor.sectorCount(), 1);
    EXPECT_EQ(kvp::write(stated, "/p/rotor.kvp").find("\"rotor\":"), std::string::npos);
}

const std::string kTurbine =
    R"("turbine":{"availability":0.97,"control":"fixed_speed_variable_pitch","cut_in":3.5,"cut_out":20.0,)"
    R"("efficiency":0.944,"fine_pitch":-1.0,"max_pitch":30.0,"rated_power":5000000.0,"rpm_max":12.1,"rpm_min":6.9,)"
    R"("tsr_target":7.5,"wind_climates":[{"A":9.0,"k":2.2,"name":"North Sea"},{"A":6.5,"k":1.8,"name":"Inland"}],)"
    R"("wind_max":30.0,"wind_min":2.0,"wind_step":1.0})";

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

const std::string kOptimisation =
    R"("optimisation":{"budget":500,"chord_max":0.2,"chord_min":0.01,"climate":"Inland","control_points":6,)"
    R"("free_root_chord":true,"max_chord":4.5,"max_root_moment":25000000.0,"max_thrust_ratio":0.9,"method":"cobyla",)"
    R"("monotonic_chord":false,)"
    R"("monotonic_twist":true,"objective":"aep","start":"designed","tolerance":1e-05,"twist_max":30.0,"twist_min":-5.0,)"
    R"("vary":["twist","tsr"]})";

// Written only when stated, every key in byte order, limits only when given.
TEST(KvpOptimisation, StatedSettingsRoundTripAndAbsentOnesAreNotWritten) {
    EXPECT_EQ(kvp::write(kvp::read(document(kTurbine), "/p"), "/p").find("optimisation"), std::string::npos);
    const ProjectData d = kvp::read(document(kTurbine + "," + kOptimisation), "/p/rotor.kvp");
    ASSERT_TRUE(d.optimisation.has_value());
    const korvane::OptimisationSettings& o = *d.optimisation;
    EXPECT_TRUE(!o.vary_chord && o.vary_twist && o.vary_tsr && o.free_root_chord && !o.monotonic_chord &&
                o.start_designed);
    EXPECT_EQ(o.method, korvane::OptimisationMethod::Cobyla);
    EXPECT_TRUE(std::isnan(o.max_thrust));
    EXPECT_EQ(o.max_root_moment, 2.5e7);
    const std::string written = kvp::write(d, "/p/rotor.kvp");
    EXPECT_NE(written.find(kOptimisation + ",\"solver_settings\""), std::string::npos) << written;
    EXPECT_TRUE(korvane::sameValues(kvp::read(written, "/p/rotor.kvp"), d));
    EXPECT_TRUE(korvane::sameValues(kvp::read(document(R"("optimisation":{})"), "/p").optimisation,
                                    korvane::OptimisationSettings{}));
}

// The stall delay object: written in key order and read back, absent or null when off
// (and then never written), its keys defaulting one by one.
TEST(KvpStallDelay, RoundTripAndDefaults) {
    const std::string stated = R"("stall_delay":{"drag":"none","fade_end":40.0,"fade_start":20.0,"fit_max":4.0,)"
                               R"("fit_min":-4.0,"lift":"snel","max_delta_cl":0.3,"x_max":0.6})";
    const ProjectData d = kvp::read(document(stated), "/p/rotor.kvp");
    ASSERT_TRUE(d.stall_delay.has_value());
    EXPECT_EQ(*d.stall_delay, (bemt::StallDelaySettings{bemt::StallLift::Snel, bemt::StallDrag::None, -4.0, 4.0,
                                                         20.0, 40.0, 0.3, 0.6}));
    EXPECT_NE(kvp::write(d, "/p/rotor.kvp").find("," + stated + ","), std::string::npos);
    for (const std::string& absent : {std::string(), std::string(R"("stall_delay":null)")}) {
        const ProjectData off = kvp::read(document(absent), "/p/rotor.kvp");
        EXPECT_FALSE(off.stall_delay.has_value());
        EXPECT_EQ(kvp::write(off, "/p/rotor.kvp").find("stall_delay"), std::string::npos);
    }
    const ProjectData defaults = kvp::read(document(R"("stall_delay":{"x_max":null})"), "/p/rotor.kvp");
    EXPECT_EQ(defaults.stall_delay, bemt::StallDelaySettings{});
}

// The optional objects: every bad value of the turbine, the optimisation and the stall
// delay is refused with its key, the value and the range.
TEST(KvpOptionalObjects, EveryBadValueIsRefusedWithItsKey) {
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
        {R"("turbine":{"tsr_target":101})", R"("turbine.tsr_target" must be at most 100, not 101.)"},
        {R"("turbine":{"rpm_min":10,"rpm_max":10001})", R"("turbine.rpm_max" must be at most 10000, not 10001.)"},
        {R"("turbine":{"fine_pitch":-90})", R"("turbine.fine_pitch" must be from -5 to 90, not -90.)"},
        {R"("turbine":{"max_pitch":95})", R"("turbine.max_pitch" must be from -5 to 90, not 95.)"},
        {R"("turbine":{"fine_pitch":5,"max_pitch":4})",
         R"("turbine.max_pitch" must not be below fine_pitch (5), not 4.)"},
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
        {R"("turbine":{"wind_climates":[{"k":2,"A":-7}]})",
         R"("turbine.wind_climates[0].A" must be greater than 0, not -7.)"},
        {R"("turbine":{"wind_climates":[{"k":2,"A":7,"name":4}]})",
         R"("turbine.wind_climates[0].name" must be a string, not a number.)"},
        {R"("turbine":{"availability":1.5})", R"("turbine.availability" must be from 0 to 1, not 1.5.)"},
        {R"("turbine":{"availability":-0.1})", R"("turbine.availability" must be from 0 to 1, not -0.1.)"},
        {R"("optimisation":3)", R"("optimisation" must be an object, not a number.)"},
        {R"("optimisation":{"objective":"power"})", R"("optimisation.objective" must be "aep" or "cp", not "power".)"},
        {R"("optimisation":{"method":"bfgs"})",
         R"("optimisation.method" must be "auto", "slsqp" or "cobyla", not "bfgs".)"},
        {R"("optimisation":{"vary":["span"]})",
         R"("optimisation.vary[0]" must be "chord", "twist" or "tsr", not "span".)"},
        {R"("optimisation":{"vary":[1]})", R"("optimisation.vary[0]" must be "chord", "twist" or "tsr", not a number.)"},
        {R"("optimisation":{"vary":[]})", R"("optimisation.vary": name at least one of chord, twist and tsr.)"},
        {R"("optimisation":{"climate":"Arctic"})",
         R"("optimisation.climate" names no wind climate of the turbine: "Arctic".)"},
        {R"("optimisation":{"control_points":1})",
         R"("optimisation.control_points": the number of control points 1 lies outside its range, 2 to 50.)"},
        {R"("optimisation":{"budget":0})",
         R"("optimisation.budget": the evaluation budget 0 lies outside its range, 1 to 1000000.)"},
        {R"("optimisation":{"chord_min":0.3})",
         R"("optimisation.chord_min": the lower chord bound 0.3 must be below the upper, 0.25.)"},
        {R"("optimisation":{"twist_min":50})",
         R"("optimisation.twist_min": the lower twist bound 50 must be below the upper, 40.)"},
        {R"("optimisation":{"max_chord":-1})",
         R"("optimisation.max_chord": the largest chord [m] -1 lies outside its range, greater than 0 and at most 100.)"},
        {R"("optimisation":{"max_root_moment":0})",
         R"("optimisation.max_root_moment": the largest root bending moment [N m] 0 must be above 0.)"},
        {R"("optimisation":{"max_thrust":1e6,"max_thrust_ratio":0.9})",
         R"("optimisation.max_thrust": give one thrust limit, max_thrust or max_thrust_ratio, not both.)"},
        {R"("optimisation":{"start":"ideal"})", R"("optimisation.start" must be "project" or "designed", not "ideal".)"},
        {R"("optimisation":{"free_root_chord":1})", R"("optimisation.free_root_chord" must be true or false, not a number.)"},
        {R"("optimisation":{"tolerance":null})",
         R"("optimisation.tolerance": the optimisation tolerance nan lies outside its range, 1e-12 to 0.1.)"},
        {R"("stall_delay":3)", R"("stall_delay" must be an object, not a number.)"},
        {R"("stall_delay":{"lift":"du-selig"})",
         R"("stall_delay.lift" must be "none", "du_selig" or "snel", not "du-selig".)"},
        {R"("stall_delay":{"drag":"viterna"})", R"("stall_delay.drag" must be "none" or "eggers", not "viterna".)"},
        {R"("stall_delay":{"fit_min":null})",
         R"("stall_delay.fit_min": the fit angle of the lift line [deg] nan lies outside its range, -30 to 30.)"},
        {R"("stall_delay":{"fit_min":5,"fit_max":5})",
         R"("stall_delay.fit_max": the fit window must end above its start: fit_min 5, fit_max 5.)"},
        {R"("stall_delay":{"fade_end":"45"})", R"("stall_delay.fade_end" must be a number, not a string.)"},
        {R"("stall_delay":{"x_max":1.5})",
         R"("stall_delay.x_max": the outer limit x/R of the correction 1.5 lies outside its range, greater than 0 )"
         R"(and at most 1.)"},
    };
    for (const auto& [object, message] : cases) EXPECT_EQ(readError(document(object)), file + message) << object;
}

}  // namespace
