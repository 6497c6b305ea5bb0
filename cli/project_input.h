#pragma once
// From a project file to the core's input: reading, the user's overrides from the
// command line, the checks that turn impossible values into clear messages before any
// computation starts, and the input record with its airfoil segments.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "project/computation_input.h"
#include "project/project_data.h"
#include "bemt/BEMTTools.h"
#include "bemt/ValueLimits.h"
#include "cli/rotor_options.h"

namespace korvane::cli {

// Values given on the command line that replace the project's own.
struct Overrides {
    std::optional<bemt::SolverType> solver;
    std::optional<int> elements;
    std::optional<double> accuracy;
    std::optional<int> maxIterations;
    std::optional<double> chordLimit;
    std::optional<bemt::SweepRange> pitch;   // switches pitch regulation on
    std::optional<bemt::SweepRange> range;   // characteristics range
    std::optional<bemt::ComputeRangeType> rangeType;
    std::optional<bool> interpolation;
    RotorOverrides rotor;
    std::optional<bemt::StallLift> stallLift;   // none switches the stall delay off
    std::optional<bemt::StallDrag> stallDrag;
};

// A wrong command line (exit status 2), with the message for the user.
struct OptionError {
    std::string message;
};

// What a range option accepts: its values, its step and the most positions.
struct RangeLimits {
    const bemt::ValueLimit* value;
    const bemt::ValueLimit* step;
    int maxPositions;
    const char* what;  // "the pitch range"
};
RangeLimits pitchLimits();
RangeLimits characteristicsLimits();
RangeLimits windLimits();
RangeLimits tipSpeedRatioLimits();

// Why text meant as numbers separated by separator is none, in parentheses: a field
// with a decimal comma (unless commas separate) or beyond the range of a double; empty
// for anything else.
std::string numberFormNote(std::string_view text, char separator);

// "VALUE" or "MIN:MAX:STEP" within limits; throws OptionError naming the option, the
// value and the limit for anything else.
bemt::SweepRange parseRange(const std::string& text, const std::string& option, const RangeLimits& limits);

// Reads and checks a whole project file; its airfoil paths become absolute.
ProjectData loadProject(const std::string& path);

// Throws OptionError for --stall-drag on a project that corrects no polar.
void applyOverrides(ProjectData& project, const Overrides& overrides);

const char* solverName(bemt::SolverType solver);

}  // namespace korvane::cli
