// The compute panel driven through its handlers under a virtual display: range fields,
// refusals, transfers of a design, Stop, outdated segments and errors. A full run of
// every action on the bundled example project: export_cli_test.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "ComputeHarness.h"
#include "ControlCommands.h"
#include "TempFolder.h"
#include "UserSimulation.h"
#include "project/kvp_codec.h"
#include "project/project_data.h"
#include "bemt/BEMTTools.h"
#include "bemt/ToolsAirfoil.h"
#include "results/chart_book.h"
#include "results/window_analyze_airfoils.h"
#include "results/window_char_result.h"
#include "results/window_design_result.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;

const std::string kExample = examplePath("new_turbine.kvp");

// The input the command line builds from the same project.
bemt::InputDataSet coreInput(const KvpProject& project) {
    bemt::InputDataSet data;
    data.settings = project.solverSettings();
    data.conditions = project.operatingConditions();
    std::atomic<bool> abort{false};
    data.segments = bemt::ToolsAirfoil::segmentsFromPoints(
        project.airfoilPoints(), project.fileManager()->getFileStringStream(), project.operatingConditions(),
        [](int, std::string) {}, &abort);
    data.chordPoints = project.chordPoints();
    data.twistPoints = project.twistPoints();
    return data;
}

void ignore(int, const std::string&) {}

TEST(ComputePanel, RangeFieldsFollowEachOtherAndRefuseBadValues) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    EditCompute& p = *h.panel;
    h.frame->SetClientSize(p.GetBestSize());  // every field on the screen, for the pointer
    SimulatedUser user;
    const auto type = [&](wxTextCtrl* field, const char* text) { user.typeInto(field, text); };
    type(p.minField(), "0");
    type(p.maxField(), "20");
    type(p.stepField(), "0.5");
    EXPECT_EQ(p.stepsField()->GetValue(), "41");
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    EXPECT_EQ(h.project.computeSettings().ran_max, 20.0);

    type(p.stepsField(), "5");  // the step follows the number of steps
    EXPECT_EQ(p.stepField()->GetValue(), "5");
    EXPECT_EQ(h.project.computeSettings().ran_step, 5.0);

    // Red text never reaches the project: the step is back where this edit of Steps
    // began, and the Step field shows it.
    type(p.stepsField(), "501");
    EXPECT_FALSE(p.Validate());
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    EXPECT_EQ(p.stepField()->GetValue(), "0.5");
    type(p.stepsField(), "41");
    EXPECT_TRUE(p.Validate());

    // The ranges of the project file and the command line: a step beyond the span and equal
    // ends are one position; a count of one over a span is red (no step reaches its end).
    type(p.stepField(), "25");
    EXPECT_TRUE(p.Validate());
    EXPECT_EQ(p.stepsField()->GetValue(), "1");
    type(p.stepField(), "0.5");
    type(p.stepsField(), "1");
    EXPECT_EQ(p.stepsField()->GetForegroundColour(), *wxRED);
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    type(p.stepsField(), "41");
    type(p.minField(), "30");  // above the maximum
    EXPECT_FALSE(p.Validate());
    type(p.minField(), "20");
    EXPECT_TRUE(p.Validate());
    type(p.minField(), "0");
    // Equal ends show one step and keep the step (a step of 0 would be refused and the
    // edit lost); a count of one then follows the step when the span opens again.
    type(p.maxField(), "0");
    EXPECT_EQ(p.stepsField()->GetValue(), "1");
    EXPECT_EQ(h.project.computeSettings().ran_max, 0.0);
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    type(p.maxField(), "20");
    EXPECT_TRUE(p.Validate());
    EXPECT_EQ(h.project.computeSettings().ran_max, 20.0);
    type(p.stepField(), "0.5");
    // A valid step whose count passes 500 shows that count, red: the step waits with it.
    type(p.stepField(), "0.01");
    EXPECT_EQ(p.stepsField()->GetValue(), "2001");
    EXPECT_TRUE(red(p.stepsField()));
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    type(p.stepField(), "0.5");
    // A step typed while an end is red is counted once the end is valid again, not
    // replaced by the step the old count gives.
    type(p.minField(), "0x");
    type(p.stepField(), "2");
    type(p.minField(), "0");
    EXPECT_EQ(p.stepsField()->GetValue(), "11");
    EXPECT_EQ(h.project.computeSettings().ran_step, 2.0);
    type(p.stepField(), "0.5");

    // Each computation refuses for the red fields it uses and no others.
    type(p.chordLimitField(), "0");  // a zero chord limit would design a blade without chord
    EXPECT_FALSE(p.Validate());
    type(p.maxField(), "abc");
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    ASSERT_TRUE(h.run(&EditCompute::designBlade));
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    ASSERT_EQ(h.messages.size(), 2u);
    EXPECT_TRUE(h.messages[0].text.EndsWith("\nCompute: Max. designed relative chord")) << h.messages[0].text;
    EXPECT_TRUE(h.messages[1].text.EndsWith("\nCompute: Max. value")) << h.messages[1].text;
    h.messages.clear();
    p.destroyWindows();  // the result window would take the keys
    h.frame->Raise();
    // A valid end held back by the red chord limit has not reached the project: the
    // characteristics refuse too, naming the field that holds it back and those it holds
    // back (the step follows the end).
    type(p.maxField(), "15");
    EXPECT_EQ(h.project.computeSettings().ran_max, 20.0);
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_TRUE(h.messages[0].text.EndsWith(
        "\nCompute: Max. designed relative chord\nCompute: Max. value (held back by red text)\nCompute: Step size (held "
        "back by red text)"))
        << h.messages[0].text;
    h.messages.clear();
    type(p.maxField(), "20");
    // So does a choice made beside the red field; and a count typed meanwhile shows the
    // step it gives, which the project takes with it once the chord limit is valid.
    choose(p.variableChoice(), 0);
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    ASSERT_EQ(h.messages.size(), 1u);
    h.messages.clear();
    choose(p.variableChoice(), 1);
    type(p.stepsField(), "5");
    EXPECT_EQ(p.stepField()->GetValue(), "5");
    EXPECT_EQ(h.project.computeSettings().ran_step, 0.5);
    type(p.chordLimitField(), "0.25");
    EXPECT_TRUE(p.Validate());
    EXPECT_EQ(h.project.computeSettings().design_c_limit, 0.25);
    EXPECT_EQ(h.project.computeSettings().ran_step, 5.0);

    // The range's labels carry the unit of the swept variable.
    bemt::ComputeSettings settings = h.project.computeSettings();
    for (const auto& [variable, unit] : {std::pair{bemt::windVelocity, "[m/s]"}, {bemt::tipSpeedRatio, "[-]"}}) {
        settings.range_type = variable;
        h.project.setComputeSettings(settings, false);
        p.update();
        for (wxStaticText* label : p.rangeLabels()) EXPECT_TRUE(label->GetLabel().EndsWith(unit)) << label->GetLabel();
    }
}

TEST(ComputePanel, SavingKeepsThePitchSweepOfTheConditionsPage) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    bemt::ComputeSettings s = h.project.computeSettings();
    s.enable_pitch = true;
    s.p_max = 12.0;
    h.project.setComputeSettings(s, true);  // edited on the conditions page meanwhile
    h.panel->maxField()->SetValue("18");
    postUpdatedValue(h.panel->maxField());
    processEvents();
    EXPECT_EQ(h.project.computeSettings().ran_max, 18.0);
    EXPECT_TRUE(h.project.computeSettings().enable_pitch);
    EXPECT_EQ(h.project.computeSettings().p_max, 12.0);
}

TEST(ComputePanel, PitchPositionsAreLimitedToEleven) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    bemt::SolverSettings solver = h.project.solverSettings();
    solver.n_elements = 10;  // a short blade keeps the accepted sweeps quick
    h.project.setSolverSettings(solver, false);
    bemt::ComputeSettings s = h.project.computeSettings();
    s.enable_pitch = true;
    s.p_min = 0;
    s.p_max = 22.0;  // 12 positions: the panel shows the rules' refusal and starts nothing
    s.p_step = 2.0;
    h.project.setComputeSettings(s, false);
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].caption, "Too many pitch positions.");
    EXPECT_TRUE(h.idleButtons());
    EXPECT_TRUE(h.panel->resultWindows().empty());
    h.messages.clear();

    s.p_max = 20;
    s.p_step = 2;
    h.project.setComputeSettings(s, false);
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    EXPECT_TRUE(h.messages.empty());
    auto* window = lastWindow<OpResultWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->points().size(), 11u);
    EXPECT_DOUBLE_EQ(window->points().back().pitch, 20.0);

    s.p_min = s.p_max = 4.0;
    h.project.setComputeSettings(s, false);
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    window = lastWindow<OpResultWindow>(h.panel->resultWindows());
    ASSERT_EQ(window->points().size(), 1u);
    EXPECT_EQ(window->points()[0].pitch, 4.0);
    EXPECT_TRUE(window->GetTitle().StartsWith("2 | Performance and blade characteristics | "));
}

TEST(ComputePanel, ADesignedChordThatTwoPointsCannotCarryIsOfferedAsTheDesignsOwnPoints) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;  // the new project: two chord points, at the hub and the tip
    int snapshots = 0;
    h.project.Bind(kvnEVT_PROJECT_UNSAVED, [&](kvnProjectEvent&) { ++snapshots; });
    ASSERT_TRUE(h.run(&EditCompute::designBlade));
    auto* window = lastWindow<DesignResultWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    const double designedCp = window->points()[0].op.Cp;
    bemt::BEMTTools tools(h.project.solverSettings().solver);
    const auto cpOfTheProject = [&] {
        return tools.analyzeOp(coreInput(h.project), ignore, 0.0).Cp;
    };

    // The designed twist first, as the design's own points when its six points cannot
    // carry it.
    h.replaceByDesign = true;
    window->useTwist();
    processEvents();
    EXPECT_EQ(snapshots, 1);
    const std::size_t asked = h.shapeQuestions.size();

    // No: the two points keep their positions, as a transfer always did, and the
    // straight taper they make loses power against the design.
    h.replaceByDesign = false;
    window->useChord();
    processEvents();
    ASSERT_EQ(h.shapeQuestions.size(), asked + 1);
    const wxString question = h.shapeQuestions.back();
    EXPECT_TRUE(question.StartsWith("Taken over at the 2 positions of the project's chord points, the designed chord "
                                    "differs from the design by up to "))
        << question;
    EXPECT_TRUE(question.EndsWith(" points that follow the design within 0.5 %?")) << question;
    ASSERT_EQ(h.project.chordPoints().size(), 2u);
    EXPECT_EQ(snapshots, 2);
    const double straightCp = cpOfTheProject();
    EXPECT_LT(straightCp, designedCp - 0.005);

    // Yes: the design's own points, one change; the power comes back to the design's.
    h.replaceByDesign = true;
    window->useChord();
    processEvents();
    ASSERT_EQ(h.shapeQuestions.size(), asked + 2);
    const auto points = h.project.chordPoints();
    EXPECT_GT(points.size(), 2u);
    EXPECT_NE(question.Find(wxString::Format("Replace the chord points by %zu points", points.size())), wxNOT_FOUND);
    EXPECT_EQ(snapshots, 3);
    EXPECT_NEAR(cpOfTheProject(), designedCp, 0.002);
}

TEST(ComputePanel, TheDesignedBladeIsExportedToAeroDynFromItsWindow) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    ASSERT_TRUE(h.run(&EditCompute::designBlade));
    auto* window = lastWindow<DesignResultWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->exportButton()->IsEnabled());
    korvane::testing::TempFolder temp;
    const wxString folder = wxString::FromUTF8(temp.path().string());
    h.fileDialogs->answer(folder + "/AeroDyn_blade.dat");
    press(window->exportButton());
    EXPECT_TRUE(h.messages.empty());
    ASSERT_EQ(h.fileDialogs->requests.size(), 1u);
    EXPECT_EQ(h.fileDialogs->requests[0].title, "Export blade to AeroDyn");
    EXPECT_TRUE(wxFileExists(folder + "/AeroDyn_blade.dat"));
    EXPECT_TRUE(wxFileExists(folder + "/AeroDyn_airfoils.txt"));
    // One node per element of the design (the airfoil points add their own positions).
    const auto designed = window->points().front().op.solutions.size();
    std::ifstream blade((folder + "/AeroDyn_blade.dat").ToStdString());
    std::string line;
    for (int i = 0; i < 4; ++i) std::getline(blade, line);
    EXPECT_GE(std::stoul(line), designed);
}

TEST(ComputePanel, AnalyzerShowsTheSegmentsAtAnyPosition) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    ASSERT_TRUE(h.run(&EditCompute::analyzeAirfoils));
    auto* window = lastWindow<AnalyzeAirfoilsWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->GetTitle().StartsWith("Airfoils data analyzer | 1 | "));
    EXPECT_FALSE(window->angles().empty());
    window->setPosition(0.5);
    EXPECT_NEAR(window->position(), 0.5, 1e-3);
    // The slider says where it is, the titles too; the lift axis fits the lift.
    EXPECT_EQ(window->positionLabel(), "x/R = 0.500");
    PlotDisplay* liftDrag = window->charts()->charts()[0];
    EXPECT_TRUE(liftDrag->getTitle().StartsWith("Lift and drag coefficients at x/R = 0.5, Re = ")) << liftDrag->getTitle();
    EXPECT_LE(liftDrag->y1Axis().end, 2.0 * liftDrag->y1Axis().dataMax + 0.5);
    window->setResolution(3);  // 5 °
    window->setFullRange(true);
    ASSERT_EQ(window->angles().size(), 73u);
    EXPECT_EQ(window->angles().front(), -180.0);
    EXPECT_GT(window->reynolds(), 1e5);

    // While a computation uses the polars the analyzer leaves them alone.
    h.panel->disableComputeBtns();
    EXPECT_FALSE(window->refresh());
    h.panel->enableComputeBtns();
    EXPECT_TRUE(window->refresh());
}

// With the project's stall delay on, the analyser draws the corrected curves beside the
// 2D ones, labelled, and what it draws is what korvane-cli polar computes there.
TEST(ComputePanel, AnalyzerOverlaysTheStallDelayCorrectedPolarOnThe2DOne) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    h.project.setStallDelay(bemt::StallDelaySettings{}, false);
    ASSERT_TRUE(h.run(&EditCompute::analyzeAirfoils));
    auto* window = lastWindow<AnalyzeAirfoilsWindow>(h.panel->resultWindows());
    ASSERT_NE(window, nullptr);
    window->setPosition(0.25);
    SimulatedUser().click(window->fullRangeBox());
    ASSERT_EQ(window->angles().size(), 361u);
    PlotDisplay* liftDrag = window->charts()->charts()[0];
    const auto& sets = liftDrag->axis1Sets();
    ASSERT_EQ(sets.size(), 2u);
    // The corrected curve is drawn last, over the grey 2D one where they agree.
    EXPECT_EQ(sets[0].legend, "2D (as given)");
    EXPECT_EQ(sets[1].legend, "Corrected for stall delay");
    EXPECT_EQ(liftDrag->axis1SetColour(0), "#9a9a9a");
    EXPECT_EQ(liftDrag->axis2SetColour(0), "#9a9a9a");
    EXPECT_NE(liftDrag->axis1SetColour(1), liftDrag->axis1SetColour(0));
    const auto polar = cliResult("polar", kExample,
                                 {"--at", wxString::FromCDouble(window->position(), 17).utf8_string(), "--alpha",
                                  "-180:180:1", "--stall-delay", "du_selig"})["points"];
    ASSERT_EQ(polar.size(), 361u);
    for (std::size_t i = 0; i < polar.size(); ++i) {
        EXPECT_NEAR((*sets[1].y)[i], polar[i]["cl"].get<double>(), 1e-12) << i;
        EXPECT_NEAR((*sets[0].y)[i], polar[i]["cl_2d"].get<double>(), 1e-12) << i;
    }
    EXPECT_GT((*sets[1].y)[195] - (*sets[0].y)[195], 0.05);  // 15 degrees: stall delayed
}

TEST(ComputePanel, StopEndsACharacteristicsRunAndTheNextStartsClean) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    bemt::ComputeSettings s = h.project.computeSettings();
    s.ran_max = 100.0;  // long enough to be stopped
    s.ran_step = 0.2;
    h.project.setComputeSettings(s, false);
    h.panel->computeChar();
    ASSERT_TRUE(waitFor([&] { return h.status == "Computing wind turbine characteristics."; }));
    EXPECT_TRUE(h.panel->stopButton()->IsEnabled());
    EXPECT_FALSE(h.panel->characteristicsButton()->IsEnabled());
    h.panel->stopComputation();
    // Until the run has ended there is nothing more to stop, and the status says so.
    EXPECT_FALSE(h.panel->stopButton()->IsEnabled());
    EXPECT_FALSE(h.panel->characteristicsButton()->IsEnabled());
    EXPECT_EQ(h.status, "Stopping the computation...");
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }));
    // A requested stop is information, not an error.
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "The computation process has been aborted.");
    EXPECT_EQ(h.messages[0].caption, "Computation stopped.");
    EXPECT_TRUE(h.messages[0].information);
    EXPECT_EQ(h.status, "All actions done.");
    EXPECT_TRUE(h.idleButtons());
    EXPECT_FALSE(h.panel->runner().abortRequested());
    EXPECT_TRUE(h.panel->resultWindows().empty());

    // A Stop pressed while idle does not abort the next run either.
    h.panel->stopComputation();
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    EXPECT_EQ(h.messages.size(), 1u);
    EXPECT_NE(lastWindow<OpResultWindow>(h.panel->resultWindows()), nullptr);
}

TEST(ComputePanel, OutdatedSegmentsAreRebuiltSilentlyWithoutXfoilAndAskedForWithIt) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    h.open(kExample);
    bemt::SolverSettings solver = h.project.solverSettings();
    solver.n_elements = 10;
    h.project.setSolverSettings(solver, false);
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    const auto first = h.panel->runner().airfoilSegments();
    ASSERT_FALSE(first.empty());

    bemt::OperatingConditions c = h.project.operatingConditions();
    c.V0 = 9.0;
    h.project.setOeratingConditions(c, true);
    processEvents();
    EXPECT_FALSE(h.panel->runner().segmentsValid());
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    EXPECT_EQ(h.prompts, 0);
    EXPECT_TRUE(h.panel->runner().segmentsValid());
    EXPECT_NE(h.panel->runner().airfoilSegments()[0].first, first[0].first) << "rebuilt";

    // Airfoil coordinates for XFOIL make the panel ask; No keeps the old segments.
    auto points = h.project.airfoilPoints();
    points[1].data_type = bemt::Coordinates;
    points[1].repeat = false;
    points[1].path = examplePath("airfoils/naca0012.dat");
    h.project.setAirfoilPoints(points, true);
    processEvents();
    EXPECT_TRUE(h.panel->runner().xfoilInvolved());
    const auto kept = h.panel->runner().airfoilSegments();
    h.preprocessAnswer = false;
    ASSERT_TRUE(h.run(&EditCompute::computeOperatingPoint));
    EXPECT_EQ(h.prompts, 1);
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.panel->runner().airfoilSegments()[0].first, kept[0].first);
    EXPECT_EQ(h.panel->resultWindows().size(), 3u);
}

TEST(ComputePanel, StopDuringXfoilPreprocessingEndsTheAnalyses) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    useXfoilAirfoils(h.project);
    processEvents();
    EXPECT_TRUE(h.panel->runner().xfoilInvolved());
    h.panel->designBlade();
    if (!waitFor([] { return xfoilChildren() > 0; }, std::chrono::seconds(20))) {
        h.panel->stopComputation();
        waitFor([&] { return !h.panel->busy(); });
        GTEST_SKIP() << "xfoil-core did not start (is XFOIL installed?)";
    }
    h.panel->stopComputation();
    EXPECT_FALSE(h.panel->stopButton()->IsEnabled());
    EXPECT_EQ(h.status, "Stopping the computation...");
    ASSERT_TRUE(waitFor([&] { return !h.panel->busy(); }, std::chrono::seconds(10)));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "The Xfoil preprocessing has been aborted.");
    EXPECT_EQ(h.messages[0].caption, "Computation stopped.");
    EXPECT_TRUE(h.messages[0].information);
    EXPECT_EQ(h.status, "All actions done.");
    EXPECT_TRUE(h.idleButtons());
    EXPECT_TRUE(h.panel->runner().airfoilSegments().empty());
    EXPECT_TRUE(waitFor([] { return xfoilChildren() == 0; }, std::chrono::seconds(5)));
    EXPECT_TRUE(h.panel->resultWindows().empty());
}

TEST(ComputePanel, PreprocessingErrorsAreShownAndTheButtonsComeBack) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    auto points = h.project.airfoilPoints();
    points[0].data_type = bemt::CSVData;
    points[0].path = "/nonexistent/polar.csv";
    h.project.setAirfoilPoints(points, false);
    ASSERT_TRUE(h.run(&EditCompute::computeChar));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_NE(h.messages[0].text.Find("/nonexistent/polar.csv"), wxNOT_FOUND) << h.messages[0].text;
    EXPECT_EQ(h.messages[0].caption, "An error has occurred.");
    EXPECT_EQ(h.status, "All actions done.");
    EXPECT_TRUE(h.idleButtons());
    EXPECT_TRUE(h.panel->resultWindows().empty());
}

TEST(ComputePanel, BlendingSwitchFollowsTheLoadedProjectAndTheBox) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    TempFolder folder;
    korvane::ProjectData data = korvane::newProjectData();
    data.computeSettings.enable_interpolation = false;
    const std::string path = folder.file("flat.kvp");
    writeBytes(path, korvane::kvp::write(data, path));
    h.open(path);
    EXPECT_FALSE(h.panel->interpolationBox()->GetValue());

    tick(h.panel->interpolationBox(), true);
    EXPECT_TRUE(h.project.computeSettings().enable_interpolation);
}

}  // namespace
