// The adapter's reading of the program's messages: the coordinate message (kept in
// step even when it cannot be used), the setting lines and the analysis requests, with
// every value XFOIL cannot take refused.

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "AdapterInput.h"

namespace {

using namespace xfoilcore;

// The adapter's standard input holding text.
class Input {
public:
    explicit Input(const std::string& text)
        : m_fd(::memfd_create("adapter-input", 0)), m_tokens(m_fd), m_input(m_tokens) {
        EXPECT_EQ(::write(m_fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::lseek(m_fd, 0, SEEK_SET);
    }
    ~Input() { ::close(m_fd); }
    AdapterInput& operator*() { return m_input; }
    AdapterInput* operator->() { return &m_input; }

private:
    int m_fd;
    InputTokens m_tokens;
    AdapterInput m_input;
};

TEST(AdapterInput, ConversationAsTheProgramSendsIt) {
    Input input("3\n1.000000\n0.000000\n0.000000\n0.000000\n1.000000\n-0.010000\n\n20\n5\n9\n"
                "0.087266\n500000.000000\n0.100000\n\n");
    const auto coords = input->coordinates();
    ASSERT_TRUE(coords && coords->readable);
    ASSERT_EQ(coords->points.size(), 3u);
    EXPECT_DOUBLE_EQ(coords->points[2].y, -0.01);
    const auto settings = input->settings();
    ASSERT_TRUE(settings && settings->valid);
    EXPECT_EQ(settings->iterations, 20);
    EXPECT_EQ(settings->passes, 5);
    EXPECT_DOUBLE_EQ(settings->ncrit, 9);
    const auto request = input->request();
    ASSERT_TRUE(request && request->valid);
    EXPECT_EQ(request->alphaToken, "0.087266");
    EXPECT_DOUBLE_EQ(request->alphaDeg, 5.0);  // 0.087266 rad is 4.99998°, given back as 5°
    EXPECT_DOUBLE_EQ(request->reynolds, 5e5);
    EXPECT_DOUBLE_EQ(request->mach, 0.1);
    EXPECT_FALSE(input->request().has_value());
}

// Unusable coordinates are still consumed to the last announced number, so that the
// setting lines that follow are read as setting lines.
TEST(AdapterInput, UnusableCoordinateMessagesStayInStep) {
    for (const std::string& points : {std::string("2\n1 0\nabc 0.5\n"), std::string("2\n1 0\n0.5x 0.5\n")}) {
        Input input(points + "\n20\n5\n9\n");
        const auto coords = input->coordinates();
        ASSERT_TRUE(coords.has_value());
        EXPECT_FALSE(coords->readable);
        EXPECT_TRUE(coords->points.empty());
        EXPECT_TRUE(input->settings()->valid) << points;
    }
    std::string many = "6000\n";
    for (int i = 0; i < 6000; ++i) many += "0.5\n0.1\n";
    Input tooMany(many + "20\n5\n9\n");
    EXPECT_FALSE(tooMany->coordinates()->readable);
    EXPECT_TRUE(tooMany->settings()->valid);
    for (const char* count : {"-1", "2.5", "1e300", "nan", "zwei", "0x3"}) {  // no hexadecimal, as everywhere
        Input input(std::string(count) + "\n");
        EXPECT_FALSE(input->coordinates()->readable) << count;
    }
    Input truncated("3\n1 0\n0 0\n");
    EXPECT_FALSE(truncated->coordinates().has_value());
    Input empty("");
    EXPECT_FALSE(empty->coordinates().has_value());
}

TEST(AdapterInput, SettingsAndRequestsOutOfRangeAreRefused) {
    for (const char* lines : {"0 5 9", "20 0 9", "20 5 0", "20 5 21", "1e9 5 9", "20 5 nan", "20 five 9"}) {
        Input input(lines);
        EXPECT_FALSE(input->settings()->valid) << lines;
    }
    Input shortSettings("20 5");
    EXPECT_FALSE(shortSettings->settings().has_value());

    // Angle beyond 90°, not finite; Reynolds number not positive; Mach 0.9 or more.
    for (const char* request : {"1.6 1e6 0", "nan 1e6 0", "inf 1e6 0", "0.1 0 0", "0.1 -1e6 0", "0.1 inf 0",
                                "0.1 1e6 0.95", "0.1 1e6 -0.1", "0.1 1e6 x", "0.1 1e6"}) {
        Input input(request);
        const auto parsed = input->request();
        ASSERT_TRUE(parsed.has_value()) << request;
        EXPECT_FALSE(parsed->valid) << request;
        EXPECT_EQ(parsed->alphaToken, std::string(request).substr(0, std::string(request).find(' ')));
    }
}

}  // namespace
