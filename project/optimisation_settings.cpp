#include "project/optimisation_settings.h"

#include <cmath>
#include <utility>

#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"

namespace korvane {

namespace {

bool sameLimit(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

bool sameValues(const OptimisationSettings& a, const OptimisationSettings& b) {
    return a.objective == b.objective && a.climate == b.climate && a.control_points == b.control_points
           && a.vary_chord == b.vary_chord && a.vary_twist == b.vary_twist && a.vary_tsr == b.vary_tsr
           && a.free_root_chord == b.free_root_chord && a.start_designed == b.start_designed && sameLimit(a.max_chord, b.max_chord)
           && sameLimit(a.max_thrust, b.max_thrust) && sameLimit(a.max_thrust_ratio, b.max_thrust_ratio)
           && sameLimit(a.max_root_moment, b.max_root_moment)
           && a.monotonic_chord == b.monotonic_chord && a.monotonic_twist == b.monotonic_twist
           && a.chord_min == b.chord_min && a.chord_max == b.chord_max && a.twist_min == b.twist_min
           && a.twist_max == b.twist_max && a.method == b.method && a.budget == b.budget
           && a.tolerance == b.tolerance;
}

bool sameValues(const std::optional<OptimisationSettings>& a, const std::optional<OptimisationSettings>& b) {
    return a.has_value() == b.has_value() && (!a || sameValues(*a, *b));
}

namespace Optimisation {

namespace {

const std::pair<OptimisationObjective, const char*> kObjectives[] = {
    {OptimisationObjective::AnnualEnergy, "aep"}, {OptimisationObjective::PowerCoefficient, "cp"}};
const std::pair<OptimisationMethod, const char*> kMethods[] = {
    {OptimisationMethod::Automatic, "auto"}, {OptimisationMethod::Slsqp, "slsqp"}, {OptimisationMethod::Cobyla, "cobyla"}};

template <typename Enum, std::size_t N>
std::string nameIn(const std::pair<Enum, const char*> (&table)[N], Enum value) {
    for (const auto& [entry, name] : table)
        if (entry == value) return name;
    return {};
}

template <typename Enum, std::size_t N>
bool valueIn(const std::pair<Enum, const char*> (&table)[N], const std::string& name, Enum& value) {
    for (const auto& [entry, entryName] : table) {
        if (name != entryName) continue;
        value = entry;
        return true;
    }
    return false;
}

}  // namespace

std::string objectiveName(OptimisationObjective objective) { return nameIn(kObjectives, objective); }
bool objectiveFromName(const std::string& name, OptimisationObjective& objective) {
    return valueIn(kObjectives, name, objective);
}
std::string methodName(OptimisationMethod method) { return nameIn(kMethods, method); }
bool methodFromName(const std::string& name, OptimisationMethod& method) { return valueIn(kMethods, name, method); }

std::vector<OptimisationProblem> problems(const OptimisationSettings& s) {
    namespace Limits = bemt::Limits;
    std::vector<OptimisationProblem> found;
    auto check = [&found](const char* key, double value, const bemt::ValueLimit& limit) {
        if (const auto refusal = limit.check(value)) found.push_back({key, *refusal});
    };
    // A limit left out (NaN) is no limit.
    auto checkStated = [&check](const char* key, double value, const bemt::ValueLimit& limit) {
        if (!std::isnan(value)) check(key, value, limit);
    };
    check("budget", s.budget, Limits::evaluationBudget);
    check("chord_max", s.chord_max, Limits::relativeChord);
    check("chord_min", s.chord_min, Limits::relativeChord);
    auto ordered = [&found](const char* key, const char* what, double lo, double hi) {
        if (!(lo < hi))
            found.push_back({key, std::string("the lower ") + what + " bound " + bemt::NumberText::shortText(lo) +
                                      " must be below the upper, " + bemt::NumberText::shortText(hi) + "."});
    };
    ordered("chord_min", "chord", s.chord_min, s.chord_max);
    check("control_points", s.control_points, Limits::controlPoints);
    checkStated("max_chord", s.max_chord, Limits::maxChord);
    checkStated("max_root_moment", s.max_root_moment, Limits::maxRootMoment);
    checkStated("max_thrust", s.max_thrust, Limits::maxThrust);
    checkStated("max_thrust_ratio", s.max_thrust_ratio, Limits::thrustRatio);
    if (!std::isnan(s.max_thrust) && !std::isnan(s.max_thrust_ratio))
        found.push_back({"max_thrust", "give one thrust limit, max_thrust or max_thrust_ratio, not both."});
    check("tolerance", s.tolerance, Limits::optimisationTolerance);
    check("twist_max", s.twist_max, Limits::twist);
    check("twist_min", s.twist_min, Limits::twist);
    ordered("twist_min", "twist", s.twist_min, s.twist_max);
    if (!s.vary_chord && !s.vary_twist && !s.vary_tsr)
        found.push_back({"vary", "name at least one of chord, twist and tsr."});
    return found;
}

}  // namespace Optimisation

}  // namespace korvane
