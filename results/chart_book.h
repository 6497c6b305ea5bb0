#pragma once
// The charts of a result window on the pages of a choice book, with the actions every
// result window offers on them: range reset, band toggles, and the export of the chart
// on the current page as a PNG image or CSV data.

#include <wx/choicebk.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "results/display_plot.h"

class FileManager;
class wxCheckBox;
class wxSizer;

// A page of a chart book that is no line chart but exports as the charts do.
class ExportablePage {
public:
    virtual ~ExportablePage() = default;
    // What the exported files are named after.
    virtual wxString exportTitle() const = 0;
    virtual wxBitmap exportImage(int width, int height) const = 0;
    // CSV text in UTF-8.
    virtual std::string exportCsv() const = 0;
};

class ChartBook : public wxChoicebook {
public:
    explicit ChartBook(wxWindow* parent);

    // Adds a page holding a new chart and returns the chart.
    PlotDisplay* addChart(const wxString& page, const wxString& title, const wxString& xLabel,
                          const wxString& y1Label, const wxString& y2Label, bool y1Logarithmic = false);

    // Adds a page after the charts (added before any such page) that exports through exports.
    void addPage(wxWindow* page, const wxString& name, const ExportablePage* exports);

    const std::vector<PlotDisplay*>& charts() const { return m_charts; }
    // Null on a page that is no chart.
    PlotDisplay* currentChart() const;
    void forEachChart(const std::function<void(PlotDisplay&)>& f) const;

    // Exports the chart (or exportable page) on the current page through the file
    // manager; a failure is shown in the error box and the window stays.
    void exportPng(FileManager* files);
    void exportCsv(FileManager* files);

    struct HighlightBoxes {
        wxCheckBox* unconverged;
        wxCheckBox* extrapolated;
    };
    // Adds the actions on these charts every result window offers to an "Actions" group
    // (items on parent, into sizer): the two highlight toggles and the two exports.
    HighlightBoxes addActions(wxWindow* parent, wxSizer* sizer, FileManager* files);

private:
    // The exports of the current page: its chart's or its own; null for neither.
    struct PageExport {
        wxString title;
        std::function<wxBitmap(int, int)> image;
        std::function<std::string()> csv;
    };
    std::optional<PageExport> currentExport() const;

    std::vector<PlotDisplay*> m_charts;
    std::vector<const ExportablePage*> m_pages;  // the pages after the charts
};

// The modal error box of the result windows.
void showResultError(wxWindow* parent, const wxString& message);

// Writes image as a PNG file through the shared file writer (a link is followed, a
// pipe written in place, a file replaced only when the whole image is written).
// Throws "The file PATH could not be written: REASON.".
void savePngFile(const wxBitmap& image, const wxString& path);
