#pragma once
// The polar the computations use at one position along the blade, as the airfoil data
// analyser and `korvane-cli polar` show it: the airfoils of the position's segment
// blended (where blending is on), at the Reynolds number of the position with guessed
// induction, extended to the full circle, and corrected for stall delay when the
// computation asks for it, with the 2D values beside the corrected ones.

#include <optional>
#include <vector>

#include "bemt/ProfileParamsCombined.h"
#include "bemt/Records.h"
#include "bemt/StallDelay.h"
#include "bemt/spline.h"

namespace bemt {

// Coefficients at one angle of attack (degrees): corrected and 2D. Without a correction
// both pairs are equal.
struct PolarSample {
    double alphaDeg = 0.0;
    double cl = 0.0;
    double cd = 0.0;
    double cl2d = 0.0;
    double cd2d = 0.0;
};

class PositionPolar {
public:
    // Sets the Reynolds numbers of the segment's polars for x (they must not be in use
    // elsewhere) and builds the stall delay of the position; blendAirfoils as the
    // computation's. segments must outlive this object. Throws the spline and stall delay
    // messages.
    PositionPolar(std::vector<AirfoilSegment>& segments, const std::vector<ChordPoint>& chordPoints,
                  const OperatingConditions& conditions, const std::optional<StallDelayInput>& stallDelay, double x,
                  bool blendAirfoils);
    // The same with the chord spline (c/R over x/R, linear) already made.
    PositionPolar(std::vector<AirfoilSegment>& segments, const spline& chord, const OperatingConditions& conditions,
                  const std::optional<StallDelayInput>& stallDelay, double x, bool blendAirfoils);

    double x() const { return m_x; }
    double radius() const { return m_radius; }      // m
    double chord() const { return m_chord; }        // m
    double reynolds() const { return m_reynolds; }
    // The angles (degrees) the blended airfoil data cover.
    double alphaMinDeg();
    double alphaMaxDeg();
    // Whether the computation asks for the stall delay, and the position's correction.
    bool corrected() const { return m_corrected; }
    const StallDelayCorrection& correction() const { return m_correction; }

    PolarSample at(double alphaDeg);
    std::vector<PolarSample> at(const std::vector<double>& anglesDeg);

private:
    double m_x;
    double m_radius = 0.0;
    double m_chord = 0.0;
    double m_reynolds = 0.0;
    bool m_corrected = false;
    ProfileParamsCombined m_blend;
    StallDelayCorrection m_correction;
};

}  // namespace bemt
