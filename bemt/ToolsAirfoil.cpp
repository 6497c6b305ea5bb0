#include "bemt/ToolsAirfoil.h"

#include "bemt/Common.h"
#include "bemt/ProfileParams.h"

namespace bemt {

AirfoilSegment* ToolsAirfoil::findSegment(double x, std::vector<AirfoilSegment>* segments) {
    auto& list = *segments;
    if (x <= list.front().start) return &list.front();
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i].start <= x && x < list[i].end) return &list[i];
    }
    return &list.back();
}

void ToolsAirfoil::setupReynolds(std::vector<AirfoilSegment>* segments, const spline* chord,
                                 const OperatingConditions& conditions) {
    for (auto& segment : *segments) {
        if (segment.first->hasReynoldsRange()) {
            segment.first->setReynolds(Common::reynolds(segment.start, (*chord)(segment.start), conditions));
        }
        if (segment.second->hasReynoldsRange()) {
            segment.second->setReynolds(Common::reynolds(segment.end, (*chord)(segment.end), conditions));
        }
    }
}

}  // namespace bemt
