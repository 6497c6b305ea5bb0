#include "cli/output_files.h"

#include <cstdio>
#include <filesystem>

#include "project/text_file.h"

namespace korvane::cli {

namespace fs = std::filesystem;

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(pathFromUtf8(a), pathFromUtf8(b), error) && !error) return true;
    const fs::path left = fs::weakly_canonical(pathFromUtf8(a), error);
    if (error) return false;
    const fs::path right = fs::weakly_canonical(pathFromUtf8(b), error);
    return !error && left == right;
}

}  // namespace

void refuseInputsAsOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) {
    for (const std::string& output : outputs) {
        for (const std::string& input : inputs) {
            if (!input.empty() && sameFile(output, input))
                throw "The output file " + output + " is the input file " + input +
                      "; writing it would destroy the input. Choose another name.";
        }
    }
}

WrittenFile writeOutputFile(const std::string& path, const TextProducer& produce) {
    return {path, writeTextFile(path, produce)};
}

void reportWritten(const WrittenFile& file) {
    const char* done = file.outcome == WriteOutcome::Created ? "Created"
                       : file.outcome == WriteOutcome::Replaced ? "Replaced"
                                                                 : "Wrote";
    std::fprintf(stderr, "%s %s\n", done, file.path.c_str());
}

std::vector<WrittenFile> writeCsvSet(const std::string& folder,
                                     const std::vector<std::pair<std::string, TextProducer>>& files) {
    return writeFileSet(folder, files);
}

}  // namespace korvane::cli
