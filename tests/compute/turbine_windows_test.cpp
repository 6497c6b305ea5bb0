// The Turbine page as a user meets it, with real mouse and key events (the event loop
// running): the NREL 5-MW example opened by its path, a turbine value typed, a value
// out of range turned red, the power curve and the performance surface computed with
// the page's buttons, the Stop button, and the result windows' tables and exports.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choicebk.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/uiaction.h>

#include <array>
#include <fstream>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "MainWindowTest.h"
#include "CsvRows.h"
#include "UserSimulation.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_turbine.h"
#include "app/edit_turbine_compute.h"
#include "app/window_main.h"
#include "project/project_data.h"
#include "results/chart_book.h"
#include "results/display_heat_map.h"
#include "results/window_power_curve.h"
#include "results/window_surface.h"

namespace {

using namespace korvane::testing;

using std::chrono::milliseconds;
using std::chrono::seconds;

// Turns the mouse wheel down over a control: X buttons 4 and 5 are the wheel, which the
// simulator does not offer.
void wheelDownOver(wxWindow* control, int notches) {
    const wxRect r = control->GetScreenRect();
    wxUIActionSimulator().MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    runEventLoopFor(milliseconds(100));
    const std::string command = "xdotool click --repeat " + std::to_string(notches) + " 5";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    runEventLoopFor(milliseconds(300));
}

class TurbinePageTest : public MainWindowTest {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        // The Turbine page, the last one.
        openExample("nrel5mw.kvp", -1, wxSize(1100, 760));
    }
};

TEST_F(TurbinePageTest, ShowsTheExampleSettingsAndStoresWhatIsTyped) {
    EditTurbine* page = main->turbinePage();
    ASSERT_TRUE(page->IsShownOnScreen());
    EXPECT_FALSE(page->field("tsr_target")->IsEnabled());  // the automatic target is on
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Stored in the project.");
    // The button keeps its place and size whatever the note under it says.
    const wxRect button = page->defaultsButton()->GetRect();
    // Turning the wheel to scroll the page does not turn the control choice under it.
    const wxString control = page->controlChoice()->GetStringSelection();
    wheelDownOver(page->controlChoice(), 3);
    EXPECT_EQ(page->controlChoice()->GetStringSelection(), control);
    EXPECT_FALSE(main->isUnsaved());

    user.typeInto(page->field("rated_power"), "3");
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->turbineSettings().rated_power == 3e6; }, seconds(5)));
    EXPECT_TRUE(main->isUnsaved());
    // Edit > Undo brings the old value back onto the page, Redo the new one.
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_UNDO));
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->turbineSettings().rated_power == 5e6; }, seconds(5)));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "5");
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_REDO));
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->turbineSettings().rated_power == 3e6; }, seconds(5)));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "3");

    // The lowest rotor speed above the highest: red, and nothing stored.
    user.typeInto(page->field("rpm_min"), "13");
    runEventLoopFor(milliseconds(300));
    // The rule between the two marks the field typed, whichever it names.
    EXPECT_TRUE(red(page->field("rpm_min")));
    EXPECT_FALSE(red(page->field("rpm_max")));
    EXPECT_EQ(main->project()->turbineSettings().rpm_min, 6.9);
    EXPECT_EQ(page->sourceLabel()->GetLabel().utf8_string(), "Min. rotor speed must not be above Max. rotor speed (12.1), not 13.");
    user.typeInto(page->field("rpm_min"), "7");
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->turbineSettings().rpm_min == 7.0; }, seconds(5)));
    // Fine pitch within the range of every pitch setting, -5 to 90 degrees.
    user.typeInto(page->field("fine_pitch"), "-90");
    EXPECT_NE(page->field("fine_pitch")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Fine pitch must be from -5 to 90, not -90.");
    EXPECT_EQ(main->project()->turbineSettings().fine_pitch, 0.0);
    user.typeInto(page->field("fine_pitch"), "0");
    // Named in the page's unit.
    user.typeInto(page->field("rated_power"), "-2");
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Rated power must be greater than 0, not -2.");
    user.typeInto(page->field("rated_power"), "3");

    // Climates are stored as they are typed, as long as every line reads as "k, A[, name]":
    // the unfinished second line turns the field red, and the project keeps the climates
    // the edit began with.
    const auto before = main->project()->turbineSettings().wind_climates;
    user.typeInto(page->field("wind_climates"), "2.2, 9.5, Site A\n1.8");
    runEventLoopFor(milliseconds(300));
    EXPECT_TRUE(korvane::sameValues(main->project()->turbineSettings().wind_climates, before));
    EXPECT_NE(page->field("wind_climates")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    wxUIActionSimulator sim;
    sim.Text(", 7");
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->turbineSettings().wind_climates[0].name == "Site A"; },
                                  seconds(5)));
    ASSERT_EQ(main->project()->turbineSettings().wind_climates.size(), 2u);
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].name, "Climate 2");
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].k, 1.8);
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].A, 7.0);
    // Valid again, every character is shown in the text colours, ", " typed while red too.
    wxTextCtrl* climates = page->field("wind_climates");
    for (long i = 0; i < climates->GetLastPosition(); ++i) {
        wxTextAttr style;
        if (climates->GetStyle(i, style) && style.HasTextColour()) {
            EXPECT_NE(style.GetTextColour(), *wxRED) << i;
        }
        if (climates->GetStyle(i, style) && style.HasBackgroundColour()) {
            EXPECT_NE(style.GetBackgroundColour(), wxColour(255, 226, 226)) << i;  // the red tint
        }
    }
    // A comma between two digits could be a decimal comma: refused, and the page says why.
    user.typeInto(climates, "2, 9,5, Site Y");
    runEventLoopFor(milliseconds(300));
    EXPECT_EQ(main->project()->turbineSettings().wind_climates.size(), 2u);
    wxString note = page->sourceLabel()->GetLabel();
    note.Replace("\n", " ");  // wrapped to the page
    EXPECT_NE(note.Find("line 1: \"2, 9,5, Site Y\" has a comma between two digits"), wxNOT_FOUND) << note;
    EXPECT_LE(page->sourceLabel()->GetRect().GetRight(), page->GetClientSize().x) << "the note is cut off";
    EXPECT_EQ(page->defaultsButton()->GetRect(), button);
    user.typeInto(climates, "0, 9.5, Site Y");
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Wind climates, climate 1: k must be greater than 0, not 0.");

    // Forgetting the settings brings back the rotor's defaults (R 63 m: 4.988 MW).
    user.click(page->defaultsButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !main->project()->state().turbine.has_value(); }, seconds(5)));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "4.988");  // every digit of the value
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Defaults for the rotor (not stored yet).");
    EXPECT_FALSE(page->defaultsButton()->IsEnabled());
    EXPECT_EQ(page->defaultsButton()->GetRect(), button);
    // A value typed as it shows stores nothing; nor does a valid start of red text.
    user.typeInto(page->field("rated_power"), "4,");
    EXPECT_FALSE(page->defaultsButton()->IsEnabled());
    user.typeInto(page->field("rated_power"), "4.988");
    EXPECT_FALSE(main->project()->state().turbine.has_value());

    // Red text stays when the page is shown again, and the defaults beside it follow a new
    // rotor radius, so that a correction does not store those of the old rotor.
    user.typeInto(page->field("cut_in"), "x");
    main->conditionsPage()->radiusField()->SetValue("70");  // as a paste does
    postUpdatedValue(main->conditionsPage()->radiusField());
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->operatingConditions().R == 70.0; }, seconds(5)));
    main->notebook()->SetSelection(0);
    main->notebook()->SetSelection(main->notebook()->GetPageCount() - 1);
    EXPECT_EQ(page->field("cut_in")->GetValue(), "x");
    EXPECT_NE(page->field("rated_power")->GetValue(), "4.988");
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Fields shown in red are not stored.");
    EXPECT_EQ(page->defaultsButton()->GetRect(), button);

    // Red text that the new defaults make valid is stored as typed: a maximal rotor speed
    // below the old minimal one (half the design speed), above the new one.
    user.typeInto(page->field("cut_in"), "3");
    user.click(page->defaultsButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !main->project()->state().turbine.has_value(); }, seconds(5)));
    user.typeInto(page->field("rpm_max"), "1");
    EXPECT_TRUE(red(page->field("rpm_max")));
    user.typeInto(page->field("rated_power"), "2");  // valid, waiting beside the red field
    choose(page->controlChoice(), 3);                // "Fixed speed, fixed pitch", waiting too
    main->conditionsPage()->rotationSpeedField()->SetValue("1.5");
    postUpdatedValue(main->conditionsPage()->rotationSpeedField());
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->operatingConditions().Om < 0.2; }, seconds(5)));
    main->notebook()->SetSelection(0);
    main->notebook()->SetSelection(main->notebook()->GetPageCount() - 1);
    ASSERT_TRUE(runEventLoopUntil([&] { return main->project()->state().turbine.has_value(); }, seconds(5)));
    EXPECT_EQ(main->project()->turbineSettings().rpm_max, 1.0);
    EXPECT_EQ(main->project()->turbineSettings().rpm_min, 0.75);
    EXPECT_EQ(main->project()->turbineSettings().rated_power, 2e6);
    EXPECT_EQ(main->project()->turbineSettings().control, bemt::ControlMode::FixedSpeedFixedPitch);
    EXPECT_FALSE(red(page->field("rpm_max")));
}

TEST_F(TurbinePageTest, PowerCurveButtonOpensTheCurveWithRatedWindSpeedAndEnergy) {
    EditTurbineCompute* compute = main->turbineComputePage();
    EditCompute* panel = main->computePage();
    user.click(compute->powerCurveButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }, seconds(120)));
    ASSERT_TRUE(messages.empty()) << messages.front();
    auto* window = lastWindow<PowerCurveWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->GetTitle().StartsWith("1 | Power curve | "));
    EXPECT_NEAR(window->curve().ratedWindSpeed, 11.24, 0.05);
    EXPECT_EQ(window->charts()->charts().size(), 5u);
    ASSERT_EQ(window->energyTable()->GetItemCount(), 2);
    EXPECT_EQ(window->energyTable()->GetItemText(0, 0), "Rayleigh, mean 8.5 m/s");
    const double aep = std::stod(window->energyTable()->GetItemText(0, 1).ToStdString());
    EXPECT_GT(aep, 15000.0);
    EXPECT_LT(aep, 25000.0);
    EXPECT_TRUE(compute->powerCurveButton()->IsEnabled());
    EXPECT_FALSE(compute->stopButton()->IsEnabled());

    // The table export writes every row and the energy through the file dialog.
    TempFolder temp;
    const std::string path = temp.file("curve.csv");
    main->fileManager()->setDialogs(std::make_unique<ScriptedDialogs>(std::deque<wxString>{wxString::FromUTF8(path)}));
    window->Raise();
    runEventLoopFor(milliseconds(300));
    user.click(window->tableButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return std::ifstream(path).good(); }, seconds(5)));
    const auto rows = csvRows(readBytes(path));
    // Header and 45 wind speeds, a blank line, header and two climates.
    ASSERT_EQ(rows.size(), 1u + 45 + 1 + 1 + 2);
    EXPECT_EQ(rows[0][0], "V0 [m/s]");
    EXPECT_EQ(rows[0][1], "region [-]");
}

// At fixed pitch the rotor passes its rating: the chart marks those wind speeds, the
// window says the blade must stall there, and the energy counts rated power.
TEST_F(TurbinePageTest, FixedPitchRowsAboveRatedAreMarkedAndCappedInTheEnergy) {
    bemt::TurbineSettings t = main->project()->turbineSettings();
    t.control = bemt::ControlMode::VariableSpeedFixedPitch;
    t.tsr_target = 7.5;
    t.wind_min = 9.0;
    t.wind_max = 14.0;
    t.wind_step = 1.0;
    main->project()->setTurbineSettings(t, true);
    EditCompute* panel = main->computePage();
    user.click(main->turbineComputePage()->powerCurveButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }, seconds(120)));
    auto* window = lastWindow<PowerCurveWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr);
    const PlotRanges& band = window->charts()->charts()[0]->noteRanges();
    ASSERT_EQ(band.size(), 1u);
    EXPECT_GT(band[0].first, 11.0);  // rated near 11.2 m/s: 12, 13 and 14 m/s lie above it
    EXPECT_GE(band[0].second, 14.0);
    ASSERT_NE(window->overRatedLabel(), nullptr);
    wxString note = window->overRatedLabel()->GetLabel();
    note.Replace("\n", " ");
    EXPECT_TRUE(note.StartsWith("From 12 m/s the rotor gives more than rated power at fixed pitch")) << note;
    EXPECT_NE(note.Find("must stall there"), wxNOT_FOUND) << note;
    EXPECT_LE(std::stod(window->energyTable()->GetItemText(0, 2).ToStdString()), 1.0);
}

TEST_F(TurbinePageTest, SurfaceButtonComputesTheGridAndStopEndsALongOne) {
    EditTurbineCompute* compute = main->turbineComputePage();
    EditCompute* panel = main->computePage();
    // The grid's fields: tip speed ratio from, to, by, and pitch angle from, to, by.
    const auto typeGrid = [&](std::array<const char*, 6> texts) {
        for (int i = 0; i < 6; ++i) user.typeInto(compute->field(i), texts[i]);
    };
    typeGrid({"4", "10", "2", "0", "6", "3"});
    // Red fields the surface does not use (the design point's wind, the chord limit of a
    // design) do not keep it from starting; the wind of 0 marks itself only.
    const wxString chordText = panel->chordLimitField()->GetValue();
    main->conditionsPage()->windVelocityField()->SetValue("0");
    panel->chordLimitField()->SetValue("abc");
    EXPECT_EQ(main->conditionsPage()->windVelocityField()->GetForegroundColour(), *wxRED);
    EXPECT_NE(main->conditionsPage()->radiusField()->GetForegroundColour(), *wxRED);
    EXPECT_NE(main->conditionsPage()->rotationSpeedField()->GetForegroundColour(), *wxRED);
    user.click(compute->surfaceButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }, seconds(120)));
    ASSERT_TRUE(messages.empty()) << messages.front();
    auto* window = lastWindow<SurfaceWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr);
    panel->chordLimitField()->SetValue(chordText);
    EXPECT_EQ(window->surface().tsr, (std::vector<double>{4.0, 6.0, 8.0, 10.0}));
    EXPECT_EQ(window->surface().pitch, (std::vector<double>{0.0, 3.0, 6.0}));
    EXPECT_DOUBLE_EQ(window->surface().wind, main->project()->operatingConditions().V0);
    EXPECT_EQ(window->pitchBoxes().size(), 3u);
    EXPECT_EQ(window->charts()->charts().size(), 3u);
    EXPECT_TRUE(window->heatMap()->title().StartsWith("Power coefficient Cp"));
    // The wheel over the parameters' page choice scrolls the side column instead.
    wxChoicebook* parameters = nullptr;
    for (wxWindow* w = window->pitchBoxes().front(); w && !parameters; w = w->GetParent())
        for (wxWindow* child : w->GetChildren())
            if (auto* book = dynamic_cast<wxChoicebook*>(child); book && book != window->charts()) parameters = book;
    ASSERT_NE(parameters, nullptr);
    wheelDownOver(parameters->GetChoiceCtrl(), 2);
    EXPECT_EQ(parameters->GetSelection(), 0);
    const std::string tables = window->tablesText();
    EXPECT_NE(tables.find("# Pitch angle vector, 3 entries - x axis (matrix columns) (deg)\n0.000000 3.000000 6.000000\n"),
              std::string::npos);
    EXPECT_NE(tables.find("# Torque coefficent\n"), std::string::npos);
    // Choosing the thrust page shows the thrust coefficient on the heat map.
    window->charts()->ChangeSelection(1);
    window->showOnHeatMap(1);
    EXPECT_TRUE(window->heatMap()->title().StartsWith("Thrust coefficient Ct"));
    // The result windows opened so far may stand over the page's buttons.
    for (wxTopLevelWindow* window : panel->resultWindows().windows()) window->Hide();
    main->Raise();
    runEventLoopFor(milliseconds(200));

    // A valid air density waits with its section while the wind there is red: not in the
    // project yet, so the power curve refuses, naming the wind and the density it holds
    // back, rather than use 1.225.
    EditOperatingConditions* conditions = main->conditionsPage();
    const korvane::ProjectData before = main->project()->state();
    const wxString rpmText = conditions->rotationSpeedField()->GetValue();
    conditions->airDensityField()->SetValue("1.0");
    user.click(compute->powerCurveButton());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].EndsWith(
        "\nDesign conditions: Wind velocity\nDesign conditions: Air density (held back by red text)"))
        << messages[0];
    // A rotation speed out of its range, or a tip speed ratio out of its own, marks the
    // design point only: the radius, which every computation uses, stays black.
    for (const char* rpm : {"20000", "2000"}) {
        conditions->windVelocityField()->SetValue("10");
        conditions->rotationSpeedField()->SetValue(rpm);
        EXPECT_EQ(conditions->rotationSpeedField()->GetForegroundColour(), *wxRED) << rpm;
        EXPECT_NE(conditions->radiusField()->GetForegroundColour(), *wxRED) << rpm;
    }
    conditions->rotationSpeedField()->SetValue(rpmText);
    conditions->airDensityField()->SetValue("1.225");
    EXPECT_TRUE(korvane::sameValues(main->project()->state(), before));
    messages.clear();

    // A grid out of range turns the field at fault red and is refused, naming it, before
    // anything starts.
    user.typeInto(compute->field(0), "0");
    user.typeInto(compute->field(4), "-3");  // pitch from 0 down to -3: the end typed
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(compute->field(i)->GetForegroundColour() == *wxRED, i == 0 || i == 4) << i;
    // Another page and back: the grid keeps the text as typed.
    main->notebook()->SetSelection(0);
    main->notebook()->SetSelection(main->notebook()->GetPageCount() - 1);
    EXPECT_EQ(compute->field(0)->GetValue(), "0");
    user.click(compute->surfaceButton());
    runEventLoopFor(milliseconds(200));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].Contains("Turbine computations: Min. TSR\nTurbine computations: Max. pitch"))
        << messages[0];
    EXPECT_FALSE(panel->busy());

    // A long surface (601 x 201 points, seconds of work) stopped with the page's Stop
    // button; the event loop stays free for the click while the worker reports progress.
    messages.clear();
    typeGrid({"2", "14", "0.02", "0", "20", "0.1"});
    user.click(compute->surfaceButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return panel->busy() && compute->stopButton()->IsEnabled(); }, seconds(10)))
        << (messages.empty() ? std::string("no message") : messages[0].utf8_string());
    EXPECT_FALSE(compute->surfaceButton()->IsEnabled());
    EXPECT_FALSE(panel->characteristicsButton()->IsEnabled());
    user.click(compute->stopButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return !panel->busy(); }, seconds(30)));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The computation process has been aborted.");
    EXPECT_TRUE(compute->surfaceButton()->IsEnabled());
    EXPECT_FALSE(compute->stopButton()->IsEnabled());
}

}  // namespace
