#pragma once
// The rotor aerodynamics of an OpenFAST model as its input files describe it: the
// driver (.fst) for the module file names and the environment, ElastoDyn for the rotor
// size and angles and the gearbox, the AeroDyn v15 primary input for the air, the
// airfoil table files and the blade file, and the blade file's nodes; ServoDyn, and the
// controller input it names, for the generator. Both the older and the current key
// spellings are read. Every failure is a std::string naming the file and the line.

#include <optional>
#include <string>
#include <vector>

namespace bemt {

class KeywordFile;

struct AeroDynBladeNode {
    double span = 0.0;     // BlSpn, m from the blade root
    double curve = 0.0;    // BlCrvAC, out-of-plane offset (prebend), m
    double sweep = 0.0;    // BlSwpAC, in-plane offset (sweep), m
    double twist = 0.0;    // BlTwist, degrees
    double chord = 0.0;    // BlChord, m
    int airfoil = 0;       // BlAFID, 1-based index into the airfoil file list
};

struct AeroDynInput {
    std::string path;                         // the primary input file
    std::optional<double> airDensity;         // AirDens, kg/m^3; empty when "default" or absent
    std::optional<double> kinematicViscosity; // KinVisc, m^2/s
    std::optional<double> speedOfSound;       // SpdSound, m/s
    std::optional<bool> axialDrag;            // AIDrag
    std::optional<bool> tangentialDrag;       // TIDrag
    std::optional<bool> tipLoss;              // TipLoss
    std::optional<bool> hubLoss;              // HubLoss
    std::optional<bool> tangentialInduction;  // TanInd
    std::optional<int> wakeModel;             // WakeMod / Wake_Mod
    std::optional<int> tableMode;             // AFTabMod
    std::vector<std::string> airfoilFiles;    // AFNames, absolute paths
    std::string bladeFile;                    // ADBlFile(1), absolute path
    std::vector<AeroDynBladeNode> nodes;      // the first NumBlNds rows of the blade file
};

struct ElastoDynRotor {
    int blades = 0;                 // NumBl
    double tipRadius = 0.0;         // TipRad, m
    double hubRadius = 0.0;         // HubRad, m
    std::vector<double> precone;    // PreCone(1..NumBl), degrees
    double shaftTilt = 0.0;         // ShftTilt, degrees (negative raises the upwind end)
    std::optional<double> towerHeight;    // TowerHt, m above the ground (or sea level)
    std::optional<double> towerToShaft;   // Twr2Shft, m from the tower top up to the shaft
    std::optional<double> overhang;       // OverHang, m along the shaft from the yaw axis to the apex
    std::optional<double> rotorSpeedRpm;  // RotSpeed
    std::optional<double> gearboxRatio;   // GBRatio, generator speed / rotor speed
    std::optional<double> gearboxEfficiency;  // GBoxEff, fraction (the file states %)
};

// The generator as ServoDyn states it, on the high-speed shaft. Simple variable-speed
// control (VSContrl 1) states rated speed and torque; a Bladed-style controller
// (VSContrl 5) states them in its own input (DLL_InFile), read in ROSCO's layout
// ("value ! Key - description"). Values that serve a mode the model does not use are
// not taken.
struct ServoDynGenerator {
    std::string path;                                // the ServoDyn input file
    std::string controllerPath;                      // the controller input read, empty when none
    std::optional<double> efficiency;                // GenEff, fraction (the file states %)
    std::optional<double> ratedPower;                // electrical, W
    std::optional<double> ratedGeneratorSpeedRpm;    // VS_RtGnSp, or VS_RefSpd of the controller
    std::optional<double> minimumGeneratorSpeedRpm;  // VS_MinOMSpd of the controller
    std::vector<std::string> unread;                 // why a value could not be taken
};

// What the driver (.fst) itself states: the module files (absolute paths) and the
// environment.
struct OpenFastDriver {
    std::string elastoDynFile;
    std::string aeroDynFile;
    std::optional<std::string> servoDynFile;   // when CompServo is 1
    std::optional<double> airDensity;
    std::optional<double> kinematicViscosity;
    std::optional<double> speedOfSound;
};

struct OpenFastModel {
    std::string fstPath;
    std::string elastoDynPath;
    std::string servoDynPath;                  // empty without ServoDyn
    std::optional<double> airDensity;          // the .fst's environment, when it has one
    std::optional<double> kinematicViscosity;
    std::optional<double> speedOfSound;
    ElastoDynRotor rotor;
    AeroDynInput aeroDyn;
    std::optional<ServoDynGenerator> servoDyn;  // when CompServo is 1
};

class OpenFastReader {
public:
    // Reads the .fst and the ElastoDyn and AeroDyn files it names (relative to it).
    static OpenFastModel readModel(const std::string& fstPath);
    static OpenFastDriver readDriver(const KeywordFile& fst);
    // Reads an AeroDyn v15 primary input and its blade file (file names relative to it).
    static AeroDynInput readAeroDyn(const std::string& path);
    static ElastoDynRotor readElastoDyn(const std::string& path);
    static ElastoDynRotor readElastoDyn(const KeywordFile& file);
    // A ServoDyn input that cannot be opened is no failure: the generator is then what
    // the notes say, and unread says why.
    static ServoDynGenerator readServoDyn(const std::string& path);
};

}  // namespace bemt
