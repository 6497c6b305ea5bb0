// An XFOIL that cannot be used is given up rather than retried for ever: one that ends
// at once, one that prints garbage without end, one that hangs. Stand-ins are shell
// scripts; the answer time limit is short so that the test is quick.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "TempFolder.h"
#include "XfoilSession.h"

namespace {

namespace fs = std::filesystem;
using namespace xfoilcore;

std::vector<Point> square() {
    return {{1, 0}, {0.5, 0.05}, {0, 0}, {0.5, -0.05}, {1, 0}};
}

class StandIn {
public:
    explicit StandIn(const std::string& body) {
        std::ofstream(m_dir.path() / "xfoil") << "#!/bin/sh\n" << body << "\n";
        fs::permissions(m_dir.path() / "xfoil", fs::perms::owner_all);
    }

    SessionSettings settings() const {
        SessionSettings s;
        s.xfoil = m_dir.path() / "xfoil";
        s.workDir = m_dir.path();
        s.commandTimeout = std::chrono::milliseconds(200);
        s.requestBudget = std::chrono::milliseconds(1000);
        return s;
    }

private:
    korvane::testing::TempFolder m_dir;
};

TEST(XfoilSession, UnusableXfoilIsGivenUpAfterTwoFailuresInARow) {
    const std::string hung = "XFOIL did not answer within 0.2 s (twice in a row)";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"exit 3", "XFOIL ended as soon as it started"},
        {"echo garbage; exit 0", "XFOIL ended as soon as it started"},
        {"exec yes 'garbage without end'", hung},
        {"exec sleep 600", hung}};
    for (const auto& [body, reason] : cases) {
        StandIn standIn(body);
        XfoilSession session(standIn.settings(), square());
        session.configure(20, 1, 9);
        EXPECT_FALSE(session.analyse(0.0, 1e6, 0.0).converged);
        EXPECT_TRUE(session.fatal().empty()) << body;  // one failure may be bad luck
        EXPECT_FALSE(session.analyse(1.0, 1e6, 0.0).converged);
        EXPECT_EQ(session.fatal(), reason) << body;
        // Given up: no further attempt.
        EXPECT_FALSE(session.analyse(2.0, 1e6, 0.0).converged);
        EXPECT_EQ(session.starts(), 2) << body;
    }
}

}  // namespace
