#pragma once
// The program's messages to the adapter, as read from its standard input: the
// coordinate message, the three setting lines, and the analysis requests. Every value
// is checked here, so that nothing the program (or anybody else) sends can make the
// adapter run XFOIL on numbers it cannot handle.

#include <optional>
#include <string>
#include <vector>

#include "AirfoilGeometry.h"
#include "InputTokens.h"

namespace xfoilcore {

struct CoordinateMessage {
    // False when the count or a coordinate is not a number, or there are too many.
    bool readable = false;
    std::vector<Point> points;
};

struct SettingLines {
    bool valid = false;
    int iterations = 0;
    int passes = 0;
    double ncrit = 0.0;
};

struct AnalysisRequest {
    std::string alphaToken;  // echoed in the answer as it came
    bool valid = false;      // all three numbers usable by XFOIL
    double alphaDeg = 0.0;
    double reynolds = 0.0;
    double mach = 0.0;
};

class AdapterInput {
public:
    // More coordinates than this are not read as an airfoil (XFOIL itself takes fewer
    // than 1000).
    static constexpr long kMaxCoordinatePoints = 5000;
    static constexpr double kMaxMach = 0.9;
    static constexpr double kMaxAlphaDeg = 90.0;
    static constexpr double kMaxNcrit = 20.0;

    explicit AdapterInput(InputTokens& tokens) : m_tokens(tokens) {}

    // Each is empty when the input ends before the message is complete. Every announced
    // coordinate is consumed even when the message is unreadable, to stay in step.
    std::optional<CoordinateMessage> coordinates();
    std::optional<SettingLines> settings();
    std::optional<AnalysisRequest> request();

    // A whole token as a number, read as the program reads every number; NaN for an
    // infinity, NaN or a number beyond a double, empty when it is no number.
    static std::optional<double> number(const std::optional<std::string>& token);

private:
    InputTokens& m_tokens;
};

}  // namespace xfoilcore
