#pragma once
// The optional sections of a project document, each written and read on its own: the
// rotor geometry, the turbine, the optimisation and the stall delay. A section that is
// missing (or null) takes the defaults; so does each of its keys.

#include <nlohmann/json.hpp>
#include <optional>

#include "bemt/Records.h"
#include "bemt/RotorGeometry.h"
#include "bemt/StallDelay.h"
#include "project/kvp_reader.h"
#include "project/optimisation_settings.h"
#include "turbine/TurbineSettings.h"

namespace korvane::kvp {

nlohmann::json rotorObject(const bemt::RotorGeometry& g);
nlohmann::json turbineObject(const bemt::TurbineSettings& t);
nlohmann::json optimisationObject(const OptimisationSettings& s);
nlohmann::json stallDelayObject(const bemt::StallDelaySettings& s);

bemt::RotorGeometry readRotor(const Reader& r, const nlohmann::json& root, double R);
std::optional<bemt::TurbineSettings> readTurbine(const Reader& r, const nlohmann::json& root,
                                                 const bemt::OperatingConditions& conditions);
std::optional<OptimisationSettings> readOptimisation(const Reader& r, const nlohmann::json& root,
                                                     const bemt::TurbineSettings& turbine);
std::optional<bemt::StallDelaySettings> readStallDelay(const Reader& r, const nlohmann::json& root);

}  // namespace korvane::kvp
