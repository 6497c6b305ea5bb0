#include "cli/project_input.h"

#include <cmath>
#include <cstdio>

#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"
#include "bemt/ToolsAirfoil.h"
#include "cli/airfoil_segments.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::cli {

using namespace bemt;
namespace Limits = bemt::Limits;

namespace {

[[noreturn]] void invalid(const std::string& problem) { throw bemt::Error("Invalid project value: " + problem); }

template <typename Point, typename Value>
void requirePoints(const std::vector<Point>& points, Value Point::*value, const char* what) {
    if (points.size() < 2) invalid(std::string("the blade needs at least two ") + what + " points.");
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!std::isfinite(points[i].x_rel) || !std::isfinite(points[i].*value))
            invalid(std::string(what) + " point " + std::to_string(i + 1) + " holds a value that is not a number.");
        if (i > 0 && !(points[i].x_rel > points[i - 1].x_rel))
            invalid(std::string(what) + " points must be ordered by increasing x/R (point " + std::to_string(i + 1)
                    + ").");
    }
}

}  // namespace

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

void checkForComputation(const ProjectData& project) {
    // Each value lies within its limits already (the project reader and the options
    // refuse the rest); what remains are the rules between values.
    const OperatingConditions& c = project.conditions;
    if (!(c.Rh < c.R))
        invalid("the hub radius Rh (" + NumberText::shortText(c.Rh) + " m) must be at least 0 and smaller than the rotor radius R ("
                + NumberText::shortText(c.R) + " m).");
    requirePoints(project.chordPoints, &ChordPoint::c_rel, "chord");
    requirePoints(project.twistPoints, &TwistPoint::twist_deg, "twist");
    if (project.airfoilPoints.size() < 2) invalid("the blade needs at least two airfoil points.");
    if (const auto refusal = BEMTTools::pitchRange(project.computeSettings).refusal("the pitch range", true))
        invalid(*refusal);
}

InputDataSet computationInput(const ProjectData& project, const std::function<void(int, const std::string&)>& progress,
                              const std::function<bool()>& interrupted) {
    InputDataSet input;
    input.settings = project.solverSettings;
    input.conditions = project.conditions;
    input.segments = buildAirfoilSegments(ToolsAirfoil::withBladeDefaults(project.airfoilPoints, project.chordPoints),
                                          project.conditions, progress, interrupted);
    input.chordPoints = project.chordPoints;
    input.twistPoints = project.twistPoints;
    input.stallDelay = stallDelayInput(project);
    return input;
}

const char* solverName(SolverType solver) {
    switch (solver) {
        case Ning: return "Ning";
        case NewtonRaphson: return "Newton-Raphson";
        default: return "2D fixed point";
    }
}

}  // namespace korvane::cli
