#include "app/edit_operating_conditions.h"

#include <cmath>

#include "app/compute_rules.h"
#include "app/field_rules.h"
#include "app/kvp_project.h"
#include "app/range_fields.h"
#include "bemt/Common.h"
#include "bemt/SweepRange.h"
#include "bemt/ValueLimits.h"

namespace {

// The tip speed ratio a wind velocity, rotation speed and radius give lies within the
// range of the tip speed ratio field.
// The rotation speed field's range, in rpm.
const bemt::ValueLimit kRotationSpeed{"the rotation speed [rpm]", 0.0,
                                      bemt::Common::rads2rpm(bemt::Limits::Om.highest), false};

bool tipSpeedRatioFits(double rpm, double radius, double wind) {
    const double tsr = field_rules::tipSpeedRatio(rpm, radius, wind);
    return tsr > 0.0 && tsr <= EditOperatingConditions::kMaxTipSpeedRatio;
}

}  // namespace

EditOperatingConditions::EditOperatingConditions(wxWindow* parent, KvpProject* project)
    : EditSection(parent, "Design conditions"), m_project(project) {
    auto* grid = new wxGridBagSizer();
    int row = 0;
    m_radiusCtrl = setupInput(grid, row++, 0, "Rotor radius", "[m]", "Rotor radius (hub radius + blade length) in meters.");
    m_hubCtrl = setupInput(grid, row++, 0, "Hub radius", "[m]", "Turbine hub radius in meters.");
    wxTextCtrl* blades = m_bladesCtrl = setupInput(grid, row++, 0, "Blades", "", "");
    m_windCtrl = setupInput(grid, row++, 0, "Wind velocity", "[m/s]",
                            "Wind velocity in m/s used to compute current operating point of the turbine.");
    m_rpmCtrl = setupInput(grid, row++, 0, "Rotation speed", "[rpm]",
                           "Rotation speed in rpm used to compute current operating point of the turbine.");
    m_tsrCtrl = setupInput(grid, row++, 0, "Tip speed ratio", "[-]", "Dimensionless dependent variable.");
    m_densityCtrl = setupInput(grid, row++, 0, "Air density", wxS("[kg/m³]"),
                                     wxS("Air density in kg/m³ corresponding to the desired location."));
    m_viscosityCtrl = setupInput(grid, row++, 0, "Dynamic viscosity", "[kg/m/s]",
                                       "Air dynamic viscosity in kg/m/s corresponding to the desired location.");
    setupDivider(grid, row++, 6);
    m_pitchBox = setupCheckbox(grid, row++, 0, "Enable blade pitch regulation", &m_enablePitch,
                               "When enabled, several computations will be performed to see turbine's performance "
                               "when the blades are pitched by the specified angle.");
    // The sweep's fields in pairs, so that the first page fits a small screen.
    m_pMinCtrl = setupInput(grid, row, 0, "Min. angle", wxS("[°]"), "");
    m_pMaxCtrl = setupInput(grid, row++, 3, "Max. angle", wxS("[°]"), "");
    m_pStepCtrl = setupInput(grid, row, 0, "Step size", wxS("[°]"), "");
    m_pStepsCtrl = setupInput(grid, row++, 3, "Steps", "", "Cannot exceed 11 steps.");
    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    // The tip speed ratio follows radius, wind and rotation speed: a value that would put
    // it out of its range is refused in the field that was typed, which names the cause.
    // A partner that is red by itself (a wind of 0) is its own fault: the rule waits for
    // a value it can use rather than turning this valid field red too.
    const auto fitsWith = [](const wxTextCtrl* first, const bemt::ValueLimit& firstLimits, const wxTextCtrl* second,
                             const bemt::ValueLimit& secondLimits, auto rule) {
        double a = 0.0, b = 0.0;
        return !readPartner(first, firstLimits, a) || !readPartner(second, secondLimits, b) || rule(a, b);
    };
    // The radius belongs to the rotor, which every computation uses: a design point whose
    // tip speed ratio it puts out of range marks the wind and rotation speed instead.
    m_radiusCtrl->SetValidator(InputNumberValidator<double>(
        &m_radius, true, bemt::Limits::R.lowest, bemt::Limits::R.highest, [this](double r) {
            return pairPasses(m_radiusCtrl, m_hubCtrl, bemt::Limits::Rh, m_hubCtrl, [r](double hub) { return r > hub; });
        }));
    m_hubCtrl->SetValidator(InputNumberValidator<double>(
        &m_hubRadius, true, bemt::Limits::Rh.lowest, bemt::Limits::Rh.highest, [this](double hub) {
            return pairPasses(m_hubCtrl, m_radiusCtrl, bemt::Limits::R, m_hubCtrl, [hub](double r) { return hub < r; });
        }));
    blades->SetValidator(InputNumberValidator<int>(&m_blades, true, bemt::Limits::B.lowest, bemt::Limits::B.highest));
    // A rotor in no wind, standing still, in no air or in air without viscosity has no
    // operating point: zero is as invalid as a negative value.
    const auto positive = [](double v) { return v > 0.0; };
    m_windCtrl->SetValidator(InputNumberValidator<double>(
        &m_windVelocity, true, bemt::Limits::V0.lowest, bemt::Limits::V0.highest, [this, fitsWith](double wind) {
            return wind > 0.0 && fitsWith(m_rpmCtrl, kRotationSpeed, m_radiusCtrl, bemt::Limits::R,
                                          [wind](double rpm, double r) { return tipSpeedRatioFits(rpm, r, wind); });
        }));
    m_rpmCtrl->SetValidator(InputNumberValidator<double>(
        &m_rotationSpeed, true, kRotationSpeed.lowest, kRotationSpeed.highest, [this, fitsWith](double rpm) {
            return rpm > 0.0 && fitsWith(m_radiusCtrl, bemt::Limits::R, m_windCtrl, bemt::Limits::V0,
                                         [rpm](double r, double wind) { return tipSpeedRatioFits(rpm, r, wind); });
        }));
    // Typed, the tip speed ratio sets the wind velocity, which must lie within its range.
    m_tsrCtrl->SetValidator(InputNumberValidator<double>(&m_tipSpeedRatio, true, 0.0, kMaxTipSpeedRatio, [this, fitsWith](double tsr) {
        return tsr > 0.0 && fitsWith(m_rpmCtrl, kRotationSpeed, m_radiusCtrl, bemt::Limits::R, [tsr](double rpm, double r) {
                   return bemt::Limits::V0.contains(field_rules::windVelocity(rpm, r, tsr));
               });
    }));
    m_densityCtrl->SetValidator(InputNumberValidator<double>(&m_airDensity, true, bemt::Limits::rho.lowest, bemt::Limits::rho.highest, positive));
    m_viscosityCtrl->SetValidator(InputNumberValidator<double>(&m_viscosity, true, bemt::Limits::mu.lowest, bemt::Limits::mu.highest, positive));
    m_pMinCtrl->SetValidator(InputNumberValidator<double>(
        &m_pitchMin, true, bemt::Limits::pitchAngle.lowest, bemt::Limits::pitchAngle.highest, [this](double min) {
            return pairPasses(m_pMinCtrl, m_pMaxCtrl, bemt::Limits::pitchAngle, m_pMaxCtrl,
                              [min](double max) { return min <= max; }) &&
                   fewEnoughPitchPositions(m_pMinCtrl);
        }));
    m_pMaxCtrl->SetValidator(InputNumberValidator<double>(
        &m_pitchMax, true, bemt::Limits::pitchAngle.lowest, bemt::Limits::pitchAngle.highest, [this](double max) {
            return pairPasses(m_pMaxCtrl, m_pMinCtrl, bemt::Limits::pitchAngle, m_pMaxCtrl,
                              [max](double min) { return max >= min; }) &&
                   fewEnoughPitchPositions(m_pMaxCtrl);
        }));
    m_pStepCtrl->SetValidator(InputNumberValidator<double>(&m_pitchStep, true, bemt::Limits::pitchStep.lowest, bemt::Limits::pitchStep.highest, [this](double step) {
        double min = 0.0, max = 0.0;
        if (!readPartner(m_pMinCtrl, bemt::Limits::pitchAngle, min) ||
            !readPartner(m_pMaxCtrl, bemt::Limits::pitchAngle, max))
            return true;
        // A range with a span needs a step that moves along it, as the command line demands
        // (a step beyond the span gives the first angle alone, as there).
        return (!(max > min) || step > 0.0) && fewEnoughPitchPositions(m_pStepCtrl);
    }));
    const RangeFields pitch(m_pMinCtrl, m_pMaxCtrl, m_pStepCtrl, m_pStepsCtrl, bemt::Limits::pitchAngle,
                            bemt::Limits::pitchStep);
    m_pStepsCtrl->SetValidator(
        InputNumberValidator<int>(nullptr, true, 1, bemt::Limits::kMaxGuiPitchPositions, [this, pitch](int steps) {
            return pitch.stepsPass(steps, *this);
        }).showing([this] {
            return bemt::SweepRange{m_pitchMin, m_pitchMax, m_pitchStep}.countIfRange();
        }));
    pitch.bind();

    // The turbine computations choose their own wind, speeds and pitch, unless airfoil
    // data guess their Reynolds numbers from the design point or a turbine the project
    // does not state takes its rotor speeds from the rotation speed.
    for (const wxWindow* field : {m_windCtrl, m_tsrCtrl}) markFieldUse(field, kDesignPoint);
    markFieldUse(m_rpmCtrl, kDesignPoint | kDefaultRotorSpeeds);
    for (const wxWindow* field : {m_pMinCtrl, m_pMaxCtrl, m_pStepCtrl, m_pStepsCtrl}) markFieldUse(field, kPitchSweep);

    setupLambdaLogic();
    m_pitchBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        enablePitch(m_pitchBox->GetValue());
        event.Skip();
    });
    Bind(kvnEVT_UPDATED_VALUE, &EditOperatingConditions::onUpdatedValue, this);
}

bool EditOperatingConditions::fewEnoughPitchPositions(const wxTextCtrl* field) const {
    // Read from the texts as they stand; too many angles mark the field of the three typed
    // last (the step when none was).
    if (!blames(field, {m_pMinCtrl, m_pMaxCtrl, m_pStepCtrl}, m_pStepCtrl)) return true;
    double min = 0.0, max = 0.0, step = 0.0;
    if (!readPartner(m_pMinCtrl, bemt::Limits::pitchAngle, min) ||
        !readPartner(m_pMaxCtrl, bemt::Limits::pitchAngle, max) ||
        !readPartner(m_pStepCtrl, bemt::Limits::pitchStep, step))
        return true;
    bemt::ComputeSettings sweep;
    sweep.enable_pitch = true;
    sweep.p_min = min;
    sweep.p_max = max;
    sweep.p_step = step;
    return compute_rules::pitchPositions(sweep) <= compute_rules::kMaxPitchPositions;
}

void EditOperatingConditions::setupLambdaLogic() {
    const auto rewriteTipSpeedRatio = [this](wxCommandEvent& event) {
        double radius = 0.0, wind = 0.0, rpm = 0.0;
        if (readSource(m_radiusCtrl, radius) && readSource(m_windCtrl, wind) && readSource(m_rpmCtrl, rpm))
            writeDerived(m_tsrCtrl, field_rules::tipSpeedRatio(rpm, radius, wind));
        event.Skip();
    };
    m_radiusCtrl->Bind(kvnEVT_UPDATED_VALUE, rewriteTipSpeedRatio);
    m_windCtrl->Bind(kvnEVT_UPDATED_VALUE, rewriteTipSpeedRatio);
    m_rpmCtrl->Bind(kvnEVT_UPDATED_VALUE, rewriteTipSpeedRatio);
    m_tsrCtrl->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        double radius = 0.0, tsr = 0.0, rpm = 0.0;
        if (readSource(m_radiusCtrl, radius) && readSource(m_tsrCtrl, tsr) && readSource(m_rpmCtrl, rpm))
            writeDerived(m_windCtrl, field_rules::windVelocity(rpm, radius, tsr));
        event.Skip();
    });
}

void EditOperatingConditions::enablePitch(bool enable) {
    for (wxTextCtrl* field : {m_pMinCtrl, m_pMaxCtrl, m_pStepCtrl, m_pStepsCtrl}) field->Enable(enable);
    Validate();
}

void EditOperatingConditions::update() {
    const bemt::OperatingConditions c = m_project->operatingConditions();
    const bemt::ComputeSettings s = m_project->computeSettings();
    m_radius = c.R;
    m_hubRadius = c.Rh;
    m_blades = c.B;
    m_windVelocity = c.V0;
    m_tipSpeedRatio = c.TSR;
    m_rotationSpeed = bemt::Common::rads2rpm(c.Om);
    m_airDensity = c.rho;
    m_viscosity = c.mu;
    m_enablePitch = s.enable_pitch;
    m_pitchMin = s.p_min;
    m_pitchMax = s.p_max;
    m_pitchStep = s.p_step;
    m_pStepsCtrl->ChangeValue(wxString());
    TransferDataToWindow();
    enablePitch(m_enablePitch);
}

void EditOperatingConditions::saveValues() {
    const bemt::ComputeSettings before = m_project->computeSettings();
    bemt::ComputeSettings settings = before;
    settings.enable_pitch = m_enablePitch;
    settings.p_min = m_pitchMin;
    settings.p_max = m_pitchMax;
    settings.p_step = m_pitchStep;

    bemt::OperatingConditions c = m_project->operatingConditions();
    const bemt::OperatingConditions conditionsBefore = c;
    c.R = m_radius;
    c.Rh = m_hubRadius;
    c.L = m_radius - m_hubRadius;
    c.B = m_blades;
    c.V0 = m_windVelocity;
    // Through rpm and back is not exact: an untouched field keeps the stored rad/s.
    if (m_rotationSpeed != bemt::Common::rads2rpm(c.Om)) c.Om = bemt::Common::rpm2rads(m_rotationSpeed);
    // Derived as a file read back derives it, not from the rounded digits the field shows.
    c.TSR = bemt::tipSpeedRatioOf(c);
    c.rho = m_airDensity;
    c.mu = m_viscosity;
    // One snapshot per edit: the conditions' setter records it, unless only the pitch
    // sweep changed, which would otherwise reach neither the undo history nor the
    // unsaved mark.
    const bool onlyPitchChanged = korvane::sameValues(c, conditionsBefore) && !korvane::sameValues(settings, before);
    m_project->setComputeSettings(settings, onlyPitchChanged);
    m_project->setOeratingConditions(c, true);
}

void EditOperatingConditions::onUpdatedValue(wxCommandEvent&) { saveValues(); }
