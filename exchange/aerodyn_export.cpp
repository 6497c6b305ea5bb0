#include "exchange/aerodyn_export.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsList.h"
#include "bemt/ToolsAirfoil.h"
#include "bemt/spline.h"

namespace korvane::aerodyn {

using namespace bemt;
using NumberText::formatted;
namespace fs = std::filesystem;

namespace {

// Thickness of the built-in tables, fraction of chord.
double nacaThickness(AirfoilType type) {
    switch (type) {
        case NACA0012: return 0.12;
        case NACA0015: return 0.15;
        case NACA0018: return 0.18;
        case NACA0021: return 0.21;
        default: return 0.25;
    }
}

// The tabulated angles and thickness of a polar, where it has them.
struct PolarFacts {
    std::vector<double> angles;
    double thickness = ProfileParamsList::kDefaultThickness;
};

PolarFacts factsOf(ProfileParams* polar, const AirfoilPoint& point) {
    PolarFacts facts;
    if (polar->isNACAProfile()) {
        facts.thickness = nacaThickness(point.data_type);
    } else if (auto* table = dynamic_cast<ProfileParamsAeroDyn*>(polar)) {
        facts.angles = table->tabulatedAngles();
        facts.thickness = table->relativeThickness();
    } else if (auto* list = dynamic_cast<ProfileParamsList*>(polar)) {
        facts.angles = list->alphaList();
        facts.thickness = list->relativeThickness();
    } else if (auto* combined = dynamic_cast<ProfileParamsCombined*>(polar)) {
        for (ProfileParams* part : {combined->getProfile1(), combined->getProfile2()}) {
            const PolarFacts partFacts = factsOf(part, point);
            facts.angles.insert(facts.angles.end(), partFacts.angles.begin(), partFacts.angles.end());
            facts.thickness = partFacts.thickness;
        }
    }
    return facts;
}

// Whole degrees from -180 to 180 and every tabulated angle, strictly increasing.
std::vector<double> exportAngles(std::vector<double> tabulated) {
    for (int a = -180; a <= 180; ++a) tabulated.push_back(a);
    std::erase_if(tabulated, [](double a) { return !(a >= -180.0 && a <= 180.0); });
    std::sort(tabulated.begin(), tabulated.end());
    tabulated.erase(std::unique(tabulated.begin(), tabulated.end()), tabulated.end());
    return tabulated;
}

std::string fileStem(const AirfoilPoint& point) {
    std::string stem;
    if (readsDataFile(point.data_type)) {
        stem = fs::path(point.path).stem().string();
    } else {
        stem = "NACA" + formatted("%04.0f", nacaThickness(point.data_type) * 100.0);
    }
    for (char& c : stem) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    }
    return stem.empty() ? "airfoil" : stem;
}

std::string airfoilTable(ProfileParams* polar, const AirfoilPoint& point, double reynolds,
                         const std::string& projectName) {
    const PolarFacts facts = factsOf(polar, point);
    const std::vector<double> angles = exportAngles(facts.angles);
    std::string text;
    text += "! ------------ AirfoilInfo v1.01.x Input File ----------------------------------\n";
    text += "! Polar of " + fileStem(point) + " as Korvane uses it at x/R " + formatted("%.6g", point.x_rel) +
            " of " + projectName + ", Re " + formatted("%.6g", reynolds) + ".\n";
    text += "! Angles of attack -180 to 180 deg; no unsteady-aerodynamics data; columns alpha, Cl, Cd.\n";
    text += "! ------------------------------------------------------------------------------\n";
    text += "\"DEFAULT\"     InterpOrd         ! Interpolation order to use for quasi-steady table lookup "
            "{1=linear; 3=cubic spline; \"default\"} [default=1]\n";
    text += formatted("%10.6g", facts.thickness) +
            "   RelThickness      ! The non-dimensional thickness of the airfoil (thickness/chord)\n";
    text += "          1   NonDimArea        ! The non-dimensional area of the airfoil (area/chord^2)\n";
    text += "          0   NumCoords         ! The number of coordinates in the airfoil shape file\n";
    text += "\"unused\"      BL_file           ! The file name including the boundary layer characteristics\n";
    text += "          1   NumTabs           ! Number of airfoil tables in this file\n";
    text += "! ------------------------------------------------------------------------------\n";
    text += "! data for table 1\n";
    text += "! ------------------------------------------------------------------------------\n";
    text += formatted("%14.10g", reynolds / 1e6) + "   Re                ! Reynolds number in millions\n";
    text += "          0   UserProp          ! User property (control) setting\n";
    text += "False         InclUAdata        ! Is unsteady aerodynamics data included in this table?\n";
    text += "! ------------------------------------------------------------------------------\n";
    text += formatted("%11.0f", static_cast<double>(angles.size())) +
            "   NumAlf            ! Number of data lines in the following table\n";
    text += "!    Alpha                  Cl                     Cd\n";
    text += "!    (deg)                  (-)                    (-)\n";
    for (const double a : angles) {
        const double alpha = Common::deg2rad(a);
        // A spline may dip a hair below zero between tabulated points; AeroDyn refuses
        // negative drag.
        const double cd = std::max(0.0, polar->cd(alpha));
        text += formatted("%22.15g", a) + " " + formatted("%22.15g", polar->cl(alpha)) + " " + formatted("%22.15g", cd) + "\n";
    }
    return text;
}

std::string bladeFile(const ProjectData& project, const std::vector<double>& nodes, const std::vector<int>& ids,
                      const std::string& projectName) {
    const OperatingConditions& c = project.conditions;
    const auto [chordX, chordY] = Common::splitChordPoints(project.chordPoints);
    const auto [twistX, twistY] = Common::splitTwistPoints(project.twistPoints);
    const spline chord(chordX, chordY, spline::linear);
    const spline twist(twistX, twistY, spline::cubic);
    const PrebendCurve prebend(project.prebendPoints);
    std::string text;
    text += "------- AERODYN v15.00.* BLADE DEFINITION INPUT FILE -------------------------------------\n";
    text += "Blade of " + projectName + ", exported by Korvane (R " + formatted("%g", c.R) + " m, hub radius " +
            formatted("%g", c.Rh) + " m)\n";
    text += "======  Blade Properties =================================================================\n";
    text += formatted("%11.0f", static_cast<double>(nodes.size())) +
            "   NumBlNds           - Number of blade nodes used in the analysis (-)\n";
    text += "                 BlSpn                BlCrvAC                BlSwpAC               BlCrvAng"
            "                BlTwist                BlChord   BlAFID\n";
    text += "                   (m)                    (m)                    (m)                  (deg)"
            "                  (deg)                    (m)      (-)\n";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const double x = nodes[i];
        const double span = std::max(0.0, x * c.R - c.Rh);
        text += formatted("%22.15g", span) + " " + formatted("%22.15g", prebend(x)) + " " + formatted("%22.15g", 0.0) + " " +
                formatted("%22.15g", 0.0) + " " + formatted("%22.15g", twist(x)) + " " + formatted("%22.15g", chord(x) * c.R) +
                " " + formatted("%8.0f", static_cast<double>(ids[i])) + "\n";
    }
    return text;
}

}  // namespace

std::vector<double> nodePositions(const ProjectData& project, std::optional<int> nodeCount) {
    const double hub = project.conditions.Rh / project.conditions.R;
    std::vector<double> nodes;
    if (nodeCount) {
        if (*nodeCount < 2)
            throw bemt::Error("The number of nodes must be at least 2, not " + std::to_string(*nodeCount) + ".");
        for (int i = 0; i < *nodeCount; ++i) nodes.push_back(hub + (1.0 - hub) * i / (*nodeCount - 1));
        return nodes;
    }
    for (const ChordPoint& p : project.chordPoints) nodes.push_back(p.x_rel);
    for (const AirfoilPoint& p : project.airfoilPoints) nodes.push_back(p.x_rel);
    // AeroDyn gives each node's table the stretch nearer to it than to its neighbours, so
    // a node just inboard of each airfoil point, still on the previous airfoil, puts the
    // change of table where the project has it (within kBoundaryGap / 2), and an import
    // of the export finds the airfoil regions where they were.
    for (std::size_t k = 1; k < project.airfoilPoints.size(); ++k)
        nodes.push_back(project.airfoilPoints[k].x_rel - kBoundaryGap);
    std::erase_if(nodes, [hub](double x) { return !(x >= hub && x <= 1.0); });
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    if (nodes.size() < 2)
        throw bemt::Error(
            "The blade has fewer than two chord or airfoil points between the hub and the tip; "
            "give the number of nodes.");
    return nodes;
}

std::vector<OutputFile> exportFiles(const ProjectData& project, std::vector<AirfoilSegment> segments,
                                    std::optional<int> nodeCount, const std::string& projectName) {
    const auto& points = project.airfoilPoints;
    if (points.size() < 2 || segments.size() + 1 != points.size())
        throw bemt::Error("The blade needs at least two airfoil points to be exported.");
    const std::vector<double> nodes = nodePositions(project, nodeCount);

    const auto [chordX, chordY] = Common::splitChordPoints(project.chordPoints);
    const spline chord(chordX, chordY, spline::linear);
    ToolsAirfoil::setupReynolds(&segments, &chord, project.conditions);

    std::vector<OutputFile> files;
    std::string list = "! Lines for the AeroDyn v15 primary input (airfoil tables of " + projectName + ")\n";
    list += "! The tables hold no Cm column: set InCol_Cm to 0 (and UseBlCm to False).\n";
    list += formatted("%11.0f", static_cast<double>(points.size())) + "   NumAFfiles         - Number of airfoil files used (-)\n";
    for (std::size_t k = 0; k < points.size(); ++k) {
        ProfileParams* polar = k + 1 < points.size() ? segments[k].first.get() : segments.back().second.get();
        const double x = points[k].x_rel;
        const double reynolds = Common::reynolds(x, chord(x), project.conditions);
        const std::string name = "Airfoils/AF" + formatted("%02.0f", static_cast<double>(k + 1)) + "_" +
                                 fileStem(points[k]) + ".dat";
        files.push_back({name, airfoilTable(polar, points[k], reynolds, projectName)});
        list += "\"" + name + "\"" + (k == 0 ? "    AFNames            - Airfoil file names (NumAFfiles lines) "
                                               "(quoted strings)\n"
                                             : "\n");
    }

    // A node takes the airfoil of the last airfoil point at or before it.
    std::vector<int> ids;
    for (const double x : nodes) {
        int id = 1;
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (points[k].x_rel <= x) id = static_cast<int>(k) + 1;
        }
        ids.push_back(id);
    }
    files.push_back({kBladeFile, bladeFile(project, nodes, ids, projectName)});
    files.push_back({kAirfoilListFile, list});
    return files;
}

std::vector<WrittenFile> writeFiles(const std::string& folder, const std::vector<OutputFile>& files) {
    std::vector<std::pair<std::string, std::string>> set;
    set.reserve(files.size());
    for (const OutputFile& file : files) set.emplace_back(file.name, file.content);
    return writeFileSet(folder, set);
}

}  // namespace korvane::aerodyn
