#include "results/window_optimisation.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

#include "bemt/Error.h"
#include "bemt/spline.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/result_rules.h"
#include "results/result_side_column.h"

namespace {

constexpr int kBladeSamples = 60;
constexpr int kSummaryWidth = 330;

// The blade as the computations see it (chord linear between its points, twist a natural
// cubic spline) at the positions x.
template <typename Point>
std::vector<double> sampled(const std::vector<Point>& points, double Point::*field, bemt::spline::spline_type kind,
                            const std::vector<double>& x) {
    std::vector<double> px, values;
    for (const Point& p : points) {
        px.push_back(p.x_rel);
        values.push_back(p.*field);
    }
    const bemt::spline curve(px, values, points.size() > 2 ? kind : bemt::spline::linear);
    std::vector<double> at;
    for (const double position : x) at.push_back(curve(position));
    return at;
}

}  // namespace

OptimisationWindow::OptimisationWindow(const std::shared_ptr<ResultWindowList>& windows, OptimisationOutcome outcome,
                                       const ComputedWith& with, FileManager* files, int serialNumber,
                                       std::function<void()> useBlade)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, defaultTitle(), wxDateTime::Now())),
      m_membership(windows, this),
      m_outcome(std::move(outcome)),
      m_files(files),
      m_useBlade(std::move(useBlade)) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &OptimisationWindow::onClose, this);
    buildSeries();
    Freeze();
    ResultSideColumn column{with, false, with.conditions};
    column.header = [this](wxWindow* parent) { return buildSummary(parent); };
    column.fillActions = [this](wxWindow* parent, wxSizer* sizer) {
        m_useButton = new wxButton(parent, wxID_ANY, kUseBlade);
        const bool usable = m_outcome.result.feasible && m_useBlade;
        m_useButton->Enable(usable);
        m_useButton->SetToolTip(usable ? "Puts the optimised chord and twist (and the tip speed ratio when it was "
                                         "varied) into the project, as one step to undo."
                                       : "No blade the optimisation evaluated meets every limit.");
        m_useButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_useBlade(); });
        sizer->Add(m_useButton, 0, wxEXPAND | wxALL, FromDIP(3));
        m_charts->addActions(parent, sizer, m_files);
    };
    layoutChartWindow(this, column, m_charts);
    buildCharts();
    Thaw();
}

void OptimisationWindow::buildSeries() {
    Series& s = m_series;
    const double scale = m_outcome.settings.objective == korvane::OptimisationObjective::AnnualEnergy ? 1e-6 : 1.0;
    for (const auto& record : m_outcome.result.history) {
        s.iteration.push_back(record.iteration);
        s.objective.push_back(record.objective * scale);
        if (!record.feasible) continue;
        s.feasibleIteration.push_back(record.iteration);
        s.feasibleObjective.push_back(record.objective * scale);
    }
    const auto& before = m_outcome.chordBefore;
    const auto& after = m_outcome.result.chord;
    if (!before.empty() && !after.empty()) {
        const double first = std::min(before.front().x_rel, after.front().x_rel);
        const double last = std::max(before.back().x_rel, after.back().x_rel);
        for (int i = 0; i <= kBladeSamples; ++i) s.x.push_back(first + (last - first) * i / kBladeSamples);
        constexpr auto linear = bemt::spline::linear;
        constexpr auto cubic = bemt::spline::cubic;
        s.chordBefore = sampled(before, &bemt::ChordPoint::c_rel, linear, s.x);
        s.chordAfter = sampled(after, &bemt::ChordPoint::c_rel, linear, s.x);
        s.twistBefore = sampled(m_outcome.twistBefore, &bemt::TwistPoint::twist_deg, cubic, s.x);
        s.twistAfter = sampled(m_outcome.result.twist, &bemt::TwistPoint::twist_deg, cubic, s.x);
    }
    const auto& curveBefore = m_outcome.comparison.before.curve.points;
    const auto& curveAfter = m_outcome.comparison.after.curve.points;
    double largest = 0.0;
    for (std::size_t i = 0; i < curveBefore.size() && i < curveAfter.size(); ++i) {
        s.wind.push_back(curveBefore[i].V0);
        s.powerBefore.push_back(curveBefore[i].P);
        s.powerAfter.push_back(curveAfter[i].P);
        largest = std::max({largest, std::fabs(curveBefore[i].P), std::fabs(curveAfter[i].P)});
    }
    s.powerUnit = result_series::scaledUnit(largest);
    for (auto* set : {&s.powerBefore, &s.powerAfter})
        for (double& v : *set) v /= s.powerUnit.factor;
}

void OptimisationWindow::buildCharts() {
    const Series& s = m_series;
    const bool energy = m_outcome.settings.objective == korvane::OptimisationObjective::AnnualEnergy;
    try {
        PlotDisplay* objective =
            m_charts->addChart("Objective", "Objective over the iterations", "Iteration",
                               energy ? wxString("Annual energy [MWh]") : wxString("Cp at the design point [-]"), "");
        objective->setAxis1SetLegend(objective->addAxis1Set(&s.iteration, &s.objective), "Every blade evaluated");
        objective->setAxis1SetLegend(objective->addAxis1Set(&s.feasibleIteration, &s.feasibleObjective),
                                     "Blades within the limits");
        objective->setAxis1SetStyle(1, PlotLine::None, true);

        PlotDisplay* chord = m_charts->addChart("Chord", "Chord before and after", "Relative radius x/R [-]",
                                                "Relative chord c/R [-]", "");
        chord->setAxis1SetLegend(chord->addAxis1Set(&s.x, &s.chordBefore), "Project's blade");
        chord->setAxis1SetLegend(chord->addAxis1Set(&s.x, &s.chordAfter), "Optimised blade");
        chord->forceZeroY(true);

        PlotDisplay* twist = m_charts->addChart("Twist", "Twist before and after", "Relative radius x/R [-]",
                                                wxS("Twist [°]"), "");
        twist->setAxis1SetLegend(twist->addAxis1Set(&s.x, &s.twistBefore), "Project's blade");
        twist->setAxis1SetLegend(twist->addAxis1Set(&s.x, &s.twistAfter), "Optimised blade");

        PlotDisplay* cp = m_charts->addChart("Cp over tip speed ratio", "Power coefficient vs tip speed ratio",
                                             "Tip speed ratio [-]", "Cp [-]", "");
        cp->setAxis1SetLegend(cp->addAxis1Set(&m_outcome.cpBefore.tsr, &m_outcome.cpBefore.cp), "Project's blade");
        cp->setAxis1SetLegend(cp->addAxis1Set(&m_outcome.cpAfter.tsr, &m_outcome.cpAfter.cp), "Optimised blade");

        PlotDisplay* power = m_charts->addChart("Power curve", "Electrical power vs wind velocity",
                                                "Wind velocity [m/s]", "Power P [" + s.powerUnit.prefix + "W]", "");
        power->setAxis1SetLegend(power->addAxis1Set(&s.wind, &s.powerBefore), "Project's blade");
        power->setAxis1SetLegend(power->addAxis1Set(&s.wind, &s.powerAfter), "Optimised blade");
        power->forceZeroY(true);
        m_charts->forEachChart([](PlotDisplay& chart) { chart.resetRange(); });
    } catch (const bemt::Error&) {
        showResultError(this, "Error when creating the plots.");
    }
}

wxString OptimisationWindow::endText() const {
    const auto& r = m_outcome.result;
    const wxString counts = wxString::Format("%d evaluations, %zu iterations (%s)", r.evaluations, r.history.size(),
                                             wxString::FromUTF8(r.method));
    switch (r.end) {
        case korvane::optimise::OptimisationEnd::Stopped:
            return "Stopped after " + counts + ": the best blade within the limits found so far.";
        case korvane::optimise::OptimisationEnd::BudgetSpent:
            return "Budget spent after " + counts + ".";
        case korvane::optimise::OptimisationEnd::NoProgress:
            return "No further progress after " + counts + ".";
        case korvane::optimise::OptimisationEnd::Converged:
            break;
    }
    return "Converged after " + counts + ".";
}

wxWindow* OptimisationWindow::buildSummary(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const int border = FromDIP(3);
    const auto& r = m_outcome.result;
    m_endLabel = new wxStaticText(panel, wxID_ANY, endText());
    m_endLabel->SetFont(m_endLabel->GetFont().Bold());
    m_endLabel->Wrap(FromDIP(kSummaryWidth));
    sizer->Add(m_endLabel, 0, wxALL, border);
    wxString details = "Objective: " + wxString::FromUTF8(korvane::optimise::objectiveText(m_outcome.settings,
                                                                                           m_outcome.turbine)) +
                       ".\nActive limits: " + wxString::FromUTF8(korvane::optimise::activeLimitsText(r)) + ".";
    if (!std::isnan(r.thrustLimit)) details += wxString::Format("\nThrust limit %.2f kN.", r.thrustLimit * 1e-3);
    if (!std::isnan(r.rootMomentLimit))
        details += wxString::Format("\nRoot moment limit %.1f kN m.", r.rootMomentLimit * 1e-3);
    if (const std::string loss = korvane::optimise::lossText(m_outcome.comparison, m_outcome.settings,
                                                             m_outcome.turbine);
        r.feasible && !loss.empty())
        details += "\n" + wxString::FromUTF8(loss) + " Keep the project's blade unless it breaks a limit.";
    if (!r.feasible)
        details += "\n" + wxString::FromUTF8(korvane::optimise::infeasibility(r)) +
                   ": relax the limits or give a larger budget.";
    auto* detailLabel = new wxStaticText(panel, wxID_ANY, details);
    detailLabel->Wrap(FromDIP(kSummaryWidth));
    sizer->Add(detailLabel, 0, wxALL, border);

    m_table = new wxListCtrl(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
    const wxString headers[] = {"", "Before", "After", "Change"};
    m_table->AppendColumn(headers[0], wxLIST_FORMAT_LEFT);
    for (int c = 1; c < 4; ++c) m_table->AppendColumn(headers[c], wxLIST_FORMAT_RIGHT);
    for (const auto& row : korvane::optimise::comparisonRows(m_outcome.comparison)) {
        const long item = m_table->InsertItem(m_table->GetItemCount(), wxString::FromUTF8(row.label));
        m_table->SetItem(item, 1, wxString::Format("%.*f", row.decimals, row.before));
        m_table->SetItem(item, 2, wxString::Format("%.*f", row.decimals, row.after));
        const double change = row.changePercent();
        m_table->SetItem(item, 3, std::isnan(change) ? wxString() : wxString::Format("%+.2f %%", change));
    }
    // Every column as wide as its text, and the table as tall as its rows.
    const int width = fitColumnsToText(m_table);
    const int rowHeight = m_table->GetCharHeight() + FromDIP(8);
    m_table->SetMinSize(wxSize(width, rowHeight * (m_table->GetItemCount() + 1) + FromDIP(8)));
    sizer->Add(m_table, 0, wxEXPAND | wxALL, border);
    panel->SetSizer(sizer);
    return panel;
}

void OptimisationWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();
}
