#pragma once
// The plain-text rotor performance tables that controller tuning tools (ROSCO and those
// following its layout) read: the pitch, tip speed ratio and wind speed vectors, then
// the power, thrust and torque coefficient matrices, rows by tip speed ratio.

#include <string>

#include "turbine/PerformanceSurface.h"

namespace bemt::RoscoPerformanceFile {

// The file's text. rotorName and date go into the two comment lines at the top.
std::string text(const PerformanceSurface& surface, const std::string& rotorName, const std::string& date);

}  // namespace bemt::RoscoPerformanceFile
