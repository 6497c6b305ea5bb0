#include "optimise/BladeOptimiser.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <nlopt.hpp>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/spline.h"
#include "bemt/PolarCopies.h"
#include "optimise/BladeVariables.h"
#include "optimise/EvaluationPool.h"

namespace korvane::optimise {

using namespace bemt;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Forward-difference step in the scaled variables: 0.1 % of each variable's range (a
// chord step of 2.5e-4 R, a twist step of 0.05 degrees by default), well above the noise
// the power curve's pitch search leaves in the thrust.
constexpr double kStep = 1e-3;
// A blade is feasible when its linear limits hold to this (scaled variables: a chord
// of 2.5e-5 R, a twist of 0.005 degrees by default) and its loads exceed their limits by
// no more than this share.
constexpr double kLinearTolerance = 1e-4;
constexpr double kLoadTolerance = 5e-4;
// A limit within this share of its bound is reported as active.
constexpr double kActiveShare = 1e-3;
// COBYLA's first step in the scaled variables.
constexpr double kCobylaStep = 0.05;

// A load limit: the response's value and its bound.
struct LoadLimit {
    const char* name;
    double (*value)(const BladeResponse&);
    double bound;
};

// Why a run of one method ended, before the result is put together.
enum class Ending { Success, Budget, Stop, Failure };

class Search {
public:
    Search(EvaluationPool& pool, const BladeVariables& variables, const OptimisationSettings& settings,
           double reference, std::vector<LoadLimit> limits, const OptimisationCallback& progress,
           OptimisationProgress& state)
        : m_pool(pool), m_variables(variables), m_settings(settings), m_reference(reference),
          m_limits(std::move(limits)), m_progress(progress), m_state(state), m_n(variables.count()),
          m_m(variables.linearLimits() + static_cast<int>(m_limits.size())) {
        m_base.resize(m_n);
        m_points.resize(static_cast<std::size_t>(m_n + 1) * m_n);
        m_steps.resize(m_n);
        m_responses.resize(m_n + 1);
        m_neighbours.resize(m_n);
        m_limitValues.resize(m_m);
        m_best.resize(m_n);
        m_history.reserve(static_cast<std::size_t>(settings.budget) + 1);
    }

    // One method from x (scaled) with what is left of the budget.
    Ending run(nlopt::algorithm algorithm, std::vector<double>& x) {
        nlopt::opt opt(algorithm, m_n);
        m_opt = &opt;
        m_method = algorithm == nlopt::LD_SLSQP ? "SLSQP" : "COBYLA";
        m_ending = Ending::Success;
        opt.set_lower_bounds(0.0);
        opt.set_upper_bounds(1.0);
        opt.set_min_objective(&Search::objective, this);
        if (m_m > 0) opt.add_inequality_mconstraint(&Search::constraints, this, std::vector<double>(m_m, 0.0));
        opt.set_ftol_rel(m_settings.tolerance);
        if (algorithm == nlopt::LN_COBYLA) opt.set_initial_step(kCobylaStep);
        double f = 0.0;
        try {
            const nlopt::result result = opt.optimize(x, f);
            if (m_ending == Ending::Success && result < 0) m_ending = Ending::Failure;
        } catch (const nlopt::forced_stop&) {
            // m_ending says why
        } catch (const std::exception&) {
            // round-off, failure: the best blade so far stands
            if (m_ending == Ending::Success) m_ending = Ending::Failure;
        }
        m_opt = nullptr;
        if (m_failure) std::rethrow_exception(m_failure);
        return m_ending;
    }

    bool anyFeasible() const { return m_bestFeasible; }
    bool anyBlade() const { return m_haveBest; }
    // The best feasible blade, or the least infeasible one when none is feasible.
    const std::vector<double>& best() const { return m_best; }
    const BladeResponse& bestResponse() const { return m_bestResponse; }
    double bestViolation() const { return m_bestViolation; }
    int evaluations() const { return m_evaluations; }
    std::vector<OptimisationRecord>& history() { return m_history; }

    // The limit values of the best blade (linear ones, then the loads).
    const std::vector<double>& bestLimits() {
        m_variables.linearValues(m_best.data(), m_limitValues.data(), nullptr);
        for (std::size_t k = 0; k < m_limits.size(); ++k)
            m_limitValues[m_variables.linearLimits() + k] = loadValue(k, m_bestResponse);
        return m_limitValues;
    }

private:
    double loadValue(std::size_t k, const BladeResponse& response) const {
        return m_limits[k].value(response) / m_limits[k].bound - 1.0;
    }

    static double objective(unsigned, const double* x, double* gradient, void* data) {
        auto& self = *static_cast<Search*>(data);
        if (!self.guarded([&] { self.evaluate(x, gradient != nullptr); })) return self.m_lastObjective;
        const double scale = -1.0 / self.m_reference;
        const double value = self.m_baseResponse.objective;
        if (gradient) {
            for (int i = 0; i < self.m_n; ++i)
                gradient[i] = scale * (self.m_neighbours[i].objective - value) / self.m_steps[i];
        }
        self.m_lastObjective = scale * value;
        return self.m_lastObjective;
    }

    static void constraints(unsigned, double* result, unsigned, const double* x, double* gradient, void* data) {
        auto& self = *static_cast<Search*>(data);
        const int linear = self.m_variables.linearLimits();
        self.m_variables.linearValues(x, result, gradient);
        if (!self.guarded([&] { self.evaluate(x, gradient != nullptr); })) {
            std::fill(result + linear, result + self.m_m, 0.0);
            return;
        }
        for (std::size_t k = 0; k < self.m_limits.size(); ++k) {
            const std::size_t row = linear + k;
            result[row] = self.loadValue(k, self.m_baseResponse);
            if (!gradient) continue;
            for (int i = 0; i < self.m_n; ++i) {
                gradient[row * self.m_n + i] =
                    (self.loadValue(k, self.m_neighbours[i]) - result[row]) / self.m_steps[i];
            }
        }
    }

    // Runs work; a stop, a spent budget or a failure ends the method (false).
    template <typename Work>
    bool guarded(const Work& work) {
        if (m_ending != Ending::Success) return false;
        try {
            work();
            return m_ending == Ending::Success;
        } catch (const Aborted&) {
            m_ending = Ending::Stop;
        } catch (...) {
            m_failure = std::current_exception();
            m_ending = Ending::Failure;
        }
        m_opt->force_stop();
        return false;
    }

    // Evaluates x, and its neighbours when a gradient is wanted, unless they are known.
    void evaluate(const double* x, bool wantGradient) {
        const bool known = m_haveBase && std::equal(x, x + m_n, m_base.begin());
        if (!known) {
            std::copy(x, x + m_n, m_base.begin());
            m_haveBase = false;
            m_haveGradient = false;
        }
        const bool needBase = !m_haveBase;
        const bool needGradient = wantGradient && !m_haveGradient;
        const int count = (needBase ? 1 : 0) + (needGradient ? m_n : 0);
        if (count == 0) return;
        if (m_evaluations + count > m_settings.budget) {
            m_ending = Ending::Budget;
            m_opt->force_stop();
            return;
        }
        double* point = m_points.data();
        if (needBase) {
            std::copy(x, x + m_n, point);
            point += m_n;
        }
        if (needGradient) {
            for (int i = 0; i < m_n; ++i, point += m_n) {
                // Backward at the upper bound, so that no neighbour leaves the bounds.
                m_steps[i] = x[i] + kStep > 1.0 ? -kStep : kStep;
                std::copy(x, x + m_n, point);
                point[i] += m_steps[i];
            }
        }
        m_pool.run(m_variables, m_points.data(), count, m_responses.data());
        m_evaluations += count;
        if (needGradient) std::copy(m_responses.begin() + (needBase ? 1 : 0), m_responses.begin() + count,
                                    m_neighbours.begin());
        m_haveGradient = m_haveGradient || needGradient;
        if (needBase) {
            m_baseResponse = m_responses[0];
            m_haveBase = true;
            record();
        }
    }

    // Keeps the history and the best blade, and reports.
    void record() {
        m_variables.linearValues(m_base.data(), m_limitValues.data(), nullptr);
        double linear = 0.0;
        for (int k = 0; k < m_variables.linearLimits(); ++k) linear = std::max(linear, m_limitValues[k]);
        double load = 0.0;
        for (std::size_t k = 0; k < m_limits.size(); ++k) load = std::max(load, loadValue(k, m_baseResponse));
        const bool feasible = linear <= kLinearTolerance && load <= kLoadTolerance;
        const double violation = std::max(linear, load);
        OptimisationRecord entry{static_cast<int>(m_history.size()) + 1, m_evaluations, m_baseResponse.objective,
                                 m_baseResponse.maxThrust, violation, feasible};
        if (m_history.size() < m_history.capacity()) m_history.push_back(entry);
        const bool better = feasible ? !m_bestFeasible || entry.objective > m_bestResponse.objective
                                     : !m_bestFeasible && (!m_haveBest || violation < m_bestViolation);
        if (better) {
            std::copy(m_base.begin(), m_base.end(), m_best.begin());
            m_bestResponse = m_baseResponse;
            m_bestFeasible = feasible;
            m_bestViolation = violation;
            m_haveBest = true;
        }
        m_state = {m_evaluations, m_settings.budget, entry.iteration, entry.objective, violation, m_method};
        m_progress(m_state);
    }

    EvaluationPool& m_pool;
    const BladeVariables& m_variables;
    const OptimisationSettings& m_settings;
    const double m_reference;   // the start's objective: the objective is scaled by it
    const std::vector<LoadLimit> m_limits;
    const OptimisationCallback& m_progress;
    OptimisationProgress& m_state;   // the latest, which reports during evaluations repeat
    const int m_n;
    const int m_m;

    nlopt::opt* m_opt = nullptr;
    const char* m_method = "";
    Ending m_ending = Ending::Success;
    std::exception_ptr m_failure;
    int m_evaluations = 1;  // the project's blade, evaluated before the search, counts against the budget
    double m_lastObjective = 0.0;

    // The last point asked for, its response and its neighbours'.
    std::vector<double> m_base;
    bool m_haveBase = false;
    bool m_haveGradient = false;
    BladeResponse m_baseResponse;
    std::vector<double> m_points;
    std::vector<double> m_steps;
    std::vector<BladeResponse> m_responses;
    std::vector<BladeResponse> m_neighbours;
    std::vector<double> m_limitValues;

    std::vector<double> m_best;
    BladeResponse m_bestResponse;
    bool m_haveBest = false;
    bool m_bestFeasible = false;
    double m_bestViolation = 0.0;
    std::vector<OptimisationRecord> m_history;
};

std::size_t climateIndex(const TurbineSettings& turbine, const std::string& name) {
    if (turbine.wind_climates.empty())
        throw bemt::Error("The annual energy objective needs a wind climate; the turbine settings have none.");
    if (name.empty()) return 0;
    for (std::size_t i = 0; i < turbine.wind_climates.size(); ++i)
        if (turbine.wind_climates[i].name == name) return i;
    throw bemt::Error("The turbine settings have no wind climate named \"" + name + "\".");
}

std::vector<std::unique_ptr<BladeEvaluator>> makeEvaluators(const BladeProblem& problem, int threads) {
    std::vector<std::unique_ptr<BladeEvaluator>> evaluators;
    evaluators.push_back(std::make_unique<BladeEvaluator>(problem, problem.data.segments));
    for (int t = 1; t < threads; ++t) {
        auto copies = PolarCopies::copySegments(problem.data.segments);
        if (!copies) break;  // polars that cannot be copied are evaluated on one thread
        evaluators.push_back(std::make_unique<BladeEvaluator>(problem, std::move(*copies)));
    }
    return evaluators;
}

// The blade design as the start, its chord limited to the largest the optimisation allows,
// between the project's first and last chord point, with the project's root chord unless
// it is freed (the design knows no hub connection).
DesignedBlade designedStart(BladeEvaluator& evaluator, const InputDataSet& input, const OptimisationSettings& s,
                            const ProgressCallback& check) {
    const double R = input.conditions.R;
    const double limit = std::isnan(s.max_chord) ? s.chord_max : std::min(s.chord_max, s.max_chord / R);
    DesignedBlade blade = evaluator.design(limit, check);
    const auto [x, c] = Common::splitChordPoints(blade.chordPoints);
    const spline designedChord(x, c, spline::linear);
    const double first = input.chordPoints.front().x_rel;
    const double last = input.chordPoints.back().x_rel;
    std::vector<ChordPoint> chord{{first, s.free_root_chord ? designedChord(first) : input.chordPoints.front().c_rel}};
    for (const ChordPoint& p : blade.chordPoints)
        if (p.x_rel > first && p.x_rel < last) chord.push_back(p);
    chord.push_back({last, designedChord(last)});
    blade.chordPoints = std::move(chord);
    return blade;
}

// A budget spent before the search's first blade would end in no blade at all, which
// reads as a limit no blade meets: the smallest budget that reaches one is named instead.
void refuseBudgetBelowFirstStep(const OptimisationSettings& settings, int variables) {
    const bool slope = settings.method != OptimisationMethod::Cobyla;
    const int smallest = 2 + (slope ? variables : 0);
    if (settings.budget >= smallest) return;
    throw bemt::Error("The evaluation budget " + std::to_string(settings.budget) +
                      " ends before the search's first step: give a budget of at least " + std::to_string(smallest) +
                      " (the project's blade, then the first blade of the search" +
                      (slope ? " and its " + std::to_string(variables) + " neighbours for the slope)." : ")."));
}

}  // namespace

std::string endName(OptimisationEnd end) {
    switch (end) {
        case OptimisationEnd::Converged: return "converged";
        case OptimisationEnd::BudgetSpent: return "budget spent";
        case OptimisationEnd::Stopped: return "stopped";
        case OptimisationEnd::NoProgress: return "no further progress";
    }
    return {};
}

OptimisationResult optimiseBlade(const InputDataSet& input, const TurbineSettings& turbine,
                                 const OptimisationSettings& settings, int threads,
                                 const OptimisationCallback& progress) {
    BladeProblem problem{input, turbine, settings.objective, 0};
    if (settings.objective == OptimisationObjective::AnnualEnergy)
        problem.climate = climateIndex(turbine, settings.climate);
    OptimisationProgress state{0, settings.budget, 0, 0.0, 0.0, "start"};
    const ProgressCallback check = [&](int, const std::string&) { progress(state); };
    EvaluationPool pool(makeEvaluators(problem, threads), check);

    OptimisationResult result;
    result.start = pool.first().evaluate(input.chordPoints, input.twistPoints, kNaN, check);
    const bool automaticTsr = settings.objective == OptimisationObjective::AnnualEnergy && turbine.automaticTsr();
    const double startTsr = settings.vary_tsr ? result.start.tsrTarget : automaticTsr ? kNaN : result.start.tsrTarget;
    const DesignedBlade startBlade = settings.start_designed ? designedStart(pool.first(), input, settings, check)
                                                             : DesignedBlade{input.chordPoints, input.twistPoints};
    const BladeVariables variables(startBlade.chordPoints, startBlade.twistPoints, input.conditions.R, startTsr,
                                   settings);
    refuseBudgetBelowFirstStep(settings, variables.count());

    result.thrustLimit = !std::isnan(settings.max_thrust)         ? settings.max_thrust
                         : !std::isnan(settings.max_thrust_ratio) ? settings.max_thrust_ratio * result.start.maxThrust
                                                                  : kNaN;
    std::vector<LoadLimit> limits;
    if (!std::isnan(result.thrustLimit))
        limits.push_back({"thrust", [](const BladeResponse& r) { return r.maxThrust; }, result.thrustLimit});
    result.rootMomentLimit = settings.max_root_moment;
    if (!std::isnan(result.rootMomentLimit))
        limits.push_back({"root moment", [](const BladeResponse& r) { return r.maxRootMoment; }, result.rootMomentLimit});
    // The objective is scaled by the start's, so that its gradient is of the order of one.
    const double reference = result.start.objective != 0.0 ? std::fabs(result.start.objective) : 1.0;

    Search search(pool, variables, settings, reference, limits, progress, state);
    std::vector<double> x = variables.start();
    const bool gradient = settings.method != OptimisationMethod::Cobyla;
    Ending ending = search.run(gradient ? nlopt::LD_SLSQP : nlopt::LN_COBYLA, x);
    result.method = gradient ? "SLSQP" : "COBYLA";
    const bool retry = settings.method == OptimisationMethod::Automatic && search.anyBlade() &&
                       (ending == Ending::Failure || !search.anyFeasible());
    if (retry) {
        x = search.best();
        ending = search.run(nlopt::LN_COBYLA, x);
        result.method = "SLSQP, then COBYLA";
    }
    result.end = ending == Ending::Success  ? OptimisationEnd::Converged
                 : ending == Ending::Budget ? OptimisationEnd::BudgetSpent
                 : ending == Ending::Stop   ? OptimisationEnd::Stopped
                                            : OptimisationEnd::NoProgress;
    result.evaluations = search.evaluations();
    result.history = std::move(search.history());
    if (!search.anyBlade()) {
        // Stopped or out of budget before the first blade: the start stands.
        result.chord = input.chordPoints;
        result.twist = input.twistPoints;
        result.tsrTarget = kNaN;
        result.best = result.start;
        result.feasible = false;
        return result;
    }
    variables.apply(search.best().data(), result.chord, result.twist, result.tsrTarget);
    if (!settings.vary_tsr) result.tsrTarget = kNaN;
    result.best = search.bestResponse();
    result.feasible = search.anyFeasible();
    result.violation = search.bestViolation();

    const std::vector<double>& values = search.bestLimits();
    auto reached = [&](int from, int to) {
        return std::any_of(values.begin() + from, values.begin() + to, [](double g) { return g > -kActiveShare; });
    };
    const int linear = variables.linearLimits();
    const double largest = std::max_element(result.chord.begin(), result.chord.end(), [](const auto& a, const auto& b) {
                               return a.c_rel < b.c_rel;
                           })->c_rel * input.conditions.R;
    if (!std::isnan(settings.max_chord) && largest >= settings.max_chord * (1.0 - kActiveShare))
        result.active.push_back("largest chord");
    if (reached(0, variables.chordLimits())) result.active.push_back("chord decreasing to the tip");
    if (reached(variables.chordLimits(), linear)) result.active.push_back("twist decreasing to the tip");
    for (std::size_t k = 0; k < limits.size(); ++k)
        if (reached(linear + static_cast<int>(k), linear + static_cast<int>(k) + 1))
            result.active.push_back(limits[k].name);
    return result;
}

}  // namespace korvane::optimise
