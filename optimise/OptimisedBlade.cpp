#include "optimise/OptimisedBlade.h"

#include <cmath>
#include <cstdio>

#include "bemt/Common.h"
#include "bemt/NumberText.h"

namespace korvane::optimise {

using namespace bemt;

namespace {

bool variedTsr(const OptimisationSettings& settings, OptimisationObjective objective) {
    return settings.vary_tsr && settings.objective == objective;
}

// The design point turning at the optimised tip speed ratio.
void turnAt(OperatingConditions& c, double tsr) {
    c.Om = tsr * c.V0 / c.R;
    c.TSR = tipSpeedRatioOf(c);
}

}  // namespace

ProjectData withOptimisedBlade(ProjectData project, const OptimisationSettings& settings,
                               const TurbineSettings& turbine, const OptimisationResult& result) {
    project.chordPoints = result.chord;
    project.twistPoints = result.twist;
    if (variedTsr(settings, OptimisationObjective::AnnualEnergy)) {
        project.turbine = turbine;
        project.turbine->tsr_target = result.tsrTarget;
    }
    if (variedTsr(settings, OptimisationObjective::PowerCoefficient)) turnAt(project.conditions, result.tsrTarget);
    project.optimisation = settings;
    return project;
}

BladeComparison compareBlades(BEMTTools& tools, const InputDataSet& input, const TurbineSettings& turbine,
                              const OptimisationSettings& settings, const OptimisationResult& result,
                              const ProgressCallback& progress) {
    BladeComparison comparison;
    comparison.before = summariseBlade(tools, input, turbine, progress);
    InputDataSet after = input;
    after.chordPoints = result.chord;
    after.twistPoints = result.twist;
    TurbineSettings afterTurbine = turbine;
    if (variedTsr(settings, OptimisationObjective::AnnualEnergy)) afterTurbine.tsr_target = result.tsrTarget;
    if (variedTsr(settings, OptimisationObjective::PowerCoefficient)) turnAt(after.conditions, result.tsrTarget);
    comparison.after = summariseBlade(tools, after, afterTurbine, progress);
    return comparison;
}

double ComparisonRow::changePercent() const {
    if (before == 0.0 || !std::isfinite(before) || !std::isfinite(after)) return std::nan("");
    return 100.0 * (after - before) / std::fabs(before);
}

std::vector<ComparisonRow> comparisonRows(const BladeComparison& c) {
    std::vector<ComparisonRow> rows;
    for (std::size_t i = 0; i < c.before.energy.size() && i < c.after.energy.size(); ++i)
        rows.push_back({"Annual energy, " + c.before.energy[i].climate.name + " [MWh]",
                        c.before.energy[i].megawattHours(), c.after.energy[i].megawattHours(), 1});
    rows.push_back({"Cp at the design point", c.before.designCp, c.after.designCp, 4});
    rows.push_back({"Peak Cp of the power curve", c.before.peakCp, c.after.peakCp, 4});
    rows.push_back({"Largest thrust [kN]", c.before.maxThrust * 1e-3, c.after.maxThrust * 1e-3, 2});
    rows.push_back({"Largest root moment [kN m]", c.before.maxRootMoment * 1e-3, c.after.maxRootMoment * 1e-3, 1});
    rows.push_back({"Blade area [m^2]", c.before.area, c.after.area, 2});
    rows.push_back({"Target tip speed ratio", c.before.curve.tsrTarget, c.after.curve.tsrTarget, 3});
    return rows;
}

std::string objectiveText(const OptimisationSettings& settings, const TurbineSettings& turbine) {
    if (settings.objective == OptimisationObjective::PowerCoefficient) return "Cp at the design point";
    const std::string& climate = settings.climate.empty() && !turbine.wind_climates.empty()
                                     ? turbine.wind_climates.front().name
                                     : settings.climate;
    return "annual energy, " + climate;
}

std::string activeLimitsText(const OptimisationResult& result) {
    std::string active;
    for (const std::string& name : result.active) active += (active.empty() ? "" : ", ") + name;
    return active.empty() ? "none" : active;
}

std::string infeasibility(const OptimisationResult& result) {
    return "No blade the optimisation evaluated meets every limit (the nearest exceeds one by " +
           NumberText::shortText(100.0 * result.violation) + " %)";
}

std::string progressText(const OptimisationProgress& p, OptimisationObjective objective) {
    char text[160];
    if (p.iteration == 0) {
        std::snprintf(text, sizeof text, "Optimising the blade: computing the start.");
    } else if (objective == OptimisationObjective::AnnualEnergy) {
        std::snprintf(text, sizeof text, "Optimising the blade (%s): iteration %d, AEP %.1f MWh, violation %.2g.",
                      p.method, p.iteration, p.objective * 1e-6, p.violation);
    } else {
        std::snprintf(text, sizeof text, "Optimising the blade (%s): iteration %d, Cp %.4f, violation %.2g.", p.method,
                      p.iteration, p.objective, p.violation);
    }
    return text;
}

std::string lossText(const BladeComparison& comparison, const OptimisationSettings& settings,
                     const TurbineSettings& turbine) {
    char text[240];
    if (settings.objective == OptimisationObjective::PowerCoefficient) {
        if (!(comparison.after.designCp < comparison.before.designCp)) return {};
        std::snprintf(text, sizeof text, "The optimised blade gives less than the project's: Cp %.4f against %.4f.",
                      comparison.after.designCp, comparison.before.designCp);
        return text;
    }
    const std::string climate = objectiveText(settings, turbine).substr(std::string("annual energy, ").size());
    for (std::size_t i = 0; i < comparison.before.energy.size() && i < comparison.after.energy.size(); ++i) {
        const double before = comparison.before.energy[i].megawattHours();
        const double after = comparison.after.energy[i].megawattHours();
        if (comparison.before.energy[i].climate.name != climate || !(after < before)) continue;
        std::snprintf(text, sizeof text,
                      "The optimised blade gives less than the project's: %.1f MWh against %.1f MWh a year.", after,
                      before);
        return text;
    }
    return {};
}

}  // namespace korvane::optimise
