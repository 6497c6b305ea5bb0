// Takes the screenshots of the README and the user guide: the main window, every result
// window and the previews, from the example projects. Not a test: it runs only when asked
// for, under a virtual display without window manager (one command line):
//   KORVANE_SCREENSHOTS=$PWD/docs/screenshots xvfb-run -a -s "-screen 0 1280x1024x24"
//   build/tests/compute/compute_tests --gtest_also_run_disabled_tests --gtest_filter='Screenshots.*'
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/scrolwin.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <fstream>

#include <nlohmann/json.hpp>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "TempFolder.h"
#include "UserSimulation.h"
#include "app/edit_shape.h"
#include "app/optimise_dialog.h"
#include "app/window_main.h"
#include "results/chart_book.h"
#include "results/display_disc_map.h"
#include "results/window_analyze_airfoils.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"
#include "results/window_optimisation.h"
#include "results/window_power_curve.h"
#include "results/window_shape.h"
#include "results/window_surface.h"
#include "results/window_twist.h"

namespace {

using namespace korvane::testing;

// Shows the window alone in the top left corner and saves what the screen shows of it.
void capture(wxTopLevelWindow* window, const std::string& file) {
    window->SetPosition(wxPoint(0, 0));
    window->Show();
    window->Raise();
    // The pointer out of the way, where it opens no tool tip.
    wxUIActionSimulator().MouseMove(wxGetDisplaySize().x - 1, wxGetDisplaySize().y - 1);
    runEventLoopFor(std::chrono::seconds(1));
    // What the display shows (ImageMagick's import reads the screen itself), where the
    // window is: a window manager may place a dialog beside its parent.
    const wxRect at = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(at.width) + "x" +
                                std::to_string(at.height) + "+" + std::to_string(at.x) + "+" + std::to_string(at.y) +
                                " +repage \"" + file + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    window->Hide();
}

template <typename Window>
Window* runAndTake(EditCompute* panel, void (EditCompute::*action)()) {
    (panel->*action)();
    EXPECT_TRUE(waitFor([&] { return !panel->busy(); }));
    return lastWindow<Window>(panel->resultWindows());
}

// The main window, and the folder the pictures go to (KORVANE_SCREENSHOTS).
class Screenshots : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        const char* folder = std::getenv("KORVANE_SCREENSHOTS");
        if (!folder) GTEST_SKIP() << "KORVANE_SCREENSHOTS names the folder of the pictures";
        at = std::string(folder) + "/";
        main = new MainWindow();
        panel = main->computePage();
    }
    void TearDown() override {
        if (!main) return;
        main->setUnsaved(false);  // no question on closing
        main->Close();
        deleteClosedWindows();
    }
    // A project opened and shown as saved.
    void open(const std::string& path) {
        main->openFile(wxString::FromUTF8(path));
        main->Show();
        processEvents();
        main->setUnsaved(false);
    }
    // A result window at the size of the pictures, on a chart page (kLastPage: the last;
    // kShownPage: the one shown), taken.
    static constexpr int kLastPage = -1, kShownPage = -2;
    template <typename Window>
    void take(Window* window, int page, const std::string& file, wxSize size = {1250, 820}) {
        ASSERT_NE(window, nullptr);
        window->SetSize(size);
        if (page == kLastPage) page = static_cast<int>(window->charts()->GetPageCount()) - 1;
        if (page >= 0) window->charts()->SetSelection(static_cast<std::size_t>(page));
        capture(window, at + file);
    }

    std::string at;
    MainWindow* main = nullptr;
    EditCompute* panel = nullptr;
};

TEST_F(Screenshots, DISABLED_ResultWindows) {
    open(examplePath("new_turbine.kvp"));
    capture(main, at + "main_window.png");

    auto* design = runAndTake<DesignResultWindow>(panel, &EditCompute::designBlade);
    take(design, 0, "design_result_window.png");  // the designed chord and twist
    auto* op = runAndTake<OpResultWindow>(panel, &EditCompute::computeOperatingPoint);
    take(op, 1, "op_result_window.png");  // angle of attack and inflow angle
    auto* characteristics = runAndTake<CharResultWindow>(panel, &EditCompute::computeChar);
    // The power coefficient, and the power, against the tip speed ratio.
    take(characteristics, 2, "char_result_window.png");
    take(characteristics, 0, "char_power_window.png");
    auto* analyzer = runAndTake<AnalyzeAirfoilsWindow>(panel, &EditCompute::analyzeAirfoils);
    ASSERT_NE(analyzer, nullptr);
    analyzer->SetSize(1150, 720);
    analyzer->setPosition(0.5);
    take(analyzer, kShownPage, "analyzer_window.png", {1150, 720});

    main->shapePage()->displayShapeWindow();
    main->shapePage()->displayTwistWindow();
    ASSERT_NE(main->shapePage()->shapeWindow(), nullptr);
    ASSERT_NE(main->shapePage()->twistWindow(), nullptr);
    capture(main->shapePage()->shapeWindow(), at + "shape_window.png");
    capture(main->shapePage()->twistWindow(), at + "twist_window.png");

    // Pitch angles -2 to 6 with power below zero at low wind: the example of the guide.
    open(examplePath("naca_blade.kvp"));
    auto* pitched = runAndTake<CharResultWindow>(panel, &EditCompute::computeChar);
    take(pitched, 0, "char_pitch_power_window.png");

    // The NREL 5-MW example's power curve and its full default performance surface
    // (23 pitch angles, each its own curve), and the Turbine page.
    open(examplePath("nrel5mw.kvp"));
    panel->computePowerCurve();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    auto* curve = lastWindow<PowerCurveWindow>(panel->resultWindows());
    take(curve, kShownPage, "power_curve_window.png");
    take(curve, 1, "power_curve_control.png");
    panel->computeSurface({{2.0, 14.0, 0.5}, {-2.0, 20.0, 1.0}, main->project()->operatingConditions().V0});
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    auto* surface = lastWindow<SurfaceWindow>(panel->resultWindows());
    take(surface, kShownPage, "surface_window.png");
    main->notebook()->SetSelection(main->notebook()->GetPageCount() - 1);
    main->SetSize(1100, 760);
    capture(main, at + "turbine_page.png");
}

// Scrolls a result window's side column to its end, where the parameters it was computed with are.
void scrollSideColumnDown(wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* column = dynamic_cast<wxScrolledWindow*>(child)) {
            column->Scroll(0, column->GetVirtualSize().y);
            return;
        }
        scrollSideColumnDown(child);
    }
}

// An example project with rotor settings of its own, written beside the test: the
// airfoil files stay where the example names them.
std::string rotorVariant(const TempFolder& folder, const std::string& example, const nlohmann::json& settings) {
    std::ifstream in(examplePath(example));
    nlohmann::json project = nlohmann::json::parse(in);
    for (auto& point : project["airfoil_points"]) {
        const std::string path = point["path"];
        if (path.rfind("../", 0) == 0) point["path"] = examplePath(path.substr(3));
    }
    project.update(settings);
    const std::string path = folder.file(example);
    std::ofstream(path) << project.dump();
    return path;
}

TEST_F(Screenshots, DISABLED_RotorModelWindows) {
    TempFolder variants;
    // The NREL 5-MW rotor as it operates, yawed 20 degrees in a wind sheared with exponent 0.2.
    nlohmann::json rotor = {{"precone", 2.5}, {"tilt", 5.0},           {"yaw", 20.0},
                            {"hub_height", 90.0}, {"shear_exponent", 0.2}, {"sectors", "auto"}};
    open(rotorVariant(variants, "nrel5mw_operating.kvp", {{"rotor", rotor}}));
    auto* op = runAndTake<OpResultWindow>(panel, &EditCompute::computeOperatingPoint);
    take(op, kLastPage, "op_disc_alpha.png");
    ASSERT_NE(op->discMap(), nullptr);
    op->discMap()->showFromMean(true);
    scrollSideColumnDown(op);  // to the rotor model it was computed with
    capture(op, at + "op_disc_map.png");
    op->discMap()->showFromMean(false);
    op->discMap()->showQuantity(result_series::DiscQuantity::NormalForce);
    capture(op, at + "op_disc_normal_force.png");

    auto* characteristics = runAndTake<CharResultWindow>(panel, &EditCompute::computeChar);
    take(characteristics, result_series::RootMoment, "char_root_moment.png");
    panel->computePowerCurve();
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }));
    auto* curve = lastWindow<PowerCurveWindow>(panel->resultWindows());
    take(curve, kLastPage, "power_curve_root_moment.png");
    auto* design = runAndTake<DesignResultWindow>(panel, &EditCompute::designBlade);
    ASSERT_NE(design, nullptr);
    design->SetSize(1250, 820);
    scrollSideColumnDown(design);
    capture(design, at + "design_plain_rotor.png");

    // The NACA 0012 blade's polars, corrected for stall delay near the root.
    open(rotorVariant(variants, "new_turbine.kvp", {{"stall_delay", {{"lift", "du_selig"}, {"drag", "eggers"}}}}));
    auto* analyzer = runAndTake<AnalyzeAirfoilsWindow>(panel, &EditCompute::analyzeAirfoils);
    ASSERT_NE(analyzer, nullptr);
    analyzer->SetSize(1150, 720);
    analyzer->setPosition(0.2);
    take(analyzer, kShownPage, "analyzer_stall_delay.png", {1150, 720});
    take(analyzer, 1, "analyzer_stall_delay_ratio.png", {1150, 720});
    take(analyzer, 2, "analyzer_stall_delay_polar.png", {1150, 720});
}

// The first page with the rotor geometry and the stall delay of the operating 5-MW
// rotor, and its blade page with a prebend, in a window of 1600 x 1000.
TEST_F(Screenshots, DISABLED_ModelSettings) {
    main->openFile(wxString::FromUTF8(examplePath("nrel5mw_operating.kvp")));
    KvpProject& project = *main->project();
    project.setStallDelay(bemt::StallDelaySettings{}, false);
    project.setPrebendPoints({{0.2, 0.0}, {0.6, -0.8}, {1.0, -4.0}}, false);
    main->update(true, true, true, true, true);
    main->SetSize(1600, 1000);
    main->Show();
    processEvents();
    main->setUnsaved(false);
    capture(main, at + "model_settings.png");
    main->notebook()->SetSelection(1);
    capture(main, at + "prebend_page.png");
}

// The worked example of the guide: the NREL 5-MW blade optimised for the first climate's
// energy within its published largest chord and its own largest thrust.
TEST_F(Screenshots, DISABLED_Optimisation) {
    open(examplePath("nrel5mw.kvp"));
    panel->optimiseBlade();
    OptimiseDialog* dialog = panel->optimiseDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->field("max_chord")->ChangeValue("4.652");
    dialog->field("max_thrust_ratio")->SetValue("1");  // SetValue: the dialog checks the fields
    capture(dialog, at + "optimise_dialog.png");
    press(dialog->FindWindow(wxID_OK));
    ASSERT_TRUE(waitFor([&] { return !panel->busy(); }, std::chrono::seconds(900)));
    auto* window = lastWindow<OptimisationWindow>(panel->resultWindows());
    take(window, 1, "optimisation_window.png");  // chord before and after
    take(window, 0, "optimisation_objective.png");  // the objective over the iterations
    take(window, 3, "optimisation_cp.png");  // Cp over the tip speed ratio
}

}  // namespace
