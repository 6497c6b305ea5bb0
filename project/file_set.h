#pragma once
// A set of output files that appears complete or not at all: the CSV files of a
// computation, the blade and airfoil tables of an AeroDyn export.

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "project/file_writer.h"
#include "project/temporary_folder.h"

namespace korvane {

// One file written, with what became of its path.
struct WrittenFile {
    std::string path;
    WriteOutcome outcome = WriteOutcome::Created;
};

// Files written as one set into a folder:
//     FileSet set(folder);
//     set.add("summary.csv").write(text); ...
//     set.commit();
// Every file is written whole before any is moved into place; then every target is
// checked (a folder in the way, a folder that may not be written), and only then are
// the files moved, each previous file kept aside until the end. A failure at any point,
// or a set destroyed without commit, leaves the folder as it was: files already moved
// are put back and the folders the set created are removed. (What is written in place,
// a pipe or a device, cannot be taken back.) Ctrl-C waits while the files are moved.
class FileSet {
public:
    // Creates folder when missing. Throws "The folder FOLDER could not be created: REASON.".
    explicit FileSet(std::string folder);
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // A new file of the set; name may lead through subfolders ("Airfoils/AF01.dat", "/"
    // separators), which are created. The file added before is finished (closed), so
    // that a set of a thousand files holds one open at a time. Throws FileWriter's
    // messages.
    FileWriter& add(const std::string& name);
    std::vector<WrittenFile> commit();

private:
    void createFolders(const std::filesystem::path& folder, const std::string& file);

    std::filesystem::path m_folder;
    std::vector<std::filesystem::path> m_created;  // folders this set made, outermost first
    std::unique_ptr<TemporaryFolders> m_temporaries = std::make_unique<TemporaryFolders>();
    std::vector<std::unique_ptr<FileWriter>> m_files;
    bool m_committed = false;
};

// Writes the files (name, text) into folder as one set (see FileSet).
std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files);
// The same with each file's content produced as it is written (see TextProducer).
std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, TextProducer>>& files);

}  // namespace korvane
