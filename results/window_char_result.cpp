#include "results/window_char_result.h"

#include <wx/checkbox.h>
#include <wx/choicebk.h>
#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include <new>

#include "app/kvp_project.h"
#include "bemt/BEMTTools.h"
#include "bemt/Error.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/error_box.h"
#include "results/result_rules.h"
#include "results/result_side_column.h"
#include "results/result_window_frame.h"
#include "results/window_op_result.h"

using result_series::CharChart;

CharResultWindow::CharResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                                   std::vector<bemt::pitchControlledCharacteristicElement> results,
                                   bemt::InputDataSet rotor, const ComputedWith& with,
                                   const bemt::OperatingConditions& projectConditions, FileManager* files,
                                   int serialNumber, const wxString& title)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, title, wxDateTime::Now())),
      m_membership(windows, this),
      m_results(std::move(results)),
      m_rotor(std::move(rotor)),
      m_with(with),
      m_projectConditions(projectConditions),
      m_files(files),
      m_series(result_series::charSeries(m_results, with.compute.range_type)),
      m_shown(m_series.pitches.size(), true) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &CharResultWindow::onClose, this);
    for (std::size_t k = 0; k < m_results.size(); ++k) m_clickActions.emplace_back([this, k] { openOperatingPoint(k); });

    Freeze();
    ResultSideColumn column{m_with, false, m_projectConditions};
    for (const auto& curves : m_series.pitches) column.pitches.push_back(curves.pitch);
    column.pitchToggled = [this](int index, bool shown) { setPitchShown(index, shown); };
    column.fillActions = [this](wxWindow* parent, wxSizer* sizer) { generateActionsMenu(parent, sizer, m_files); };
    layoutResultWindow(this, column, m_charts, m_pitchBoxes);
    buildCharts();
    updateTitles();
    updateForceZeroBox();
    SetSize(FromDIP(wxSize(1200, 780)));
    Thaw();
}

void CharResultWindow::buildCharts() {
    const auto& texts = result_series::charCharts();
    const bemt::ComputeRangeType type = m_with.compute.range_type;
    // One sector: the blades see the same inflow all round, and the largest root moment is the mean.
    const int charts = m_rotor.rotor.sectorCount() > 1 ? result_series::CharChartCount : result_series::RootMomentMax;
    try {
        for (int c = 0; c < charts; ++c) {
            const auto& text = texts[static_cast<std::size_t>(c)];
            PlotDisplay* chart = m_charts->addChart(text.page, text.base, result_series::sweptLabel(type),
                                                    m_series.y1Labels[static_cast<std::size_t>(c)], "");
            std::vector<PlotRanges> unconverged, outOfRange;
            for (const auto& curves : m_series.pitches) {
                const int set = chart->addAxis1Set(&m_series.swept, &curves.y[static_cast<std::size_t>(c)]);
                chart->setAxis1SetLegend(set, result_rules::pitchLegend(curves.pitch));
                unconverged.push_back(curves.unconverged);
                outOfRange.push_back(curves.outOfRange);
            }
            chart->setUnconvergedRanges(unconverged);
            chart->setOorRanges(outOfRange);
            // Over the tip speed ratio the wind velocity of every point stays in the data.
            if (type == bemt::tipSpeedRatio) chart->addCsvColumn(result_series::windLabel(), &m_series.wind);
            if (text.absolute) {
                chart->forceZeroY(true);
                chart->setClickAction(&m_series.swept, &m_clickActions);
                chart->enableClickAction(true);
            }
            chart->resetRange();
        }
    } catch (const bemt::Error&) {
        showResultError(this, "Error when creating the plots.");
    }
    m_charts->Bind(wxEVT_CHOICEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        event.Skip();
        updateForceZeroBox();
    });
}

void CharResultWindow::generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files) {
    const int border = FromDIP(3);
    m_forceZeroBox = new wxCheckBox(parent, wxID_ANY, "Force zero y axes limit");
    m_forceZeroBox->SetToolTip("Sets the lowest value on the y axes to zero.");
    m_forceZeroBox->SetValue(true);
    m_forceZeroBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        const auto& texts = result_series::charCharts();
        for (std::size_t c = 0; c < m_charts->charts().size(); ++c)
            if (texts[c].absolute) m_charts->charts()[c]->forceZeroY(event.IsChecked());
    });
    sizer->Add(m_forceZeroBox, 0, wxALL, border);

    m_charts->addActions(parent, sizer, files);
}

bool CharResultWindow::forceZeroMatters() const {
    const PlotDisplay* chart = m_charts ? m_charts->currentChart() : nullptr;
    if (!chart) return false;
    const auto page = static_cast<std::size_t>(m_charts->GetSelection());
    if (!result_series::charCharts()[page].absolute) return false;
    // Data on both sides of zero show zero anyway.
    const PlotAxis& y = chart->y1Axis();
    return y.hasData() && (y.dataMin > 0.0 || y.dataMax < 0.0);
}

void CharResultWindow::updateForceZeroBox() {
    if (!m_forceZeroBox) return;
    const bool show = forceZeroMatters();
    if (m_forceZeroBox->IsShown() == show) return;
    m_forceZeroBox->Show(show);
    if (wxWindow* column = m_forceZeroBox->GetGrandParent()) column->Layout();
}

int CharResultWindow::singleShown() const { return result_rules::singleShown(m_shown); }

void CharResultWindow::setPitchShown(int index, bool shown) {
    if (index < 0 || index >= static_cast<int>(m_shown.size())) return;
    Freeze();
    m_shown[static_cast<std::size_t>(index)] = shown;
    m_pitchBoxes[static_cast<std::size_t>(index)]->SetValue(shown);
    m_charts->forEachChart([index, shown](PlotDisplay& c) {
        if (shown) {
            c.showAxis1Set(index);
            c.showUnconvergedRange(index);
            c.showOorRange(index);
        } else {
            c.hideAxis1Set(index);
            c.hideUnconvergedRange(index);
            c.hideOorRange(index);
        }
    });
    updateTitles();
    updateForceZeroBox();
    Thaw();
}

void CharResultWindow::updateTitles() {
    const int single = singleShown();
    const double pitch = single >= 0 ? m_series.pitches[static_cast<std::size_t>(single)].pitch : 0.0;
    const auto& texts = result_series::charCharts();
    const wxString variable = result_series::sweptName(m_with.compute.range_type);
    for (std::size_t c = 0; c < m_charts->charts().size(); ++c)
        m_charts->charts()[c]->setTitle(result_rules::charChartTitle(texts[c].base, variable, single >= 0, pitch));
}

OpResultWindow* CharResultWindow::openOperatingPoint(std::size_t step) {
    if (step >= m_results.size()) return nullptr;
    const auto& element = m_results[step];
    // The same analysis as the sweep's, so the totals agree to the last digit.
    std::vector<bemt::pitchControlledOperatingPoint> points;
    try {
        const wxBusyCursor busy;
        bemt::InputDataSet data = m_rotor;
        data.conditions = element.conditions;
        bemt::BEMTTools tools(data.settings.solver);
        for (const auto& p : element.points)
            points.push_back({p.pitch, tools.analyzeOp(data, [](int, const std::string&) {}, p.pitch)});
    } catch (const bemt::Error& error) {
        showErrorBox(this, wxString::FromUTF8(error.message()));
        return nullptr;
    } catch (const std::bad_alloc&) {
        showErrorBox(this, "There is not enough memory for the operating point of this step.");
        return nullptr;
    }
    ComputedWith with = m_with;
    with.conditions = element.conditions;
    auto* window =
        new OpResultWindow(m_membership.list(), std::move(points), with, m_projectConditions, m_files, ++m_opCounter);
    // The twist request of that window reaches whoever receives this window's requests.
    window->Bind(kvnEVT_OPTIMIZE_TWIST, [self = wxWeakRef<CharResultWindow>(this)](kvnTwistEvent& event) {
        if (!self) return;
        kvnTwistEvent forwarded(event);
        forwarded.SetEventObject(self.get());
        self->GetEventHandler()->ProcessEvent(forwarded);
    });
    showResultWindow(window);
    return window;
}

void CharResultWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();
}
