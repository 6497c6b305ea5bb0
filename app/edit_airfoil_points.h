#pragma once
// "Airfoil segments": the project's airfoil points, each edited by its own panel and
// followed by the buttons that add a point after it or remove it.

#include <wx/scrolwin.h>

#include <vector>

#include "app/edit_section.h"
#include "app/field_rules.h"
#include "bemt/Records.h"

class KvpProject;
class EditSingleAirfoilPoint;

class EditAirfoilPoints : public EditSection {
public:
    EditAirfoilPoints(wxWindow* parent, KvpProject* project);
    ~EditAirfoilPoints() override;

    // Copies the project's points and rebuilds the panels.
    void update() override;
    // Stores the whole list in the project.
    void saveValues() override;
    // Maps the positions onto [hub radius / rotor radius, 1] after a radius change.
    void remapRange(wxEvent& event);

    // "Add point after": a copy of point i halfway to the next one (at the last point's
    // position after the last point).
    void addPointAfter(std::size_t i);
    void removePoint(std::size_t i);

    const std::vector<bemt::AirfoilPoint>& points() const { return m_points; }
    EditSingleAirfoilPoint* pointEditor(std::size_t i) const { return m_editors.at(i); }

private:
    void storeAndRebuild(const std::vector<bemt::AirfoilPoint>& points);
    // The columns of every point as wide as the widest point's, so that the fields line up.
    bool Layout() override;
    // Tells every repeating point what it repeats.
    void refreshRepeatNotes();

    KvpProject* m_project;
    std::vector<bemt::AirfoilPoint> m_points;
    std::vector<EditSingleAirfoilPoint*> m_editors;
    wxScrolledWindow* m_scroll;
    double m_hubFraction = -1.0;  // hub radius / rotor radius when the list was shown
    field_rules::RemapBase<bemt::AirfoilPoint> m_remapBase;
    bool m_remapping = false;
};

// The "Airfoils data" page.
class EditArifoils : public EditSection {
public:
    EditArifoils(wxWindow* parent, KvpProject* project);
    void update() override;
    EditAirfoilPoints* pointsEditor() const { return m_points; }

private:
    EditAirfoilPoints* m_points;
};
