#include "bemt/PositionPolar.h"

#include "bemt/Common.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/spline.h"

namespace bemt {

namespace {

// The chord between points as the computations see it.
spline chordSpline(const std::vector<ChordPoint>& chordPoints) {
    const auto [chordX, chordY] = Common::splitChordPoints(chordPoints);
    return spline(chordX, chordY, spline::linear);
}

}  // namespace

PositionPolar::PositionPolar(std::vector<AirfoilSegment>& segments, const std::vector<ChordPoint>& chordPoints,
                             const OperatingConditions& conditions,
                             const std::optional<StallDelayInput>& stallDelay, double x, bool blendAirfoils)
    : PositionPolar(segments, chordSpline(chordPoints), conditions, stallDelay, x, blendAirfoils) {}

PositionPolar::PositionPolar(std::vector<AirfoilSegment>& segments, const spline& chord,
                             const OperatingConditions& conditions, const std::optional<StallDelayInput>& stallDelay,
                             double x, bool blendAirfoils)
    : m_x(x), m_radius(x * conditions.R), m_corrected(stallDelay.has_value()) {
    const double cRel = chord(x);
    m_chord = cRel * conditions.R;
    m_reynolds = Common::reynolds(x, cRel, conditions);
    AirfoilSegment* segment = ToolsAirfoil::findSegment(x, &segments);
    for (ProfileParams* polar : {segment->first.get(), segment->second.get()})
        if (polar->hasReynoldsRange()) polar->setReynolds(m_reynolds);
    m_blend.setAirfoilBlending(blendAirfoils);
    m_blend.setProfiles(segment->first.get(), segment->second.get());
    const double length = segment->end - segment->start;
    m_blend.setRatio(length > 0.0 ? ToolsAirfoil::positionInSegment(x, *segment) : 0.0);
    if (stallDelay)
        m_correction = stallDelayCorrection(stallDelay->settings, x, cRel, stallDelay->tipSpeedRatio, m_blend);
}

double PositionPolar::alphaMinDeg() { return Common::rad2deg(m_blend.alphaMin()); }
double PositionPolar::alphaMaxDeg() { return Common::rad2deg(m_blend.alphaMax()); }

PolarSample PositionPolar::at(double alphaDeg) {
    const double alpha = Common::deg2rad(alphaDeg);
    const LiftDrag twoD = m_blend.coefficients(alpha);
    const LiftDrag threeD = m_correction.apply(alpha, twoD);
    return {alphaDeg, threeD.cl, threeD.cd, twoD.cl, twoD.cd};
}

std::vector<PolarSample> PositionPolar::at(const std::vector<double>& anglesDeg) {
    std::vector<PolarSample> samples;
    samples.reserve(anglesDeg.size());
    for (const double a : anglesDeg) samples.push_back(at(a));
    return samples;
}

}  // namespace bemt
