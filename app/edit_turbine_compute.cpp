#include "app/edit_turbine_compute.h"

#include <wx/button.h>

#include <cmath>

#include "app/compute_rules.h"
#include "app/kvp_project.h"

namespace {

constexpr int kColumns = 3;

}  // namespace

EditTurbineCompute::EditTurbineCompute(wxWindow* parent, KvpProject* project, EditCompute* compute)
    : EditSection(parent, "Turbine computations"), m_project(project), m_compute(compute) {
    m_grid.tsr = {2.0, 14.0, 0.5};
    m_grid.pitch = {-2.0, 20.0, 1.0};
    m_grid.wind = project->operatingConditions().V0;

    auto* grid = new wxGridBagSizer();
    const wxGBSpan fullRow(1, kColumns);
    m_powerCurveBtn = setupButton(grid, 0, 0, "Compute power curve",
                                  "Computes power, rotor speed, pitch, thrust and torque over the wind speeds of the "
                                  "turbine settings under their control, the rated wind speed and the annual energy.",
                                  fullRow, wxEXPAND, [this] {
                                      m_compute->computePowerCurve(m_turbineCheck ? m_turbineCheck(0)
                                                                                  : std::vector<wxString>());
                                  });
    setupDivider(grid, 1, kColumns);
    setupHeading(grid, 2, 0, "Performance surface", kColumns);
    const wxString tips[7] = {"First tip speed ratio.", "Last tip speed ratio.", "Step of the tip speed ratio.",
                              "First pitch angle.", "Last pitch angle.", "Step of the pitch angle.",
                              "Wind velocity of the surface; the rotor speed follows from the tip speed ratio."};
    m_values = {&m_grid.tsr.min,   &m_grid.tsr.max,    &m_grid.tsr.step, &m_grid.pitch.min,
                &m_grid.pitch.max, &m_grid.pitch.step, &m_grid.wind};
    const wxString labels[7] = {"Min. TSR", "Max. TSR", "TSR step", "Min. pitch", "Max. pitch", "Pitch step",
                                "Wind velocity"};
    const wxString units[7] = {"[-]", "[-]", "[-]", wxS("[°]"), wxS("[°]"), wxS("[°]"), "[m/s]"};
    for (int i = 0; i < 7; ++i) m_fields[i] = setupInput(grid, 3 + i, 0, labels[i], units[i], tips[i]);
    // Each field is red while the grid, read from the texts as they stand, is refused
    // because of it.
    for (int i = 0; i < 7; ++i) {
        m_fields[i]->SetValidator(InputNumberValidator<double>(
            m_values[static_cast<std::size_t>(i)], false, 0.0, 0.0, [this, i](double value) {
                double texts[7] = {};
                // A partner without a number is red by itself: no rule joins it.
                for (int k = 0; k < 7; ++k)
                    if (!parseNumber(m_fields[k]->GetValue(), texts[k])) texts[k] = std::nan("");
                texts[i] = value;
                // A range that runs backwards marks the end just typed.
                const auto typedEnd = [this](compute_rules::SurfaceField min, compute_rules::SurfaceField max) {
                    return blamedField({m_fields[min], m_fields[max]}, m_fields[max]) == m_fields[min] ? min : max;
                };
                const std::array backwardsEnds{typedEnd(compute_rules::TsrMin, compute_rules::TsrMax),
                                               typedEnd(compute_rules::PitchMin, compute_rules::PitchMax)};
                return !compute_rules::surfaceGridFaults(texts[6], {texts[0], texts[1], texts[2]},
                                                         {texts[3], texts[4], texts[5]},
                                                         backwardsEnds)[static_cast<std::size_t>(i)];
            }));
    }
    // Set once the user changes its text (typed, pasted), not by passing through it.
    m_fields[6]->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        m_windSet = true;
        event.Skip();
    });
    m_surfaceBtn = setupButton(grid, 10, 0, "Compute performance surface",
                               "Computes the power, thrust and torque coefficients over the grid of tip speed ratio "
                               "and pitch angle at the wind velocity above.",
                               fullRow, wxEXPAND, [this] {
                                   m_compute->computeSurface(m_grid, invalidFields());
                               });
    setupDivider(grid, 11, kColumns);
    m_stopBtn = setupButton(grid, 12, 0, "Stop the computation", "Aborts current computation process.", fullRow,
                            wxEXPAND, [this] { m_compute->stopComputation(); });
    grid->AddGrowableCol(1);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));
    m_compute->addActionControls({m_powerCurveBtn, m_surfaceBtn}, m_stopBtn);
}

void EditTurbineCompute::update() {
    if (!m_filled) {
        m_filled = true;
        m_grid.wind = m_project->operatingConditions().V0;
        TransferDataToWindow();
        Validate();
        return;
    }
    // Only the wind follows the project, and only until the user sets one: the grid as
    // typed, red text included, stays as it is.
    if (m_windSet || m_grid.wind == m_project->operatingConditions().V0) return;
    m_grid.wind = m_project->operatingConditions().V0;
    m_fields[6]->GetValidator()->TransferToWindow();
    Validate();
}
