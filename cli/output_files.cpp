#include "cli/output_files.h"

#include <cstdio>
#include <filesystem>

#include "bemt/Error.h"
#include "project/file_writer.h"
#include "project/text_file.h"

namespace korvane::cli {

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
