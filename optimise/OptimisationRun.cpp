#include "optimise/OptimisationRun.h"

#include <cmath>
#include <sstream>

#include "bemt/NumberText.h"
#include "project/json_stream.h"
#include "project/result_json.h"

namespace korvane::optimise {

using namespace bemt;

namespace {

Json pointsJson(const OptimisationResult& r) {
    Json blade = Json::object();
    Json chord = Json::array();
    for (const ChordPoint& p : r.chord) chord.push_back({{"x_rel", p.x_rel}, {"c_rel", p.c_rel}});
    Json twist = Json::array();
    for (const TwistPoint& p : r.twist) twist.push_back({{"x_rel", p.x_rel}, {"twist_deg", p.twist_deg}});
    blade["chord_points"] = std::move(chord);
    blade["twist_points"] = std::move(twist);
    blade["tsr_target"] = r.tsrTarget;
    return blade;
}

Json summaryJson(const BladeSummary& s) {
    Json energy = Json::array();
    for (const AnnualEnergy& e : s.energy) energy.push_back({{"name", e.climate.name}, {"aep_MWh", e.megawattHours()}});
    return {{"aep", std::move(energy)},  {"design_cp", s.designCp},
            {"peak_cp", s.peakCp},       {"max_thrust", s.maxThrust},
            {"max_root_moment", s.maxRootMoment}, {"blade_area", s.area},
            {"tsr_target", s.curve.tsrTarget}};
}

}  // namespace

OptimisationSettings requestedSettings(const ProjectData& project, const OptimisationRequest& o,
                                       const RequestNames& nameOf) {
    OptimisationSettings s = project.optimisation.value_or(OptimisationSettings{});
    if (!o.objective.empty() && !Optimisation::objectiveFromName(o.objective, s.objective))
        throw RefusedRequest(nameOf("objective") + " expects aep or cp, not \"" + o.objective + "\".");
    if (!o.method.empty() && !Optimisation::methodFromName(o.method, s.method))
        throw RefusedRequest(nameOf("method") + " expects auto, slsqp or cobyla, not \"" + o.method + "\".");
    if (!o.start.empty()) {
        if (o.start != "project" && o.start != "designed")
            throw RefusedRequest(nameOf("start") + " expects project or designed, not \"" + o.start + "\".");
        s.start_designed = o.start == "designed";
    }
    if (!o.climate.empty()) s.climate = o.climate;
    if (!o.vary.empty()) {
        s.vary_chord = s.vary_twist = s.vary_tsr = false;
        std::istringstream list(o.vary);
        for (std::string name; std::getline(list, name, ',');) {
            bool& field = name == "chord" ? s.vary_chord : name == "twist" ? s.vary_twist : s.vary_tsr;
            if (name != "chord" && name != "twist" && name != "tsr")
                throw RefusedRequest(nameOf("vary") + " expects a list of chord, twist and tsr, not \"" + o.vary + "\".");
            if (field) throw RefusedRequest(nameOf("vary") + " names " + name + " twice: \"" + o.vary + "\".");
            field = true;
        }
    }
    // Only a program (the Python module) can ask for these; a command line's numbers are checked as typed.
    for (const auto& [key, value] : {std::pair{"max_chord", o.maxChord}, std::pair{"max_thrust", o.maxThrust},
                                     std::pair{"max_thrust_ratio", o.maxThrustRatio},
                                     std::pair{"max_root_moment", o.maxRootMoment}}) {
        if (value && !std::isfinite(*value))
            throw RefusedRequest(nameOf(key) + ": " + bemt::NumberText::shortText(*value) + " is not a finite number.");
    }
    if (o.points) s.control_points = *o.points;
    if (o.budget) s.budget = *o.budget;
    if (o.maxChord) s.max_chord = *o.maxChord;
    // One thrust limit replaces the other.
    if (o.maxThrust) {
        s.max_thrust = *o.maxThrust;
        if (!o.maxThrustRatio) s.max_thrust_ratio = OptimisationSettings::kNone;
    }
    if (o.maxThrustRatio) {
        s.max_thrust_ratio = *o.maxThrustRatio;
        if (!o.maxThrust) s.max_thrust = OptimisationSettings::kNone;
    }
    if (o.maxRootMoment) s.max_root_moment = *o.maxRootMoment;
    if (o.freeRootChord) s.free_root_chord = true;
    const auto problems = Optimisation::problems(s);
    if (problems.empty()) return s;
    const auto& problem = problems.front();
    const std::string name = nameOf(problem.key);
    if (!name.empty()) throw RefusedRequest(name + ": " + problem.message);
    throw bemt::Error("Invalid optimisation setting: \"optimisation." + problem.key + "\": " + problem.message);
}

OptimisationRun runOptimisation(BEMTTools& tools, const InputDataSet& input, const OptimisationSettings& settings,
                                const TurbineSettings& turbine, const OptimisationCallback& progress) {
    OptimisationRun run;
    run.settings = settings;
    run.turbine = turbine;
    run.stallDelay = input.stallDelay;
    run.result = optimiseBlade(input, run.turbine, run.settings, tools.threads(), progress);
    // The comparison is computed after a stop too: the best blade is kept.
    const ProgressCallback quiet = [](int, const std::string&) {};
    run.comparison = compareBlades(tools, input, run.turbine, run.settings, run.result, quiet);
    return run;
}

void writeOptimisationJson(std::ostream& out, const OptimisationRun& run, const std::string& command) {
    const OptimisationResult& r = run.result;
    JsonStream json(out);
    json.member("command", command);
    json.member("stall_delay", stallDelayJson(run.stallDelay));
    json.member("objective", Optimisation::objectiveName(run.settings.objective));
    json.member("method", r.method);
    json.member("end", endName(r.end));
    json.member("feasible", r.feasible);
    json.member("evaluations", r.evaluations);
    json.member("thrust_limit", r.thrustLimit);
    json.member("root_moment_limit", r.rootMomentLimit);
    json.member("active", r.active);
    json.member("before", summaryJson(run.comparison.before));
    json.member("after", summaryJson(run.comparison.after));
    json.member("blade", pointsJson(r));
    json.beginArray("history");
    for (const OptimisationRecord& h : r.history)
        json.item({{"iteration", h.iteration}, {"evaluations", h.evaluations}, {"objective", h.objective},
                   {"max_thrust", h.maxThrust}, {"violation", h.violation}, {"feasible", h.feasible}});
    json.endArray();
    json.finish();
}

}  // namespace korvane::optimise
