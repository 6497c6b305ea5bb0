#pragma once
// "Performance and blade characteristics": the result of an operating point computation,
// one operating point per blade pitch angle, as a table of power, thrust and root moment
// and six charts of the element quantities along the blade (for a rotor computed in
// azimuth sectors, their means over the sectors, and a seventh page "Over the rotor disc"
// with the elements of every sector), with highlighting, export and the request to
// optimise the project's twist distribution.

#include <wx/frame.h>

#include <memory>
#include <vector>

#include "bemt/Records.h"
#include "results/computed_with.h"
#include "results/disc_map_series.h"
#include "results/result_series.h"
#include "results/result_window_list.h"

class ChartBook;
class DisplayDiscMap;
class DisplayOpData;
class FileManager;
class wxButton;
class wxCheckBox;
class wxSizer;

class OpResultWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Performance and blade characteristics"; }

    OpResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                   std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                   const bemt::OperatingConditions& projectConditions, FileManager* files, int serialNumber,
                   const wxString& title = defaultTitle());

    void disableZeroPitchButtons();
    void enableZeroPitchButtons();

    // Shows or hides pitch angle i everywhere, as its check box does.
    void setPitchShown(int index, bool shown);
    // Sends kvnEVT_OPTIMIZE_TWIST for the selected (single, zero) pitch angle.
    void optimizeTwist();

    ChartBook* charts() const { return m_charts; }
    DisplayOpData* table() const { return m_table; }
    // The page "Over the rotor disc"; null for a rotor computed in one sector.
    DisplayDiscMap* discMap() const { return m_discMap; }
    const std::vector<wxCheckBox*>& pitchBoxes() const { return m_pitchBoxes; }
    wxButton* optimizeButton() const { return m_optimizeButton; }
    wxCheckBox* unconvergedBox() const { return m_unconvergedBox; }
    wxCheckBox* extrapolatedBox() const { return m_extrapolatedBox; }
    int selectedPitch() const { return m_selectedPitch; }
    const std::vector<bemt::pitchControlledOperatingPoint>& points() const { return m_points; }

protected:
    struct DeferLayout {};
    // For windows that add actions: construct, then call layoutWindow().
    OpResultWindow(DeferLayout, const std::shared_ptr<ResultWindowList>& windows,
                   std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                   const bemt::OperatingConditions& projectConditions, FileManager* files, int serialNumber,
                   const wxString& title);

    void layoutWindow();
    // The "Actions" group; windows built on this one append their items.
    virtual void generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files);
    // A button enabled only while a single pitch angle of exactly 0 is shown.
    void addZeroPitchButton(wxButton* button);
    // Sends a twist or chord event to the window's receivers (bound on this window).
    void send(wxEvent& event);

private:
    void buildCharts();
    void updateTitles();
    void onClose(wxCloseEvent& event);

    ResultWindowMembership m_membership;
    std::vector<bemt::pitchControlledOperatingPoint> m_points;  // without their sectors
    std::vector<result_series::DiscMap> m_discMaps;  // what the disc map draws of the sectors, until it takes them
    ComputedWith m_with;
    bemt::OperatingConditions m_projectConditions;
    FileManager* m_files;

    result_series::OpSeries m_series;  // the charts point into it
    ChartBook* m_charts = nullptr;
    DisplayOpData* m_table = nullptr;
    DisplayDiscMap* m_discMap = nullptr;
    std::vector<wxCheckBox*> m_pitchBoxes;
    std::vector<wxButton*> m_zeroPitchButtons;
    wxButton* m_optimizeButton = nullptr;
    wxCheckBox* m_unconvergedBox = nullptr;
    wxCheckBox* m_extrapolatedBox = nullptr;
    int m_selectedPitch = -1;
};
