#include "results/display_compute_params.h"

#include "bemt/Common.h"

DisplayComputeParams::DisplayComputeParams(wxWindow* parent, const bemt::SolverSettings& solver,
                                           const bemt::OperatingConditions& c, bool withTitle, bool withSpeeds)
    : EditSection(parent, withTitle ? wxString("Computing parameters") : wxString()) {
    auto* grid = new wxGridBagSizer();
    int row = 0;
    setupHeading(grid, row++, 0, "Operating conditions");
    setupNumberUnits(grid, row++, 0, "Radius:", c.R, "m", "Turbine radius.");
    setupNumberUnits(grid, row++, 0, "Hub radius:", c.Rh, "m", "Hub radius (turbine radius - blade length).");
    addWholeNumber(grid, row++, "Blades:", c.B, "Number of the blades.");
    setupNumberUnits(grid, row++, 0, "Rot. speed:", bemt::Common::rads2rpm(c.Om), "rpm", "Turbine rotation speed.",
                     false);
    if (withSpeeds) {
        setupNumberUnits(grid, row++, 0, "Wind vel.:", c.V0, "m/s", "Wind velocity.", false);
        setupNumberUnits(grid, row++, 0, "Tip sp. ratio:", c.TSR, "",
                         "Tip speed ratio (ratio of the tangential velocity at the blade tip and the wind velocity).");
    }
    setupNumberUnits(grid, row++, 0, "Air density:", c.rho, wxString::FromUTF8("kg/m³"), "Air density.", false);
    setupNumberUnits(grid, row++, 0, "Air dynamic viscosity:", c.mu, "kg/m/s", "Air dynamic viscosity.", false);
    setupHeading(grid, row++, 0, "Solver settings");
    addText(grid, row++, "Solver:", solverName(solver.solver), "");
    addWholeNumber(grid, row++, "Number of elements:", solver.n_elements, "Number of the elements along the blade.");
    addWholeNumber(grid, row++, "Maximum of iterations:", solver.max_iterations,
                   "Maximum number of iterations in numeric methods used.");
    setupNumberUnits(grid, row++, 0, "Precision:", solver.accuracy, "", "Precission of iterative numeric methods used.");
    setupNumberUnits(grid, row++, 0, "Relaxation factor:", solver.relaxation_factor, "",
                     "Parameter used in iterative methods.");
    sectionSizer()->Add(grid, 0, wxALL, FromDIP(4));
}

void DisplayComputeParams::addText(wxGridBagSizer* grid, int row, const wxString& label, const wxString& text,
                                   const wxString& tooltip) {
    auto* name = new wxStaticText(getContainer(), wxID_ANY, label);
    auto* value = new wxStaticText(getContainer(), wxID_ANY, text);
    if (!tooltip.empty()) {
        name->SetToolTip(tooltip);
        value->SetToolTip(tooltip);
    }
    grid->Add(name, wxGBPosition(row, 0), wxGBSpan(1, 1), wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, FromDIP(4));
    grid->Add(value, wxGBPosition(row, 1), wxGBSpan(1, 1), wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT | wxLEFT | wxRIGHT,
              FromDIP(4));
}

void DisplayComputeParams::addWholeNumber(wxGridBagSizer* grid, int row, const wxString& label, int value,
                                          const wxString& tooltip) {
    // Counts read better whole than as "5e+03".
    addText(grid, row, label, wxString::Format("%d", value), tooltip);
}

wxString DisplayComputeParams::solverName(bemt::SolverType type) {
    switch (type) {
        case bemt::Ning:
            return "Ning";
        case bemt::NewtonRaphson:
            return "Newton-Raphson";
        default:
            return "2D Fixed Point";
    }
}
