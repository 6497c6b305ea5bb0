// One run of every action of the compute panel on the example project: every chart's CSV
// export of every result window holds the quantities its header names, in the header's
// units, as korvane-cli gives them for the same project (whatever scale the chart draws
// with: the Reynolds number's axis is logarithmic, power and thrust read in kW or MW).
// The same for a coned, yawed rotor in a sheared wind with corrected polars: the map
// "over the rotor disc", the root moments, and the settings each window states.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <tuple>
#include <functional>
#include <map>
#include <optional>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "CsvRows.h"
#include "TempFolder.h"
#include "UserSimulation.h"
#include "results/chart_book.h"
#include "results/display_disc_map.h"
#include "results/display_heat_map.h"
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
        const std::map<std::string, const char*> keys = {{"Power P", "P"},
                                                         {"Thrust T", "T"},
                                                         {"Power coefficient Cp", "Cp"},
                                                         {"Thrust coefficient Ct", "Ct"},
                                                         {"Root bending moment M_root", "M_root"},
                                                         {"Largest root bending moment M_root_max", "M_root_max"}};
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
            {"Pitch angle", "pitch"}, {"Thrust T", "T"}, {"Torque Q", "Q"}, {"Cp", "Cp"}, {"Ct", "Ct"},
            {"M_root", "M_root"}, {"M_root_max", "M_root_max"}};
        std::string name = c.quantity == "Power P" || c.quantity == "Coefficient" ? c.legend : c.quantity;
        if (c.quantity == "Root bending moment") name = c.legend.substr(0, c.legend.find(' '));  // "M_root (mean ...)"
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

// Every text a window shows (its labels, on every page of its choice books), a label a line.
wxString shownText(wxWindow* window) {
    wxString text;
    if (auto* label = dynamic_cast<wxStaticText*>(window)) {
        wxString line = label->GetLabel();
        line.Replace("\n", " ");  // a wrapped text reads as one line
        text << line << "\n";
    }
    for (wxWindow* child : window->GetChildren()) text << shownText(child);
    return text;
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
    auto* plain = lastWindow<OpResultWindow>(h.panel->resultWindows());
    EXPECT_EQ(plain->discMap(), nullptr) << "one sector: no map over the rotor disc";
    EXPECT_EQ(plain->charts()->GetPageCount(), plain->charts()->charts().size());
    const wxString plainText = shownText(plain);
    for (const char* stated : {"Rotor:", "plain (flat disc, uniform wind)", "Model switches:", "all on",
                               "none: the 2D polars as given", "M_root ="})
        EXPECT_NE(plainText.Find(stated), wxNOT_FOUND) << stated;
    EXPECT_EQ(plainText.Find("M_root,max"), wxNOT_FOUND);

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

// The example's rotor coned 3° and yawed 20° in a wind sheared with exponent 0.2 at a hub
// height of 40 m, in six sectors with the skewed wake, without hub loss, its polars
// corrected by Snel's model.
std::string sectoredProject(const TempFolder& folder) {
    std::ifstream in(kExample);
    json project = json::parse(in);
    project["rotor"] = {{"precone", 3.0},         {"yaw", 20.0},  {"shear_exponent", 0.2},
                        {"hub_height", 40.0},     {"sectors", 6}, {"skew_correction", "pitt_peters"}};
    project["solver_settings"]["hub_loss"] = false;
    project["solver_settings"]["n_elements"] = 24;
    project["stall_delay"] = {{"lift", "snel"}, {"drag", "none"}};
    const std::string path = folder.file("yawed.kvp");
    std::ofstream(path) << project.dump();
    return path;
}

TEST(ChartExports, ASectoredRotorsWindowsShowTheCommandLinesDiscMapRootMomentsAndSettings) {
    KORVANE_REQUIRE_WX();
    TempFolder folder;
    const std::string path = sectoredProject(folder);
    ComputeHarness h;
    h.open(path);

    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    ASSERT_TRUE(h.messages.empty()) << h.messages.front().text;
    auto* window = lastWindow<OpResultWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    DisplayDiscMap* disc = window->discMap();
    ASSERT_NE(disc, nullptr);
    ASSERT_EQ(window->charts()->GetPageCount(), window->charts()->charts().size() + 1);
    EXPECT_EQ(window->charts()->GetPageText(window->charts()->GetPageCount() - 1), "Over the rotor disc");
    EXPECT_TRUE(window->points().front().op.sectors.empty()) << "the window keeps only what the map draws";
    const json op = cliResult("op", path);
    const json& sectors = op["points"][0]["sectors"];
    ASSERT_EQ(sectors.size(), 6u);
    const double R = op["conditions"]["R"];

    // The page as a user chooses it, its quantity from the choice; each exported cell is
    // the command line's (sector 4 at 240°, element 17), and the colour scale spans the
    // command line's values.
    window->charts()->SetSelection(window->charts()->GetPageCount() - 1);
    for (const auto& [choice, key, header] :
         {std::tuple{0, "alpha_deg", "Azimuth \xCF\x88 [\xC2\xB0],x/R [-],Angle of attack \xCE\xB1 [\xC2\xB0]"},
          {1, "Np", "Azimuth \xCF\x88 [\xC2\xB0],x/R [-],Normal force Np [N/m]"}}) {
        choose(disc->quantityChoice(), choice);
        const std::string file = folder.file(std::string(key) + ".csv");
        h.fileDialogs->answer(wxString::FromUTF8(file));
        window->charts()->exportCsv(&h.files);
        std::ifstream written(file);
        const auto rows = csvRows(std::string(std::istreambuf_iterator<char>(written), {}));
        ASSERT_EQ(rows.size(), 1u + 6u * 24u) << key;
        EXPECT_EQ(rows[0][0] + "," + rows[0][1] + "," + rows[0][2], header);
        const std::size_t k = 4, i = 17;
        const auto& cell = rows[1 + k * 24 + i];
        const json& element = sectors[k]["elements"][i];
        EXPECT_NEAR(std::stod(cell[0]), 240.0, 1e-9);
        EXPECT_NEAR(std::stod(cell[0]), sectors[k]["azimuth_deg"].get<double>(), 1e-9);
        EXPECT_NEAR(std::stod(cell[1]), element["r"].get<double>() / R, 1e-9);
        EXPECT_NEAR(std::stod(cell[2]), element[key].get<double>(), 1e-9 * std::fabs(element[key].get<double>()));
        double lowest = INFINITY, highest = -INFINITY;
        for (const json& sector : sectors)
            for (const json& e : sector["elements"]) {
                lowest = std::min(lowest, e[key].get<double>());
                highest = std::max(highest, e[key].get<double>());
            }
        EXPECT_NEAR(disc->heatMap()->scale().dataMin, lowest, 1e-9 * std::fabs(lowest));
        EXPECT_NEAR(disc->heatMap()->scale().dataMax, highest, 1e-9 * std::fabs(highest));
    }

    // Less the mean over the azimuth (a click on the box): each element's change around the
    // revolution, from the command line's numbers.
    // Beside the compute panel, which stays in front of its result windows; under load the
    // window manager may spend a click on bringing the window to the front.
    window->Move(h.frame->GetScreenRect().GetRight() + 10, 0);
    window->Raise();
    for (int click = 0; click < 3 && !disc->fromMeanBox()->GetValue(); ++click)
        SimulatedUser().click(disc->fromMeanBox());
    ASSERT_TRUE(disc->fromMeanBox()->GetValue());
    const auto changes = csvRows(disc->exportCsv());
    EXPECT_EQ(changes[0][2], "Normal force less its azimuth mean \xCE\x94Np [N/m]");
    double mean = 0.0;
    for (const json& sector : sectors) mean += sector["elements"][17]["Np"].get<double>() / 6.0;
    const double change = sectors[4]["elements"][17]["Np"].get<double>() - mean;
    EXPECT_NEAR(std::stod(changes[1 + 4 * 24 + 17][2]), change, 1e-9 * std::fabs(mean));
    EXPECT_EQ(disc->exportTitle(), wxString::FromUTF8("ΔNp from the azimuth mean over the rotor disc, pitch angle 0 °"));

    // The side column names the model, the switch off and the correction; the table the root moments.
    const wxString stated = shownText(window);
    for (const char* text : {"Precone:", "3 \xC2\xB0", "Yaw:", "20 \xC2\xB0", "Shear exponent:", "0.2", "Hub height:",
                             "40 m", "Azimuth sectors:", "Skewed wake:", "Pitt-Peters", "off: hub loss",
                             "Snel lift, None drag", "M_root =", "M_root,max ="})
        EXPECT_NE(stated.Find(wxString::FromUTF8(text)), wxNOT_FOUND) << text;
    EXPECT_EQ(stated.Find("Designed for"), wxNOT_FOUND);

    // The design is the plain rotor's, and says so.
    ASSERT_TRUE(h.run(&EditCompute::designBlade));
    auto* design = lastWindow<DesignResultWindow>(h.panel->resultWindows());
    ASSERT_NE(design, nullptr);
    EXPECT_EQ(design->discMap(), nullptr);
    const wxString designed = shownText(design);
    EXPECT_NE(designed.Find("Designed for the plain rotor"), wxNOT_FOUND);
    EXPECT_NE(designed.Find("plain (flat disc, uniform wind)"), wxNOT_FOUND);
    EXPECT_EQ(designed.Find("Yaw:"), wxNOT_FOUND);

    // The root moments over the tip speed ratio and over the wind speed, as korvane-cli gives them.
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    auto* characteristics = lastWindow<CharResultWindow>(h.panel->resultWindows());
    ASSERT_NE(characteristics, nullptr);
    const auto& charts = characteristics->charts()->charts();
    ASSERT_EQ(charts.size(), std::size_t{result_series::CharChartCount});
    const json steps = cliResult("char", path);
    for (const auto c : {result_series::RootMoment, result_series::RootMomentMax})
        expectCsvOfCli(*charts[static_cast<std::size_t>(c)], charLookup(steps));
    EXPECT_NE(shownText(characteristics).Find("Yaw:"), wxNOT_FOUND);

    h.panel->computePowerCurve();
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }));
    auto* curve = lastWindow<PowerCurveWindow>(h.panel->resultWindows());
    ASSERT_NE(curve, nullptr);
    PlotDisplay* moment = curve->charts()->charts().back();
    ASSERT_EQ(moment->axis1Sets().size(), 2u) << "mean and largest";
    expectCsvOfCli(*moment, powerCurveLookup(cliResult("power-curve", path), 0.0));
    EXPECT_NE(shownText(curve).Find("Pitt-Peters"), wxNOT_FOUND);
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
