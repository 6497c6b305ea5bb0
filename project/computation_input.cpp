#include "project/computation_input.h"

#include <cmath>
#include <mutex>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ToolsAirfoil.h"
#include "project/text_file.h"

namespace korvane {

using namespace bemt;

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

std::vector<AirfoilSegment> airfoilSegments(const std::vector<AirfoilPoint>& points, const OperatingConditions& conditions,
                                            const std::function<void(int, const std::string&)>& progress,
                                            const std::function<bool()>& interrupted, const AirfoilFileOpener& openFile) {
    // The builder deletes the streams openFile gives.
    std::mutex reporting;
    auto report = [&](int percent, std::string text) {
        // Workers report concurrently; the terminal is drawn by one at a time.
        const std::lock_guard<std::mutex> lock(reporting);
        progress(percent, text);
    };
    // The XFOIL channels test the interruption while they wait on XFOIL, so Ctrl-C ends
    // the running analyses at once, and nothing waits on a timer when none runs.
    bemt::XfoilCommunicator::Settings channel;
    channel.interrupted = interrupted;
    return bemt::ToolsAirfoil::segmentsFromPoints(points, openFile, conditions, report, nullptr, channel);
}

}  // namespace

AirfoilFileOpener diskFiles() {
    return [](std::string path) { return korvane::openTextStream(path); };
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
    if (!project.prebendPoints.empty()) requirePoints(project.prebendPoints, &PrebendPoint::value, "prebend");
    // The options and the project reader check each rotor value; the hub height for a
    // shear exponent may come from either.
    for (const auto& problem : Rotor::problems(project.rotor, c.R)) invalid(problem.message);
    if (const auto refusal = BEMTTools::pitchRange(project.computeSettings).refusal("the pitch range", true))
        invalid(*refusal);
}

InputDataSet computationInput(const ProjectData& project, const std::function<void(int, const std::string&)>& progress,
                              const std::function<bool()>& interrupted, const AirfoilFileOpener& openFile) {
    InputDataSet input;
    input.settings = project.solverSettings;
    input.conditions = project.conditions;
    input.segments = airfoilSegments(ToolsAirfoil::withBladeDefaults(project.airfoilPoints, project.chordPoints),
                                     project.conditions, progress, interrupted, openFile);
    input.chordPoints = project.chordPoints;
    input.twistPoints = project.twistPoints;
    input.rotor = project.rotor;
    input.prebendPoints = project.prebendPoints;
    input.stallDelay = stallDelayInput(project);
    input.blendAirfoils = project.computeSettings.enable_interpolation;
    return input;
}

void checkCommandSettings(Computation computation, const ProjectData& project) {
    const ComputeSettings& c = project.computeSettings;
    if (computation == Computation::Design) {
        if (const auto refusal = designElementsRefusal(project.solverSettings.n_elements))
            throw bemt::Error(*refusal + " Raise the project's number of elements or give --elements.");
        if (!(std::isfinite(c.design_c_limit) && c.design_c_limit > 0.0))
            throw bemt::Error("Invalid project value: the chord limit of the design must be a positive number.");
    }
    if (computation == Computation::Characteristics) {
        if (const auto refusal = BEMTTools::characteristicsRange(c).refusal("the characteristics range", true))
            throw bemt::Error("Invalid project value: " + *refusal);
    }
}


}  // namespace korvane
