#pragma once
// "Computing parameters": the operating conditions and solver settings a computation
// used, read-only.

#include "app/edit_section.h"
#include "bemt/Records.h"

class DisplayComputeParams : public EditSection {
public:
    // withTitle heads the panel with "Computing parameters"; withSpeeds includes the wind
    // velocity and tip speed ratio (a characteristics sweep varies both).
    DisplayComputeParams(wxWindow* parent, const bemt::SolverSettings& solver,
                         const bemt::OperatingConditions& conditions, bool withTitle, bool withSpeeds);

    static wxString solverName(bemt::SolverType type);

private:
    void addText(wxGridBagSizer* grid, int row, const wxString& label, const wxString& text, const wxString& tooltip);
    void addWholeNumber(wxGridBagSizer* grid, int row, const wxString& label, int value, const wxString& tooltip);
};
