#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>

#include <functional>

#include "ControlCommands.h"
#include "GuiTestSupport.h"
#include "UserSimulation.h"
#include "app/edit_airfoil_point_single.h"
#include "app/edit_airfoil_points.h"
#include "app/edit_chord_points.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_shape.h"
#include "app/edit_solver_settings.h"
#include "app/edit_twist_points.h"
#include "app/field_rules.h"
#include "app/kvp_project.h"
#include "bemt/Common.h"
#include "results/display_plot.h"
#include "results/window_shape.h"

namespace {

using korvane::testing::choose;
using korvane::testing::DialogAnswers;
using korvane::testing::tick;
using korvane::testing::processEvents;
using korvane::testing::red;

TEST(FieldRules, RemapKeepsEachPointsShareOfTheSpan) {
    // Hub from 1 m to 2 m on a 10 m rotor: the span [0.1, 1] becomes [0.2, 1]. The hub
    // stays the hub, the tip the tip, a point a third along the span stays a third along;
    // a list that starts off the hub is not pulled onto it.
    std::vector<bemt::ChordPoint> points = {{0.1, 0.1}, {0.4, 0.09}, {0.55, 0.08}, {1.0, 0.05}};
    field_rules::remapPositions(points, 0.1, 0.2);
    EXPECT_NEAR(points[0].x_rel, 0.2, 1e-15);
    EXPECT_NEAR(points[1].x_rel, 0.2 + 0.8 / 3.0, 1e-15);
    EXPECT_NEAR(points[2].x_rel, 0.6, 1e-15);
    EXPECT_NEAR(points[3].x_rel, 1.0, 1e-15);
    EXPECT_EQ(points[2].c_rel, 0.08);
    // An unchanged hub fraction moves nothing, not even by rounding.
    std::vector<bemt::TwistPoint> same = {{0.3, 0.0}, {0.7, 1.0}};
    field_rules::remapPositions(same, 0.1, 0.1);
    EXPECT_EQ(same[0].x_rel, 0.3);
    EXPECT_EQ(same[1].x_rel, 0.7);
}

// A project and a frame to put editors in.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        project = std::make_unique<KvpProject>(&files);
        project->newProject();
        frame = new wxFrame(nullptr, wxID_ANY, "editors", wxPoint(0, 0), wxSize(900, 700));
        frame->Show();  // typed into through the display
        project->Bind(kvnEVT_PROJECT_UNSAVED, [this](kvnProjectEvent&) { ++snapshots; });
        processEvents();
        snapshots = 0;
    }
    void TearDown() override {
        korvane::testing::destroyNow(frame);
        korvane::testing::processEvents();
    }
    void type(wxTextCtrl* field, const wxString& text) {
        frame->Layout();
        user.typeInto(field, text);
    }

    void setConditions(double R, double Rh, double rpm, double V0) {
        auto c = project->operatingConditions();
        c.R = R;
        c.Rh = Rh;
        c.L = R - Rh;
        c.Om = bemt::Common::rpm2rads(rpm);
        c.V0 = V0;
        c.TSR = c.Om * R / V0;
        project->setOeratingConditions(c, false);
        processEvents();
    }

    korvane::testing::SimulatedUser user;
    FileManager files;
    std::unique_ptr<KvpProject> project;
    wxFrame* frame = nullptr;
    int snapshots = 0;
};

class ConditionsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        setConditions(10.0, 1.0, 30.0, 10.0);
        editor = new EditOperatingConditions(frame, project.get());
        editor->update();
        processEvents();
    }
    EditOperatingConditions* editor = nullptr;
};

TEST_F(ConditionsTest, TipSpeedRatioFollowsRadiusWindAndRotation) {
    // Computed values are written with 15 significant digits: what is stored is what
    // the coupling gives, not a rounded display.
    type(editor->windVelocityField(), "10");
    EXPECT_EQ(editor->tipSpeedRatioField()->GetValue(), "3.14159265358979");
    // A red radius (below the hub) gives no other field a value: they follow the stored one.
    type(editor->radiusField(), "0.5");
    type(editor->tipSpeedRatioField(), "7");
    EXPECT_EQ(editor->windVelocityField()->GetValue(), "4.48798950512828");
    type(editor->radiusField(), "10");
    double tsr = 0.0;
    ASSERT_TRUE(parseNumber(editor->tipSpeedRatioField()->GetValue(), tsr));
    EXPECT_NEAR(tsr, 7.0, 1e-13);
    type(editor->tipSpeedRatioField(), "7");
    EXPECT_EQ(editor->windVelocityField()->GetValue(), "4.48798950512828");
    EXPECT_NEAR(project->operatingConditions().V0, M_PI * 10.0 / 7.0, 1e-14);
    // The project's λ is derived from R, Ω and V0 as the saved file gives it back.
    const bemt::OperatingConditions c = project->operatingConditions();
    EXPECT_EQ(c.TSR, c.R * c.Om / c.V0);
    EXPECT_NEAR(c.TSR, 7.0, 1e-14);
    type(editor->rotationSpeedField(), "60");
    EXPECT_EQ(editor->tipSpeedRatioField()->GetValue(), "14");  // 2π · 10 / 4.49
    EXPECT_NEAR(project->operatingConditions().Om, 2.0 * M_PI, 1e-12);
}

TEST_F(ConditionsTest, HubEqualToTheRadiusMarksTheHubTypedAndSavesNothing) {
    type(editor->hubRadiusField(), "10");
    EXPECT_TRUE(red(editor->hubRadiusField()));
    EXPECT_FALSE(red(editor->radiusField()));  // untouched
    EXPECT_EQ(project->operatingConditions().Rh, 1.0);
    EXPECT_EQ(snapshots, 0);
    type(editor->radiusField(), "12");
    EXPECT_FALSE(red(editor->hubRadiusField()));
    EXPECT_EQ(project->operatingConditions().Rh, 10.0);
    EXPECT_EQ(project->operatingConditions().R, 12.0);
    EXPECT_EQ(project->operatingConditions().L, 2.0);
}

TEST_F(ConditionsTest, ZeroAndNegativeSpeedsAndAirPropertiesAreRefused) {
    const std::vector<std::pair<wxTextCtrl*, const char*>> fields = {
        {editor->windVelocityField(), "0"},   {editor->windVelocityField(), "-3"},
        {editor->rotationSpeedField(), "0"},  {editor->rotationSpeedField(), "-18"},
        {editor->tipSpeedRatioField(), "0"},  {editor->airDensityField(), "0"},
        {editor->airDensityField(), "-1.2"},  {editor->viscosityField(), "0"},
        {editor->viscosityField(), "-1e-5"}};
    for (const auto& [field, text] : fields) {
        editor->endEdit();  // each row is an edit of its own
        const auto before = project->state();
        const int recorded = snapshots;
        const wxString shown = field->GetValue();
        type(field, text);
        EXPECT_TRUE(red(field)) << text;
        EXPECT_TRUE(korvane::sameValues(project->state(), before)) << text;
        EXPECT_EQ(snapshots, recorded) << text;
        type(field, shown);
        EXPECT_FALSE(red(field)) << shown;
    }
}

TEST_F(ConditionsTest, PitchFieldsFollowTheCheckBoxAndKeepTheirValues) {
    EXPECT_FALSE(editor->pitchMinField()->IsEnabled());
    EXPECT_EQ(editor->pitchMaxField()->GetValue(), "20");
    tick(editor->pitchCheckbox(), true);
    EXPECT_TRUE(editor->pitchMinField()->IsEnabled());
    EXPECT_TRUE(project->computeSettings().enable_pitch);
    EXPECT_EQ(snapshots, 1);  // a pitch change alone is recorded too

    type(editor->pitchStepField(), "2");
    EXPECT_EQ(editor->pitchStepsField()->GetValue(), "11");
    EXPECT_EQ(project->computeSettings().p_step, 2.0);
    type(editor->pitchStepsField(), "12");
    EXPECT_TRUE(red(editor->pitchStepsField()));
    type(editor->pitchStepsField(), "5");
    EXPECT_EQ(editor->pitchStepField()->GetValue(), "5");
    EXPECT_EQ(project->computeSettings().p_step, 5.0);

    tick(editor->pitchCheckbox(), false);
    EXPECT_FALSE(editor->pitchStepField()->IsEnabled());
    EXPECT_EQ(editor->pitchStepField()->GetValue(), "5");
    EXPECT_FALSE(project->computeSettings().enable_pitch);
    EXPECT_EQ(project->computeSettings().p_step, 5.0);
}

TEST_F(ConditionsTest, DisabledPitchFieldsDoNotBlockTheSection) {
    // A project whose pitch step is 0 has no step count to show.
    auto s = project->computeSettings();
    s.p_step = 0.0;
    project->setComputeSettings(s, false);
    editor->update();
    EXPECT_FALSE(red(editor->pitchStepsField()));
    type(editor->windVelocityField(), "9");
    EXPECT_EQ(project->operatingConditions().V0, 9.0);
    // Enabled, the empty count is marked and holds the section back until fixed.
    tick(editor->pitchCheckbox(), true);
    EXPECT_TRUE(red(editor->pitchStepsField()));
    type(editor->pitchStepField(), "5");
    EXPECT_EQ(editor->pitchStepsField()->GetValue(), "5");
    EXPECT_FALSE(red(editor->pitchStepsField()));
    EXPECT_EQ(project->computeSettings().p_step, 5.0);
}

TEST_F(ConditionsTest, TooManyPitchPositionsAZeroStepOrOneStepOverASpanAreRefused) {
    tick(editor->pitchCheckbox(), true);
    snapshots = 0;
    type(editor->pitchStepField(), "1");  // 0 to 20 by 1: 21 positions
    EXPECT_TRUE(red(editor->pitchStepField()));
    EXPECT_FALSE(red(editor->pitchMinField()));
    EXPECT_FALSE(red(editor->pitchMaxField()));
    EXPECT_FALSE(red(editor->pitchStepsField()));  // the count as stored, not at fault
    // A zero step would be saved into a file the command line refuses; one position over a
    // span would leave the step as it was. Neither is stored, nor the 21 positions.
    for (const auto& [field, text] : {std::pair{editor->pitchStepField(), "0"}, {editor->pitchStepField(), "-0"},
                                      {editor->pitchStepsField(), "1"}}) {
        type(field, text);
        EXPECT_TRUE(red(field)) << text;
        EXPECT_EQ(project->computeSettings().p_step, 5.0) << text;
        EXPECT_EQ(snapshots, 0) << text;
    }
    type(editor->pitchStepField(), "2");  // 11 positions
    EXPECT_FALSE(red(editor->pitchStepField()));
    EXPECT_EQ(project->computeSettings().p_step, 2.0);
    type(editor->pitchMaxField(), "22");  // rewrites the step from the 11 steps shown
    EXPECT_EQ(editor->pitchStepField()->GetValue(), "2.2");
    EXPECT_FALSE(red(editor->pitchMaxField()));
    // Equal ends show one angle and keep the step, rather than a step of 0 beside a count
    // of five; the count follows the step again when the span opens.
    type(editor->pitchStepField(), "5");
    type(editor->pitchMaxField(), "0");
    EXPECT_EQ(editor->pitchStepsField()->GetValue(), "1");
    EXPECT_EQ(project->computeSettings().p_step, 5.0);
    EXPECT_EQ(project->computeSettings().p_max, 0.0);
    type(editor->pitchMaxField(), "20");
    EXPECT_FALSE(red(editor->pitchStepsField()));
    EXPECT_EQ(project->computeSettings().p_max, 20.0);
    // A step beyond the span is the first angle alone, as on the command line.
    type(editor->pitchStepField(), "25");
    EXPECT_FALSE(red(editor->pitchStepField()));
    EXPECT_EQ(editor->pitchStepsField()->GetValue(), "1");
    type(editor->pitchMinField(), "30");  // above the maximum
    EXPECT_TRUE(red(editor->pitchMinField()));
    EXPECT_EQ(project->computeSettings().p_min, 0.0);
    // Unticking the box takes the red field out of the check: the radius typed beside it
    // reaches the project.
    type(editor->radiusField(), "30");
    EXPECT_EQ(project->operatingConditions().R, 10.0);
    tick(editor->pitchCheckbox(), false);
    EXPECT_EQ(project->operatingConditions().R, 30.0);
    // The unticked field shows the held value in the disabled look, not in colours of its own.
    EXPECT_EQ(editor->pitchMinField()->GetValue(), "0");
    EXPECT_FALSE(editor->pitchMinField()->UseForegroundColour() || editor->pitchMinField()->UseBackgroundColour());
}

class ShapeTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        setConditions(10.0, 1.0, 30.0, 10.0);
        project->setChordPoints({{0.1, 0.1}, {0.55, 0.08}, {1.0, 0.05}}, false);
        project->setTwistPoints({{0.1, 20.0}, {1.0, 0.0}}, false);
        shape = new EditShape(frame, project.get());
        shape->update();
        processEvents();
        chord = shape->chordEditor();
    }
    EditShape* shape = nullptr;
    EditChordPoints* chord = nullptr;
};

TEST_F(ShapeTest, InsertAndRemovePoints) {
    // Red text in the list refuses both, naming it: the rebuilt list would lose it.
    DialogAnswers dialogs;
    type(chord->valueField(1), "abc");
    chord->insertAfter(0);
    chord->remove(0);
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_NE(dialogs.shown()[1].message.Find("Chord distribution: point 2, c/R"), wxNOT_FOUND);
    EXPECT_EQ(chord->points().size(), 3u);
    chord->update();

    chord->insertAfter(0);
    processEvents();
    ASSERT_EQ(project->chordPoints().size(), 4u);
    EXPECT_NEAR(project->chordPoints()[1].x_rel, 0.325, 1e-15);
    EXPECT_NEAR(project->chordPoints()[1].c_rel, 0.09, 1e-15);
    ASSERT_EQ(chord->points().size(), 4u);

    chord->insertAfter(3);  // after the last: a duplicate, invalid until moved
    processEvents();
    ASSERT_EQ(chord->points().size(), 5u);
    EXPECT_EQ(chord->points()[4].x_rel, 1.0);
    EXPECT_TRUE(red(chord->positionField(4)));
    EXPECT_FALSE(red(chord->positionField(3)));  // the point it repeats is not at fault

    chord->remove(4);
    processEvents();
    EXPECT_EQ(project->chordPoints().size(), 4u);
    EXPECT_FALSE(red(chord->positionField(3)));
    EXPECT_EQ(snapshots, 3);
}

TEST_F(ShapeTest, MovingTheHubRemapsEveryList) {
    auto c = project->operatingConditions();
    c.Rh = 2.0;
    c.L = 8.0;
    project->setOeratingConditions(c, true);
    processEvents();
    const auto points = project->chordPoints();
    EXPECT_NEAR(points[0].x_rel, 0.2, 1e-15);
    EXPECT_NEAR(points[1].x_rel, 0.6, 1e-15);
    EXPECT_NEAR(points[2].x_rel, 1.0, 1e-15);
    EXPECT_NEAR(project->twistPoints()[0].x_rel, 0.2, 1e-15);
    EXPECT_EQ(chord->positionField(1)->GetValue(), formatExact(points[1].x_rel));

    // A new rotor radius keeps x/R and c/R; the absolute fields follow.
    c.R = 20.0;
    c.Rh = 4.0;
    project->setOeratingConditions(c, true);
    processEvents();
    EXPECT_NEAR(project->chordPoints()[1].x_rel, 0.6, 1e-15);
    EXPECT_EQ(chord->absolutePositionField(1)->GetValue(), "12");

    // A value typed between two moves of the hub: the positions come back exactly.
    type(chord->valueField(1), "0.07");
    c.R = 10.0;
    c.Rh = 1.0;
    project->setOeratingConditions(c, true);
    processEvents();
    EXPECT_EQ(project->chordPoints()[1].x_rel, 0.55);
    EXPECT_EQ(project->chordPoints()[1].c_rel, 0.07);
}

TEST_F(ShapeTest, ShapeWindowOpensOnceAndFollowsTheProject) {
    project->setChordPoints({{0.1, 0.1}, {1.0, 0.05}}, false);
    processEvents();
    shape->displayShapeWindow();
    ShapeWindow* window = shape->shapeWindow();
    ASSERT_NE(window, nullptr);
    shape->displayShapeWindow();
    EXPECT_EQ(shape->shapeWindow(), window);
    EXPECT_EQ(window->GetTitle(), "Blade shape");
    ASSERT_EQ(window->plot()->axis1Sets().size(), 1u);
    EXPECT_EQ(window->plot()->axis1Sets()[0].legend, wxS("Area = 0.0675 ⋅ R² ( = 6.75 m²)"));
    EXPECT_EQ(window->plot()->axis1Sets()[0].x->size(), 5u);

    project->setChordPoints({{0.1, 0.15}, {1.0, 0.05}}, true);
    EXPECT_EQ(window->plot()->axis1Sets()[0].legend, wxS("Area = 0.0675 ⋅ R² ( = 6.75 m²)"));
    processEvents();  // the event arrives
    EXPECT_EQ(window->plot()->axis1Sets()[0].legend, wxS("Area = 0.09 ⋅ R² ( = 9 m²)"));

    window->Close(true);
    EXPECT_EQ(shape->shapeWindow(), nullptr);
    processEvents();
    shape->displayTwistWindow();
    ASSERT_NE(shape->twistWindow(), nullptr);
}

class AirfoilTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        auto points = project->airfoilPoints();
        points[0].a_min = -4.0;
        points[0].max_passes = 7;
        project->setAirfoilPoints(points, false);
        page = new EditArifoils(frame, project.get());
        page->update();
        processEvents();
        list = page->pointsEditor();
    }
    // The first control of the point's rows of a kind that matches.
    template <typename Control>
    static Control* control(EditSingleAirfoilPoint* point, const std::function<bool(Control*)>& matches) {
        for (wxWindow* child : point->getContainer()->GetChildren())
            if (auto* c = dynamic_cast<Control*>(child); c && matches(c)) return c;
        return nullptr;
    }
    static wxTextCtrl* cdMaxField(EditSingleAirfoilPoint* point) {
        const auto isCdMax = [](wxTextCtrl* f) { return f->GetToolTipText().StartsWith("Drag coefficient at 90"); };
        return control<wxTextCtrl>(point, isCdMax);
    }
    EditArifoils* page = nullptr;
    EditAirfoilPoints* list = nullptr;
};

TEST_F(AirfoilTest, SwitchingToCoordinatesShowsTheStoredXfoilSettings) {
    EditSingleAirfoilPoint* point = list->pointEditor(0);
    EXPECT_EQ(point->aoaMinField(), nullptr);  // NACA types show no file rows
    choose(point->typeChoice(), 1);               // "Coordinates"
    point = list->pointEditor(0);
    ASSERT_NE(point->aoaMinField(), nullptr);
    EXPECT_EQ(point->aoaMinField()->GetValue(), "-4");
    EXPECT_EQ(point->maxPassesField()->GetValue(), "7");
    EXPECT_EQ(project->airfoilPoints()[0].data_type, bemt::Coordinates);
    EXPECT_FALSE(point->reMinField()->IsEnabled());  // "Guess Re" is on
    // The captions spell the Reynolds number so.
    EXPECT_EQ(point->reMinField()->GetToolTipText(), "Minimal analyzed Reynolds number.");
    EXPECT_EQ(point->reMaxField()->GetToolTipText(), "Maximal analyzed Reynolds number.");
}

TEST_F(AirfoilTest, ATypeThatWaitedBesideRedTextBringsItsRowsOnceTheEditEnds) {
    EditSingleAirfoilPoint* point = list->pointEditor(1);
    const wxString x = point->positionField()->GetValue(), metres = point->absoluteField()->GetValue();
    type(point->positionField(), "abc");
    choose(point->typeChoice(), 1);  // "Coordinates" waits beside the red position
    EXPECT_NE(project->airfoilPoints()[1].data_type, bemt::Coordinates);
    type(point->positionField(), x);
    EXPECT_EQ(project->airfoilPoints()[1].data_type, bemt::Coordinates);
    // The click into the next field of the point ends the edit: the rows of the type come,
    // and the field clicked, which every type has, stays and takes every key.
    type(point->absoluteField(), metres);
    EXPECT_EQ(point->absoluteField()->GetValue(), metres);
    EXPECT_NE(point->aoaMinField(), nullptr);
}

TEST_F(AirfoilTest, AngleAndReynoldsRanges) {
    choose(list->pointEditor(0)->typeChoice(), 1);
    EditSingleAirfoilPoint* point = list->pointEditor(0);
    type(point->aoaMinField(), "-5");
    type(point->aoaMaxField(), "15");
    type(point->aoaStepField(), "0.5");
    EXPECT_FALSE(red(point->aoaStepField()));
    EXPECT_EQ(project->airfoilPoints()[0].a_max, 15.0);
    // One angle gives no polar, a step of 0 a sweep that never ends: the edit stays where
    // it began.
    for (const auto& [field, text] :
         {std::pair{point->aoaStepField(), "25"}, {point->aoaStepField(), "0"}, {point->aoaMaxField(), "-5"}}) {
        type(field, text);
        EXPECT_TRUE(red(field)) << text;
        EXPECT_EQ(project->airfoilPoints()[0].a_step, 0.5) << text;
        EXPECT_EQ(project->airfoilPoints()[0].a_max, 15.0) << text;
    }
    type(point->aoaMaxField(), "15");
    type(point->aoaStepField(), "1");

    // A field that a box disables shows what it holds: refused text there would look
    // accepted, and would not be stored.
    wxCheckBox* guess = control<wxCheckBox>(point, [](wxCheckBox* box) { return box->GetLabel() == "Guess Re"; });
    ASSERT_NE(guess, nullptr);
    tick(guess, false);
    type(point->reMinField(), "abc");
    tick(guess, true);
    EXPECT_EQ(point->reMinField()->GetValue(), "1e+06");
    EXPECT_FALSE(red(point->reMinField()));
    tick(guess, false);
    EXPECT_TRUE(point->reMinField()->IsEnabled());
    EXPECT_FALSE(project->airfoilPoints()[0].guess_reynolds);

    type(point->reMinField(), "1e5");
    type(point->reMaxField(), "1e5");
    EXPECT_FALSE(red(point->reMinField()));
    EXPECT_EQ(project->airfoilPoints()[0].rey_max, 1e5);
    type(point->reMinField(), "2e5");
    EXPECT_TRUE(red(point->reMinField()));
    EXPECT_EQ(project->airfoilPoints()[0].rey_min, 1e5);

    // An XFOIL sweep of more than ten thousand angles is refused.
    type(point->reMinField(), "1e5");  // the red field would hold the angles back
    type(point->aoaMinField(), "-180");
    type(point->aoaMaxField(), "180");
    type(point->aoaStepField(), "0.01");  // 36 001 angles
    EXPECT_TRUE(red(point->aoaStepField()));
    EXPECT_NE(project->airfoilPoints()[0].a_step, 0.01);
    type(point->aoaStepField(), "0.04");  // 9 001 angles
    EXPECT_FALSE(red(point->aoaStepField()));
    EXPECT_EQ(project->airfoilPoints()[0].a_step, 0.04);
}

TEST_F(AirfoilTest, NonAsciiPathIsStoredAsUtf8) {
    choose(list->pointEditor(0)->typeChoice(), 0);  // "CSV data"
    EditSingleAirfoilPoint* point = list->pointEditor(0);
    ASSERT_NE(point->pathField(), nullptr);
    const wxString path = wxS("/data/profily/žluťoučký_kůň.csv");
    // Set as pasted (the input simulator types ASCII only), and announced as an edit.
    point->pathField()->SetValue(path);
    postUpdatedValue(point->pathField());
    processEvents();
    EXPECT_EQ(project->airfoilPoints()[0].path, std::string(path.utf8_str()));
    page->update();
    processEvents();
    EXPECT_EQ(list->pointEditor(0)->pathField()->GetValue(), path);
}

TEST_F(AirfoilTest, BrowseAsksForTheFileOfTheChosenKind) {
    auto script = std::make_shared<korvane::testing::ScriptedFileDialogs::Script>();
    script->paths.push_back("/data/coords/naca4412.dat");
    files.setDialogs(std::make_unique<korvane::testing::ScriptedFileDialogs>(script));
    choose(list->pointEditor(0)->typeChoice(), 1);  // "Coordinates"
    EditSingleAirfoilPoint* point = list->pointEditor(0);
    wxButton* browse = control<wxButton>(point, [](wxButton* button) { return button->GetLabel() == "Browse"; });
    ASSERT_NE(browse, nullptr);
    korvane::testing::press(browse);
    ASSERT_EQ(script->requests.size(), 1u);
    EXPECT_EQ(script->requests[0].title, "Open coordinates text file");
    EXPECT_EQ(script->requests[0].wildcard, "Coordinates text files (*.*)|*.*");
    EXPECT_EQ(point->pathField()->GetValue(), "/data/coords/naca4412.dat");
    EXPECT_EQ(project->airfoilPoints()[0].path, "/data/coords/naca4412.dat");
}

TEST_F(AirfoilTest, AnAeroDynTableTakesAFileAndTheViternaExtensionWithItsDrag) {
    choose(list->pointEditor(0)->typeChoice(), 7);  // "AeroDyn table"
    EditSingleAirfoilPoint* point = list->pointEditor(0);
    EXPECT_EQ(project->airfoilPoints()[0].data_type, bemt::AeroDynTable);
    ASSERT_NE(point->pathField(), nullptr);
    wxChoice* extension =
        control<wxChoice>(point, [](wxChoice* choice) { return choice->FindString("Viterna") != wxNOT_FOUND; });
    ASSERT_NE(extension, nullptr);
    ASSERT_NE(cdMaxField(point), nullptr);
    // The NACA data need no drag at 90 degrees, which the file would not keep.
    EXPECT_FALSE(cdMaxField(point)->IsEnabled());
    choose(extension, 1);  // "Viterna"
    EXPECT_EQ(project->airfoilPoints()[0].extension, bemt::ExtensionViterna);
    wxTextCtrl* cdMax = cdMaxField(list->pointEditor(0));
    EXPECT_TRUE(cdMax->IsEnabled());
    type(cdMax, "1.4");
    EXPECT_EQ(project->airfoilPoints()[0].cd_max, 1.4);
    type(cdMax, "-1");
    EXPECT_TRUE(red(cdMax));
    EXPECT_EQ(project->airfoilPoints()[0].cd_max, 0.0);  // where this edit of the field began
}

TEST_F(AirfoilTest, AddAndRemovePoints) {
    DialogAnswers dialogs;
    type(list->pointEditor(1)->positionField(), "abc");
    list->addPointAfter(0);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_NE(dialogs.shown()[0].message.Find("Airfoil segments: point 2: x/R"), wxNOT_FOUND);
    list->update();

    list->addPointAfter(0);
    processEvents();
    auto points = project->airfoilPoints();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[1].x_rel, 0.53, 1e-15);
    list->addPointAfter(2);
    processEvents();
    EXPECT_EQ(project->airfoilPoints()[3].x_rel, 1.0);
    list->removePoint(3);
    processEvents();
    EXPECT_EQ(project->airfoilPoints().size(), 3u);
    EXPECT_EQ(list->points().size(), 3u);
}

// The text fields of a window, in creation order, however deep.
std::vector<wxTextCtrl*> textFields(wxWindow* window) {
    std::vector<wxTextCtrl*> fields;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* field = dynamic_cast<wxTextCtrl*>(child)) fields.push_back(field);
        for (wxTextCtrl* inner : textFields(child)) fields.push_back(inner);
    }
    return fields;
}

// The fields take their ranges from the table the project reader and the command line
// use, so a value the program would refuse in a file is red here too.
TEST_F(EditorTest, SolverFieldsRefuseWhatTheProjectFileRefusesAndTheChoiceStoresItsSolver) {
    auto* editor = new EditSolverSettings(frame, project.get());
    editor->update();
    EXPECT_EQ(editor->solverChoice()->GetSelection(), 0);  // "2D Fixed Point" = 2
    EXPECT_EQ(editor->solverChoice()->GetString(1), "Newton-Raphson");
    choose(editor->solverChoice(), 2);
    EXPECT_EQ(project->solverSettings().solver, bemt::Ning);
    EXPECT_EQ(snapshots, 1);
    const auto fields = textFields(editor);  // elements, precision, iterations, relaxation
    ASSERT_EQ(fields.size(), 4u);
    wxTextCtrl* elements = fields[0];
    wxTextCtrl* precision = fields[1];
    wxTextCtrl* relaxation = fields[3];
    const bemt::SolverSettings before = project->solverSettings();

    // Accuracy 1 once passed (up to 10), and 1e300 in a file gave P 332.6 kW "converged".
    type(precision, "1");
    EXPECT_TRUE(red(precision));
    EXPECT_EQ(project->solverSettings().accuracy, before.accuracy);
    type(precision, "0.1");
    EXPECT_FALSE(red(precision));
    EXPECT_EQ(project->solverSettings().accuracy, 0.1);

    type(elements, "10001");
    EXPECT_TRUE(red(elements));
    type(elements, "10000");
    EXPECT_FALSE(red(elements));
    EXPECT_EQ(project->solverSettings().n_elements, 10000);

    type(relaxation, "0");
    EXPECT_TRUE(red(relaxation));
    EXPECT_EQ(project->solverSettings().relaxation_factor, before.relaxation_factor);
}

// Relative (x/R, c/R) and absolute (m) fields rewrite each other; a chord of zero or a
// position out of order is refused in either form. A negative or zero chord once computed
// Cp 0.75; the absolute forms once checked only 0 to R, stayed black and were dropped.
TEST_F(ShapeTest, RelativeAndAbsoluteFieldsRewriteEachOtherAndRefuseTheSameValues) {
    EXPECT_EQ(chord->absolutePositionField(1)->GetValue(), "5.5");
    EXPECT_EQ(chord->absoluteValueField(0)->GetValue(), "1");
    const auto chordOf = [this](std::size_t i) { return [this, i] { return project->chordPoints()[i].c_rel; }; };
    const auto positionOf = [this] { return project->chordPoints()[1].x_rel; };
    struct Row {
        wxTextCtrl* field;
        const char* text;
        bool refused;  // red, and the stored value stays; else stored as value
        std::function<double()> stored;
        double value;
        wxTextCtrl* other = nullptr;  // the field of the other form, and what it shows then
        const char* otherText = nullptr;
    };
    const Row rows[] = {
        {chord->positionField(1), "0.5", false, positionOf, 0.5, chord->absolutePositionField(1), "5"},
        {chord->absoluteValueField(2), "0.3", false, chordOf(2), 0.03, chord->valueField(2), "0.03"},
        {chord->valueField(1), "0", true, chordOf(1), 0},
        {chord->valueField(1), "0.001", false, chordOf(1), 0.001},
        {chord->absoluteValueField(1), "-0", true, chordOf(1), 0},
        {chord->absoluteValueField(1), "0.02", false, chordOf(1), 0.002},
        {chord->absolutePositionField(1), "0.5", true, positionOf, 0},  // before the hub's point
        {chord->absolutePositionField(1), "6", false, positionOf, 0.6},
        {chord->positionField(1), "1", true, positionOf, 0},  // equal to the next
        {chord->positionField(1), "0.5", false, positionOf, 0.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const double before = row.stored();
        type(row.field, row.text);
        EXPECT_EQ(red(row.field), row.refused);
        EXPECT_DOUBLE_EQ(row.stored(), row.refused ? before : row.value);
        if (row.other) {
            EXPECT_EQ(row.other->GetValue(), row.otherText);
        }
    }
}

}  // namespace
