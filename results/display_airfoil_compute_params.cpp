#include "results/display_airfoil_compute_params.h"

#include "bemt/Common.h"

DisplayAirfoilComputeParams::DisplayAirfoilComputeParams(wxWindow* parent, const bemt::ComputeSettings& settings,
                                                         const bemt::OperatingConditions& c, bool withTitle,
                                                         const std::optional<bemt::StallDelayInput>& stallDelay)
    : EditSection(parent, withTitle ? wxString("Airfoils processing parameters") : wxString()) {
    auto* grid = new wxGridBagSizer();
    int row = 0;
    setupHeading(grid, row++, 0, "Airfoils blending");
    m_interpolation = new wxStaticText(getContainer(), wxID_ANY, interpolationLabel(settings.enable_interpolation));
    grid->Add(m_interpolation, wxGBPosition(row++, 0), wxGBSpan(1, 3), wxALL, FromDIP(4));
    setupHeading(grid, row++, 0, "Stall delay");
    m_stallDelay = new wxStaticText(getContainer(), wxID_ANY, stallDelayLabel(stallDelay));
    grid->Add(m_stallDelay, wxGBPosition(row++, 0), wxGBSpan(1, 3), wxALL, FromDIP(4));
    setupHeading(grid, row++, 0, "XFOIL preprocessor");
    setupNumberUnits(grid, row++, 0, "Radius:", c.R, "m", "Turbine radius.");
    setupNumberUnits(grid, row++, 0, "Hub radius:", c.Rh, "m", "Hub radius (turbine radius - blade length).");
    setupNumberUnits(grid, row++, 0, "Rot. speed:", bemt::Common::rads2rpm(c.Om), "rpm", "Turbine rotation speed.",
                     false);
    setupNumberUnits(grid, row++, 0, "Wind vel.:", c.V0, "m/s", "Wind velocity.", false);
    setupNumberUnits(grid, row++, 0, "Air density:", c.rho, wxString::FromUTF8("kg/m³"), "Air density.", false);
    setupNumberUnits(grid, row++, 0, "Air dynamic viscosity:", c.mu, "kg/m/s", "Air dynamic viscosity.", false);
    sectionSizer()->Add(grid, 0, wxALL, FromDIP(4));
}

wxString DisplayAirfoilComputeParams::stallDelayLabel(const std::optional<bemt::StallDelayInput>& stallDelay) {
    if (!stallDelay) return "none: the 2D polars as given";
    const bemt::StallDelaySettings& s = stallDelay->settings;
    wxString text = wxString::FromUTF8(bemt::StallDelay::liftLabel(s.lift) + " lift, " +
                                       bemt::StallDelay::dragLabel(s.drag) + " drag,\nat tip speed ratio ");
    text << wxString::FromCDouble(stallDelay->tipSpeedRatio, 3);
    return text;
}

wxString DisplayAirfoilComputeParams::interpolationLabel(bool enabled) {
    return enabled ? "Neighbouring airfoils interpolation\nis enabled."
                   : "Neighbouring airfoils interpolation\nis disabled.";
}

void DisplayAirfoilComputeParams::setInterpolationEnabledLabel(bool enabled) {
    m_interpolation->SetLabel(interpolationLabel(enabled));
}

wxString DisplayAirfoilComputeParams::interpolationText() const { return m_interpolation->GetLabel(); }
