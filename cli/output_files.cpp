#include "cli/output_files.h"

#include <cstdio>
#include <filesystem>

#include "bemt/Error.h"
#include "project/file_writer.h"
#include "project/text_file.h"

namespace korvane::cli {

namespace fs = std::filesystem;

namespace {

// Also through other spellings, links (a link to a file not yet written included, as
// the writer follows it) and hard links.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(pathFromUtf8(a), pathFromUtf8(b), error) && !error) return true;
    const fs::path left = fs::weakly_canonical(fs::absolute(writtenFile(a), error), error);
    if (error) return false;
    const fs::path right = fs::weakly_canonical(fs::absolute(writtenFile(b), error), error);
    return !error && left == right;
}

}  // namespace

void refuseInputsAsOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (const std::string& input : inputs) {
            if (!input.empty() && sameFile(outputs[i], input))
                throw bemt::Error("The output file " + outputs[i] + " is the input file " + input +
                                  "; writing it would destroy the input. Choose another name.");
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (sameFile(outputs[i], outputs[j]))
                throw bemt::Error("The outputs " + outputs[j] + " and " + outputs[i] +
                                  " are the same file; one would replace the other. Choose another name.");
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
