#pragma once
// The twist distribution of the blade: positions x/R and twist angles in degrees.

#include "app/edit_blade_points.h"
#include "bemt/Records.h"

class EditTwistPoints : public EditBladePoints<bemt::TwistPoint> {
public:
    EditTwistPoints(wxWindow* parent, KvpProject* project);
    ~EditTwistPoints() override;

protected:
    std::vector<bemt::TwistPoint> projectPoints() const override;
    void storePoints(const std::vector<bemt::TwistPoint>& points) override;

private:
    void onTransferred(wxEvent& event);
};
