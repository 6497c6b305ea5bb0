#include "AdapterInput.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "bemt/NumberText.h"

namespace xfoilcore {

std::optional<double> AdapterInput::number(const std::optional<std::string>& token) {
    if (!token) return std::nullopt;
    const auto parsed = bemt::NumberText::wholeDouble(*token);
    if (parsed.kind == bemt::NumberText::Whole::NotANumber) return std::nullopt;
    // Infinities, NaN and numbers beyond a double are numbers that no check accepts.
    if (parsed.kind == bemt::NumberText::Whole::NotFinite) return std::numeric_limits<double>::quiet_NaN();
    return parsed.value;
}

std::optional<CoordinateMessage> AdapterInput::coordinates() {
    const auto countToken = m_tokens.next();
    if (!countToken) return std::nullopt;
    const auto count = number(countToken);
    // A count that is not a whole number leaves nothing to consume: the rest of the
    // conversation then fails in the setting lines and requests.
    const bool countValid = count && *count >= 0 && *count <= 1e9 && std::floor(*count) == *count;
    CoordinateMessage message;
    message.readable = countValid && *count >= 1 && *count <= kMaxCoordinatePoints;
    const long announced = countValid ? static_cast<long>(*count) : 0;
    if (message.readable) message.points.reserve(static_cast<std::size_t>(announced));
    for (long i = 0; i < announced; ++i) {
        const auto x = m_tokens.next();
        const auto y = m_tokens.next();
        if (!y) return std::nullopt;
        const auto xValue = number(x);
        const auto yValue = number(y);
        if (!xValue || !yValue) message.readable = false;
        if (message.readable) message.points.push_back({*xValue, *yValue});
    }
    if (!message.readable) message.points.clear();
    return message;
}

std::optional<SettingLines> AdapterInput::settings() {
    const auto iterationsToken = m_tokens.next();
    const auto passesToken = m_tokens.next();
    const auto ncritToken = m_tokens.next();
    if (!ncritToken) return std::nullopt;
    const auto iterations = number(iterationsToken);
    const auto passes = number(passesToken);
    const auto ncrit = number(ncritToken);
    SettingLines lines;
    lines.valid = iterations && passes && ncrit && *iterations >= 1 && *iterations <= 1000 && *passes >= 1 &&
                  *passes <= 100 && *ncrit > 0.0 && *ncrit <= kMaxNcrit;
    if (lines.valid) {
        lines.iterations = static_cast<int>(*iterations);
        lines.passes = static_cast<int>(*passes);
        lines.ncrit = *ncrit;
    }
    return lines;
}

std::optional<AnalysisRequest> AdapterInput::request() {
    const auto alphaToken = m_tokens.next();
    const auto reynoldsToken = m_tokens.next();
    const auto machToken = m_tokens.next();
    if (!alphaToken) return std::nullopt;
    const auto alpha = number(alphaToken);
    const auto reynolds = number(reynoldsToken);
    const auto mach = number(machToken);
    AnalysisRequest request;
    request.alphaToken = *alphaToken;
    if (!alpha || !reynolds || !mach || !std::isfinite(*alpha) || !std::isfinite(*reynolds)) return request;
    // Radians arrive with six decimals; rounding to 1e-4° gives XFOIL back the user's
    // angle (9.5 rather than 9.49998).
    const double alphaDeg = std::round(*alpha * 180.0 / std::numbers::pi * 1e4) / 1e4;
    request.valid = std::fabs(alphaDeg) < kMaxAlphaDeg && *reynolds > 0.0 && *mach >= 0.0 && *mach < kMaxMach;
    if (request.valid) {
        request.alphaDeg = alphaDeg;
        request.reynolds = *reynolds;
        request.mach = *mach;
    }
    return request;
}

}  // namespace xfoilcore
