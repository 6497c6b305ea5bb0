#include "results/window_twist.h"

#include <algorithm>

#include "app/kvp_project.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/spline.h"
#include "results/display_plot.h"

namespace {

// Enough samples that the curve looks smooth at any window size.
constexpr int kCurveSamples = 200;

}  // namespace

TwistWindow::TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size)
    : ProjectPreviewWindow(slotReleaser(slot, this), project, kvnEVT_UPDATED_TWIST_POINTS, "Blade twist distribution",
                           wxS("Twist β [°]"), size) {
    PlotDisplay* chart = plot();
    chart->setAxis1SetStyle(0, PlotLine::Solid, false);
    chart->setAxis1SetLegend(0, "Twist as computed (cubic spline)");
    const int points = chart->addAxis1Set(&m_pointX, &m_pointY);
    chart->setAxis1SetStyle(points, PlotLine::None, true, plotPaletteColour(0));
    chart->setAxis1SetLegend(points, "Twist points");
    update();
}

std::vector<double> TwistWindow::computedTwist(const std::vector<bemt::TwistPoint>& points,
                                               const std::vector<double>& x) {
    const auto [twistX, twistY] = bemt::Common::splitTwistPoints(points);
    const bemt::spline twist(twistX, twistY, bemt::spline::cubic);
    std::vector<double> y;
    y.reserve(x.size());
    for (double v : x) y.push_back(twist(v));
    return y;
}

void TwistWindow::drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) {
    const auto& points = project.twistPoints();
    m_pointX.clear();
    m_pointY.clear();
    for (const auto& p : points) {
        m_pointX.push_back(p.x_rel);
        m_pointY.push_back(p.twist_deg);
    }
    x.clear();
    y.clear();
    if (points.empty()) return;
    // The elements lie between the hub and the tip, wherever the points end.
    const auto& conditions = project.operatingConditions();
    const double hub = conditions.R > 0.0 ? conditions.Rh / conditions.R : m_pointX.front();
    const double from = std::min(hub, m_pointX.front());
    const double to = std::max(1.0, m_pointX.back());
    for (int i = 0; i < kCurveSamples; ++i) x.push_back(from + (to - from) * i / (kCurveSamples - 1));
    try {
        y = computedTwist(points, x);
    } catch (const bemt::Error&) {
        // Points no spline passes through (the editor flags them): the points alone.
        x.clear();
        y.clear();
    }
}
