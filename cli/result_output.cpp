#include "cli/result_output.h"

#include <cmath>

#include "bemt/Common.h"
#include "bemt/NumberText.h"
#include "bemt/StallDelay.h"
#include "cli/json_stream.h"
#include "cli/project_input.h"

namespace korvane::cli {

using namespace bemt;
using NumberText::formatted;

namespace {

const char* yesNo(bool value) { return value ? "yes" : "no"; }
const char* oneZero(bool value) { return value ? "1" : "0"; }
// A point whose values are not numbers says so where it says that it did not converge.
const char* convergedText(const OperatingPoint& op) {
    if (op.converged) return "yes";
    return std::isfinite(op.Cp) && std::isfinite(op.Ct) ? "no" : "no (NaN)";
}

// One blade element with the derived quantities the outputs show.
struct ElementRow {
    double x_rel, r, c, twist_deg, phi_deg, alpha_deg, alpha_opt_deg, a, a_, cl, cd, F, Re, dP, dT;
    bool converged, extrapolated;
};

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

void printPointsTable(std::FILE* out, const std::vector<pitchControlledOperatingPoint>& points) {
    std::fprintf(out, "%11s %14s %8s %14s %8s %10s %13s\n", "pitch [deg]", "P [W]", "Cp", "T [N]", "Ct", "converged",
                 "extrapolated");
    for (const auto& p : points) {
        std::fprintf(out, "%11.4g %14.1f %8.4f %14.1f %8.4f %10s %13s\n", p.pitch, p.op.P, p.op.Cp, p.op.T, p.op.Ct,
                     convergedText(p.op), yesNo(p.op.extrapolated));
    }
}

// Why results above the Betz limit read "converged no".
void printBetzNote(std::FILE* out, const std::optional<std::string>& note) {
    if (note) std::fprintf(out, "\nNote: %s\n", note->c_str());
}

void printHeader(std::FILE* out, const CommandResult& r, const char* title) {
    const OperatingConditions& c = r.project.conditions;
    const SolverSettings& s = r.project.solverSettings;
    std::fprintf(out, "%s: %s\n", title, r.projectPath.c_str());
    std::fprintf(out, "R %g m, Rh %g m, B %d, V0 %g m/s, %.4g rpm, TSR %.4g; %s solver, %d elements\n\n", c.R, c.Rh,
                 c.B, c.V0, Common::rads2rpm(c.Om), c.TSR, solverName(s.solver), s.n_elements);
}

Json conditionsJson(const OperatingConditions& c) {
    return Json{{"R", c.R},   {"Rh", c.Rh}, {"B", c.B},     {"V0", c.V0},
                {"TSR", c.TSR}, {"Om", c.Om}, {"rho", c.rho}, {"mu", c.mu}};
}

Json pointJson(const pitchControlledOperatingPoint& p, bool withElements) {
    Json j{{"pitch", p.pitch},   {"P", p.op.P},
           {"T", p.op.T},        {"Cp", p.op.Cp},
           {"Ct", p.op.Ct},      {"converged", p.op.converged},
           {"extrapolated", p.op.extrapolated}};
    if (!withElements) return j;
    Json elements = Json::array();
    for (const Solution& s : p.op.solutions) {
        const ElementRow e = elementRow(s, p.pitch, p.op.conditions);
        elements.push_back(Json{{"x_rel", e.x_rel},
                                {"r", e.r},
                                {"c", e.c},
                                {"twist_deg", e.twist_deg},
                                {"phi_deg", e.phi_deg},
                                {"alpha_deg", e.alpha_deg},
                                {"alpha_opt_deg", e.alpha_opt_deg},
                                {"a", e.a},
                                {"a_", e.a_},
                                {"cl", e.cl},
                                {"cd", e.cd},
                                {"F", e.F},
                                {"Re", e.Re},
                                {"dP", e.dP},
                                {"dT", e.dT},
                                {"converged", e.converged},
                                {"extrapolated", e.extrapolated}});
    }
    j["elements"] = std::move(elements);
    return j;
}

// Numbered in sweep order, so that pitch angles closer than the digits shown never
// share a name; the pitch is there for the reader.
std::string pitchFileName(const std::string& command, std::size_t index, std::size_t count, double pitch) {
    const int width = static_cast<int>(std::to_string(count).size());
    char number[32];
    std::snprintf(number, sizeof number, "%0*zu", width, index + 1);
    return command + "_elements_" + number + "_pitch_" + formatted("%.10g", pitch) + ".csv";
}

void writeElementsCsv(std::ostream& out, const pitchControlledOperatingPoint& p) {
    out << "x_rel [-],r [m],c [m],twist [deg],phi [deg],alpha [deg],alpha_opt [deg],a [-],a' [-],cl [-],cd [-],F [-],"
           "Re [-],dP [W],dT [N],converged [1/0],extrapolated [1/0]\n";
    for (const Solution& s : p.op.solutions) {
        const ElementRow e = elementRow(s, p.pitch, p.op.conditions);
        for (double v : {e.x_rel, e.r, e.c, e.twist_deg, e.phi_deg, e.alpha_deg, e.alpha_opt_deg, e.a, e.a_, e.cl,
                         e.cd, e.F, e.Re, e.dP, e.dT})
            out << csvNumber(v) << ',';
        out << oneZero(e.converged) << ',' << oneZero(e.extrapolated) << '\n';
    }
}

void writeSummaryCsv(std::ostream& out, const std::vector<pitchControlledOperatingPoint>& points) {
    out << "pitch [deg],P [W],Cp [-],T [N],Ct [-],converged [1/0],extrapolated [1/0]\n";
    for (const auto& p : points) {
        out << csvNumber(p.pitch) << ',' << csvNumber(p.op.P) << ',' << csvNumber(p.op.Cp) << ',' << csvNumber(p.op.T)
            << ',' << csvNumber(p.op.Ct) << ',' << oneZero(p.op.converged) << ',' << oneZero(p.op.extrapolated) << '\n';
    }
}

void writeCharacteristicsCsv(std::ostream& out, const std::vector<pitchControlledCharacteristicElement>& steps) {
    out << "V0 [m/s],TSR [-],pitch [deg],P [W],Cp [-],T [N],Ct [-],converged [1/0],extrapolated [1/0]\n";
    for (const auto& step : steps) {
        for (const auto& p : step.points) {
            out << csvNumber(step.conditions.V0) << ',' << csvNumber(step.conditions.TSR) << ',' << csvNumber(p.pitch)
                << ',' << csvNumber(p.op.P) << ',' << csvNumber(p.op.Cp) << ',' << csvNumber(p.op.T) << ','
                << csvNumber(p.op.Ct) << ',' << oneZero(p.op.converged) << ',' << oneZero(p.op.extrapolated) << '\n';
        }
    }
}

void writeDesignCsv(std::ostream& out, const DesignedBlade& design, double R) {
    out << "x_rel [-],c_rel [-],c [m],twist [deg]\n";
    for (std::size_t i = 0; i < design.chordPoints.size(); ++i) {
        const ChordPoint& c = design.chordPoints[i];
        out << csvNumber(c.x_rel) << ',' << csvNumber(c.c_rel) << ',' << csvNumber(c.c_rel * R) << ','
            << csvNumber(design.twistPoints[i].twist_deg) << '\n';
    }
}

}  // namespace

void printSummary(std::FILE* out, const CommandResult& r) {
    if (r.computation == Computation::Characteristics) {
        const bool wind = r.project.computeSettings.range_type == windVelocity;
        printHeader(out, r, wind ? "Characteristics over the wind velocity" : "Characteristics over the tip speed ratio");
        const std::size_t pitches = r.steps.empty() ? 0 : r.steps.front().points.size();
        for (std::size_t j = 0; j < pitches; ++j) {
            std::fprintf(out, "Pitch %g°\n", r.steps.front().points[j].pitch);
            std::fprintf(out, "%10s %8s %14s %8s %14s %8s %10s %13s\n", "V0 [m/s]", "TSR", "P [W]", "Cp", "T [N]", "Ct",
                         "converged", "extrapolated");
            for (const auto& step : r.steps) {
                const OperatingPoint& op = step.points[j].op;
                std::fprintf(out, "%10.4g %8.4g %14.1f %8.4f %14.1f %8.4f %10s %13s\n", step.conditions.V0,
                             step.conditions.TSR, op.P, op.Cp, op.T, op.Ct, convergedText(op), yesNo(op.extrapolated));
            }
            std::fprintf(out, "\n");
        }
        printBetzNote(out, betzLimitNote(r.steps));
        return;
    }
    printHeader(out, r, r.computation == Computation::Design ? "Designed blade" : "Operating point");
    if (r.design) {
        const double limit = r.project.computeSettings.design_c_limit;
        std::fprintf(out, "Blade designed with c/R at most %g: %zu chord and twist points\n", limit,
                     r.design->chordPoints.size());
        std::fprintf(out, "%10s %10s %12s\n", "x/R", "c/R", "twist [deg]");
        for (std::size_t i = 0; i < r.design->chordPoints.size(); ++i) {
            std::fprintf(out, "%10.4f %10.5f %12.4f\n", r.design->chordPoints[i].x_rel, r.design->chordPoints[i].c_rel,
                         r.design->twistPoints[i].twist_deg);
        }
        std::fprintf(out, "\nOperating point of the designed blade\n");
    }
    printPointsTable(out, r.points);
    printBetzNote(out, betzLimitNote(r.points));
}

std::string csvNumber(double value) { return formatted("%.10g", value); }

std::vector<std::pair<std::string, TextProducer>> csvFiles(const CommandResult& r) {
    std::vector<std::pair<std::string, TextProducer>> files;
    if (r.computation == Computation::Characteristics) {
        files.emplace_back("characteristics.csv", [&r](std::ostream& out) { writeCharacteristicsCsv(out, r.steps); });
        return files;
    }
    files.emplace_back(r.command + "_summary.csv", [&r](std::ostream& out) { writeSummaryCsv(out, r.points); });
    for (std::size_t k = 0; k < r.points.size(); ++k) {
        const pitchControlledOperatingPoint& point = r.points[k];
        files.emplace_back(pitchFileName(r.command, k, r.points.size(), point.pitch),
                           [&point](std::ostream& out) { writeElementsCsv(out, point); });
    }
    if (r.design) {
        files.emplace_back("design_blade.csv", [&r](std::ostream& out) {
            writeDesignCsv(out, *r.design, r.project.conditions.R);
        });
    }
    return files;
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

}  // namespace korvane::cli
