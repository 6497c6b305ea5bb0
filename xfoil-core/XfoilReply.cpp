#include "XfoilReply.h"

#include <charconv>
#include <cmath>

namespace xfoilcore {

namespace {

// The number after `label` in the line; NaN when it is missing or unreadable
// (XFOIL prints "NaN" or a row of '*' when a value overflows its format).
double valueAfter(std::string_view line, std::string_view label) {
    const std::size_t at = line.find(label);
    if (at == std::string_view::npos) return std::nan("");
    std::string_view rest = line.substr(at + label.size());
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end == rest.data()) return std::nan("");
    return value;
}

}  // namespace

void XfoilReply::addLine(std::string_view line) {
    if (line.find("NaN") != std::string_view::npos || line.find("****") != std::string_view::npos) m_nan = true;
    if (line.find("a =") != std::string_view::npos && line.find("CL =") != std::string_view::npos) {
        m_cl = valueAfter(line, "CL =");
        m_hasCl = true;
        m_hasCd = false;
    } else if (line.find("Cm =") != std::string_view::npos && line.find("CD =") != std::string_view::npos) {
        m_cd = valueAfter(line, "CD =");
        m_hasCd = true;
    }
    // "Convergence failed" alone also appears in harmless boundary-layer chatter.
    if (line.find("VISCAL:  Convergence failed") != std::string_view::npos) m_failed = true;
    if (line.find("BLs will be initialized on next point") != std::string_view::npos) m_initArmed = true;
    if (line.find("BLs are assumed to be initialized") != std::string_view::npos) m_initDisarmed = true;
    if (line.find("No airfoil available") != std::string_view::npos) m_noAirfoil = true;
}

bool XfoilReply::converged() const {
    return m_hasCl && m_hasCd && !m_failed && std::isfinite(m_cl) && std::isfinite(m_cd);
}

}  // namespace xfoilcore
