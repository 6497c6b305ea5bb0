#pragma once
// "Performance surface": the power, thrust and torque coefficients over tip speed ratio
// and pitch, as families of curves over the tip speed ratio (one per pitch angle, on the
// pages of a choice, each curve its own colour and line) and as a heat map of the
// chosen coefficient with its contour lines; both read from 0 unless negative values are
// asked for. Exports as PNG, CSV and the tables file controller tuning tools read.

#include <wx/frame.h>

#include <array>
#include <memory>
#include <vector>

#include "results/computed_with.h"
#include "turbine/PerformanceSurface.h"
#include "results/result_window_list.h"

class ChartBook;
class DisplayHeatMap;
class FileManager;
class wxCheckBox;

class SurfaceWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Performance surface"; }

    // rotorName goes into the header of the tables file.
    SurfaceWindow(const std::shared_ptr<ResultWindowList>& windows, bemt::PerformanceSurface surface,
                  const ComputedWith& with, FileManager* files, int serialNumber,
                  const std::string& rotorName);

    ChartBook* charts() const { return m_charts; }
    DisplayHeatMap* heatMap() const { return m_heatMap; }
    const std::vector<wxCheckBox*>& pitchBoxes() const { return m_pitchBoxes; }
    const bemt::PerformanceSurface& surface() const { return m_surface; }
    void setPitchShown(int index, bool shown);
    // Takes negative coefficients into the charts' ranges and the heat map's scale
    // (by default they start at 0), as the "Show negative coefficients" box does.
    void showNegative(bool shown);
    wxCheckBox* negativeBox() const { return m_negativeBox; }
    // Shows coefficient 0 (Cp), 1 (Ct) or 2 (Cq) on the heat map.
    void showOnHeatMap(int coefficient);
    // The tables file the "Export tables for controller tuning" action writes.
    std::string tablesText() const;

private:
    const std::vector<std::vector<double>>& matrix(int coefficient) const;
    void buildCharts();
    void exportHeatMap();
    void onClose(wxCloseEvent& event);

    ResultWindowMembership m_membership;
    bemt::PerformanceSurface m_surface;
    FileManager* m_files;
    std::string m_rotorName;
    // Per pitch angle, the three coefficients over the tip speed ratio.
    std::vector<std::array<std::vector<double>, 3>> m_curves;
    ChartBook* m_charts = nullptr;
    DisplayHeatMap* m_heatMap = nullptr;
    std::vector<wxCheckBox*> m_pitchBoxes;
    wxCheckBox* m_negativeBox = nullptr;
};
