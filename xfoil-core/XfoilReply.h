#pragma once
// What one XFOIL command printed, gathered line by line so that even the megabytes a
// NaN state prints are never held in memory: the last lift and drag block and the
// signals the driver needs.

#include <string>
#include <string_view>

namespace xfoilcore {

class XfoilReply {
public:
    // One complete output line.
    void addLine(std::string_view line);

    // The last "a = ... CL = ..." and "Cm = ... CD = ..." pair was printed, both values
    // are finite numbers, and the viscous solution did not report failure.
    bool converged() const;
    // A NaN or an overflowed field was printed.
    bool sawNaN() const { return m_nan; }
    bool hasCoefficients() const { return m_hasCl && m_hasCd; }
    double cl() const { return m_cl; }
    double cd() const { return m_cd; }
    // The reply of INIT, which toggles: true when the boundary layers will be
    // initialised on the next point.
    bool initArmed() const { return m_initArmed; }
    bool initDisarmed() const { return m_initDisarmed; }
    bool noAirfoil() const { return m_noAirfoil; }

    // The menu prompt that ended the reply (" XFOIL   c>  ", ".OPERv   c>  ", ...).
    std::string prompt;

private:
    bool m_hasCl = false;
    bool m_hasCd = false;
    double m_cl = 0.0;
    double m_cd = 0.0;
    bool m_failed = false;
    bool m_nan = false;
    bool m_initArmed = false;
    bool m_initDisarmed = false;
    bool m_noAirfoil = false;
};

}  // namespace xfoilcore
