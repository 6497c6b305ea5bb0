#include "bemt/BEMTTools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "bemt/Common.h"
#include "bemt/Compute.h"
#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/Solver2D.h"
#include "bemt/SolverNR.h"
#include "bemt/SolverNing.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/ValueLimits.h"
#include "bemt/spline.h"

namespace bemt {

namespace {

const std::string kOperatingPointText = "Computing the operating point.";
const std::string kDesignText = "Designing the blade.";
const std::string kCharacteristicsText = "Computing wind turbine characteristics.";

// Characteristics steps closer to zero than this are computed at this value instead,
// because V0 = 0 or TSR = 0 makes the other quantity infinite.
constexpr double kSmallestSweepValue = 0.2;

std::unique_ptr<Solver> makeSolver(SolverType type) {
    switch (type) {
        case Ning: return std::make_unique<SolverNing>();
        case NewtonRaphson: return std::make_unique<SolverNR>();
        default: return std::make_unique<Solver2D>();
    }
}

double positionInSegment(double x, const AirfoilSegment& segment) {
    return (x - segment.start) / (segment.end - segment.start);
}

bool sameBlade(const DesignedBlade& a, const DesignedBlade& b) {
    auto sameChord = [](const ChordPoint& p, const ChordPoint& q) { return p.x_rel == q.x_rel && p.c_rel == q.c_rel; };
    auto sameTwist = [](const TwistPoint& p, const TwistPoint& q) {
        return p.x_rel == q.x_rel && p.twist_deg == q.twist_deg;
    };
    return std::equal(a.chordPoints.begin(), a.chordPoints.end(), b.chordPoints.begin(), b.chordPoints.end(), sameChord)
           && std::equal(a.twistPoints.begin(), a.twistPoints.end(), b.twistPoints.begin(), b.twistPoints.end(),
                         sameTwist);
}

std::string pitchLabel(const std::string& label, double pitch) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3g", pitch);
    return label + buffer + " °).";
}

}  // namespace

double SweepRange::positions() const {
    if (!(max >= min)) return 0.0;
    if (max == min) return 1.0;
    if (!(step > 0.0)) throw std::string("The step of a range must be greater than zero.");
    // The tolerance lets 0.3/0.1 = 2.9999999999999996 count as 3 steps.
    constexpr double kRounding = 1e-9;
    return std::floor((max - min) / step + kRounding) + 1.0;
}

int SweepRange::count() const {
    const double n = positions();
    if (!(n <= static_cast<double>(std::numeric_limits<int>::max()))) {
        char text[160];
        std::snprintf(text, sizeof text, "The range from %g to %g by %g has too many positions (%.15g).", min, max,
                      step, n);
        throw std::string(text);
    }
    return static_cast<int>(n);
}

double SweepRange::value(int k) const { return min + k * step; }

std::string betzLimitNote(double Cp) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Cp %.4g lies above the Betz limit 16/27 = 0.593, which no rotor reaches: the result is marked not "
                  "converged. Check the airfoil data (a negative drag coefficient, for example).",
                  Cp);
    return text;
}

std::optional<std::string> betzLimitNote(const std::vector<pitchControlledOperatingPoint>& points) {
    double highest = 0.0;
    for (const auto& p : points) highest = std::max(highest, p.op.Cp);
    if (!(highest > kBetzLimit)) return std::nullopt;
    return betzLimitNote(highest);
}

std::optional<std::string> betzLimitNote(const std::vector<pitchControlledCharacteristicElement>& steps) {
    std::vector<pitchControlledOperatingPoint> all;
    for (const auto& step : steps) all.insert(all.end(), step.points.begin(), step.points.end());
    return betzLimitNote(all);
}

std::optional<std::string> designElementsRefusal(int n) {
    if (n >= Limits::kMinDesignElements) return std::nullopt;
    return "The blade design needs at least " + std::to_string(Limits::kMinDesignElements) +
           " blade elements to draw its chord and twist through, not " + std::to_string(n) + ".";
}

BEMTTools::BEMTTools(SolverType type) : m_solver(makeSolver(type)) {}
BEMTTools::~BEMTTools() = default;

void BEMTTools::setSolver(SolverType type) { m_solver = makeSolver(type); }

SweepRange BEMTTools::pitchRange(const ComputeSettings& settings) {
    if (!settings.enable_pitch) return SweepRange{0.0, 0.0, 1.0};
    return SweepRange{settings.p_min, settings.p_max, settings.p_step};
}

SweepRange BEMTTools::characteristicsRange(const ComputeSettings& settings) {
    return SweepRange{settings.ran_min, settings.ran_max, settings.ran_step};
}

OperatingPoint BEMTTools::analyzeOp(InputDataSet data, const ProgressCallback& progress, double pitch) {
    const OperatingConditions& conditions = data.conditions;
    const SolverSettings& settings = data.settings;
    const int n = settings.n_elements;

    Compute compute(m_solver.get(), settings, conditions);
    OperatingPoint result;
    result.conditions = conditions;
    result.solutions.reserve(n);

    const auto [chordX, chordY] = Common::splitChordPoints(data.chordPoints);
    const auto [twistX, twistY] = Common::splitTwistPoints(data.twistPoints);
    const spline chord(chordX, chordY, spline::linear);
    const spline twist(twistX, twistY, spline::cubic);

    ToolsAirfoil::setupReynolds(&data.segments, &chord, conditions);
    ProfileParamsCombined combined;

    const double refineTolerance = 10.0 * settings.accuracy;
    const int refineLimit = settings.max_iterations / 10;
    int finished = 0;

    auto solveElement = [&](int i, const AirfoilSegment& segment) -> Solution {
        const double x = Common::i2x_rel(i, n, conditions);
        const double c_rel = chord(x);
        const double c = c_rel * conditions.R;
        const double theta = Common::deg2rad(twist(x) + pitch);
        const double r = x * conditions.R;
        ProfileParams* first = segment.first.get();
        ProfileParams* second = segment.second.get();
        combined.setProfiles(first, second);
        combined.setRatio(positionInSegment(x, segment));

        Solution s = compute.BEMSolve(r, c, theta, &combined);
        // The polars may depend on the Reynolds number, which depends on the induction:
        // iterate until the induction settles. Only the last solve is completed with the
        // best-ratio angle, power and thrust, since the polar state it sees is the final one.
        const bool firstVaries = first->hasReynoldsRange();
        const bool secondVaries = second->hasReynoldsRange();
        if (s.converged && (firstVaries || secondVaries)) {
            for (int k = 1;; ++k) {
                const double re = Common::reynolds(x, c_rel, s.a, s.a_, conditions);
                if (firstVaries) first->setReynolds(re);
                if (secondVaries) second->setReynolds(re);
                // A small change of Reynolds number moves the solution a little: start
                // from the element's own last state rather than from scratch.
                compute.usePrevSolution(s);
                const Solution next = compute.BEMSolve(r, c, theta, &combined);
                const bool settled = std::fabs(s.a - next.a) <= refineTolerance
                                     && std::fabs(s.a_ - next.a_) <= refineTolerance;
                s = next;
                if (!s.converged || settled || k >= refineLimit) break;
            }
        }
        compute.completeElement(s, c, &combined);

        result.solutions.push_back(s);
        if (s.converged) {
            result.T += s.dT;
            result.P += s.dP;
            compute.usePrevSolution(s);
        } else {
            result.converged = false;
            compute.usePrevSolution(false);
        }
        if (s.extrapolated) result.extrapolated = true;
        ++finished;
        progress(static_cast<int>(static_cast<double>(finished) / n * 100.0), kOperatingPointText);
        return s;
    };

    // Solve from the middle of the blade outwards, then from the middle inwards, each
    // element starting from its converged neighbour.
    compute.usePrevSolution(false);
    const int middle = n / 2;
    AirfoilSegment* segment = ToolsAirfoil::findSegment(Common::i2x_rel(middle, n, conditions), &data.segments);
    const Solution middleSolution = solveElement(middle, *segment);

    AirfoilSegment* const firstSegment = &data.segments.front();
    AirfoilSegment* const lastSegment = &data.segments.back();
    for (int i = middle + 1; i < n; ++i) {
        const double x = Common::i2x_rel(i, n, conditions);
        while (segment != lastSegment && positionInSegment(x, *segment) > 1.0) ++segment;
        solveElement(i, *segment);
    }
    if (middleSolution.converged) compute.usePrevSolution(middleSolution);
    for (int i = middle - 1; i >= 0; --i) {
        const double x = Common::i2x_rel(i, n, conditions);
        while (segment != firstSegment && positionInSegment(x, *segment) < 0.0) --segment;
        solveElement(i, *segment);
    }

    std::sort(result.solutions.begin(), result.solutions.end(),
              [](const Solution& a, const Solution& b) { return a.r < b.r; });
    result.dr = conditions.L / n;
    result.Ct = result.T / Common::Twind(conditions);
    result.Cp = result.P / Common::Pwind(conditions);
    if (result.Cp > kBetzLimit) result.converged = false;
    progress(100, kOperatingPointText);
    return result;
}

DesignedBlade BEMTTools::designBlade(InputDataSet data, const ProgressCallback& progress, double maxRelativeChord) {
    if (const auto refusal = designElementsRefusal(data.settings.n_elements)) throw *refusal;
    const OperatingConditions& conditions = data.conditions;
    const SolverSettings& settings = data.settings;
    const int n = settings.n_elements;
    const int N = settings.max_iterations;
    const double eps = settings.accuracy;

    Compute compute(m_solver.get(), settings, conditions);
    DesignedBlade blade;
    blade.chordPoints.reserve(n);
    blade.twistPoints.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double x = compute.elementRadius(i) / conditions.R;
        blade.chordPoints.push_back({x, Common::guessCrel(x)});
        blade.twistPoints.push_back({x, Common::guessTwistDeg(x)});
    }

    ProfileParamsCombined combined;
    DesignedBlade onePassAgo;
    DesignedBlade twoPassesAgo;
    double chordChange = 1.0;
    double twistChange = 1.0;
    int k = 0;
    while ((chordChange > eps || twistChange > eps) && k < N) {
        ++k;
        progress(static_cast<int>(static_cast<double>(k) / N * 100.0), kDesignText);

        // The polars' Reynolds numbers follow the chord of the current design.
        const auto [chordX, chordY] = Common::splitChordPoints(blade.chordPoints);
        const spline chord(chordX, chordY, spline::linear);
        for (auto& segment : data.segments) {
            if (segment.first->hasReynoldsRange())
                segment.first->setReynolds(Common::reynolds(segment.start, chord(segment.start), conditions));
            if (segment.second->hasReynoldsRange())
                segment.second->setReynolds(Common::reynolds(segment.end, chord(segment.end), conditions));
        }

        chordChange = 0.0;
        twistChange = 0.0;
        std::size_t s = 0;
        for (int i = 0; i < n; ++i) {
            const double x = blade.chordPoints[i].x_rel;
            while (s + 1 < data.segments.size() && positionInSegment(x, data.segments[s]) > 1.0) ++s;
            const AirfoilSegment& segment = data.segments[s];
            combined.setProfiles(segment.first.get(), segment.second.get());
            combined.setRatio(positionInSegment(x, segment));

            const DesignedElement designed = compute.designElement(i, &combined);
            const double c_new = Common::min(maxRelativeChord, designed.c_rel);
            chordChange += std::fabs(blade.chordPoints[i].c_rel - c_new) / n;
            twistChange += std::fabs(blade.twistPoints[i].twist_deg - designed.twist_deg) / n;
            blade.chordPoints[i].c_rel = c_new;
            blade.twistPoints[i].twist_deg = designed.twist_deg;
        }

        // Reynolds-dependent polars can make the design alternate between two blades
        // for ever (their best lift-to-drag angle jumps between table points). Once the
        // alternation repeats exactly, every further pass is known: finish at once with
        // the blade that pass N would have produced.
        const bool goesOn = (chordChange > eps || twistChange > eps) && k < N;
        if (goesOn && sameBlade(blade, twoPassesAgo)) {
            if ((N - k) % 2 != 0) blade = onePassAgo;
            break;
        }
        twoPassesAgo = std::move(onePassAgo);
        onePassAgo = blade;
    }
    progress(100, kDesignText);
    return blade;
}

std::vector<pitchControlledOperatingPoint> BEMTTools::pitchSweep(const InputDataSet& data, const SweepRange& pitch,
                                                                 const ProgressCallback& progress,
                                                                 const std::string& label) {
    const int count = pitch.count();
    std::vector<pitchControlledOperatingPoint> points;
    points.reserve(count);
    for (int k = 0; k < count; ++k) {
        const double p = pitch.value(k);
        const std::string text = pitchLabel(label, p);
        points.push_back({p, analyzeOp(data, [&](int percent, const std::string&) { progress(percent, text); }, p)});
    }
    return points;
}

std::vector<pitchControlledCharacteristicElement> BEMTTools::characteristicsSweep(const InputDataSet& data,
                                                                                  ComputeRangeType type,
                                                                                  const SweepRange& range,
                                                                                  const SweepRange& pitch,
                                                                                  const ProgressCallback& progress) {
    const int steps = range.count();
    const int pitches = pitch.count();
    const double span = range.max - range.min;
    std::vector<pitchControlledCharacteristicElement> result;
    result.reserve(steps);

    for (int k = 0; k < steps; ++k) {
        const double v = range.value(k);
        const double used = std::fabs(v) < kSmallestSweepValue ? std::copysign(kSmallestSweepValue, v) : v;
        // A range of one value has no span; its progress runs from 0 to 100.
        const double done = span > 0.0 ? (v - range.min) / span : 0.0;
        progress(static_cast<int>(done * 100.0), kCharacteristicsText);

        InputDataSet stepData = data;
        OperatingConditions& c = stepData.conditions;
        if (type == windVelocity) {
            c.V0 = used;
            c.TSR = c.Om * c.R / used;
        } else {
            c.TSR = used;
            c.V0 = c.Om * c.R / used;
        }

        pitchControlledCharacteristicElement element;
        element.conditions = c;
        element.points.reserve(pitches);
        for (int j = 0; j < pitches; ++j) {
            const double p = pitch.value(j);
            // Element progress within this step, so that the bar advances smoothly and
            // an abort is seen after every element.
            auto inner = [&](int percent, const std::string&) {
                const double stepShare = span > 0.0 ? range.step / span : 1.0;
                const double within = (j + percent / 100.0) / pitches;
                progress(static_cast<int>(std::min(100.0, (done + within * stepShare) * 100.0)), kCharacteristicsText);
            };
            element.points.push_back({p, analyzeOp(stepData, inner, p)});
        }
        result.push_back(std::move(element));
    }
    progress(100, kCharacteristicsText);
    return result;
}

DesignResult BEMTTools::designSweep(const InputDataSet& data, const SweepRange& pitch, double maxRelativeChord,
                                    const ProgressCallback& progress) {
    DesignResult result;
    result.blade = designBlade(data, progress, maxRelativeChord);
    InputDataSet designed = data;
    designed.chordPoints = result.blade.chordPoints;
    designed.twistPoints = result.blade.twistPoints;
    result.points = pitchSweep(designed, pitch, progress, "Blade design: computing the operating point (");
    return result;
}

}  // namespace bemt
