#pragma once
// The prebend of the blade: positions x/R and the out-of-plane offset of the blade's
// reference axis in metres, positive downwind (a blade bent away from the tower of an
// upwind rotor has negative values toward the tip).

#include "app/edit_blade_points.h"
#include "bemt/RotorGeometry.h"

class EditPrebendPoints : public EditBladePoints<bemt::PrebendPoint> {
public:
    EditPrebendPoints(wxWindow* parent, KvpProject* project);

    // The list a straight blade starts its prebend from: zero at the hub and at the tip.
    std::vector<bemt::PrebendPoint> straightPoints() const;

protected:
    std::vector<bemt::PrebendPoint> projectPoints() const override;
    void storePoints(const std::vector<bemt::PrebendPoint>& points) override;
};
