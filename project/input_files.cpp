#include "project/input_files.h"

#include <filesystem>

#include "bemt/Error.h"
#include "project/file_writer.h"
#include "project/text_file.h"

namespace korvane {

namespace fs = std::filesystem;

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(pathFromUtf8(a), pathFromUtf8(b), error) && !error) return true;
    const fs::path left = fs::weakly_canonical(fs::absolute(writtenFile(a), error), error);
    if (error) return false;
    const fs::path right = fs::weakly_canonical(fs::absolute(writtenFile(b), error), error);
    return !error && left == right;
}

std::vector<std::string> inputFiles(const std::string& projectPath, const ProjectData& project) {
    std::vector<std::string> inputs;
    if (!projectPath.empty()) inputs.push_back(projectPath);
    for (const bemt::AirfoilPoint& p : project.airfoilPoints) {
        if (bemt::readsDataFile(p.data_type)) inputs.push_back(p.path);
    }
    return inputs;
}

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

}  // namespace korvane
