#pragma once
// "Solver settings": the element solver, the number of elements, the iteration
// parameters and the switches of the element model (tip and hub loss, wake rotation, drag
// in the induction) of the project.

#include <array>

#include "app/edit_section.h"
#include "bemt/Records.h"

class KvpProject;

class EditSolverSettings : public EditSection {
public:
    EditSolverSettings(wxWindow* parent, KvpProject* project);

    void update() override;
    void saveValues() override;

    wxChoice* solverChoice() const { return m_solverChoice; }
    // Tip loss, hub loss, wake rotation, drag in induction.
    const std::array<wxCheckBox*, 4>& modelSwitches() const { return m_switches; }

private:
    KvpProject* m_project;
    bemt::SolverSettings m_settings;
    wxChoice* m_solverChoice = nullptr;
    std::array<wxCheckBox*, 4> m_switches{};
};
