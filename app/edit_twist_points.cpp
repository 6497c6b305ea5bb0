#include "app/edit_twist_points.h"

#include "app/kvp_project.h"

EditTwistPoints::EditTwistPoints(wxWindow* parent, KvpProject* project)
    : EditBladePoints(parent, project, "Twist distribution",
                      {&bemt::TwistPoint::twist_deg, wxS("β"), wxS("[°]"),
                       "Local pitch (blade twist) angle in degrees.", -20.0, 90.0, false, wxString(), wxString()}) {
    m_project->Bind(kvnEVT_TRANSFERED_TWIST_POINTS, &EditTwistPoints::onTransferred, this);
}

EditTwistPoints::~EditTwistPoints() {
    m_project->Unbind(kvnEVT_TRANSFERED_TWIST_POINTS, &EditTwistPoints::onTransferred, this);
}

std::vector<bemt::TwistPoint> EditTwistPoints::projectPoints() const { return m_project->twistPoints(); }

void EditTwistPoints::storePoints(const std::vector<bemt::TwistPoint>& points) { m_project->setTwistPoints(points, true); }

void EditTwistPoints::onTransferred(wxEvent& event) {
    update();
    event.Skip();
}
