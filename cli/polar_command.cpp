#include "cli/polar_command.h"

#include <cmath>

#include "bemt/Common.h"
#include "bemt/NumberText.h"
#include "bemt/PositionPolar.h"
#include "cli/result_output.h"

namespace korvane::cli {

using namespace bemt;

namespace {

struct PolarResult {
    std::string command;
    std::string projectPath;
    std::optional<StallDelayInput> stallDelay;
    double x = 0.0;
    double r = 0.0;
    double chord = 0.0;
    double reynolds = 0.0;
    StallDelayCorrection correction;
    std::vector<PolarSample> points;
};

// The hub holds no blade: a position inside it has no polar.
void checkPosition(double x, const ProjectData& project) {
    const double hub = project.conditions.Rh / project.conditions.R;
    if (x < hub)
        throw OptionError{"--at " + NumberText::shortText(x) + " lies inside the hub: give x/R from " +
                          NumberText::shortText(hub) + " (Rh/R) to 1."};
}

// Every whole degree within the airfoil data.
SweepRange defaultAngles(PositionPolar& polar) {
    return {std::ceil(polar.alphaMinDeg()), std::floor(polar.alphaMaxDeg()), 1.0};
}

Json correctionJson(const PolarResult& r) {
    Json j = stallDelayJson(r.stallDelay);
    if (!r.stallDelay) return j;
    const StallDelayCorrection& c = r.correction;
    j["applied"] = c.active();
    j["c_over_r"] = r.chord / r.r;
    j["factor"] = c.factor();
    j["lift_slope_per_rad"] = c.line().slope;
    j["alpha0_deg"] = Common::rad2deg(c.line().alpha0);
    return j;
}

std::string polarJson(const PolarResult& r) {
    Json root;
    root["command"] = r.command;
    root["x_rel"] = r.x;
    root["r"] = r.r;
    root["chord"] = r.chord;
    root["reynolds"] = r.reynolds;
    root["correction"] = correctionJson(r);
    Json points = Json::array();
    for (const PolarSample& p : r.points)
        points.push_back(Json{{"alpha_deg", p.alphaDeg}, {"cl", p.cl}, {"cd", p.cd}, {"cl_2d", p.cl2d}, {"cd_2d", p.cd2d}});
    root["points"] = std::move(points);
    return root.dump(2) + "\n";
}

std::string polarCsv(const PolarResult& r) {
    std::string text = "alpha [deg],cl [-],cd [-],cl_2d [-],cd_2d [-]\n";
    for (const PolarSample& p : r.points) {
        for (const double v : {p.alphaDeg, p.cl, p.cd, p.cl2d})
            text += csvNumber(v) + ",";
        text += csvNumber(p.cd2d) + "\n";
    }
    return text;
}

void printPolar(std::FILE* out, const PolarResult& r) {
    std::fprintf(out, "Polar at x/R %.4g (r %.4g m, chord %.4g m, Re %.4g): %s\n", r.x, r.r, r.chord, r.reynolds,
                 r.projectPath.c_str());
    if (r.stallDelay) {
        std::fprintf(out, "Stall delay factor %.4g, lift line %.4g per rad through %.4g deg%s\n", r.correction.factor(),
                     r.correction.line().slope, Common::rad2deg(r.correction.line().alpha0),
                     r.correction.active() ? "" : " (not applied here)");
    }
    std::fprintf(out, "\n%11s %10s %10s %10s %10s\n", "alpha [deg]", "cl", "cd", "cl 2D", "cd 2D");
    for (const PolarSample& p : r.points)
        std::fprintf(out, "%11.4g %10.4f %10.5f %10.4f %10.5f\n", p.alphaDeg, p.cl, p.cd, p.cl2d, p.cd2d);
}

}  // namespace

RangeLimits polarAngleLimits() {
    return {&Limits::xfoilAngle, &Limits::xfoilAngleStep, Limits::kMaxXfoilAngles, "the angle range"};
}

int runPolar(const std::string& command, const ComputeOptions& options, const PolarOptions& polar) {
    PolarResult result;
    result.command = command;
    result.projectPath = options.projectPath;
    const auto project = runOnProject(
        options, [&](ProjectData& p) { checkPosition(polar.x, p); },
        [&](BEMTTools&, const InputDataSet& input, const ProjectData&, const ProgressCallback&) {
            // The copies share the polars, which nothing else uses meanwhile.
            std::vector<AirfoilSegment> segments = input.segments;
            PositionPolar at(segments, input.chordPoints, input.conditions, input.stallDelay, polar.x, input.blendAirfoils);
            result.stallDelay = input.stallDelay;
            result.x = at.x();
            result.r = at.radius();
            result.chord = at.chord();
            result.reynolds = at.reynolds();
            result.correction = at.correction();
            result.points = at.at(polar.alpha.value_or(defaultAngles(at)).values());
        });
    if (!project) return kAborted;
    writeOutputs({[&](std::ostream& out) { out << polarJson(result); },
                  [&] { return wholeTexts({{"polar.csv", polarCsv(result)}}); },
                  [&](std::FILE* out) { printPolar(out, result); }},
                 options, *project);
    return kSuccess;
}

}  // namespace korvane::cli
