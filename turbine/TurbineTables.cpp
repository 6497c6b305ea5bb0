#include "turbine/TurbineTables.h"

#include "bemt/NumberText.h"

namespace bemt::TurbineTables {

namespace {

const char* oneZero(bool value) { return value ? "1" : "0"; }

}  // namespace

std::string number(double value) { return NumberText::formatted("%.10g", value); }

std::string text(const std::string& value) {
    if (value.find_first_of(",\"\n\r") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string powerCurveCsv(const PowerCurve& curve) {
    std::string csv =
        "V0 [m/s],region [-],rpm [rpm],TSR [-],pitch [deg],P_aero [W],P [W],T [N],Q [N m],Cp [-],Ct [-],Cq [-],"
        "converged [1/0],extrapolated [1/0],pitch_limited [1/0],over_rated [1/0],motoring [1/0],M_root [N m],"
        "M_root_max [N m]\n";
    for (const PowerCurvePoint& p : curve.points) {
        for (double v : {p.V0, p.region, p.rpm, p.TSR, p.pitch, p.P_aero, p.P, p.T, p.Q, p.Cp, p.Ct, p.Cq}) {
            csv += number(v);
            csv += ',';
        }
        csv += std::string(oneZero(p.converged)) + "," + oneZero(p.extrapolated) + "," + oneZero(p.pitch_limited) + ","
               + oneZero(p.over_rated) + "," + oneZero(p.motoring) + "," + number(p.M_root) + ","
               + number(p.M_root_max) + "\n";
    }
    return csv;
}

std::string annualEnergyCsv(const std::vector<AnnualEnergy>& energy) {
    std::string csv = "climate,k [-],A [m/s],AEP [MWh],capacity factor [-],bins at rated power [-]\n";
    for (const AnnualEnergy& e : energy) {
        csv += text(e.climate.name) + "," + number(e.climate.k) + "," + number(e.climate.A) + ","
               + number(e.megawattHours()) + "," + number(e.capacityFactor) + "," + std::to_string(e.binsAtRated) + "\n";
    }
    return csv;
}

std::string surfaceCsv(const PerformanceSurface& s, const std::vector<std::vector<double>>& values) {
    std::string csv = "TSR [-] \\ pitch [deg]";
    for (double p : s.pitch) {
        csv += ',';
        csv += number(p);
    }
    csv += '\n';
    for (std::size_t i = 0; i < s.tsr.size() && i < values.size(); ++i) {
        csv += number(s.tsr[i]);
        for (double v : values[i]) {
            csv += ',';
            csv += number(v);
        }
        csv += '\n';
    }
    return csv;
}

}  // namespace bemt::TurbineTables
