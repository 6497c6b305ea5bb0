#pragma once
// "Solver settings": the element solver, the number of elements and the iteration
// parameters of the project.

#include "app/edit_section.h"
#include "bemt/Records.h"

class KvpProject;

class EditSolverSettings : public EditSection {
public:
    EditSolverSettings(wxWindow* parent, KvpProject* project);

    void update() override;
    void saveValues() override;

    wxChoice* solverChoice() const { return m_solverChoice; }

private:
    KvpProject* m_project;
    bemt::SolverSettings m_settings;
    wxChoice* m_solverChoice = nullptr;
};
