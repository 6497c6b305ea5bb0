#include "app/compute_rules.h"

#include <locale>
#include <sstream>

#include "bemt/BEMTTools.h"
#include "turbine/PerformanceSurface.h"

namespace compute_rules {

std::optional<int> rangeSteps(double min, double max, double step) {
    return bemt::SweepRange{min, max, step}.countIfRange();
}

int pitchPositions(const bemt::ComputeSettings& settings) {
    return bemt::BEMTTools::pitchRange(settings).countIfRange().value_or(0);
}

std::optional<Refusal> pitchRefusal(const bemt::ComputeSettings& settings) {
    const int positions = pitchPositions(settings);
    if (positions > kMaxPitchPositions)
        return Refusal{"Too many pitch positions.", "Maximum number of pitch positions is 11."};
    // A range running backwards or without a step would compute nothing and open an
    // empty window.
    if (positions < 1)
        return Refusal{"No pitch positions.",
                       "The pitch range is empty: the maximum pitch angle must not be below the minimum and the step "
                       "must be greater than zero."};
    return std::nullopt;
}

namespace {

// The kind of file an airfoil point reads, as its messages name it.
const char* dataKindName(bemt::AirfoilType type) {
    switch (type) {
        case bemt::CSVData: return "CSV data";
        case bemt::Coordinates: return "Coordinates";
        case bemt::AeroDynTable: return "AeroDyn table";
        case bemt::XfoilPolarFile: return "XFOIL polar file";
        default: return "NACA table";
    }
}

}  // namespace

std::optional<std::string> missingAirfoilFile(const std::vector<bemt::AirfoilPoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const bemt::AirfoilPoint& p = points[i];
        if (p.repeat || !bemt::readsDataFile(p.data_type) || !p.path.empty()) continue;
        std::ostringstream message;
        message.imbue(std::locale::classic());
        message << "Airfoil point " << i + 1 << " (x/R = " << p.x_rel << ", "
                << dataKindName(p.data_type)
                << ") has no data file. Choose its file on the \"Airfoils data\" page.";
        return message.str();
    }
    return std::nullopt;
}

std::array<bool, kSurfaceFields> surfaceGridFaults(double wind, const bemt::SweepRange& tsr,
                                                   const bemt::SweepRange& pitch,
                                                   std::array<SurfaceField, 2> backwardsEnds) {
    namespace Limits = bemt::Limits;
    std::array<bool, kSurfaceFields> faults{};
    // Each number within its own range first; the rules between them only for numbers that
    // are, so that one wrong end does not mark the other.
    const auto range = [&faults](const bemt::SweepRange& r, int min, const bemt::ValueLimit& value,
                                 const bemt::ValueLimit& step, int maxPositions, SurfaceField backwardsEnd) {
        faults[min] = !value.contains(r.min);
        faults[min + 1] = !value.contains(r.max);
        faults[min + 2] = !step.contains(r.step);
        if (faults[min] || faults[min + 1] || faults[min + 2]) return false;
        const auto fault = r.fault();
        if (fault == bemt::SweepRange::Fault::Backwards) faults[backwardsEnd] = true;
        faults[min + 2] = fault == bemt::SweepRange::Fault::NoStep || r.positions() > maxPositions;
        return fault == bemt::SweepRange::Fault::None && !faults[min + 2];
    };
    const bool tsrRange = range(tsr, TsrMin, Limits::tipSpeedRatio, Limits::tipSpeedRatioStep,
                                Limits::kMaxSurfaceTipSpeedRatios, backwardsEnds[0]);
    const bool pitchRange =
        range(pitch, PitchMin, Limits::pitchAngle, Limits::pitchStep, Limits::kMaxPitchPositions, backwardsEnds[1]);
    faults[SurfaceWind] = !Limits::V0.contains(wind);
    if (tsrRange && pitchRange && tsr.positions() * pitch.positions() > bemt::PerformanceSurface::kMaxPoints)
        faults[TsrStep] = faults[PitchStep] = true;
    return faults;
}

}  // namespace compute_rules
