#pragma once
// Settings of a project changed by name, checked as the project file checks them: a
// change is written into the project's document and the document read back, so every
// name, limit and message is the .kvp file's own. The Python module's attributes and the
// rows of a parameter study (korvane-cli study, korvane.study) go through here.
//
// A name is a setting key of one of settingSections() ("R", "tsr_target"), the same key
// with its section ("conditions.R", "rotor.precone"), a whole point list ("chord_points",
// "prebend_points": an array of point objects), or one of the study quantities:
//   pitch         the blade pitch in degrees (pitch regulation on, that one angle)
//   wind          the wind velocity V0 in m/s
//   rpm           the rotation speed in rpm (Om in the file is in rad/s)
//   tsr           the tip speed ratio: Om = tsr V0 / R, after every other change
//   chord_scale   every chord point's c/R times the value
//   twist_offset  every twist point's twist plus the value, in degrees

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "project/project_data.h"

namespace korvane {

// The sections of a project file that hold settings. A new settings section of the file
// becomes a section of the Python module and a column name of studies by its name here.
const std::vector<std::string>& settingSections();
const std::vector<std::string>& studyQuantities();

// A project's documents that changes start from, made once for many changes of it.
struct ChangeBase {
    ChangeBase(const ProjectData& project, const std::string& projectPath);
    std::string projectPath;
    nlohmann::json document;   // as the file holds it
    nlohmann::json settings;   // settingsDocument: where each key lies
};

// The project with changes applied (an object of name to value, applied together). Throws
// bemt::Error naming the setting and the value for an unknown name, a value of the wrong
// kind or one outside its limits.
ProjectData withChanges(const ChangeBase& base, const nlohmann::json& changes);
ProjectData withChanges(const ProjectData& project, const std::string& projectPath, const nlohmann::json& changes);

// The full name of the setting a change's name sets: "conditions.R" for "R", the name
// itself for a point list or a study quantity; settings is a settingsDocument. Throws as
// withChanges does for an unknown name.
std::string settingName(const nlohmann::json& settings, const std::string& name);

// Refuses names that set one setting twice ("precone" and "rotor.precone") or one
// quantity by two of its names ("tsr" and "rpm", "wind" and "V0", "pitch" and "p_min"),
// whose outcome would depend on their order; what calls them "columns" or "names".
void refuseSettingTwice(const nlohmann::json& settings, const std::vector<std::string>& names, const std::string& what);

// The project's document with every settings section present and every setting of it (a
// project that states no turbine gets the defaults for its rotor, one without stall delay
// the section with lift "none", one with the plain rotor its rotor object, the model
// switches are written when on), for reading settings by name. A change to a default
// leaves the file as it was: the codec omits what is at its default.
nlohmann::json settingsDocument(const ProjectData& project, const std::string& projectPath);

}  // namespace korvane
