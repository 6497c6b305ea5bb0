#include "results/display_compute_params.h"

#include "bemt/Common.h"
#include "bemt/NumberText.h"

namespace {

wxString shortText(double value) { return wxString::FromUTF8(bemt::NumberText::shortText(value)); }
wxString degrees(double value) { return shortText(value) + wxString::FromUTF8(" °"); }

}  // namespace

DisplayComputeParams::DisplayComputeParams(wxWindow* parent, const ComputedWith& with, bool withTitle,
                                           bool withSpeeds)
    : EditSection(parent, withTitle ? wxString("Computing parameters") : wxString()) {
    const bemt::OperatingConditions& c = with.conditions;
    const bemt::SolverSettings& solver = with.solver;
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
    addText(grid, row++, "Model switches:", switchesText(solver),
            "Tip loss, hub loss, wake rotation (tangential induction) and drag in the induction equations.");
    setupHeading(grid, row++, 0, "Rotor model");
    if (with.designedForPlainRotor) {
        auto* note = new wxStaticText(getContainer(), wxID_ANY, designNote());
        note->Wrap(FromDIP(280));
        grid->Add(note, wxGBPosition(row++, 0), wxGBSpan(1, 3), wxALL, FromDIP(4));
    }
    for (const auto& [label, text] : rotorRows(with)) addText(grid, row++, label, text, "");
    sectionSizer()->Add(grid, 0, wxALL, FromDIP(4));
}

wxString DisplayComputeParams::designNote() {
    return "Designed for the plain rotor: the project's cone, tilt, yaw and shear are not in this design "
           "or in its operating point.";
}

wxString DisplayComputeParams::switchesText(const bemt::SolverSettings& s) {
    wxString off;
    for (const auto& [on, name] : {std::pair{s.tip_loss, "tip loss"}, {s.hub_loss, "hub loss"},
                                   {s.wake_rotation, "wake rotation"}, {s.drag_in_induction, "drag in induction"}})
        if (!on) off << (off.empty() ? "off: " : ", ") << name;
    return off.empty() ? wxString("all on") : off;
}

std::vector<std::pair<wxString, wxString>> DisplayComputeParams::rotorRows(const ComputedWith& with) {
    const bemt::RotorGeometry& rotor = with.rotor;
    std::vector<std::pair<wxString, wxString>> rows;
    if (bemt::Rotor::isPlain(rotor, with.prebend)) {
        rows.emplace_back("Rotor:", "plain (flat disc, uniform wind)");
        return rows;
    }
    if (rotor.precone != 0.0) rows.emplace_back("Precone:", degrees(rotor.precone));
    if (rotor.tilt != 0.0) rows.emplace_back("Shaft tilt:", degrees(rotor.tilt));
    if (rotor.yaw != 0.0) rows.emplace_back("Yaw:", degrees(rotor.yaw));
    if (rotor.shear_exponent != 0.0) {
        rows.emplace_back("Shear exponent:", shortText(rotor.shear_exponent));
        rows.emplace_back("Hub height:", shortText(rotor.hub_height) + " m");
    }
    if (hasRotorShapeOrInflow(bemt::RotorGeometry{}, with.prebend)) rows.emplace_back("Prebend:", "bent blade");
    rows.emplace_back("Azimuth sectors:", wxString::Format("%d", rotor.sectorCount()));
    rows.emplace_back("Skewed wake:", rotor.skew == bemt::SkewCorrection::PittPeters ? "Pitt-Peters" : "None");
    return rows;
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
