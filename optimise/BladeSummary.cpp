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
        summary.maxRootMoment = std::max(summary.maxRootMoment, point.M_root_max);
    }
    summary.area = Common::relativeBladeArea(data.chordPoints) * data.conditions.R * data.conditions.R;
    return summary;
}

CpCurve cpOverTsr(BEMTTools& tools, const InputDataSet& data, double pitch, std::vector<double> tsr,
                  const ProgressCallback& progress) {
    const OperatingConditions& c = data.conditions;
    std::vector<OperatingPointRequest> requests;
    for (const double lambda : tsr) requests.push_back({c.V0, lambda * c.V0 / c.R, pitch});
    CpCurve curve{std::move(tsr), {}, {}};
    for (const OperatingPoint& op : tools.analyzeOpGrid(data, requests, progress)) {
        curve.cp.push_back(op.Cp);
        curve.converged.push_back(op.converged);
    }
    return curve;
}

}  // namespace korvane::optimise
