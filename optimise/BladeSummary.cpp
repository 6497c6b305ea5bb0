#include "optimise/BladeSummary.h"

#include <algorithm>

#include "bemt/Common.h"

namespace korvane::optimise {

using namespace bemt;

BladeSummary summariseBlade(BEMTTools& tools, const InputDataSet& data, const TurbineSettings& turbine,
                            const ProgressCallback& progress) {
    BladeSummary summary;
    summary.curve = TurbineController(tools, data, turbine).powerCurve(progress);
    summary.energy = AnnualEnergy::ofCurve(summary.curve, turbine);
    summary.designCp = tools.analyzeOp(data, progress, 0.0).Cp;
    for (const PowerCurvePoint& point : summary.curve.points) {
        if (!point.computed) continue;
        summary.peakCp = std::max(summary.peakCp, point.Cp);
        summary.maxThrust = std::max(summary.maxThrust, point.T);
    }
    summary.area = Common::relativeBladeArea(data.chordPoints) * data.conditions.R * data.conditions.R;
    return summary;
}

}  // namespace korvane::optimise
