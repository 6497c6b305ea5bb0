#include "results/window_analyze_airfoils.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cmath>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/PositionPolar.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/display_airfoil_compute_params.h"
#include "results/result_rules.h"

namespace {

constexpr int kSliderSteps = 1000;
const double kSteps[] = {0.5, 1.0, 2.0, 5.0};
constexpr int kDefaultStep = 1;

wxString u8(const char* text) { return wxString::FromUTF8(text); }

// The 2D curves beside the corrected ones: a grey that stays behind them.
const wxString kTwoDColour = "#9a9a9a";

const wxString kPages[] = {"Lift and drag coefficients", "Lift and drag coefficients ratio", "Polar chart"};

}  // namespace

AnalyzeAirfoilsWindow::AnalyzeAirfoilsWindow(const std::shared_ptr<ResultWindowList>& windows,
                                             std::vector<bemt::AirfoilSegment> segments,
                                             std::vector<bemt::ChordPoint> chordPoints,
                                             const bemt::ComputeSettings& compute,
                                             const bemt::OperatingConditions& conditions, FileManager* files,
                                             int serialNumber, std::optional<bemt::StallDelayInput> stallDelay)
    : wxFrame(nullptr, wxID_ANY, result_rules::analyzerTitle(serialNumber, wxDateTime::Now())),
      m_membership(windows, this),
      m_segments(std::move(segments)),
      m_chordPoints(std::move(chordPoints)),
      m_compute(compute),
      m_conditions(conditions),
      m_files(files),
      m_stallDelay(std::move(stallDelay)) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &AnalyzeAirfoilsWindow::onClose, this);
    Freeze();
    auto* root = new wxPanel(this);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);

    m_charts = new ChartBook(root);
    const wxString alphaLabel = u8("Angle of attack α [°]");
    PlotDisplay* liftDrag =
        m_charts->addChart(kPages[0], kPages[0], alphaLabel, "Lift coefficient Cl [-]", "Drag coefficient Cd [-]");
    PlotDisplay* ratio = m_charts->addChart(kPages[1], kPages[1], alphaLabel, "Cl / Cd ratio [-]", "");
    PlotDisplay* polar = m_charts->addChart(kPages[2], kPages[2], "Cd", "Cl", "");
    // The legend's line styles name Cl and Cd; each curve keeps its own colour. With the
    // stall delay on, the 2D curves come first, in grey, so that the corrected ones the
    // computations use are drawn over them where the two agree.
    if (m_stallDelay) {
        const wxString flat = "2D (as given)";
        liftDrag->setPairedLegend(liftDrag->addAxis1Set(&m_alpha, &m_cl2d), liftDrag->addAxis2Set(&m_alpha, &m_cd2d),
                                  flat);
        ratio->setAxis1SetLegend(ratio->addAxis1Set(&m_alpha, &m_ratio2d), flat);
        polar->setAxis1SetLegend(polar->addAxis1Set(&m_cd2d, &m_cl2d), flat);
        m_charts->forEachChart([](PlotDisplay& c) { c.setAxis1SetStyle(0, PlotLine::Solid, false, kTwoDColour); });
    }
    const int liftSet = liftDrag->addAxis1Set(&m_alpha, &m_cl);
    const int dragSet = liftDrag->addAxis2Set(&m_alpha, &m_cd);
    const int ratioSet = ratio->addAxis1Set(&m_alpha, &m_ratio);
    const int polarSet = polar->addAxis1Set(&m_cd, &m_cl);
    if (m_stallDelay) {
        const wxString corrected = "Corrected for stall delay";
        liftDrag->setPairedLegend(liftSet, dragSet, corrected);
        ratio->setAxis1SetLegend(ratioSet, corrected);
        polar->setAxis1SetLegend(polarSet, corrected);
        for (auto [chart, set] : {std::pair{liftDrag, liftSet}, {ratio, ratioSet}, {polar, polarSet}})
            chart->setAxis1SetStyle(set, PlotLine::Solid, false, plotPaletteColour(0));
    }
    m_charts->forEachChart([](PlotDisplay& c) { c.setBandLegends("", "Outside the airfoil data (predicted)"); });
    columns->Add(m_charts, 1, wxEXPAND | wxALL, FromDIP(4));

    auto* side = new wxBoxSizer(wxVERTICAL);
    auto* options = new wxStaticBoxSizer(wxVERTICAL, root, "Options");
    wxWindow* optionsBox = options->GetStaticBox();
    m_positionText = new wxStaticText(optionsBox, wxID_ANY, "x/R");
    options->Add(m_positionText, 0, wxLEFT | wxTOP, FromDIP(4));
    m_slider = new wxSlider(optionsBox, wxID_ANY, 0, 0, kSliderSteps);
    m_slider->Bind(wxEVT_SLIDER, [this](wxCommandEvent&) { refresh(); });
    options->Add(m_slider, 0, wxEXPAND | wxALL, FromDIP(4));
    options->Add(new wxStaticText(optionsBox, wxID_ANY, "Angle of attack resolution"), 0, wxLEFT | wxTOP, FromDIP(4));
    wxArrayString steps;
    for (const char* text : {"0.5 °", "1.0 °", "2.0 °", "5.0 °"}) steps.Add(u8(text));
    m_resolution = new wxChoice(optionsBox, wxID_ANY, wxDefaultPosition, wxDefaultSize, steps);
    m_resolution->SetSelection(kDefaultStep);
    m_resolution->SetToolTip("Choose the angle of attack step size used during plotting.");
    m_resolution->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { refresh(); });
    options->Add(m_resolution, 0, wxEXPAND | wxALL, FromDIP(4));
    side->Add(options, 0, wxEXPAND | wxALL, FromDIP(4));

    auto* reset = new wxButton(root, wxID_ANY, "Reset range");
    reset->SetToolTip("Reset plot ranges.");
    reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_charts->forEachChart([](PlotDisplay& c) { c.resetRange(); }); });
    side->Add(reset, 0, wxEXPAND | wxALL, FromDIP(4));

    auto* actions = new wxStaticBoxSizer(wxVERTICAL, root, "Actions");
    wxWindow* actionsBox = actions->GetStaticBox();
    m_fullRange = new wxCheckBox(actionsBox, wxID_ANY, "Display full angle range");
    m_fullRange->SetToolTip("Includes predicted data for out-of-range angles of attack.");
    m_fullRange->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { refresh(); });
    actions->Add(m_fullRange, 0, wxALL, FromDIP(3));
    m_highlight = new wxCheckBox(actionsBox, wxID_ANY, "Highlight out-of-range values");
    m_highlight->SetToolTip("Highlight angles of attack at which the data was predicted.");
    m_highlight->SetValue(true);
    m_highlight->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { refresh(); });
    actions->Add(m_highlight, 0, wxALL, FromDIP(3));
    auto* png = new wxButton(actionsBox, wxID_ANY, "Export PNG image");
    png->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_charts->exportPng(m_files); });
    actions->Add(png, 0, wxEXPAND | wxALL, FromDIP(3));
    auto* csv = new wxButton(actionsBox, wxID_ANY, "Export CSV data");
    csv->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_charts->exportCsv(m_files); });
    actions->Add(csv, 0, wxEXPAND | wxALL, FromDIP(3));
    side->Add(actions, 0, wxEXPAND | wxALL, FromDIP(4));

    m_params = new DisplayAirfoilComputeParams(root, m_compute, m_conditions, true, m_stallDelay);
    side->Add(m_params, 0, wxEXPAND | wxALL, FromDIP(4));
    columns->Add(side, 0, wxEXPAND);
    root->SetSizer(columns);
    SetSize(FromDIP(wxSize(1150, 720)));
    Thaw();
    refresh();
}

double AnalyzeAirfoilsWindow::position() const {
    const double hub = m_conditions.R > 0.0 ? m_conditions.Rh / m_conditions.R : 0.0;
    return hub + (1.0 - hub) * m_slider->GetValue() / kSliderSteps;
}

wxString AnalyzeAirfoilsWindow::positionLabel() const { return m_positionText->GetLabel(); }

void AnalyzeAirfoilsWindow::setPosition(double x) {
    const double hub = m_conditions.R > 0.0 ? m_conditions.Rh / m_conditions.R : 0.0;
    const double share = 1.0 - hub > 0.0 ? (x - hub) / (1.0 - hub) : 0.0;
    m_slider->SetValue(static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kSliderSteps)));
    refresh();
}

void AnalyzeAirfoilsWindow::setResolution(int choiceIndex) {
    m_resolution->SetSelection(choiceIndex);
    refresh();
}

void AnalyzeAirfoilsWindow::setFullRange(bool full) {
    m_fullRange->SetValue(full);
    refresh();
}

double AnalyzeAirfoilsWindow::step() const {
    const int selection = m_resolution->GetSelection();
    return selection >= 0 && selection < 4 ? kSteps[selection] : kSteps[kDefaultStep];
}

bool AnalyzeAirfoilsWindow::refresh() {
    if (m_segments.empty() || (m_segmentsInUse && *m_segmentsInUse)) return false;
    using namespace bemt;
    const double x = position();
    std::vector<double> alpha, cl, cd, ratio, cl2d, cd2d, ratio2d;
    result_rules::AnalyzerAngles angles;
    double re = 0.0;
    try {
        PositionPolar at(m_segments, m_chordPoints, m_conditions, m_stallDelay, x, m_compute.enable_interpolation);
        re = at.reynolds();
        angles = result_rules::analyzerAngles(at.alphaMinDeg(), at.alphaMaxDeg(), step(), m_fullRange->GetValue());
        auto ratioOf = [](double l, double d) { return d != 0.0 ? l / d : 0.0; };
        for (const PolarSample& p : at.at(angles.angles)) {
            alpha.push_back(p.alphaDeg);
            cl.push_back(p.cl);
            cd.push_back(p.cd);
            ratio.push_back(ratioOf(p.cl, p.cd));
            cl2d.push_back(p.cl2d);
            cd2d.push_back(p.cd2d);
            ratio2d.push_back(ratioOf(p.cl2d, p.cd2d));
        }
    } catch (const bemt::Error& error) {
        showResultError(this, wxString::FromUTF8(error.message()));
        return false;
    }
    // The charts keep pointing at the same vectors.
    m_alpha.swap(alpha);
    m_cl.swap(cl);
    m_cd.swap(cd);
    m_ratio.swap(ratio);
    m_cl2d.swap(cl2d);
    m_cd2d.swap(cd2d);
    m_ratio2d.swap(ratio2d);
    m_reynolds = re;
    m_positionText->SetLabel(wxString::Format("x/R = %.3f", x));

    const PlotRanges bands(angles.outOfRange.begin(), angles.outOfRange.end());
    const auto& charts = m_charts->charts();
    for (std::size_t c = 0; c < charts.size(); ++c) {
        PlotDisplay* chart = charts[c];
        chart->setOorRanges({c < 2 ? bands : PlotRanges{}});
        m_highlight->GetValue() ? chart->showOorRanges() : chart->hideOorRanges();
        chart->setTitle(result_rules::analyzerChartTitle(kPages[c], x, re));
        chart->resetRange();
    }
    return true;
}

void AnalyzeAirfoilsWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();
}
