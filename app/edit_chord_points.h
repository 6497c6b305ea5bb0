#pragma once
// The chord distribution of the blade: positions x/R and relative chords c/R.

#include "app/edit_blade_points.h"
#include "bemt/Records.h"

class EditChordPoints : public EditBladePoints<bemt::ChordPoint> {
public:
    EditChordPoints(wxWindow* parent, KvpProject* project);
    ~EditChordPoints() override;

protected:
    std::vector<bemt::ChordPoint> projectPoints() const override;
    void storePoints(const std::vector<bemt::ChordPoint>& points) override;

private:
    void onTransferred(wxEvent& event);
};
