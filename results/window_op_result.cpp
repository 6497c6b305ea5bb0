#include "results/window_op_result.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include <algorithm>

#include "app/kvp_project.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/display_disc_map.h"
#include "results/display_op_data.h"
#include "results/result_rules.h"
#include "results/result_side_column.h"

using result_series::OpChart;

namespace {

// The best lift-to-drag angle is no pitch angle's curve: dark, dotted, out of the palette.
const wxString kBestAngleColour = "#303030";

}  // namespace

OpResultWindow::OpResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                               std::vector<bemt::pitchControlledOperatingPoint> points,
                               const ComputedWith& with, const bemt::OperatingConditions& projectConditions,
                               FileManager* files, int serialNumber, const wxString& title)
    : OpResultWindow(DeferLayout{}, windows, std::move(points), with, projectConditions, files, serialNumber, title) {
    layoutWindow();
}

OpResultWindow::OpResultWindow(DeferLayout, const std::shared_ptr<ResultWindowList>& windows,
                               std::vector<bemt::pitchControlledOperatingPoint> points,
                               const ComputedWith& with, const bemt::OperatingConditions& projectConditions,
                               FileManager* files, int serialNumber, const wxString& title)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, title, wxDateTime::Now())),
      m_membership(windows, this),
      m_points(std::move(points)),
      m_discMaps(result_series::takeDiscMaps(m_points)),
      m_with(with),
      m_projectConditions(projectConditions),
      m_files(files),
      m_series(result_series::opSeries(m_points)) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &OpResultWindow::onClose, this);
}

void OpResultWindow::layoutWindow() {
    Freeze();
    ResultSideColumn column{m_with, true, m_projectConditions};
    for (const auto& point : m_points) column.pitches.push_back(point.pitch);
    column.pitchToggled = [this](int index, bool shown) { setPitchShown(index, shown); };
    column.fillActions = [this](wxWindow* parent, wxSizer* sizer) { generateActionsMenu(parent, sizer, m_files); };
    column.header = [this](wxWindow* side) { return m_table = new DisplayOpData(side, m_points); };
    layoutResultWindow(this, column, m_charts, m_pitchBoxes);
    buildCharts();
    if (std::any_of(m_discMaps.begin(), m_discMaps.end(), [](const auto& map) { return !map.empty(); })) {
        std::vector<double> pitches;
        for (const auto& point : m_points) pitches.push_back(point.pitch);
        m_discMap = new DisplayDiscMap(m_charts, std::move(m_discMaps), pitches);
        m_charts->addPage(m_discMap, DisplayDiscMap::pageName(), m_discMap);
    }

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
            chart->setAxis1SetStyle(extra, PlotLine::Dotted, false, kBestAngleColour);
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
    const ChartBook::HighlightBoxes highlights = m_charts->addActions(parent, sizer, files);
    m_unconvergedBox = highlights.unconverged;
    m_extrapolatedBox = highlights.extrapolated;


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
    for (std::size_t c = 0; c < m_charts->charts().size(); ++c)
        m_charts->charts()[c]->setTitle(result_rules::opChartTitle(texts[c].base, single >= 0, pitch));
    if (m_discMap && single >= 0) m_discMap->showPitch(single);
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
