#include "project/project_data.h"

#include <numbers>

#include "bemt/Common.h"

namespace korvane {

using namespace bemt;

OperatingConditions newProjectConditions() {
    OperatingConditions c;
    c.R = 25.0;
    c.Rh = 1.5;
    c.L = 23.5;
    c.B = 3;
    c.V0 = 8.0;
    c.Om = 18.0 * std::numbers::pi / 30.0;  // 18 rpm
    c.TSR = bemt::tipSpeedRatioOf(c);
    c.rho = 1.225;
    c.mu = 1.789e-5;
    c.cair = 331.3;
    return c;
}

SolverSettings newProjectSolverSettings() {
    SolverSettings s;
    s.solver = FixedPoint2D;
    s.n_elements = 100;
    s.accuracy = 1e-5;
    s.max_iterations = 5000;
    s.relaxation_factor = 0.1;
    return s;
}

ComputeSettings newProjectComputeSettings() {
    ComputeSettings s;
    s.enable_interpolation = true;
    s.range_type = tipSpeedRatio;
    s.ran_min = 0.0;
    s.ran_max = 14.0;
    s.ran_step = 0.5;
    s.enable_pitch = false;
    s.p_min = 0.0;
    s.p_max = 20.0;
    s.p_step = 5.0;
    s.design_c_limit = 0.2;
    return s;
}

std::vector<AirfoilPoint> newProjectAirfoilPoints() {
    AirfoilPoint root;
    root.x_rel = 0.06;
    root.repeat = false;
    root.data_type = NACA0012;
    root.csv_separator = Comma;
    AirfoilPoint tip = root;
    tip.x_rel = 1.0;
    tip.repeat = true;
    return {root, tip};
}

std::vector<ChordPoint> newProjectChordPoints() {
    return {{0.06, Common::guessCrel(0.06)}, {1.0, Common::guessCrel(1.0)}};
}

std::vector<TwistPoint> newProjectTwistPoints() {
    std::vector<TwistPoint> points;
    for (double x : {0.06, 0.154, 0.248, 0.436, 0.624}) points.push_back({x, Common::guessTwistDeg(x)});
    points.push_back({1.0, 0.0});  // the tip is untwisted exactly, not by the formula
    return points;
}

ProjectData newProjectData() {
    return {newProjectConditions(),  newProjectSolverSettings(), newProjectComputeSettings(),
            newProjectAirfoilPoints(), newProjectChordPoints(),  newProjectTwistPoints(), std::nullopt, {},
            std::nullopt, {}, {}, std::nullopt};
}

TurbineSettings turbineSettings(const ProjectData& data) {
    return data.turbine ? *data.turbine : Turbine::defaults(data.conditions);
}

std::optional<StallDelayInput> stallDelayInput(const ProjectData& data) {
    if (!StallDelay::corrects(data.stall_delay)) return std::nullopt;
    return StallDelayInput{*data.stall_delay, data.conditions.TSR};
}

bool sameValues(const OperatingConditions& a, const OperatingConditions& b) {
    return a.R == b.R && a.Rh == b.Rh && a.L == b.L && a.B == b.B && a.V0 == b.V0 && a.TSR == b.TSR
           && a.Om == b.Om && a.rho == b.rho && a.mu == b.mu && a.cair == b.cair;
}

bool sameValues(const SolverSettings& a, const SolverSettings& b) {
    return a.solver == b.solver && a.n_elements == b.n_elements && a.accuracy == b.accuracy
           && a.max_iterations == b.max_iterations && a.relaxation_factor == b.relaxation_factor
           && a.tip_loss == b.tip_loss && a.hub_loss == b.hub_loss && a.wake_rotation == b.wake_rotation
           && a.drag_in_induction == b.drag_in_induction;
}

bool sameValues(const ComputeSettings& a, const ComputeSettings& b) {
    return a.enable_interpolation == b.enable_interpolation && a.range_type == b.range_type
           && a.ran_min == b.ran_min && a.ran_max == b.ran_max && a.ran_step == b.ran_step
           && a.enable_pitch == b.enable_pitch && a.p_min == b.p_min && a.p_max == b.p_max
           && a.p_step == b.p_step && a.design_c_limit == b.design_c_limit;
}

bool sameValues(const AirfoilPoint& a, const AirfoilPoint& b) {
    return a.x_rel == b.x_rel && a.repeat == b.repeat && a.path == b.path && a.data_type == b.data_type
           && a.csv_separator == b.csv_separator && a.preceeding_line == b.preceeding_line && a.a_min == b.a_min
           && a.a_max == b.a_max && a.a_step == b.a_step && a.guess_reynolds == b.guess_reynolds
           && a.rey_min == b.rey_min && a.rey_max == b.rey_max && a.max_passes == b.max_passes
           && a.ncrit == b.ncrit && a.extension == b.extension && a.cd_max == b.cd_max;
}

bool sameValues(const ChordPoint& a, const ChordPoint& b) { return a.x_rel == b.x_rel && a.c_rel == b.c_rel; }

bool sameValues(const TwistPoint& a, const TwistPoint& b) {
    return a.x_rel == b.x_rel && a.twist_deg == b.twist_deg;
}

bool sameValues(const PrebendPoint& a, const PrebendPoint& b) { return Rotor::sameValues(a, b); }

bool sameValues(const WindClimate& a, const WindClimate& b) { return a.name == b.name && a.k == b.k && a.A == b.A; }

bool sameValues(const TurbineSettings& a, const TurbineSettings& b) {
    // An automatic tip speed ratio is stored as NaN: two automatic ones are the same.
    const bool sameTsr = a.tsr_target == b.tsr_target || (a.automaticTsr() && b.automaticTsr());
    return a.rated_power == b.rated_power && a.efficiency == b.efficiency && a.control == b.control
           && a.rpm_min == b.rpm_min && a.rpm_max == b.rpm_max && sameTsr && a.fine_pitch == b.fine_pitch
           && a.max_pitch == b.max_pitch && a.cut_in == b.cut_in && a.cut_out == b.cut_out
           && a.wind_min == b.wind_min && a.wind_max == b.wind_max && a.wind_step == b.wind_step
           && sameValues(a.wind_climates, b.wind_climates) && a.availability == b.availability;
}

bool sameValues(const std::optional<TurbineSettings>& a, const std::optional<TurbineSettings>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || sameValues(*a, *b);
}

bool sameValues(const std::optional<StallDelaySettings>& a, const std::optional<StallDelaySettings>& b) {
    return a == b;
}

bool sameValues(const ProjectData& a, const ProjectData& b) {
    return sameValues(a.conditions, b.conditions) && sameValues(a.solverSettings, b.solverSettings)
           && sameValues(a.computeSettings, b.computeSettings) && sameValues(a.airfoilPoints, b.airfoilPoints)
           && sameValues(a.chordPoints, b.chordPoints) && sameValues(a.twistPoints, b.twistPoints)
           && sameValues(a.turbine, b.turbine) && sameValues(a.optimisation, b.optimisation)
           && Rotor::sameValues(a.rotor, b.rotor) && sameValues(a.prebendPoints, b.prebendPoints)
           && sameValues(a.stall_delay, b.stall_delay);
}

}  // namespace korvane
