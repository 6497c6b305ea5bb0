#pragma once
// "Rotor geometry and inflow": precone, shaft tilt, yaw misalignment, hub height, wind
// shear exponent, azimuth sectors and skewed-wake correction of the project, within the
// limits the project file reader applies. A wind shear needs a hub height above the
// rotor radius: both fields turn red while they disagree.

#include "app/edit_section.h"
#include "bemt/RotorGeometry.h"

class KvpProject;

class EditRotorGeometry : public EditSection {
public:
    EditRotorGeometry(wxWindow* parent, KvpProject* project);
    ~EditRotorGeometry() override;

    void update() override;
    void saveValues() override;

    wxTextCtrl* preconeField() const { return m_precone; }
    wxTextCtrl* tiltField() const { return m_tilt; }
    wxTextCtrl* yawField() const { return m_yaw; }
    wxTextCtrl* hubHeightField() const { return m_hubHeight; }
    wxTextCtrl* shearField() const { return m_shear; }
    wxTextCtrl* sectorsField() const { return m_sectors; }
    wxChoice* skewChoice() const { return m_skew; }

    // "auto" (any case, blanks around it) or a whole number of sectors within the limits.
    static bool readSectors(const wxString& text, std::int32_t& sectors);

private:
    // Whether a shear exponent and a hub height go together for the project's radius.
    bool shearFits(double shear, double hubHeight) const;
    void onRadius(wxEvent& event);

    KvpProject* m_project;
    bemt::RotorGeometry m_rotor;
    wxString m_sectorsText;

    wxTextCtrl* m_precone = nullptr;
    wxTextCtrl* m_tilt = nullptr;
    wxTextCtrl* m_yaw = nullptr;
    wxTextCtrl* m_hubHeight = nullptr;
    wxTextCtrl* m_shear = nullptr;
    wxTextCtrl* m_sectors = nullptr;
    wxChoice* m_skew = nullptr;
};
