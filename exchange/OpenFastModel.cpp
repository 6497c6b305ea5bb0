#include "exchange/OpenFastModel.h"

#include <filesystem>
#include <numbers>
#include <sstream>

#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/TextFile.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

namespace fs = std::filesystem;

// A file name written in an input file, taken relative to that file's folder as
// OpenFAST opens it: ".." behind a linked folder leads into the link's target.
std::string besideFile(const KeywordFile& file, const std::string& name) {
    const fs::path named(name);
    return physicalPath(named.is_absolute() ? named : fs::absolute(fs::path(file.name())).parent_path() / named)
        .string();
}

std::optional<double> optionalNumber(const KeywordFile& file, std::initializer_list<std::string_view> keys) {
    const auto index = file.find(keys);
    if (!index) return std::nullopt;
    const KeywordFile::Line& line = file.lines()[*index];
    if (KeywordFile::isDefault(line.words.front())) return std::nullopt;
    return file.number(line);
}

std::optional<bool> optionalFlag(const KeywordFile& file, std::string_view key) {
    const auto index = file.find(key);
    if (!index) return std::nullopt;
    return file.flag(file.lines()[*index]);
}

std::optional<int> optionalWhole(const KeywordFile& file, std::initializer_list<std::string_view> keys) {
    const auto index = file.find(keys);
    if (!index) return std::nullopt;
    const KeywordFile::Line& line = file.lines()[*index];
    if (KeywordFile::isDefault(line.words.front())) return std::nullopt;
    return file.whole(line, -1000);
}

void requirePositive(const KeywordFile& file, const std::optional<double>& value, std::string_view key) {
    if (!value || *value > 0.0) return;
    const auto index = file.find(key);
    file.fail(file.lines()[*index].number,
              std::string(key) + " must be above 0, not " + KeywordFile::text(file.lines()[*index]) + ".");
}

// The value of a keyword line that must lie within one of the project's limits, so that
// the import stops at the line before any work is done for it.
double withinLimit(const KeywordFile& file, const KeywordFile::Line& line, double value, const ValueLimit& limit) {
    if (const auto refusal = limit.check(value)) file.fail(line.number, line.words[1] + ": " + *refusal);
    return value;
}

// A percentage keyword as a fraction above 0 and at most 1.
std::optional<double> percentage(const KeywordFile& file, std::string_view key) {
    const std::optional<double> percent = optionalNumber(file, {key});
    if (!percent) return std::nullopt;
    if (!(*percent > 0.0 && *percent <= 100.0)) {
        const KeywordFile::Line& line = file.lines()[*file.find(key)];
        file.fail(line.number,
                  std::string(key) + " must be above 0 and at most 100 (%), not " + KeywordFile::text(line) + ".");
    }
    return *percent / 100.0;
}

std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

// A file the import can do without: nothing when it cannot be opened.
std::optional<KeywordFile> optionalFile(const std::string& path) {
    try {
        return KeywordFile::fromPath(path);
    } catch (const bemt::Error&) {
        return std::nullopt;
    }
}

// A number of a controller input in ROSCO's layout, "value ! Key - description".
std::optional<double> controllerNumber(const KeywordFile& file, std::string_view key) {
    for (const KeywordFile::Line& line : file.lines()) {
        // The key stands in the trailing comment, which the words leave out.
        const std::size_t bang = line.text.find('!');
        if (line.words.size() != 1 || bang == std::string::npos) continue;
        std::istringstream comment(line.text.substr(bang + 1));
        std::string name;
        if (!(comment >> name) || !KeywordFile::sameKey(name, key)) continue;
        const auto value = wholeNumber(line.words.front());
        if (!value || !(*value > 0.0))
            file.fail(line.number, std::string(key) + " must be a number above 0, not \"" + line.words.front() + "\".");
        return value;
    }
    return std::nullopt;
}

// Rated power and generator speeds from the Bladed-style controller's input.
void readController(const KeywordFile& servo, ServoDynGenerator& generator) {
    const auto named = servo.find("DLL_InFile");
    if (!named) {
        generator.unread.push_back(fileName(servo.name()) + " names no controller input (DLL_InFile)");
        return;
    }
    const std::string path = besideFile(servo, KeywordFile::text(servo.lines()[*named]));
    const std::optional<KeywordFile> file = optionalFile(path);
    if (!file) {
        generator.unread.push_back("the controller input " + fileName(path) + " cannot be read");
        return;
    }
    generator.controllerPath = path;
    constexpr double kRadPerSecondToRpm = 30.0 / std::numbers::pi;
    generator.ratedPower = controllerNumber(*file, "VS_RtPwr");
    if (const auto speed = controllerNumber(*file, "VS_RefSpd"))
        generator.ratedGeneratorSpeedRpm = *speed * kRadPerSecondToRpm;
    if (const auto speed = controllerNumber(*file, "VS_MinOMSpd"))
        generator.minimumGeneratorSpeedRpm = *speed * kRadPerSecondToRpm;
    if (!generator.ratedPower && !generator.ratedGeneratorSpeedRpm)
        generator.unread.push_back("the controller input " + fileName(path) +
                                   " states neither VS_RtPwr nor VS_RefSpd (read in ROSCO's layout)");
}

// AirDens, when the file states it: air, not the water of a marine turbine.
std::optional<double> airDensity(const KeywordFile& file) {
    const std::optional<double> density = optionalNumber(file, {"AirDens"});
    if (density) withinLimit(file, file.lines()[*file.find("AirDens")], *density, Limits::rho);
    return density;
}

std::size_t columnOf(const KeywordFile& file, const KeywordFile::Line& names, const char* column) {
    for (std::size_t i = 0; i < names.words.size(); ++i) {
        if (KeywordFile::sameKey(names.words[i], column)) return i;
    }
    file.fail(names.number, std::string("the column ") + column + " is missing from the column names.");
}

std::vector<AeroDynBladeNode> readBlade(const std::string& path, std::size_t airfoilCount) {
    const KeywordFile file = KeywordFile::fromPath(path);
    const auto& lines = file.lines();
    const auto countAt = file.find("NumBlNds");
    if (!countAt) file.fail(0, "the keyword NumBlNds is missing (the number of blade nodes); is this an AeroDyn v15 "
                               "blade file?");
    const int count = file.whole(lines[*countAt], 2);
    std::size_t next = *countAt + 1;
    if (next >= lines.size()) file.fail(0, "the column names (BlSpn ... BlAFID) are missing after NumBlNds.");
    const KeywordFile::Line& names = lines[next++];
    const std::size_t spanAt = columnOf(file, names, "BlSpn");
    const std::size_t curveAt = columnOf(file, names, "BlCrvAC");
    const std::size_t sweepAt = columnOf(file, names, "BlSwpAC");
    const std::size_t twistAt = columnOf(file, names, "BlTwist");
    const std::size_t chordAt = columnOf(file, names, "BlChord");
    const std::size_t airfoilAt = columnOf(file, names, "BlAFID");
    if (next < lines.size() && !lines[next].words.empty() && lines[next].words.front().starts_with("(")) ++next;

    std::vector<AeroDynBladeNode> nodes;
    // Rows beyond NumBlNds are not part of the blade.
    for (int i = 0; i < count; ++i, ++next) {
        if (next >= lines.size() || !KeywordFile::isRow(lines[next]))
            file.fail(next < lines.size() ? lines[next].number : 0,
                      "NumBlNds (line " + std::to_string(lines[*countAt].number) + ") announces " +
                          std::to_string(count) + " nodes, but only " + std::to_string(i) + " rows follow.");
        const KeywordFile::Line& row = lines[next];
        AeroDynBladeNode node;
        node.span = file.rowNumber(row, spanAt, "BlSpn");
        node.curve = file.rowNumber(row, curveAt, "BlCrvAC");
        node.sweep = file.rowNumber(row, sweepAt, "BlSwpAC");
        node.twist = file.rowNumber(row, twistAt, "BlTwist");
        node.chord = file.rowNumber(row, chordAt, "BlChord");
        const double id = file.rowNumber(row, airfoilAt, "BlAFID");
        if (!nodes.empty() && !(node.span > nodes.back().span))
            file.fail(row.number, "BlSpn must increase strictly from node to node.");
        if (!(node.span >= 0.0)) file.fail(row.number, "BlSpn must not be negative.");
        if (!(node.chord > 0.0)) file.fail(row.number, "BlChord must be above 0.");
        if (id != static_cast<int>(id) || id < 1 || id > static_cast<double>(airfoilCount))
            file.fail(row.number, "BlAFID must be a whole number from 1 to NumAFfiles (" +
                                      std::to_string(airfoilCount) + ") of the AeroDyn input.");
        node.airfoil = static_cast<int>(id);
        nodes.push_back(node);
    }
    return nodes;
}

}  // namespace

AeroDynInput OpenFastReader::readAeroDyn(const std::string& path) {
    const KeywordFile file = KeywordFile::fromPath(path);
    AeroDynInput input;
    input.path = path;
    if (!file.find("NumAFfiles"))
        file.fail(0, "this is not an AeroDyn v15 input file: the keyword NumAFfiles is missing.");
    input.airDensity = airDensity(file);
    input.kinematicViscosity = optionalNumber(file, {"KinVisc"});
    input.speedOfSound = optionalNumber(file, {"SpdSound"});
    requirePositive(file, input.kinematicViscosity, "KinVisc");
    requirePositive(file, input.speedOfSound, "SpdSound");
    input.axialDrag = optionalFlag(file, "AIDrag");
    input.tangentialDrag = optionalFlag(file, "TIDrag");
    input.tipLoss = optionalFlag(file, "TipLoss");
    input.hubLoss = optionalFlag(file, "HubLoss");
    input.tangentialInduction = optionalFlag(file, "TanInd");
    input.wakeModel = optionalWhole(file, {"Wake_Mod", "WakeMod"});
    input.tableMode = optionalWhole(file, {"AFTabMod"});
    for (const auto& [key, expected] : {std::pair{"InCol_Alfa", 1}, {"InCol_Cl", 2}, {"InCol_Cd", 3}}) {
        const auto column = optionalWhole(file, {key});
        if (column && *column != expected) {
            file.fail(file.lines()[*file.find(key)].number,
                      std::string(key) + " " + std::to_string(*column) + " is not supported: the airfoil tables "
                      "are read with alpha, Cl and Cd in columns 1, 2 and 3.");
        }
    }

    const KeywordFile::Line& countLine = file.require({"NumAFfiles"}, "the number of airfoil files");
    const int count = file.whole(countLine, 1);
    const auto namesAt = file.find("AFNames");
    if (!namesAt) file.fail(0, "the keyword AFNames is missing (the airfoil file names).");
    const auto& lines = file.lines();
    for (int i = 0; i < count; ++i) {
        const std::size_t at = *namesAt + i;
        // Every further name stands alone on its line, in quotes.
        if (at >= lines.size() || (i > 0 && !lines[at].firstQuoted && lines[at].words.size() != 1))
            file.fail(at < lines.size() ? lines[at].number : 0,
                      "NumAFfiles is " + std::to_string(count) + ", but only " + std::to_string(i) +
                          " airfoil file names follow AFNames.");
        input.airfoilFiles.push_back(besideFile(file, lines[at].words.front()));
    }

    const KeywordFile::Line& blade = file.require({"ADBlFile(1)"}, "the blade file");
    input.bladeFile = besideFile(file, KeywordFile::text(blade));
    input.nodes = readBlade(input.bladeFile, input.airfoilFiles.size());
    return input;
}

ElastoDynRotor OpenFastReader::readElastoDyn(const std::string& path) {
    return readElastoDyn(KeywordFile::fromPath(path));
}

ElastoDynRotor OpenFastReader::readElastoDyn(const KeywordFile& file) {
    ElastoDynRotor rotor;
    const KeywordFile::Line& blades = file.require({"NumBl"}, "the number of blades");
    rotor.blades = static_cast<int>(withinLimit(file, blades, file.whole(blades, 1), Limits::B));
    const KeywordFile::Line& tip = file.require({"TipRad"}, "the rotor radius");
    rotor.tipRadius = withinLimit(file, tip, file.number(tip), Limits::R);
    rotor.hubRadius = file.number(file.require({"HubRad"}, "the hub radius"));
    if (!(rotor.hubRadius >= 0.0 && rotor.hubRadius < rotor.tipRadius))
        file.fail(file.require({"HubRad"}, "").number, "HubRad must be at least 0 and below TipRad.");
    for (int i = 1; i <= rotor.blades; ++i) {
        const std::string key = "PreCone(" + std::to_string(i) + ")";
        if (const auto cone = optionalNumber(file, {key})) rotor.precone.push_back(*cone);
    }
    rotor.shaftTilt = optionalNumber(file, {"ShftTilt"}).value_or(0.0);
    rotor.towerHeight = optionalNumber(file, {"TowerHt"});
    rotor.towerToShaft = optionalNumber(file, {"Twr2Shft"});
    rotor.overhang = optionalNumber(file, {"OverHang"});
    rotor.rotorSpeedRpm = optionalNumber(file, {"RotSpeed"});
    // A rotor at rest or turning backwards has no operating point to compute.
    requirePositive(file, rotor.rotorSpeedRpm, "RotSpeed");
    rotor.gearboxRatio = optionalNumber(file, {"GBRatio"});
    requirePositive(file, rotor.gearboxRatio, "GBRatio");
    rotor.gearboxEfficiency = percentage(file, "GBoxEff");
    return rotor;
}

ServoDynGenerator OpenFastReader::readServoDyn(const std::string& path) {
    ServoDynGenerator generator;
    generator.path = path;
    const std::optional<KeywordFile> file = optionalFile(path);
    if (!file) {
        generator.unread.push_back(fileName(path) + " cannot be read");
        return generator;
    }
    if (!file->find("VSContrl")) file->fail(0, "this is not a ServoDyn input file: the keyword VSContrl is missing.");
    generator.efficiency = percentage(*file, "GenEff");
    const int control = file->whole(file->require({"VSContrl"}, "the variable-speed control mode"), 0);
    if (control == 1) {
        generator.ratedGeneratorSpeedRpm = optionalNumber(*file, {"VS_RtGnSp"});
        requirePositive(*file, generator.ratedGeneratorSpeedRpm, "VS_RtGnSp");
        const std::optional<double> torque = optionalNumber(*file, {"VS_RtTq"});
        requirePositive(*file, torque, "VS_RtTq");
        if (torque && generator.ratedGeneratorSpeedRpm)
            generator.ratedPower = *torque * *generator.ratedGeneratorSpeedRpm * std::numbers::pi / 30.0 *
                                   generator.efficiency.value_or(1.0);
    } else if (control == 5) {
        readController(*file, generator);
    }
    return generator;
}

OpenFastModel OpenFastReader::readModel(const std::string& fstPath) {
    const OpenFastDriver driver = readDriver(KeywordFile::fromPath(fstPath));
    OpenFastModel model;
    model.fstPath = fstPath;
    model.elastoDynPath = driver.elastoDynFile;
    if (driver.servoDynFile) model.servoDynPath = *driver.servoDynFile;
    model.airDensity = driver.airDensity;
    model.kinematicViscosity = driver.kinematicViscosity;
    model.speedOfSound = driver.speedOfSound;
    model.rotor = readElastoDyn(driver.elastoDynFile);
    model.aeroDyn = readAeroDyn(driver.aeroDynFile);
    if (driver.servoDynFile) model.servoDyn = readServoDyn(*driver.servoDynFile);
    return model;
}

OpenFastDriver OpenFastReader::readDriver(const KeywordFile& file) {
    OpenFastDriver driver;
    const KeywordFile::Line& elasto = file.require({"EDFile"}, "the ElastoDyn input file; is this an OpenFAST .fst file?");
    const KeywordFile::Line& aero = file.require({"AeroFile"}, "the AeroDyn input file");
    if (const auto compAero = optionalWhole(file, {"CompAero"}); compAero && *compAero != 2) {
        file.fail(file.lines()[*file.find("CompAero")].number,
                  "CompAero is " + std::to_string(*compAero) + "; only models with AeroDyn v15 (CompAero 2) can be "
                  "imported.");
    }
    driver.airDensity = airDensity(file);
    driver.kinematicViscosity = optionalNumber(file, {"KinVisc"});
    driver.speedOfSound = optionalNumber(file, {"SpdSound"});
    driver.elastoDynFile = besideFile(file, KeywordFile::text(elasto));
    driver.aeroDynFile = besideFile(file, KeywordFile::text(aero));
    if (optionalWhole(file, {"CompServo"}) == 1) {
        driver.servoDynFile = besideFile(file, KeywordFile::text(file.require({"ServoFile"}, "the ServoDyn input file")));
    }
    return driver;
}

}  // namespace bemt
