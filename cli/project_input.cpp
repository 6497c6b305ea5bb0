#include "cli/project_input.h"

#include <cmath>
#include <cstdio>

#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"
#include "bemt/ToolsAirfoil.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::cli {

using namespace bemt;
namespace Limits = bemt::Limits;

RangeLimits pitchLimits() {
    return {&Limits::pitchAngle, &Limits::pitchStep, Limits::kMaxPitchPositions, "the pitch range"};
}

RangeLimits characteristicsLimits() {
    return {&Limits::rangeValue, &Limits::rangeStep, Limits::kMaxCharacteristicSteps, "the characteristics range"};
}

RangeLimits windLimits() {
    return {&Limits::windSpeed, &Limits::windStep, Limits::kMaxWindSpeeds, "the wind speed range"};
}

RangeLimits tipSpeedRatioLimits() {
    return {&Limits::tipSpeedRatio, &Limits::tipSpeedRatioStep, Limits::kMaxSurfaceTipSpeedRatios,
            "the tip speed ratio range"};
}

std::string numberFormNote(std::string_view text, char separator) {
    for (;;) {
        const std::size_t end = text.find(separator);
        const std::string field(text.substr(0, end));
        const auto kind = NumberText::wholeDouble(field).kind;
        if (kind == NumberText::Whole::NotFinite) return " (" + field + " is not a finite number)";
        if (kind == NumberText::Whole::NotANumber && separator != ',' && hasDecimalComma(field))
            return " (" + field + " is written with a decimal comma; write a decimal point)";
        if (end == std::string_view::npos) return std::string();
        text.remove_prefix(end + 1);
    }
}

SweepRange parseRange(const std::string& text, const std::string& option, const RangeLimits& limits) {
    const auto values = NumberText::wholeDoubles(text, ':');
    if (!values || (values->size() != 1 && values->size() != 3))
        throw OptionError{option + " expects VALUE or MIN:MAX:STEP, not \"" + text + "\"" + numberFormNote(text, ':') +
                          "."};
    const std::vector<double>& v = *values;
    const SweepRange range = v.size() == 1 ? SweepRange{v[0], v[0], 1.0} : SweepRange{v[0], v[1], v[2]};
    auto refuse = [&](const std::string& problem) { throw OptionError{option + " " + text + ": " + problem}; };
    for (double value : {range.min, range.max}) {
        if (const auto refusal = limits.value->check(value)) refuse(*refusal);
    }
    if (v.size() == 3) {
        if (const auto refusal = limits.step->check(range.step)) refuse(*refusal);
    }
    // The option's text shows the step next to the range it belongs to.
    if (range.fault() == SweepRange::Fault::NoStep) refuse("the step must be greater than zero.");
    if (const auto refusal = range.refusal(limits.what)) refuse(*refusal);
    if (const auto refusal = range.sizeRefusal(limits.what, limits.maxPositions)) refuse(*refusal);
    return range;
}

ProjectData loadProject(const std::string& path) { return kvp::read(readTextFile(path), path); }

void applyOverrides(ProjectData& project, const Overrides& o) {
    SolverSettings& s = project.solverSettings;
    ComputeSettings& c = project.computeSettings;
    if (o.solver) s.solver = *o.solver;
    if (o.elements) s.n_elements = *o.elements;
    if (o.accuracy) s.accuracy = *o.accuracy;
    if (o.maxIterations) s.max_iterations = *o.maxIterations;
    if (o.chordLimit) c.design_c_limit = *o.chordLimit;
    if (o.pitch) {
        c.enable_pitch = true;
        c.p_min = o.pitch->min;
        c.p_max = o.pitch->max;
        c.p_step = o.pitch->step;
    }
    if (o.range) {
        c.ran_min = o.range->min;
        c.ran_max = o.range->max;
        c.ran_step = o.range->step;
    }
    if (o.rangeType) c.range_type = *o.rangeType;
    if (o.interpolation) c.enable_interpolation = *o.interpolation;
    applyRotorOverrides(project, o.rotor);
    if (o.stallLift) {
        if (!project.stall_delay) project.stall_delay.emplace();
        project.stall_delay->lift = *o.stallLift;
    }
    if (o.stallDrag) {
        if (!StallDelay::corrects(project.stall_delay))
            throw OptionError{"--stall-drag " + StallDelay::dragName(*o.stallDrag) +
                              " changes nothing: the project corrects no polar for stall delay; give --stall-delay "
                              "du_selig or snel as well."};
        project.stall_delay->drag = *o.stallDrag;
    }
}

const char* solverName(SolverType solver) {
    switch (solver) {
        case Ning: return "Ning";
        case NewtonRaphson: return "Newton-Raphson";
        default: return "2D fixed point";
    }
}

}  // namespace korvane::cli
