#pragma once
// A polar computed by the `xfoil-core` adapter from airfoil coordinates at one Reynolds
// number, over a sweep of angles of attack. Angles that do not converge leave no point.

#include <functional>
#include <istream>
#include <optional>
#include <string>

#include "bemt/AirfoilCoordinates.h"
#include "bemt/ProfileParamsList.h"
#include "bemt/XfoilCommunicator.h"

namespace bemt {

class ProfileParamsXfoil : public ProfileParamsList {
public:
    static inline const std::string kWrongParameters = "Wrong airfoil XFOIL data parameters.";
    // Iteration limit of one XFOIL pass, the first setting line of the conversation.
    static constexpr int kIterationsPerPass = 20;
    // Angles of attack beyond this are refused.
    static constexpr double kMaxAngleDeg = 180.0;

    // Runs the sweep alphaMin, alphaMin + alphaStep, ... <= alphaMax (degrees) at the
    // Reynolds number, then builds the full-circle splines. step receives the sweep
    // progress in percent after every angle (100 for a single angle) and may throw to
    // cancel. A zero or negative step, alphaMax < alphaMin, angles beyond ±180°, more
    // than Limits::kMaxXfoilAngles angles (see sweepRefusal) or a Reynolds number that is
    // not positive throw kWrongParameters.
    // Failures of the coordinates (named by name, with the line), of the channel (the
    // adapter ended, did not answer in time or answered out of step: the sweep is given
    // up with the adapter's own diagnostic where it gave one) and of the spline
    // construction leave as std::string; the points analysed so far stay in the polar
    // either way.
    void setupData(const std::string& name, std::istream* coords, double reynolds, double auxiliary,
                   double alphaMin, double alphaMax, double alphaStep, int maxPasses, int ncrit,
                   std::function<void(int)> step, const XfoilCommunicator::Settings& channel = {});
    void setupData(const std::string& path, double reynolds, double auxiliary, double alphaMin, double alphaMax,
                   double alphaStep, int maxPasses, int ncrit, std::function<void(int)> step,
                   const XfoilCommunicator::Settings& channel = {});
    // The same with coordinates already read (and checked).
    void setupData(const AirfoilCoordinates& coordinates, double reynolds, double auxiliary, double alphaMin,
                   double alphaMax, double alphaStep, int maxPasses, int ncrit, std::function<void(int)> step,
                   const XfoilCommunicator::Settings& channel = {});

    // What the adapter said on its standard error during the last analysis (why it
    // refused the coordinates, for instance); empty when it said nothing.
    const std::string& adapterNote() const { return m_adapterNote; }

    // Why a sweep cannot run, if it cannot: angles outside -180 to 180 degrees (or not
    // numbers), a step that is not positive, alphaMax < alphaMin, or more than
    // Limits::kMaxXfoilAngles angles, counted as SweepRange counts them.
    static std::optional<std::string> sweepRefusal(double alphaMin, double alphaMax, double alphaStep);
    // Why the sweep cannot give a polar of an airfoil point: sweepRefusal, or one angle.
    static std::optional<std::string> polarRefusal(double alphaMin, double alphaMax, double alphaStep);

private:
    static void checkSweep(double reynolds, double auxiliary, double alphaMin, double alphaMax, double alphaStep);
    void sweep(XfoilCommunicator& comm, double reynolds, double auxiliary, double alphaMin, double alphaMax,
               double alphaStep, const std::function<void(int)>& step);

    std::string m_adapterNote;
};

}  // namespace bemt
