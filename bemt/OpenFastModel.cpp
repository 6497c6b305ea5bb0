#include "bemt/OpenFastModel.h"

#include <filesystem>

#include "bemt/KeywordFile.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

namespace fs = std::filesystem;

// A file name written in an input file, taken relative to that file's folder.
std::string besideFile(const KeywordFile& file, const std::string& name) {
    const fs::path named(name);
    if (named.is_absolute()) return named.lexically_normal().string();
    return (fs::absolute(fs::path(file.name())).parent_path() / named).lexically_normal().string();
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
    const KeywordFile file = KeywordFile::fromPath(path);
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
    rotor.rotorSpeedRpm = optionalNumber(file, {"RotSpeed"});
    // A rotor at rest or turning backwards has no operating point to compute.
    requirePositive(file, rotor.rotorSpeedRpm, "RotSpeed");
    return rotor;
}

OpenFastModel OpenFastReader::readModel(const std::string& fstPath) {
    const KeywordFile file = KeywordFile::fromPath(fstPath);
    OpenFastModel model;
    model.fstPath = fstPath;
    const KeywordFile::Line& elasto = file.require({"EDFile"}, "the ElastoDyn input file; is this an OpenFAST .fst file?");
    const KeywordFile::Line& aero = file.require({"AeroFile"}, "the AeroDyn input file");
    if (const auto compAero = optionalWhole(file, {"CompAero"}); compAero && *compAero != 2) {
        file.fail(file.lines()[*file.find("CompAero")].number,
                  "CompAero is " + std::to_string(*compAero) + "; only models with AeroDyn v15 (CompAero 2) can be "
                  "imported.");
    }
    model.airDensity = airDensity(file);
    model.kinematicViscosity = optionalNumber(file, {"KinVisc"});
    model.speedOfSound = optionalNumber(file, {"SpdSound"});
    model.rotor = readElastoDyn(besideFile(file, KeywordFile::text(elasto)));
    model.aeroDyn = readAeroDyn(besideFile(file, KeywordFile::text(aero)));
    return model;
}

}  // namespace bemt
