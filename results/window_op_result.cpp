#include "results/window_op_result.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choicebk.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/wrapsizer.h>

#include "app/kvp_project.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/display_airfoil_compute_params.h"
#include "results/display_compute_params.h"
#include "results/display_op_data.h"
#include "results/result_rules.h"

using result_series::OpChart;

OpResultWindow::OpResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                               std::vector<bemt::pitchControlledOperatingPoint> points,
                               const bemt::ComputeSettings& compute, const bemt::SolverSettings& solver,
                               const bemt::OperatingConditions& computed,
                               const bemt::OperatingConditions& projectConditions, FileManager* files,
                               int serialNumber, const wxString& title)
    : OpResultWindow(DeferLayout{}, windows, std::move(points), compute, solver, computed, projectConditions, files,
                     serialNumber, title) {
    layoutWindow();
}

OpResultWindow::OpResultWindow(DeferLayout, const std::shared_ptr<ResultWindowList>& windows,
                               std::vector<bemt::pitchControlledOperatingPoint> points,
                               const bemt::ComputeSettings& compute, const bemt::SolverSettings& solver,
                               const bemt::OperatingConditions& computed,
                               const bemt::OperatingConditions& projectConditions, FileManager* files,
                               int serialNumber, const wxString& title)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, title, wxDateTime::Now())),
      m_membership(windows, this),
      m_points(std::move(points)),
      m_compute(compute),
      m_solver(solver),
      m_computed(computed),
      m_projectConditions(projectConditions),
      m_files(files),
      m_series(result_series::opSeries(m_points)) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &OpResultWindow::onClose, this);
}

void OpResultWindow::layoutWindow() {
    Freeze();
    auto* root = new wxPanel(this);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);

    m_charts = new ChartBook(root);
    buildCharts();
    columns->Add(m_charts, 1, wxEXPAND | wxALL, FromDIP(4));

    auto* side = new wxScrolledWindow(root, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
    side->SetScrollRate(0, FromDIP(10));
    auto* sideSizer = new wxBoxSizer(wxVERTICAL);

    m_table = new DisplayOpData(side, m_points);
    sideSizer->Add(m_table, 0, wxEXPAND | wxALL, FromDIP(2));

    auto* pitchBox = new wxStaticBoxSizer(wxVERTICAL, side, "Show data for pitch angles");
    auto* pitchWrap = new wxWrapSizer(wxHORIZONTAL);
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        auto* box = new wxCheckBox(pitchBox->GetStaticBox(), wxID_ANY, result_rules::pitchLegend(m_points[i].pitch));
        box->SetValue(true);
        const int index = static_cast<int>(i);
        box->Bind(wxEVT_CHECKBOX, [this, index](wxCommandEvent& event) { setPitchShown(index, event.IsChecked()); });
        pitchWrap->Add(box, 0, wxALL, FromDIP(3));
        m_pitchBoxes.push_back(box);
    }
    pitchBox->Add(pitchWrap, 0, wxEXPAND);
    sideSizer->Add(pitchBox, 0, wxEXPAND | wxALL, FromDIP(4));

    auto* reset = new wxButton(side, wxID_ANY, "Reset range");
    reset->SetToolTip("Reset plot ranges.");
    reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_charts->forEachChart([](PlotDisplay& c) { c.resetRange(); }); });
    sideSizer->Add(reset, 0, wxEXPAND | wxALL, FromDIP(4));

    auto* actions = new wxStaticBoxSizer(wxVERTICAL, side, "Actions");
    generateActionsMenu(actions->GetStaticBox(), actions, m_files);
    sideSizer->Add(actions, 0, wxEXPAND | wxALL, FromDIP(4));

    // A choice of pages fits the narrow column where notebook tabs would not.
    auto* params = new wxChoicebook(side, wxID_ANY);
    params->AddPage(new DisplayComputeParams(params, m_solver, m_computed, false, true), "Computing parameters");
    params->AddPage(new DisplayAirfoilComputeParams(params, m_compute, m_projectConditions, false),
                    "Airfoils processing parameters");
    sideSizer->Add(params, 0, wxEXPAND | wxALL, FromDIP(4));

    side->SetSizer(sideSizer);
    side->FitInside();
    columns->Add(side, 0, wxEXPAND);
    side->SetMinSize(wxSize(sideSizer->GetMinSize().GetWidth() + FromDIP(20), -1));
    root->SetSizer(columns);

    updateTitles();
    SetSize(FromDIP(wxSize(1250, 820)));
    Thaw();
}

void OpResultWindow::buildCharts() {
    const auto& texts = result_series::opCharts();
    const std::size_t pitches = m_points.size();
    for (int c = 0; c < result_series::OpChartCount; ++c) {
        const auto& text = texts[static_cast<std::size_t>(c)];
        PlotDisplay* chart = m_charts->addChart(text.page, text.base, text.x, text.y1, text.y2, c == OpChart::Reynolds);
        std::vector<PlotRanges> unconverged, outOfRange;
        for (std::size_t i = 0; i < pitches; ++i) {
            const auto& curves = m_series.pitches[i];
            const int a = chart->addAxis1Set(&m_series.x, &curves.y1[static_cast<std::size_t>(c)]);
            const int b = chart->addAxis2Set(&m_series.x, &curves.y2[static_cast<std::size_t>(c)]);
            chart->setPairedLegend(a, b, result_rules::pitchLegend(m_points[i].pitch));
            unconverged.push_back(curves.unconverged);
            outOfRange.push_back(curves.outOfRange);
        }
        if (c == OpChart::Angles && pitches > 0) {
            const int extra = chart->addAxis1Set(&m_series.x, &m_series.bestAlpha);
            chart->setAxis1SetLegend(extra, result_series::bestAngleLegend());
            unconverged.emplace_back();
            outOfRange.emplace_back();
        }
        chart->setUnconvergedRanges(unconverged);
        chart->setOorRanges(outOfRange);
        chart->resetRange();
    }
}

void OpResultWindow::generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files) {
    const int border = FromDIP(3);
    m_unconvergedBox = new wxCheckBox(parent, wxID_ANY, "Highlight unconverged ranges");
    m_unconvergedBox->SetToolTip(
        "Highlights the ranges in the plots in which any converged result has not been obtained.");
    m_unconvergedBox->SetValue(true);
    m_unconvergedBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        const bool show = event.IsChecked();
        m_charts->forEachChart([show](PlotDisplay& c) { show ? c.showUnconvergedRanges() : c.hideUnconvergedRanges(); });
    });
    sizer->Add(m_unconvergedBox, 0, wxALL, border);

    m_extrapolatedBox = new wxCheckBox(parent, wxID_ANY, "Highlight extrapolated ranges");
    m_extrapolatedBox->SetToolTip(
        "Highlights the ranges in the plots in which the angle of attack is too large and lift and drag "
        "coefficients have been extrapolated.");
    m_extrapolatedBox->SetValue(true);
    m_extrapolatedBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        const bool show = event.IsChecked();
        m_charts->forEachChart([show](PlotDisplay& c) { show ? c.showOorRanges() : c.hideOorRanges(); });
    });
    sizer->Add(m_extrapolatedBox, 0, wxALL, border);

    auto* png = new wxButton(parent, wxID_ANY, "Export PNG image");
    png->Bind(wxEVT_BUTTON, [this, files](wxCommandEvent&) { m_charts->exportPng(files); });
    sizer->Add(png, 0, wxEXPAND | wxALL, border);
    auto* csv = new wxButton(parent, wxID_ANY, "Export CSV data");
    csv->Bind(wxEVT_BUTTON, [this, files](wxCommandEvent&) { m_charts->exportCsv(files); });
    sizer->Add(csv, 0, wxEXPAND | wxALL, border);

    m_optimizeButton = new wxButton(parent, wxID_ANY, wxString::FromUTF8("Optimize twist distribution ➔"));
    m_optimizeButton->SetToolTip(wxString::FromUTF8(
        "Adapt the twist distribution to match the maximum lift to drag coefficients ratio in current project. "
        "Only available, when no pitch regulation (0 °) is applied."));
    m_optimizeButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { optimizeTwist(); });
    sizer->Add(m_optimizeButton, 0, wxEXPAND | wxALL, border);
    addZeroPitchButton(m_optimizeButton);
}

void OpResultWindow::addZeroPitchButton(wxButton* button) { m_zeroPitchButtons.push_back(button); }

void OpResultWindow::disableZeroPitchButtons() {
    for (wxButton* button : m_zeroPitchButtons) button->Disable();
}

void OpResultWindow::enableZeroPitchButtons() {
    for (wxButton* button : m_zeroPitchButtons) button->Enable();
}

void OpResultWindow::setPitchShown(int index, bool shown) {
    if (index < 0 || index >= static_cast<int>(m_points.size())) return;
    Freeze();
    if (index < static_cast<int>(m_pitchBoxes.size())) m_pitchBoxes[static_cast<std::size_t>(index)]->SetValue(shown);
    m_charts->forEachChart([index, shown](PlotDisplay& c) {
        if (shown) {
            c.showAxis1Set(index);
            c.showAxis2Set(index);
            c.showUnconvergedRange(index);
            c.showOorRange(index);
        } else {
            c.hideAxis1Set(index);
            c.hideAxis2Set(index);
            c.hideUnconvergedRange(index);
            c.hideOorRange(index);
        }
    });
    shown ? m_table->showPoint(index) : m_table->hidePoint(index);
    updateTitles();
    Thaw();
}

void OpResultWindow::updateTitles() {
    const int single = m_table->singleShown();
    const double pitch = single >= 0 ? m_points[static_cast<std::size_t>(single)].pitch : 0.0;
    const auto& texts = result_series::opCharts();
    for (std::size_t c = 0; c < m_charts->charts().size(); ++c) {
        PlotDisplay* chart = m_charts->charts()[c];
        chart->setTitle(result_rules::opChartTitle(texts[c].base, single >= 0, pitch));
        single >= 0 ? chart->hideLegend() : chart->showLegend();
    }
    m_selectedPitch = single >= 0 && pitch == 0.0 ? single : -1;
    m_selectedPitch >= 0 ? enableZeroPitchButtons() : disableZeroPitchButtons();
}

void OpResultWindow::optimizeTwist() {
    if (m_selectedPitch < 0) return;
    const auto& point = m_points[static_cast<std::size_t>(m_selectedPitch)];
    kvnTwistEvent event(kvnEVT_OPTIMIZE_TWIST, result_series::elementPositions(point),
                        result_series::optimizedTwist(point));
    send(event);
}

void OpResultWindow::send(wxEvent& event) {
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void OpResultWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();  // the default handling destroys the window
}
