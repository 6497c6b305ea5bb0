#pragma once
// Everything a project file stores, as one plain record, with the new-project values
// and the field-by-field comparisons the project model uses to decide whether a change
// happened. No GUI and no JSON here, so the command line shares it.

#include <optional>
#include <string>
#include <vector>

#include "bemt/Records.h"
#include "project/optimisation_settings.h"
#include "turbine/TurbineSettings.h"

namespace korvane {

struct ProjectData {
    bemt::OperatingConditions conditions;
    bemt::SolverSettings solverSettings;
    bemt::ComputeSettings computeSettings;
    std::vector<bemt::AirfoilPoint> airfoilPoints;
    std::vector<bemt::ChordPoint> chordPoints;
    std::vector<bemt::TwistPoint> twistPoints;
    // The turbine around the rotor; empty until the user states it (in a file or the
    // Turbine section), and the rotor's defaults apply meanwhile.
    std::optional<bemt::TurbineSettings> turbine;
    std::string notes;   // free text, e.g. what an import could not carry over
    // The blade optimisation's settings; empty until the user states them.
    std::optional<OptimisationSettings> optimisation;
    bemt::RotorGeometry rotor;                      // cone, tilt, yaw, shear, sectors; defaults: none
    std::vector<bemt::PrebendPoint> prebendPoints;  // empty: a straight blade
    // The rotational stall delay of the polars; empty (off) until the user states it.
    std::optional<bemt::StallDelaySettings> stall_delay;
};

// The turbine settings that apply to a project: its own, or the defaults for its rotor.
bemt::TurbineSettings turbineSettings(const ProjectData& data);

// What the computations need of the stall delay: nothing when it is off, else the
// settings with the project's tip speed ratio.
std::optional<bemt::StallDelayInput> stallDelayInput(const ProjectData& data);

// The project a user starts from: the 25 m three-bladed rotor at 8 m/s and 18 rpm with
// NACA 0012 from x/R 0.06 to the tip and guessed chord and twist.
bemt::OperatingConditions newProjectConditions();
bemt::SolverSettings newProjectSolverSettings();
bemt::ComputeSettings newProjectComputeSettings();
std::vector<bemt::AirfoilPoint> newProjectAirfoilPoints();
std::vector<bemt::ChordPoint> newProjectChordPoints();
std::vector<bemt::TwistPoint> newProjectTwistPoints();
ProjectData newProjectData();

// Field-by-field equality. Doubles compare with ==, so a NaN never equals anything and
// setting a value holding NaN always counts as a change.
bool sameValues(const bemt::OperatingConditions& a, const bemt::OperatingConditions& b);
bool sameValues(const bemt::SolverSettings& a, const bemt::SolverSettings& b);
bool sameValues(const bemt::ComputeSettings& a, const bemt::ComputeSettings& b);
bool sameValues(const bemt::AirfoilPoint& a, const bemt::AirfoilPoint& b);
bool sameValues(const bemt::ChordPoint& a, const bemt::ChordPoint& b);
bool sameValues(const bemt::TwistPoint& a, const bemt::TwistPoint& b);
bool sameValues(const bemt::PrebendPoint& a, const bemt::PrebendPoint& b);
bool sameValues(const bemt::WindClimate& a, const bemt::WindClimate& b);
bool sameValues(const bemt::TurbineSettings& a, const bemt::TurbineSettings& b);
bool sameValues(const std::optional<bemt::TurbineSettings>& a, const std::optional<bemt::TurbineSettings>& b);
bool sameValues(const std::optional<bemt::StallDelaySettings>& a, const std::optional<bemt::StallDelaySettings>& b);
bool sameValues(const ProjectData& a, const ProjectData& b);

// Equal length and equal elements in order.
template <typename T>
bool sameValues(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameValues(a[i], b[i])) return false;
    }
    return true;
}

}  // namespace korvane
