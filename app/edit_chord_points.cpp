#include "app/edit_chord_points.h"

#include "app/kvp_project.h"
#include "bemt/ValueLimits.h"

EditChordPoints::EditChordPoints(wxWindow* parent, KvpProject* project)
    : EditBladePoints(parent, project, "Chord distribution",
                      {&bemt::ChordPoint::c_rel, "c/R", "[-]", "Relative chord length.",
                       bemt::Limits::relativeChord.lowest, bemt::Limits::relativeChord.highest, true, "c",
                       "Absolute chord length.", &bemt::Limits::relativeChord}) {
    m_project->Bind(kvnEVT_TRANSFERED_CHORD_POINTS, &EditChordPoints::onTransferred, this);
}

EditChordPoints::~EditChordPoints() {
    m_project->Unbind(kvnEVT_TRANSFERED_CHORD_POINTS, &EditChordPoints::onTransferred, this);
}

std::vector<bemt::ChordPoint> EditChordPoints::projectPoints() const { return m_project->chordPoints(); }

void EditChordPoints::storePoints(const std::vector<bemt::ChordPoint>& points) { m_project->setChordPoints(points, true); }

void EditChordPoints::onTransferred(wxEvent& event) {
    update();
    event.Skip();
}
