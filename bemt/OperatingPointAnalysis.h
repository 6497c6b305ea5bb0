#pragma once
// The operating point of a given blade at given conditions and blade pitch: every
// element solved (from the middle of the blade outwards, then from the middle inwards,
// each starting from its converged neighbour), the Reynolds numbers of
// Reynolds-dependent polars refined per element, and thrust and power summed over the
// converged elements. A rotor with cone, tilt, yaw, shear or prebend is solved per
// azimuth sector, each element with the inflow SectorModel gives it.

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "bemt/Records.h"
#include "bemt/SectorModel.h"
#include "bemt/StallDelay.h"
#include "bemt/spline.h"

namespace bemt {

class Solver;

class OperatingPointAnalysis {
public:
    // Builds the chord and twist distributions of data once, for any number of operating
    // points, and the stall delay of every element when data asks for it: its lift line
    // fitted to the element's polar at the element's Reynolds number under data's
    // conditions with guessed induction (the polars' Reynolds numbers are set for it;
    // each analysis sets them again). Throws the spline messages (too few chord or twist
    // points, ...).
    explicit OperatingPointAnalysis(const InputDataSet& data);

    // What the operating points computed on one thread share: the segments, whose
    // polars receive the Reynolds numbers of each analysis (so no other thread may use
    // them meanwhile), and the best lift-to-drag angle of every element whose polars do
    // not depend on the Reynolds number (the same at every operating point).
    // It is sized for the elements when it is made, so that a thread that ends up with
    // no operating point allocates what the others do.
    struct Workspace {
        Workspace(std::vector<AirfoilSegment> blade, int elements)
            : segments(std::move(blade)), bestAngles(static_cast<std::size_t>(std::max(elements, 0))) {}
        std::vector<AirfoilSegment> segments;
        std::vector<std::optional<double>> bestAngles;  // by element index
    };

    // One operating point with solver in workspace. elementDone is called after every
    // element with the number of elements finished; it may throw to abort, and the
    // exception propagates. With TotalsOnly the result holds no element solutions. The
    // plain rotor is computed in one pass; any other has its sectors computed one after
    // another and combined.
    OperatingPoint analyze(Solver& solver, Workspace& workspace, const OperatingConditions& conditions,
                           double pitch, const std::function<void(int)>& elementDone,
                           ElementDetail detail = ElementDetail::Kept) const;

    // Azimuth sector k of an operating point of a rotor that is not plain: every element
    // solved with its own inflow; elementDone counts as in analyze.
    RotorSector analyzeSector(Solver& solver, Workspace& workspace, const OperatingConditions& conditions,
                              double pitch, int k, const std::function<void(int)>& elementDone,
                              ElementDetail detail) const;

    // The operating point of all its sectors in azimuth order: thrust, power and root
    // moment the means over the sectors, the largest root moment, the coefficients on the
    // swept radius; with Kept, the elements averaged over the sectors and, for more than
    // one sector, the sectors themselves.
    OperatingPoint combine(const OperatingConditions& conditions, std::vector<RotorSector> sectors,
                           ElementDetail detail) const;

    int elements() const { return m_settings.n_elements; }
    // The sectors of an operating point: 1 for the plain rotor.
    int sectors() const { return m_model.sectors(); }
    const SectorModel& model() const { return m_model; }

private:
    struct BladeTotals {
        double T = 0.0, P = 0.0, rootMoment = 0.0;
        bool converged = true, extrapolated = false;
    };
    // Every element solved (from the middle of the blade outwards, then inwards), the
    // plain rotor's into plain, a sector's at azimuth *psi into sector (either may be
    // null: totals only). kSector says whether psi is given, so that the plain rotor's
    // elements make no test for sectors.
    template <bool kSector>
    BladeTotals solveBlade(Solver& solver, Workspace& workspace, const OperatingConditions& conditions, double pitch,
                           const double* psi, std::vector<Solution>* plain, std::vector<SectorElement>* sector,
                           const std::function<void(int)>& elementDone) const;

    SolverSettings m_settings;
    spline m_chord;  // c/R over r/R, linear
    spline m_twist;  // degrees over r/R, cubic
    SectorModel m_model;
    bool m_blendAirfoils;
    // The stall delay of every element (by index), empty when the polars stay 2D.
    std::vector<StallDelayCorrection> m_stallDelay;
};

}  // namespace bemt
