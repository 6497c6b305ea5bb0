// The twist preview draws the twist the computations give the blade elements (a cubic
// spline through the points, which once was drawn as straight lines about 1° off at
// x/R 0.35 on the new project's rotor), with the points marked. The shape preview's
// legend: ShapeTest in the gui tests.
#include <gtest/gtest.h>

#include "ComputeHarness.h"
#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"
#include "results/display_plot.h"
#include "results/result_series.h"
#include "results/window_twist.h"

namespace {

using namespace korvane::testing;

// Straight-line interpolation between the twist points, as the preview once drew them.
double straightTwist(const std::vector<bemt::TwistPoint>& points, double x) {
    for (std::size_t i = 1; i < points.size(); ++i)
        if (x <= points[i].x_rel) {
            const auto& a = points[i - 1];
            const auto& b = points[i];
            return a.twist_deg + (b.twist_deg - a.twist_deg) * (x - a.x_rel) / (b.x_rel - a.x_rel);
        }
    return points.back().twist_deg;
}

TEST(TwistPreview, DrawsTheTwistTheElementsGetAndMarksThePoints) {
    KORVANE_REQUIRE_WX();
    ComputeHarness h;
    const bemt::InputDataSet data = [&] {
        bemt::InputDataSet d = defaultRotor();
        d.settings.n_elements = 40;
        d.conditions = h.project.operatingConditions();
        d.chordPoints = h.project.chordPoints();
        d.twistPoints = h.project.twistPoints();
        return d;
    }();
    bemt::BEMTTools tools(bemt::FixedPoint2D);
    const bemt::pitchControlledOperatingPoint point{0.0, tools.analyzeOp(data, ignoreProgress, 0.0)};
    const std::vector<double> x = result_series::elementPositions(point);
    const std::vector<double> elementTwist = result_series::elementTwist(point);
    const std::vector<double> drawn = TwistWindow::computedTwist(data.twistPoints, x);
    ASSERT_EQ(drawn.size(), elementTwist.size());
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(drawn[i], elementTwist[i], 1e-9) << "x/R " << x[i];

    // Straight lines would be visibly off between the points.
    const double at035 = TwistWindow::computedTwist(data.twistPoints, {0.35})[0];
    EXPECT_GT(std::fabs(at035 - straightTwist(data.twistPoints, 0.35)), 0.3);

    TwistWindow* window = nullptr;
    window = new TwistWindow(&window, &h.project, wxSize(600, 400));
    window->Show();
    processEvents();
    const auto& sets = window->plot()->axis1Sets();
    ASSERT_EQ(sets.size(), 2u);
    // The curve from the hub to the tip, the points on it.
    const double hub = data.conditions.Rh / data.conditions.R;
    EXPECT_NEAR(sets[0].x->front(), std::min(hub, data.twistPoints.front().x_rel), 1e-12);
    EXPECT_DOUBLE_EQ(sets[0].x->back(), 1.0);
    EXPECT_EQ(sets[0].line, PlotLine::Solid);
    EXPECT_EQ(sets[1].line, PlotLine::None);
    EXPECT_EQ(sets[1].markers, 1);
    ASSERT_EQ(sets[1].x->size(), data.twistPoints.size());
    EXPECT_TRUE(window->plot()->legendShown());

    // It follows the project.
    auto points = h.project.twistPoints();
    points[2].twist_deg += 3.0;
    h.project.setTwistPoints(points, true);
    processEvents();
    EXPECT_DOUBLE_EQ((*sets[1].y)[2], points[2].twist_deg);
    window->Close(true);
    processEvents();
    EXPECT_EQ(window, nullptr);
}

}  // namespace
