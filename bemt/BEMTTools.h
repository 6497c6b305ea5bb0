#pragma once
// The facade of the numerical core: blade design, operating point analysis and the
// sweeps built on them. The GUI's compute panel and the command line call the same
// functions, so both show the same numbers.
//
// Progress callbacks receive a whole percentage and a text; they may throw to abort,
// and the exception propagates out of the call.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bemt/Common.h"
#include "bemt/Records.h"
#include "bemt/SweepRange.h"

namespace bemt {

class Solver;

// Called with a whole percentage and a text; may throw to abort.
using ProgressCallback = std::function<void(int, const std::string&)>;

// Why an operating point with this power coefficient was marked not converged.
std::string betzLimitNote(double Cp);
// The note for the highest Cp of a sweep's results, when it lies above the limit.
std::optional<std::string> betzLimitNote(const std::vector<pitchControlledOperatingPoint>& points);
std::optional<std::string> betzLimitNote(const std::vector<pitchControlledCharacteristicElement>& steps);

// Why a blade of n elements cannot be designed, if it cannot: the designed chord and
// twist are splines through the elements, which need two.
std::optional<std::string> designElementsRefusal(int n);

// One independent operating point to compute.
struct OperatingPointRequest {
    double V0 = 0.0;      // free wind velocity, m/s
    double Om = 0.0;      // rotor angular velocity, rad/s
    double pitch = 0.0;   // blade pitch, degrees
};

struct DesignedBlade {
    std::vector<ChordPoint> chordPoints;
    std::vector<TwistPoint> twistPoints;
};

struct DesignResult {
    DesignedBlade blade;
    std::vector<pitchControlledOperatingPoint> points;
};

class BEMTTools {
public:
    explicit BEMTTools(SolverType type = NewtonRaphson);
    ~BEMTTools();
    BEMTTools(const BEMTTools&) = delete;
    BEMTTools& operator=(const BEMTTools&) = delete;

    // Replaces the element solver: 0 Ning, 1 Newton-Raphson, any other value fixed point.
    void setSolver(SolverType type);

    // Threads of the sweeps (the calling one included); at least 1. The default is
    // ThreadCount::standard(): KORVANE_THREADS, otherwise every core.
    void setThreads(int threads);
    int threads() const { return m_threads; }

    // The operating point of the rotor at a blade pitch angle in degrees. The sectors of a
    // rotor computed per azimuth position run on the configured threads.
    OperatingPoint analyzeOp(InputDataSet data, const ProgressCallback& progress, double pitch);

    // Chord and twist of the blade of maximal power at the design conditions, with the
    // relative chord limited to maxRelativeChord. The chord and twist points of data are
    // not used.
    DesignedBlade designBlade(InputDataSet data, const ProgressCallback& progress, double maxRelativeChord);

    // The operating points of all requests, result i for request i, computed in parallel
    // on the configured number of threads (each with its own solver and its own copies of
    // the mutable polar state); their totals are identical to computing them one after
    // another with analyzeOp on conditions with V0, Om and TSR = Om*R/V0 set, and they
    // keep no element solutions. Progress is monotonic; a throwing progress callback
    // aborts all workers and the exception propagates. Grids and sweeps too large for
    // the memory the process may use are refused before any work.
    std::vector<OperatingPoint> analyzeOpGrid(const InputDataSet& data,
                                              const std::vector<OperatingPointRequest>& requests,
                                              const ProgressCallback& progress);

    // The sweeps below run their operating points in parallel like analyzeOpGrid; their
    // progress is the share of all element solves done.

    // One operating point per pitch angle. The progress text is label followed by the
    // pitch ("%.3g") and " °)." of the first pitch angle not yet finished.
    std::vector<pitchControlledOperatingPoint> pitchSweep(const InputDataSet& data, const SweepRange& pitch,
                                                          const ProgressCallback& progress,
                                                          const std::string& label = "Computing the operating point (");

    // Operating points over wind velocity or tip speed ratio, for every pitch angle, with
    // their totals only (no element solutions; pitchSweep at a step's conditions gives
    // that step's elements, to the last bit).
    std::vector<pitchControlledCharacteristicElement> characteristicsSweep(const InputDataSet& data,
                                                                           ComputeRangeType type,
                                                                           const SweepRange& range,
                                                                           const SweepRange& pitch,
                                                                           const ProgressCallback& progress);

    // The blade design followed by the pitch sweep of the designed blade, both for the
    // plain rotor (no cone, tilt, yaw, shear or prebend), whatever data's rotor is.
    DesignResult designSweep(const InputDataSet& data, const SweepRange& pitch, double maxRelativeChord,
                             const ProgressCallback& progress);

    // The pitch angles a project's compute settings ask for: the pitch range when pitch
    // regulation is on, otherwise pitch 0 alone.
    static SweepRange pitchRange(const ComputeSettings& settings);
    static SweepRange characteristicsRange(const ComputeSettings& settings);
    // Characteristics steps closer to zero than this are computed at this value instead,
    // because V0 = 0 or TSR = 0 makes the other quantity infinite.
    static constexpr double kSmallestSweepValue = 0.2;

private:
    SolverType m_type;
    std::unique_ptr<Solver> m_solver;  // of the serial computations
    int m_threads;
};

}  // namespace bemt
