#include "project/kvp_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>

#include "bemt/BEMTTools.h"
#include "bemt/RotorGeometry.h"
#include "bemt/Error.h"
#include "bemt/TextFile.h"
#include "bemt/ValueLimits.h"
#include "project/file_writer.h"
#include "project/json_places.h"
#include "project/kvp_reader.h"
#include "project/kvp_sections.h"

namespace korvane::kvp {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace bemt;

namespace {

fs::path fromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The project file's full path taken as a folder, absolute and resolved as the system
// resolves it, links included, also a link to a project not yet written (as the file
// writer follows it): a project written through a linked folder or a linked file then
// finds its airfoil files by its real path as well as by the link's.
fs::path baseFolder(const std::string& projectPath) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(fs::absolute(writtenFile(projectPath)), error);
    return error ? physicalPath(fromUtf8(projectPath)) : real;
}

// ---- writing ----

json conditionsObject(const OperatingConditions& c) {
    json o = json::object();
    o["B"] = c.B;
    o["Om"] = c.Om;
    o["R"] = c.R;
    o["Rh"] = c.Rh;
    o["V0"] = c.V0;
    o["cair"] = c.cair;
    o["mu"] = c.mu;
    o["rho"] = c.rho;
    return o;
}

json solverObject(const SolverSettings& s, Defaults defaults) {
    json o = json::object();
    o["accuracy"] = s.accuracy;
    o["max_iterations"] = s.max_iterations;
    o["n_elements"] = s.n_elements;
    o["relaxation_factor"] = s.relaxation_factor;
    o["solver"] = static_cast<std::int32_t>(s.solver);
    // The model switches are written only when off, so that files without them stay as they were.
    for (const auto& [key, on] : {std::pair{"drag_in_induction", s.drag_in_induction}, {"hub_loss", s.hub_loss},
                                  {"tip_loss", s.tip_loss}, {"wake_rotation", s.wake_rotation}})
        if (!on || defaults == Defaults::Stated) o[key] = on;
    return o;
}

json computeObject(const ComputeSettings& s) {
    json o = json::object();
    o["design_c_limit"] = s.design_c_limit;
    o["enable_interpolation"] = s.enable_interpolation;
    o["enable_pitch"] = s.enable_pitch;
    o["p_max"] = s.p_max;
    o["p_min"] = s.p_min;
    o["p_step"] = s.p_step;
    o["ran_max"] = s.ran_max;
    o["ran_min"] = s.ran_min;
    o["ran_step"] = s.ran_step;
    o["range_type"] = static_cast<std::int32_t>(s.range_type);
    return o;
}

json airfoilObject(const AirfoilPoint& p, const std::string& projectPath) {
    json o = json::object();
    o["a_max"] = p.a_max;
    o["a_min"] = p.a_min;
    o["a_step"] = p.a_step;
    o["csv_separator"] = static_cast<std::int32_t>(p.csv_separator);
    o["data_type"] = static_cast<std::int32_t>(p.data_type);
    o["guess_reynolds"] = p.guess_reynolds;
    o["max_passes"] = p.max_passes;
    o["ncrit"] = p.ncrit;
    o["path"] = storedPath(p.path, projectPath);
    o["preceeding_line"] = p.preceeding_line;
    o["repeat"] = p.repeat;
    o["rey_max"] = p.rey_max;
    o["rey_min"] = p.rey_min;
    o["x_rel"] = p.x_rel;
    // Written only when used, so that files without them stay as they were.
    if (p.extension == ExtensionViterna) {
        o["extension"] = "viterna";
        if (p.cd_max > 0.0) o["cd_max"] = p.cd_max;
    }
    return o;
}

// ---- reading ----

OperatingConditions readConditions(const Reader& r, const json& root) {
    const std::string where = "conditions";
    const json& o = r.object(r.member(root, "", "conditions"), where);
    OperatingConditions c;
    c.B = r.integer(o, where, "B", Limits::B);
    c.Om = r.number(o, where, "Om", Limits::Om);
    c.R = r.number(o, where, "R", Limits::R);
    c.Rh = r.number(o, where, "Rh", Limits::Rh);
    c.V0 = r.number(o, where, "V0", Limits::V0);
    r.optionalNumber(o, where, "cair", c.cair);
    r.optionalNumber(o, where, "mu", c.mu);
    r.optionalNumber(o, where, "rho", c.rho);
    r.within(c.cair, where, "cair", Limits::cair);
    r.within(c.mu, where, "mu", Limits::mu);
    r.within(c.rho, where, "rho", Limits::rho);
    c.L = c.R - c.Rh;
    c.TSR = tipSpeedRatioOf(c);
    return c;
}

SolverSettings readSolverSettings(const Reader& r, const json& root) {
    const std::string where = "solver_settings";
    const json& o = r.object(r.member(root, "", "solver_settings"), where);
    SolverSettings s;
    s.accuracy = r.number(o, where, "accuracy", Limits::accuracy);
    s.max_iterations = r.integer(o, where, "max_iterations", Limits::maxIterations);
    s.n_elements = r.integer(o, where, "n_elements", Limits::elements);
    s.relaxation_factor = r.number(o, where, "relaxation_factor", Limits::relaxation);
    // Any solver number other than 0 and 1 selects the fixed-point solver.
    s.solver = static_cast<SolverType>(r.integer(o, where, "solver"));
    r.optionalBoolean(o, where, "drag_in_induction", s.drag_in_induction);
    r.optionalBoolean(o, where, "hub_loss", s.hub_loss);
    r.optionalBoolean(o, where, "tip_loss", s.tip_loss);
    r.optionalBoolean(o, where, "wake_rotation", s.wake_rotation);
    return s;
}

ComputeSettings readComputeSettings(const Reader& r, const json& root) {
    const std::string where = "compute_settings";
    const json& o = r.object(r.member(root, "", "compute_settings"), where);
    ComputeSettings s;
    s.design_c_limit = r.number(o, where, "design_c_limit", Limits::chordLimit);
    s.enable_interpolation = r.boolean(o, where, "enable_interpolation");
    s.enable_pitch = r.boolean(o, where, "enable_pitch");
    s.p_max = r.number(o, where, "p_max", Limits::pitchAngle);
    s.p_min = r.number(o, where, "p_min", Limits::pitchAngle);
    s.p_step = r.number(o, where, "p_step", Limits::pitchStep);
    s.ran_max = r.number(o, where, "ran_max", Limits::rangeValue);
    s.ran_min = r.number(o, where, "ran_min", Limits::rangeValue);
    s.ran_step = r.number(o, where, "ran_step", Limits::rangeStep);
    s.range_type = static_cast<ComputeRangeType>(r.choice(o, where, "range_type", tipSpeedRatio));
    if (const auto refusal = BEMTTools::characteristicsRange(s).sizeRefusal("the characteristics range",
                                                                            Limits::kMaxCharacteristicSteps))
        r.refuseLimit(Reader::quoted(where) + ": " + *refusal);
    if (s.enable_pitch) {
        if (const auto refusal = BEMTTools::pitchRange(s).sizeRefusal("the pitch range", Limits::kMaxPitchPositions))
            r.refuseLimit(Reader::quoted(where) + ": " + *refusal);
    }
    return s;
}

AirfoilPoint readAirfoilPoint(const Reader& r, const json& value, const std::string& where,
                              const std::string& projectPath) {
    const json& o = r.object(value, where);
    AirfoilPoint p;
    p.a_max = r.number(o, where, "a_max", Limits::xfoilAngle);
    p.a_min = r.number(o, where, "a_min", Limits::xfoilAngle);
    p.a_step = r.number(o, where, "a_step", Limits::xfoilAngleStep);
    // Any separator other than 0 means white space.
    p.csv_separator = static_cast<CSVSeparator>(r.integer(o, where, "csv_separator"));
    p.data_type = static_cast<AirfoilType>(r.choice(o, where, "data_type", XfoilPolarFile));
    p.guess_reynolds = r.boolean(o, where, "guess_reynolds");
    p.max_passes = r.integer(o, where, "max_passes", Limits::xfoilPasses);
    r.optionalInteger(o, where, "ncrit", p.ncrit);
    r.within(p.ncrit, where, "ncrit", Limits::ncrit);
    p.path = resolvedPath(r.text(o, where, "path"), projectPath);
    p.preceeding_line = r.text(o, where, "preceeding_line");
    p.repeat = r.boolean(o, where, "repeat");
    p.rey_max = r.number(o, where, "rey_max", Limits::reynolds);
    p.rey_min = r.number(o, where, "rey_min", Limits::reynolds);
    p.x_rel = r.number(o, where, "x_rel", Limits::position);
    if (o.contains("extension")) {
        const std::string extension = r.text(o, where, "extension");
        if (extension == "viterna") {
            p.extension = ExtensionViterna;
        } else if (extension != "naca") {
            r.fail("\"" + Reader::path(where, "extension") + "\" must be \"naca\" or \"viterna\", not \"" + extension +
                   "\".");
        }
    }
    r.optionalNumber(o, where, "cd_max", p.cd_max);
    if (!(p.cd_max >= 0.0))
        r.fail("\"" + Reader::path(where, "cd_max") + "\" must be a positive number.");
    return p;
}

template <typename Point, typename ReadOne>
std::vector<Point> readArray(const Reader& r, const json& root, const char* key, ReadOne readOne) {
    std::vector<Point> points;
    const json* array = r.optionalArray(root, key);
    if (array == nullptr) return points;
    points.reserve(array->size());
    for (std::size_t i = 0; i < array->size(); ++i) {
        points.push_back(readOne((*array)[i], std::string(key) + "[" + std::to_string(i) + "]"));
    }
    return points;
}

}  // namespace

std::string write(const ProjectData& data, const std::string& projectPath, Defaults defaults) {
    json root = json::object();
    root["conditions"] = conditionsObject(data.conditions);
    root["solver_settings"] = solverObject(data.solverSettings, defaults);
    root["compute_settings"] = computeObject(data.computeSettings);

    json airfoils = json::array();
    for (const AirfoilPoint& p : data.airfoilPoints) airfoils.push_back(airfoilObject(p, projectPath));
    root["airfoil_points"] = std::move(airfoils);

    json chord = json::array();
    for (const ChordPoint& p : data.chordPoints) chord.push_back({{"c_rel", p.c_rel}, {"x_rel", p.x_rel}});
    root["chord_points"] = std::move(chord);

    json twist = json::array();
    for (const TwistPoint& p : data.twistPoints) twist.push_back({{"twist_deg", p.twist_deg}, {"x_rel", p.x_rel}});
    root["twist_points"] = std::move(twist);
    if (data.turbine) root["turbine"] = turbineObject(*data.turbine);
    if (data.optimisation) root["optimisation"] = optimisationObject(*data.optimisation);
    if (!Rotor::isDefault(data.rotor) || defaults == Defaults::Stated) root["rotor"] = rotorObject(data.rotor);
    if (!data.prebendPoints.empty()) {
        json prebend = json::array();
        for (const PrebendPoint& p : data.prebendPoints) prebend.push_back({{"value", p.value}, {"x_rel", p.x_rel}});
        root["prebend_points"] = std::move(prebend);
    }
    if (!data.notes.empty()) root["notes"] = data.notes;
    if (data.stall_delay) root["stall_delay"] = stallDelayObject(*data.stall_delay);

    try {
        return root.dump();
    } catch (const json::type_error&) {
        throw bemt::Error(
            "The project could not be written: an airfoil file path or header text is not valid UTF-8 text.");
    }
}

namespace {

ProjectData readDocument(const Reader& r, const std::string& document, const std::string& projectPath) {
    const json parsed = r.parse(document);
    if (!parsed.is_object()) r.fail("the document must be a JSON object, not " + kindOf(parsed) + ".");

    ProjectData data;
    data.conditions = readConditions(r, parsed);
    data.solverSettings = readSolverSettings(r, parsed);
    data.computeSettings = readComputeSettings(r, parsed);
    data.airfoilPoints = readArray<AirfoilPoint>(r, parsed, "airfoil_points", [&](const json& v, const std::string& w) {
        return readAirfoilPoint(r, v, w, projectPath);
    });
    data.chordPoints = readArray<ChordPoint>(r, parsed, "chord_points", [&](const json& v, const std::string& w) {
        const json& o = r.object(v, w);
        return ChordPoint{r.number(o, w, "x_rel", Limits::position), r.number(o, w, "c_rel", Limits::relativeChord)};
    });
    data.twistPoints = readArray<TwistPoint>(r, parsed, "twist_points", [&](const json& v, const std::string& w) {
        const json& o = r.object(v, w);
        return TwistPoint{r.number(o, w, "x_rel", Limits::position), r.number(o, w, "twist_deg", Limits::twist)};
    });
    data.turbine = readTurbine(r, parsed, data.conditions);
    data.optimisation = readOptimisation(r, parsed, turbineSettings(data));
    data.rotor = readRotor(r, parsed, data.conditions.R);
    data.prebendPoints = readArray<PrebendPoint>(r, parsed, "prebend_points", [&](const json& v, const std::string& w) {
        const json& o = r.object(v, w);
        return PrebendPoint{r.number(o, w, "x_rel", Limits::position), r.number(o, w, "value", Limits::prebend)};
    });
    if (parsed.contains("notes")) data.notes = r.text(parsed, "", "notes");
    data.stall_delay = readStallDelay(r, parsed);
    return data;
}

}  // namespace

ProjectData read(const std::string& document, const std::string& projectPath, std::vector<std::string>* outOfLimits) {
    return readDocument(Reader(projectPath, outOfLimits), document, projectPath);
}

std::optional<std::string> openingProblem(const std::string& document, const std::string& projectPath) {
    try {
        readDocument(Reader(projectPath, ""), document, projectPath);
    } catch (const bemt::Error& error) {
        return error.message();
    }
    return std::nullopt;
}

std::string storedPath(const std::string& absolutePath, const std::string& projectPath) {
    if (absolutePath.empty()) return absolutePath;
    const fs::path file = physicalPath(fromUtf8(absolutePath));
    fs::path relative = file.lexically_relative(baseFolder(projectPath));
    // No relative form exists across drives; the absolute path is kept then.
    if (relative.empty()) relative = file;
    return toUtf8(relative.make_preferred());
}

std::string resolvedPath(const std::string& stored, const std::string& projectPath) {
    if (stored.empty()) return stored;
    std::string native = stored;
    for (char& c : native) {
        if (c == '/' || c == '\\') c = static_cast<char>(fs::path::preferred_separator);
    }
    fs::path path = fromUtf8(native);
    if (native[0] == '~' && (native.size() == 1 || native[1] == static_cast<char>(fs::path::preferred_separator))) {
        const char* home = std::getenv("HOME");
        if (home != nullptr && *home != '\0') path = fromUtf8(std::string(home) + native.substr(1));
    }
    if (path.is_relative()) path = baseFolder(projectPath) / path;
    return toUtf8(path.lexically_normal());
}

}  // namespace korvane::kvp
