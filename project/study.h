#pragma once
// Parameter studies: a table of variations of one project, each row computed on its own
// and reduced to a few numbers, a failing row reported with its message instead of
// ending the study. korvane-cli study and the Python module's korvane.study run the same
// rows through here, so that both give the same table.
//
// A study file (JSON):
//   {"project": "rotor.kvp",                    relative to the study file
//    "compute": "operating_point",              or "power_curve", "design"
//    "variations": {"tsr": [6, 7, 8], "pitch": [0, 0, 1]}}   columns of equal length
// or "grid" in place of "variations": every combination of the lists, the last name
// varying fastest. Column names are those of withChanges (project/setting_changes.h).

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "project/computation_input.h"
#include "project/project_data.h"

namespace korvane {

struct Study {
    std::string projectPath;   // as the file names it, resolved against the file's folder
    std::string compute;
    std::vector<std::string> columns;
    std::vector<std::vector<nlohmann::json>> rows;
};

// Reads and checks a study file (its project is not read). Throws bemt::Error naming
// the file and the problem.
Study readStudy(const std::string& path);
// The same from a document (its order of columns kept); folder resolves the project path.
Study studyFromDocument(const nlohmann::ordered_json& document, const std::string& name, const std::string& folder);
// The rows of every combination of the lists of grid (the last varying fastest).
std::vector<std::vector<nlohmann::json>> gridRows(const std::vector<std::vector<nlohmann::json>>& lists);

// Refuses, before any row runs, columns that name no setting, name one setting or quantity
// twice, or name a result of compute (empty for a function of the caller's, whose
// results only "variant" and "error" are known of). Throws bemt::Error.
void checkStudyColumns(const ProjectData& base, const std::string& basePath, const std::vector<std::string>& columns,
                       const std::string& compute);

// The names of the numbers a computation gives per row; throws for an unknown computation.
const std::vector<std::string>& studyOutputs(const std::string& compute);

struct StudyRowResult {
    std::vector<double> values;   // studyOutputs(compute); NaN when the row failed
    std::string error;            // empty when the row was computed
};

// The rows of a study on base (stored at basePath), one after another on one thread;
// airfoil files are read through openFile. interrupted is polled between rows and by
// the computations (through their progress); a stop throws bemt::Aborted.
std::vector<StudyRowResult> runStudyRows(const ProjectData& base, const std::string& basePath, const Study& study,
                                         std::size_t first, std::size_t end, const AirfoilFileOpener& openFile,
                                         const std::function<bool()>& interrupted);

}  // namespace korvane
