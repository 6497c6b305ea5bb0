#include "exchange/openfast_project.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "project/kvp_codec.h"

namespace korvane::openfast {

using namespace bemt;

namespace {

std::string number(double value) { return bemt::NumberText::shortText(value); }

// Air values when neither AeroDyn nor the driver gives them.
constexpr double kDensity = 1.225;
constexpr double kKinematicViscosity = 1.464e-5;
constexpr double kSpeedOfSound = 335.0;

struct Environment {
    std::optional<double> density, viscosity, speedOfSound;
};

double airValue(const std::optional<double>& aeroDyn, const std::optional<double>& driver, double fallback,
                const char* key, const char* unit, std::vector<std::string>& notes) {
    if (aeroDyn) return *aeroDyn;
    if (driver) return *driver;
    notes.push_back(std::string(key) + " is given neither by AeroDyn nor by the driver file; " + number(fallback) +
                    " " + unit + " is used.");
    return fallback;
}

// Reads every airfoil table once, so that a broken file stops the import; true when
// some file holds more than one table.
bool severalTables(const AeroDynInput& aero) {
    bool several = false;
    for (const std::string& path : aero.airfoilFiles) {
        ProfileParamsAeroDyn table;
        table.loadFile(path);
        several = several || table.tables().size() > 1;
    }
    return several;
}

// AeroDyn's switches of the BEM model; Korvane has one switch for the drag in both
// induction equations, which follows AIDrag (TIDrag is unused without TanInd).
void takeSwitches(const AeroDynInput& aero, SolverSettings& s, std::vector<std::string>& notes) {
    s.tip_loss = aero.tipLoss.value_or(true);
    s.hub_loss = aero.hubLoss.value_or(true);
    s.wake_rotation = aero.tangentialInduction.value_or(true);
    s.drag_in_induction = aero.axialDrag.value_or(aero.tangentialDrag.value_or(true));
    if (s.wake_rotation && aero.tangentialDrag && *aero.tangentialDrag != s.drag_in_induction)
        notes.push_back(std::string("TIDrag = ") + (*aero.tangentialDrag ? "True" : "False") + " differs from AIDrag: "
                        "Korvane " + (s.drag_in_induction ? "keeps" : "leaves out") +
                        " the drag term in both induction equations, as AIDrag says.");
}

ImportedProject buildProject(const AeroDynInput& aero, const RotorSize& rotor, const Environment& driver,
                             std::optional<double> rotorSpeedRpm, std::vector<std::string> notes) {
    const double R = rotor.tipRadius;
    const double Rh = rotor.hubRadius;
    if (!(R > 0.0 && Rh >= 0.0 && Rh < R))
        throw bemt::Error("The rotor radius (" + number(R) + " m) must be above 0 and above the hub radius (" +
                          number(Rh) + " m).");
    if (rotor.blades < 1)
        throw bemt::Error("The number of blades must be at least 1, not " + std::to_string(rotor.blades) + ".");

    const bool tablesVary = severalTables(aero);
    ProjectData project;
    project.conditions = newProjectConditions();
    OperatingConditions& c = project.conditions;
    c.R = R;
    c.Rh = Rh;
    c.L = R - Rh;
    c.B = rotor.blades;
    c.rho = airValue(aero.airDensity, driver.density, kDensity, "The air density", "kg/m^3", notes);
    const double nu =
        airValue(aero.kinematicViscosity, driver.viscosity, kKinematicViscosity, "The kinematic viscosity", "m^2/s",
                 notes);
    c.mu = c.rho * nu;
    c.cair = airValue(aero.speedOfSound, driver.speedOfSound, kSpeedOfSound, "The speed of sound", "m/s", notes);
    if (rotorSpeedRpm) c.Om = *rotorSpeedRpm * std::numbers::pi / 30.0;
    c.V0 = c.Om * R / kImportTipSpeedRatio;
    c.TSR = kImportTipSpeedRatio;

    project.solverSettings = newProjectSolverSettings();
    project.solverSettings.solver = Ning;
    project.computeSettings = newProjectComputeSettings();
    project.computeSettings.enable_interpolation = false;

    double curve = 0.0, sweep = 0.0;
    std::vector<PrebendPoint> prebend;
    for (std::size_t i = 0; i < aero.nodes.size(); ++i) {
        const AeroDynBladeNode& node = aero.nodes[i];
        const double x = (Rh + node.span) / R;
        if (x > 1.0 + 1e-12)
            throw bemt::Error(aero.bladeFile + ": node " + std::to_string(i + 1) + " (BlSpn " + number(node.span) +
                              " m) lies beyond the blade tip: TipRad - HubRad is " + number(R - Rh) + " m.");
        project.chordPoints.push_back({x, node.chord / R});
        project.twistPoints.push_back({x, node.twist});
        // AeroDyn evaluates each node's table over the stretch of blade closer to that node
        // than to its neighbours; with blending off an airfoil point applies from its
        // position onward, so it is placed halfway to the previous node.
        AirfoilPoint point;
        point.x_rel = i == 0 ? x : 0.5 * (x + project.chordPoints[i - 1].x_rel);
        point.data_type = AeroDynTable;
        point.path = aero.airfoilFiles[node.airfoil - 1];
        project.airfoilPoints.push_back(point);
        curve = std::max(curve, std::abs(node.curve));
        prebend.push_back({x, node.curve});
        sweep = std::max(sweep, std::abs(node.sweep));
    }

    if (curve > 0.0) project.prebendPoints = std::move(prebend);
    if (sweep > 0.0)
        notes.push_back("Blade sweep (BlSwpAC up to " + number(sweep) + " m) is not modelled: the blade is straight.");
    takeSwitches(aero, project.solverSettings, notes);
    if (aero.wakeModel && *aero.wakeModel != 1 && *aero.wakeModel != 2)
        notes.push_back("The wake model of the AeroDyn input (" + std::to_string(*aero.wakeModel) +
                        ") is not blade element momentum theory; Korvane computes with it.");
    if (aero.tableMode && *aero.tableMode == 1 && tablesVary)
        notes.push_back("AFTabMod = 1: AeroDyn uses the first table of each airfoil file only; Korvane interpolates "
                        "files with several tables in Reynolds number.");
    if (!rotorSpeedRpm)
        notes.push_back("No rotor speed is given; the new-project rotor speed is used.");
    notes.push_back("The wind velocity is set for a tip speed ratio of " + number(kImportTipSpeedRatio) + ".");

    ImportedProject imported{std::move(project), std::move(notes), {aero.path, aero.bladeFile}};
    imported.inputs.insert(imported.inputs.end(), aero.airfoilFiles.begin(), aero.airfoilFiles.end());
    return imported;
}

std::string rpmText(double rpm) { return number(rpm) + " rpm"; }

// The generator and gearbox the model states become the project's turbine; what it does
// not state keeps the defaults for the rotor, and the notes name each of them.
void takeTurbine(const OpenFastModel& model, ImportedProject& imported) {
    const ElastoDynRotor& rotor = model.rotor;
    const ServoDynGenerator generator = model.servoDyn.value_or(ServoDynGenerator{});
    TurbineSettings t = Turbine::defaults(imported.project.conditions);
    std::vector<std::string> defaulted;
    if (generator.efficiency || rotor.gearboxEfficiency) {
        // The decimal a percentage states (94.4 % is 0.944), not the binary noise of
        // dividing it (0.9440000000000001).
        const double efficiency = generator.efficiency.value_or(1.0) * rotor.gearboxEfficiency.value_or(1.0);
        t.efficiency = NumberText::toDouble(NumberText::formatted("%.15g", efficiency)).value_or(efficiency);
    } else {
        defaulted.push_back("efficiency " + number(t.efficiency));
    }
    if (generator.ratedPower) {
        t.rated_power = *generator.ratedPower;
    } else {
        defaulted.push_back("rated power " + number(t.rated_power) + " W");
    }
    const double ratio = rotor.gearboxRatio.value_or(1.0);
    if (generator.ratedGeneratorSpeedRpm) {
        t.rpm_max = *generator.ratedGeneratorSpeedRpm / ratio;
        t.rpm_min = 0.5 * t.rpm_max;
    } else {
        defaulted.push_back("largest rotor speed " + rpmText(t.rpm_max));
    }
    if (generator.minimumGeneratorSpeedRpm) {
        t.rpm_min = *generator.minimumGeneratorSpeedRpm / ratio;
    } else {
        defaulted.push_back("smallest rotor speed " + rpmText(t.rpm_min));
    }
    if (defaulted.size() < 4) {
        imported.project.turbine = t;
        // An OpenFAST model states none of these: the project's are Korvane's defaults.
        imported.notes.push_back("Cut-in " + number(t.cut_in) + " m/s, cut-out " + number(t.cut_out) +
                                 " m/s, pitch from " + number(t.fine_pitch) + " to " + number(t.max_pitch) +
                                 " deg, power curve from " + number(t.wind_min) + " to " + number(t.wind_max) +
                                 " m/s in steps of " + number(t.wind_step) + " m/s, wind climate \"" +
                                 (t.wind_climates.empty() ? "" : t.wind_climates.front().name) +
                                 "\" and availability " + number(t.availability) +
                                 " are Korvane's defaults for the turbine: OpenFAST models do not state them.");
    }
    if (defaulted.empty()) return;

    std::string list;
    for (std::size_t i = 0; i < defaulted.size(); ++i)
        list += (i == 0 ? "" : i + 1 == defaulted.size() ? " and " : ", ") + defaulted[i];
    std::string why;
    for (const std::string& reason : generator.unread) why += (why.empty() ? "" : "; ") + reason;
    if (why.empty()) why = model.servoDyn ? "ServoDyn does not state them" : "the model has no ServoDyn (CompServo)";
    imported.notes.push_back("The turbine's " + list + (defaulted.size() == 1 ? " is the default" : " are the defaults") +
                             " for the rotor: " + why + ".");
}

// The import as it stands, its notes joined into the project's, once Korvane's project
// reader has read it back from the document it writes: what would not open is never
// written or shown.
ImportedProject finished(ImportedProject imported, const std::string& source) {
    for (const std::string& note : imported.notes) {
        if (!imported.project.notes.empty()) imported.project.notes += "\n";
        imported.project.notes += note;
    }
    const std::string stand = source + ".kvp";
    if (const auto problem = kvp::openingProblem(kvp::write(imported.project, stand), stand))
        throw bemt::Error(source +
                          ": the project made from it would not open in Korvane, so it is not imported: " + *problem);
    return imported;
}

}  // namespace

ImportedProject importModel(const std::string& fstPath) {
    const OpenFastModel model = OpenFastReader::readModel(fstPath);
    std::vector<std::string> notes;
    const ElastoDynRotor& rotor = model.rotor;
    if (std::any_of(rotor.precone.begin(), rotor.precone.end(), [&](double cone) { return cone != rotor.precone[0]; })) {
        std::string cones;
        for (const double cone : rotor.precone) cones += (cones.empty() ? "" : ", ") + number(cone);
        notes.push_back("PreCone = " + cones + " deg differs between the blades: the rotor is computed with the "
                        "cone of the first blade.");
    }
    ImportedProject imported = buildProject(model.aeroDyn, {rotor.hubRadius, rotor.tipRadius, rotor.blades},
                                            {model.airDensity, model.kinematicViscosity, model.speedOfSound},
                                            rotor.rotorSpeedRpm, std::move(notes));
    // OpenFAST cones an upwind rotor upwind and raises the upwind end of its shaft with
    // negative angles, Korvane with positive ones.
    RotorGeometry& geometry = imported.project.rotor;
    if (!rotor.precone.empty()) geometry.precone = -rotor.precone.front();
    geometry.tilt = -rotor.shaftTilt;
    if (rotor.towerHeight && rotor.towerToShaft) {
        const double apex = rotor.overhang.value_or(0.0) * std::sin(rotor.shaftTilt * std::numbers::pi / 180.0);
        geometry.hub_height = *rotor.towerHeight + *rotor.towerToShaft + apex;
        imported.notes.push_back("The hub height " + number(geometry.hub_height) +
                                 " m is the rotor apex's: TowerHt + Twr2Shft + OverHang sin(ShftTilt).");
    }
    takeTurbine(model, imported);
    imported.inputs.insert(imported.inputs.begin(), {model.fstPath, model.elastoDynPath});
    if (!model.servoDynPath.empty()) imported.inputs.push_back(model.servoDynPath);
    if (model.servoDyn && !model.servoDyn->controllerPath.empty())
        imported.inputs.push_back(model.servoDyn->controllerPath);
    return finished(std::move(imported), fstPath);
}

ImportedProject importAeroDyn(const std::string& aeroDynPath, const RotorSize& rotor) {
    return finished(buildProject(OpenFastReader::readAeroDyn(aeroDynPath), rotor, {}, std::nullopt, {}), aeroDynPath);
}

}  // namespace korvane::openfast
