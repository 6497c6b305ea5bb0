// The settings of the rotor model in the desktop program, driven as a user drives them:
// the rotor geometry and inflow, the switches of the element model, the prebend list and
// the stall delay. Each takes keys and clicks, keeps red text out of the project, the
// file and the computations, stores one undo step per edit, and writes its object only
// when the project states one.

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/notebook.h>

#include <filesystem>
#include <string>

#include "ControlCommands.h"
#include "GuiTestSupport.h"
#include "UserSessionFixture.h"
#include "TempFolder.h"
#include "UserSimulation.h"
#include "app/edit_compute.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_prebend_points.h"
#include "app/edit_rotor_geometry.h"
#include "app/edit_shape.h"
#include "app/edit_solver_settings.h"
#include "app/edit_stall_delay.h"
#include "project/kvp_codec.h"
#include "results/result_window_list.h"

namespace {

using korvane::testing::DialogAnswers;
using korvane::testing::readBytes;
using korvane::testing::red;

class ModelSettings : public korvane::testing::UserSession {
protected:
    // A copy of an example (without any of these settings) opened as from a file.
    void openCopy(const std::string& example) {
        path = folder.file(example);
        std::filesystem::copy_file(std::string(KORVANE_EXAMPLES) + "/" + example, path);
        original = readBytes(path);
        start(path);
        ASSERT_EQ(window->GetTitle(), example + " - Korvane");
        window->SetSize(wxRect(0, 0, 1600, 1000));
        user.settle();
    }
    // Keys into a field or a click on a control, brought into view first as the Tab key
    // brings it (the page scrolls to the control with the focus).
    int type(wxTextCtrl* field, const wxString& text) {
        field->SetFocus();
        user.settle();
        return user.typeInto(field, text);
    }
    void click(wxWindow* control) {
        control->SetFocus();
        user.settle();
        user.click(control);
    }
    std::string saved() {
        user.key('s', wxMOD_CONTROL);
        return readBytes(path);
    }
    // A choice picked as the toolkit reports it (a choice's pop-up list takes no
    // simulated keys on every platform).
    void pick(wxChoice* choice, int item) {
        korvane::testing::choose(choice, item);
        user.settle();
    }
    // What the last message box said after a click on a computation's button.
    wxString refusal(wxButton* compute) {
        const std::size_t before = dialogs.shown().size();
        const int page = window->notebook()->GetSelection();
        window->notebook()->SetSelection(0);
        click(compute);
        window->notebook()->SetSelection(static_cast<std::size_t>(page));
        user.settle();
        EXPECT_EQ(dialogs.shown().size(), before + 1);
        EXPECT_TRUE(window->computePage()->resultWindows().empty());
        return dialogs.shown().empty() ? wxString() : dialogs.shown().back().message;
    }
    wxString saveRefusal() {
        const std::size_t before = dialogs.shown().size();
        user.key('s', wxMOD_CONTROL);
        EXPECT_EQ(dialogs.shown().size(), before + 1);
        return dialogs.shown().empty() ? wxString() : dialogs.shown().back().message;
    }

    DialogAnswers dialogs;
    std::string path;
    std::string original;
};

TEST_F(ModelSettings, RotorGeometryTakesTheFileLimitsAndAShearNeedsAHubAboveTheRotor) {
    openCopy("nrel5mw.kvp");  // R 63 m
    EditRotorGeometry* rotor = window->rotorGeometryPage();
    EXPECT_EQ(rotor->sectorsField()->GetValue(), "auto");
    type(rotor->preconeField(), "2.5");
    type(rotor->tiltField(), "5");
    type(rotor->sectorsField(), "12");
    EXPECT_EQ(project().rotor().precone, 2.5);
    EXPECT_EQ(project().rotor().tilt, 5.0);
    EXPECT_EQ(project().rotor().sectors, 12);

    // Beyond the limits of the file reader: red, and nothing reaches the project.
    struct Bad {
        wxTextCtrl* field;
        const char* text;
    };
    for (const Bad& bad : {Bad{rotor->preconeField(), "20.5"}, Bad{rotor->yawField(), "-91"},
                           Bad{rotor->sectorsField(), "361"}, Bad{rotor->sectorsField(), "4.5"},
                           Bad{rotor->sectorsField(), "auto8"}, Bad{rotor->shearField(), "1.1"}}) {
        SCOPED_TRACE(bad.text);
        const bemt::RotorGeometry before = project().rotor();
        const int attempts = type(bad.field, bad.text);
        EXPECT_TRUE(red(bad.field)) << bad.field->GetValue();
        // A second attempt (the focus taken away under load) keeps what the first left.
        if (attempts == 1) {
            EXPECT_TRUE(bemt::Rotor::sameValues(project().rotor(), before));
        }
        window->update(false, false, false, true, false);  // the fields show the project again
    }

    // A shear without a hub height above R: both fields red, named where the operating
    // point and Save refuse; the blade design, which keeps the plain rotor, does not.
    type(rotor->shearField(), "0.2");
    EXPECT_TRUE(red(rotor->shearField()));
    EXPECT_TRUE(red(rotor->hubHeightField()));
    type(rotor->hubHeightField(), "63");  // not above R
    EXPECT_TRUE(red(rotor->shearField()));
    const wxString refused = refusal(window->computePage()->operatingPointButton());
    EXPECT_NE(refused.Find("Rotor geometry and inflow: Shear exponent"), wxNOT_FOUND) << refused;
    EXPECT_NE(refused.Find("Rotor geometry and inflow: Hub height"), wxNOT_FOUND) << refused;
    EXPECT_NE(saveRefusal().Find("Rotor geometry and inflow: Hub height"), wxNOT_FOUND);
    EXPECT_TRUE(window->invalidFields(true, kRotorGeometry).empty());
    EXPECT_EQ(project().rotor().shear_exponent, 0.0);
    EXPECT_EQ(readBytes(path), original);

    // The hub above R makes both valid in one step, which one Ctrl+Z takes back.
    type(rotor->hubHeightField(), "90");
    EXPECT_FALSE(red(rotor->shearField()));
    EXPECT_EQ(project().rotor().shear_exponent, 0.2);
    EXPECT_EQ(project().rotor().hub_height, 90.0);
    pick(rotor->skewChoice(), 1);
    EXPECT_EQ(project().rotor().skew, bemt::SkewCorrection::PittPeters);
    const std::string file = saved();
    EXPECT_NE(file.find(R"("rotor":{"hub_height":90.0,"precone":2.5,"sectors":12,"shear_exponent":0.2,)"
                        R"("skew_correction":"pitt_peters","tilt":5.0,"yaw":0.0})"),
              std::string::npos)
        << file;
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().rotor().skew, bemt::SkewCorrection::None);
    EXPECT_EQ(rotor->skewChoice()->GetSelection(), 0);
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().rotor().shear_exponent, 0.0);
    EXPECT_EQ(project().rotor().hub_height, 0.0);
    EXPECT_EQ(rotor->hubHeightField()->GetValue(), "0");
    EXPECT_EQ(project().rotor().sectors, 12);

    // Back to the plain rotor: the file is the example's, byte for byte.
    for (int i = 0; i < 3; ++i) user.key('z', wxMOD_CONTROL);
    EXPECT_FALSE(window->canUndo());
    EXPECT_EQ(rotor->sectorsField()->GetValue(), "auto");
    EXPECT_EQ(saved(), original);

    // A new radius above the hub height turns a stated shear's fields red.
    type(rotor->hubHeightField(), "90");
    type(rotor->shearField(), "0.14");
    type(window->conditionsPage()->radiusField(), "100");
    EXPECT_TRUE(red(rotor->hubHeightField()));
    EXPECT_TRUE(red(rotor->shearField()));
    // The typed radius is one step, and the marks follow Undo and Redo of it.
    struct Step {
        int key;
        double radius;
        bool red;
    };
    for (const Step& step : {Step{'z', 63.0, false}, Step{'y', 100.0, true}, Step{'z', 63.0, false}}) {
        user.key(step.key, wxMOD_CONTROL);
        EXPECT_EQ(project().operatingConditions().R, step.radius) << char(step.key);
        EXPECT_EQ(red(rotor->hubHeightField()), step.red) << step.radius;
        EXPECT_EQ(red(rotor->shearField()), step.red) << step.radius;
    }

    // No hub height at all (out of range, or emptied): the stated shear has none above
    // the rotor, and both fields are named.
    for (const wxString& height : {wxString("1e400"), wxString()}) {
        SCOPED_TRACE(height);
        type(rotor->hubHeightField(), height.empty() ? "9" : height);
        if (height.empty()) user.key(WXK_BACK);
        EXPECT_EQ(rotor->hubHeightField()->GetValue(), height);
        EXPECT_TRUE(red(rotor->hubHeightField()));
        EXPECT_TRUE(red(rotor->shearField()));
        const wxString refused = saveRefusal();
        EXPECT_NE(refused.Find("Rotor geometry and inflow: Shear exponent"), wxNOT_FOUND) << refused;
        EXPECT_NE(refused.Find("Rotor geometry and inflow: Hub height"), wxNOT_FOUND) << refused;
    }
}

TEST_F(ModelSettings, EachModelSwitchIsOneClickOneUndoStepAndWrittenOnlyWhenOff) {
    openCopy("nrel5mw.kvp");
    const auto& switches = window->solverPage()->modelSwitches();
    const char* keys[] = {"tip_loss", "hub_loss", "wake_rotation", "drag_in_induction"};
    for (std::size_t i = 0; i < switches.size(); ++i) {
        SCOPED_TRACE(keys[i]);
        EXPECT_TRUE(switches[i]->GetValue());
        click(switches[i]);
        const bemt::SolverSettings s = project().solverSettings();
        EXPECT_EQ(std::vector<bool>({s.tip_loss, s.hub_loss, s.wake_rotation, s.drag_in_induction}),
                  std::vector<bool>({i != 0, i != 1, i != 2, i != 3}));
        const std::string off = std::string("\"").append(keys[i]).append("\":false");
        EXPECT_NE(saved().find(off), std::string::npos);
        user.key('z', wxMOD_CONTROL);
        EXPECT_TRUE(switches[i]->GetValue());
        EXPECT_FALSE(window->canUndo());
        EXPECT_EQ(saved(), original);
    }
}

TEST_F(ModelSettings, ThePrebendListAppearsWithItsBoxAndEditsLikeTheOtherLists) {
    openCopy("nrel5mw.kvp");  // hub 1.5 m of 63 m
    window->notebook()->SetSelection(1);
    EditShape* shape = window->shapePage();
    EditPrebendPoints* prebend = shape->prebendEditor();
    user.settle();
    EXPECT_FALSE(prebend->IsShown());

    // The box starts a straight blade from the hub to the tip, one step.
    click(shape->prebendBox());
    ASSERT_TRUE(prebend->IsShown());
    ASSERT_EQ(project().prebendPoints().size(), 2u);
    EXPECT_EQ(project().prebendPoints()[0].x_rel, 1.5 / 63.0);
    EXPECT_EQ(project().prebendPoints()[1].value, 0.0);
    type(prebend->valueField(1), "-4");
    EXPECT_EQ(project().prebendPoints()[1].value, -4.0);
    type(prebend->positionField(1), "0.8");
    EXPECT_EQ(project().prebendPoints()[1].x_rel, 0.8);

    // Beyond the limits: red, named where the operating point and Save refuse.
    type(prebend->valueField(1), "-150");
    EXPECT_TRUE(red(prebend->valueField(1)));
    EXPECT_EQ(project().prebendPoints()[1].value, -4.0);
    EXPECT_NE(refusal(window->computePage()->operatingPointButton()).Find("Prebend: point 2, Prebend"), wxNOT_FOUND);
    EXPECT_NE(saveRefusal().Find("Prebend: point 2, Prebend"), wxNOT_FOUND);
    EXPECT_EQ(readBytes(path), original);
    type(prebend->valueField(1), "-3.5");
    const std::string file = saved();
    EXPECT_NE(file.find(R"("prebend_points":[{"value":0.0,"x_rel":0.023809523809523808},{"value":-3.5,"x_rel":0.8}])"),
              std::string::npos)
        << file;

    // Each edit one step back; the box's step takes the list away again.
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().prebendPoints()[1].value, -4.0);
    EXPECT_EQ(prebend->valueField(1)->GetValue(), "-4");
    for (int i = 0; i < 3; ++i) user.key('z', wxMOD_CONTROL);
    EXPECT_TRUE(project().prebendPoints().empty());
    EXPECT_FALSE(prebend->IsShown());
    EXPECT_FALSE(shape->prebendBox()->GetValue());
    EXPECT_EQ(saved(), original);
    user.key('y', wxMOD_CONTROL);
    EXPECT_TRUE(prebend->IsShown());

    // Cleared, the box makes the blade straight again.
    click(shape->prebendBox());
    EXPECT_TRUE(project().prebendPoints().empty());
    EXPECT_FALSE(prebend->IsShown());
}

TEST_F(ModelSettings, StallDelayIsOffUntilALiftModelIsChosenAndKeepsItsWindowsInOrder) {
    openCopy("nrel5mw.kvp");
    EditStallDelay* stall = window->stallDelayPage();
    EXPECT_EQ(stall->liftChoice()->GetSelection(), 0);  // None
    EXPECT_FALSE(stall->fadeEndField()->IsEnabled());

    // Du & Selig brings the defaults of the models, Eggers' drag with them.
    pick(stall->liftChoice(), 1);
    ASSERT_TRUE(project().stallDelay().has_value());
    EXPECT_EQ(*project().stallDelay(), bemt::StallDelaySettings{});
    EXPECT_EQ(stall->fitMinField()->GetValue(), "-5");
    EXPECT_EQ(stall->fadeEndField()->GetValue(), "45");
    EXPECT_EQ(stall->outerLimitField()->GetValue(), "");

    // A fade that ends before it starts: both ends red, named where computations refuse.
    type(stall->fadeEndField(), "20");
    EXPECT_TRUE(red(stall->fadeEndField()));
    EXPECT_TRUE(red(stall->fadeStartField()));
    EXPECT_NE(refusal(window->computePage()->designButton()).Find("Stall delay: Fade end"), wxNOT_FOUND);
    for (const char* bad : {"0", "1.5", "x"}) {
        type(stall->outerLimitField(), bad);
        EXPECT_TRUE(red(stall->outerLimitField())) << bad;
    }
    type(stall->outerLimitField(), "0.6");
    type(stall->fadeEndField(), "40");
    EXPECT_FALSE(red(stall->fadeStartField()));
    EXPECT_EQ(project().stallDelay()->fade_end, 40.0);
    EXPECT_EQ(project().stallDelay()->x_max, 0.6);
    type(stall->fitMaxField(), "31");
    EXPECT_TRUE(red(stall->fitMaxField()));
    type(stall->fitMaxField(), "8");
    pick(stall->liftChoice(), 2);
    pick(stall->dragChoice(), 0);
    const std::string file = saved();
    EXPECT_NE(file.find(R"("stall_delay":{"drag":"none","fade_end":40.0,"fade_start":25.0,"fit_max":8.0,)"
                        R"("fit_min":-5.0,"lift":"snel","max_delta_cl":0.25,"x_max":0.6})"),
              std::string::npos)
        << file;

    // Every edit one step; None leaves the project without a stall delay.
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().stallDelay()->drag, bemt::StallDrag::Eggers);
    pick(stall->liftChoice(), 0);
    EXPECT_FALSE(project().stallDelay().has_value());
    EXPECT_FALSE(stall->fitMaxField()->IsEnabled());
    EXPECT_EQ(saved(), original);
    user.key('z', wxMOD_CONTROL);
    EXPECT_EQ(project().stallDelay()->lift, bemt::StallLift::Snel);
    EXPECT_EQ(stall->liftChoice()->GetSelection(), 2);
    EXPECT_TRUE(stall->fitMaxField()->IsEnabled());
    EXPECT_EQ(stall->fitMaxField()->GetValue(), "8");
}

// Every setting of the rotor model opened from a file, shown, and saved again byte for byte.
TEST_F(ModelSettings, AProjectWithEverySettingRoundTripsThroughTheDesktopsSave) {
    openCopy("nrel5mw.kvp");
    korvane::ProjectData data = project().state();
    data.rotor = {2.5, 5.0, -10.0, 90.0, 0.14, 16, bemt::SkewCorrection::PittPeters};
    data.prebendPoints = {{0.2, 0.0}, {0.7, -1.25}, {1.0, -4.0}};
    data.solverSettings.hub_loss = false;
    data.solverSettings.wake_rotation = false;
    bemt::StallDelaySettings stall;
    stall.lift = bemt::StallLift::Snel;
    stall.fade_start = 20.0;
    stall.x_max = 0.5;
    data.stall_delay = stall;
    const std::string written = korvane::kvp::write(data, path);
    korvane::testing::writeBytes(path, written);
    ASSERT_TRUE(window->openFile(wxString::FromUTF8(path)));
    user.settle();
    EXPECT_EQ(window->rotorGeometryPage()->yawField()->GetValue(), "-10");
    EXPECT_EQ(window->rotorGeometryPage()->sectorsField()->GetValue(), "16");
    EXPECT_FALSE(window->solverPage()->modelSwitches()[1]->GetValue());
    EXPECT_EQ(window->stallDelayPage()->outerLimitField()->GetValue(), "0.5");
    EXPECT_TRUE(window->shapePage()->prebendEditor()->IsShown());
    EXPECT_EQ(window->shapePage()->prebendEditor()->valueField(2)->GetValue(), "-4");
    EXPECT_TRUE(window->invalidFields().empty());
    EXPECT_EQ(saved(), written);
}

}  // namespace
