#pragma once
// Analyses one airfoil with XFOIL, one angle of attack per request, restarting XFOIL
// whenever it dies or hangs. Each request tries up to "max passes" ways to converge,
// from a warm start near the last converged angle to a cold start marched up from 0°,
// within a time budget.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "AirfoilGeometry.h"
#include "XfoilProcess.h"

namespace xfoilcore {

struct SessionSettings {
    std::filesystem::path xfoil = "/usr/bin/xfoil";
    std::filesystem::path shim;
    std::filesystem::path workDir;
    std::chrono::milliseconds commandTimeout{10000};  // one XFOIL command
    std::chrono::milliseconds requestBudget{20000};   // no new pass starts after this
    std::function<bool()> abandoned;
};

struct Analysis {
    bool converged = false;
    double cl = 0.0;
    double cd = 0.0;
};

class XfoilSession {
public:
    // The airfoil must be prepared (valid, normalised); it is written to the working
    // directory as a labelled coordinate file.
    XfoilSession(SessionSettings settings, const std::vector<Point>& airfoil);

    // The three setting lines: iterations per pass, passes per request, Ncrit.
    void configure(int iterations, int passes, double ncrit);

    Analysis analyse(double alphaDeg, double reynolds, double mach);

    // How often XFOIL was started (for tests and diagnostics).
    int starts() const { return m_starts; }

private:
    void start();
    void setFlow(double reynolds, double mach);
    XfoilReply alfa(double alphaDeg);
    void init();
    void march(double fromDeg, double toDeg, double maxStepDeg, std::chrono::steady_clock::time_point budgetEnd);
    Analysis runPasses(double alphaDeg, std::chrono::steady_clock::time_point budgetEnd);

    SessionSettings m_settings;
    std::unique_ptr<XfoilProcess> m_process;
    int m_iterations = 20;
    int m_passes = 1;
    double m_ncrit = 9.0;
    bool m_viscous = false;
    double m_reynolds = 0.0;
    double m_mach = 0.0;
    bool m_needInit = false;
    std::optional<double> m_lastConverged;
    Analysis m_last;
    int m_starts = 0;
    int m_failedStarts = 0;
};

}  // namespace xfoilcore
