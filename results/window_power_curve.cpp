#include "results/window_power_curve.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "app/edit_section.h"
#include "app/file_manager.h"
#include "bemt/Error.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/result_rules.h"
#include "results/result_side_column.h"
#include "turbine/TurbineTables.h"

namespace {

const wxString kWind = "Wind velocity [m/s]";
// Computed rows have a point this far either side of them flagged when alone.
constexpr double kLoneHalfWidth = 0.25;

}  // namespace

PowerCurveWindow::PowerCurveWindow(const std::shared_ptr<ResultWindowList>& windows, bemt::PowerCurve curve,
                                   bemt::TurbineSettings settings, std::vector<bemt::AnnualEnergy> energy,
                                   const ComputedWith& with, FileManager* files, int serialNumber)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, defaultTitle(), wxDateTime::Now())),
      m_membership(windows, this),
      m_curve(std::move(curve)),
      m_settings(std::move(settings)),
      m_energy(std::move(energy)),
      m_files(files),
      m_sectors(with.rotor.sectorCount() > 1) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &PowerCurveWindow::onClose, this);
    buildSeries();
    Freeze();
    ResultSideColumn column{with, false, with.conditions};
    column.header = [this](wxWindow* parent) { return buildSummary(parent); };
    column.fillActions = [this](wxWindow* parent, wxSizer* sizer) {
        m_charts->addActions(parent, sizer, m_files);
        auto* table = m_tableButton = new wxButton(parent, wxID_ANY, "Export power curve table");
        table->SetToolTip("Saves every row of the power curve and the annual energy as CSV data.");
        table->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            try {
                m_files->saveCSV(this, "power_curve.csv", wxString::FromUTF8(tableCsv()));
            } catch (const bemt::Error& error) {
                showResultError(this, wxString::FromUTF8(error.message()));
            }
        });
        sizer->Add(table, 0, wxEXPAND | wxALL, FromDIP(3));
    };
    layoutChartWindow(this, column, m_charts);
    buildCharts();
    Thaw();
}

void PowerCurveWindow::buildSeries() {
    Series& s = m_series;
    for (const bemt::PowerCurvePoint& p : m_curve.points) {
        s.windAll.push_back(p.V0);
        s.P.push_back(p.P);
        s.P_aero.push_back(p.P_aero);
        if (!p.computed) continue;
        s.wind.push_back(p.V0);
        s.rpm.push_back(p.rpm);
        s.pitch.push_back(p.pitch);
        s.T.push_back(p.T);
        s.Q.push_back(p.Q);
        s.Cp.push_back(p.Cp);
        s.Ct.push_back(p.Ct);
        s.M.push_back(p.M_root);
        s.M_max.push_back(p.M_root_max);
        s.unconverged.push_back(!p.converged);
        s.extrapolated.push_back(p.extrapolated);
        s.overRated.push_back(p.over_rated);
    }
    if (!s.windAll.empty()) {
        s.ratedWind = {s.windAll.front(), s.windAll.back()};
        s.rated = {m_settings.rated_power, m_settings.rated_power};
    }
    const auto largest = [](std::initializer_list<const std::vector<double>*> sets) {
        double m = 0.0;
        for (const auto* set : sets)
            for (double v : *set)
                if (std::isfinite(v)) m = std::max(m, std::fabs(v));
        return m;
    };
    const auto scale = [](std::vector<double>& values, const result_series::ScaledUnit& unit) {
        for (double& v : values) v /= unit.factor;
    };
    s.powerUnit = result_series::scaledUnit(largest({&s.P, &s.P_aero, &s.rated}));
    s.thrustUnit = result_series::scaledUnit(largest({&s.T}));
    s.torqueUnit = result_series::scaledUnit(largest({&s.Q}));
    s.momentUnit = result_series::scaledUnit(largest({&s.M, &s.M_max}));
    for (auto* set : {&s.P, &s.P_aero, &s.rated}) scale(*set, s.powerUnit);
    scale(s.T, s.thrustUnit);
    scale(s.Q, s.torqueUnit);
    scale(s.M, s.momentUnit);
    scale(s.M_max, s.momentUnit);
}

void PowerCurveWindow::buildCharts() {
    const Series& s = m_series;
    PlotRanges unconverged, extrapolated;
    for (const auto& [a, b] : result_rules::flaggedIntervals(s.wind, s.unconverged, kLoneHalfWidth))
        unconverged.emplace_back(a, b);
    for (const auto& [a, b] : result_rules::flaggedIntervals(s.wind, s.extrapolated, kLoneHalfWidth))
        extrapolated.emplace_back(a, b);
    try {
        PlotDisplay* power = m_charts->addChart("Power", "Power curve", kWind,
                                                "Power P [" + s.powerUnit.prefix + "W]", "");
        power->setAxis1SetLegend(power->addAxis1Set(&s.windAll, &s.P), "Electrical power P");
        power->setAxis1SetLegend(power->addAxis1Set(&s.windAll, &s.P_aero), "Rotor power P_aero");
        if (!s.rated.empty()) power->setAxis1SetLegend(power->addAxis1Set(&s.ratedWind, &s.rated), "Rated power");
        power->forceZeroY(true);
        PlotRanges overRated;
        for (const auto& [a, b] : result_rules::flaggedIntervals(s.wind, s.overRated, kLoneHalfWidth))
            overRated.emplace_back(a, b);
        power->setNoteRanges(overRated, "Over rated power at fixed pitch");

        PlotDisplay* control =
            m_charts->addChart("Rotor speed and pitch", "Rotor speed and pitch angle vs wind velocity", kWind,
                               "Rotor speed [rpm]", wxS("Pitch angle [°]"));
        control->setAxis1SetLegend(control->addAxis1Set(&s.wind, &s.rpm), "Rotor speed");
        control->setAxis2SetLegend(control->addAxis2Set(&s.wind, &s.pitch), "Pitch angle");
        control->forceZeroY(true);

        PlotDisplay* loads = m_charts->addChart("Thrust and torque", "Rotor thrust and torque vs wind velocity", kWind,
                                                "Thrust T [" + s.thrustUnit.prefix + "N]",
                                                "Torque Q [" + s.torqueUnit.prefix + "N m]");
        loads->setAxis1SetLegend(loads->addAxis1Set(&s.wind, &s.T), "Thrust");
        loads->setAxis2SetLegend(loads->addAxis2Set(&s.wind, &s.Q), "Torque");
        loads->forceZeroY(true);

        PlotDisplay* coefficients =
            m_charts->addChart("Power and thrust coefficients", "Power and thrust coefficients vs wind velocity",
                               kWind, "Coefficient [-]", "");
        coefficients->setAxis1SetLegend(coefficients->addAxis1Set(&s.wind, &s.Cp), "Cp");
        coefficients->setAxis1SetLegend(coefficients->addAxis1Set(&s.wind, &s.Ct), "Ct");

        PlotDisplay* moment = m_charts->addChart("Root bending moment",
                                                 "Blade root flapwise bending moment vs wind velocity", kWind,
                                                 "Root bending moment [" + s.momentUnit.prefix + "N m]", "");
        moment->setAxis1SetLegend(moment->addAxis1Set(&s.wind, &s.M), "M_root (mean over the azimuth)");
        if (m_sectors)
            moment->setAxis1SetLegend(moment->addAxis1Set(&s.wind, &s.M_max), "M_root_max (largest over the azimuth)");
        moment->setSingleCurveLegend(true);
        moment->forceZeroY(true);

        m_charts->forEachChart([&](PlotDisplay& chart) {
            // Every set of a chart shares the bands of the computed rows.
            const std::size_t sets = chart.axis1Sets().size();
            chart.setUnconvergedRanges(std::vector<PlotRanges>(sets, unconverged));
            chart.setOorRanges(std::vector<PlotRanges>(sets, extrapolated));
            chart.resetRange();
        });
    } catch (const bemt::Error&) {
        showResultError(this, "Error when creating the plots.");
    }
}

wxWindow* PowerCurveWindow::buildSummary(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const double ratedWind = m_curve.ratedWindSpeed;
    const wxString ratedText = std::isnan(ratedWind) ? wxString("Rated power is not reached on these wind speeds.")
                                                     : wxString::Format("Rated wind speed: %.2f m/s", ratedWind);
    auto* ratedLabel = new wxStaticText(panel, wxID_ANY, ratedText);
    ratedLabel->SetFont(ratedLabel->GetFont().Bold());
    sizer->Add(ratedLabel, 0, wxALL, FromDIP(3));
    const NumberWithUnit rated = formatNumberUnits(m_settings.rated_power, "W", true);
    sizer->Add(new wxStaticText(panel, wxID_ANY,
                                wxString::Format("Rated power %s %s, tip speed ratio %.3f%s", rated.number, rated.unit,
                                                 m_curve.tsrTarget, m_settings.automaticTsr() ? " (best Cp)" : "")),
               0, wxALL, FromDIP(3));

    const auto overRated = std::find_if(m_curve.points.begin(), m_curve.points.end(),
                                        [](const bemt::PowerCurvePoint& p) { return p.over_rated; });
    if (overRated != m_curve.points.end()) {
        m_overRatedLabel = new wxStaticText(
            panel, wxID_ANY,
            wxString::Format("From %.4g m/s the rotor gives more than rated power at fixed pitch: a stall-regulated "
                             "blade must stall there. The annual energy counts rated power there.",
                             overRated->V0));
        m_overRatedLabel->Wrap(FromDIP(330));
        sizer->Add(m_overRatedLabel, 0, wxALL, FromDIP(3));
    }

    m_energyTable = new wxListCtrl(panel, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(-1, 110)),
                                   wxLC_REPORT | wxLC_SINGLE_SEL);
    const wxString headers[] = {"Wind climate", "AEP [MWh]", "Capacity factor"};
    m_energyTable->AppendColumn(headers[0], wxLIST_FORMAT_LEFT);
    m_energyTable->AppendColumn(headers[1], wxLIST_FORMAT_RIGHT);
    m_energyTable->AppendColumn(headers[2], wxLIST_FORMAT_RIGHT);
    for (const bemt::AnnualEnergy& e : m_energy) {
        const long row = m_energyTable->InsertItem(m_energyTable->GetItemCount(), wxString::FromUTF8(e.climate.name));
        m_energyTable->SetItem(row, 1, wxString::Format("%.1f", e.megawattHours()));
        m_energyTable->SetItem(row, 2, wxString::Format("%.3f", e.capacityFactor));
    }
    // The table as wide as its columns.
    const int tableWidth = fitColumnsToText(m_energyTable);
    m_energyTable->SetMinSize(wxSize(tableWidth, FromDIP(110)));
    m_energyTable->SetToolTip(wxString::Format(
        "Annual energy: 8760 h x availability (%.3g) x the power of each wind speed, at most the rated power, "
        "weighted by the probability of its bin in the Weibull climate.",
        m_settings.availability));
    sizer->Add(m_energyTable, 0, wxEXPAND | wxALL, FromDIP(3));
    panel->SetSizer(sizer);
    return panel;
}

std::string PowerCurveWindow::tableCsv() const {
    return bemt::TurbineTables::powerCurveCsv(m_curve) + "\n" + bemt::TurbineTables::annualEnergyCsv(m_energy);
}

void PowerCurveWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();
}
