#pragma once
// "Power curve": the rotor under its controller over the wind speed, on five charts
// (electrical and rotor power with rated power marked; rotor speed and pitch; thrust and
// torque; power and thrust coefficients; the blade root flapwise bending moment, its mean
// over the azimuth and, for a rotor computed in sectors, its largest value), with the rated wind speed and the annual
// energy of each wind climate in a table beside them.

#include <wx/frame.h>

#include <memory>
#include <vector>

#include "turbine/AnnualEnergy.h"
#include "turbine/TurbineController.h"
#include "results/computed_with.h"
#include "results/result_series.h"
#include "results/result_window_list.h"

class ChartBook;
class FileManager;
class wxCheckBox;
class wxButton;
class wxListCtrl;
class wxStaticText;

class PowerCurveWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Power curve"; }

    PowerCurveWindow(const std::shared_ptr<ResultWindowList>& windows, bemt::PowerCurve curve,
                     bemt::TurbineSettings settings, std::vector<bemt::AnnualEnergy> energy,
                     const ComputedWith& with, FileManager* files, int serialNumber);

    ChartBook* charts() const { return m_charts; }
    wxListCtrl* energyTable() const { return m_energyTable; }
    wxButton* tableButton() const { return m_tableButton; }
    // The note on wind speeds above rated power at fixed pitch; null when there are none.
    wxStaticText* overRatedLabel() const { return m_overRatedLabel; }
    const bemt::PowerCurve& curve() const { return m_curve; }
    // The table the "Export power curve table" action writes.
    std::string tableCsv() const;

private:
    // The curves of the charts; the charts point into these vectors.
    struct Series {
        std::vector<double> windAll, P, P_aero;            // every wind speed (0 outside cut-in to cut-out)
        std::vector<double> wind, rpm, pitch, T, Q, Cp, Ct, M, M_max;  // the computed wind speeds
        std::vector<double> ratedWind, rated;              // the rated power line
        std::vector<bool> unconverged, extrapolated, overRated;
        // Power, thrust, torque and moments are shown in W, kW or MW (N, kN, MN) as reads best.
        result_series::ScaledUnit powerUnit, thrustUnit, torqueUnit, momentUnit;
    };
    void buildSeries();
    void buildCharts();
    wxWindow* buildSummary(wxWindow* parent);
    void onClose(wxCloseEvent& event);

    ResultWindowMembership m_membership;
    bemt::PowerCurve m_curve;
    bemt::TurbineSettings m_settings;
    std::vector<bemt::AnnualEnergy> m_energy;
    FileManager* m_files;
    bool m_sectors;  // computed in more than one azimuth sector
    Series m_series;
    ChartBook* m_charts = nullptr;
    wxListCtrl* m_energyTable = nullptr;
    wxButton* m_tableButton = nullptr;
    wxStaticText* m_overRatedLabel = nullptr;
};
