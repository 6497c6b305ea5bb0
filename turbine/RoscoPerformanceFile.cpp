#include "turbine/RoscoPerformanceFile.h"

#include "bemt/NumberText.h"

namespace bemt::RoscoPerformanceFile {

namespace {

std::string fixed6(double value) { return NumberText::formatted("%.6f", value); }

std::string line(const std::vector<double>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ' ';
        text += fixed6(values[i]);
    }
    return text + "\n";
}

std::string matrix(const std::string& title, const std::vector<std::vector<double>>& rows) {
    std::string text = "# " + title + "\n\n";
    for (const auto& row : rows) text += line(row);
    return text + "\n";
}

}  // namespace

std::string text(const PerformanceSurface& s, const std::string& rotorName, const std::string& date) {
    std::string text = "# ----- Rotor performance tables for the " + rotorName + " rotor -----\n";
    text += "# ------------ Written on " + date + " by Korvane ------------\n\n";
    text += "# Pitch angle vector, " + std::to_string(s.pitch.size()) + " entries - x axis (matrix columns) (deg)\n";
    text += line(s.pitch);
    text += "# TSR vector, " + std::to_string(s.tsr.size()) + " entries - y axis (matrix rows) (-)\n";
    text += line(s.tsr);
    text += "# Wind speed vector - z axis (m/s)\n";
    text += fixed6(s.wind) + "\n\n";
    text += matrix("Power coefficient", s.cp);
    text += matrix("Thrust coefficient", s.ct);
    // The readers of this layout match the misspelt title.
    text += matrix("Torque coefficent", s.cq);
    return text;
}

}  // namespace bemt::RoscoPerformanceFile
