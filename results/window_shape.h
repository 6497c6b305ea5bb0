#pragma once
// A preview of the blade outline seen from the wind, with the blade area, that follows
// the project's chord points.

#include "results/project_preview_window.h"

class ShapeWindow : public ProjectPreviewWindow {
public:
    // slot is the opener's pointer to this window; it is cleared when the window closes.
    ShapeWindow(ShapeWindow** slot, KvpProject* project, const wxSize& size);

    // The legend: "Area = A ⋅ R² ( = A·R² m²)".
    static wxString areaLegend(double relativeArea, double radius);

protected:
    // The outline from the chord points, with the blade area as its legend.
    void drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) override;
};
