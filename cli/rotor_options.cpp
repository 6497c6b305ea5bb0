#include "cli/rotor_options.h"

#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"
#include "cli/option_checks.h"

namespace korvane::cli {

namespace Limits = bemt::Limits;

namespace {

// "auto" or a whole number of sectors within its limits.
CLI::Validator sectorsValidator() {
    const CLI::Validator whole = numberWithin(Limits::sectors, true);
    return CLI::Validator(
        [whole](std::string& input) -> std::string {
            if (input == "auto") return std::string();
            const std::string problem = whole(input);
            if (problem == "\"" + input + "\" is not a number.") return "\"" + input + "\" is neither auto nor a number.";
            return problem;
        },
        "");
}

}  // namespace

void addRotorOptions(CLI::App& command, RotorOverrides& o) {
    const auto angle = [&command](const std::string& name, std::optional<double>& field, const std::string& what,
                                  const bemt::ValueLimit& limit) {
        addNumberOption<double>(
            command, name, [&field](double v) { field = v; }, what + ", " + limit.rangeText(), limit)
            ->option_text("DEG");
    };
    angle("--precone", o.precone, "Blade cone angle in degrees, positive tips the blades upwind", Limits::precone);
    angle("--tilt", o.tilt, "Shaft tilt in degrees, positive raises the upwind end of the shaft", Limits::tilt);
    angle("--yaw", o.yaw, "Yaw misalignment of the wind in degrees", Limits::yaw);
    addNumberOption<double>(
        command, "--shear", [&o](double v) { o.shearExponent = v; },
        "Wind shear power-law exponent, " + Limits::shearExponent.rangeText() + " (needs a hub height above R)",
        Limits::shearExponent)
        ->option_text("EXP");
    addNumberOption<double>(
        command, "--hub-height", [&o](double v) { o.hubHeight = v; },
        "Hub height above the ground in m, " + Limits::hubHeight.rangeText(), Limits::hubHeight)
        ->option_text("H");
    command
        .add_option_function<std::string>(
            "--sectors",
            [&o](const std::string& text) {
                o.sectors = text == "auto" ? bemt::RotorGeometry::kAutoSectors : static_cast<int>(optionNumber(text));
            },
            "Azimuth sectors averaged, " + Limits::sectors.rangeText() + ", or auto (1 without tilt, yaw and shear, "
                "else " + std::to_string(bemt::RotorGeometry::kVaryingSectors) + ")")
        ->transform(sectorsValidator())
        ->option_text("N|auto");
    command
        .add_option_function<std::string>(
            "--skew",
            [&o](const std::string& name) {
                o.skew.emplace();
                bemt::Rotor::skewFromName(name, *o.skew);
            },
            "Skewed-wake correction of the axial induction: none or pitt_peters")
        ->check(CLI::IsMember({bemt::Rotor::skewName(bemt::SkewCorrection::None),
                               bemt::Rotor::skewName(bemt::SkewCorrection::PittPeters)}))
        ->option_text("none|pitt_peters");
    command.add_flag("--no-tip-loss", o.noTipLoss, "Leave out the Prandtl tip loss factor");
    command.add_flag("--no-hub-loss", o.noHubLoss, "Leave out the Prandtl hub loss factor");
    command.add_flag("--no-wake-rotation", o.noWakeRotation, "Leave out the tangential induction (a' = 0)");
    command.add_flag("--no-drag-in-induction", o.noDragInInduction,
                     "Leave the drag term out of both induction equations (the loads keep it)");
}

void applyRotorOverrides(ProjectData& project, const RotorOverrides& o) {
    bemt::RotorGeometry& g = project.rotor;
    if (o.precone) g.precone = *o.precone;
    if (o.tilt) g.tilt = *o.tilt;
    if (o.yaw) g.yaw = *o.yaw;
    if (o.shearExponent) g.shear_exponent = *o.shearExponent;
    if (o.hubHeight) g.hub_height = *o.hubHeight;
    if (o.sectors) g.sectors = *o.sectors;
    if (o.skew) g.skew = *o.skew;
    bemt::SolverSettings& s = project.solverSettings;
    if (o.noTipLoss) s.tip_loss = false;
    if (o.noHubLoss) s.hub_loss = false;
    if (o.noWakeRotation) s.wake_rotation = false;
    if (o.noDragInInduction) s.drag_in_induction = false;
}

}  // namespace korvane::cli
