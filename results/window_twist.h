#pragma once
// A preview of the blade twist distribution that follows the project's twist points.

#include "results/project_preview_window.h"

class TwistWindow : public ProjectPreviewWindow {
public:
    // slot is the opener's pointer to this window; it is cleared when the window closes.
    TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size);

protected:
    // The twist points of the project.
    void drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) override;
};
