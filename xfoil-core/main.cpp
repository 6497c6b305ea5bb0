// xfoil-core: analyses an airfoil with Debian's XFOIL for Korvane, over a plain text
// conversation on standard input and output.
//
//   program → adapter: n, then x and y of n points (one number per line), empty line
//   adapter → program: relative thickness, fraction of chord
//   program → adapter: iterations per XFOIL pass, passes per angle, Ncrit
//   then per angle: alpha (radians), Reynolds number, Mach number, empty line
//   adapter → program: "T alpha cl cd" when converged, otherwise "F alpha cl cd"
//
// Coordinates that XFOIL cannot analyse (too few points, crossed outlines, NaN) are
// answered with F for every request without running XFOIL, and the reason goes to
// standard error. XFOIL runs in a private working directory, is restarted when it dies
// or hangs, and is killed when the adapter ends, also when the program closes the
// conversation or kills the adapter. When XFOIL cannot be used at all (not installed,
// not starting, or not answering twice in a row) the adapter says why on standard
// error and ends without answering, so that the program stops asking.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "AdapterInput.h"
#include "AirfoilGeometry.h"
#include "InputTokens.h"
#include "WorkingFolder.h"
#include "XfoilSession.h"

namespace fs = std::filesystem;
using namespace xfoilcore;

namespace {

constexpr const char* kXfoil = "/usr/bin/xfoil";

bool isExecutableFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

fs::path besideSelf(const char* name) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path(name) : self.parent_path() / name;
}

// Debian's XFOIL; KORVANE_XFOIL names another one (tests use it for faulty stand-ins).
fs::path xfoilProgram() {
    const char* chosen = std::getenv("KORVANE_XFOIL");
    return chosen != nullptr && *chosen != '\0' ? fs::path(chosen) : fs::path(kXfoil);
}

void onStopSignal(int) { requestStop(); }

void installSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: blocking reads return and the adapter cleans up
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// One line on standard error, where the program picks up the adapter's diagnostics.
void diagnose(const std::string& text) {
    std::fprintf(stderr, "xfoil-core: %s\n", text.c_str());
    std::fflush(stderr);
}

void answer(const char* word, const std::string& alpha, double cl, double cd) {
    std::printf("%s %s %.6f %.6f\n", word, alpha.c_str(), cl, cd);
    std::fflush(stdout);
}

// Why XFOIL cannot run here at all, or empty.
std::string unusable(const fs::path& xfoil, const fs::path& shim, const WorkingFolder& folder) {
    if (!isExecutableFile(xfoil)) return "XFOIL is not installed (no " + xfoil.string() + ")";
    std::error_code ec;
    if (!fs::is_regular_file(shim, ec) || ::access(shim.c_str(), R_OK) != 0) {
        return "XFOIL cannot run headless: " + shim.string() + " is missing";
    }
    if (folder.path().empty()) return "XFOIL cannot run: " + folder.reason();
    return {};
}

}  // namespace

int main() {
    installSignals();
    InputTokens tokens(STDIN_FILENO);
    AdapterInput input(tokens);

    const auto coordinates = input.coordinates();
    if (!coordinates) return 0;
    const PreparedAirfoil airfoil = coordinates->readable ? prepareAirfoil(coordinates->points) : PreparedAirfoil{};
    std::printf("%.6f\n", airfoil.thickness);
    std::fflush(stdout);
    if (!airfoil.valid) {
        diagnose("the coordinates cannot be analysed: " +
                 (coordinates->readable ? airfoil.reason : std::string("they are not a list of numbers")));
    }

    const auto settings = input.settings();
    if (!settings) return 0;
    if (!settings->valid) diagnose("the analysis settings are out of range");

    const WorkingFolder folder;
    const fs::path xfoil = xfoilProgram();
    const fs::path shim = besideSelf("libxfoil-nofpe.so");
    std::unique_ptr<XfoilSession> session;
    if (airfoil.valid && settings->valid) {
        if (const std::string reason = unusable(xfoil, shim, folder); !reason.empty()) {
            diagnose(reason);
            return 1;
        }
        SessionSettings sessionSettings;
        sessionSettings.xfoil = xfoil;
        sessionSettings.shim = shim;
        sessionSettings.workDir = folder.path();
        sessionSettings.abandoned = [&tokens] { return tokens.abandoned(); };
        session = std::make_unique<XfoilSession>(sessionSettings, airfoil.points);
        session->configure(settings->iterations, settings->passes, settings->ncrit);
    }

    // The analysis requests, until the program closes the conversation.
    try {
        while (const auto request = input.request()) {
            if (stopRequested()) break;
            if (!session || !request->valid) {
                answer("F", request->alphaToken, 0.0, 0.0);
                continue;
            }
            const Analysis result = session->analyse(request->alphaDeg, request->reynolds, request->mach);
            if (!session->fatal().empty()) {
                diagnose(session->fatal());
                session.reset();
                return 1;
            }
            answer(result.converged ? "T" : "F", request->alphaToken, result.cl, result.cd);
        }
    } catch (const AdapterStop&) {
        // The program has gone or a stop signal came: XFOIL and the directory go below.
    } catch (const std::exception& e) {
        diagnose(e.what());
    }
    session.reset();
    return 0;
}
