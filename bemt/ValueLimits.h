#pragma once
// The ranges every project setting may take, in one place: the project file reader,
// the command line's options and the desktop program's fields all refuse a value
// outside them, so one project is either valid everywhere or nowhere. The counts that
// bound the work of one computation live here too.

#include <limits>
#include <optional>
#include <string>

namespace bemt {

// The closed or half-open range of one setting and the name the messages give it. A
// range without an upper end has kUnbounded as its highest value.
struct ValueLimit {
    static constexpr double kUnbounded = std::numeric_limits<double>::infinity();

    const char* name;       // "the accuracy"
    double lowest;
    double highest;
    bool lowestIncluded = true;
    bool highestIncluded = true;

    // False for NaN and for infinities outside the range.
    bool contains(double value) const;
    // "1e-08 to 0.1", "greater than 0 and at most 100", "above 0", "at least 0"
    std::string rangeText() const;
    // "the accuracy 1e+300 lies outside its range, 1e-08 to 0.1.", or for a range
    // without an upper end "the mean wind speed [m/s] 0 must be above 0."
    std::string refusal(double value) const;
    // The refusal when value lies outside, else nothing.
    std::optional<std::string> check(double value) const;
};

namespace Limits {

// Operating conditions (SI units: m, m/s, rad/s, kg/m^3, kg/(m s)).
// From wind-tunnel models (0.45 m blind-test rotors) to rotors beyond the 121 m of the
// IEA 15-MW reference turbine; from one blade to the many-blade rotors of water pumps
// (up to about 24) and beyond, towards the ideal rotor of infinitely many blades.
inline constexpr ValueLimit R{"the rotor radius R [m]", 0.1, 300.0};
inline constexpr ValueLimit Rh{"the hub radius Rh [m]", 0.0, 50.0};
inline constexpr ValueLimit B{"the number of blades B", 1.0, 100.0};
// Every wind speed an operating point is computed at: V0, the wind of a performance
// surface, cut-in and cut-out.
inline constexpr ValueLimit V0{"the wind velocity V0 [m/s]", 0.0, 100.0, false};
// 10 000 rpm: small wind-tunnel rotors run at several thousand rpm.
inline constexpr ValueLimit Om{"the rotation speed Om [rad/s]", 0.0, 1047.1975511965977, false};
inline constexpr ValueLimit rho{"the air density rho [kg/m^3]", 0.5, 1.5};
inline constexpr ValueLimit mu{"the dynamic viscosity mu [kg/(m s)]", 1e-5, 3e-5};
inline constexpr ValueLimit cair{"the speed of sound cair [m/s]", 0.0, 1000.0, false};

// Solver settings.
inline constexpr int kMaxElements = 10000;
inline constexpr ValueLimit elements{"the number of blade elements", 1.0, kMaxElements};
inline constexpr ValueLimit accuracy{"the accuracy", 1e-8, 0.1};
inline constexpr ValueLimit maxIterations{"the iteration limit", 10.0, 10000.0};
inline constexpr ValueLimit relaxation{"the relaxation factor", 0.01, 1.0};

// Rotor geometry and inflow (degrees, metres); hub height 0 means none given.
inline constexpr ValueLimit precone{"the precone [deg]", -20.0, 20.0};
inline constexpr ValueLimit tilt{"the shaft tilt [deg]", -20.0, 20.0};
inline constexpr ValueLimit yaw{"the yaw misalignment [deg]", -90.0, 90.0};
inline constexpr ValueLimit hubHeight{"the hub height [m]", 0.0, 1000.0};
inline constexpr ValueLimit shearExponent{"the wind shear exponent", 0.0, 1.0};
inline constexpr ValueLimit sectors{"the number of azimuth sectors", 1.0, 360.0};
inline constexpr ValueLimit prebend{"the prebend [m]", -100.0, 100.0};

// Compute settings (angles in degrees).
inline constexpr ValueLimit chordLimit{"the chord limit c/R of the design", 0.0, 1.0, false};
// Every pitch setting: the pitch range, fine and maximal pitch, a surface's pitch angles.
inline constexpr ValueLimit pitchAngle{"the pitch angle [deg]", -5.0, 90.0};
inline constexpr ValueLimit pitchStep{"the pitch step [deg]", 0.0, 95.0};
inline constexpr ValueLimit rangeValue{"the characteristics range value", 0.0, 100.0};
inline constexpr ValueLimit rangeStep{"the characteristics range step", 0.01, 100.0};

// Power curves and performance surfaces.
// The wind speeds of a power curve: those of V0 and 0 (rows below cut-in are not computed).
inline constexpr ValueLimit windSpeed{"the wind speed [m/s]", 0.0, V0.highest};
inline constexpr ValueLimit windStep{"the wind speed step [m/s]", 0.0, V0.highest, false};
inline constexpr ValueLimit tipSpeedRatio{"the tip speed ratio", 0.0, 100.0, false};
inline constexpr ValueLimit tipSpeedRatioStep{"the tip speed ratio step", 0.0, 100.0, false};
inline constexpr ValueLimit meanWindSpeed{"the mean wind speed [m/s]", 0.0, ValueLimit::kUnbounded, false, false};
inline constexpr int kMaxWindSpeeds = 2000;          // wind speeds of one power curve
inline constexpr int kMaxSurfaceTipSpeedRatios = 1001;

// Airfoil points, chord and twist points.
inline constexpr ValueLimit position{"the relative position x/R", 0.0, 1.0};
inline constexpr ValueLimit relativeChord{"the relative chord c/R", 0.0, 1.0, false};
inline constexpr ValueLimit twist{"the twist [deg]", -180.0, 180.0};
inline constexpr ValueLimit xfoilAngle{"the angle of attack [deg]", -180.0, 180.0};
inline constexpr ValueLimit xfoilAngleStep{"the angle step [deg]", 0.001, 360.0};
inline constexpr ValueLimit reynolds{"the Reynolds number", 1e4, 1e8};
inline constexpr ValueLimit xfoilPasses{"the number of XFOIL passes", 1.0, 20.0};
inline constexpr ValueLimit ncrit{"Ncrit", 1.0, 20.0};

// Blade optimisation: control points of chord and twist, blade evaluations, the relative
// change of the objective that ends the search, and the limits a blade is held to.
inline constexpr ValueLimit controlPoints{"the number of control points", 2.0, 50.0};
inline constexpr ValueLimit evaluationBudget{"the evaluation budget", 1.0, 1e6};
inline constexpr ValueLimit optimisationTolerance{"the optimisation tolerance", 1e-12, 0.1};
inline constexpr ValueLimit maxChord{"the largest chord [m]", 0.0, 100.0, false};
inline constexpr ValueLimit maxThrust{"the largest thrust [N]", 0.0, ValueLimit::kUnbounded, false, false};
inline constexpr ValueLimit thrustRatio{"the largest thrust ratio", 0.0, 10.0, false};
inline constexpr ValueLimit maxRootMoment{"the largest root bending moment [N m]", 0.0, ValueLimit::kUnbounded, false,
                                          false};
// Rotational stall delay (angles in degrees).
inline constexpr ValueLimit stallFitAngle{"the fit angle of the lift line [deg]", -30.0, 30.0};
// Eggers' drag factor (sin a - 0.12 cos a)/(cos a + 0.12 sin a) has a pole at -83.2 degrees.
inline constexpr ValueLimit stallFadeAngle{"the fade angle [deg]", 0.0, 80.0};
inline constexpr ValueLimit stallMaxDeltaCl{"the largest lift change", 0.0, 2.0};
inline constexpr ValueLimit stallOuterLimit{"the outer limit x/R of the correction", 0.0, 1.0, false};

// Counts of one computation.
inline constexpr int kMaxGuiPitchPositions = 11;    // the desktop program's pitch sweeps
inline constexpr int kMaxPitchPositions = 1001;     // the command line's pitch sweeps and grids
inline constexpr int kMaxCharacteristicSteps = 500;
inline constexpr int kMaxXfoilAngles = 10000;       // angles of one XFOIL sweep
inline constexpr int kMinDesignElements = 2;        // a designed blade needs a spline through its elements

}  // namespace Limits

// "the pitch range asks for 100000001 positions, more than 1001." when count > limit.
std::optional<std::string> countRefusal(const std::string& what, double count, int limit);

}  // namespace bemt
