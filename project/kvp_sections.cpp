#include "project/kvp_sections.h"

#include <cmath>
#include <string>
#include <utility>

#include "bemt/RotorGeometry.h"
#include "bemt/StallDelay.h"
#include "bemt/ValueLimits.h"

namespace korvane::kvp {

using namespace bemt;

namespace {

WindClimate readClimate(const Reader& r, const json& value, const std::string& where, std::size_t index) {
    const json& o = r.object(value, where);
    WindClimate c;
    c.name = "Climate " + std::to_string(index + 1);
    r.optionalText(o, where, "name", c.name);
    c.k = r.number(o, where, "k");
    c.A = r.number(o, where, "A");
    return c;
}

}  // namespace

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

}  // namespace korvane::kvp
