#pragma once
// Airfoil segments: building them from a project's airfoil points, and the lookups on a
// finished list (the segment of a blade position, the Reynolds numbers of the
// segments' Reynolds-dependent polars).

#include <atomic>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "bemt/Records.h"
#include "bemt/XfoilCommunicator.h"
#include "bemt/spline.h"

namespace bemt {

class ToolsAirfoil {
public:
    // The first segment when x <= its start; otherwise the first segment (not the last)
    // with start <= x < end; otherwise the last segment. The list must not be empty.
    static AirfoilSegment* findSegment(double x, std::vector<AirfoilSegment>* segments);

    // Where x lies in the segment: 0 at its start, 1 at its end (beyond outside it).
    static double positionInSegment(double x, const AirfoilSegment& segment);

    // Sets every Reynolds-dependent polar to the Reynolds number at its own point,
    // using the relative chord spline and guessed induction factors.
    static void setupReynolds(std::vector<AirfoilSegment>* segments, const spline* chord,
                              const OperatingConditions& conditions);

    static inline const std::string kNotOrdered =
        "Airfoils must be ordered by their relative position (0.0 to 1.0).";
    static inline const std::string kAborted = "The Xfoil preprocessing has been aborted.";

    // Turns airfoil points into segments (point k and k + 1 make segment k): NACA
    // polars, CSV polars read through openFile, and XFOIL polars computed by one worker
    // thread and one adapter child each, at most two sweeps per core at a time.
    // openFile returns a stream the callee deletes (or null when the file cannot be
    // opened); progress is called from the workers, so it must be thread-safe;
    // abortRequest is polled, cleared when seen, and stops the running analyses within
    // a second.
    // Every point is checked and every file read before any analysis starts. Throws
    // kNotOrdered, "Wrong airfoil XFOIL data parameters.", the CSV, coordinate and file
    // messages, kAborted, and "XFOIL could not analyse FILE at Reynolds number N: ..."
    // for a polar with fewer than two converged angles (with what the adapter said
    // about it) or whose sweep was given up (with the reason: XFOIL missing, hung,
    // the adapter ended). Repeated points share the previous polar where that is safe.
    static std::vector<AirfoilSegment> segmentsFromPoints(std::vector<AirfoilPoint> points,
                                                          std::function<std::istream*(std::string)> openFile,
                                                          OperatingConditions conditions,
                                                          std::function<void(int, std::string)> progress,
                                                          std::atomic<bool>* abortRequest);
    // The same with the adapter and its time limit chosen by the caller. The
    // interruption predicate of channel, when given, stops the run like abortRequest.
    static std::vector<AirfoilSegment> segmentsFromPoints(std::vector<AirfoilPoint> points,
                                                          std::function<std::istream*(std::string)> openFile,
                                                          OperatingConditions conditions,
                                                          std::function<void(int, std::string)> progress,
                                                          std::atomic<bool>* abortRequest,
                                                          const XfoilCommunicator::Settings& channel);

    // The aspect ratio R / mean chord of a blade from its chord points (c/R); infinite
    // without a usable chord.
    static double bladeAspectRatio(const std::vector<ChordPoint>& chord);
    // The points with every cd_max left at 0 set to the Viterna default of the blade,
    // 1.11 + 0.018 AR with the aspect ratio capped at 50.
    static std::vector<AirfoilPoint> withBladeDefaults(std::vector<AirfoilPoint> points,
                                                       const std::vector<ChordPoint>& chord);

    // The Reynolds pair of a "Coordinates" point and the auxiliary value of each polar:
    // the user's range, or a range guessed around the design conditions.
    struct XfoilReynolds {
        double lo = 0.0;
        double hi = 0.0;
        double auxiliaryLo = 0.0;
        double auxiliaryHi = 0.0;
    };
    static XfoilReynolds xfoilReynolds(const AirfoilPoint& point, const OperatingConditions& conditions);
};

}  // namespace bemt
