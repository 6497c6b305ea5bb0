#include "results/project_preview_window.h"

#include <wx/sizer.h>

#include "app/kvp_project.h"
#include "results/app_icon.h"
#include "results/display_plot.h"
#include "results/result_window_frame.h"

ProjectPreviewWindow::ProjectPreviewWindow(std::function<void()> releaseSlot, KvpProject* project,
                                           const wxEventTypeTag<kvnChangeEvent>& changed, const wxString& title,
                                           const wxString& yLabel, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, title), m_releaseSlot(std::move(releaseSlot)), m_project(project), m_changed(changed) {
    SetIcons(korvaneIcons());
    m_plot = new PlotDisplay(this, title, "x/R", yLabel, wxEmptyString, true, false);
    m_plot->showPoints();
    m_plot->addAxis1Set(&m_x, &m_y);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_plot, 1, wxEXPAND);
    SetSizer(sizer);
    SetSize(FromDIP(size));
    Layout();
    // Placed, and closed by Esc and Ctrl+W, as the result windows are.
    presentResultWindow(this, wxEmptyString);
    m_project->Bind(changed, &ProjectPreviewWindow::onProjectChanged, this);
    Bind(wxEVT_CLOSE_WINDOW, &ProjectPreviewWindow::onClose, this);
}

ProjectPreviewWindow::~ProjectPreviewWindow() { detach(); }

void ProjectPreviewWindow::update() {
    drawCurve(*m_project, m_x, m_y);
    m_plot->resetRange();
}

void ProjectPreviewWindow::onProjectChanged(wxEvent& event) {
    update();
    event.Skip();
}

void ProjectPreviewWindow::detach() {
    if (m_project)
        m_project->Unbind(wxEventTypeTag<kvnChangeEvent>(m_changed), &ProjectPreviewWindow::onProjectChanged, this);
    m_project = nullptr;
    if (m_releaseSlot) m_releaseSlot();
    m_releaseSlot = nullptr;
}

void ProjectPreviewWindow::onClose(wxCloseEvent&) {
    detach();
    Destroy();
}
