#pragma once
// The rotor beyond the flat disc square to a uniform wind: precone, shaft tilt, yaw
// misalignment, a power-law wind shear, blade prebend, and the number of azimuth
// sectors its loads are averaged over. Angles in degrees, lengths in metres.
//
// Conventions: azimuth 0 is the blade pointing straight up, growing with the rotation
// (clockwise seen from upwind). Precone > 0 tips the blades upwind; tilt > 0 raises the
// upwind end of the shaft; prebend > 0 moves the blade's reference axis downwind (as
// OpenFAST's BlCrvAC), so a blade bent away from the tower of an upwind rotor has
// negative values toward the tip.

#include <cstdint>
#include <string>
#include <vector>

#include "bemt/spline.h"

namespace bemt {

// How the axial induction varies over a skewed rotor disc.
enum class SkewCorrection : std::int32_t {
    None = 0,
    PittPeters = 1,  // a (1 + 15 pi/32 (r/R) tan(chi/2) cos psi'), psi' from the most downwind blade
};

// The out-of-plane offset of the blade's reference axis at a relative position.
struct PrebendPoint {
    double x_rel = 0.0;   // r/R
    double value = 0.0;   // m, positive downwind
};

struct RotorGeometry {
    static constexpr std::int32_t kAutoSectors = 0;
    // Sectors "auto" takes when the inflow varies around the revolution.
    static constexpr std::int32_t kVaryingSectors = 8;

    double precone = 0.0;          // deg
    double tilt = 0.0;             // deg
    double yaw = 0.0;              // deg
    double hub_height = 0.0;       // m above ground; 0: none given
    double shear_exponent = 0.0;   // power law V = U (z/H)^exponent
    std::int32_t sectors = kAutoSectors;  // azimuth positions averaged, or kAutoSectors
    SkewCorrection skew = SkewCorrection::None;

    // Whether the wind seen by a blade changes around the revolution (tilt, yaw or shear).
    bool inflowVaries() const { return tilt != 0.0 || yaw != 0.0 || shear_exponent != 0.0; }
    // The sectors computed: the stated number, or for auto 1 when the inflow does not
    // vary and kVaryingSectors when it does.
    int sectorCount() const;
};

// A value of the rotor settings that cannot be used: the key as stored in a project file
// and what is wrong with it.
struct RotorSettingProblem {
    std::string key;
    std::string message;
};

// The prebend over r/R, in metres: the cubic spline of the twist through the points;
// zero without points. Throws the spline messages for one point or points out of order.
class PrebendCurve {
public:
    explicit PrebendCurve(const std::vector<PrebendPoint>& points);
    double operator()(double x) const { return m_bent ? m_spline(x) : 0.0; }

private:
    spline m_spline;
    bool m_bent = false;
};

namespace Rotor {

// Every key of the rotor object and its defaults: the settings of a project that
// states none.
bool isDefault(const RotorGeometry& rotor);
bool sameValues(const RotorGeometry& a, const RotorGeometry& b);
bool sameValues(const PrebendPoint& a, const PrebendPoint& b);

// Whether a rotor is the flat disc square to a uniform wind computed in one sector: its
// operating points are computed exactly as without these settings.
bool isPlain(const RotorGeometry& rotor, const std::vector<PrebendPoint>& prebend);

// Values outside their limits, and a shear exponent without a hub height above the
// rotor radius R (m); empty when all are fine.
std::vector<RotorSettingProblem> problems(const RotorGeometry& rotor, double R);

// "none" / "pitt_peters", as project files and the command line name them; false when
// the name is unknown.
std::string skewName(SkewCorrection skew);
bool skewFromName(const std::string& name, SkewCorrection& skew);

// The rotor model in words for result headers ("precone 2.5°, tilt 5°, 8 sectors"); empty
// for the plain rotor.
std::string description(const RotorGeometry& rotor, const std::vector<PrebendPoint>& prebend);

}  // namespace Rotor

}  // namespace bemt
