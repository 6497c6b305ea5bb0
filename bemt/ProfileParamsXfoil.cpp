#include "bemt/ProfileParamsXfoil.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/HelperXfoil.h"
#include "bemt/NumberText.h"
#include "bemt/SweepRange.h"
#include "bemt/TextFile.h"
#include "bemt/ValueLimits.h"

namespace bemt {

void ProfileParamsXfoil::setupData(const std::string& path, double reynolds, double auxiliary, double alphaMin,
                                   double alphaMax, double alphaStep, int maxPasses, int ncrit,
                                   std::function<void(int)> step, const XfoilCommunicator::Settings& channel) {
    std::istringstream file(readTextFile(path));
    setupData(path, &file, reynolds, auxiliary, alphaMin, alphaMax, alphaStep, maxPasses, ncrit, std::move(step),
              channel);
}

void ProfileParamsXfoil::setupData(const std::string& name, std::istream* coords, double reynolds, double auxiliary,
                                   double alphaMin, double alphaMax, double alphaStep, int maxPasses, int ncrit,
                                   std::function<void(int)> step, const XfoilCommunicator::Settings& channel) {
    checkSweep(reynolds, auxiliary, alphaMin, alphaMax, alphaStep);
    setupData(AirfoilCoordinates::read(*coords, name), reynolds, auxiliary, alphaMin, alphaMax, alphaStep, maxPasses,
              ncrit, std::move(step), channel);
}

void ProfileParamsXfoil::checkSweep(double reynolds, double auxiliary, double alphaMin, double alphaMax,
                                    double alphaStep) {
    // A step that is not positive never reaches the end of the sweep; the values go to
    // the adapter in single precision. Written so that NaN fails every test.
    const bool valid = alphaStep > 0.0 && alphaMin <= alphaMax && alphaMin >= -kMaxAngleDeg &&
                       alphaMax <= kMaxAngleDeg && reynolds > 0.0 && reynolds <= FLT_MAX &&
                       std::fabs(auxiliary) <= FLT_MAX;
    // The segment builder gives the reason with the airfoil point; here it only must not run.
    if (!valid || sweepRefusal(alphaMin, alphaMax, alphaStep)) throw bemt::Error(kWrongParameters);
}

void ProfileParamsXfoil::setupData(const AirfoilCoordinates& coordinates, double reynolds, double auxiliary,
                                   double alphaMin, double alphaMax, double alphaStep, int maxPasses, int ncrit,
                                   std::function<void(int)> step, const XfoilCommunicator::Settings& channel) {
    checkSweep(reynolds, auxiliary, alphaMin, alphaMax, alphaStep);

    emptyData();
    m_splinesReady = false;
    currentReynolds = reynolds;
    m_adapterNote.clear();
    std::optional<XfoilCommunicator> comm;
    try {
        comm.emplace(channel);
        HelperXfoil::loadCoords(*comm, coordinates);
        const double thickness = HelperXfoil::nextNumber(*comm);
        if (std::isfinite(thickness) && thickness > 0.0) m_thickness = thickness;
        comm->send(std::to_string(kIterationsPerPass) + "\n" + std::to_string(maxPasses) + "\n" +
                   std::to_string(ncrit) + "\n");
        sweep(*comm, reynolds, auxiliary, alphaMin, alphaMax, alphaStep, step);
        comm->terminate();
        m_adapterNote = comm->diagnostic();
    } catch (...) {
        // A cancelled or failed sweep keeps the angles analysed before it.
        if (comm) m_adapterNote = comm->diagnostic();
        setBoundsFromList();
        throw;
    }
    setBoundsFromList();
    setReynolds(reynolds);
}

void ProfileParamsXfoil::sweep(XfoilCommunicator& comm, double reynolds, double auxiliary, double alphaMin,
                               double alphaMax, double alphaStep, const std::function<void(int)>& step) {
    const SweepRange angles{alphaMin, alphaMax, alphaStep};
    const int count = angles.count();
    for (int k = 0; k < count; ++k) {
        const double alpha = angles.value(k);
        const XfoilAnswer answer = HelperXfoil::liftAndDrag(comm, static_cast<float>(reynolds),
                                                            static_cast<float>(auxiliary),
                                                            static_cast<float>(Common::deg2rad(alpha)));
        if (answer.converged) appendPoint(alpha, answer.cl, answer.cd);
        const int percent = alphaMax > alphaMin ? static_cast<int>((alpha - alphaMin) / (alphaMax - alphaMin) * 100.0)
                                                : 100;
        if (step) step(percent);
    }
}

std::optional<std::string> ProfileParamsXfoil::sweepRefusal(double alphaMin, double alphaMax, double alphaStep) {
    if (auto refusal = Limits::xfoilAngle.check(alphaMin)) return "The first " + refusal->substr(4);
    if (auto refusal = Limits::xfoilAngle.check(alphaMax)) return "The last " + refusal->substr(4);
    // A step that is not positive never reaches the end of the sweep.
    if (!(alphaStep > 0.0)) return "The angle step must be greater than zero.";
    if (!(alphaMin <= alphaMax)) return "The last angle of attack must not be below the first.";
    if (auto refusal = SweepRange{alphaMin, alphaMax, alphaStep}.sizeRefusal("The sweep of angles of attack",
                                                                               Limits::kMaxXfoilAngles))
        return *refusal;
    return std::nullopt;
}

std::optional<std::string> ProfileParamsXfoil::polarRefusal(double alphaMin, double alphaMax, double alphaStep) {
    if (auto refusal = sweepRefusal(alphaMin, alphaMax, alphaStep)) return refusal;
    // A polar is interpolated between angles: one angle gives none.
    if (SweepRange{alphaMin, alphaMax, alphaStep}.positions() < 2.0) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "The sweep of angles of attack from %g to %g by %g gives one angle: a polar needs at least two.",
                      alphaMin, alphaMax, alphaStep);
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace bemt
