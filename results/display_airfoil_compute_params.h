#pragma once
// "Airfoils processing parameters": whether neighbouring airfoils were blended, whether
// and how the polars were corrected for stall delay, and the operating conditions from
// which the XFOIL preprocessing guessed Reynolds numbers.

#include "app/edit_section.h"
#include <optional>

#include "bemt/Records.h"

class DisplayAirfoilComputeParams : public EditSection {
public:
    DisplayAirfoilComputeParams(wxWindow* parent, const bemt::ComputeSettings& settings,
                                const bemt::OperatingConditions& conditions, bool withTitle,
                                const std::optional<bemt::StallDelayInput>& stallDelay = std::nullopt);

    void setInterpolationEnabledLabel(bool enabled);
    wxString interpolationText() const;
    wxString stallDelayText() const { return m_stallDelay->GetLabel(); }

    static wxString interpolationLabel(bool enabled);
    // "none: ..." or the models and the tip speed ratio they take.
    static wxString stallDelayLabel(const std::optional<bemt::StallDelayInput>& stallDelay);

private:
    wxStaticText* m_interpolation;
    wxStaticText* m_stallDelay;
};
