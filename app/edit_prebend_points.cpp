#include "app/edit_prebend_points.h"

#include "app/kvp_project.h"
#include "bemt/ValueLimits.h"

EditPrebendPoints::EditPrebendPoints(wxWindow* parent, KvpProject* project)
    : EditBladePoints(parent, project, "Prebend",
                      {&bemt::PrebendPoint::value, "Prebend", "[m]",
                       "Out-of-plane offset of the blade axis in metres, positive downwind (as OpenFAST's BlCrvAC).",
                       bemt::Limits::prebend.lowest, bemt::Limits::prebend.highest, false, wxString(), wxString(),
                       &bemt::Limits::prebend}) {}

std::vector<bemt::PrebendPoint> EditPrebendPoints::straightPoints() const {
    const bemt::OperatingConditions c = m_project->operatingConditions();
    return {{c.Rh / c.R, 0.0}, {1.0, 0.0}};
}

std::vector<bemt::PrebendPoint> EditPrebendPoints::projectPoints() const { return m_project->prebendPoints(); }

void EditPrebendPoints::storePoints(const std::vector<bemt::PrebendPoint>& points) {
    m_project->setPrebendPoints(points, true);
}
