#pragma once
// The scrolled column beside the charts of the operating point and characteristics
// windows: the pitch angle check boxes, "Reset range", the window's "Actions" group and
// the parameters the computation used.

#include <functional>
#include <vector>

#include "bemt/Records.h"
#include "results/computed_with.h"

class ChartBook;
class wxCheckBox;
class wxFrame;
class wxListCtrl;
class wxSizer;
class wxWindow;

struct ResultSideColumn {
    ResultSideColumn(const ComputedWith& with, bool withSpeeds, const bemt::OperatingConditions& projectConditions)
        : with(with), withSpeeds(withSpeeds), projectConditions(projectConditions) {}

    // The parameter pages: what the computation used; withSpeeds as for DisplayComputeParams;
    // projectConditions those the airfoils were processed for.
    ComputedWith with;
    bool withSpeeds;
    bemt::OperatingConditions projectConditions;
    // One check box per pitch angle, all ticked; a click calls pitchToggled(index, shown).
    std::vector<double> pitches;
    std::function<void(int index, bool shown)> pitchToggled;
    // Fills the "Actions" group: items go on parent, into sizer.
    std::function<void(wxWindow* parent, wxSizer* sizer)> fillActions;
    // The first item of the column, built on the column (none when empty).
    std::function<wxWindow*(wxWindow* column)> header;
};

// Lays out a result window: an empty chart book and beside it the side column. charts is
// set before the column is built, so the actions can use it; the pitch check boxes are
// appended to pitchBoxes. "Reset range" resets every chart the book will hold.
void layoutResultWindow(wxFrame* frame, const ResultSideColumn& column, ChartBook*& charts,
                        std::vector<wxCheckBox*>& pitchBoxes);

// The same for a result without pitch angles of its own, at the standard size of a result
// window.
void layoutChartWindow(wxFrame* frame, const ResultSideColumn& column, ChartBook*& charts);

// Sets every column of a report table in a side column as wide as its header and its
// widest entry; returns the width of the table with them.
int fitColumnsToText(wxListCtrl* table);
