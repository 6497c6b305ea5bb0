#pragma once
// Analyses one airfoil with XFOIL, one angle of attack per request, restarting XFOIL
// whenever it dies or hangs (but not for ever). Each request tries up to "max passes" ways to converge,
// from a warm start near the last converged angle to a cold start marched up from 0°,
// within a time budget.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
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

    // One request; not converged when XFOIL fails. XFOIL that fails to start twice in
    // a row, or does not answer in time twice in a row, is given up: fatal() then says
    // why and every further request is answered as not converged at once.
    Analysis analyse(double alphaDeg, double reynolds, double mach);
    const std::string& fatal() const { return m_fatal; }

    // How often XFOIL was started (for tests and diagnostics).
    int starts() const { return m_starts; }

private:
    void start();
    void startCounted();
    Analysis notConverged() const;
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
    int m_timeouts = 0;
    std::string m_fatal;
};

}  // namespace xfoilcore
