#include "bemt/HelperXfoil.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/TextFile.h"

namespace bemt {

std::string HelperXfoil::formatNumber(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

std::string HelperXfoil::unreadableFileError(const std::string& path) {
    return "Input file " + path + " could not be read.";
}

void HelperXfoil::loadCoords(XfoilCommunicator& comm, const AirfoilCoordinates& coordinates) {
    const auto& points = coordinates.points();
    std::string message = std::to_string(points.size()) + "\n";
    for (const auto& p : points) {
        message += formatNumber(static_cast<float>(p.x)) + "\n" + formatNumber(static_cast<float>(p.y)) + "\n";
    }
    message += "\n";
    comm.send(message);
}

void HelperXfoil::loadCoords(XfoilCommunicator& comm, const std::string& name, std::istream* coords) {
    loadCoords(comm, AirfoilCoordinates::read(*coords, name));
}

void HelperXfoil::loadCoords(XfoilCommunicator& comm, const std::string& path) {
    std::istringstream file(readTextFile(path));
    loadCoords(comm, path, &file);
}

std::string HelperXfoil::nextToken(XfoilCommunicator& comm) {
    auto token = comm.readToken();
    if (!token) throw bemt::Error(comm.failure().value_or(kNoAnswer));
    return std::move(*token);
}

double HelperXfoil::nextNumber(XfoilCommunicator& comm) {
    const std::string token = nextToken(comm);
    const auto parsed = NumberText::leadingDouble(token);
    // "nan" and "inf" are numbers here (of a failed analysis); "0.5abc" is not.
    if (!parsed || parsed->used != token.size()) throw bemt::Error(comm.outOfStep(token));
    return parsed->value;
}

XfoilAnswer HelperXfoil::liftAndDrag(XfoilCommunicator& comm, float reynolds, float auxiliary, float alpha) {
    comm.send(formatNumber(alpha) + "\n" + formatNumber(reynolds) + "\n" + formatNumber(auxiliary) + "\n\n");
    const std::string word = nextToken(comm);
    // All three numbers are read whatever they hold, to stay in step with the child.
    const double first = nextNumber(comm);
    const double cl = nextNumber(comm);
    const double cd = nextNumber(comm);
    XfoilAnswer answer;
    const bool finite = std::isfinite(first) && std::isfinite(cl) && std::isfinite(cd) &&
                        std::fabs(first) <= FLT_MAX && std::fabs(cl) <= FLT_MAX && std::fabs(cd) <= FLT_MAX;
    if (finite) {
        answer.first = static_cast<float>(first);
        answer.cl = static_cast<float>(cl);
        answer.cd = static_cast<float>(cd);
    }
    // A T with numbers that cannot be used is no converged result either.
    answer.converged = word.front() == 'T' && finite;
    return answer;
}

}  // namespace bemt
