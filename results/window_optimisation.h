#pragma once
// "Blade optimisation": how an optimisation went and what it gained. Charts of the
// objective over the iterations, the chord and twist of the project's blade and of the
// optimised one, Cp over the tip speed ratio and the power curve of both; beside them
// how the search ended (stopped runs labelled so), the before/after table that
// korvane-cli optimise prints, and "Use optimised blade", which hands the blade to the
// project.

#include <wx/frame.h>

#include <functional>
#include <memory>
#include <vector>

#include "optimise/OptimisedBlade.h"
#include "results/computed_with.h"
#include "results/result_series.h"
#include "results/result_window_list.h"

class ChartBook;
class FileManager;
class wxButton;
class wxListCtrl;
class wxStaticText;

// What an optimisation computed, for its window.
struct OptimisationOutcome {
    korvane::OptimisationSettings settings;
    bemt::TurbineSettings turbine;
    korvane::optimise::OptimisationResult result;
    korvane::optimise::BladeComparison comparison;
    korvane::optimise::CpCurve cpBefore;
    korvane::optimise::CpCurve cpAfter;
    std::vector<bemt::ChordPoint> chordBefore;   // the project's blade
    std::vector<bemt::TwistPoint> twistBefore;
};

class OptimisationWindow : public wxFrame {
public:
    static wxString defaultTitle() { return "Blade optimisation"; }
    static inline const wxString kUseBlade = "Use optimised blade";

    // useBlade: puts the optimised blade into the project; not offered when no blade
    // meets every limit.
    OptimisationWindow(const std::shared_ptr<ResultWindowList>& windows, OptimisationOutcome outcome,
                       const ComputedWith& with, FileManager* files, int serialNumber,
                       std::function<void()> useBlade);

    ChartBook* charts() const { return m_charts; }
    wxListCtrl* table() const { return m_table; }
    wxButton* useButton() const { return m_useButton; }
    // How the search ended: "Converged after 412 evaluations (SLSQP)." or "Stopped ...".
    wxStaticText* endLabel() const { return m_endLabel; }
    const OptimisationOutcome& outcome() const { return m_outcome; }

private:
    // The curves of the charts; the charts point into these vectors.
    struct Series {
        std::vector<double> iteration, objective, feasibleIteration, feasibleObjective;
        std::vector<double> x, chordBefore, chordAfter, twistBefore, twistAfter;
        std::vector<double> wind, powerBefore, powerAfter;
        result_series::ScaledUnit powerUnit;
    };
    void buildSeries();
    void buildCharts();
    wxWindow* buildSummary(wxWindow* parent);
    wxString endText() const;
    void onClose(wxCloseEvent& event);

    ResultWindowMembership m_membership;
    OptimisationOutcome m_outcome;
    FileManager* m_files;
    std::function<void()> m_useBlade;
    Series m_series;
    ChartBook* m_charts = nullptr;
    wxListCtrl* m_table = nullptr;
    wxButton* m_useButton = nullptr;
    wxStaticText* m_endLabel = nullptr;
};
