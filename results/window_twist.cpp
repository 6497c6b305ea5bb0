#include "results/window_twist.h"

#include <wx/sizer.h>

#include "app/kvp_project.h"
#include "results/app_icon.h"
#include "results/display_plot.h"

TwistWindow::TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, "Blade twist distribution"), m_slot(slot), m_project(project) {
    SetIcons(korvaneIcons());
    m_plot = new PlotDisplay(this, "Blade twist distribution", "x/R", wxS("Twist β [°]"), wxEmptyString, true, false);
    m_plot->showPoints();
    m_plot->addAxis1Set(&m_x, &m_y);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_plot, 1, wxEXPAND);
    SetSizer(sizer);
    SetSize(FromDIP(size));
    Layout();
    m_project->Bind(kvnEVT_UPDATED_TWIST_POINTS, &TwistWindow::onPointsChanged, this);
    Bind(wxEVT_CLOSE_WINDOW, &TwistWindow::onClose, this);
    update();
}

TwistWindow::~TwistWindow() { detach(); }

void TwistWindow::update() {
    m_x.clear();
    m_y.clear();
    for (const auto& p : m_project->twistPoints()) {
        m_x.push_back(p.x_rel);
        m_y.push_back(p.twist_deg);
    }
    m_plot->resetRange();
}

void TwistWindow::onPointsChanged(wxEvent& event) {
    update();
    event.Skip();
}

void TwistWindow::detach() {
    if (m_project) m_project->Unbind(kvnEVT_UPDATED_TWIST_POINTS, &TwistWindow::onPointsChanged, this);
    m_project = nullptr;
    if (m_slot && *m_slot == this) *m_slot = nullptr;
    m_slot = nullptr;
}

void TwistWindow::onClose(wxCloseEvent&) {
    detach();
    Destroy();
}
