#pragma once
// The computations behind the compute panel's actions: what each computes on the runner's
// worker from the project as it is when the airfoil segments are ready, and which result
// window opens. Each is the continuation of an action the runner has started; each ends
// the action.

#include "bemt/BEMTTools.h"
#include "bemt/Records.h"

class ComputationRunner;
class KvpProject;
class ResultOpener;
struct ComputeDialogs;
class wxWindow;

class ComputeActions {
public:
    // The grid of a performance surface: tip speed ratios, pitch angles (degrees) and
    // the wind speed (m/s).
    struct SurfaceGrid {
        bemt::SweepRange tsr;
        bemt::SweepRange pitch;
        double wind = 0.0;
    };

    // A refused pitch sweep goes to dialogs (kept by the caller), over parent.
    ComputeActions(wxWindow* parent, KvpProject& project, ComputationRunner& runner, ResultOpener& opener,
                   const ComputeDialogs& dialogs);

    void analyzeAirfoils();
    void operatingPoint();
    void design();
    void characteristics();
    void powerCurve();
    void surface(const SurfaceGrid& grid);
    // The blade optimisation under the project's optimisation and turbine settings; a stop
    // keeps the best blade found so far.
    void optimise();

private:
    // False (after showing the refusal and ending the action) when the pitch sweep is refused.
    bool pitchAccepted(const bemt::ComputeSettings& settings);
    bemt::InputDataSet inputData() const;
    // design: the blade design, computed for the plain rotor whatever the project's.
    template <class Sweep, class Open>
    void runPitchComputation(Sweep sweep, Open open, bool design = false);

    wxWindow* m_parent;
    KvpProject& m_project;
    ComputationRunner& m_runner;
    ResultOpener& m_opener;
    const ComputeDialogs& m_dialogs;
    // The worker's, while an action runs.
    bemt::BEMTTools m_tools;
};
