#include "bemt/PolarCopies.h"

#include <algorithm>

#include "bemt/ProfileParams.h"

namespace bemt {

std::shared_ptr<ProfileParams> PolarCopies::of(const ProfileParams* polar) {
    if (!polar) return nullptr;
    const auto known = std::find_if(m_copies.begin(), m_copies.end(), [polar](const auto& p) { return p.first == polar; });
    if (known != m_copies.end()) return known->second;
    auto copy = polar->copy(*this);
    m_copies.emplace_back(polar, copy);
    return copy;
}

std::optional<std::vector<AirfoilSegment>> PolarCopies::copySegments(const std::vector<AirfoilSegment>& segments) {
    PolarCopies copies;
    std::vector<AirfoilSegment> result;
    result.reserve(segments.size());
    for (const AirfoilSegment& segment : segments) {
        auto first = copies.of(segment.first.get());
        auto second = copies.of(segment.second.get());
        if (!first || !second) return std::nullopt;
        result.push_back({segment.start, segment.end, std::move(first), std::move(second)});
    }
    return result;
}

}  // namespace bemt
