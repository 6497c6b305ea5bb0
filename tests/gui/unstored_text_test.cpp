// Text the user typed that is not in the project (shown in red, or a valid text that red
// text holds back) is never lost unseen: leaving the project asks first and drops it only
// when the action goes on, Undo and Redo refuse beside it, and of two fields a rule joins
// only the one just typed turns red.

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/notebook.h>

#include <functional>
#include <string>

#include "GuiTestSupport.h"
#include "TempFolder.h"
#include "UserSessionFixture.h"
#include "UserSimulation.h"
#include "app/edit_compute.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_shape.h"
#include "app/edit_twist_points.h"
#include "app/edit_turbine.h"
#include "app/edit_turbine_compute.h"
#include "app/window_main.h"
#include "project/project_data.h"
#include "results/result_window_list.h"

namespace {

using korvane::testing::DialogAnswers;
using korvane::testing::red;
using korvane::testing::UserSession;

// Keys that arrive together with a command (a loaded machine, a fast typist) reach the
// project before the command reads it; text not in the project (red, or held back by red
// text) is never dropped without asking.
TEST_F(UserSession, TextOnItsWayReachesTheFileAndTextNotInTheProjectIsAskedAbout) {
    start();
    DialogAnswers dialogs;
    EditOperatingConditions* conditions = window->conditionsPage();
    // A changed text's update is queued; Save runs before the event loop handles it.
    script->paths.push_back(wxString::FromUTF8(folder.file("fast.kvp")));
    conditions->airDensityField()->SetValue("1.1");
    window->computePage()->stepsField()->SetValue("5");  // its step follows on the way
    window->ProcessCommand(wxID_SAVE);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.shown().front().message;
    EXPECT_EQ(project().operatingConditions().rho, 1.1);
    EXPECT_EQ(window->GetTitle(), "fast.kvp - Korvane");
    conditions->airDensityField()->SetValue("1.2");
    dialogs.answer(wxID_CANCEL);
    EXPECT_FALSE(window->Close());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().back().caption, "Save the project?");

    // A red radius holds back a valid wind: leaving the project asks first, naming both.
    user.typeInto(conditions->radiusField(), "abc");
    user.typeInto(conditions->windVelocityField(), "9");
    const std::function<void()> leave[] = {
        [&] { user.key('n', wxMOD_CONTROL); },
        [&] { user.key('o', wxMOD_CONTROL); },
        [&] { window->ProcessCommand(MainWindow::kImportOpenFastId); },
        [&] { EXPECT_FALSE(window->Close()); },
    };
    for (const auto& command : leave) {
        const std::size_t shown = dialogs.shown().size();
        dialogs.answer(wxID_NO);  // Cancel
        command();
        ASSERT_EQ(dialogs.shown().size(), shown + 1);
        EXPECT_EQ(dialogs.shown().back().caption, "Discard the text not in the project?");
        EXPECT_NE(dialogs.shown().back().message.Find("Design conditions: Rotor radius\nDesign conditions: Wind velocity"),
                  wxNOT_FOUND) << dialogs.shown().back().message;
        EXPECT_TRUE(script->requests.size() == 1u);  // no file was asked for
        EXPECT_EQ(conditions->windVelocityField()->GetValue(), "9");
    }
    // Discarded, then cancelled at the question about saving or at the file dialog: the
    // text is dropped only when the action goes on, so it stays, and so does the project.
    const korvane::ProjectData kept = project().state();
    const std::function<void()> cancelledLater[] = {
        [&] { user.key('n', wxMOD_CONTROL); },
        [&] { EXPECT_FALSE(window->Close()); },
        [&] { user.key('o', wxMOD_CONTROL); },  // no file chosen
        [&] { window->ProcessCommand(MainWindow::kImportOpenFastId); },
    };
    for (std::size_t i = 0; i < std::size(cancelledLater); ++i) {
        SCOPED_TRACE(i);
        dialogs.answer(wxID_YES);                    // Discard
        dialogs.answer(i < 2 ? wxID_CANCEL : wxID_NO);  // Cancel, or Don't save and no file
        cancelledLater[i]();
        EXPECT_EQ(dialogs.shown().back().caption, "Save the project?");
        EXPECT_EQ(conditions->radiusField()->GetValue(), "abc");
        EXPECT_TRUE(red(conditions->radiusField()));
        EXPECT_EQ(conditions->windVelocityField()->GetValue(), "9");
        EXPECT_TRUE(korvane::sameValues(project().state(), kept));
        EXPECT_EQ(window->GetTitle(), "fast.kvp* - Korvane");
    }
    EXPECT_FALSE(window->unstoredFields().empty());

    // Discarded and saved: the file holds the project without the discarded text, and New
    // replaces it.
    dialogs.answer(wxID_YES);
    dialogs.answer(wxID_YES);
    user.key('n', wxMOD_CONTROL);
    const std::string saved = korvane::testing::readBytes(folder.file("fast.kvp"));
    EXPECT_NE(saved.find("\"rho\":1.2}"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"R\":25.0"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"V0\":9"), std::string::npos) << saved;
    EXPECT_EQ(conditions->radiusField()->GetValue(), "25");
    EXPECT_FALSE(red(conditions->radiusField()));
    EXPECT_EQ(project().operatingConditions().rho, 1.225);
    EXPECT_EQ(window->GetTitle(), "New project - Korvane");
}

// Two fields in the wrong order turn the one just typed red, whichever it is, and the
// page's note names it; the field the user did not touch stays as it is.
TEST_F(UserSession, OfTwoFieldsOutOfOrderOnlyTheOneJustTypedIsRed) {
    start();
    EditOperatingConditions* conditions = window->conditionsPage();
    EditCompute* compute = window->computePage();
    EditTurbine* turbine = window->turbinePage();
    EditTurbineCompute* surface = window->turbineComputePage();
    user.click(conditions->pitchCheckbox());
    struct Row {
        int page;
        wxTextCtrl* first;   // the field that must not be above the second
        wxTextCtrl* second;
        wxString firstBeyond;   // above the second's value
        wxString secondBelow;   // below firstBeyond, still out of order
        wxString secondAbove;   // above firstBeyond: in order again
        wxStaticText* note;     // the line that says why, if the page has one
    };
    const Row rows[] = {
        {0, conditions->hubRadiusField(), conditions->radiusField(), "30", "28", "40", nullptr},
        {0, conditions->pitchMinField(), conditions->pitchMaxField(), "30", "25", "40", nullptr},
        {0, compute->minField(), compute->maxField(), "30", "25", "40", nullptr},
        {3, surface->field(0), surface->field(1), "20", "16", "24", nullptr},   // tip speed ratio
        {3, surface->field(3), surface->field(4), "25", "22", "28", nullptr},   // pitch
        {3, turbine->field("cut_in"), turbine->field("cut_out"), "30", "28", "40", turbine->sourceLabel()},
        {3, turbine->field("rpm_min"), turbine->field("rpm_max"), "100", "80", "120", turbine->sourceLabel()},
        {3, turbine->field("wind_min"), turbine->field("wind_max"), "30", "28", "40", turbine->sourceLabel()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.first->GetName() + " " + row.firstBeyond);
        window->notebook()->SetSelection(row.page);
        user.settle();
        const wxString first = row.first->GetValue(), second = row.second->GetValue();
        const auto onlyRed = [&](wxTextCtrl* typed, const wxString& label) {
            EXPECT_EQ(red(row.first), typed == row.first);
            EXPECT_EQ(red(row.second), typed == row.second);
            if (row.note && typed) {
                EXPECT_TRUE(row.note->GetLabel().StartsWith(label + " must")) << row.note->GetLabel();
            }
        };
        user.typeInto(row.first, row.firstBeyond);
        onlyRed(row.first, turbine->fieldName(row.first));
        user.typeInto(row.second, row.secondBelow);
        onlyRed(row.second, turbine->fieldName(row.second));
        user.key(WXK_TAB);  // leaving the field keeps the mark where it is
        onlyRed(row.second, turbine->fieldName(row.second));
        user.typeInto(row.second, row.secondAbove);
        onlyRed(nullptr, {});
        // From the other end: the second typed below the first.
        user.typeInto(row.second, row.secondBelow);
        EXPECT_FALSE(red(row.first));
        EXPECT_TRUE(red(row.second));
        user.typeInto(row.second, second);
        user.typeInto(row.first, first);
        EXPECT_FALSE(red(row.first));
        EXPECT_FALSE(red(row.second));
    }

    // A position typed in metres moves its x/R with it: that point is the one typed, and
    // the next point, beyond which it now lies, stays black.
    window->notebook()->SetSelection(1);
    user.settle();
    EditTwistPoints* twist = window->shapePage()->twistEditor();
    user.typeInto(twist->absolutePositionField(0), "5");  // x/R 0.2, beyond the second point's 0.154
    EXPECT_TRUE(red(twist->absolutePositionField(0)));
    EXPECT_EQ(twist->positionField(0)->GetValue(), "0.06");  // derived from red text: the project's
    EXPECT_FALSE(red(twist->positionField(1)));
    EXPECT_FALSE(red(twist->absolutePositionField(1)));
}

// Red text a computation does not use stops it all the same when it holds back a valid
// value the computation uses: the refusal names both.
TEST_F(UserSession, ARefusalNamesTheValuesRedTextHoldsBack) {
    start();
    DialogAnswers dialogs;
    EditOperatingConditions* conditions = window->conditionsPage();
    user.click(conditions->pitchCheckbox());
    user.typeInto(conditions->pitchMinField(), "abc");  // the power curve sweeps no pitch
    user.typeInto(conditions->rotationSpeedField(), "10");  // the default turbine's rotor speeds
    window->notebook()->SetSelection(3);
    user.settle();
    user.click(window->turbineComputePage()->powerCurveButton());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].message.EndsWith(
        "\nDesign conditions: Min. angle\nDesign conditions: Rotation speed (held back by red text)"))
        << dialogs.shown()[0].message;
    EXPECT_TRUE(window->computePage()->resultWindows().empty());
}

}  // namespace
