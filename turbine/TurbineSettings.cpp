#include "turbine/TurbineSettings.h"

#include <cstdio>
#include <numbers>

#include "bemt/Common.h"

namespace bemt {

namespace {

struct ControlNames {
    ControlMode mode;
    const char* name;
    const char* shortName;
};

constexpr ControlNames kControlNames[] = {
    {ControlMode::VariableSpeedVariablePitch, "variable_speed_variable_pitch", "vsvp"},
    {ControlMode::VariableSpeedFixedPitch, "variable_speed_fixed_pitch", "vsfp"},
    {ControlMode::FixedSpeedVariablePitch, "fixed_speed_variable_pitch", "fsvp"},
    {ControlMode::FixedSpeedFixedPitch, "fixed_speed_fixed_pitch", "fsfp"},
};

// Specific rating of common large rotors, W per square metre of rotor disc.
constexpr double kSpecificRating = 400.0;
constexpr double kDefaultMeanWind = 8.5;
// From a wind-tunnel model's watts to the wind's power through the largest rotor (R 300 m)
// at the fastest wind (100 m/s): beyond them a figure is a slip of units, not a turbine.
constexpr double kLeastRatedPower = 1.0;
constexpr double kGreatestRatedPower = 1e11;
// Weibull shapes of measured winds lie between about 1 and 4; the scale is a wind speed.
constexpr double kLeastWeibullShape = 0.5;
constexpr double kGreatestWeibullShape = 10.0;
constexpr double kLeastWeibullScale = 0.1;

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

// Collects the problems of one settings record, each naming its key.
class Checker {
public:
    void positive(const std::string& key, double value) {
        if (!(std::isfinite(value) && value > 0.0)) add(key, "must be greater than 0, not " + number(value) + ".");
    }
    void notNegative(const std::string& key, double value) {
        if (!(std::isfinite(value) && value >= 0.0)) add(key, "must be 0 or more, not " + number(value) + ".");
    }
    void within(const std::string& key, double value, double lo, double hi, bool openLo) {
        const bool aboveLo = openLo ? value > lo : value >= lo;
        if (!(aboveLo && value <= hi))
            add(key, "must be " + std::string(openLo ? "greater than " : "from ") + number(lo)
                         + (openLo ? " and at most " : " to ") + number(hi) + ", not " + number(value) + ".");
    }
    // A value outside the range every setting of its kind shares.
    void limited(const std::string& key, double value, const ValueLimit& limit) {
        if (limit.contains(value)) return;
        const bool closed = limit.lowestIncluded && limit.highestIncluded;
        add(key, "must be " + std::string(closed ? "from " : "") + limit.rangeText() + ", not " + number(value) + ".");
    }
    // An upper end that the same quantity has elsewhere (the rotation speed, the tip speed
    // ratio), checked once the value passed its own rule.
    void atMost(const std::string& key, double value, double highest) {
        if (!has(key) && value > highest)
            add(key, "must be at most " + number(highest) + ", not " + number(value) + ".");
    }
    void atLeast(const std::string& key, double value, double lowest) {
        if (!has(key) && value < lowest)
            add(key, "must be at least " + number(lowest) + ", not " + number(value) + ".");
    }
    // An ordering rule, checked only when both values are numbers of their own.
    void ordered(bool holds, const std::string& key, const std::string& message) {
        if (!holds && !has(key)) add(key, message);
    }
    bool has(const std::string& key) const {
        for (const auto& p : m_problems)
            if (p.key == key) return true;
        return false;
    }
    void add(const std::string& key, const std::string& message) { m_problems.push_back({key, message}); }
    std::vector<TurbineSettingProblem> take() { return std::move(m_problems); }

private:
    std::vector<TurbineSettingProblem> m_problems;
};

}  // namespace

bool TurbineSettings::variableSpeed() const {
    return control == ControlMode::VariableSpeedVariablePitch || control == ControlMode::VariableSpeedFixedPitch;
}

bool TurbineSettings::variablePitch() const {
    return control == ControlMode::VariableSpeedVariablePitch || control == ControlMode::FixedSpeedVariablePitch;
}

namespace Turbine {

std::string controlName(ControlMode mode) {
    for (const auto& c : kControlNames)
        if (c.mode == mode) return c.name;
    return {};
}

std::string controlShortName(ControlMode mode) {
    for (const auto& c : kControlNames)
        if (c.mode == mode) return c.shortName;
    return {};
}

bool controlFromName(const std::string& name, ControlMode& mode) {
    for (const auto& c : kControlNames) {
        if (name == c.name) {
            mode = c.mode;
            return true;
        }
    }
    return false;
}

WindClimate rayleighClimate(const std::string& name, double meanWindSpeed) {
    return {name, 2.0, 2.0 * meanWindSpeed / std::sqrt(std::numbers::pi)};
}

TurbineSettings defaults(const OperatingConditions& conditions) {
    TurbineSettings t;
    const double rating = kSpecificRating * std::numbers::pi * conditions.R * conditions.R;
    const double rounded = std::round(rating / 1000.0) * 1000.0;
    t.rated_power = rounded > 0.0 ? rounded : rating;
    const double rpm = Common::rads2rpm(conditions.Om);
    t.rpm_min = 0.5 * rpm;
    t.rpm_max = rpm;
    t.wind_climates = {rayleighClimate("Rayleigh, mean 8.5 m/s", kDefaultMeanWind)};
    return t;
}

std::vector<TurbineSettingProblem> problems(const TurbineSettings& t) {
    Checker c;
    c.positive("rated_power", t.rated_power);
    c.atLeast("rated_power", t.rated_power, kLeastRatedPower);
    c.atMost("rated_power", t.rated_power, kGreatestRatedPower);
    c.within("efficiency", t.efficiency, 0.0, 1.0, true);
    c.notNegative("rpm_min", t.rpm_min);
    c.positive("rpm_max", t.rpm_max);
    const double fastest = Common::rads2rpm(Limits::Om.highest);
    c.atMost("rpm_min", t.rpm_min, fastest);
    c.atMost("rpm_max", t.rpm_max, fastest);
    c.ordered(t.rpm_min <= t.rpm_max || c.has("rpm_min"), "rpm_max",
              "must not be below rpm_min (" + number(t.rpm_min) + "), not " + number(t.rpm_max) + ".");
    if (!t.automaticTsr()) {
        c.positive("tsr_target", t.tsr_target);
        c.atMost("tsr_target", t.tsr_target, Limits::tipSpeedRatio.highest);
    }
    c.limited("fine_pitch", t.fine_pitch, Limits::pitchAngle);
    c.limited("max_pitch", t.max_pitch, Limits::pitchAngle);
    c.ordered(t.fine_pitch <= t.max_pitch || c.has("fine_pitch"), "max_pitch",
              "must not be below fine_pitch (" + number(t.fine_pitch) + "), not " + number(t.max_pitch) + ".");
    c.limited("cut_in", t.cut_in, Limits::V0);
    c.limited("cut_out", t.cut_out, Limits::V0);
    c.ordered(t.cut_in < t.cut_out || c.has("cut_in"), "cut_out",
              "must be above cut_in (" + number(t.cut_in) + "), not " + number(t.cut_out) + ".");
    c.limited("wind_min", t.wind_min, Limits::windSpeed);
    c.limited("wind_max", t.wind_max, Limits::windSpeed);
    c.ordered(t.wind_min <= t.wind_max || c.has("wind_min"), "wind_max",
              "must not be below wind_min (" + number(t.wind_min) + "), not " + number(t.wind_max) + ".");
    c.limited("wind_step", t.wind_step, Limits::windStep);
    if (!c.has("wind_min") && !c.has("wind_max") && !c.has("wind_step")
        && windSpeeds(t).positions() > kMaxWindSpeeds) {
        c.add("wind_step", "gives more than " + std::to_string(kMaxWindSpeeds) + " wind speeds from wind_min to wind_max.");
    }
    for (std::size_t i = 0; i < t.wind_climates.size(); ++i) {
        const std::string key = "wind_climates[" + std::to_string(i) + "]";
        c.positive(key + ".k", t.wind_climates[i].k);
        c.atLeast(key + ".k", t.wind_climates[i].k, kLeastWeibullShape);
        c.atMost(key + ".k", t.wind_climates[i].k, kGreatestWeibullShape);
        c.positive(key + ".A", t.wind_climates[i].A);
        c.atLeast(key + ".A", t.wind_climates[i].A, kLeastWeibullScale);
        c.atMost(key + ".A", t.wind_climates[i].A, Limits::V0.highest);
    }
    c.within("availability", t.availability, 0.0, 1.0, false);
    return c.take();
}

SweepRange windSpeeds(const TurbineSettings& t) { return {t.wind_min, t.wind_max, t.wind_step}; }

}  // namespace Turbine

}  // namespace bemt
