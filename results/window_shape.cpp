#include "results/window_shape.h"

#include <wx/sizer.h>

#include "app/edit_section.h"
#include "app/kvp_project.h"
#include "results/app_icon.h"
#include "results/blade_outline.h"
#include "results/display_plot.h"

ShapeWindow::ShapeWindow(ShapeWindow** slot, KvpProject* project, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, "Blade shape"), m_slot(slot), m_project(project) {
    SetIcons(korvaneIcons());
    m_plot = new PlotDisplay(this, "Blade shape", "x/R", "c/R", wxEmptyString, true, false);
    m_plot->setProportional(true);
    m_plot->showPoints();
    m_plot->addAxis1Set(&m_x, &m_y);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_plot, 1, wxEXPAND);
    SetSizer(sizer);
    SetSize(FromDIP(size));
    Layout();
    m_project->Bind(kvnEVT_UPDATED_CHORD_POINTS, &ShapeWindow::onPointsChanged, this);
    Bind(wxEVT_CLOSE_WINDOW, &ShapeWindow::onClose, this);
    update();
}

ShapeWindow::~ShapeWindow() { detach(); }

wxString ShapeWindow::areaLegend(double relativeArea, double radius) {
    return wxS("Area = ") + formatNumber(relativeArea) + wxS(" ⋅ R²") + wxS(" ( = ") +
           formatNumber(relativeArea * radius * radius) + wxS(" m²)");
}

void ShapeWindow::update() {
    const BladeOutline outline = bladeOutline(m_project->chordPoints());
    m_x = outline.x;
    m_y = outline.y;
    m_plot->setAxis1SetLegend(0, areaLegend(outline.relativeArea, m_project->operatingConditions().R));
    m_plot->resetRange();
}

void ShapeWindow::onPointsChanged(wxEvent& event) {
    update();
    event.Skip();
}

void ShapeWindow::detach() {
    if (m_project) m_project->Unbind(kvnEVT_UPDATED_CHORD_POINTS, &ShapeWindow::onPointsChanged, this);
    m_project = nullptr;
    if (m_slot && *m_slot == this) *m_slot = nullptr;
    m_slot = nullptr;
}

void ShapeWindow::onClose(wxCloseEvent&) {
    detach();
    Destroy();
}
