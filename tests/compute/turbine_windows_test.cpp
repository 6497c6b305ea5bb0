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

#include <cstdlib>
#include <fstream>

#include "ComputeHarness.h"
#include "TempFolder.h"
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

// Lets the event loop run (input from the simulator included) for a while.
void pump(int milliseconds = 200) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        wxYield();
        processEvents();
        wxMilliSleep(5);
    }
}

bool pumpUntil(const std::function<bool()>& done, int seconds = 120) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        pump(20);
    }
    return done();
}

void click(wxWindow* window) {
    wxUIActionSimulator sim;
    const wxRect r = window->GetScreenRect();
    sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    pump(100);
    sim.MouseClick();
    pump(200);
}

// Turns the mouse wheel down over a control: X buttons 4 and 5 are the wheel, which the
// simulator does not offer.
void wheelDownOver(wxWindow* control, int notches) {
    const wxRect r = control->GetScreenRect();
    wxUIActionSimulator().MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    pump(100);
    const std::string command = "xdotool click --repeat " + std::to_string(notches) + " 5";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    pump(300);
}

// Replaces a field's text by typing, as a user does, and waits until the field shows it.
void typeInto(wxTextCtrl* field, const char* text) { SimulatedUser().typeInto(field, wxString::FromUTF8(text)); }

// Saves what the screen shows of a window (for looking at, under the virtual display).
void capture(wxWindow* window, const std::string& file) {
    pump(300);
    const wxRect r = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                                std::to_string(r.height) + "+" + std::to_string(r.x) + "+" + std::to_string(r.y) +
                                " +repage \"" + file + "\" 2>/dev/null";
    std::system(command.c_str());
}

class TurbinePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        main = new MainWindow();
        ASSERT_TRUE(main->openFile(wxString::FromUTF8(examplePath("nrel5mw.kvp"))));
        main->SetPosition(wxPoint(0, 0));
        main->SetSize(1100, 760);
        main->Show();
        main->Raise();
        pump(300);
        main->setUnsaved(false);
        // Errors and notes are collected; no design is transferred here.
        const auto collect = [this](wxWindow*, const wxString& text, const wxString&) { messages.push_back(text); };
        main->computePage()->setDialogs({collect, [](wxWindow*) { return true; }, collect, {}});
        // The Turbine page, the last one.
        main->notebook()->SetSelection(main->notebook()->GetPageCount() - 1);
        pump(300);
    }
    void TearDown() override {
        if (!main) return;
        main->computePage()->destroyWindows();
        main->setUnsaved(false);
        main->Destroy();
        deleteClosedWindows();
    }

    MainWindow* main = nullptr;
    std::vector<wxString> messages;
};

TEST_F(TurbinePageTest, ShowsTheExampleSettingsAndStoresWhatIsTyped) {
    EditTurbine* page = main->turbinePage();
    ASSERT_TRUE(page->IsShownOnScreen());
    EXPECT_EQ(page->field("rated_power")->GetValue(), "5");
    EXPECT_EQ(page->field("rpm_max")->GetValue(), "12.1");
    EXPECT_EQ(page->field("efficiency")->GetValue(), "0.944");
    EXPECT_TRUE(page->automaticTsrBox()->GetValue());
    EXPECT_FALSE(page->field("tsr_target")->IsEnabled());
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Stored in the project.");
    // Turning the wheel to scroll the page does not turn the control choice under it.
    const wxString control = page->controlChoice()->GetStringSelection();
    wheelDownOver(page->controlChoice(), 3);
    EXPECT_EQ(page->controlChoice()->GetStringSelection(), control);
    EXPECT_FALSE(main->isUnsaved());

    typeInto(page->field("rated_power"), "3");
    ASSERT_TRUE(pumpUntil([&] { return main->project()->turbineSettings().rated_power == 3e6; }, 5));
    EXPECT_TRUE(main->isUnsaved());
    // Edit > Undo brings the old value back onto the page, Redo the new one.
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_UNDO));
    ASSERT_TRUE(pumpUntil([&] { return main->project()->turbineSettings().rated_power == 5e6; }, 5));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "5");
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_REDO));
    ASSERT_TRUE(pumpUntil([&] { return main->project()->turbineSettings().rated_power == 3e6; }, 5));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "3");

    // The lowest rotor speed above the highest: red, and nothing stored.
    typeInto(page->field("rpm_min"), "13");
    pump(300);
    // The rule names rpm_max: that field turns red.
    EXPECT_EQ(page->field("rpm_min")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    EXPECT_NE(page->field("rpm_max")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    EXPECT_EQ(main->project()->turbineSettings().rpm_min, 6.9);
    EXPECT_NE(page->sourceLabel()->GetLabel().Find("rpm_max must not be below rpm_min"), wxNOT_FOUND)
        << page->sourceLabel()->GetLabel();
    typeInto(page->field("rpm_min"), "7");
    ASSERT_TRUE(pumpUntil([&] { return main->project()->turbineSettings().rpm_min == 7.0; }, 5));
    // Fine pitch within the range of every pitch setting, -5 to 90 degrees.
    typeInto(page->field("fine_pitch"), "-90");
    EXPECT_NE(page->field("fine_pitch")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "fine_pitch must be from -5 to 90, not -90.");
    EXPECT_EQ(main->project()->turbineSettings().fine_pitch, 0.0);
    typeInto(page->field("fine_pitch"), "0");

    // Climates are stored as they are typed, as long as every line reads as "k, A[, name]":
    // the unfinished second line turns the field red, and the project keeps the climates
    // the edit began with.
    const auto before = main->project()->turbineSettings().wind_climates;
    typeInto(page->field("wind_climates"), "2.2, 9.5, Site A\n1.8");
    pump(300);
    EXPECT_TRUE(korvane::sameValues(main->project()->turbineSettings().wind_climates, before));
    EXPECT_NE(page->field("wind_climates")->GetForegroundColour(), page->field("efficiency")->GetForegroundColour());
    wxUIActionSimulator sim;
    sim.Text(", 7");
    ASSERT_TRUE(pumpUntil([&] { return main->project()->turbineSettings().wind_climates[0].name == "Site A"; }, 5));
    ASSERT_EQ(main->project()->turbineSettings().wind_climates.size(), 2u);
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].name, "Climate 2");
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].k, 1.8);
    EXPECT_EQ(main->project()->turbineSettings().wind_climates[1].A, 7.0);
    // Valid again, every character is shown in the text colour, ", " typed while red too.
    wxTextCtrl* climates = page->field("wind_climates");
    for (long i = 0; i < climates->GetLastPosition(); ++i) {
        wxTextAttr style;
        if (climates->GetStyle(i, style) && style.HasTextColour()) {
            EXPECT_NE(style.GetTextColour(), *wxRED) << i;
        }
    }
    // A comma between two digits could be a decimal comma: refused, and the page says why.
    typeInto(climates, "2, 9,5, Site Y");
    pump(300);
    EXPECT_EQ(main->project()->turbineSettings().wind_climates.size(), 2u);
    wxString note = page->sourceLabel()->GetLabel();
    note.Replace("\n", " ");  // wrapped to the page
    EXPECT_NE(note.Find("line 1: \"2, 9,5, Site Y\" has a comma between two digits"), wxNOT_FOUND) << note;
    EXPECT_LE(page->sourceLabel()->GetRect().GetRight(), page->GetClientSize().x) << "the note is cut off";

    // Forgetting the settings brings back the rotor's defaults (R 63 m: 4.988 MW).
    click(page->defaultsButton());
    ASSERT_TRUE(pumpUntil([&] { return !main->project()->state().turbine.has_value(); }, 5));
    EXPECT_EQ(page->field("rated_power")->GetValue(), "4.988");  // every digit of the value
    EXPECT_EQ(page->sourceLabel()->GetLabel(), "Defaults for the rotor (not stored yet).");
    EXPECT_FALSE(page->defaultsButton()->IsEnabled());
}

TEST_F(TurbinePageTest, PowerCurveButtonOpensTheCurveWithRatedWindSpeedAndEnergy) {
    EditTurbineCompute* compute = main->turbineComputePage();
    EditCompute* panel = main->computePage();
    click(compute->powerCurveButton());
    ASSERT_TRUE(pumpUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }));
    ASSERT_TRUE(messages.empty()) << messages.front();
    auto* window = lastWindow<PowerCurveWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->GetTitle().StartsWith("1 | Power curve | "));
    EXPECT_NEAR(window->curve().ratedWindSpeed, 11.24, 0.05);
    EXPECT_EQ(window->charts()->charts().size(), 4u);
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
    pump(300);
    click(window->tableButton());
    ASSERT_TRUE(pumpUntil([&] { return std::ifstream(path).good(); }, 5));
    std::ifstream file(path);
    const std::string csv((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Header and 45 wind speeds, a blank line, header and two climates.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 45 + 1 + 1 + 2);
    EXPECT_EQ(csv.rfind("V0 [m/s],region [-],", 0), 0u);
    window->Raise();
    if (const char* folder = std::getenv("KORVANE_SCREENSHOTS")) {
        window->SetPosition(wxPoint(0, 0));
        window->SetSize(1250, 820);
        capture(window, std::string(folder) + "/power_curve_window.png");
        window->charts()->SetSelection(1);
        capture(window, std::string(folder) + "/power_curve_control.png");
        main->Raise();
        capture(main, std::string(folder) + "/turbine_page.png");
    }
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
    click(main->turbineComputePage()->powerCurveButton());
    ASSERT_TRUE(pumpUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }));
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
    typeInto(compute->field(0), "4");    // TSR 4 to 10 by 2
    typeInto(compute->field(1), "10");
    typeInto(compute->field(2), "2");
    typeInto(compute->field(3), "0");    // pitch 0 to 6 by 3
    typeInto(compute->field(4), "6");
    typeInto(compute->field(5), "3");
    // Red fields the surface does not use (the design point's wind, the chord limit of a
    // design) do not keep it from starting; the wind of 0 marks itself only.
    main->conditionsPage()->windVelocityField()->SetValue("0");
    panel->chordLimitField()->SetValue("abc");
    EXPECT_EQ(main->conditionsPage()->windVelocityField()->GetForegroundColour(), *wxRED);
    EXPECT_NE(main->conditionsPage()->radiusField()->GetForegroundColour(), *wxRED);
    EXPECT_NE(main->conditionsPage()->rotationSpeedField()->GetForegroundColour(), *wxRED);
    click(compute->surfaceButton());
    ASSERT_TRUE(pumpUntil([&] { return !panel->busy() && !panel->resultWindows().empty(); }));
    ASSERT_TRUE(messages.empty()) << messages.front();
    auto* window = lastWindow<SurfaceWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr);
    main->conditionsPage()->windVelocityField()->SetValue("10");
    panel->chordLimitField()->SetValue("0.3");
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
    window->Hide();
    main->Raise();
    pump(200);
    if (const char* folder = std::getenv("KORVANE_SCREENSHOTS")) {
        // The full default grid for the picture: 23 pitch angles, each its own curve.
        for (const auto& [index, text] : std::vector<std::pair<int, const char*>>{
                 {0, "2"}, {1, "14"}, {2, "0.5"}, {3, "-2"}, {4, "20"}, {5, "1"}})
            typeInto(compute->field(index), text);
        click(compute->surfaceButton());
        ASSERT_TRUE(pumpUntil([&] { return !panel->busy() && panel->resultWindows().size() == 2; }));
        auto* picture = lastWindow<SurfaceWindow>(panel->resultWindows());
        pump(500);  // placed when it shows, before it is moved for the picture
        picture->SetPosition(wxPoint(0, 0));
        picture->SetSize(1250, 820);
        capture(picture, std::string(folder) + "/surface_window.png");
        picture->Hide();
        main->Raise();
        pump(200);
    }

    // The result windows opened so far may stand over the page's buttons.
    for (wxTopLevelWindow* window : panel->resultWindows().windows()) window->Hide();
    main->Raise();
    pump(200);

    // A grid out of range turns the field at fault red and is refused, naming it, before
    // anything starts.
    typeInto(compute->field(0), "0");
    typeInto(compute->field(4), "-3");  // pitch from 0 down to -3: both ends
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(compute->field(i)->GetForegroundColour() == *wxRED, i == 0 || i == 3 || i == 4) << i;
    click(compute->surfaceButton());
    pump(200);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].Contains("Turbine computations: Min. TSR\nTurbine computations: Min. pitch"))
        << messages[0];
    EXPECT_FALSE(panel->busy());

    // A long surface (601 x 201 points, seconds of work) stopped with the page's Stop
    // button; the event loop stays free for the click while the worker reports progress.
    messages.clear();
    for (const auto& [index, text] : std::vector<std::pair<int, const char*>>{
             {0, "2"}, {1, "14"}, {2, "0.02"}, {3, "0"}, {4, "20"}, {5, "0.1"}})
        typeInto(compute->field(index), text);
    click(compute->surfaceButton());
    ASSERT_TRUE(pumpUntil([&] { return panel->busy() && compute->stopButton()->IsEnabled(); }, 10))
        << (messages.empty() ? std::string("no message") : messages[0].utf8_string());
    EXPECT_FALSE(compute->surfaceButton()->IsEnabled());
    EXPECT_FALSE(panel->characteristicsButton()->IsEnabled());
    click(compute->stopButton());
    ASSERT_TRUE(pumpUntil([&] { return !panel->busy(); }, 30));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The computation process has been aborted.");
    EXPECT_TRUE(compute->surfaceButton()->IsEnabled());
    EXPECT_FALSE(compute->stopButton()->IsEnabled());
}

}  // namespace
