#include "XfoilSession.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace xfoilcore {

namespace {

// A converged point this far away is still a good warm start.
constexpr double kWarmStartDeg = 2.0;
// XFOIL that fails to start, or to answer in time, this often in a row is given up.
constexpr int kMaxFailedStarts = 2;
constexpr int kMaxTimeouts = 2;
const char* const kAirfoilFile = "foil.dat";

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

}  // namespace

XfoilSession::XfoilSession(SessionSettings settings, const std::vector<Point>& airfoil)
    : m_settings(std::move(settings)) {
    std::ofstream file(m_settings.workDir / kAirfoilFile);
    file << "xfoil-core airfoil\n";
    char line[64];
    for (const Point& p : airfoil) {
        std::snprintf(line, sizeof line, "%.8f %.8f\n", p.x, p.y);
        file << line;
    }
}

void XfoilSession::configure(int iterations, int passes, double ncrit) {
    m_iterations = iterations;
    m_passes = passes;
    m_ncrit = ncrit;
}

void XfoilSession::start() {
    m_process.reset();
    m_viscous = false;
    m_mach = std::nan("");
    m_needInit = false;
    m_lastConverged.reset();
    ++m_starts;
    auto process = std::make_unique<XfoilProcess>(m_settings.xfoil, m_settings.shim, m_settings.workDir,
                                                  m_settings.commandTimeout, m_settings.abandoned);
    process->command("PLOP");
    process->command("G");
    process->command("");
    process->command(std::string("LOAD ") + kAirfoilFile);
    // Always repanel: the buffer airfoil is what PANE works from, whatever LOAD kept.
    process->command("PANE");
    if (process->command("OPER").prompt.find(".OPERi") == std::string::npos) {
        throw XfoilFailure("XFOIL did not accept the airfoil");
    }
    process->command("ITER " + std::to_string(m_iterations));
    process->command("VPAR");
    process->command("N " + number(m_ncrit));
    process->command("");
    m_process = std::move(process);
}

void XfoilSession::setFlow(double reynolds, double mach) {
    if (!m_viscous) {
        // VISC toggles viscous mode, so it is sent once per XFOIL process.
        m_process->command("VISC " + number(reynolds));
        m_viscous = true;
        m_reynolds = reynolds;
    } else if (reynolds != m_reynolds) {
        m_process->command("RE " + number(reynolds));
        m_reynolds = reynolds;
    }
    if (std::isnan(m_mach) || mach != m_mach) {
        m_process->command("MACH " + number(mach));
        m_mach = mach;
    }
}

XfoilReply XfoilSession::alfa(double alphaDeg) { return m_process->command("ALFA " + number(alphaDeg)); }

void XfoilSession::init() {
    // INIT toggles; the reply tells which way it went.
    if (m_process->command("INIT").initDisarmed()) m_process->command("INIT");
}

void XfoilSession::march(double fromDeg, double toDeg, double maxStepDeg,
                         std::chrono::steady_clock::time_point budgetEnd) {
    const int steps = static_cast<int>(std::ceil(std::fabs(toDeg - fromDeg) / maxStepDeg));
    for (int i = 1; i < steps && std::chrono::steady_clock::now() < budgetEnd; ++i) {
        alfa(fromDeg + (toDeg - fromDeg) * i / steps);
    }
}

Analysis XfoilSession::runPasses(double alphaDeg, std::chrono::steady_clock::time_point budgetEnd) {
    auto result = [](const XfoilReply& reply) { return Analysis{reply.converged(), reply.cl(), reply.cd()}; };
    auto outOfTime = [&] { return std::chrono::steady_clock::now() >= budgetEnd; };

    // Pass 1: warm start, marching from the last converged angle when it is far.
    if (m_needInit) init();
    if (m_lastConverged && std::fabs(alphaDeg - *m_lastConverged) > kWarmStartDeg) {
        march(*m_lastConverged, alphaDeg, kWarmStartDeg, budgetEnd);
    }
    XfoilReply reply = alfa(alphaDeg);
    if (reply.converged() || m_passes < 2 || outOfTime()) return result(reply);

    // Pass 2: more iterations on the same solution, unless it is already NaN.
    if (!reply.sawNaN()) {
        reply = m_process->command("!");
        if (reply.converged() || m_passes < 3 || outOfTime()) return result(reply);
    }

    // Pass 3: cold start at the target angle.
    init();
    reply = alfa(alphaDeg);
    if (reply.converged() || outOfTime()) return result(reply);

    // Pass k >= 4: cold start at 0°, marching up in ever finer steps.
    for (int k = 4; k <= m_passes && !outOfTime(); ++k) {
        init();
        alfa(0.0);
        march(0.0, alphaDeg, 1.0 / (k - 3), budgetEnd);
        reply = alfa(alphaDeg);
        if (reply.converged()) break;
    }
    return result(reply);
}

void XfoilSession::startCounted() {
    try {
        start();
        m_failedStarts = 0;
    } catch (const AdapterStop&) {
        throw;
    } catch (const XfoilTimeout&) {
        throw;  // counted with the other timeouts
    } catch (const std::exception& e) {
        if (++m_failedStarts >= kMaxFailedStarts && m_fatal.empty()) m_fatal = e.what();
        throw;
    }
}

Analysis XfoilSession::notConverged() const { return {false, m_last.cl, m_last.cd}; }

Analysis XfoilSession::analyse(double alphaDeg, double reynolds, double mach) {
    if (!m_fatal.empty()) return notConverged();
    const auto budgetEnd = std::chrono::steady_clock::now() + m_settings.requestBudget;
    Analysis analysis;
    // A dead, hung or confused XFOIL (or one that could not be started) is replaced at
    // the next request, unless it keeps failing the same way.
    try {
        if (!m_process) startCounted();
        setFlow(reynolds, mach);
        analysis = runPasses(alphaDeg, budgetEnd);
        m_timeouts = 0;
    } catch (const AdapterStop&) {
        throw;
    } catch (const XfoilTimeout& e) {
        m_process.reset();
        // Every further request would cost the full time limit as well.
        if (++m_timeouts >= kMaxTimeouts && m_fatal.empty()) m_fatal = std::string(e.what()) + " (twice in a row)";
        return notConverged();
    } catch (const std::exception&) {
        m_process.reset();
        m_timeouts = 0;
        return notConverged();
    }
    m_needInit = !analysis.converged;
    if (analysis.converged) {
        m_lastConverged = alphaDeg;
        m_last = analysis;
    } else {
        m_lastConverged.reset();
        analysis.cl = m_last.cl;
        analysis.cd = m_last.cd;
    }
    return analysis;
}

}  // namespace xfoilcore
