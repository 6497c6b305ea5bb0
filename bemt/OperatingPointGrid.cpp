#include "bemt/OperatingPointGrid.h"

namespace bemt {

std::vector<OperatingPoint> analyzeOpGrid(BEMTTools& tools, const InputDataSet& data,
                                          const std::vector<OperatingPointRequest>& requests,
                                          const ProgressCallback& progress) {
    std::vector<OperatingPoint> points;
    points.reserve(requests.size());
    const double count = static_cast<double>(requests.size());
    InputDataSet pointData = data;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const OperatingPointRequest& request = requests[i];
        pointData.conditions.V0 = request.V0;
        pointData.conditions.Om = request.Om;
        pointData.conditions.TSR = request.Om * data.conditions.R / request.V0;
        points.push_back(tools.analyzeOp(
            pointData,
            [&](int percent, const std::string& message) {
                progress(static_cast<int>((static_cast<double>(i) + percent / 100.0) / count * 100.0), message);
            },
            request.pitch));
    }
    progress(100, "Computing the operating points.");
    return points;
}

}  // namespace bemt
