#pragma once
// "Computing parameters": the operating conditions, solver settings, model switches and
// rotor model a computation used, read-only.

#include "app/edit_section.h"
#include "bemt/Records.h"
#include "results/computed_with.h"

class DisplayComputeParams : public EditSection {
public:
    // withTitle heads the panel with "Computing parameters"; withSpeeds includes the wind
    // velocity and tip speed ratio (a characteristics sweep varies both).
    DisplayComputeParams(wxWindow* parent, const ComputedWith& with, bool withTitle, bool withSpeeds);

    static wxString solverName(bemt::SolverType type);
    // "all on", or the parts of the BEM model switched off: "off: tip loss, wake rotation".
    static wxString switchesText(const bemt::SolverSettings& solver);
    // What a blade design of a project whose rotor is not the plain one says.
    static wxString designNote();
    // The rotor model as label and value rows; one row for the plain rotor.
    static std::vector<std::pair<wxString, wxString>> rotorRows(const ComputedWith& with);

private:
    void addText(wxGridBagSizer* grid, int row, const wxString& label, const wxString& text, const wxString& tooltip);
    void addWholeNumber(wxGridBagSizer* grid, int row, const wxString& label, int value, const wxString& tooltip);
};
