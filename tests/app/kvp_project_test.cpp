// The project model: which events each change posts and in which order, snapshots,
// transfers of designed distributions, restoring, new project, and reading, saving and
// opening through the file manager.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "app/design_transfer.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "bemt/spline.h"
#include "project/kvp_codec.h"

namespace {

using namespace bemt;
using korvane::sameValues;
using korvane::testing::EventRecorder;
using korvane::testing::ScriptedDialogs;
using korvane::testing::TempFolder;
using Names = std::vector<std::string>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ProjectTest : public ::testing::Test {
protected:
    ProjectTest() {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogsSeen = dialogs.get();
        files.setDialogs(std::move(dialogs));
        project.newProject();
        events.take();
        events.snapshots.clear();
    }

    FileManager files;
    ScriptedDialogs* dialogsSeen = nullptr;
    KvpProject project{&files};
    EventRecorder events{project};
};

TEST_F(ProjectTest, EqualValuesPostNothingEvenWhenAskedToSave) {
    project.setOeratingConditions(project.operatingConditions(), true);
    project.setSolverSettings(project.solverSettings(), true);
    project.setComputeSettings(project.computeSettings(), true);
    project.setAirfoilPoints(project.airfoilPoints(), true);
    project.setChordPoints(project.chordPoints(), true);
    project.setTwistPoints(project.twistPoints(), true);
    EXPECT_TRUE(events.take().empty());
}

TEST_F(ProjectTest, OperatingConditionsPostTheEventsOfTheFieldsThatChanged) {
    // Each step changes the conditions further and is set with or without a snapshot.
    struct Step {
        void (*change)(OperatingConditions&);
        bool save;
        Names posted;
    };
    const Step steps[] = {
        {[](OperatingConditions& c) { c.B = 2; }, true, {"unsaved"}},
        {[](OperatingConditions& c) { c.L = 20.0; }, false, {}},
        {[](OperatingConditions& c) { c.Om = 1.0; }, false, {}},
        {[](OperatingConditions& c) { c.cair = 340.0; }, false, {}},
        {[](OperatingConditions& c) { c.V0 = 9.0; }, false, {"reynolds"}},
        {[](OperatingConditions& c) { c.R = 30.0; }, true, {"radius", "reynolds", "unsaved"}},
        {[](OperatingConditions& c) { c.Rh = 2.0; }, false, {"hub"}},
        {[](OperatingConditions& c) { c.TSR *= 1.5; }, false, {"reynolds"}},
        {[](OperatingConditions& c) { c.rho *= 1.5; }, false, {"reynolds"}},
        {[](OperatingConditions& c) { c.mu *= 1.5; }, false, {"reynolds"}},
        {[](OperatingConditions& c) {
             c.R = 40.0;
             c.Rh = 3.0;
         },
         true,
         {"radius", "hub", "reynolds", "unsaved"}},
    };
    auto c = project.operatingConditions();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change(c);
        project.setOeratingConditions(c, steps[i].save);
        EXPECT_EQ(events.take(), steps[i].posted) << "step " << i;
    }
    EXPECT_EQ(events.snapshots.front().operatingConditions().B, 2);
    EXPECT_EQ(project.operatingConditions().cair, 340.0);
}

TEST_F(ProjectTest, SettingsPostOnlyTheSnapshot) {
    auto s = project.solverSettings();
    s.n_elements = 50;
    project.setSolverSettings(s, true);
    auto c = project.computeSettings();
    c.enable_pitch = true;
    project.setComputeSettings(c, true);
    c.p_step = 2.0;
    project.setComputeSettings(c, false);
    EXPECT_EQ(events.take(), (Names{"unsaved", "unsaved"}));
    EXPECT_EQ(events.snapshots[0].solverSettings().n_elements, 50);
    EXPECT_FALSE(events.snapshots[0].computeSettings().enable_pitch);
    EXPECT_TRUE(events.snapshots[1].computeSettings().enable_pitch);
    EXPECT_EQ(project.computeSettings().p_step, 2.0);
}

TEST_F(ProjectTest, PointListsPostTheirEventAndASnapshotOfTheWholeNewState) {
    auto airfoils = project.airfoilPoints();
    airfoils[1].ncrit = 7;  // every field takes part in the comparison
    project.setAirfoilPoints(airfoils, true);
    EXPECT_EQ(events.take(), (Names{"airfoils", "unsaved"}));
    airfoils[1].preceeding_line = "alpha";
    project.setAirfoilPoints(airfoils, false);
    EXPECT_EQ(events.take(), Names{"airfoils"});

    project.setChordPoints({{0.1, 0.1}, {1.0, 0.04}}, true);
    EXPECT_EQ(events.take(), (Names{"chord", "unsaved"}));
    project.setChordPoints({{0.1, 0.1}}, false);  // a shorter list differs
    EXPECT_EQ(events.take(), Names{"chord"});

    project.setTwistPoints({{0.1, 10.0}, {1.0, 0.0}}, true);
    EXPECT_EQ(events.take(), (Names{"twist", "unsaved"}));

    const kvnProjectEvent& last = events.snapshots.back();
    EXPECT_TRUE(sameValues(last.state(), project.state()));
    EXPECT_EQ(last.airfoilPoints()[1].preceeding_line, "alpha");
    EXPECT_EQ(last.chordPoints().size(), 1u);
}

TEST_F(ProjectTest, ANotANumberNeverComparesEqual) {
    const std::vector<TwistPoint> twist{{0.1, kNaN}, {1.0, 0.0}};
    project.setTwistPoints(twist, true);
    project.setTwistPoints(twist, true);
    EXPECT_EQ(events.take(), (Names{"twist", "unsaved", "twist", "unsaved"}));
    auto c = project.operatingConditions();
    c.mu = kNaN;
    project.setOeratingConditions(c, false);
    project.setOeratingConditions(c, false);
    EXPECT_EQ(events.take(), (Names{"reynolds", "reynolds"}));
}

TEST_F(ProjectTest, TransferTwistResamplesAtTheProjectsOwnPositions) {
    // A natural cubic spline through points on a straight line is that line.
    project.transferTwist({0.0, 0.5, 1.0}, {30.0, 15.0, 0.0});
    EXPECT_EQ(events.take(), (Names{"twist", "twist transferred", "unsaved"}));
    const auto twist = project.twistPoints();
    const auto before = korvane::newProjectTwistPoints();
    ASSERT_EQ(twist.size(), before.size());
    for (std::size_t i = 0; i < twist.size(); ++i) {
        EXPECT_EQ(twist[i].x_rel, before[i].x_rel);
        EXPECT_NEAR(twist[i].twist_deg, 30.0 * (1.0 - twist[i].x_rel), 1e-9);
    }
    EXPECT_TRUE(sameValues(events.snapshots.back().twistPoints(), twist));

    // The same distribution again reproduces the stored values: nothing happens.
    project.transferTwist({0.0, 0.5, 1.0}, {30.0, 15.0, 0.0});
    EXPECT_TRUE(events.take().empty());
}

TEST_F(ProjectTest, TransferChordResamplesAndExtrapolatesBeyondTheDesignedRange) {
    project.setChordPoints({{0.05, 0.1}, {0.5, 0.1}, {1.0, 0.1}}, false);
    events.take();
    // c/R = 0.14 - 0.1 x, designed from 0.2 to 0.9 only; the natural spline continues
    // a straight line straight.
    project.transferChord({0.2, 0.6, 0.9}, {0.12, 0.08, 0.05});
    EXPECT_EQ(events.take(), (Names{"chord", "chord transferred", "unsaved"}));
    const auto chord = project.chordPoints();
    EXPECT_EQ(chord[0].x_rel, 0.05);
    EXPECT_NEAR(chord[0].c_rel, 0.135, 1e-12);
    EXPECT_NEAR(chord[1].c_rel, 0.09, 1e-12);
    EXPECT_NEAR(chord[2].c_rel, 0.04, 1e-12);
}

TEST_F(ProjectTest, TransfersLeaveAProjectWithoutPointsOrWithBadInputUnchanged) {
    project.setTwistPoints({}, false);
    events.take();
    project.transferTwist({0.0, 1.0}, {5.0, 1.0});
    EXPECT_TRUE(events.take().empty());
    EXPECT_TRUE(project.twistPoints().empty());

    const auto chord = project.chordPoints();
    EXPECT_EQ(korvane::testing::errorOf([&] { project.transferChord({0.5, 0.2}, {0.1, 0.2}); }),
              bemt::spline::kNotOrdered);
    EXPECT_TRUE(sameValues(project.chordPoints(), chord));
    EXPECT_TRUE(events.take().empty());
}

TEST_F(ProjectTest, RestoreStatePostsTheSpecificEventsButNoSnapshot) {
    const kvnProjectEvent start(kvnEVT_PROJECT_UNSAVED, project.state());
    project.restoreState(start);
    EXPECT_TRUE(events.take().empty());

    auto c = project.operatingConditions();
    c.R = 30.0;
    project.setOeratingConditions(c, true);
    project.setChordPoints({{0.2, 0.1}, {1.0, 0.05}}, true);
    auto s = project.solverSettings();
    s.solver = Ning;
    project.setSolverSettings(s, true);
    events.take();

    project.restoreState(start);
    EXPECT_EQ(events.take(), (Names{"radius", "reynolds", "chord"}));
    EXPECT_TRUE(sameValues(project.state(), start.state()));
}

// The new project's values are those of examples/new_turbine.kvp, which `korvane-cli new`
// must write byte for byte.
TEST(ProjectNew, NewProjectPostsEveryChangeAndOneSnapshotLast) {
    FileManager files;
    KvpProject project(&files);
    EventRecorder events(project);
    EXPECT_TRUE(events.take().empty());  // constructing posts nothing
    EXPECT_EQ(project.projectFilename(), "New project");
    project.newProject();
    EXPECT_EQ(events.take(), (Names{"radius", "hub", "reynolds", "airfoils", "chord", "twist", "unsaved"}));
    ASSERT_EQ(events.snapshots.size(), 1u);
    EXPECT_TRUE(sameValues(events.snapshots[0].state(), korvane::newProjectData()));

    // The values the file does not hold follow from those it holds.
    const auto c = project.operatingConditions();
    EXPECT_EQ(c.L, c.R - c.Rh);
    EXPECT_NEAR(c.TSR, c.R * c.Om / c.V0, 1e-14);

    project.newProject();
    EXPECT_TRUE(events.take().empty());
}

TEST(ProjectEvents, EventClassesCloneTheirPayload) {
    const kvnTwistEvent twist(kvnEVT_OPTIMIZE_TWIST, {0.1, 0.9}, {12.0, 1.0});
    std::unique_ptr<wxEvent> copy(twist.Clone());
    auto* twistCopy = dynamic_cast<kvnTwistEvent*>(copy.get());
    ASSERT_NE(twistCopy, nullptr);
    EXPECT_EQ(twistCopy->GetEventType(), kvnEVT_OPTIMIZE_TWIST);
    EXPECT_EQ(twistCopy->twist(), (std::vector<double>{12.0, 1.0}));

    const kvnChordEvent chord(kvnEVT_TRANSFER_DESIGNED_CHORD, {0.1, 0.9}, {0.1, 0.05});
    std::unique_ptr<wxEvent> chordCopy(chord.Clone());
    EXPECT_EQ(dynamic_cast<kvnChordEvent&>(*chordCopy).chord(), (std::vector<double>{0.1, 0.05}));
    EXPECT_EQ(dynamic_cast<kvnChordEvent&>(*chordCopy).x(), (std::vector<double>{0.1, 0.9}));
}

TEST_F(ProjectTest, ABadDocumentLeavesTheProjectExactlyAsItWas) {
    const auto before = project.state();
    // Everything before the fault is valid and differs from the project; the codec's
    // tests check each fault's message.
    korvane::ProjectData other = korvane::newProjectData();
    other.conditions.R = 40.0;
    other.chordPoints = {{0.3, 0.1}, {1.0, 0.02}};
    const std::string good = korvane::kvp::write(other, "/p/x.kvp");
    auto broken = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    for (const std::string& bad : {good.substr(0, good.size() - 1), std::string("[]"), broken("\"B\":3", "\"B\":\"3\""),
                                   broken("\"chord_points\":[", "\"chord_points\":[{\"x_rel\":0.5},"),
                                   broken("\"twist_points\":[", "\"twist_points\":[7,")}) {
        EXPECT_THROW(project.fromJsonString(bad, "/p/x.kvp"), bemt::Error) << bad;
        EXPECT_TRUE(sameValues(project.state(), before));
        EXPECT_TRUE(events.take().empty());
    }
}

TEST_F(ProjectTest, ReadingPostsTheChangesButNoSnapshot) {
    korvane::ProjectData other = korvane::newProjectData();
    other.conditions.V0 = 11.0;
    other.twistPoints[0].twist_deg = 40.0;
    project.fromJsonString(korvane::kvp::write(other, "/p/x.kvp"), "/p/x.kvp");
    EXPECT_EQ(events.take(), (Names{"reynolds", "twist"}));
    EXPECT_EQ(project.operatingConditions().V0, 11.0);
    EXPECT_EQ(project.filePath(), "");  // only open sets the path
}

TEST_F(ProjectTest, SaveAsWritesTheChosenFileAndCancelChangesNothing) {
    TempFolder temp;
    EXPECT_FALSE(project.saveAs());
    ASSERT_EQ(dialogsSeen->requests.size(), 1u);
    EXPECT_EQ(dialogsSeen->requests[0].fileName, "new_turbine.kvp");
    EXPECT_EQ(project.projectFilename(), "New project");

    const std::string path = temp.file("turbine.kvp");
    dialogsSeen->answer(wxString::FromUTF8(path));
    EXPECT_TRUE(project.saveAs());
    EXPECT_EQ(project.projectFilename(), "turbine.kvp");
    EXPECT_EQ(korvane::testing::readBytes(path), project.jsonString(wxString::FromUTF8(path)));

    // Cancelling a later Save As keeps the path and the file.
    auto c = project.operatingConditions();
    c.B = 2;
    project.setOeratingConditions(c, true);
    EXPECT_FALSE(project.saveAs());
    EXPECT_EQ(dialogsSeen->requests.back().fileName, "turbine.kvp");
    EXPECT_EQ(project.filePath(), wxString::FromUTF8(path));
    EXPECT_EQ(korvane::kvp::read(korvane::testing::readBytes(path), path).conditions.B, 3);

    // Save writes to the known path without asking.
    const std::size_t asked = dialogsSeen->requests.size();
    EXPECT_TRUE(project.save());
    EXPECT_EQ(dialogsSeen->requests.size(), asked);
    EXPECT_EQ(korvane::kvp::read(korvane::testing::readBytes(path), path).conditions.B, 2);
}

TEST_F(ProjectTest, AFailedSaveAsKeepsTheOldPath) {
    TempFolder temp;
    dialogsSeen->answer(wxString::FromUTF8(temp.file("first.kvp")));
    ASSERT_TRUE(project.saveAs());
    std::filesystem::create_directory(temp.path() / "folder.kvp");
    dialogsSeen->answer(wxString::FromUTF8(temp.file("folder.kvp")));
    EXPECT_THROW(project.saveAs(), bemt::Error);  // the message is the file writer's
    EXPECT_EQ(project.projectFilename(), "first.kvp");
}

TEST_F(ProjectTest, OpenReadsAFileGivenOrChosenAndSetsThePath) {
    TempFolder temp;
    korvane::ProjectData other = korvane::newProjectData();
    other.conditions.B = 2;
    other.rotor.yaw = 15.0;
    other.prebendPoints = {{0.5, 0.0}, {1.0, -1.0}};
    const std::string path = temp.file("two blades.kvp");
    korvane::testing::writeBytes(path, korvane::kvp::write(other, path));

    EXPECT_FALSE(project.open(""));  // the dialog is cancelled
    EXPECT_EQ(dialogsSeen->requests.back().title, "Open project file");
    EXPECT_EQ(project.operatingConditions().B, 3);

    EXPECT_TRUE(project.open(wxString::FromUTF8(path)));
    EXPECT_EQ(project.operatingConditions().B, 2);
    // The rotor model is the file's, so that the computations use it and a save keeps it.
    EXPECT_EQ(project.state().rotor.yaw, 15.0);
    ASSERT_EQ(project.state().prebendPoints.size(), 2u);
    EXPECT_NE(project.jsonString(wxString::FromUTF8(path)).find("\"yaw\":15.0"), std::string::npos);
    EXPECT_EQ(project.projectFilename(), "two blades.kvp");
    EXPECT_EQ(events.take(), Names{});  // B alone posts no specific event, and opening records no snapshot

    project.newProject();
    EXPECT_EQ(project.projectFilename(), "New project");
    EXPECT_TRUE(bemt::Rotor::isDefault(project.state().rotor));
    EXPECT_TRUE(project.state().prebendPoints.empty());
    dialogsSeen->answer(wxString::FromUTF8(path));
    EXPECT_TRUE(project.open(""));
    EXPECT_EQ(project.operatingConditions().B, 2);
    EXPECT_EQ(project.filePath(), wxString::FromUTF8(path));
}

TEST_F(ProjectTest, OpeningAMissingOrBrokenFileLeavesProjectAndPathUnchanged) {
    TempFolder temp;
    dialogsSeen->answer(wxString::FromUTF8(temp.file("kept.kvp")));
    ASSERT_TRUE(project.saveAs());
    const auto before = project.state();

    // The messages are those of the file manager and the codec.
    EXPECT_THROW(project.open(wxString::FromUTF8(temp.file("missing.kvp"))), bemt::Error);
    const std::string broken = temp.file("broken.kvp");
    korvane::testing::writeBytes(broken, "{\"conditions\":{}}");
    EXPECT_THROW(project.open(wxString::FromUTF8(broken)), bemt::Error);
    EXPECT_TRUE(sameValues(project.state(), before));
    EXPECT_EQ(project.projectFilename(), "kept.kvp");
}

}  // namespace

namespace {

// A chord plateau up to mid-blade, then a straight taper to nothing at the tip.
design_transfer::Curve plateauThenTaper() { return {{0.0, 0.25, 0.5, 0.75, 1.0}, {1.0, 1.0, 1.0, 0.5, 0.0}}; }

TEST(DesignTransfer, TwoPointsCarryAStraightTaperButNotAPlateau) {
    using design_transfer::deviation;
    // Linear through (0, 1) and (1, 0): 0.5 at mid-blade where the design holds 1, half
    // of its range of 1.
    const design_transfer::Curve twoPoints{{0.0, 1.0}, {1.0, 0.0}};
    EXPECT_DOUBLE_EQ(deviation(twoPoints, plateauThenTaper(), bemt::spline::linear), 0.5);
    const design_transfer::Curve straight{{0.0, 0.5, 1.0}, {0.2, 0.15, 0.1}};
    EXPECT_NEAR(deviation({{0.0, 1.0}, {0.2, 0.1}}, straight, bemt::spline::linear), 0.0, 1e-15);
    EXPECT_EQ(deviation(twoPoints, {{0.0, 1.0}, {0.3, 0.3}}, bemt::spline::linear), 0.0);  // no range
}

TEST(DesignTransfer, TheFewestDesignPointsThatFollowIt) {
    // The knee at mid-blade is the one point the ends need.
    const auto kept = design_transfer::followingPoints(plateauThenTaper(), bemt::spline::linear, 0.005);
    EXPECT_EQ(kept.x, (std::vector<double>{0.0, 0.5, 1.0}));
    EXPECT_EQ(kept.values, (std::vector<double>{1.0, 1.0, 0.0}));
    // A straight design needs its ends only.
    const auto ends = design_transfer::followingPoints({{0.0, 0.5, 1.0}, {0.2, 0.15, 0.1}}, bemt::spline::linear, 0.005);
    EXPECT_EQ(ends.x, (std::vector<double>{0.0, 1.0}));
    // A curve followed by a natural cubic spline within 0.5 % of its range: checked
    // point by point against the curve.
    design_transfer::Curve curve;
    for (int i = 0; i <= 50; ++i) {
        curve.x.push_back(i / 50.0);
        curve.values.push_back(std::exp(-4.0 * i / 50.0));
    }
    const auto following = design_transfer::followingPoints(curve, bemt::spline::cubic, 0.005);
    EXPECT_LT(following.x.size(), 12u);
    EXPECT_LE(design_transfer::deviation(following, curve, bemt::spline::cubic), 0.005);
}

TEST_F(ProjectTest, TurbineSettingsFollowTheRotorUntilStatedAndTravelWithSnapshots) {
    // A new project states none: the defaults follow the rotor (R 25 m: 785 kW).
    EXPECT_FALSE(project.state().turbine.has_value());
    EXPECT_EQ(project.turbineSettings().rated_power, 785000.0);
    auto c = project.operatingConditions();
    c.R = 30.0;
    project.setOeratingConditions(c, false);
    events.take();
    EXPECT_EQ(project.turbineSettings().rated_power, 1131000.0);

    TurbineSettings t = project.turbineSettings();
    t.rated_power = 2e6;
    t.tsr_target = kNaN;
    project.setTurbineSettings(t, true);
    EXPECT_EQ(events.take(), (Names{"turbine", "unsaved"}));
    ASSERT_TRUE(events.snapshots.back().state().turbine.has_value());
    EXPECT_EQ(events.snapshots.back().state().turbine->rated_power, 2e6);
    // An automatic tip speed ratio (NaN) equals itself: nothing changes.
    project.setTurbineSettings(t, true);
    EXPECT_TRUE(events.take().empty());

    const kvnProjectEvent stated = events.snapshots.back();
    project.newProject();
    EXPECT_FALSE(project.state().turbine.has_value());
    events.take();
    project.restoreState(stated);
    EXPECT_EQ(project.turbineSettings().rated_power, 2e6);
}

}  // namespace
