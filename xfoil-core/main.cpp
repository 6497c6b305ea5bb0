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
// answered with F for every request without running XFOIL. XFOIL runs in a private
// temporary directory, is restarted when it dies or hangs, and is killed when the
// adapter ends, also when the program closes the conversation or kills the adapter.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>

#include "AirfoilGeometry.h"
#include "InputTokens.h"
#include "XfoilSession.h"

namespace fs = std::filesystem;
using namespace xfoilcore;

namespace {

// More coordinates than this are not read as an airfoil (XFOIL itself takes fewer than
// 1000, and the crossing test grows with the square of the count).
constexpr long kMaxCoordinatePoints = 5000;
constexpr double kMaxMach = 0.9;
constexpr double kMaxAlphaDeg = 90.0;
constexpr double kMaxNcrit = 20.0;

// A private working directory named after the adapter's process, removed with
// everything XFOIL wrote into it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        removeOrphans();
        std::string pattern = (fs::temp_directory_path() / (kPrefix + std::to_string(::getpid()) + ".XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    ~TemporaryDirectory() {
        std::error_code ec;
        if (!m_path.empty()) fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    inline static const std::string kPrefix = "xfoil-core.";

    // An adapter killed outright (SIGKILL) cannot clean up; the next one removes the
    // directories of adapters that no longer run.
    static void removeOrphans() {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(kPrefix, 0) != 0) continue;
            const std::string pid = name.substr(kPrefix.size(), name.find('.', kPrefix.size()) - kPrefix.size());
            if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
            if (::kill(std::stoi(pid), 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ec);
        }
    }

    fs::path m_path;
};

std::optional<double> number(const std::optional<std::string>& token) {
    if (!token) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(token->c_str(), &end);
    if (end == token->c_str()) return std::nullopt;
    return value;
}

fs::path besideSelf(const char* name) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path(name) : self.parent_path() / name;
}

fs::path findXfoil() {
    if (::access("/usr/bin/xfoil", X_OK) == 0) return "/usr/bin/xfoil";
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = std::min(list.find(':', start), list.size());
            const fs::path candidate = fs::path(list.substr(start, end - start)) / "xfoil";
            if (::access(candidate.c_str(), X_OK) == 0) return candidate;
            start = end + 1;
        }
    }
    return {};
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

void answer(const char* word, const std::string& alpha, double cl, double cd) {
    std::printf("%s %s %.6f %.6f\n", word, alpha.c_str(), cl, cd);
    std::fflush(stdout);
}

}  // namespace

int main() {
    installSignals();
    InputTokens input(STDIN_FILENO);

    // The coordinate message. Every announced number is consumed, even when the
    // coordinates cannot be used, so that the conversation stays in step.
    const auto count = number(input.next());
    if (!count) return 0;
    const bool countValid = *count >= 0 && std::floor(*count) == *count && *count <= 1e9;
    bool readable = countValid && *count >= 1 && *count <= kMaxCoordinatePoints;
    std::vector<Point> raw;
    const long announced = countValid ? static_cast<long>(*count) : 0;
    for (long i = 0; i < announced; ++i) {
        const auto xToken = input.next();
        const auto yToken = input.next();
        if (!yToken) return 0;
        const auto x = number(xToken);
        const auto y = number(yToken);
        if (!x || !y) readable = false;
        if (readable) raw.push_back({*x, *y});
    }
    const PreparedAirfoil airfoil = readable ? prepareAirfoil(raw) : PreparedAirfoil{};
    std::printf("%.6f\n", airfoil.thickness);
    std::fflush(stdout);

    // The setting lines.
    const auto iterations = number(input.next());
    const auto passes = number(input.next());
    const auto ncrit = number(input.next());
    const bool settingsValid = iterations && passes && ncrit && *iterations >= 1 && *iterations <= 1000 &&
                               *passes >= 1 && *passes <= 100 && *ncrit > 0.0 && *ncrit <= kMaxNcrit;

    TemporaryDirectory workDir;
    std::unique_ptr<XfoilSession> session;
    const fs::path xfoil = findXfoil();
    const fs::path shim = besideSelf("libxfoil-nofpe.so");
    // Diagnostics for whoever runs the program from a terminal; the answers say F.
    if (xfoil.empty()) std::fprintf(stderr, "xfoil-core: XFOIL is not installed (no /usr/bin/xfoil).\n");
    if (::access(shim.c_str(), R_OK) != 0) std::fprintf(stderr, "xfoil-core: %s is missing.\n", shim.c_str());
    if (airfoil.valid && settingsValid && !workDir.path().empty() && !xfoil.empty()) {
        SessionSettings settings;
        settings.xfoil = xfoil;
        settings.shim = shim;
        settings.workDir = workDir.path();
        settings.abandoned = [&input] { return input.abandoned(); };
        session = std::make_unique<XfoilSession>(settings, airfoil.points);
        session->configure(static_cast<int>(*iterations), static_cast<int>(*passes), *ncrit);
    }

    // The analysis requests, until the program closes the conversation.
    try {
        for (;;) {
            const auto alphaToken = input.next();
            const auto alpha = number(alphaToken);
            const auto reynolds = number(input.next());
            const auto mach = number(input.next());
            if (!alphaToken || stopRequested()) break;
            const bool valid = session && alpha && reynolds && mach && std::isfinite(*alpha) &&
                               std::isfinite(*reynolds) && *reynolds > 0.0 && *mach >= 0.0 && *mach < kMaxMach;
            // Radians arrive with six decimals; rounding to 1e-4° gives XFOIL back the
            // user's angle (9.5 rather than 9.49998).
            const double alphaDeg = alpha ? std::round(*alpha * 180.0 / std::numbers::pi * 1e4) / 1e4 : 0.0;
            if (!valid || !(std::fabs(alphaDeg) < kMaxAlphaDeg)) {
                answer("F", *alphaToken, 0.0, 0.0);
                continue;
            }
            const Analysis result = session->analyse(alphaDeg, *reynolds, *mach);
            answer(result.converged ? "T" : "F", *alphaToken, result.cl, result.cd);
        }
    } catch (const AdapterStop&) {
        // The program has gone or a stop signal came: XFOIL and the directory go below.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xfoil-core: %s\n", e.what());
    }
    session.reset();
    return 0;
}
