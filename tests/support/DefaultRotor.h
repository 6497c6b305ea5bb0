#pragma once
// The rotor of a new project (R 25 m, Rh 1.5 m, 3 blades, 8 m/s, 18 rpm, 100 elements
// unless asked for fewer, NACA 0012 from x/R 0.06 to the tip), as an input record for the
// core. Shared by the tests and the benchmarks.

#include <memory>

#include "bemt/Common.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/Records.h"

namespace korvane::testing {

inline bemt::InputDataSet defaultRotor(bemt::SolverType solver = bemt::FixedPoint2D, int elements = 100) {
    using bemt::Common::guessCrel;
    using bemt::Common::guessTwistDeg;
    bemt::InputDataSet data;
    data.conditions.R = 25.0;
    data.conditions.Rh = 1.5;
    data.conditions.L = 23.5;
    data.conditions.B = 3;
    data.conditions.V0 = 8.0;
    data.conditions.Om = bemt::Common::rpm2rads(18.0);
    data.conditions.TSR = 25.0 * data.conditions.Om * 0.125;
    data.settings.solver = solver;
    data.settings.n_elements = elements;
    data.settings.accuracy = 1e-5;
    data.settings.max_iterations = 5000;
    data.settings.relaxation_factor = 0.1;

    auto root = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0012);
    auto tip = std::make_shared<bemt::ProfileParamsNACA>(bemt::NACA_0012);
    data.segments.push_back({0.06, 1.0, root, tip});
    data.chordPoints = {{0.06, guessCrel(0.06)}, {1.0, guessCrel(1.0)}};
    data.twistPoints = {{0.06, guessTwistDeg(0.06)}, {0.154, guessTwistDeg(0.154)}, {0.248, guessTwistDeg(0.248)},
                        {0.436, guessTwistDeg(0.436)}, {0.624, guessTwistDeg(0.624)}, {1.0, 0.0}};
    return data;
}

inline void ignoreProgress(int, const std::string&) {}

}  // namespace korvane::testing
