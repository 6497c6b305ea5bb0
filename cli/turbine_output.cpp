#include "cli/turbine_output.h"

#include <cmath>

#include "bemt/NumberText.h"
#include "turbine/TurbineTables.h"
#include "cli/json_stream.h"
#include "cli/result_output.h"

namespace korvane::cli {

using namespace bemt;

namespace {

template <typename T>
Json matrixRowJson(const std::vector<T>& row) {
    Json r = Json::array();
    for (const auto v : row) r.push_back(static_cast<T>(v));
    return r;
}

}  // namespace

void printPowerCurve(std::FILE* out, const PowerCurveResult& r) {
    const TurbineSettings& t = r.settings;
    std::fprintf(out, "Power curve: %s\n", r.projectPath.c_str());
    std::fprintf(out, "Rated power %.6g W, efficiency %.4g, %s control, %.4g to %.4g rpm, pitch %.4g to %.4g deg\n",
                 t.rated_power, t.efficiency, Turbine::controlName(t.control).c_str(), t.rpm_min, t.rpm_max,
                 t.fine_pitch, t.max_pitch);
    std::fprintf(out, "Tip speed ratio target %.4f%s\n\n", r.curve.tsrTarget,
                 t.automaticTsr() ? " (maximal power coefficient at fine pitch)" : "");
    std::fprintf(out, "%8s %6s %7s %6s %8s %13s %13s %12s %13s %7s %7s %7s %5s\n", "V0 [m/s]", "region", "rpm", "TSR",
                 "pitch", "P_aero [W]", "P [W]", "T [N]", "Q [N m]", "Cp", "Ct", "Cq", "flags");
    for (const PowerCurvePoint& p : r.curve.points) {
        std::string flags;
        if (!p.converged) flags += "u";
        if (p.extrapolated) flags += "e";
        if (p.pitch_limited) flags += "L";
        if (p.over_rated) flags += "o";
        if (p.motoring) flags += "m";
        std::fprintf(out, "%8.3g %6s %7.3f %6.3f %8.3f %13.1f %13.1f %12.1f %13.1f %7.4f %7.4f %7.4f %5s\n", p.V0,
                     NumberText::shortText(p.region).c_str(), p.rpm, p.TSR, p.pitch, p.P_aero, p.P, p.T, p.Q, p.Cp, p.Ct, p.Cq,
                     flags.c_str());
    }
    std::fprintf(out, "Flags: u not converged, e polar extrapolated, L pitch limit reached above rated power,\n"
                      "       o over rated power at fixed pitch (a stall-regulated blade must stall there),\n"
                      "       m motoring (the generator drives the rotor: P = P_aero / efficiency)\n\n");
    if (std::isnan(r.curve.ratedWindSpeed)) {
        std::fprintf(out, "Rated power is not reached on these wind speeds.\n");
    } else {
        std::fprintf(out, "Rated wind speed %.2f m/s\n", r.curve.ratedWindSpeed);
    }
    if (r.energy.empty()) return;
    std::fprintf(out, "Annual energy (availability %.3g):\n", t.availability);
    for (const AnnualEnergy& e : r.energy) {
        std::fprintf(out, "  %s (Weibull k %.3g, A %.4g m/s): %.1f MWh, capacity factor %.3f\n",
                     e.climate.name.c_str(), e.climate.k, e.climate.A, e.megawattHours(), e.capacityFactor);
    }
    if (!r.energy.empty() && r.energy.front().binsAtRated > 0)
        std::fprintf(out, "The annual energy counts the rated power at the %d wind speeds above it.\n",
                     r.energy.front().binsAtRated);
}

std::vector<std::pair<std::string, std::string>> powerCurveCsv(const PowerCurveResult& r) {
    return {{"power_curve.csv", TurbineTables::powerCurveCsv(r.curve)},
            {"aep.csv", TurbineTables::annualEnergyCsv(r.energy)}};
}

std::string powerCurveJson(const PowerCurveResult& r) {
    Json root;
    root["command"] = r.command;
    root["stall_delay"] = stallDelayJson(r.stallDelay);
    root["tsr_target"] = r.curve.tsrTarget;
    root["rated_wind_speed"] = r.curve.ratedWindSpeed;  // NaN is written as null
    Json points = Json::array();
    for (const PowerCurvePoint& p : r.curve.points) {
        points.push_back(Json{{"V0", p.V0},
                              {"region", p.region},
                              {"rpm", p.rpm},
                              {"TSR", p.TSR},
                              {"pitch", p.pitch},
                              {"P_aero", p.P_aero},
                              {"P", p.P},
                              {"T", p.T},
                              {"Q", p.Q},
                              {"Cp", p.Cp},
                              {"Ct", p.Ct},
                              {"Cq", p.Cq},
                              {"converged", p.converged},
                              {"extrapolated", p.extrapolated},
                              {"pitch_limited", p.pitch_limited},
                              {"over_rated", p.over_rated},
                              {"motoring", p.motoring}});
    }
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

void printSurface(std::FILE* out, const PerformanceSurface& s, const std::string& projectPath) {
    std::fprintf(out, "Performance surface: %s\n", projectPath.c_str());
    std::fprintf(out, "Wind speed %.4g m/s, %zu tip speed ratios x %zu pitch angles\n\n", s.wind, s.tsr.size(),
                 s.pitch.size());
    std::fprintf(out, "Power coefficient Cp (rows: TSR, columns: pitch [deg])\n%7s", "TSR");
    for (double p : s.pitch) std::fprintf(out, " %8.3g", p);
    std::fprintf(out, "\n");
    std::size_t bestI = 0, bestJ = 0;
    for (std::size_t i = 0; i < s.tsr.size(); ++i) {
        std::fprintf(out, "%7.3g", s.tsr[i]);
        for (std::size_t j = 0; j < s.pitch.size(); ++j) {
            std::fprintf(out, " %8.4f", s.cp[i][j]);
            if (s.cp[i][j] > s.cp[bestI][bestJ]) {
                bestI = i;
                bestJ = j;
            }
        }
        std::fprintf(out, "\n");
    }
    if (!s.tsr.empty() && !s.pitch.empty())
        std::fprintf(out, "\nLargest Cp %.4f at TSR %.4g and pitch %.4g deg\n", s.cp[bestI][bestJ], s.tsr[bestI],
                     s.pitch[bestJ]);
}

std::vector<std::pair<std::string, std::string>> surfaceCsv(const PerformanceSurface& s) {
    return {{"surface_cp.csv", TurbineTables::surfaceCsv(s, s.cp)},
            {"surface_ct.csv", TurbineTables::surfaceCsv(s, s.ct)},
            {"surface_cq.csv", TurbineTables::surfaceCsv(s, s.cq)}};
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
    matrix("cp", s.cp);
    matrix("ct", s.ct);
    matrix("cq", s.cq);
    matrix("converged", s.converged);
    json.finish();
}

}  // namespace korvane::cli
