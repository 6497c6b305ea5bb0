#pragma once
// "Airfoils data analyzer": the lift and drag data the computations use at any position
// along the blade (the airfoil segments blended where enabled, at the Reynolds number
// of that position, corrected for stall delay where the project asks for it, beside the
// 2D data then), as three charts.

#include <wx/frame.h>

#include <memory>
#include <optional>
#include <vector>

#include "bemt/Records.h"
#include "results/result_window_list.h"

class ChartBook;
class DisplayAirfoilComputeParams;
class FileManager;
class wxCheckBox;
class wxChoice;
class wxSlider;
class wxStaticText;

class AnalyzeAirfoilsWindow : public wxFrame {
public:
    AnalyzeAirfoilsWindow(const std::shared_ptr<ResultWindowList>& windows, std::vector<bemt::AirfoilSegment> segments,
                          std::vector<bemt::ChordPoint> chordPoints, const bemt::ComputeSettings& compute,
                          const bemt::OperatingConditions& conditions, FileManager* files, int serialNumber,
                          std::optional<bemt::StallDelayInput> stallDelay = std::nullopt);

    // The polars are shared with the compute panel: while it computes, they are left
    // alone (and the drawing stays) so that the computation's Reynolds numbers hold.
    void setSegmentsInUse(std::shared_ptr<const bool> inUse) { m_segmentsInUse = std::move(inUse); }

    // Redraws the charts for position x/R and angle step (degrees). False when the
    // position could not be prepared (the error was shown; the drawing stays).
    bool refresh();
    void setPosition(double x);
    void setResolution(int choiceIndex);
    void setFullRange(bool full);

    double position() const;
    double reynolds() const { return m_reynolds; }
    ChartBook* charts() const { return m_charts; }
    const std::vector<double>& angles() const { return m_alpha; }
    wxSlider* slider() const { return m_slider; }
    wxString positionLabel() const;
    wxChoice* resolutionChoice() const { return m_resolution; }
    wxCheckBox* fullRangeBox() const { return m_fullRange; }

private:
    void onClose(wxCloseEvent& event);
    double step() const;

    ResultWindowMembership m_membership;
    std::vector<bemt::AirfoilSegment> m_segments;
    std::vector<bemt::ChordPoint> m_chordPoints;
    bemt::ComputeSettings m_compute;
    bemt::OperatingConditions m_conditions;
    FileManager* m_files;
    std::shared_ptr<const bool> m_segmentsInUse;

    std::optional<bemt::StallDelayInput> m_stallDelay;

    // The charts point into these; the 2D ones are drawn only with a stall delay.
    std::vector<double> m_alpha, m_cl, m_cd, m_ratio;
    std::vector<double> m_cl2d, m_cd2d, m_ratio2d;
    double m_reynolds = 0.0;

    ChartBook* m_charts = nullptr;
    wxSlider* m_slider = nullptr;
    wxStaticText* m_positionText = nullptr;  // the slider's position as x/R
    wxChoice* m_resolution = nullptr;
    wxCheckBox* m_fullRange = nullptr;
    wxCheckBox* m_highlight = nullptr;
    DisplayAirfoilComputeParams* m_params = nullptr;
};
