#pragma once
// Independent operating points computed one after the other. The power curve and the
// performance surfaces hand all their independent points to this one function, so that
// they run wherever it runs them.

#include <vector>

#include "bemt/BEMTTools.h"

namespace bemt {

// One independent operating point to compute.
struct OperatingPointRequest {
    double V0 = 0.0;      // free wind velocity, m/s
    double Om = 0.0;      // rotor angular velocity, rad/s
    double pitch = 0.0;   // blade pitch, degrees
};

// The operating points of all requests, result i for request i, each as analyzeOp
// computes it on data with V0, Om and TSR = Om R / V0 set. Progress rises from 0 to 100
// over the requests; a throwing progress callback ends the computation.
std::vector<OperatingPoint> analyzeOpGrid(BEMTTools& tools, const InputDataSet& data,
                                          const std::vector<OperatingPointRequest>& requests,
                                          const ProgressCallback& progress);

}  // namespace bemt
