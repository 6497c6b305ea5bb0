#pragma once
// The results of the computations as JSON documents (SI units, angles in degrees) and
// the names of their quantities, in one place: korvane-cli writes these documents, and
// the Python module gives the same quantities as arrays and dictionaries by the same keys.

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "bemt/BEMTTools.h"
#include "project/json_stream.h"
#include "project/project_data.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"
#include "turbine/TurbineController.h"

namespace korvane {

// What op, design and char compute.
enum class Computation { OperatingPoint, Design, Characteristics };

struct CommandResult {
    Computation computation = Computation::OperatingPoint;
    std::string command;  // the subcommand's name: JSON "command", CSV file names
    std::string projectPath;
    ProjectData project;  // after the command line's overrides
    std::vector<bemt::pitchControlledOperatingPoint> points;           // op, design
    std::optional<bemt::DesignedBlade> design;                         // design
    std::vector<bemt::pitchControlledCharacteristicElement> steps;     // char
};

struct PowerCurveResult {
    std::string command;   // the subcommand's name, as the JSON document names it
    std::string projectPath;
    bemt::TurbineSettings settings;
    bemt::PowerCurve curve;
    std::vector<bemt::AnnualEnergy> energy;
    std::string model;     // the rotor model and switches off, empty for the plain one (modelText)
    std::optional<bemt::StallDelayInput> stallDelay;  // how the polars were corrected
};

// One blade element with the derived quantities the outputs show.
struct ElementRow {
    double x_rel, r, c, twist_deg, phi_deg, alpha_deg, alpha_opt_deg, a, a_, cl, cd, F, Re, dP, dT;
    bool converged, extrapolated;
};
ElementRow elementRow(const bemt::Solution& s, double pitch, const bemt::OperatingConditions& conditions);

// The quantities of one kind of row by their keys, in the order the documents give them:
// the numbers, then the yes/no flags.
template <typename Row>
struct RowFields {
    std::vector<std::pair<const char*, double (*)(const Row&)>> numbers;
    std::vector<std::pair<const char*, bool (*)(const Row&)>> flags;

    Json json(const Row& row) const {
        Json j = Json::object();
        for (const auto& [key, value] : numbers) j[key] = value(row);
        for (const auto& [key, value] : flags) j[key] = value(row);
        return j;
    }
};
const RowFields<ElementRow>& elementFields();
// An operating point's totals at its pitch angle.
const RowFields<bemt::pitchControlledOperatingPoint>& pointFields();
const RowFields<bemt::PowerCurvePoint>& powerCurveFields();
// The matrices of a performance surface (rows by tip speed ratio, columns by pitch).
const std::vector<std::pair<const char*, std::vector<std::vector<double>> bemt::PerformanceSurface::*>>&
surfaceMatrices();

// The rotor model and the switches that are off, for a summary header ("precone 2.5°,
// 8 sectors; no tip loss"); empty for the plain rotor with every switch on.
std::string modelText(const ProjectData& project);
// The project as the result was computed: the blade design keeps the plain rotor.
ProjectData computedProject(const CommandResult& result);
// The radius the result's coefficients are on: the swept radius of a coned rotor.
double sweptRadius(const CommandResult& result);
// Whether and how the polars were corrected, for every result document:
// {"corrected": false}, or the settings with the tip speed ratio of the model.
Json stallDelayJson(const std::optional<bemt::StallDelayInput>& used);
// The same in one line for the summaries.
std::string polarsNote(const std::optional<bemt::StallDelayInput>& used);

// The documents of op, design and char; power-curve; surface (command: the JSON
// "command"; stallDelay: how its polars were corrected). Each is written point by point
// or row by row.
void writeJson(std::ostream& out, const CommandResult& result);
std::string powerCurveJson(const PowerCurveResult& result);
void writeSurfaceJson(std::ostream& out, const bemt::PerformanceSurface& surface, const std::string& command,
                      const std::optional<bemt::StallDelayInput>& stallDelay);

}  // namespace korvane
