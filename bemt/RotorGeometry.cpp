#include "bemt/RotorGeometry.h"

#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"

namespace bemt {

int RotorGeometry::sectorCount() const {
    if (sectors != kAutoSectors) return sectors;
    return inflowVaries() ? kVaryingSectors : 1;
}

PrebendCurve::PrebendCurve(const std::vector<PrebendPoint>& points) {
    if (points.empty()) return;
    std::vector<double> x, p;
    for (const PrebendPoint& point : points) {
        x.push_back(point.x_rel);
        p.push_back(point.value);
    }
    m_spline = spline(x, p, spline::cubic);
    m_bent = true;
}

namespace Rotor {

namespace {
const RotorGeometry kDefault{};
}  // namespace

bool sameValues(const RotorGeometry& a, const RotorGeometry& b) {
    return a.precone == b.precone && a.tilt == b.tilt && a.yaw == b.yaw && a.hub_height == b.hub_height
           && a.shear_exponent == b.shear_exponent && a.sectors == b.sectors && a.skew == b.skew;
}

bool sameValues(const PrebendPoint& a, const PrebendPoint& b) { return a.x_rel == b.x_rel && a.value == b.value; }

bool isDefault(const RotorGeometry& rotor) { return sameValues(rotor, kDefault); }

bool isPlain(const RotorGeometry& rotor, const std::vector<PrebendPoint>& prebend) {
    for (const PrebendPoint& p : prebend)
        if (p.value != 0.0) return false;
    return rotor.precone == 0.0 && !rotor.inflowVaries() && rotor.sectorCount() == 1;
}

std::vector<RotorSettingProblem> problems(const RotorGeometry& rotor, double R) {
    std::vector<RotorSettingProblem> found;
    auto limited = [&found](const char* key, double value, const ValueLimit& limit) {
        if (const auto refusal = limit.check(value)) found.push_back({key, *refusal});
    };
    limited("precone", rotor.precone, Limits::precone);
    limited("tilt", rotor.tilt, Limits::tilt);
    limited("yaw", rotor.yaw, Limits::yaw);
    limited("hub_height", rotor.hub_height, Limits::hubHeight);
    limited("shear_exponent", rotor.shear_exponent, Limits::shearExponent);
    if (rotor.sectors != RotorGeometry::kAutoSectors) limited("sectors", rotor.sectors, Limits::sectors);
    // The power law needs the height of the hub above the ground, which lies above the tip.
    if (rotor.shear_exponent != 0.0 && found.empty() && !(rotor.hub_height > R)) {
        found.push_back({"hub_height", "a wind shear exponent of " + NumberText::shortText(rotor.shear_exponent) +
                                           " needs a hub height greater than the rotor radius R (" +
                                           NumberText::shortText(R) + " m), not " +
                                           NumberText::shortText(rotor.hub_height) + " m."});
    }
    return found;
}

std::string skewName(SkewCorrection skew) { return skew == SkewCorrection::PittPeters ? "pitt_peters" : "none"; }

bool skewFromName(const std::string& name, SkewCorrection& skew) {
    if (name == "none") {
        skew = SkewCorrection::None;
    } else if (name == "pitt_peters") {
        skew = SkewCorrection::PittPeters;
    } else {
        return false;
    }
    return true;
}

std::string description(const RotorGeometry& rotor, const std::vector<PrebendPoint>& prebend) {
    if (isPlain(rotor, prebend)) return {};
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    auto angle = [&add](const char* name, double value) {
        if (value != 0.0) add(std::string(name) + " " + NumberText::shortText(value) + "°");
    };
    angle("precone", rotor.precone);
    angle("tilt", rotor.tilt);
    angle("yaw", rotor.yaw);
    if (rotor.shear_exponent != 0.0)
        add("shear exponent " + NumberText::shortText(rotor.shear_exponent) + " at hub height " +
            NumberText::shortText(rotor.hub_height) + " m");
    if (!isPlain(RotorGeometry{}, prebend)) add("prebend");
    if (rotor.skew != SkewCorrection::None) add("Pitt-Peters skewed wake");
    const int n = rotor.sectorCount();
    add(std::to_string(n) + (n == 1 ? " sector" : " sectors"));
    return text;
}

}  // namespace Rotor

}  // namespace bemt
