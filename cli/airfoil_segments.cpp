#include "cli/airfoil_segments.h"

#include <memory>
#include <string>

#include "bemt/ProfileParamsNACA.h"

namespace korvane::cli {

using namespace bemt;

namespace {

std::string describe(std::size_t index, const AirfoilPoint& point) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "Airfoil point %zu (x/R %g)", index + 1, point.x_rel);
    return buffer;
}

NACAairfoil nacaTable(std::size_t index, const AirfoilPoint& point) {
    switch (point.data_type) {
        case NACA0012: return NACA_0012;
        case NACA0015: return NACA_0015;
        case NACA0018: return NACA_0018;
        case NACA0021: return NACA_0021;
        case NACA0025: return NACA_0025;
        case CSVData:
            throw describe(index, point)
                + " uses a CSV polar file, which korvane-cli does not support yet; only the built-in NACA "
                  "airfoils can be computed on the command line for now.";
        case Coordinates:
            throw describe(index, point)
                + " uses airfoil coordinates analysed by XFOIL, which korvane-cli does not support yet; only the "
                  "built-in NACA airfoils can be computed on the command line for now.";
    }
    throw describe(index, point) + " has an unknown airfoil data type.";
}

}  // namespace

std::vector<AirfoilSegment> buildAirfoilSegments(const std::vector<AirfoilPoint>& points) {
    std::vector<AirfoilSegment> segments;
    std::shared_ptr<ProfileParamsNACA> previous;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const AirfoilPoint& point = points[i];
        if (!(point.x_rel >= 0.0 && point.x_rel <= 1.0) || (i > 0 && !(point.x_rel > points[i - 1].x_rel)))
            throw std::string("Airfoils must be ordered by their relative position (0.0 to 1.0).");
        // A repeated point ignores its own data type and uses the previous airfoil.
        const NACAairfoil airfoil = (i > 0 && point.repeat) ? previous->airfoil() : nacaTable(i, point);
        auto polar = std::make_shared<ProfileParamsNACA>(airfoil);
        if (i > 0) segments.push_back({points[i - 1].x_rel, point.x_rel, previous, polar});
        previous = std::move(polar);
    }
    return segments;
}

}  // namespace korvane::cli
