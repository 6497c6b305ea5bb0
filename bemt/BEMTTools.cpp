#include "bemt/BEMTTools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bemt/Common.h"
#include "bemt/Compute.h"
#include "bemt/Error.h"
#include "bemt/OperatingPointAnalysis.h"
#include "bemt/ParallelSweep.h"
#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsStallDelay.h"
#include "bemt/Solver.h"
#include "bemt/ThreadCount.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/ValueLimits.h"
#include "bemt/spline.h"

namespace bemt {

namespace {

const std::string kOperatingPointText = "Computing the operating point.";
const std::string kDesignText = "Designing the blade.";
const std::string kCharacteristicsText = "Computing wind turbine characteristics.";

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

BEMTTools::BEMTTools(SolverType type)
    : m_type(type), m_solver(Solver::create(type)), m_threads(ThreadCount::standard()) {}
BEMTTools::~BEMTTools() = default;

void BEMTTools::setSolver(SolverType type) {
    m_type = type;
    m_solver = Solver::create(type);
}

void BEMTTools::setThreads(int threads) { m_threads = std::max(1, threads); }

SweepRange BEMTTools::pitchRange(const ComputeSettings& settings) {
    if (!settings.enable_pitch) return SweepRange{0.0, 0.0, 1.0};
    return SweepRange{settings.p_min, settings.p_max, settings.p_step};
}

SweepRange BEMTTools::characteristicsRange(const ComputeSettings& settings) {
    return SweepRange{settings.ran_min, settings.ran_max, settings.ran_step};
}

OperatingPoint BEMTTools::analyzeOp(InputDataSet data, const ProgressCallback& progress, double pitch) {
    const OperatingPointAnalysis analysis(data);
    // The sectors of a rotor computed per azimuth position run in parallel.
    if (analysis.sectors() > 1) {
        return ParallelSweep(m_type, m_threads)
            .run(data, {{data.conditions, pitch, 0}}, {kOperatingPointText}, *m_solver, progress, ElementDetail::Kept)
            .front();
    }
    const int n = analysis.elements();
    OperatingPointAnalysis::Workspace workspace(std::move(data.segments), n);
    OperatingPoint result = analysis.analyze(*m_solver, workspace, data.conditions, pitch, [&](int finished) {
        progress(static_cast<int>(static_cast<double>(finished) / n * 100.0), kOperatingPointText);
    });
    progress(100, kOperatingPointText);
    return result;
}

std::vector<OperatingPoint> BEMTTools::analyzeOpGrid(const InputDataSet& data,
                                                     const std::vector<OperatingPointRequest>& requests,
                                                     const ProgressCallback& progress) {
    std::vector<OperatingPointJob> jobs;
    jobs.reserve(requests.size());
    for (const OperatingPointRequest& request : requests) {
        OperatingPointJob job{data.conditions, request.pitch, 0};
        job.conditions.V0 = request.V0;
        job.conditions.Om = request.Om;
        job.conditions.TSR = request.Om * job.conditions.R / request.V0;
        jobs.push_back(job);
    }
    return ParallelSweep(m_type, m_threads)
        .run(data, jobs, {kOperatingPointText}, *m_solver, progress, ElementDetail::TotalsOnly);
}

DesignedBlade BEMTTools::designBlade(InputDataSet data, const ProgressCallback& progress, double maxRelativeChord) {
    if (const auto refusal = designElementsRefusal(data.settings.n_elements)) throw bemt::Error(*refusal);
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
    combined.setAirfoilBlending(data.blendAirfoils);
    ProfileParamsStallDelay corrected;
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
            while (s + 1 < data.segments.size() && ToolsAirfoil::positionInSegment(x, data.segments[s]) > 1.0) {
                ++s;
            }
            const AirfoilSegment& segment = data.segments[s];
            combined.setProfiles(segment.first.get(), segment.second.get());
            combined.setRatio(ToolsAirfoil::positionInSegment(x, segment));
            ProfileParams* polar = &combined;
            // The stall delay follows the chord of the current design.
            if (data.stallDelay) {
                corrected.set(&combined, stallDelayCorrection(data.stallDelay->settings, x, blade.chordPoints[i].c_rel,
                                                              data.stallDelay->tipSpeedRatio, combined));
                polar = &corrected;
            }

            const DesignedElement designed = compute.designElement(i, polar);
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
    std::vector<OperatingPointJob> jobs;
    std::vector<std::string> texts;
    jobs.reserve(count);
    texts.reserve(count);
    for (int k = 0; k < count; ++k) {
        const double p = pitch.value(k);
        jobs.push_back({data.conditions, p, texts.size()});
        texts.push_back(pitchLabel(label, p));
    }
    if (texts.empty()) texts.push_back(pitchLabel(label, pitch.min));

    std::vector<OperatingPoint> ops =
        ParallelSweep(m_type, m_threads).run(data, jobs, texts, *m_solver, progress, ElementDetail::Kept);
    std::vector<pitchControlledOperatingPoint> points;
    points.reserve(count);
    for (int k = 0; k < count; ++k) points.push_back({jobs[k].pitch, std::move(ops[k])});
    return points;
}

std::vector<pitchControlledCharacteristicElement> BEMTTools::characteristicsSweep(const InputDataSet& data,
                                                                                  ComputeRangeType type,
                                                                                  const SweepRange& range,
                                                                                  const SweepRange& pitch,
                                                                                  const ProgressCallback& progress) {
    const int steps = range.count();
    const int pitches = pitch.count();
    std::vector<OperatingPointJob> jobs;
    std::vector<OperatingConditions> stepConditions;
    jobs.reserve(static_cast<std::size_t>(steps) * pitches);
    stepConditions.reserve(steps);
    for (int k = 0; k < steps; ++k) {
        const double v = range.value(k);
        const double used = std::fabs(v) < kSmallestSweepValue ? std::copysign(kSmallestSweepValue, v) : v;
        OperatingConditions c = data.conditions;
        if (type == windVelocity) {
            c.V0 = used;
            c.TSR = c.Om * c.R / used;
        } else {
            c.TSR = used;
            c.V0 = c.Om * c.R / used;
        }
        stepConditions.push_back(c);
        for (int j = 0; j < pitches; ++j) jobs.push_back({c, pitch.value(j), 0});
    }

    std::vector<OperatingPoint> ops =
        ParallelSweep(m_type, m_threads)
            .run(data, jobs, {kCharacteristicsText}, *m_solver, progress, ElementDetail::TotalsOnly);
    std::vector<pitchControlledCharacteristicElement> result(steps);
    for (int k = 0; k < steps; ++k) {
        pitchControlledCharacteristicElement& element = result[k];
        element.conditions = stepConditions[k];
        element.points.reserve(pitches);
        for (int j = 0; j < pitches; ++j) {
            const std::size_t i = static_cast<std::size_t>(k) * pitches + j;
            element.points.push_back({jobs[i].pitch, std::move(ops[i])});
        }
    }
    return result;
}

DesignResult BEMTTools::designSweep(const InputDataSet& data, const SweepRange& pitch, double maxRelativeChord,
                                    const ProgressCallback& progress) {
    DesignResult result;
    result.blade = designBlade(data, progress, maxRelativeChord);
    // The design is the plain rotor's, and so is the operating point of the designed blade.
    InputDataSet designed = data;
    designed.rotor = RotorGeometry{};
    designed.prebendPoints.clear();
    designed.chordPoints = result.blade.chordPoints;
    designed.twistPoints = result.blade.twistPoints;
    result.points = pitchSweep(designed, pitch, progress, "Blade design: computing the operating point (");
    return result;
}

}  // namespace bemt
