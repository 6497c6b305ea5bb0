#pragma once
// The arithmetic and refusals of the compute panel, apart from its controls: the
// characteristics range fields that follow each other, and the pitch positions a
// computation may sweep.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bemt/Records.h"
#include "bemt/SweepRange.h"
#include "bemt/ValueLimits.h"

namespace compute_rules {

// The most pitch angles one computation sweeps.
constexpr int kMaxPitchPositions = bemt::Limits::kMaxGuiPitchPositions;
// The most steps of a characteristics range.
constexpr int kMaxSteps = bemt::Limits::kMaxCharacteristicSteps;

// Number of values of the range min, min + step, ... up to max, counted as the
// characteristics sweep counts them. Empty when the fields do not make a range.
std::optional<int> rangeSteps(double min, double max, double step);

// The refusal of a pitch sweep, as a caption and a message; empty when it may run.
struct Refusal {
    std::string caption;
    std::string message;
};
std::optional<Refusal> pitchRefusal(const bemt::ComputeSettings& settings);
// Number of pitch angles the settings ask for (1 without pitch regulation); 0 when the
// range is empty or malformed.
int pitchPositions(const bemt::ComputeSettings& settings);

// The message for the first airfoil point that reads its data from a file but names
// none (points that repeat the previous one read nothing); empty when every file is named.
std::optional<std::string> missingAirfoilFile(const std::vector<bemt::AirfoilPoint>& points);

// The fields of a performance surface's grid, in the order of the Turbine page.
enum SurfaceField { TsrMin, TsrMax, TsrStep, PitchMin, PitchMax, PitchStep, SurfaceWind, kSurfaceFields };
// Whether each field of the grid is at fault for the grid's refusal: one end of a range
// that runs backwards (of the tip speed ratio's and the pitch's, the end backwardsEnds
// names: the one the user typed last), a step that does not move along a span, a first
// tip speed ratio not above zero, a pitch or wind out of its range, and both steps when
// the grid has more points than a surface may.
std::array<bool, kSurfaceFields> surfaceGridFaults(double wind, const bemt::SweepRange& tsr,
                                                   const bemt::SweepRange& pitch,
                                                   std::array<SurfaceField, 2> backwardsEnds = {TsrMax, PitchMax});

}  // namespace compute_rules
