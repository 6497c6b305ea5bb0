#include "results/chart_book.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/mstream.h>
#include <wx/sizer.h>

#include <string>

#include "app/file_manager.h"
#include "bemt/Error.h"
#include "project/file_writer.h"
#include "results/error_box.h"
#include "results/result_rules.h"

namespace {

constexpr int kExportWidth = 1200;
constexpr int kExportHeight = 800;

wxString localText(const std::string& text) {
    wxString converted(text.c_str(), wxConvLibc);
    if (converted.empty() && !text.empty()) converted = wxString::FromUTF8(text.c_str());
    return converted;
}

}  // namespace

void showResultError(wxWindow* parent, const wxString& message) {
    showErrorBox(parent, message);
}

void savePngFile(const wxBitmap& image, const wxString& path) {
    wxMemoryOutputStream png;
    {
        const wxLogNull quiet;  // the failure is reported by the caller, not by the toolkit's log
        if (!image.ConvertToImage().SaveFile(png, wxBITMAP_TYPE_PNG))
            throw bemt::Error("The file " + path.utf8_string() +
                              " could not be written: the image could not be encoded.");
    }
    const wxStreamBuffer& buffer = *png.GetOutputStreamBuffer();
    korvane::writeTextFile(path.utf8_string(),
                           std::string_view(static_cast<const char*>(buffer.GetBufferStart()), png.GetSize()));
}

ChartBook::ChartBook(wxWindow* parent) : wxChoicebook(parent, wxID_ANY) {}

PlotDisplay* ChartBook::addChart(const wxString& page, const wxString& title, const wxString& xLabel,
                                 const wxString& y1Label, const wxString& y2Label, bool y1Logarithmic) {
    auto* chart = new PlotDisplay(this, title, xLabel, y1Label, y2Label, true, y1Logarithmic);
    AddPage(chart, page, m_charts.empty());
    m_charts.push_back(chart);
    return chart;
}

void ChartBook::addPage(wxWindow* page, const wxString& name, const ExportablePage* exports) {
    AddPage(page, name, GetPageCount() == 0);
    m_pages.push_back(exports);
}

std::optional<ChartBook::PageExport> ChartBook::currentExport() const {
    if (const PlotDisplay* chart = currentChart()) {
        return PageExport{chart->getTitle(), [chart](int w, int h) { return chart->getImage(w, h); },
                          [chart] { return chart->getCSV(); }};
    }
    const int page = GetSelection() - static_cast<int>(m_charts.size());
    if (page < 0 || page >= static_cast<int>(m_pages.size()) || !m_pages[static_cast<std::size_t>(page)])
        return std::nullopt;
    const ExportablePage* exports = m_pages[static_cast<std::size_t>(page)];
    return PageExport{exports->exportTitle(), [exports](int w, int h) { return exports->exportImage(w, h); },
                      [exports] { return exports->exportCsv(); }};
}

PlotDisplay* ChartBook::currentChart() const {
    const int page = GetSelection();
    if (page < 0 || page >= static_cast<int>(m_charts.size())) return nullptr;
    return m_charts[static_cast<std::size_t>(page)];
}

void ChartBook::forEachChart(const std::function<void(PlotDisplay&)>& f) const {
    for (PlotDisplay* chart : m_charts) f(*chart);
}

void ChartBook::exportPng(FileManager* files) {
    const auto page = currentExport();
    if (!page || !files) return;
    wxWindow* parent = wxGetTopLevelParent(this);
    try {
        const wxString path = files->saveImagePath(parent, result_rules::exportFileName(page->title, ".png"));
        if (path.empty()) return;
        savePngFile(page->image(kExportWidth, kExportHeight), path);
    } catch (const bemt::Error& error) {
        showResultError(parent, wxString::FromUTF8(error.message()));
    }
}

void ChartBook::exportCsv(FileManager* files) {
    const auto page = currentExport();
    if (!page || !files) return;
    wxWindow* parent = wxGetTopLevelParent(this);
    const bool chart = currentChart() != nullptr;
    try {
        const std::string text = page->csv();
        files->saveCSV(parent, result_rules::exportFileName(page->title, ".csv"),
                       chart ? localText(text) : wxString::FromUTF8(text));
    } catch (const bemt::Error& error) {
        showResultError(parent, wxString::FromUTF8(error.message()));
    }
}

ChartBook::HighlightBoxes ChartBook::addActions(wxWindow* parent, wxSizer* sizer, FileManager* files) {
    const int border = FromDIP(3);
    auto* unconverged = new wxCheckBox(parent, wxID_ANY, "Highlight unconverged ranges");
    unconverged->SetToolTip("Highlights the ranges in the plots in which any converged result has not been obtained.");
    unconverged->SetValue(true);
    unconverged->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        const bool show = event.IsChecked();
        forEachChart([show](PlotDisplay& c) { show ? c.showUnconvergedRanges() : c.hideUnconvergedRanges(); });
    });
    sizer->Add(unconverged, 0, wxALL, border);

    auto* extrapolated = new wxCheckBox(parent, wxID_ANY, "Highlight extrapolated ranges");
    extrapolated->SetToolTip(
        "Highlights the ranges in the plots in which the angle of attack is too large and lift and drag "
        "coefficients have been extrapolated.");
    extrapolated->SetValue(true);
    extrapolated->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        const bool show = event.IsChecked();
        forEachChart([show](PlotDisplay& c) { show ? c.showOorRanges() : c.hideOorRanges(); });
    });
    sizer->Add(extrapolated, 0, wxALL, border);

    auto* png = new wxButton(parent, wxID_ANY, "Export PNG image");
    png->Bind(wxEVT_BUTTON, [this, files](wxCommandEvent&) { exportPng(files); });
    sizer->Add(png, 0, wxEXPAND | wxALL, border);
    auto* csv = new wxButton(parent, wxID_ANY, "Export CSV data");
    csv->Bind(wxEVT_BUTTON, [this, files](wxCommandEvent&) { exportCsv(files); });
    sizer->Add(csv, 0, wxEXPAND | wxALL, border);
    return {unconverged, extrapolated};
}
