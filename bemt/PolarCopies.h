#pragma once
// Copies of airfoil segments whose polars have mutable state of their own (Reynolds
// number, blend ratio, splines), so that independent computations can run on separate
// threads. A polar shared by several segments (or blends) of the original is shared the
// same way among the copies, since the computation relies on that sharing.

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "bemt/Records.h"

namespace bemt {

class ProfileParams;

class PolarCopies {
public:
    // The copy of polar, made on the first request; null when the polar cannot be
    // copied (it does not implement ProfileParams::copy).
    std::shared_ptr<ProfileParams> of(const ProfileParams* polar);

    // The segments with all their polars copied; nullopt when one cannot be copied.
    static std::optional<std::vector<AirfoilSegment>> copySegments(const std::vector<AirfoilSegment>& segments);

private:
    // Few polars per blade: a list searched from the front is the quickest map.
    std::vector<std::pair<const ProfileParams*, std::shared_ptr<ProfileParams>>> m_copies;
};

}  // namespace bemt
