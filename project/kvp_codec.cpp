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

json rotorObject(const RotorGeometry& g) {
    json o = json::object();
    o["hub_height"] = g.hub_height;
    o["precone"] = g.precone;
    o["sectors"] = g.sectors == RotorGeometry::kAutoSectors ? json("auto") : json(g.sectors);
    o["shear_exponent"] = g.shear_exponent;
    o["skew_correction"] = Rotor::skewName(g.skew);
    o["tilt"] = g.tilt;
    o["yaw"] = g.yaw;
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

json turbineObject(const TurbineSettings& t) {
    json o = json::object();
    o["availability"] = t.availability;
    o["control"] = Turbine::controlName(t.control);
    o["cut_in"] = t.cut_in;
    o["cut_out"] = t.cut_out;
    o["efficiency"] = t.efficiency;
    o["fine_pitch"] = t.fine_pitch;
    o["max_pitch"] = t.max_pitch;
    o["rated_power"] = t.rated_power;
    o["rpm_max"] = t.rpm_max;
    o["rpm_min"] = t.rpm_min;
    // null: the tip speed ratio of maximal power coefficient.
    o["tsr_target"] = t.automaticTsr() ? json(nullptr) : json(t.tsr_target);
    json climates = json::array();
    for (const WindClimate& c : t.wind_climates) climates.push_back({{"A", c.A}, {"k", c.k}, {"name", c.name}});
    o["wind_climates"] = std::move(climates);
    o["wind_max"] = t.wind_max;
    o["wind_min"] = t.wind_min;
    o["wind_step"] = t.wind_step;
    return o;
}

// Only the limits that are stated, and the climate when one is named.
json optimisationObject(const OptimisationSettings& s) {
    json o = json::object();
    o["budget"] = s.budget;
    o["chord_max"] = s.chord_max;
    o["chord_min"] = s.chord_min;
    if (!s.climate.empty()) o["climate"] = s.climate;
    o["control_points"] = s.control_points;
    o["free_root_chord"] = s.free_root_chord;
    for (const auto& [key, value] :
         {std::pair{"max_chord", s.max_chord}, std::pair{"max_root_moment", s.max_root_moment},
          std::pair{"max_thrust", s.max_thrust}, std::pair{"max_thrust_ratio", s.max_thrust_ratio}})
        if (!std::isnan(value)) o[key] = value;
    o["method"] = Optimisation::methodName(s.method);
    o["monotonic_chord"] = s.monotonic_chord;
    o["monotonic_twist"] = s.monotonic_twist;
    o["objective"] = Optimisation::objectiveName(s.objective);
    o["start"] = s.start_designed ? "designed" : "project";
    o["tolerance"] = s.tolerance;
    o["twist_max"] = s.twist_max;
    o["twist_min"] = s.twist_min;
    json vary = json::array();
    if (s.vary_chord) vary.push_back("chord");
    if (s.vary_twist) vary.push_back("twist");
    if (s.vary_tsr) vary.push_back("tsr");
    o["vary"] = std::move(vary);
    return o;
}

json stallDelayObject(const StallDelaySettings& s) {
    json o = json::object();
    o["drag"] = StallDelay::dragName(s.drag);
    o["fade_end"] = s.fade_end;
    o["fade_start"] = s.fade_start;
    o["fit_max"] = s.fit_max;
    o["fit_min"] = s.fit_min;
    o["lift"] = StallDelay::liftName(s.lift);
    o["max_delta_cl"] = s.max_delta_cl;
    // Written only when the user limits the span.
    if (s.x_max) o["x_max"] = *s.x_max;
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

WindClimate readClimate(const Reader& r, const json& value, const std::string& where, std::size_t index) {
    const json& o = r.object(value, where);
    WindClimate c;
    c.name = "Climate " + std::to_string(index + 1);
    r.optionalText(o, where, "name", c.name);
    c.k = r.number(o, where, "k");
    c.A = r.number(o, where, "A");
    return c;
}

// The turbine object is optional, and so is each of its keys: what is missing takes the
// defaults for the rotor of conditions. Every value is checked.
std::optional<TurbineSettings> readTurbine(const Reader& r, const json& root, const OperatingConditions& conditions) {
    const std::string where = "turbine";
    const auto it = root.find(where);
    if (it == root.end() || it->is_null()) return std::nullopt;
    const json& o = r.object(*it, where);
    TurbineSettings t = Turbine::defaults(conditions);
    r.optionalNumber(o, where, "availability", t.availability);
    if (o.contains("control")) {
        const std::string name = r.text(o, where, "control");
        if (!Turbine::controlFromName(name, t.control)) {
            r.fail("\"turbine.control\" must be \"variable_speed_variable_pitch\", \"variable_speed_fixed_pitch\", "
                   "\"fixed_speed_variable_pitch\" or \"fixed_speed_fixed_pitch\", not \"" + name + "\".");
        }
    }
    r.optionalNumber(o, where, "cut_in", t.cut_in);
    r.optionalNumber(o, where, "cut_out", t.cut_out);
    r.optionalNumber(o, where, "efficiency", t.efficiency);
    r.optionalNumber(o, where, "fine_pitch", t.fine_pitch);
    r.optionalNumber(o, where, "max_pitch", t.max_pitch);
    r.optionalNumber(o, where, "rated_power", t.rated_power);
    r.optionalNumber(o, where, "rpm_max", t.rpm_max);
    r.optionalNumber(o, where, "rpm_min", t.rpm_min);
    // null is the automatic ratio, which the record keeps as NaN.
    r.optionalNumber(o, where, "tsr_target", t.tsr_target);
    if (o.contains("wind_climates")) {
        const json* array = r.optionalArray(o, "wind_climates", where);
        t.wind_climates.clear();
        if (array != nullptr) {
            for (std::size_t i = 0; i < array->size(); ++i)
                t.wind_climates.push_back(
                    readClimate(r, (*array)[i], "turbine.wind_climates[" + std::to_string(i) + "]", i));
        }
    }
    r.optionalNumber(o, where, "wind_max", t.wind_max);
    r.optionalNumber(o, where, "wind_min", t.wind_min);
    r.optionalNumber(o, where, "wind_step", t.wind_step);
    for (const auto& problem : Turbine::problems(t)) r.refuseLimit("\"turbine." + problem.key + "\" " + problem.message);
    return t;
}

// The optimisation object is optional, and so is each of its keys: what is missing
// keeps the record's default. The climate must be one of the turbine settings'.
std::optional<OptimisationSettings> readOptimisation(const Reader& r, const json& root,
                                                     const TurbineSettings& turbine) {
    const std::string where = "optimisation";
    const auto it = root.find(where);
    if (it == root.end() || it->is_null()) return std::nullopt;
    const json& o = r.object(*it, where);
    OptimisationSettings s;
    auto flag = [&](const char* key, bool& field) {
        if (o.contains(key)) field = r.boolean(o, where, key);
    };
    auto name = [&](const char* key, auto fromName, auto& field, const char* choices) {
        if (!o.contains(key)) return;
        const std::string text = r.text(o, where, key);
        if (!fromName(text, field))
            r.fail(Reader::quoted(Reader::path(where, key)) + " must be " + choices + ", not \"" + text + "\".");
    };
    std::int32_t integer = s.budget;
    r.optionalInteger(o, where, "budget", integer);
    s.budget = integer;
    r.optionalNumber(o, where, "chord_max", s.chord_max);
    r.optionalNumber(o, where, "chord_min", s.chord_min);
    r.optionalText(o, where, "climate", s.climate);
    integer = s.control_points;
    r.optionalInteger(o, where, "control_points", integer);
    s.control_points = integer;
    flag("free_root_chord", s.free_root_chord);
    r.optionalNumber(o, where, "max_chord", s.max_chord);
    r.optionalNumber(o, where, "max_root_moment", s.max_root_moment);
    r.optionalNumber(o, where, "max_thrust", s.max_thrust);
    r.optionalNumber(o, where, "max_thrust_ratio", s.max_thrust_ratio);
    name("method", Optimisation::methodFromName, s.method, "\"auto\", \"slsqp\" or \"cobyla\"");
    flag("monotonic_chord", s.monotonic_chord);
    flag("monotonic_twist", s.monotonic_twist);
    name("objective", Optimisation::objectiveFromName, s.objective, "\"aep\" or \"cp\"");
    if (o.contains("start")) {
        const std::string start = r.text(o, where, "start");
        if (start != "project" && start != "designed")
            r.fail("\"optimisation.start\" must be \"project\" or \"designed\", not \"" + start + "\".");
        s.start_designed = start == "designed";
    }
    r.optionalNumber(o, where, "tolerance", s.tolerance);
    r.optionalNumber(o, where, "twist_max", s.twist_max);
    r.optionalNumber(o, where, "twist_min", s.twist_min);
    if (const json* vary = r.optionalArray(o, "vary", where)) {
        s.vary_chord = s.vary_twist = s.vary_tsr = false;
        for (std::size_t i = 0; i < vary->size(); ++i) {
            const std::string place = where + ".vary[" + std::to_string(i) + "]";
            const json& entry = (*vary)[i];
            const std::string variable = entry.is_string() ? entry.get<std::string>() : std::string();
            bool& field = variable == "chord" ? s.vary_chord : variable == "twist" ? s.vary_twist : s.vary_tsr;
            if (variable != "chord" && variable != "twist" && variable != "tsr")
                r.fail(Reader::quoted(place) + " must be \"chord\", \"twist\" or \"tsr\", not " +
                       (entry.is_string() ? "\"" + variable + "\"" : kindOf(entry)) + ".");
            // As the command line's --vary refuses it: a slip, not a wish.
            if (field) r.fail(Reader::quoted(where + ".vary") + " names " + variable + " twice.");
            field = true;
        }
    }
    if (!s.climate.empty() && std::none_of(turbine.wind_climates.begin(), turbine.wind_climates.end(),
                                           [&](const WindClimate& c) { return c.name == s.climate; }))
        r.fail("\"optimisation.climate\" names no wind climate of the turbine: \"" + s.climate + "\".");
    for (const auto& problem : Optimisation::problems(s))
        r.refuseLimit("\"optimisation." + problem.key + "\": " + problem.message);
    return s;
}

// The rotor object is optional, and so is each of its keys (the plain rotor's values).
RotorGeometry readRotor(const Reader& r, const json& root, double R) {
    const std::string where = "rotor";
    RotorGeometry g;
    const auto it = root.find(where);
    if (it == root.end() || it->is_null()) return g;
    const json& o = r.object(*it, where);
    r.optionalNumber(o, where, "hub_height", g.hub_height);
    r.optionalNumber(o, where, "precone", g.precone);
    if (o.contains("sectors") && !(o["sectors"].is_string() && o["sectors"] == "auto")) {
        if (o["sectors"].is_string())
            r.fail("\"rotor.sectors\" must be \"auto\" or a whole number, not \"" + o["sectors"].get<std::string>() +
                   "\".");
        std::int32_t sectors = 0;
        r.optionalInteger(o, where, "sectors", sectors);
        g.sectors = static_cast<std::int32_t>(r.within(sectors, where, "sectors", Limits::sectors));
    }
    r.optionalNumber(o, where, "shear_exponent", g.shear_exponent);
    if (o.contains("skew_correction")) {
        const std::string name = r.text(o, where, "skew_correction");
        if (!Rotor::skewFromName(name, g.skew))
            r.fail("\"rotor.skew_correction\" must be \"none\" or \"pitt_peters\", not \"" + name + "\".");
    }
    r.optionalNumber(o, where, "tilt", g.tilt);
    r.optionalNumber(o, where, "yaw", g.yaw);
    for (const auto& problem : Rotor::problems(g, R)) r.refuseLimit("\"rotor." + problem.key + "\": " + problem.message);
    return g;
}

// The stall delay object is optional, and so is each of its keys: what is missing takes
// the models' defaults; x_max missing or null corrects the whole span.
std::optional<StallDelaySettings> readStallDelay(const Reader& r, const json& root) {
    const std::string where = "stall_delay";
    const auto it = root.find(where);
    if (it == root.end() || it->is_null()) return std::nullopt;
    const json& o = r.object(*it, where);
    StallDelaySettings s;
    if (o.contains("lift")) {
        const std::string name = r.text(o, where, "lift");
        if (!StallDelay::liftFromName(name, s.lift))
            r.fail("\"stall_delay.lift\" must be \"none\", \"du_selig\" or \"snel\", not \"" + name + "\".");
    }
    if (o.contains("drag")) {
        const std::string name = r.text(o, where, "drag");
        if (!StallDelay::dragFromName(name, s.drag))
            r.fail("\"stall_delay.drag\" must be \"none\" or \"eggers\", not \"" + name + "\".");
    }
    r.optionalNumber(o, where, "fit_min", s.fit_min);
    r.optionalNumber(o, where, "fit_max", s.fit_max);
    r.optionalNumber(o, where, "fade_start", s.fade_start);
    r.optionalNumber(o, where, "fade_end", s.fade_end);
    r.optionalNumber(o, where, "max_delta_cl", s.max_delta_cl);
    if (o.contains("x_max") && !o["x_max"].is_null()) {
        double x = 0.0;
        r.optionalNumber(o, where, "x_max", x);
        s.x_max = x;
    }
    for (const auto& problem : StallDelay::problems(s))
        r.refuseLimit("\"stall_delay." + problem.key + "\": " + problem.message);
    return s;
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
