#pragma once
// What a blade optimisation asks for, as a project stores it: the objective, the design
// variables, the constraints and the budget. A plain record; the optimiser (optimise/)
// reads it, the .kvp codec stores it, and problems() checks it against the value table.

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

enum class OptimisationObjective {
    AnnualEnergy,       // of one wind climate of the turbine settings, under their control
    PowerCoefficient,   // at the project's design point
};

enum class OptimisationMethod {
    Automatic,   // SLSQP with finite-difference gradients, then COBYLA where it fails
    Slsqp,
    Cobyla,
};

struct OptimisationSettings {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    OptimisationObjective objective = OptimisationObjective::AnnualEnergy;
    std::string climate;             // name of a wind climate; empty: the first
    int control_points = 8;          // chord and twist points, evenly between the first and last chord point
    bool vary_chord = true;
    bool vary_twist = true;
    bool vary_tsr = false;           // the controller's target tip speed ratio
    bool free_root_chord = false;    // the root chord is set by the hub connection unless freed
    bool start_designed = false;     // start from the blade design instead of the project's blade
    double max_chord = kNone;        // m; NaN: none
    double max_thrust = kNone;       // N, over the power curve (or at the design point for Cp)
    double max_thrust_ratio = kNone; // of the starting blade's largest thrust
    double max_root_moment = kNone;  // N m: root flapwise bending moment of one blade, largest over the
                                     // power curve and the azimuth (at the design point for Cp)
    bool monotonic_chord = true;     // chord not increasing from its largest point to the tip
    bool monotonic_twist = true;     // twist not increasing toward the tip
    double chord_min = 0.002;        // bounds of the chord, c/R
    double chord_max = 0.25;
    double twist_min = -10.0;        // bounds of the twist, degrees
    double twist_max = 40.0;
    OptimisationMethod method = OptimisationMethod::Automatic;
    int budget = 2000;               // blade evaluations, finite differences included
    double tolerance = 1e-6;         // relative change of the objective that ends the search

    bool hasThrustLimit() const { return max_thrust == max_thrust || max_thrust_ratio == max_thrust_ratio; }
};

// A value of the settings outside its range: the key as stored and the refusal.
struct OptimisationProblem {
    std::string key;
    std::string message;
};

// Field-by-field equality, where two limits left out (NaN) are the same.
bool sameValues(const OptimisationSettings& a, const OptimisationSettings& b);
bool sameValues(const std::optional<OptimisationSettings>& a, const std::optional<OptimisationSettings>& b);

namespace Optimisation {

// "aep" / "cp" and "auto" / "slsqp" / "cobyla", as files and the command line write them;
// the readers return false for any other name.
std::string objectiveName(OptimisationObjective objective);
bool objectiveFromName(const std::string& name, OptimisationObjective& objective);
std::string methodName(OptimisationMethod method);
bool methodFromName(const std::string& name, OptimisationMethod& method);

// Every value out of its range, in the order of the keys.
std::vector<OptimisationProblem> problems(const OptimisationSettings& settings);

}  // namespace Optimisation

}  // namespace korvane
