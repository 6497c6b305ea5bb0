#pragma once
// "Design conditions": the rotor and air parameters of the project and the blade pitch
// sweep of its compute settings, with the tip speed ratio coupled to radius, wind
// velocity and rotation speed, and the pitch step size coupled to the number of steps.

#include "app/edit_section.h"

class KvpProject;

class EditOperatingConditions : public EditSection {
public:
    static constexpr double kMaxTipSpeedRatio = 120.0;

    EditOperatingConditions(wxWindow* parent, KvpProject* project);

    void update() override;
    void saveValues() override;

    // Enables or disables the four pitch fields; their values stay.
    void enablePitch(bool enable);

    wxTextCtrl* radiusField() const { return m_radiusCtrl; }
    wxTextCtrl* hubRadiusField() const { return m_hubCtrl; }
    wxTextCtrl* windVelocityField() const { return m_windCtrl; }
    wxTextCtrl* rotationSpeedField() const { return m_rpmCtrl; }
    wxTextCtrl* tipSpeedRatioField() const { return m_tsrCtrl; }
    wxTextCtrl* airDensityField() const { return m_densityCtrl; }
    wxTextCtrl* viscosityField() const { return m_viscosityCtrl; }
    wxCheckBox* pitchCheckbox() const { return m_pitchBox; }
    wxTextCtrl* pitchMinField() const { return m_pMinCtrl; }
    wxTextCtrl* pitchMaxField() const { return m_pMaxCtrl; }
    wxTextCtrl* pitchStepField() const { return m_pStepCtrl; }
    wxTextCtrl* pitchStepsField() const { return m_pStepsCtrl; }

private:
    void setupLambdaLogic();
    // At most 11 pitch angles, counted as the computations count them; more mark only the
    // field of the sweep the user typed last, which field asks whether it is.
    bool fewEnoughPitchPositions(const wxTextCtrl* field) const;
    void onUpdatedValue(wxCommandEvent& event);

    KvpProject* m_project;

    double m_radius = 0.0;
    double m_hubRadius = 0.0;
    int m_blades = 3;
    double m_windVelocity = 0.0;
    double m_tipSpeedRatio = 0.0;
    double m_rotationSpeed = 0.0;  // rpm
    double m_airDensity = 0.0;
    double m_viscosity = 0.0;
    bool m_enablePitch = false;
    double m_pitchMin = 0.0;
    double m_pitchMax = 0.0;
    double m_pitchStep = 0.0;

    wxTextCtrl* m_bladesCtrl = nullptr;
    wxTextCtrl* m_radiusCtrl = nullptr;
    wxTextCtrl* m_hubCtrl = nullptr;
    wxTextCtrl* m_windCtrl = nullptr;
    wxTextCtrl* m_rpmCtrl = nullptr;
    wxTextCtrl* m_tsrCtrl = nullptr;
    wxTextCtrl* m_densityCtrl = nullptr;
    wxTextCtrl* m_viscosityCtrl = nullptr;
    wxCheckBox* m_pitchBox = nullptr;
    wxTextCtrl* m_pMinCtrl = nullptr;
    wxTextCtrl* m_pMaxCtrl = nullptr;
    wxTextCtrl* m_pStepCtrl = nullptr;
    wxTextCtrl* m_pStepsCtrl = nullptr;
};
