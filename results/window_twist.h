#pragma once
// A preview of the blade twist distribution that follows the project's twist points: the
// curve the computations use between the points (a cubic spline) and the points marked.

#include "bemt/Records.h"
#include "results/project_preview_window.h"

class TwistWindow : public ProjectPreviewWindow {
public:
    // slot is the opener's pointer to this window; it is cleared when the window closes.
    TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size);

    // The twist (degrees) the computations give a blade element at each x/R: the cubic
    // spline through the points, extended beyond them as the computations extend it.
    // Throws the spline's message for points it cannot pass through.
    static std::vector<double> computedTwist(const std::vector<bemt::TwistPoint>& points,
                                             const std::vector<double>& x);

protected:
    // The curve from the hub (or the first point) to the tip (or the last point).
    void drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) override;

private:
    std::vector<double> m_pointX, m_pointY;
};
