#pragma once
// One blade optimisation as korvane-cli optimise and the Python module's
// Project.optimise run it: the settings a request gives in place of the project's, the
// optimisation with the before/after figures of both blades (compareBlades), and the
// JSON document of korvane-cli optimise --json.

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "optimise/BladeOptimiser.h"
#include "optimise/OptimisedBlade.h"
#include "project/project_data.h"

namespace korvane::optimise {

// The optimisation settings asked for in place of the project's (the command line's
// options, the Python method's arguments); empty: the project's.
struct OptimisationRequest {
    std::string objective;   // aep, cp
    std::string climate;
    std::string vary;        // a list of chord, twist and tsr
    std::string method;      // auto, slsqp, cobyla
    std::string start;       // project, designed
    std::optional<int> points;
    std::optional<int> budget;
    std::optional<double> maxChord;
    std::optional<double> maxThrust;
    std::optional<double> maxThrustRatio;
    std::optional<double> maxRootMoment;
    bool freeRootChord = false;
};

// A request the settings refuse, in the caller's words (see requestedSettings).
class RefusedRequest : public bemt::Error {
public:
    using bemt::Error::Error;
};

// The request's names of the settings keys, for refusals: key is "objective", "method",
// "start", "vary", "control_points", "budget", "max_chord", "max_thrust_ratio",
// "max_thrust" or "max_root_moment"; the name returned is the option's or argument's ("--points", "points").
using RequestNames = std::function<std::string(const std::string& key)>;

// The project's optimisation settings with the request's in their place (one thrust limit
// replacing the other). Throws RefusedRequest ("NAME expects aep or cp, not \"x\".",
// "NAME: ...limits...") naming the request's own words, and bemt::Error for a project's
// setting out of its limits.
OptimisationSettings requestedSettings(const ProjectData& project, const OptimisationRequest& request,
                                       const RequestNames& nameOf);

// What an optimisation computed.
struct OptimisationRun {
    OptimisationSettings settings;
    bemt::TurbineSettings turbine;
    OptimisationResult result;
    BladeComparison comparison;   // the starting and the best blade
    std::optional<bemt::StallDelayInput> stallDelay;  // how the polars were corrected
};

// Optimises the blade of input (the project's, ready to compute) and compares the
// starting and the best blade; a stop through progress ends the search (result.end is
// Stopped) and the summaries are still computed.
OptimisationRun runOptimisation(bemt::BEMTTools& tools, const bemt::InputDataSet& input,
                                const OptimisationSettings& settings, const bemt::TurbineSettings& turbine,
                                const OptimisationCallback& progress);

// korvane-cli optimise's JSON document; command is the subcommand's name.
void writeOptimisationJson(std::ostream& out, const OptimisationRun& run, const std::string& command);

}  // namespace korvane::optimise
