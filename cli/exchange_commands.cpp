#include "cli/exchange_commands.h"

#include <cstdio>
#include <filesystem>

#include "bemt/Error.h"
#include "cli/commands.h"
#include "cli/output_files.h"
#include "cli/project_input.h"
#include "exchange/aerodyn_export.h"
#include "project/kvp_codec.h"
#include "project/text_file.h"

namespace korvane::cli {

namespace {

std::string absoluteUtf8(const std::string& path) {
    const std::u8string text =
        std::filesystem::absolute(std::filesystem::path(std::u8string(path.begin(), path.end()))).u8string();
    return std::string(text.begin(), text.end());
}

int writeImported(const openfast::ImportedProject& imported, const ImportOptions& options) {
    std::error_code error;
    if (!options.force && std::filesystem::exists(pathFromUtf8(options.out), error))
        throw bemt::Error("The file " + options.out + " exists already; use --force to replace it.");
    refuseInputsAsOutputs({options.out}, imported.inputs);
    const std::string document = kvp::write(imported.project, absoluteUtf8(options.out));
    for (const std::string& note : imported.notes) std::fprintf(stderr, "Note: %s\n", note.c_str());
    reportWritten(writeOutputFile(options.out, [&document](std::ostream& out) { out << document; }));
    return kSuccess;
}

}  // namespace

int runImportOpenFast(const ImportOptions& options) {
    return writeImported(openfast::importModel(options.source), options);
}

int runImportAeroDyn(const ImportOptions& options) {
    return writeImported(openfast::importAeroDyn(options.source, options.rotor), options);
}

int runExportAeroDyn(const ExportOptions& options) {
    const ProjectData project = loadProject(options.projectPath);
    checkForComputation(project);
    const auto segments =
        computationInput(project, [](int, const std::string&) {}, [] { return false; }).segments;
    const std::string name =
        std::filesystem::path(std::u8string(options.projectPath.begin(), options.projectPath.end())).filename().string();
    const auto files = aerodyn::exportFiles(project, segments, options.nodes, name);
    std::vector<std::string> targets;
    for (const aerodyn::OutputFile& file : files) {
        targets.push_back(utf8OfPath(pathFromUtf8(options.folder) / pathFromUtf8(file.name)));
    }
    refuseInputsAsOutputs(targets, inputFiles(options.projectPath, project));
    const auto written = aerodyn::writeFiles(options.folder, files);
    if (!options.quiet) {
        for (const WrittenFile& file : written) reportWritten(file);
    }
    return kSuccess;
}

}  // namespace korvane::cli
