#pragma once
// The plain value records the core exchanges with the rest of the program.
// SI units throughout; angles in radians unless a name says "deg"; positions along
// the rotor are relative (x = r/R) and chord points hold c/R.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bemt/RotorGeometry.h"
#include "bemt/StallDelay.h"

namespace bemt {

class ProfileParams;

// Numeric values are stored in project files.
enum SolverType : std::int32_t {
    Ning = 0,           // SolverNing
    NewtonRaphson = 1,  // SolverNR
    FixedPoint2D = 2,   // Solver2D (also any other value)
};

struct OperatingConditions {
    double R = 10.0;          // rotor radius, m (hub radius + blade length)
    double Rh = 1.0;          // hub radius, m
    double L = 9.0;           // blade length R - Rh, m
    std::int32_t B = 3;       // number of blades
    double V0 = 10.0;         // free wind velocity, m/s
    double TSR = 5.0;         // tip speed ratio Om*R/V0
    double Om = 5.0;          // rotor angular velocity, rad/s
    double rho = 1.225;       // air density, kg/m^3
    double mu = 1.789e-5;     // air dynamic viscosity, kg/(m s)
    double cair = 331.3;      // speed of sound, m/s
};

// The tip speed ratio the radius, angular velocity and wind velocity give: one formula
// wherever it is derived, so that the same conditions always carry the same bits.
inline double tipSpeedRatioOf(const OperatingConditions& c) { return c.R * c.Om / c.V0; }

struct SolverSettings {
    SolverType solver = NewtonRaphson;
    std::int32_t n_elements = 30;     // blade elements along the blade
    double accuracy = 1e-5;           // tolerance of every iteration
    std::int32_t max_iterations = 5000;
    double relaxation_factor = 0.1;   // under-relaxation of fixed-point iterations
    // Parts of the BEM model, each on unless switched off.
    bool tip_loss = true;             // Prandtl tip loss factor
    bool hub_loss = true;             // Prandtl hub loss factor
    bool wake_rotation = true;        // tangential induction a'
    bool drag_in_induction = true;    // the drag term in both induction equations
};

struct BladeElement {
    double r = 0.0;                     // radius of the element centre, m
    double c = 0.0;                     // chord, m
    double theta = 0.0;                 // local pitch (twist + blade pitch), rad
    ProfileParams* profile = nullptr;   // polar of the element, not owned
};

// Solved state of one element: a copy of the element completed by the solver and the
// element analysis.
struct Solution {
    double r = 0.0;
    double c = 0.0;
    double theta = 0.0;
    ProfileParams* profile = nullptr;
    double phi = 0.0;        // inflow angle, rad
    double alpha = 0.0;      // angle of attack phi - theta, rad
    double alphaOpt = 0.0;   // angle of best cl/cd of the polar, rad
    double a = 0.0;          // axial induction factor
    double a_ = 0.0;         // tangential induction factor
    double cl = 0.0;
    double cd = 0.0;
    double F = 1.0;          // combined tip and hub loss factor
    bool extrapolated = false;  // polar used outside its data
    bool converged = true;
    double dP = 0.0;         // element power, W
    double dT = 0.0;         // element thrust, N
};

struct ChordPoint {
    double x_rel = 0.0;   // r/R
    double c_rel = 0.0;   // c/R
};

struct TwistPoint {
    double x_rel = 0.0;      // r/R
    double twist_deg = 0.0;  // local twist, degrees
};

// Kinds of airfoil data. The numbers are stored in project files.
enum AirfoilType : std::int32_t {
    NACA0018 = 0,
    CSVData = 1,
    Coordinates = 2,
    NACA0012 = 3,
    NACA0015 = 4,
    NACA0021 = 5,
    NACA0025 = 6,
    AeroDynTable = 7,     // AeroDyn v15 airfoil table file
    XfoilPolarFile = 8,   // polar save file written by XFOIL
};

// Whether the airfoil data of this kind come from the point's file (all but the built-in
// NACA tables).
constexpr bool readsDataFile(AirfoilType type) {
    return type == CSVData || type == Coordinates || type == AeroDynTable || type == XfoilPolarFile;
}

// How list polars (CSV, XFOIL, XFOIL polar files, AeroDyn tables) are continued beyond
// their tabulated angles. Stored in project files as "naca" or "viterna".
enum ExtensionType : std::int32_t {
    ExtensionNaca = 0,
    ExtensionViterna = 1,
};

// Separator of a CSV polar file: comma, or any whitespace for every other value.
enum CSVSeparator : std::int32_t {
    Comma = 0,
    Whitespace = 1,
};

// One airfoil definition along the blade: the airfoil that applies from x_rel onward.
struct AirfoilPoint {
    double x_rel = 0.0;
    bool repeat = false;            // use the data of the previous point
    std::string path;               // CSV polar or coordinate file
    AirfoilType data_type = NACA0018;
    CSVSeparator csv_separator = Comma;
    std::string preceeding_line;    // text in the line before the CSV data
    double a_min = -10.0;           // XFOIL sweep, degrees
    double a_max = 20.0;
    double a_step = 0.5;
    bool guess_reynolds = true;     // Reynolds range from the operating conditions
    double rey_min = 1000000.0;
    double rey_max = 10000000.0;
    std::int32_t max_passes = 5;
    std::int32_t ncrit = 9;
    ExtensionType extension = ExtensionNaca;
    double cd_max = 0.0;            // Viterna drag at 90 degrees; 0: from the blade's aspect ratio
};

// A stretch of blade between two neighbouring airfoil points with the polars of both
// ends. Copies of a segment list share the polars; they live as long as any list does.
struct AirfoilSegment {
    double start = 0.0;
    double end = 0.0;
    std::shared_ptr<ProfileParams> first;
    std::shared_ptr<ProfileParams> second;
};

// Everything a computation needs, copied by value into each worker thread.
struct InputDataSet {
    SolverSettings settings;
    OperatingConditions conditions;
    std::vector<AirfoilSegment> segments;
    std::vector<ChordPoint> chordPoints;
    std::vector<TwistPoint> twistPoints;
    RotorGeometry rotor;                      // cone, tilt, yaw, shear, sectors
    std::vector<PrebendPoint> prebendPoints;  // empty: a straight blade
    std::optional<StallDelayInput> stallDelay;   // none: the polars as they are (2D)
    bool blendAirfoils = true;                   // blend neighbouring airfoils (a project's enable_interpolation)
};

// Which quantity the characteristics sweep varies. Stored in project files.
enum ComputeRangeType : std::int32_t {
    windVelocity = 0,
    tipSpeedRatio = 1,
};

// The compute settings of a project: the characteristics range, the pitch range and
// the chord limit of the blade design.
struct ComputeSettings {
    bool enable_interpolation = true;   // blend neighbouring airfoils along the blade
    ComputeRangeType range_type = tipSpeedRatio;
    double ran_min = 0.0;
    double ran_max = 20.0;
    double ran_step = 0.5;
    bool enable_pitch = false;          // sweep the blade pitch angle
    double p_min = 0.0;                 // degrees
    double p_max = 20.0;
    double p_step = 5.0;
    double design_c_limit = 0.2;        // largest designed c/R
};

// Whether a computation keeps the solution of every element of its operating points or
// only their totals: sweeps that report totals (characteristics, grids, surfaces, power
// curves) would otherwise hold points x elements solutions.
enum class ElementDetail { Kept, TotalsOnly };

// One blade element at one azimuth position: its solution, where dT and dP are what the
// element gives when every blade stands there, and the inflow it saw.
struct SectorElement {
    Solution solution;
    double Vx = 0.0;   // wind velocity normal to the coned blade, m/s
    double Vy = 0.0;   // in-plane velocity against the rotation, m/s
    double Np = 0.0;   // force normal to the coned blade per unit length, N/m
    double Tp = 0.0;   // tangential force per unit length, N/m
};

// One azimuth position of a rotor whose blades see the inflow change around the revolution.
struct RotorSector {
    double azimuth = 0.0;                 // rad, 0 with the blade straight up
    std::vector<SectorElement> elements;  // by increasing r; empty for TotalsOnly
    double T = 0.0;                       // rotor thrust if every blade stood here, N
    double P = 0.0;                       // rotor power the same way, W
    double rootMoment = 0.0;              // root flapwise bending moment of the blade here, N m
    bool converged = true;
    bool extrapolated = false;
};

// Result of one operating point analysis.
struct OperatingPoint {
    OperatingConditions conditions;
    std::vector<Solution> solutions;  // one per element, by increasing r; empty for TotalsOnly
    double dr = 0.0;                  // element width L/n
    double T = 0.0;                   // thrust of the converged elements, N
    double P = 0.0;                   // power of the converged elements, W
    // On the swept radius R_p = R cos(precone) + prebend(tip) sin(precone), R without cone.
    double Rp = 0.0;                  // m
    double Ct = 0.0;
    double Cp = 0.0;
    // Root flapwise bending moment of one blade, sum of Np (r - Rh) ds over the converged
    // elements: its mean and its largest value over the azimuth sectors, N m.
    double rootMoment = 0.0;
    double rootMomentMax = 0.0;
    std::vector<RotorSector> sectors;  // when more than one sector is computed and elements are kept
    bool converged = true;            // every element converged
    bool extrapolated = false;        // some polar was used outside its data
};

struct pitchControlledOperatingPoint {
    double pitch = 0.0;   // blade pitch added to the twist, degrees
    OperatingPoint op;
};

struct pitchControlledCharacteristicElement {
    OperatingConditions conditions;   // this step's conditions (V0 and TSR)
    std::vector<pitchControlledOperatingPoint> points;  // one per pitch angle
};

}  // namespace bemt
