#pragma once
// The list editor shared by the chord, twist and prebend distributions: one block of rows per
// point with its relative position, its absolute position, its value (and for chords the
// absolute value), and the buttons that insert a point after it or remove it. Positions
// must increase along the list. When the rotor or hub radius changes, the positions are
// mapped again so that the list starts at the hub.

#include <wx/scrolwin.h>

#include <functional>
#include <vector>

#include "app/edit_section.h"
#include "app/field_rules.h"
#include "bemt/ValueLimits.h"

class KvpProject;

template <typename Point>
class EditBladePoints : public EditSection {
public:
    // How the value of a point is edited.
    struct ValueField {
        double Point::*member;
        wxString label, unit, tooltip;
        double min, max;
        // With an absolute form (value × R) shown beside it.
        bool absolute = false;
        wxString absoluteLabel, absoluteTooltip;
        // The setting's range, when it has an open end that min and max cannot express.
        const bemt::ValueLimit* limit = nullptr;
    };

    EditBladePoints(wxWindow* parent, KvpProject* project, const wxString& title, ValueField field);
    ~EditBladePoints() override;

    // Copies the project's points and rebuilds the rows.
    void update() override;
    // Stores the whole list in the project.
    void saveValues() override;
    // Builds the rows for the current list.
    void refreshControls();
    // Maps the positions onto [hub radius / rotor radius, 1] after a radius change.
    void remapRange(wxEvent& event);

    // "Ins": the mean of point i and the next, or a copy of the last point.
    void insertAfter(std::size_t i);
    // "Del": removes point i.
    void remove(std::size_t i);

    const std::vector<Point>& points() const { return m_points; }
    wxWindow* getContainer() const { return m_scroll; }
    wxTextCtrl* positionField(std::size_t i) const { return m_positionCtrls.at(i); }
    wxTextCtrl* absolutePositionField(std::size_t i) const { return m_absolutePositionCtrls.at(i); }
    wxTextCtrl* valueField(std::size_t i) const { return m_valueCtrls.at(i); }
    wxTextCtrl* absoluteValueField(std::size_t i) const { return m_absoluteValueCtrls.at(i); }

protected:
    virtual std::vector<Point> projectPoints() const = 0;
    virtual void storePoints(const std::vector<Point>& points) = 0;
    double rotorRadius() const;

    KvpProject* m_project;

private:
    void fillAbsoluteFields();
    void storeAndRebuild(const std::vector<Point>& points);

    ValueField m_field;
    std::vector<Point> m_points;
    wxScrolledWindow* m_scroll;
    double m_hubFraction = -1.0;  // hub radius / rotor radius when the list was shown
    field_rules::RemapBase<Point> m_remapBase;
    bool m_remapping = false;
    std::vector<wxTextCtrl*> m_positionCtrls, m_absolutePositionCtrls, m_valueCtrls, m_absoluteValueCtrls;
};
