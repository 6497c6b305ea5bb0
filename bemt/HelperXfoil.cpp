#include "bemt/HelperXfoil.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "bemt/NumberText.h"

namespace bemt {

namespace {

// x and y at the start of a line, separated by white space.
bool coordinatePair(const std::string& line, float& x, float& y) {
    const auto first = NumberText::leadingDouble(line);
    if (!first) return false;
    const std::string_view rest = std::string_view(line).substr(first->used);
    if (rest.empty() || !std::isspace(static_cast<unsigned char>(rest.front()))) return false;
    const auto second = NumberText::leadingDouble(rest);
    if (!second) return false;
    x = static_cast<float>(first->value);
    y = static_cast<float>(second->value);
    return true;
}

std::optional<float> finiteNumber(const std::optional<std::string>& token) {
    if (!token) return std::nullopt;
    const auto value = NumberText::toDouble(*token);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return static_cast<float>(*value);
}

}  // namespace

std::string HelperXfoil::formatNumber(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

std::string HelperXfoil::unreadableFileError(const std::string& path) {
    return "Input file " + path + " could not be read.";
}

void HelperXfoil::loadCoords(XfoilCommunicator& comm, const std::string&, std::istream* coords) {
    std::vector<std::pair<float, float>> points;
    std::string line;
    while (std::getline(*coords, line)) {
        float x = 0.0f, y = 0.0f;
        if (coordinatePair(line, x, y)) points.emplace_back(x, y);
    }
    std::string message = std::to_string(points.size()) + "\n";
    for (const auto& [x, y] : points) message += formatNumber(x) + "\n" + formatNumber(y) + "\n";
    message += "\n";
    comm.send(message);
}

void HelperXfoil::loadCoords(XfoilCommunicator& comm, const std::string& path) {
    std::ifstream file(path);
    if (!file) throw unreadableFileError(path);
    loadCoords(comm, path, &file);
}

XfoilAnswer HelperXfoil::liftAndDrag(XfoilCommunicator& comm, float reynolds, float auxiliary, float alpha) {
    comm.send(formatNumber(alpha) + "\n" + formatNumber(reynolds) + "\n" + formatNumber(auxiliary) + "\n\n");
    XfoilAnswer answer;
    const auto word = comm.readToken();
    if (!word) return answer;
    // All three numbers are read whatever they hold, to stay in step with the child.
    const auto first = finiteNumber(comm.readToken());
    const auto cl = finiteNumber(comm.readToken());
    const auto cd = finiteNumber(comm.readToken());
    if (first) answer.first = *first;
    if (cl) answer.cl = *cl;
    if (cd) answer.cd = *cd;
    // A T with numbers that cannot be used is no converged result either.
    answer.converged = word->front() == 'T' && first && cl && cd;
    return answer;
}

}  // namespace bemt
