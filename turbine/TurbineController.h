#pragma once
// The power curve of a rotor under its controller. Below rated power the rotor runs at
// fine pitch with the rotor speed that holds the target tip speed ratio (variable speed)
// within its limits, or at its one speed (fixed speed); above rated power a variable-pitch
// rotor pitches towards feather until the electrical power is the rated power.
//
// Regions of a row: 0 below cut-in, 1.5 rotor speed held at its minimum, 2 tip speed
// ratio held at its target, 2.5 rotor speed held at its maximum (always at fixed speed),
// 3 above rated power (pitched to rated power, or, at fixed pitch, where the rotor gives
// more than rated: flagged over_rated, since only stall can hold such a rotor at rated
// power), 4 above cut-out. A rotor that takes power from the wind's flow instead of giving
// it (P_aero < 0) is motoring: its generator draws P_aero / efficiency from the grid.

#include <vector>

#include "bemt/BEMTTools.h"
#include "turbine/TurbineSettings.h"

namespace bemt {

struct PowerCurvePoint {
    double V0 = 0.0;          // m/s
    double region = 0.0;
    double rpm = 0.0;         // rotor speed
    double TSR = 0.0;
    double pitch = 0.0;       // degrees
    double P_aero = 0.0;      // rotor power, W
    double P = 0.0;           // electrical power efficiency x P_aero, P_aero / efficiency when
                              // motoring (rated power in region 3 at variable pitch), W
    double T = 0.0;           // thrust, N
    double Q = 0.0;           // rotor torque P_aero / Om, N m
    double Cp = 0.0;          // P_aero / (rho/2 pi R_p^2 V^3)
    double Ct = 0.0;          // T / (rho/2 pi R_p^2 V^2)
    double Cq = 0.0;          // Q / (rho/2 pi R_p^2 V^2 R_p), R_p the swept radius (R without cone)
    double M_root = 0.0;      // root flapwise bending moment of one blade, mean over the azimuth, N m
    double M_root_max = 0.0;  // its largest value over the azimuth, N m
    bool computed = false;    // false between cut-in and cut-out only
    bool converged = true;
    bool extrapolated = false;
    bool pitch_limited = false;   // even the largest pitch leaves more than rated power
    bool over_rated = false;      // fixed pitch: the rotor gives more than rated power
    bool motoring = false;        // P_aero < 0: the generator drives the rotor
};

struct PowerCurve {
    double tsrTarget = 0.0;
    // Lowest wind speed at which the rotor reaches rated power (to 0.01 m/s); NaN when
    // it never does on the wind speeds of the curve.
    double ratedWindSpeed = 0.0;
    std::vector<PowerCurvePoint> points;
};

class TurbineController {
public:
    // Tolerances of the pitch that holds rated power: of the power, relative to the
    // rated power, and of the pitch angle in degrees.
    static constexpr double kPowerTolerance = 1e-4;
    static constexpr double kPitchTolerance = 1e-5;
    // The pitch rises by this step (degrees) until it brackets rated power.
    static constexpr double kPitchBracketStep = 1.0;
    static constexpr double kTsrTolerance = 1e-3;
    static constexpr double kRatedWindTolerance = 0.01;

    // tools computes every operating point of data (the rotor and its solver settings).
    TurbineController(BEMTTools& tools, InputDataSet data, TurbineSettings settings);

    // The tip speed ratio of maximal Cp at fine pitch at the project's wind speed, to 1e-3.
    double optimalTipSpeedRatio(const ProgressCallback& progress);

    // The rotor speed (rad/s) at wind speed v for the target tip speed ratio, with the
    // region it puts the rotor in (1.5, 2 or 2.5).
    std::pair<double, double> rotorSpeed(double v, double tsrTarget) const;

    PowerCurve powerCurve(const ProgressCallback& progress);

    // The electrical power of a rotor power: efficiency x P_aero, or P_aero / efficiency
    // for a motoring rotor (P_aero < 0), whose drivetrain losses come from the grid too.
    static double electricalPower(double rotorPower, double efficiency);

private:
    OperatingPoint operatingPoint(double v, double om, double pitch);
    double electricalPower(const OperatingPoint& op) const { return electricalPower(op.P, m_settings.efficiency); }
    // Pitches row towards feather to rated power from pitch lo, whose operating point loOp
    // leaves more than rated power; op receives the operating point of the pitch found.
    void pitchToRated(PowerCurvePoint& row, double om, double lo, OperatingPoint loOp, OperatingPoint& op);
    double ratedWindSpeed(const std::vector<double>& finePower, const PowerCurve& curve, double tsrTarget);
    void fill(PowerCurvePoint& row, const OperatingPoint& op, double om) const;

    // Reports the current share of the work again during each operating point, so that
    // an abort is seen while the pitch is solved.
    void report(int percent, const std::string& text);

    BEMTTools& m_tools;
    ProgressCallback m_progress;
    int m_percent = 0;
    std::string m_text;
    InputDataSet m_data;
    TurbineSettings m_settings;
};

}  // namespace bemt
