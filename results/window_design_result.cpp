#include "results/window_design_result.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "app/kvp_project.h"

DesignResultWindow::DesignResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                                       std::vector<bemt::pitchControlledOperatingPoint> points,
                                       const ComputedWith& with,
                                       const bemt::OperatingConditions& projectConditions, FileManager* files,
                                       int serialNumber)
    : OpResultWindow(DeferLayout{}, windows, std::move(points), with, projectConditions, files, serialNumber,
                     designTitle()) {
    layoutWindow();
}

void DesignResultWindow::generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files) {
    OpResultWindow::generateActionsMenu(parent, sizer, files);
    const int border = FromDIP(3);
    m_twistButton = new wxButton(parent, wxID_ANY, wxString::FromUTF8("Use twist distribution ➔"));
    m_twistButton->SetToolTip(wxString::FromUTF8(
        "Copy the designed twist distribution to current project. Only available, when no pitch regulation (0 °) "
        "is applied."));
    m_twistButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { useTwist(); });
    sizer->Add(m_twistButton, 0, wxEXPAND | wxALL, border);
    addZeroPitchButton(m_twistButton);

    m_chordButton = new wxButton(parent, wxID_ANY, wxString::FromUTF8("Use chord distribution ➔"));
    m_chordButton->SetToolTip(wxString::FromUTF8(
        "Copy the designed chord distribution to current project. Only available, when no pitch regulation (0 °) "
        "is applied."));
    m_chordButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { useChord(); });
    sizer->Add(m_chordButton, 0, wxEXPAND | wxALL, border);
    addZeroPitchButton(m_chordButton);

    m_exportButton = new wxButton(parent, wxID_ANY, wxString::FromUTF8("Export blade to AeroDyn…"));
    m_exportButton->SetToolTip(
        "Write the designed blade with the project's airfoil tables as AeroDyn v15 input files (blade file, one "
        "airfoil table per airfoil point, the AFNames lines).");
    m_exportButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { exportBlade(); });
    m_exportButton->Enable(static_cast<bool>(m_exporter));
    sizer->Add(m_exportButton, 0, wxEXPAND | wxALL, border);
}

void DesignResultWindow::setBladeExporter(BladeExporter exporter) {
    m_exporter = std::move(exporter);
    if (m_exportButton) m_exportButton->Enable(static_cast<bool>(m_exporter));
}

void DesignResultWindow::exportBlade() {
    if (!m_exporter || selectedPitch() < 0) return;
    const auto& point = points()[static_cast<std::size_t>(selectedPitch())];
    m_exporter(result_series::elementPositions(point), result_series::elementChord(point),
               result_series::elementTwist(point));
}

void DesignResultWindow::useTwist() {
    if (selectedPitch() < 0) return;
    const auto& point = points()[static_cast<std::size_t>(selectedPitch())];
    kvnTwistEvent event(kvnEVT_TRANSFER_DESIGNED_TWIST, result_series::elementPositions(point),
                        result_series::elementTwist(point));
    send(event);
}

void DesignResultWindow::useChord() {
    if (selectedPitch() < 0) return;
    const auto& point = points()[static_cast<std::size_t>(selectedPitch())];
    kvnChordEvent event(kvnEVT_TRANSFER_DESIGNED_CHORD, result_series::elementPositions(point),
                        result_series::elementChord(point));
    send(event);
}
