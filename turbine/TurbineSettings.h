#pragma once
// The turbine around the rotor: rated power, drivetrain efficiency, the control mode
// with its rotor speed and pitch limits, cut-in and cut-out, the wind speeds of the
// power curve, and the wind climates of the annual energy. SI units, angles in degrees,
// rotor speeds in rpm (as the user states them).

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"
#include "bemt/ValueLimits.h"

namespace bemt {

enum class ControlMode {
    VariableSpeedVariablePitch,
    VariableSpeedFixedPitch,
    FixedSpeedVariablePitch,
    FixedSpeedFixedPitch,
};

// Weibull wind speed distribution: shape k, scale A (m/s).
struct WindClimate {
    std::string name;
    double k = 2.0;
    double A = 0.0;
};

struct TurbineSettings {
    double rated_power = 0.0;      // electrical, W
    double efficiency = 1.0;       // drivetrain and generator, (0, 1]
    ControlMode control = ControlMode::VariableSpeedVariablePitch;
    double rpm_min = 0.0;          // rotor speed limits; fixed speed runs at rpm_max
    double rpm_max = 0.0;
    // Tip speed ratio the variable-speed controller holds; NaN: the one of maximal Cp
    // at fine pitch, found when the power curve is computed.
    double tsr_target = std::numeric_limits<double>::quiet_NaN();
    double fine_pitch = 0.0;       // degrees
    double max_pitch = 90.0;       // degrees, towards feather
    double cut_in = 3.0;           // m/s
    double cut_out = 25.0;         // m/s
    double wind_min = 3.0;         // wind speeds of the power curve, m/s
    double wind_max = 25.0;
    double wind_step = 0.5;
    std::vector<WindClimate> wind_climates;
    double availability = 1.0;     // share of the year the turbine runs, [0, 1]

    bool automaticTsr() const { return std::isnan(tsr_target); }
    bool variableSpeed() const;
    bool variablePitch() const;
};

// A value the turbine settings cannot hold: the key as stored in a project file and
// what is wrong with it ("must be greater than 0, not -3.").
struct TurbineSettingProblem {
    std::string key;
    std::string message;
};

namespace Turbine {

// The names of the control modes as project files store them, and their short forms
// (vsvp, vsfp, fsvp, fsfp). controlFromName takes the full name; false when unknown.
std::string controlName(ControlMode mode);
std::string controlShortName(ControlMode mode);
bool controlFromName(const std::string& name, ControlMode& mode);

// A Rayleigh climate (Weibull k = 2) of the given mean wind speed: A = 2 mean / sqrt(pi).
WindClimate rayleighClimate(const std::string& name, double meanWindSpeed);

// The settings a rotor gets when its project states none: 400 W per square metre of
// rotor disc rounded to whole kW (unrounded for rotors too small for 1 kW), rotor speed
// from half the project's rotation speed up to it, variable speed and pitch, the wind
// from 3 to 25 m/s by 0.5, and one Rayleigh climate of mean 8.5 m/s.
TurbineSettings defaults(const OperatingConditions& conditions);

// Every value that is out of its range, in the order of the keys; empty when all are fine.
std::vector<TurbineSettingProblem> problems(const TurbineSettings& settings);

// The wind speeds of the power curve.
SweepRange windSpeeds(const TurbineSettings& settings);

// Largest number of wind speeds a power curve computes.
inline constexpr int kMaxWindSpeeds = Limits::kMaxWindSpeeds;

}  // namespace Turbine

}  // namespace bemt
