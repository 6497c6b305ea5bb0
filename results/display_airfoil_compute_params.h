#pragma once
// "Airfoils processing parameters": whether neighbouring airfoils were blended and the
// operating conditions from which the XFOIL preprocessing guessed Reynolds numbers.

#include "app/edit_section.h"
#include "bemt/Records.h"

class DisplayAirfoilComputeParams : public EditSection {
public:
    DisplayAirfoilComputeParams(wxWindow* parent, const bemt::ComputeSettings& settings,
                                const bemt::OperatingConditions& conditions, bool withTitle);

    void setInterpolationEnabledLabel(bool enabled);
    wxString interpolationText() const;

    static wxString interpolationLabel(bool enabled);

private:
    wxStaticText* m_interpolation;
};
