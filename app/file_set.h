#pragma once
// A set of output files that appears complete or not at all: the CSV files of a
// computation, the blade and airfoil tables of an AeroDyn export.

#include <string>
#include <utility>
#include <vector>

#include "app/text_file.h"

namespace korvane {

// One file written, with what became of its path.
struct WrittenFile {
    std::string path;
    bool replaced = false;  // a file of that name existed before
};

// Writes the files (name, text) into folder (created when missing); a name may lead
// through subfolders ("Airfoils/AF01.dat", "/" separators), which are created too.
// First everything goes into a hidden temporary folder ".<stagingName>.<8 hex
// digits>.tmp" in folder, then the files are moved into place. A failure while writing
// leaves the folder as it was; the temporary folder is removed either way. Throws
// "The file PATH could not be written: REASON." with the path the caller asked for.
std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files,
                                      const std::string& stagingName);

// The same with each file's content produced as it is written (see TextProducer).
std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, TextProducer>>& files,
                                      const std::string& stagingName);

}  // namespace korvane
