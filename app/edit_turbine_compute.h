#pragma once
// "Turbine computations": the power curve under the project's turbine settings and the
// performance surface over a grid of tip speed ratio and pitch, started through the
// compute panel (which owns the airfoil data, the worker and the result windows), with
// a Stop button of its own. The grid is kept here for the session, not in the project.

#include <array>

#include "app/edit_compute.h"
#include "app/edit_section.h"

class KvpProject;
class wxButton;

class EditTurbineCompute : public EditSection {
public:
    EditTurbineCompute(wxWindow* parent, KvpProject* project, EditCompute* compute);

    // The wind speed follows the project's until the user sets one here.
    void update() override;
    // The red fields of the turbine settings, which the power curve uses.
    void setTurbineCheck(EditCompute::InputCheck check) { m_turbineCheck = std::move(check); }

    const EditCompute::SurfaceGrid& grid() const { return m_grid; }
    wxButton* powerCurveButton() const { return m_powerCurveBtn; }
    wxButton* surfaceButton() const { return m_surfaceBtn; }
    wxButton* stopButton() const { return m_stopBtn; }
    wxTextCtrl* field(int index) const { return m_fields[index]; }

private:
    KvpProject* m_project;
    EditCompute* m_compute;
    EditCompute::SurfaceGrid m_grid;
    bool m_windSet = false;
    bool m_filled = false;
    EditCompute::InputCheck m_turbineCheck;
    wxTextCtrl* m_fields[7] = {};
    std::array<double*, 7> m_values = {};
    wxButton* m_powerCurveBtn = nullptr;
    wxButton* m_surfaceBtn = nullptr;
    wxButton* m_stopBtn = nullptr;
};
