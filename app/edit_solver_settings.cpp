#include "app/edit_solver_settings.h"

#include "app/kvp_project.h"
#include "bemt/ValueLimits.h"

EditSolverSettings::EditSolverSettings(wxWindow* parent, KvpProject* project)
    : EditSection(parent, "Solver settings"), m_project(project) {
    auto* grid = new wxGridBagSizer();
    wxArrayString solvers;
    solvers.Add("2D Fixed Point");
    solvers.Add("Newton-Raphson");
    solvers.Add("Ning");
    m_solverChoice = setupChoice<bemt::SolverType>(grid, 0, 0, solvers, &m_settings.solver,
                                                   {bemt::FixedPoint2D, bemt::NewtonRaphson, bemt::Ning}, "Solver",
                                                   "Choose a solver to make the computations.", 1, 4);
    wxTextCtrl* elements = setupInput(grid, 1, 0, "Elements", "",
                                      "Number of blade elements along the radius used in computations. Higher values "
                                      "provide more accurate results. Cannot exceed 1e4 points.");
    wxTextCtrl* precision = setupInput(grid, 1, 3, "Precision", "",
                                       "Precision of iterative methods. Lower values provide more accurate results. "
                                       "Cannot be lower than 1e-8 or higher than 0.1.");
    wxTextCtrl* iterations = setupInput(grid, 2, 0, "Max. iterations", "",
                                        "Limit of iterations. Higher values may improve convergence. Cannot exceed 1e4 "
                                        "iterations.");
    wxTextCtrl* relaxation = setupInput(grid, 2, 3, "Relax. factor", "",
                                        "Relaxation factor used in iterative methods. Lower values may improve "
                                        "convergence. Cannot be lower than 1e-2.");
    // The parts of the element model, each on by default (AeroDyn's TipLoss, HubLoss,
    // TanInd and AIDrag/TIDrag).
    m_switches = {
        setupCheckbox(grid, 3, 0, "Tip loss", &m_settings.tip_loss, "Prandtl's tip loss factor."),
        setupCheckbox(grid, 3, 3, "Hub loss", &m_settings.hub_loss, "Prandtl's hub loss factor."),
        setupCheckbox(grid, 4, 0, "Wake rotation", &m_settings.wake_rotation,
                      "The tangential induction a' (the rotation of the wake)."),
        setupCheckbox(grid, 4, 3, "Drag in induction", &m_settings.drag_in_induction,
                      "The drag term in both induction equations.")};
    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    elements->SetValidator(InputNumberValidator<int>(&m_settings.n_elements, true, 1, bemt::Limits::kMaxElements));
    precision->SetValidator(InputNumberValidator<double>(&m_settings.accuracy, true, bemt::Limits::accuracy.lowest, bemt::Limits::accuracy.highest));
    iterations->SetValidator(InputNumberValidator<int>(&m_settings.max_iterations, true, bemt::Limits::maxIterations.lowest, bemt::Limits::maxIterations.highest));
    relaxation->SetValidator(InputNumberValidator<double>(&m_settings.relaxation_factor, true, bemt::Limits::relaxation.lowest, bemt::Limits::relaxation.highest));

    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { saveValues(); });
}

void EditSolverSettings::update() {
    m_settings = m_project->solverSettings();
    TransferDataToWindow();
}

void EditSolverSettings::saveValues() { m_project->setSolverSettings(m_settings, true); }
