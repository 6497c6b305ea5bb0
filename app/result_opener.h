#pragma once
// Opens the result windows of the compute panel's actions into one list: numbers the
// windows of each kind, says why a result above the Betz limit reads "not converged",
// and connects a window's twist and chord transfers to the project and a design
// window's blade export. The windows of computed results (not the analyzer's) report
// through whenShown once they show, before any note about them.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bemt/Records.h"
#include "results/computed_with.h"
#include "turbine/AnnualEnergy.h"
#include "turbine/PerformanceSurface.h"

struct OptimisationOutcome;
class BladeExporter;
class DesignTakeover;
class KvpProject;
class ResultWindowList;
struct ComputeDialogs;
class wxWindow;

class ResultOpener {
public:
    // The settings a result was computed with, shown beside it.
    using ComputedWith = ::ComputedWith;

    // Notes go to dialogs (kept by the caller); twist and chord transfers to takeover, a
    // designed blade's export to exporter.
    ResultOpener(KvpProject& project, const ComputeDialogs& dialogs, DesignTakeover& takeover,
                 BladeExporter& exporter, std::function<void()> whenShown);
    ~ResultOpener();
    ResultOpener(const ResultOpener&) = delete;
    ResultOpener& operator=(const ResultOpener&) = delete;

    // segmentsConditions: the operating conditions the airfoil segments were built for.
    // inUse: raised while a computation uses the segments' shared polars.
    void analyzer(const std::vector<bemt::AirfoilSegment>& segments, const std::vector<bemt::ChordPoint>& chord,
                  const bemt::ComputeSettings& compute, const bemt::OperatingConditions& segmentsConditions,
                  const std::optional<bemt::StallDelayInput>& stallDelay,
                  std::shared_ptr<const bool> inUse);
    void operatingPoint(std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                        const bemt::OperatingConditions& segmentsConditions);
    void design(std::vector<bemt::pitchControlledOperatingPoint> points, const ComputedWith& with,
                const bemt::OperatingConditions& segmentsConditions);
    // rotor: what the steps were computed for, with polars of its own, so that the window
    // can recompute the elements of one step while another computation runs.
    void characteristics(std::vector<bemt::pitchControlledCharacteristicElement> steps, bemt::InputDataSet rotor,
                         const ComputedWith& with, const bemt::OperatingConditions& segmentsConditions);
    void powerCurve(bemt::PowerCurve curve, std::vector<bemt::AnnualEnergy> energy,
                    const bemt::TurbineSettings& turbine, const ComputedWith& with);
    // "Use optimised blade" puts the blade into the project as it is when pressed.
    void optimisation(OptimisationOutcome outcome, const ComputedWith& with);
    // rotor: the name of the project file, for the surface's files.
    void surface(bemt::PerformanceSurface surface, const ComputedWith& with, const std::string& rotor);

    // The titles of the windows opened next name the project as it is called now.
    void followProjectName();
    // The next window of each kind is number 1 again.
    void resetCounters();
    void closeAll();
    const ResultWindowList& windows() const { return *m_windows; }

private:
    // Says why a result above the Betz limit reads "not converged".
    void noteBetzLimit(wxWindow* window, const std::optional<std::string>& note) const;
    void bindTwistTransfer(wxWindow* window) const;

    KvpProject& m_project;
    const ComputeDialogs& m_dialogs;
    DesignTakeover& m_takeover;
    BladeExporter& m_exporter;
    std::function<void()> m_whenShown;
    std::shared_ptr<ResultWindowList> m_windows;
    int m_analyzerCounter = 0;
    int m_opCounter = 0;
    int m_designCounter = 0;
    int m_charCounter = 0;
    int m_powerCurveCounter = 0;
    int m_surfaceCounter = 0;
    int m_optimisationCounter = 0;
};
