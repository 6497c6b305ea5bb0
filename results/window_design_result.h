#pragma once
// "Performance at optimal blade characteristics (automatic design)": the operating point
// of the designed blade, with the commands that copy its twist or chord distribution
// into the project.

#include <functional>
#include <vector>

#include "results/window_op_result.h"

class DesignResultWindow : public OpResultWindow {
public:
    static wxString designTitle() { return "Performance at optimal blade characteristics (automatic design)"; }

    DesignResultWindow(const std::shared_ptr<ResultWindowList>& windows,
                       std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                       const bemt::OperatingConditions& projectConditions, FileManager* files, int serialNumber);

    // Send kvnEVT_TRANSFER_DESIGNED_TWIST / _CHORD for the selected pitch angle.
    void useTwist();
    void useChord();

    // The designed blade of the selected pitch angle (x/R, c/R, twist in degrees) goes
    // to exporter, which writes it for AeroDyn ("Export blade to AeroDyn..."). Without
    // an exporter the button stays disabled.
    using BladeExporter = std::function<void(const std::vector<double>& x, const std::vector<double>& chord,
                                             const std::vector<double>& twist)>;
    void setBladeExporter(BladeExporter exporter);
    void exportBlade();

    wxButton* twistButton() const { return m_twistButton; }
    wxButton* exportButton() const { return m_exportButton; }
    wxButton* chordButton() const { return m_chordButton; }

protected:
    void generateActionsMenu(wxWindow* parent, wxSizer* sizer, FileManager* files) override;

private:
    wxButton* m_twistButton = nullptr;
    wxButton* m_chordButton = nullptr;
    wxButton* m_exportButton = nullptr;
    BladeExporter m_exporter;
};
