#pragma once
// "Turbine characteristics": power, thrust, their coefficients and the blade root
// flapwise bending moment (its mean over the azimuth, and its largest value when the
// rotor is computed in sectors) against the wind velocity or the tip speed ratio, one
// curve per pitch angle. A click on a point of the
// power or thrust chart opens the operating point window of that point, recomputed with
// its elements from the rotor (the characteristics keep the totals of their points only).

#include <wx/frame.h>

#include <functional>
#include <memory>
#include <vector>

#include "bemt/Records.h"
#include "results/computed_with.h"
#include "results/result_series.h"
#include "results/result_window_list.h"

class ChartBook;
class FileManager;
class OpResultWindow;
class wxCheckBox;
class wxSizer;

class CharResultWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Turbine characteristics"; }

    CharResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                     std::vector<bemt::pitchControlledCharacteristicElement> results, bemt::InputDataSet rotor,
                     const ComputedWith& with, const bemt::OperatingConditions& projectConditions,
                     FileManager* files, int serialNumber, const wxString& title = defaultTitle());

    void setPitchShown(int index, bool shown);
    // Opens the operating point window of characteristic step k (what a click does);
    // null when the step cannot be recomputed (the message has been shown).
    OpResultWindow* openOperatingPoint(std::size_t step);

    ChartBook* charts() const { return m_charts; }
    const std::vector<wxCheckBox*>& pitchBoxes() const { return m_pitchBoxes; }
    wxCheckBox* forceZeroBox() const { return m_forceZeroBox; }
    int openedWindows() const { return m_opCounter; }
    const std::vector<bemt::pitchControlledCharacteristicElement>& results() const { return m_results; }

protected:
    void generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files);

private:
    void buildCharts();
    void updateTitles();
    // "Force zero y axes limit" shows only on the power and thrust charts, and only
    // while their data lie on one side of zero (elsewhere it would change nothing).
    bool forceZeroMatters() const;
    void updateForceZeroBox();
    void onClose(wxCloseEvent& event);
    int singleShown() const;

    ResultWindowMembership m_membership;
    std::vector<bemt::pitchControlledCharacteristicElement> m_results;
    bemt::InputDataSet m_rotor;  // what the results were computed for; its polars are this window's
    ComputedWith m_with;
    bemt::OperatingConditions m_projectConditions;
    FileManager* m_files;

    result_series::CharSeries m_series;  // the charts point into it
    std::vector<std::function<void()>> m_clickActions;
    std::vector<bool> m_shown;
    ChartBook* m_charts = nullptr;
    std::vector<wxCheckBox*> m_pitchBoxes;
    wxCheckBox* m_forceZeroBox = nullptr;
    int m_opCounter = 0;
};
