#pragma once
// A Korvane project from an OpenFAST model or from an AeroDyn v15 input alone: the
// rotor size, the air, the blade nodes as chord, twist and airfoil points (one AeroDyn
// table per node, the files left where they are), neighbouring-airfoil blending off
// (AeroDyn uses each node's own table) and the Ning solver, the blade curve (BlCrvAC) as
// prebend and AeroDyn's tip loss, hub loss, tangential induction and drag switches; from
// ElastoDyn the precone and shaft tilt (with their signs turned to Korvane's) and the hub
// height, TowerHt + Twr2Shft + OverHang sin(ShftTilt), the apex's height. What the model
// holds but Korvane does not compute (sweep, differing cones, different axial and
// tangential drag switches) is listed in the notes, with the values.

#include <string>
#include <vector>

#include "project/project_data.h"
#include "exchange/OpenFastModel.h"

namespace korvane::openfast {

struct ImportedProject {
    ProjectData project;
    std::vector<std::string> notes;   // also joined into project.notes
    std::vector<std::string> inputs;  // every file the import read
};

// From an OpenFAST driver file (.fst) and the ElastoDyn and AeroDyn files it names.
ImportedProject importModel(const std::string& fstPath);

struct RotorSize {
    double hubRadius = 0.0;   // m
    double tipRadius = 0.0;   // m
    int blades = 3;
};
// From an AeroDyn v15 primary input, with the rotor size given by the caller.
ImportedProject importAeroDyn(const std::string& aeroDynPath, const RotorSize& rotor);

// The tip speed ratio the wind velocity of an imported project is chosen for.
constexpr double kImportTipSpeedRatio = 7.0;

}  // namespace korvane::openfast
