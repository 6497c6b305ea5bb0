// The result windows built from the core's results: titles for one and several pitch
// angles, the enabling of the optimise and transfer buttons, export names, CSV exports
// read back, PNG exports, a click on the characteristics opening its operating point.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/image.h>

#include <set>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "CsvRows.h"
#include "DefaultRotor.h"
#include "TempFolder.h"
#include "bemt/BEMTTools.h"
#include "results/chart_book.h"
#include "results/display_op_data.h"
#include "results/result_rules.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;

bemt::InputDataSet smallRotor() {
    bemt::InputDataSet data = defaultRotor();
    data.settings.n_elements = 20;
    return data;
}

// What the windows state they were computed with: the small rotor's settings.
ComputedWith computedWith(const bemt::ComputeSettings& compute = {}) {
    const bemt::InputDataSet data = smallRotor();
    return {compute, data.settings, data.conditions, {}, {}, {}};
}

std::vector<bemt::pitchControlledOperatingPoint> operatingPoints(std::vector<double> pitches) {
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    std::vector<bemt::pitchControlledOperatingPoint> points;
    for (const double p : pitches) points.push_back({p, tools.analyzeOp(smallRotor(), ignoreProgress, p)});
    return points;
}

struct Windows {
    std::shared_ptr<ResultWindowList> list = std::make_shared<ResultWindowList>();
    FileManager files;
    ScriptedDialogs* dialogs = nullptr;
    Windows() {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        files.setDialogs(std::move(scripted));
    }
    ~Windows() {
        list->closeAll();
        deleteClosedWindows();
    }
    // The characteristics of the small rotor over a range of the swept variable (as the
    // compute panel's fields give it) at the pitch angles; sweep keeps their results.
    CharResultWindow* characteristics(bemt::ComputeRangeType variable, double min, double max, bemt::SweepRange pitch,
                                      int number) {
        bemt::ComputeSettings settings;
        settings.range_type = variable;
        settings.ran_min = min;
        settings.ran_max = max;
        settings.ran_step = 1;
        sweep = bemt::BEMTTools(bemt::FixedPoint2D)
                    .characteristicsSweep(smallRotor(), variable, bemt::BEMTTools::characteristicsRange(settings), pitch,
                                          ignoreProgress);
        return new CharResultWindow(list, sweep, smallRotor(), computedWith(settings), smallRotor().conditions, &files,
                                    number);
    }
    std::vector<bemt::pitchControlledCharacteristicElement> sweep;
    OpResultWindow* op(std::vector<double> pitches) {
        auto* w = new OpResultWindow(list, operatingPoints(std::move(pitches)), computedWith(), smallRotor().conditions,
                                     &files, 3);
        w->Show();
        processEvents();
        return w;
    }
};

TEST(OpResultWindow, TitlesAndOptimizeFollowTheShownPitchAngles) {
    KORVANE_REQUIRE_WX();
    Windows w;
    OpResultWindow* window = w.op({0.0, 5.0, 10.0});
    EXPECT_TRUE(window->GetTitle().StartsWith("3 | Performance and blade characteristics | "));
    ASSERT_EQ(window->charts()->charts().size(), 6u);
    ASSERT_EQ(window->pitchBoxes().size(), 3u);
    for (PlotDisplay* chart : window->charts()->charts()) {
        EXPECT_TRUE(chart->getTitle().EndsWith(" vs relative x/R and pitch angle")) << chart->getTitle();
        EXPECT_TRUE(chart->legendShown());
    }
    EXPECT_FALSE(window->optimizeButton()->IsEnabled());
    EXPECT_EQ(window->table()->singleShown(), -1);

    window->setPitchShown(1, false);
    window->setPitchShown(2, false);
    EXPECT_FALSE(window->pitchBoxes()[1]->GetValue());
    for (PlotDisplay* chart : window->charts()->charts()) {
        EXPECT_TRUE(chart->getTitle().EndsWith(wxString::FromUTF8(" at pitch angle 0 ° vs relative x/R")));
        // One pitch angle still draws a left and a right curve: the legend tells them apart.
        ASSERT_TRUE(chart->legendShown());
        EXPECT_TRUE(chart->legendEntries()[0].text.EndsWith(" (left axis)"));
        EXPECT_TRUE(chart->axis1Sets()[1].hidden);
        EXPECT_TRUE(chart->axis2Sets()[2].hidden);
    }
    EXPECT_EQ(window->charts()->charts()[0]->getTitle(),
              wxString::FromUTF8("Blade shape at pitch angle 0 ° vs relative x/R"));
    // The angle chart names its quantities in the order of its page, and names the best
    // lift-to-drag angle in its own dotted style.
    PlotDisplay* angles = window->charts()->charts()[1];
    EXPECT_EQ(angles->getTitle(),
              wxString::FromUTF8("Angle of attack, relative velocity angle at pitch angle 0 ° vs relative x/R"));
    const auto entries = angles->legendEntries();
    const auto best = std::find_if(entries.begin(), entries.end(), [](const PlotLegendEntry& e) {
        return e.text.StartsWith("Angle of attack for max. Cl/Cd");
    });
    ASSERT_NE(best, entries.end());
    EXPECT_EQ(best->line, PlotLine::Dotted);
    EXPECT_TRUE(window->optimizeButton()->IsEnabled());
    EXPECT_EQ(window->selectedPitch(), 0);

    window->setPitchShown(1, true);
    window->setPitchShown(0, false);  // 5 alone
    EXPECT_EQ(window->charts()->charts()[3]->getTitle(),
              wxString::FromUTF8("Induction factors at pitch angle 5 ° vs relative x/R"));
    EXPECT_FALSE(window->optimizeButton()->IsEnabled());
}

TEST(OpResultWindow, ExportsProposeTheTitleAsNameAndWriteReadableFiles) {
    KORVANE_REQUIRE_WX();
    Windows w;
    TempFolder folder;
    OpResultWindow* window = w.op({0.0, 5.0});
    window->charts()->SetSelection(2);  // Reynolds number, tip loss factor
    w.dialogs->answer(wxString::FromUTF8(folder.file("re.csv")));
    window->charts()->exportCsv(&w.files);
    ASSERT_EQ(w.dialogs->requests.size(), 1u);
    EXPECT_EQ(w.dialogs->requests[0].fileName,
              "reynolds_number_tip_loss_factor_vs_relative_x_r_and_pitch_angle.csv");

    const auto rows = csvRows(readBytes(folder.file("re.csv")));
    ASSERT_EQ(rows.size(), 21u);  // heading and 20 elements
    ASSERT_EQ(rows[0].size(), 5u);
    EXPECT_EQ(rows[0][0], "x/R [-]");
    EXPECT_EQ(rows[0][1], "Reynolds number [-] (0 \xC2\xB0)");
    EXPECT_EQ(rows[0][3], "Tip loss factor F [-] (0 \xC2\xB0)");
    // The numbers: every chart against korvane-cli in export_cli_test.cpp.

    window->charts()->SetSelection(0);
    w.dialogs->answer(wxString::FromUTF8(folder.file("shape.png")));
    window->charts()->exportPng(&w.files);
    EXPECT_EQ(w.dialogs->requests.back().fileName, "blade_shape_vs_relative_x_r_and_pitch_angle.png");
    wxImage image;
    ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(folder.file("shape.png")), wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetWidth(), 1200);
    EXPECT_EQ(image.GetHeight(), 800);
    std::set<unsigned long> colours;
    const unsigned char* px = image.GetData();
    for (int i = 0; i < 1200 * 800; i += 97) colours.insert(px[3 * i] << 16 | px[3 * i + 1] << 8 | px[3 * i + 2]);
    EXPECT_GT(colours.size(), 3u) << "the image shows a chart";
}

TEST(OpResultWindow, OptimizedTwistMeetsTheBestAngleOfEveryElement) {
    KORVANE_REQUIRE_WX();
    Windows w;
    OpResultWindow* window = w.op({0.0});
    ASSERT_TRUE(window->optimizeButton()->IsEnabled());
    std::vector<double> x, twist;
    window->Bind(kvnEVT_OPTIMIZE_TWIST, [&](kvnTwistEvent& e) {
        x = e.x();
        twist = e.twist();
    });
    window->optimizeTwist();
    const auto& solutions = window->points()[0].op.solutions;
    ASSERT_EQ(twist.size(), solutions.size());
    for (std::size_t i = 0; i < solutions.size(); ++i) {
        const auto& s = solutions[i];
        EXPECT_DOUBLE_EQ(x[i], s.r / 25.0);
        // The new inflow at the same φ meets α_opt.
        EXPECT_NEAR(bemt::Common::rad2deg(s.phi) - twist[i], bemt::Common::rad2deg(s.alphaOpt), 1e-9);
    }
}

TEST(DesignResultWindow, TransferButtonsNeedASingleZeroPitchAndRepeatNothing) {
    KORVANE_REQUIRE_WX();
    Windows w;
    KvpProject project(&w.files);
    project.newProject();
    processEvents();
    auto* several = new DesignResultWindow(w.list, operatingPoints({0.0, 5.0}), computedWith(), smallRotor().conditions,
                                           &w.files, 1);
    EXPECT_FALSE(several->twistButton()->IsEnabled());
    EXPECT_FALSE(several->chordButton()->IsEnabled());
    several->setPitchShown(1, false);
    EXPECT_TRUE(several->twistButton()->IsEnabled());

    auto* single = new DesignResultWindow(w.list, operatingPoints({0.0}), computedWith(), smallRotor().conditions,
                                          &w.files, 2);
    EXPECT_TRUE(single->twistButton()->IsEnabled());
    EXPECT_TRUE(single->chordButton()->IsEnabled());
    EXPECT_TRUE(single->optimizeButton()->IsEnabled());
    single->Bind(kvnEVT_TRANSFER_DESIGNED_TWIST, [&](kvnTwistEvent& e) { project.transferTwist(e.x(), e.twist()); });
    int changes = 0;
    project.Bind(kvnEVT_PROJECT_UNSAVED, [&](kvnProjectEvent&) { ++changes; });
    single->useTwist();
    processEvents();
    single->useTwist();
    processEvents();
    EXPECT_EQ(changes, 1);
}

TEST(CharResultWindow, LabelsForceZeroAndAClickOpensItsOperatingPoint) {
    KORVANE_REQUIRE_WX();
    Windows w;
    CharResultWindow* window = w.characteristics(bemt::tipSpeedRatio, 3, 9, {0.0, 0.0, 1.0}, 1);
    const auto& results = w.sweep;
    window->Show();
    processEvents();
    const auto& charts = window->charts()->charts();
    ASSERT_EQ(charts.size(), 5u) << "one sector: no chart of the largest root moment";
    // Over the tip speed ratio every chart runs along it (power once ran against wind
    // velocities up to 235 m/s); the wind velocity stays in the CSV.
    EXPECT_EQ(charts[0]->getTitle(), wxString::FromUTF8("Turbine's power at pitch angle 0 ° vs tip speed ratio"));
    EXPECT_EQ(charts[2]->getTitle(),
              wxString::FromUTF8("Turbine's power coefficient at pitch angle 0 ° vs tip speed ratio"));
    EXPECT_EQ(charts[2]->getCSV().substr(0, 22), "Tip speed ratio \xCE\xBB [-]");
    EXPECT_EQ(charts[0]->getCSV().substr(0, 43), "Tip speed ratio \xCE\xBB [-],Wind velocity [m/s],");
    EXPECT_DOUBLE_EQ(charts[0]->xAxis().dataMin, 3.0);
    EXPECT_DOUBLE_EQ(charts[0]->xAxis().dataMax, 9.0);
    EXPECT_LE(charts[0]->y1Axis().start, 0.0);
    EXPECT_TRUE(window->forceZeroBox()->GetValue());

    // The operating point of a step, as a click opens it, numbered in turn.
    for (const std::size_t k : {std::size_t{0}, results.size() - 1}) {
        OpResultWindow* opened = window->openOperatingPoint(k);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->points()[0].op.P, results[k].points[0].op.P);
        EXPECT_EQ(opened->points()[0].op.solutions.size(), 20u) << "the sweep keeps totals, the click its elements";
        EXPECT_EQ(opened->points()[0].op.conditions.V0, results[k].conditions.V0);
        EXPECT_TRUE(opened->GetTitle().StartsWith(wxString::Format("%d | Performance", window->openedWindows())));
    }
    EXPECT_EQ(window->openedWindows(), 2);

    // A twist request from such a window reaches the receiver of the characteristics window.
    int forwarded = 0;
    window->Bind(kvnEVT_OPTIMIZE_TWIST, [&](kvnTwistEvent&) { ++forwarded; });
    lastWindow<OpResultWindow>(*w.list)->optimizeTwist();
    EXPECT_EQ(forwarded, 1);
}

TEST(CharResultWindow, WindSweepStartsTheAxesAtZeroOnlyWhileForced) {
    KORVANE_REQUIRE_WX();
    Windows w;
    CharResultWindow* window = w.characteristics(bemt::windVelocity, 6, 9, {0.0, 1.0, 1.0}, 0);
    EXPECT_TRUE(window->GetTitle().StartsWith("Turbine characteristics | "));
    const auto& charts = window->charts()->charts();
    EXPECT_EQ(charts[1]->getTitle(), "Turbine's thrust vs wind velocity and pitch angle");
    EXPECT_EQ(charts[3]->getTitle(), "Turbine's thrust coefficient vs wind velocity and pitch angle");
    EXPECT_EQ(charts[1]->y1Axis().start, 0.0);
    tick(window->forceZeroBox(), false);
    EXPECT_GT(charts[1]->y1Axis().start, 0.0) << "the thrust starts near its smallest value";
    // The box shows only where forcing zero changes something: on the thrust chart with
    // its data above zero, not on the coefficients.
    window->charts()->SetSelection(1);
    processEvents();
    EXPECT_TRUE(window->forceZeroBox()->IsShown());
    window->charts()->SetSelection(3);
    processEvents();
    EXPECT_FALSE(window->forceZeroBox()->IsShown());
    window->setPitchShown(1, false);
    EXPECT_EQ(charts[1]->getTitle(), wxString::FromUTF8("Turbine's thrust at pitch angle 0 ° vs wind velocity"));
}

}  // namespace
