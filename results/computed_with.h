#pragma once
// The settings a result was computed with, which its window states in its side column:
// the compute range, the solver and its model switches, the operating conditions, the
// rotor model and the stall delay of the polars.

#include <optional>
#include <vector>

#include "bemt/Records.h"

struct ComputedWith {
    bemt::ComputeSettings compute;
    bemt::SolverSettings solver;
    bemt::OperatingConditions conditions;
    bemt::RotorGeometry rotor;                        // as computed: the plain rotor for a blade design
    std::vector<bemt::PrebendPoint> prebend;          // as computed
    std::optional<bemt::StallDelayInput> stallDelay;  // none: the 2D polars
    // A blade design of a project whose rotor has cone, tilt, yaw or shear: it was
    // designed (and its operating point computed) for the plain rotor all the same.
    bool designedForPlainRotor = false;
};

// Whether a rotor has cone, tilt, yaw, shear or prebend (whatever its sectors and skew
// correction): a blade design, which is the plain rotor's, says so.
inline bool hasRotorShapeOrInflow(const bemt::RotorGeometry& rotor, const std::vector<bemt::PrebendPoint>& prebend) {
    bemt::RotorGeometry shape;
    shape.precone = rotor.precone;
    shape.tilt = rotor.tilt;
    shape.yaw = rotor.yaw;
    shape.shear_exponent = rotor.shear_exponent;
    return !bemt::Rotor::isPlain(shape, prebend);
}
