#include "cli/result_output.h"

#include <cmath>

#include "bemt/Common.h"
#include "bemt/NumberText.h"
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

void printPointsTable(std::FILE* out, const std::vector<pitchControlledOperatingPoint>& points) {
    std::fprintf(out, "%11s %14s %8s %14s %8s %10s %13s %14s\n", "pitch [deg]", "P [W]", "Cp", "T [N]", "Ct",
                 "converged", "extrapolated", "M_root [N m]");
    for (const auto& p : points) {
        std::fprintf(out, "%11.4g %14.1f %8.4f %14.1f %8.4f %10s %13s %14.1f\n", p.pitch, p.op.P, p.op.Cp, p.op.T,
                     p.op.Ct, convergedText(p.op), yesNo(p.op.extrapolated), p.op.rootMoment);
    }
}

// Why results above the Betz limit read "converged no".
void printBetzNote(std::FILE* out, const std::optional<std::string>& note) {
    if (note) std::fprintf(out, "\nNote: %s\n", note->c_str());
}

void printModel(std::FILE* out, const CommandResult& r) {
    if (r.computation == Computation::Design && !Rotor::isPlain(r.project.rotor, r.project.prebendPoints))
        std::fprintf(out, "The blade is designed, and its operating point computed, for the plain rotor, without the "
                          "project's cone, tilt, yaw, shear and prebend (%s).\n",
                     Rotor::description(r.project.rotor, r.project.prebendPoints).c_str());
    const ProjectData project = computedProject(r);
    const std::string model = modelText(project);
    if (model.empty()) return;
    std::fprintf(out, "Model: %s", model.c_str());
    if (!Rotor::isPlain(project.rotor, project.prebendPoints))
        std::fprintf(out, "; Cp and Ct on the swept radius R_p %.6g m", sweptRadius(r));
    std::fprintf(out, "\n");
}

void printHeader(std::FILE* out, const CommandResult& r, const char* title) {
    const OperatingConditions& c = r.project.conditions;
    const SolverSettings& s = r.project.solverSettings;
    std::fprintf(out, "%s: %s\n", title, r.projectPath.c_str());
    std::fprintf(out, "R %g m, Rh %g m, B %d, V0 %g m/s, %.4g rpm, TSR %.4g; %s solver, %d elements\n", c.R, c.Rh,
                 c.B, c.V0, Common::rads2rpm(c.Om), c.TSR, solverName(s.solver), s.n_elements);
    printModel(out, r);
    std::fprintf(out, "\n");
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
    out << "pitch [deg],P [W],Cp [-],T [N],Ct [-],converged [1/0],extrapolated [1/0],M_root [N m],M_root_max [N m]\n";
    for (const auto& p : points) {
        out << csvNumber(p.pitch) << ',' << csvNumber(p.op.P) << ',' << csvNumber(p.op.Cp) << ',' << csvNumber(p.op.T)
            << ',' << csvNumber(p.op.Ct) << ',' << oneZero(p.op.converged) << ',' << oneZero(p.op.extrapolated) << ','
            << csvNumber(p.op.rootMoment) << ',' << csvNumber(p.op.rootMomentMax) << '\n';
    }
}

void writeCharacteristicsCsv(std::ostream& out, const std::vector<pitchControlledCharacteristicElement>& steps) {
    out << "V0 [m/s],TSR [-],pitch [deg],P [W],Cp [-],T [N],Ct [-],converged [1/0],extrapolated [1/0],M_root [N m],"
           "M_root_max [N m]\n";
    for (const auto& step : steps) {
        for (const auto& p : step.points) {
            out << csvNumber(step.conditions.V0) << ',' << csvNumber(step.conditions.TSR) << ',' << csvNumber(p.pitch)
                << ',' << csvNumber(p.op.P) << ',' << csvNumber(p.op.Cp) << ',' << csvNumber(p.op.T) << ','
                << csvNumber(p.op.Ct) << ',' << oneZero(p.op.converged) << ',' << oneZero(p.op.extrapolated) << ','
                << csvNumber(p.op.rootMoment) << ',' << csvNumber(p.op.rootMomentMax) << '\n';
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
            std::fprintf(out, "%10s %8s %14s %8s %14s %8s %10s %13s %14s\n", "V0 [m/s]", "TSR", "P [W]", "Cp", "T [N]",
                         "Ct", "converged", "extrapolated", "M_root [N m]");
            for (const auto& step : r.steps) {
                const OperatingPoint& op = step.points[j].op;
                std::fprintf(out, "%10.4g %8.4g %14.1f %8.4f %14.1f %8.4f %10s %13s %14.1f\n", step.conditions.V0,
                             step.conditions.TSR, op.P, op.Cp, op.T, op.Ct, convergedText(op), yesNo(op.extrapolated),
                             op.rootMoment);
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

}  // namespace korvane::cli
