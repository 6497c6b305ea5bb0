#include "results/window_twist.h"

#include "app/kvp_project.h"

TwistWindow::TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size)
    : ProjectPreviewWindow(slotReleaser(slot, this), project, kvnEVT_UPDATED_TWIST_POINTS, "Blade twist distribution",
                           wxS("Twist β [°]"), size) {
    update();
}

void TwistWindow::drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) {
    x.clear();
    y.clear();
    for (const auto& p : project.twistPoints()) {
        x.push_back(p.x_rel);
        y.push_back(p.twist_deg);
    }
}
