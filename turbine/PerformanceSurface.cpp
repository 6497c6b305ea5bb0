#include "turbine/PerformanceSurface.h"

#include <cctype>

#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

const std::string kSurfaceText = "Computing the performance surface.";

// A range's refusal as a sentence of its own.
void checkRange(const SweepRange& range, const std::string& what) {
    if (auto refusal = range.refusal(what)) {
        refusal->front() = static_cast<char>(std::toupper(static_cast<unsigned char>(refusal->front())));
        throw bemt::Error(*refusal);
    }
}

}  // namespace

void PerformanceSurface::check(double wind, const SweepRange& tsrRange, const SweepRange& pitchRange) {
    if (const auto refusal = Limits::V0.check(wind))
        throw bemt::Error("The wind speed of the performance surface: " + *refusal);
    checkRange(tsrRange, "the tip speed ratio range");
    checkRange(pitchRange, "the pitch range");
    for (double pitch : {pitchRange.min, pitchRange.max})
        if (const auto refusal = Limits::pitchAngle.check(pitch))
            throw bemt::Error("The pitch of the performance surface: " + *refusal);
    if (!(tsrRange.min > 0.0))
        throw bemt::Error("The tip speed ratios of a performance surface must be greater than zero.");
    // The limits the command line's --tsr and --pitch apply, so that both programs agree.
    for (double tsr : {tsrRange.min, tsrRange.max})
        if (const auto refusal = Limits::tipSpeedRatio.check(tsr))
            throw bemt::Error("The tip speed ratios of the performance surface: " + *refusal);
    if (const auto refusal = Limits::tipSpeedRatioStep.check(tsrRange.step))
        throw bemt::Error("The tip speed ratios of the performance surface: " + *refusal);
    if (const auto refusal = Limits::pitchStep.check(pitchRange.step))
        throw bemt::Error("The pitch of the performance surface: " + *refusal);
    for (const auto& refusal : {tsrRange.sizeRefusal("the tip speed ratio range", Limits::kMaxSurfaceTipSpeedRatios),
                                pitchRange.sizeRefusal("the pitch range", Limits::kMaxPitchPositions)}) {
        if (refusal) throw bemt::Error("The performance surface: " + *refusal);
    }
    const double points = static_cast<double>(tsrRange.count()) * pitchRange.count();
    if (points > kMaxPoints) {
        throw bemt::Error("A performance surface has at most " + std::to_string(kMaxPoints) + " points; " +
                          std::to_string(tsrRange.count()) + " tip speed ratios and " +
                          std::to_string(pitchRange.count()) + " pitch angles ask for " +
                          NumberText::formatted("%.15g", points) + ".");
    }
}

PerformanceSurface PerformanceSurface::compute(BEMTTools& tools, const InputDataSet& data, double wind,
                                               const SweepRange& tsrRange, const SweepRange& pitchRange,
                                               const ProgressCallback& progress) {
    check(wind, tsrRange, pitchRange);

    PerformanceSurface s;
    s.wind = wind;
    s.tsr = tsrRange.values();
    s.pitch = pitchRange.values();
    const double R = data.conditions.R;
    std::vector<OperatingPointRequest> requests;
    requests.reserve(s.tsr.size() * s.pitch.size());
    for (double tsr : s.tsr)
        for (double pitch : s.pitch) requests.push_back({wind, tsr * wind / R, pitch});

    const auto points = tools.analyzeOpGrid(data, requests, [&](int percent, const std::string&) {
        progress(percent, kSurfaceText);
    });

    const std::size_t columns = s.pitch.size();
    for (std::size_t i = 0; i < s.tsr.size(); ++i) {
        std::vector<double> cp, ct, cq;
        std::vector<bool> converged, extrapolated;
        for (std::size_t j = 0; j < columns; ++j) {
            const OperatingPoint& op = points[i * columns + j];
            cp.push_back(op.Cp);
            ct.push_back(op.Ct);
            // Cq = Cp R / (TSR R_p): the tip speed ratio is on R, the coefficients on R_p.
            cq.push_back(op.Cp / s.tsr[i] * (R / op.Rp));
            converged.push_back(op.converged);
            extrapolated.push_back(op.extrapolated);
        }
        s.cp.push_back(std::move(cp));
        s.ct.push_back(std::move(ct));
        s.cq.push_back(std::move(cq));
        s.converged.push_back(std::move(converged));
        s.extrapolated.push_back(std::move(extrapolated));
    }
    progress(100, kSurfaceText);
    return s;
}

}  // namespace bemt
