#pragma once
// "Turbine power, thrust and root moment": power, power coefficient, thrust, thrust
// coefficient and the root flapwise bending moment (its mean over the azimuth, and its
// largest value where it varies) for every shown pitch angle.

#include <vector>

#include "app/edit_section.h"
#include "bemt/Records.h"

class DisplayOpData : public EditSection {
public:
    DisplayOpData(wxWindow* parent, std::vector<bemt::pitchControlledOperatingPoint> points);

    void hidePoint(int index);
    void showPoint(int index);
    // The index of the only shown pitch angle; -1 when none or several are shown.
    int singleShown() const;
    int shownCount() const;

private:
    void refreshTable();

    std::vector<bemt::pitchControlledOperatingPoint> m_points;
    std::vector<bool> m_shown;
    wxGridBagSizer* m_grid;
};
