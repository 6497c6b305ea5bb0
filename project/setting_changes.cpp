#include "project/setting_changes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"
#include "project/kvp_codec.h"

namespace korvane {

using nlohmann::json;

namespace {

// Keys of the optimisation section a file omits when they are not set (null when read by name).
const char* const kOptionalOptimisationKeys[] = {"climate", "max_chord", "max_root_moment", "max_thrust",
                                                 "max_thrust_ratio"};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<std::string> kPointLists{"airfoil_points", "chord_points", "twist_points", "prebend_points"};

[[noreturn]] void refuse(const std::string& problem) { throw bemt::Error(problem); }

std::string settingNames() {
    std::string names;
    for (const auto& section : settingSections()) names += section + ", ";
    std::string quantities;
    for (const auto& q : studyQuantities()) quantities += (quantities.empty() ? "" : ", ") + q;
    return "a key of " + names.substr(0, names.size() - 2) + " (optionally with its section, as conditions.R), a "
           "point list (chord_points, twist_points, airfoil_points, prebend_points) or one of " + quantities;
}

// NaN and the infinities, which no project file can hold, reach a change only from a
// program (the Python module): refused as the command line refuses them, never read as
// null ("automatic", "none").
void refuseNonFinite(const std::string& place, const json& value) {
    if (value.is_number_float() && !std::isfinite(value.get<double>()))
        refuse("\"" + place + "\": " + bemt::NumberText::shortText(value.get<double>()) + " is not a finite number.");
    if (value.is_array())
        for (std::size_t i = 0; i < value.size(); ++i) refuseNonFinite(place + "[" + std::to_string(i) + "]", value[i]);
    if (value.is_object())
        for (const auto& [key, item] : value.items()) refuseNonFinite(place + "." + key, item);
}

double number(const std::string& name, const json& value) {
    refuseNonFinite(name, value);
    if (!value.is_number()) refuse("\"" + name + "\" must be a number, not " + value.dump() + ".");
    return value.get<double>();
}

// A study quantity within the range of what it sets, refused by its own name (a row's
// "pitch" is not the file's p_max to the one who wrote it).
double quantity(const std::string& name, const json& value, const bemt::ValueLimit& limit) {
    const double v = number(name, value);
    if (const auto refusal = limit.check(v)) refuse("\"" + name + "\": " + *refusal);
    return v;
}

const bemt::ValueLimit& rpmLimit() {
    static const bemt::ValueLimit limit{"the rotation speed [rpm]", 0.0, bemt::Common::rads2rpm(bemt::Limits::Om.highest),
                                        false};
    return limit;
}

// Keys whose null means something (automatic, the whole span, not set); any other number
// of the file reads null as no number, which a change refuses by its name.
bool takesNull(const std::string& section, const std::string& key) {
    if (section == "turbine") return key == "tsr_target";
    if (section == "stall_delay") return key == "x_max";
    if (section != "optimisation") return false;
    return std::find(std::begin(kOptionalOptimisationKeys), std::end(kOptionalOptimisationKeys), key) !=
           std::end(kOptionalOptimisationKeys);
}

// The section holding key: the one named before a dot, or the only one with that key.
std::string sectionOf(const json& document, const std::string& name, std::string& key) {
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string section = name.substr(0, dot);
        key = name.substr(dot + 1);
        for (const auto& s : settingSections())
            if (s == section && document[s].contains(key)) return s;
        refuse("unknown setting \"" + name + "\": give " + settingNames() + ".");
    }
    key = name;
    std::string found;
    for (const auto& s : settingSections()) {
        if (!document[s].contains(key)) continue;
        if (!found.empty())
            refuse("the setting \"" + name + "\" is a key of " + found + " and of " + s + ": name its section.");
        found = s;
    }
    if (found.empty()) refuse("unknown setting \"" + name + "\": give " + settingNames() + ".");
    return found;
}

// What a study quantity sets and the settings of the file that also decide it: naming
// one of them with the quantity leaves unsaid which one counts.
struct QuantitySettings {
    std::string quantity;
    std::string what;
    std::vector<std::string> settings;
};

const std::vector<QuantitySettings>& quantitySettings() {
    static const std::vector<QuantitySettings> settings{
        {"pitch", "the pitch", {"compute_settings.enable_pitch", "compute_settings.p_min", "compute_settings.p_max"}},
        {"wind", "the wind velocity V0", {"conditions.V0"}},
        {"rpm", "the rotation speed Om", {"conditions.Om", "tsr"}},
        {"tsr", "the rotation speed Om", {"conditions.Om", "rpm"}},
        {"chord_scale", "the chord points", {"chord_points"}},
        {"twist_offset", "the twist points", {"twist_points"}}};
    return settings;
}

// What quantity and setting both set, if one decides the other.
std::optional<std::string> sharedQuantity(const std::string& quantity, const std::string& setting) {
    for (const auto& q : quantitySettings())
        if (q.quantity == quantity && std::find(q.settings.begin(), q.settings.end(), setting) != q.settings.end())
            return q.what;
    return std::nullopt;
}

void scalePoints(json& points, const char* key, double factor, bool add) {
    for (json& p : points) p[key] = add ? p[key].get<double>() + factor : p[key].get<double>() * factor;
}

// An optional optimisation key set to null is not set; the section set back to the
// defaults is omitted, as the rotor's is.
void omitUnsetOptimisation(json& document) {
    json& section = document["optimisation"];
    for (const char* key : kOptionalOptimisationKeys)
        if (section.contains(key) && section[key].is_null()) section.erase(key);
    static const json defaults = [] {
        ProjectData project = newProjectData();
        project.optimisation.emplace();
        return json::parse(kvp::write(project, "untitled.kvp"))["optimisation"];
    }();
    if (section == defaults) document.erase("optimisation");
}

}  // namespace

const std::vector<std::string>& settingSections() {
    static const std::vector<std::string> sections{"conditions", "solver_settings", "compute_settings", "turbine",
                                                   "stall_delay", "rotor", "optimisation"};
    return sections;
}

const std::vector<std::string>& studyQuantities() {
    static const std::vector<std::string> quantities{"pitch", "wind", "rpm", "tsr", "chord_scale", "twist_offset"};
    return quantities;
}

json settingsDocument(const ProjectData& project, const std::string& projectPath) {
    ProjectData stated = project;
    stated.turbine = turbineSettings(project);
    // A project without stall delay corrects no polar: its section says so by lift "none".
    if (!stated.stall_delay) {
        stated.stall_delay.emplace();
        stated.stall_delay->lift = bemt::StallLift::None;
    }
    if (!stated.optimisation) stated.optimisation.emplace();
    // The rotor and the model switches, omitted from files at their defaults, are stated.
    json document = json::parse(kvp::write(stated, projectPath, kvp::Defaults::Stated));
    // The file omits x_max for the whole blade; null says the same and keeps it a name to set.
    if (!document["stall_delay"].contains("x_max")) document["stall_delay"]["x_max"] = nullptr;
    // The same for the optimisation's limits that are not set, and its climate (the first).
    for (const char* key : kOptionalOptimisationKeys)
        if (!document["optimisation"].contains(key)) document["optimisation"][key] = nullptr;
    return document;
}

std::string settingName(const json& settings, const std::string& name) {
    const auto& quantities = studyQuantities();
    if (std::find(quantities.begin(), quantities.end(), name) != quantities.end() ||
        std::find(kPointLists.begin(), kPointLists.end(), name) != kPointLists.end())
        return name;
    std::string key;
    const std::string section = sectionOf(settings, name, key);
    return section + "." + key;
}

void refuseSettingTwice(const json& settings, const std::vector<std::string>& names, const std::string& what) {
    std::vector<std::string> full;
    for (const auto& name : names) full.push_back(settingName(settings, name));
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (full[i] == full[j])
                refuse("the " + what + " \"" + names[j] + "\" and \"" + names[i] + "\" set the same setting " + full[i] +
                       ".");
            auto shared = sharedQuantity(full[i], full[j]);
            if (!shared) shared = sharedQuantity(full[j], full[i]);
            if (shared)
                refuse("the " + what + " \"" + names[j] + "\" and \"" + names[i] + "\" both set " + *shared +
                       ": give one of them.");
        }
    }
}

ChangeBase::ChangeBase(const ProjectData& project, const std::string& path)
    : projectPath(path), document(json::parse(kvp::write(project, path))), settings(settingsDocument(project, path)) {}

ProjectData withChanges(const ProjectData& project, const std::string& projectPath, const json& changes) {
    return withChanges(ChangeBase(project, projectPath), changes);
}

ProjectData withChanges(const ChangeBase& base, const json& changes) {
    if (!changes.is_object()) refuse("the changes must be an object of setting names and values.");
    std::vector<std::string> names;
    for (const auto& item : changes.items()) names.push_back(item.key());
    refuseSettingTwice(base.settings, names, "names");
    json document = base.document;
    const json& settings = base.settings;
    std::optional<double> tsr;
    bool changedOptimisation = false;
    for (const auto& [name, value] : changes.items()) {
        if (name == "pitch") {
            const double pitch = quantity(name, value, bemt::Limits::pitchAngle);
            document["compute_settings"]["enable_pitch"] = true;
            document["compute_settings"]["p_min"] = pitch;
            document["compute_settings"]["p_max"] = pitch;
        } else if (name == "wind") {
            document["conditions"]["V0"] = quantity(name, value, bemt::Limits::V0);
        } else if (name == "rpm") {
            document["conditions"]["Om"] = bemt::Common::rpm2rads(quantity(name, value, rpmLimit()));
        } else if (name == "tsr") {
            tsr = quantity(name, value, bemt::Limits::tipSpeedRatio);
        } else if (name == "chord_scale") {
            scalePoints(document["chord_points"], "c_rel", number(name, value), false);
        } else if (name == "twist_offset") {
            scalePoints(document["twist_points"], "twist_deg", number(name, value), true);
        } else if (std::find(kPointLists.begin(), kPointLists.end(), name) != kPointLists.end()) {
            refuseNonFinite(name, value);
            document[name] = value;
        } else {
            std::string key;
            const std::string section = sectionOf(settings, name, key);
            refuseNonFinite(section + "." + key, value);
            if (value.is_null() && settings[section][key].is_number() && !takesNull(section, key))
                refuse("\"" + section + "." + key + "\" must be a number, not null.");
            changedOptimisation = changedOptimisation || section == "optimisation";
            // Files keep any solver number (the fixed-point solver); a change offers the three.
            if (section == "solver_settings" && key == "solver" && value != 0 && value != 1 && value != 2)
                refuse("\"solver_settings.solver\" must be 0 (Ning), 1 (Newton-Raphson) or 2 (2D Fixed Point), not " +
                       value.dump() + ".");
            // A section the file omits (turbine, rotor) gets its stated defaults once one is set.
            if (!document.contains(section)) document[section] = settings[section];
            document[section][key] = value;
        }
    }
    if (changedOptimisation) omitUnsetOptimisation(document);
    if (tsr) {
        // An R or V0 that is no number or out of its own range is refused as itself when
        // the file is read.
        const json& c = document["conditions"];
        const double V0 = c["V0"].is_number() ? c["V0"].get<double>() : kNaN;
        const double R = c["R"].is_number() ? c["R"].get<double>() : kNaN;
        if (bemt::Limits::R.contains(R) && bemt::Limits::V0.contains(V0)) {
            const double Om = *tsr * V0 / R;
            if (const auto refusal = bemt::Limits::Om.check(Om))
                refuse("\"tsr\": " + bemt::NumberText::shortText(*tsr) + " at V0 " + bemt::NumberText::shortText(V0) +
                       " m/s and R " + bemt::NumberText::shortText(R) + " m: " + *refusal);
            document["conditions"]["Om"] = Om;
        }
    }
    const std::string text = document.dump();
    try {
        return kvp::read(text, base.projectPath);
    } catch (const bemt::Error&) {
        // The message without its opening, which names no file here.
        if (const auto problem = kvp::openingProblem(text, base.projectPath)) refuse(*problem);
        throw;
    }
}

}  // namespace korvane
