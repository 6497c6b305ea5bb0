#include "results/window_surface.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "app/file_manager.h"
#include "bemt/Error.h"
#include "results/app_icon.h"
#include "results/chart_book.h"
#include "results/display_heat_map.h"
#include "results/result_rules.h"
#include "results/result_side_column.h"
#include "turbine/RoscoPerformanceFile.h"

namespace {

struct CoefficientText {
    const char* page;
    const char* name;
    const char* axis;
};
constexpr std::array<CoefficientText, 3> kCoefficients{{
    {"Power coefficient Cp", "Power coefficient", "Power coefficient Cp [-]"},
    {"Thrust coefficient Ct", "Thrust coefficient", "Thrust coefficient Ct [-]"},
    {"Torque coefficient Cq", "Torque coefficient", "Torque coefficient Cq [-]"},
}};
const wxString kTsrLabel = wxS("Tip speed ratio λ [-]");
const wxString kPitchLabel = wxS("Pitch angle [°]");
constexpr int kImageWidth = 1200;
constexpr int kImageHeight = 800;

}  // namespace

SurfaceWindow::SurfaceWindow(const std::shared_ptr<ResultWindowList>& windows, bemt::PerformanceSurface surface,
                             const ComputedWith& with, FileManager* files, int serialNumber,
                             const std::string& rotorName)
    : wxFrame(nullptr, wxID_ANY, result_rules::frameTitle(serialNumber, defaultTitle(), wxDateTime::Now())),
      m_membership(windows, this),
      m_surface(std::move(surface)),
      m_files(files),
      m_rotorName(rotorName) {
    SetIcons(korvaneIcons());
    Bind(wxEVT_CLOSE_WINDOW, &SurfaceWindow::onClose, this);
    for (std::size_t j = 0; j < m_surface.pitch.size(); ++j) {
        std::array<std::vector<double>, 3> curves;
        for (int c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < m_surface.tsr.size(); ++i) curves[c].push_back(matrix(c)[i][j]);
        m_curves.push_back(std::move(curves));
    }
    Freeze();
    ResultSideColumn column{with, false, with.conditions};
    column.pitches = m_surface.pitch;
    column.pitchToggled = [this](int index, bool shown) { setPitchShown(index, shown); };
    column.header = [this](wxWindow* parent) {
        m_heatMap = new DisplayHeatMap(parent);
        return m_heatMap;
    };
    column.fillActions = [this](wxWindow* parent, wxSizer* sizer) {
        const int border = FromDIP(3);
        m_negativeBox = new wxCheckBox(parent, wxID_ANY, "Show negative coefficients");
        m_negativeBox->SetToolTip("Takes the negative coefficients (a rotor driven by the wind's brake state, far "
                                  "from operation) into the charts' ranges and the heat map's colour scale.");
        m_negativeBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) { showNegative(event.IsChecked()); });
        sizer->Add(m_negativeBox, 0, wxALL, border);
        m_charts->addActions(parent, sizer, m_files);
        auto* map = new wxButton(parent, wxID_ANY, "Export heat map PNG");
        map->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { exportHeatMap(); });
        sizer->Add(map, 0, wxEXPAND | wxALL, border);
        auto* tables = new wxButton(parent, wxID_ANY, "Export tables for controller tuning");
        tables->SetToolTip("Saves Cp, Ct and Cq over pitch and tip speed ratio in the text layout controller tuning "
                           "tools read.");
        tables->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            try {
                m_files->saveText(this, "Save performance tables", "Text files (*.txt)|*.txt|All files (*)|*",
                                  wxString::FromUTF8("Cp_Ct_Cq." + m_rotorName + ".txt"), tablesText());
            } catch (const bemt::Error& error) {
                showResultError(this, wxString::FromUTF8(error.message()));
            }
        });
        sizer->Add(tables, 0, wxEXPAND | wxALL, border);
    };
    layoutResultWindow(this, column, m_charts, m_pitchBoxes);
    buildCharts();
    m_charts->Bind(wxEVT_CHOICEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        showOnHeatMap(event.GetSelection());
        event.Skip();
    });
    showNegative(false);
    showOnHeatMap(0);
    SetSize(FromDIP(wxSize(1200, 780)));
    SetMinSize(FromDIP(wxSize(640, 420)));
    Thaw();
}

const std::vector<std::vector<double>>& SurfaceWindow::matrix(int coefficient) const {
    return coefficient == 0 ? m_surface.cp : coefficient == 1 ? m_surface.ct : m_surface.cq;
}

void SurfaceWindow::buildCharts() {
    try {
        for (int c = 0; c < 3; ++c) {
            const auto& text = kCoefficients[static_cast<std::size_t>(c)];
            const wxString title = wxString::Format("%s vs tip speed ratio and pitch angle at %.3g m/s", text.name,
                                                    m_surface.wind);
            PlotDisplay* chart = m_charts->addChart(text.page, title, kTsrLabel, text.axis, "");
            for (std::size_t j = 0; j < m_curves.size(); ++j) {
                const int set = chart->addAxis1Set(&m_surface.tsr, &m_curves[j][static_cast<std::size_t>(c)]);
                chart->setAxis1SetLegend(set, result_rules::pitchLegend(m_surface.pitch[j]));
                // More pitch angles than colours: each curve its own colour and line.
                chart->setAxis1SetStyle(set, plotCycleLine(j), false);
            }
            chart->resetRange();
        }
    } catch (const bemt::Error&) {
        showResultError(this, "Error when creating the plots.");
    }
}

void SurfaceWindow::showOnHeatMap(int coefficient) {
    if (coefficient < 0 || coefficient > 2 || !m_heatMap) return;
    const auto& text = kCoefficients[static_cast<std::size_t>(coefficient)];
    m_heatMap->setData(m_surface.tsr, m_surface.pitch, matrix(coefficient),
                       wxString::Format("%s at %.3g m/s", text.page, m_surface.wind), kTsrLabel, kPitchLabel);
}

void SurfaceWindow::showNegative(bool shown) {
    // Coefficients are read from 0 up; below is a rotor braking the wind's way round.
    const std::optional<double> floor = shown ? std::nullopt : std::optional<double>(0.0);
    if (m_negativeBox) m_negativeBox->SetValue(shown);
    m_charts->forEachChart([&floor](PlotDisplay& chart) { chart.setY1Floor(floor); });
    m_heatMap->setScaleFloor(floor);
}

void SurfaceWindow::setPitchShown(int index, bool shown) {
    if (index < 0 || index >= static_cast<int>(m_pitchBoxes.size())) return;
    m_pitchBoxes[static_cast<std::size_t>(index)]->SetValue(shown);
    m_charts->forEachChart([index, shown](PlotDisplay& chart) {
        shown ? chart.showAxis1Set(index) : chart.hideAxis1Set(index);
    });
}

std::string SurfaceWindow::tablesText() const {
    return bemt::RoscoPerformanceFile::text(m_surface, m_rotorName, wxDateTime::Now().FormatISODate().utf8_string());
}

void SurfaceWindow::exportHeatMap() {
    try {
        const wxString path =
            m_files->saveImagePath(this, result_rules::exportFileName(m_heatMap->title() + " heat map", ".png"));
        if (path.empty()) return;
        savePngFile(m_heatMap->getImage(kImageWidth, kImageHeight), path);
    } catch (const bemt::Error& error) {
        showResultError(this, wxString::FromUTF8(error.message()));
    }
}

void SurfaceWindow::onClose(wxCloseEvent& event) {
    m_membership.leave();
    event.Skip();
}
