#include "results/window_shape.h"

#include "app/edit_section.h"
#include "app/kvp_project.h"
#include "results/blade_outline.h"
#include "results/display_plot.h"

ShapeWindow::ShapeWindow(ShapeWindow** slot, KvpProject* project, const wxSize& size)
    : ProjectPreviewWindow(slotReleaser(slot, this), project, kvnEVT_UPDATED_CHORD_POINTS, "Blade shape", "c/R",
                           size) {
    plot()->setProportional(true);
    plot()->setSingleCurveLegend(true);  // the legend states the blade area
    update();
}

wxString ShapeWindow::areaLegend(double relativeArea, double radius) {
    return wxS("Area = ") + formatNumber(relativeArea) + wxS(" ⋅ R²") + wxS(" ( = ") +
           formatNumber(relativeArea * radius * radius) + wxS(" m²)");
}

void ShapeWindow::drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) {
    const BladeOutline outline = bladeOutline(project.chordPoints());
    x = outline.x;
    y = outline.y;
    plot()->setAxis1SetLegend(0, areaLegend(outline.relativeArea, project.operatingConditions().R));
}
