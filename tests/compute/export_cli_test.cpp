// One run of every action of the compute panel on the example project: every chart's CSV
// export of every result window holds the quantities its header names, in the header's
// units, as korvane-cli gives them for the same project (whatever scale the chart draws
// with: the Reynolds number's axis is logarithmic, power and thrust read in kW or MW).
#include <gtest/gtest.h>
#include <wx/button.h>

#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "ComputeHarness.h"
#include "CsvRows.h"
#include "results/chart_book.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"
#include "results/window_power_curve.h"
#include "results/window_surface.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;

const std::string kExample = examplePath("new_turbine.kvp");

// A CSV column: "Power P [kW] (0 °)" is the quantity "Power P" in kW of the curve "0 °".
struct Column {
    std::string quantity;
    double factor = 1.0;  // the unit's prefix: k 1e3, M 1e6
    std::string legend;
};

Column column(const std::string& heading) {
    Column c;
    const std::size_t open = heading.find(" [");
    const std::size_t close = heading.find(']', open);
    c.quantity = heading.substr(0, open);
    const std::string unit = heading.substr(open + 2, close - open - 2);
    if (unit.size() > 1 && (unit[0] == 'k' || unit[0] == 'M') && unit.rfind("kg", 0) != 0)
        c.factor = unit[0] == 'k' ? 1e3 : 1e6;
    if (close + 3 < heading.size()) c.legend = heading.substr(close + 3, heading.size() - close - 4);
    return c;
}

// The command line's value of a column's quantity at the row with this X value; none
// when it gives none.
using Lookup = std::function<std::optional<double>(const Column& column, double x)>;

double pitchOf(const std::string& legend) { return std::stod(legend); }  // "-2 °"

const json* findBy(const json& list, const char* key, double value) {
    for (const json& item : list)
        if (std::fabs(item[key].get<double>() - value) <= 1e-9 * std::max(1.0, std::fabs(value))) return &item;
    return nullptr;
}

// Operating point and design: the elements of each pitch angle along the blade.
Lookup elementLookup(const json& cli) {
    return [&cli](const Column& c, double x) -> std::optional<double> {
        const bool best = c.legend.rfind("Angle of attack for max. Cl/Cd", 0) == 0;
        const json* point = best ? &cli["points"][0] : findBy(cli["points"], "pitch", pitchOf(c.legend));
        if (!point) return std::nullopt;
        const json* e = findBy((*point)["elements"], "x_rel", x);
        if (!e) return std::nullopt;
        const json& k = cli["conditions"];
        const double R = k["R"], dr = (R - k["Rh"].get<double>()) / (*point)["elements"].size();
        const std::map<std::string, std::function<double()>> values = {
            {"Relative chord length c/R", [&] { return (*e)["c"].get<double>() / R; }},
            {"Blade twist β", [&] { return (*e)["twist_deg"].get<double>(); }},
            {"Angle of attack α", [&] { return (*e)[best ? "alpha_opt_deg" : "alpha_deg"].get<double>(); }},
            {"Relative velocity angle φ", [&] { return (*e)["phi_deg"].get<double>(); }},
            {"Reynolds number", [&] { return (*e)["Re"].get<double>(); }},
            {"Tip loss factor F", [&] { return (*e)["F"].get<double>(); }},
            {"Axial factor a", [&] { return (*e)["a"].get<double>(); }},
            {"Tangential factor a'", [&] { return (*e)["a_"].get<double>(); }},
            {"Lift coefficient Cl", [&] { return (*e)["cl"].get<double>(); }},
            {"Drag coefficient Cd", [&] { return (*e)["cd"].get<double>(); }},
            {"dP / dr ⋅ R / |P|", [&] { return (*e)["dP"].get<double>() / dr * R / std::fabs((*point)["P"].get<double>()); }},
            {"dT / dr ⋅ R / |T|", [&] { return (*e)["dT"].get<double>() / dr * R / std::fabs((*point)["T"].get<double>()); }},
        };
        const auto found = values.find(c.quantity);
        return found == values.end() ? std::nullopt : std::optional<double>(found->second());
    };
}

// Characteristics over the tip speed ratio: one step per row.
Lookup charLookup(const json& cli) {
    return [&cli](const Column& c, double tsr) -> std::optional<double> {
        const json* step = findBy(cli["steps"], "TSR", tsr);
        if (!step) return std::nullopt;
        if (c.quantity == "Wind velocity") return (*step)["V0"].get<double>();
        const json* point = findBy((*step)["points"], "pitch", pitchOf(c.legend));
        const std::map<std::string, const char*> keys = {
            {"Power P", "P"}, {"Thrust T", "T"}, {"Power coefficient Cp", "Cp"}, {"Thrust coefficient Ct", "Ct"}};
        if (!point || !keys.count(c.quantity)) return std::nullopt;
        return (*point)[keys.at(c.quantity)].get<double>();
    };
}

Lookup powerCurveLookup(const json& cli, double ratedPower) {
    return [&cli, ratedPower](const Column& c, double wind) -> std::optional<double> {
        if (c.legend == "Rated power") return ratedPower;
        const json* point = findBy(cli["points"], "V0", wind);
        const std::map<std::string, const char*> keys = {
            {"Electrical power P", "P"}, {"Rotor power P_aero", "P_aero"}, {"Rotor speed", "rpm"},
            {"Pitch angle", "pitch"}, {"Thrust T", "T"}, {"Torque Q", "Q"}, {"Cp", "Cp"}, {"Ct", "Ct"}};
        const std::string name = c.quantity == "Power P" || c.quantity == "Coefficient" ? c.legend : c.quantity;
        if (!point || !keys.count(name)) return std::nullopt;
        return (*point)[keys.at(name)].get<double>();
    };
}

Lookup surfaceLookup(const json& cli) {
    return [&cli](const Column& c, double tsr) -> std::optional<double> {
        const std::map<std::string, const char*> keys = {
            {"Power coefficient Cp", "cp"}, {"Thrust coefficient Ct", "ct"}, {"Torque coefficient Cq", "cq"}};
        if (!keys.count(c.quantity)) return std::nullopt;
        const auto& tsrs = cli["tsr"], pitches = cli["pitch"];
        for (std::size_t i = 0; i < tsrs.size(); ++i)
            for (std::size_t j = 0; j < pitches.size(); ++j)
                if (tsrs[i].get<double>() == tsr && pitches[j].get<double>() == pitchOf(c.legend))
                    return cli[keys.at(c.quantity)][i][j].get<double>();
        return std::nullopt;
    };
}

// Every number of the chart's CSV text (one table: each X column is followed by the
// curves on it, a shorter X leaves empty cells) against the command line's.
void expectCsvOfCli(PlotDisplay& chart, const Lookup& lookup) {
    SCOPED_TRACE(chart.getTitle().utf8_string());
    const auto rows = csvRows(chart.getCSV());
    ASSERT_FALSE(rows.empty());
    const std::vector<std::string>& headings = rows[0];
    std::vector<Column> columns;
    for (const auto& heading : headings) columns.push_back(column(heading));
    int numbers = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        auto fields = rows[r];
        fields.resize(headings.size());  // getline drops trailing empty cells
        std::optional<double> x;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (headings[k] == headings[0]) {
                x = fields[k].empty() ? std::nullopt : std::optional<double>(std::stod(fields[k]));
                continue;
            }
            ASSERT_EQ(fields[k].empty(), !x) << "row " << r;
            if (!x) continue;
            const std::optional<double> expected = lookup(columns[k], *x);
            ASSERT_TRUE(expected) << columns[k].quantity << " (" << columns[k].legend << ") at " << *x;
            const double shown = std::stod(fields[k]) * columns[k].factor;
            EXPECT_NEAR(shown, *expected, 1e-9 * std::fabs(*expected) + 1e-300)
                << columns[k].quantity << " (" << columns[k].legend << ") at " << *x;
            ++numbers;
        }
    }
    EXPECT_GT(numbers, 0);
}

template <typename Window>
void expectEveryChartOfCli(const ComputeHarness& h, const Lookup& lookup) {
    auto* window = lastWindow<Window>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    for (PlotDisplay* chart : window->charts()->charts()) expectCsvOfCli(*chart, lookup);
}

TEST(ChartExports, EveryChartOfEveryResultWindowWritesTheCommandLinesNumbers) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);

    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    EXPECT_EQ(h.status, "All actions done.");
    EXPECT_TRUE(h.idleButtons());
    EXPECT_TRUE(h.panel->runner().segmentsValid());
    const json op = cliResult("op", kExample);
    expectEveryChartOfCli<OpResultWindow>(h, elementLookup(op));

    ASSERT_TRUE(h.run(&EditCompute::designBlade));
    const json design = cliResult("design", kExample);
    expectEveryChartOfCli<DesignResultWindow>(h, elementLookup(design));
    auto* designed = lastWindow<DesignResultWindow>(h.panel->resultWindows());
    const wxString designTitle = "1 | Performance at optimal blade characteristics (automatic design) | ";
    EXPECT_TRUE(designed->GetTitle().StartsWith(designTitle)) << designed->GetTitle();
    EXPECT_TRUE(designed->twistButton()->IsEnabled());
    EXPECT_TRUE(designed->chordButton()->IsEnabled());

    h.reports = 0;
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    // The status bar hears of each new percentage (and text), not of each of the run's
    // element solves: those would flood the event loop.
    EXPECT_LE(h.reports, 2 * 101);
    const json characteristics = cliResult("char", kExample);
    expectEveryChartOfCli<CharResultWindow>(h, charLookup(characteristics));

    h.panel->computePowerCurve();
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }));
    const json curve = cliResult("power-curve", kExample);
    expectEveryChartOfCli<PowerCurveWindow>(h, powerCurveLookup(curve, h.project.turbineSettings().rated_power));

    h.panel->computeSurface({{4.0, 10.0, 2.0}, {0.0, 6.0, 3.0}, h.project.operatingConditions().V0});
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }));
    const json surface = cliResult("surface", kExample, {"--tsr", "4:10:2", "--pitch", "0:6:3"});
    expectEveryChartOfCli<SurfaceWindow>(h, surfaceLookup(surface));
    EXPECT_TRUE(h.messages.empty()) << h.messages.front().text;
}

// The settings of the rotor model, as the desktop's sections store them in the project,
// compute exactly as the command line's options for them.
TEST(ChartExports, TheRotorModelAndStallDelayComputeAsTheCommandLinesOptions) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    h.project.setRotor({3.0, 6.0, 15.0, 40.0, 0.2, bemt::RotorGeometry::kAutoSectors, bemt::SkewCorrection::PittPeters},
                       false);
    auto solver = h.project.solverSettings();
    solver.hub_loss = false;
    h.project.setSolverSettings(solver, false);
    bemt::StallDelaySettings stall;
    stall.lift = bemt::StallLift::Snel;
    stall.drag = bemt::StallDrag::None;
    h.project.setStallDelay(stall, false);
    const std::vector<std::string> options{"--precone", "3", "--tilt", "6", "--yaw", "15", "--shear", "0.2",
                                           "--hub-height", "40", "--skew", "pitt_peters", "--no-hub-loss",
                                           "--stall-delay", "snel", "--stall-drag", "none"};
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    const json op = cliResult("op", kExample, options);
    expectEveryChartOfCli<OpResultWindow>(h, elementLookup(op));
    h.panel->computePowerCurve();
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }));
    const json curve = cliResult("power-curve", kExample, options);
    expectEveryChartOfCli<PowerCurveWindow>(h, powerCurveLookup(curve, h.project.turbineSettings().rated_power));
    EXPECT_TRUE(h.messages.empty()) << h.messages.front().text;
}

}  // namespace
