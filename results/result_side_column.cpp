#include "results/result_side_column.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choicebk.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/wrapsizer.h>

#include "app/edit_section.h"
#include "results/chart_book.h"
#include "results/display_airfoil_compute_params.h"
#include "results/display_compute_params.h"
#include "results/result_rules.h"

#include <algorithm>

namespace {

wxScrolledWindow* buildSideColumn(wxWindow* parent, ChartBook* charts, const ResultSideColumn& content,
                                  std::vector<wxCheckBox*>& pitchBoxes) {
    auto* side = new wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
    side->SetScrollRate(0, side->FromDIP(10));
    auto* sideSizer = new wxBoxSizer(wxVERTICAL);

    if (content.header) sideSizer->Add(content.header(side), 0, wxEXPAND | wxALL, side->FromDIP(2));

    // Results without pitch angles of their own (the power curve) show no such group.
    if (!content.pitches.empty()) {
        auto* pitchBox = new wxStaticBoxSizer(wxVERTICAL, side, "Show data for pitch angles");
        auto* pitchWrap = new wxWrapSizer(wxHORIZONTAL);
        for (std::size_t i = 0; i < content.pitches.size(); ++i) {
            auto* box =
                new wxCheckBox(pitchBox->GetStaticBox(), wxID_ANY, result_rules::pitchLegend(content.pitches[i]));
            box->SetValue(true);
            const int index = static_cast<int>(i);
            box->Bind(wxEVT_CHECKBOX, [toggled = content.pitchToggled, index](wxCommandEvent& event) {
                toggled(index, event.IsChecked());
            });
            pitchWrap->Add(box, 0, wxALL, side->FromDIP(3));
            pitchBoxes.push_back(box);
        }
        pitchBox->Add(pitchWrap, 0, wxEXPAND);
        sideSizer->Add(pitchBox, 0, wxEXPAND | wxALL, side->FromDIP(4));
    }

    auto* reset = new wxButton(side, wxID_ANY, "Reset range");
    reset->SetToolTip("Reset plot ranges.");
    reset->Bind(wxEVT_BUTTON,
                [charts](wxCommandEvent&) { charts->forEachChart([](PlotDisplay& c) { c.resetRange(); }); });
    sideSizer->Add(reset, 0, wxEXPAND | wxALL, side->FromDIP(4));

    auto* actions = new wxStaticBoxSizer(wxVERTICAL, side, "Actions");
    content.fillActions(actions->GetStaticBox(), actions);
    sideSizer->Add(actions, 0, wxEXPAND | wxALL, side->FromDIP(4));

    // A choice of pages fits the narrow column where notebook tabs would not.
    auto* params = new wxChoicebook(side, wxID_ANY);
    scrollPageOnWheel(params->GetChoiceCtrl());
    params->AddPage(new DisplayComputeParams(params, content.with, false, content.withSpeeds), "Computing parameters");
    params->AddPage(new DisplayAirfoilComputeParams(params, content.with.compute, content.projectConditions, false,
                                                    content.with.stallDelay),
                    "Airfoils processing parameters");
    sideSizer->Add(params, 0, wxEXPAND | wxALL, side->FromDIP(4));

    side->SetSizer(sideSizer);
    side->FitInside();
    side->SetMinSize(wxSize(sideSizer->GetMinSize().GetWidth() + side->FromDIP(20), -1));
    return side;
}

}  // namespace

void layoutResultWindow(wxFrame* frame, const ResultSideColumn& column, ChartBook*& charts,
                        std::vector<wxCheckBox*>& pitchBoxes) {
    auto* root = new wxPanel(frame);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    charts = new ChartBook(root);
    columns->Add(charts, 1, wxEXPAND | wxALL, frame->FromDIP(4));
    columns->Add(buildSideColumn(root, charts, column, pitchBoxes), 0, wxEXPAND);
    root->SetSizer(columns);
}

void layoutChartWindow(wxFrame* frame, const ResultSideColumn& column, ChartBook*& charts) {
    std::vector<wxCheckBox*> noPitchBoxes;
    layoutResultWindow(frame, column, charts, noPitchBoxes);
    frame->SetSize(frame->FromDIP(wxSize(1200, 780)));
    frame->SetMinSize(frame->FromDIP(wxSize(640, 420)));
}

int fitColumnsToText(wxListCtrl* table) {
    int tableWidth = table->FromDIP(8);
    for (int c = 0; c < table->GetColumnCount(); ++c) {
        wxListItem header;
        header.SetMask(wxLIST_MASK_TEXT);
        table->GetColumn(c, header);
        int width = table->GetTextExtent(header.GetText()).x;
        for (long row = 0; row < table->GetItemCount(); ++row)
            width = std::max(width, table->GetTextExtent(table->GetItemText(row, c)).x);
        width += table->FromDIP(24);  // the cell's and the header's padding
        table->SetColumnWidth(c, width);
        tableWidth += width;
    }
    return tableWidth;
}
