// "Optimise blade" as a user meets it, with real mouse and key events (the event loop
// running) on the small example: the settings dialog refuses a red field by its name, its
// OK stores the settings and runs the optimisation on the worker, the result window
// shows the before/after table, and "Use optimised blade" puts the blade into the project
// as one step that Undo takes back.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>

#include "ComputeHarness.h"
#include "MainWindowTest.h"
#include "UserSimulation.h"
#include "app/edit_rotor_geometry.h"
#include "app/edit_turbine.h"
#include "app/optimise_dialog.h"
#include "app/window_main.h"
#include "project/project_data.h"
#include "results/chart_book.h"
#include "results/window_optimisation.h"

namespace {

using namespace korvane::testing;

using std::chrono::milliseconds;
using std::chrono::seconds;

class OptimiseBladeTest : public MainWindowTest {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        openExample("new_turbine.kvp", 0, wxSize(1400, 990));  // the compute column's last buttons in view
    }
};

TEST_F(OptimiseBladeTest, TheDialogRunsTheOptimisationAndTheOptimisedBladeIsOneUndoStep) {
    EditCompute* panel = main->computePage();
    KvpProject& project = *main->project();
    const korvane::ProjectData start = project.state();
    ASSERT_FALSE(start.optimisation.has_value());
    // Red text in a field the optimisation uses refuses it, naming the field, before any
    // setting is asked for or stored.
    wxTextCtrl* yaw = main->rotorGeometryPage()->yawField();
    const auto typeOnItsPage = [&](wxTextCtrl* field, const wxString& text) {
        for (std::size_t page = 0; page < main->notebook()->GetPageCount(); ++page)
            if (main->notebook()->GetPage(page)->IsDescendant(field)) main->notebook()->SetSelection(page);
        user.typeInto(field, text);
        main->notebook()->SetSelection(0);
        runEventLoopFor(milliseconds(300));
    };
    typeOnItsPage(yaw, "abc");
    user.click(panel->optimiseButton());
    runEventLoopFor(milliseconds(500));
    EXPECT_EQ(panel->optimiseDialog(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages.back().Find("Rotor geometry and inflow: Yaw"), wxNOT_FOUND) << messages.back();
    EXPECT_FALSE(main->isUnsaved());
    messages.clear();
    typeOnItsPage(yaw, "0");

    user.click(panel->optimiseButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return panel->optimiseDialog() != nullptr; }, seconds(5)));
    OptimiseDialog* dialog = panel->optimiseDialog();
    auto* ok = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_OK));
    ASSERT_NE(ok, nullptr);

    // Out of the value table's range: red, said in the table's words, and OK refused.
    user.typeInto(dialog->field("control_points"), "1");
    EXPECT_TRUE(red(dialog->field("control_points")));
    wxString note = dialog->note()->GetLabel();
    note.Replace("\n", " ");  // wrapped to the dialog
    EXPECT_EQ(note, "Control points: the number of control points 1 lies outside its range, 2 to 50.");
    user.typeInto(dialog->field("max_thrust"), "2e5");
    user.typeInto(dialog->field("max_thrust_ratio"), "1");
    user.typeInto(dialog->field("max_root_moment"), "1e400");
    EXPECT_TRUE(red(dialog->field("max_thrust")));
    user.click(ok);
    ASSERT_EQ(panel->optimiseDialog(), dialog) << "OK closed the dialog with red fields";
    note = dialog->note()->GetLabel();
    note.Replace("\n", " ");
    EXPECT_TRUE(note.StartsWith(OptimiseDialog::kRefusal)) << note;
    // Named as the dialog names them, and a number too large to hold as such.
    for (const char* fault : {"Max. thrust [N]: give one thrust limit, Max. thrust [N] or Max. thrust ratio [-], not both.",
                              "\"1e400\" is not a finite number."})
        EXPECT_NE(note.Find(wxString::FromUTF8(fault)), wxNOT_FOUND) << note;
    EXPECT_FALSE(project.state().optimisation.has_value());

    user.typeInto(dialog->field("control_points"), "4");
    user.typeInto(dialog->field("max_thrust"), "2");  // then emptied: no limit
    user.key(WXK_BACK);
    EXPECT_EQ(dialog->field("max_thrust")->GetValue(), "");
    user.typeInto(dialog->field("max_root_moment"), "9");
    user.key(WXK_BACK);
    user.typeInto(dialog->field("budget"), "20");
    user.click(dialog->box("tsr"));
    EXPECT_FALSE(red(dialog->field("control_points")));
    EXPECT_EQ(dialog->note()->GetLabel(), "");
    user.click(ok);
    ASSERT_TRUE(runEventLoopUntil([&] { return panel->optimiseDialog() == nullptr; }, seconds(5)));
    ASSERT_TRUE(project.state().optimisation.has_value());
    EXPECT_EQ(project.state().optimisation->budget, 20);
    EXPECT_EQ(project.state().optimisation->control_points, 4);
    EXPECT_EQ(project.state().optimisation->max_thrust_ratio, 1.0);
    EXPECT_TRUE(project.state().optimisation->vary_tsr);
    EXPECT_TRUE(std::isnan(project.state().optimisation->max_thrust));
    EXPECT_TRUE(main->isUnsaved());

    ASSERT_TRUE(runEventLoopUntil([&] { return !panel->busy(); }, seconds(300)));
    auto* window = lastWindow<OptimisationWindow>(panel->resultWindows());
    ASSERT_NE(window, nullptr) << (messages.empty() ? wxString() : messages.back());
    const auto& result = window->outcome().result;
    ASSERT_TRUE(result.feasible);
    EXPECT_LE(result.evaluations, 21);
    EXPECT_EQ(window->charts()->GetPageCount(), 5u);
    // The table of korvane-cli optimise: the annual energy of each climate first, then six rows.
    ASSERT_EQ(window->table()->GetItemCount(), 6 + static_cast<int>(project.turbineSettings().wind_climates.size()));
    EXPECT_TRUE(window->table()->GetItemText(0, 0).StartsWith("Annual energy, "));
    EXPECT_GT(result.best.objective, result.start.objective);

    ASSERT_TRUE(window->useButton()->IsEnabled());
    window->Raise();
    runEventLoopFor(milliseconds(300));
    user.click(window->useButton());
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return !korvane::sameValues(project.chordPoints(), start.chordPoints); }, seconds(5)));
    EXPECT_TRUE(korvane::sameValues(project.chordPoints(), result.chord));
    EXPECT_TRUE(korvane::sameValues(project.twistPoints(), result.twist));
    EXPECT_EQ(project.chordPoints().size(), 4u);
    EXPECT_FALSE(main->turbinePage()->automaticTsrBox()->GetValue());

    // One Undo: the project's blade again, the settings stored before it stay.
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_UNDO));
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return korvane::sameValues(project.chordPoints(), start.chordPoints); }, seconds(5)));
    EXPECT_TRUE(korvane::sameValues(project.twistPoints(), start.twistPoints));
    ASSERT_TRUE(project.state().optimisation.has_value());
    EXPECT_EQ(project.state().optimisation->budget, 20);
    // The turbine page shows the automatic tip speed ratio again, greyed as it began.
    EXPECT_TRUE(main->turbinePage()->automaticTsrBox()->GetValue());
    EXPECT_FALSE(main->turbinePage()->field("tsr_target")->IsEnabled());
    EXPECT_EQ(main->turbinePage()->field("tsr_target")->GetValue(), "7");
    // A second Undo takes the settings back.
    wxPostEvent(main, wxCommandEvent(wxEVT_MENU, wxID_UNDO));
    ASSERT_TRUE(runEventLoopUntil([&] { return !project.state().optimisation.has_value(); }, seconds(5)));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
