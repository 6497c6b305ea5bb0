#pragma once
// korvane-cli import and export: OpenFAST/AeroDyn models in, AeroDyn blade and airfoil
// tables out. Nothing is written unless the whole import or export succeeded.

#include <optional>
#include <string>

#include "exchange/openfast_project.h"

namespace korvane::cli {

struct ImportOptions {
    std::string source;       // the .fst or the AeroDyn primary input
    std::string out;          // the project file to write
    bool force = false;       // replace an existing project file
    openfast::RotorSize rotor;  // import aerodyn only
};

int runImportOpenFast(const ImportOptions& options);
int runImportAeroDyn(const ImportOptions& options);

struct ExportOptions {
    std::string projectPath;
    std::string folder;
    std::optional<int> nodes;
    bool quiet = false;
};

int runExportAeroDyn(const ExportOptions& options);

}  // namespace korvane::cli
