#include "project/result_json.h"

#include "bemt/Common.h"
#include "bemt/RotorGeometry.h"
#include "bemt/NumberText.h"
#include "bemt/StallDelay.h"

namespace korvane {

using namespace bemt;

namespace {

Json conditionsJson(const OperatingConditions& c) {
    return Json{{"R", c.R},   {"Rh", c.Rh}, {"B", c.B},     {"V0", c.V0},
                {"TSR", c.TSR}, {"Om", c.Om}, {"rho", c.rho}, {"mu", c.mu}};
}

Json sectorsJson(const std::vector<RotorSector>& sectors) {
    Json list = Json::array();
    for (const RotorSector& sector : sectors) {
        Json elements = Json::array();
        for (const SectorElement& e : sector.elements) {
            const Solution& s = e.solution;
            elements.push_back(Json{{"r", s.r},          {"Vx", e.Vx},   {"Vy", e.Vy},
                                    {"phi_deg", Common::rad2deg(s.phi)}, {"alpha_deg", Common::rad2deg(s.alpha)},
                                    {"a", s.a},          {"a_", s.a_},   {"cl", s.cl},
                                    {"cd", s.cd},        {"F", s.F},     {"Np", e.Np},
                                    {"Tp", e.Tp},        {"dP", s.dP},   {"dT", s.dT},
                                    {"converged", s.converged}});
        }
        list.push_back(Json{{"azimuth_deg", Common::rad2deg(sector.azimuth)},
                            {"P", sector.P},
                            {"T", sector.T},
                            {"M_root", sector.rootMoment},
                            {"converged", sector.converged},
                            {"elements", std::move(elements)}});
    }
    return list;
}

Json pointJson(const pitchControlledOperatingPoint& p, bool withElements) {
    Json j = pointFields().json(p);
    if (!withElements) return j;
    if (!p.op.sectors.empty()) j["sectors"] = sectorsJson(p.op.sectors);
    Json elements = Json::array();
    for (const Solution& s : p.op.solutions) elements.push_back(elementFields().json(elementRow(s, p.pitch, p.op.conditions)));
    j["elements"] = std::move(elements);
    return j;
}

template <typename T>
Json matrixRowJson(const std::vector<T>& row) {
    Json r = Json::array();
    for (const auto v : row) r.push_back(static_cast<T>(v));
    return r;
}

}  // namespace

ElementRow elementRow(const Solution& s, double pitch, const OperatingConditions& conditions) {
    const double x = s.r / conditions.R;
    return {x,
            s.r,
            s.c,
            Common::rad2deg(s.theta) - pitch,
            Common::rad2deg(s.phi),
            Common::rad2deg(s.alpha),
            Common::rad2deg(s.alphaOpt),
            s.a,
            s.a_,
            s.cl,
            s.cd,
            s.F,
            Common::reynolds(x, s.c / conditions.R, s.a, s.a_, conditions),
            s.dP,
            s.dT,
            s.converged,
            s.extrapolated};
}

const RowFields<ElementRow>& elementFields() {
    using E = ElementRow;
    static const RowFields<E> fields{
        {{"x_rel", [](const E& e) { return e.x_rel; }},
         {"r", [](const E& e) { return e.r; }},
         {"c", [](const E& e) { return e.c; }},
         {"twist_deg", [](const E& e) { return e.twist_deg; }},
         {"phi_deg", [](const E& e) { return e.phi_deg; }},
         {"alpha_deg", [](const E& e) { return e.alpha_deg; }},
         {"alpha_opt_deg", [](const E& e) { return e.alpha_opt_deg; }},
         {"a", [](const E& e) { return e.a; }},
         {"a_", [](const E& e) { return e.a_; }},
         {"cl", [](const E& e) { return e.cl; }},
         {"cd", [](const E& e) { return e.cd; }},
         {"F", [](const E& e) { return e.F; }},
         {"Re", [](const E& e) { return e.Re; }},
         {"dP", [](const E& e) { return e.dP; }},
         {"dT", [](const E& e) { return e.dT; }}},
        {{"converged", [](const E& e) { return e.converged; }},
         {"extrapolated", [](const E& e) { return e.extrapolated; }}}};
    return fields;
}

const RowFields<pitchControlledOperatingPoint>& pointFields() {
    using P = pitchControlledOperatingPoint;
    static const RowFields<P> fields{{{"pitch", [](const P& p) { return p.pitch; }},
                                      {"P", [](const P& p) { return p.op.P; }},
                                      {"T", [](const P& p) { return p.op.T; }},
                                      {"Cp", [](const P& p) { return p.op.Cp; }},
                                      {"Ct", [](const P& p) { return p.op.Ct; }},
                                      {"M_root", [](const P& p) { return p.op.rootMoment; }},
                                      {"M_root_max", [](const P& p) { return p.op.rootMomentMax; }}},
                                     {{"converged", [](const P& p) { return p.op.converged; }},
                                      {"extrapolated", [](const P& p) { return p.op.extrapolated; }}}};
    return fields;
}

const RowFields<PowerCurvePoint>& powerCurveFields() {
    using P = PowerCurvePoint;
    static const RowFields<P> fields{{{"V0", [](const P& p) { return p.V0; }},
                                      {"region", [](const P& p) { return p.region; }},
                                      {"rpm", [](const P& p) { return p.rpm; }},
                                      {"TSR", [](const P& p) { return p.TSR; }},
                                      {"pitch", [](const P& p) { return p.pitch; }},
                                      {"P_aero", [](const P& p) { return p.P_aero; }},
                                      {"P", [](const P& p) { return p.P; }},
                                      {"T", [](const P& p) { return p.T; }},
                                      {"Q", [](const P& p) { return p.Q; }},
                                      {"Cp", [](const P& p) { return p.Cp; }},
                                      {"Ct", [](const P& p) { return p.Ct; }},
                                      {"Cq", [](const P& p) { return p.Cq; }},
                                      {"M_root", [](const P& p) { return p.M_root; }},
                                      {"M_root_max", [](const P& p) { return p.M_root_max; }}},
                                     {{"converged", [](const P& p) { return p.converged; }},
                                      {"extrapolated", [](const P& p) { return p.extrapolated; }},
                                      {"pitch_limited", [](const P& p) { return p.pitch_limited; }},
                                      {"over_rated", [](const P& p) { return p.over_rated; }},
                                      {"motoring", [](const P& p) { return p.motoring; }}}};
    return fields;
}

const std::vector<std::pair<const char*, std::vector<std::vector<double>> PerformanceSurface::*>>& surfaceMatrices() {
    static const std::vector<std::pair<const char*, std::vector<std::vector<double>> PerformanceSurface::*>> matrices{
        {"cp", &PerformanceSurface::cp}, {"ct", &PerformanceSurface::ct}, {"cq", &PerformanceSurface::cq}};
    return matrices;
}

std::string modelText(const ProjectData& project) {
    std::string text = Rotor::description(project.rotor, project.prebendPoints);
    const SolverSettings& s = project.solverSettings;
    std::string off;
    for (const auto& [on, name] : {std::pair{s.tip_loss, "tip loss"}, {s.hub_loss, "hub loss"},
                                   {s.wake_rotation, "wake rotation"}, {s.drag_in_induction, "drag in the induction"}})
        if (!on) off += (off.empty() ? "no " : ", no ") + std::string(name);
    if (!off.empty()) text += (text.empty() ? "" : "; ") + off;
    return text;
}

ProjectData computedProject(const CommandResult& r) {
    ProjectData project = r.project;
    if (r.computation == Computation::Design) {
        project.rotor = RotorGeometry{};
        project.prebendPoints.clear();
    }
    return project;
}

double sweptRadius(const CommandResult& r) {
    if (!r.points.empty()) return r.points.front().op.Rp;
    if (!r.steps.empty() && !r.steps.front().points.empty()) return r.steps.front().points.front().op.Rp;
    return r.project.conditions.R;
}

Json stallDelayJson(const std::optional<StallDelayInput>& used) {
    if (!used) return Json{{"corrected", false}};
    const StallDelaySettings& s = used->settings;
    return Json{{"corrected", true},
                {"lift", StallDelay::liftName(s.lift)},
                {"drag", StallDelay::dragName(s.drag)},
                {"fit_min", s.fit_min},
                {"fit_max", s.fit_max},
                {"fade_start", s.fade_start},
                {"fade_end", s.fade_end},
                {"max_delta_cl", s.max_delta_cl},
                {"x_max", s.x_max ? Json(*s.x_max) : Json(nullptr)},
                {"tip_speed_ratio", used->tipSpeedRatio}};
}

std::string polarsNote(const std::optional<StallDelayInput>& used) {
    if (!used) return "Polars: 2D as given, no stall delay correction.";
    return "Polars: corrected for rotational stall delay (" + StallDelay::description(used->settings) +
           ", tip speed ratio " + NumberText::shortText(used->tipSpeedRatio) + ").";
}

void writeJson(std::ostream& out, const CommandResult& r) {
    JsonStream json(out);
    json.member("command", r.command);
    // A rotor model other than the plain one is named, with the radius its coefficients are on.
    if (const std::string model = modelText(computedProject(r)); !model.empty()) {
        json.member("model", model);
        json.member("swept_radius", sweptRadius(r));
    }
    json.member("stall_delay", stallDelayJson(stallDelayInput(r.project)));
    if (r.computation == Computation::Characteristics) {
        json.member("range_type",
                    r.project.computeSettings.range_type == windVelocity ? "wind_velocity" : "tip_speed_ratio");
        json.beginArray("steps");
        for (const auto& step : r.steps) {
            Json points = Json::array();
            for (const auto& p : step.points) points.push_back(pointJson(p, false));
            json.item(Json{{"V0", step.conditions.V0}, {"TSR", step.conditions.TSR}, {"points", std::move(points)}});
        }
        json.endArray();
    } else {
        json.member("conditions", conditionsJson(r.project.conditions));
        json.beginArray("points");
        for (const auto& p : r.points) json.item(pointJson(p, true));
        json.endArray();
        if (r.design) {
            Json chord = Json::array();
            for (const ChordPoint& c : r.design->chordPoints) chord.push_back(Json{{"x_rel", c.x_rel}, {"c_rel", c.c_rel}});
            Json twist = Json::array();
            for (const TwistPoint& t : r.design->twistPoints)
                twist.push_back(Json{{"x_rel", t.x_rel}, {"twist_deg", t.twist_deg}});
            json.member("design", Json{{"chord_points", std::move(chord)}, {"twist_points", std::move(twist)}});
        }
    }
    json.finish();
}

std::string powerCurveJson(const PowerCurveResult& r) {
    Json root;
    root["command"] = r.command;
    root["stall_delay"] = stallDelayJson(r.stallDelay);
    root["tsr_target"] = r.curve.tsrTarget;
    root["rated_wind_speed"] = r.curve.ratedWindSpeed;  // NaN is written as null
    if (!r.model.empty()) root["model"] = r.model;
    Json points = Json::array();
    for (const PowerCurvePoint& p : r.curve.points) points.push_back(powerCurveFields().json(p));
    root["points"] = std::move(points);
    Json energy = Json::array();
    for (const AnnualEnergy& e : r.energy) {
        energy.push_back(Json{{"name", e.climate.name},
                              {"k", e.climate.k},
                              {"A", e.climate.A},
                              {"aep_MWh", e.megawattHours()},
                              {"capacity_factor", e.capacityFactor},
                              {"bins_at_rated", e.binsAtRated}});
    }
    root["aep"] = std::move(energy);
    return root.dump(2) + "\n";
}

void writeSurfaceJson(std::ostream& out, const PerformanceSurface& s, const std::string& command,
                      const std::optional<StallDelayInput>& stallDelay) {
    JsonStream json(out);
    json.member("command", command);
    json.member("stall_delay", stallDelayJson(stallDelay));
    json.member("wind", s.wind);
    json.member("tsr", s.tsr);
    json.member("pitch", s.pitch);
    auto matrix = [&json](const std::string& key, const auto& rows) {
        json.beginArray(key);
        for (const auto& row : rows) json.item(matrixRowJson(row));
        json.endArray();
    };
    for (const auto& [key, member] : surfaceMatrices()) matrix(key, s.*member);
    matrix("converged", s.converged);
    json.finish();
}

}  // namespace korvane
