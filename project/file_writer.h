#pragma once
// Writing an output file without changing anything but the file asked for.
//  - A regular file (or a new one) is written to a temporary file beside it, flushed to
//    the disk and renamed over it, so the previous file survives any failure; it keeps
//    its permissions (and, where allowed, its owner).
//  - A symbolic link is followed: the file it points to is written and the link stays.
//  - Anything else (a device, a pipe, a process's own descriptor such as /dev/stdout,
//    a /proc or /sys file) is written directly, in place: it cannot be replaced.
//  - A folder is never written.
// Paths are UTF-8. Every failure is thrown as "The file PATH could not be written:
// REASON." with the path as given and the system's reason.

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace korvane {

class TemporaryFolders;

enum class WriteOutcome {
    Created,   // a new file
    Replaced,  // a file of that name existed before
    Written    // written in place: a device, a pipe, a descriptor
};

// One output file, written in pieces:
//     FileWriter out(path);
//     out.write(text); ...
//     out.commit();
// Until commit the target is untouched (unless it is written in place); a writer
// destroyed without commit removes its temporary file.
class FileWriter {
public:
    // Opens the file for writing (a pipe blocks until it has a reader).
    explicit FileWriter(const std::string& path);
    // The same, with the temporary file in one of the temporary folders of a set.
    FileWriter(const std::string& path, TemporaryFolders& temporaries);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(std::string_view text);
    // Finishes the file and moves it into place.
    WriteOutcome commit();

    const std::string& path() const { return m_path; }
    WriteOutcome outcome() const;

    // The steps of commit, for a set of files that is put in place together:
    // finish() writes out and closes the file; checkReplaceable() throws when the move
    // would fail for a reason known beforehand (a folder in the way, a folder that may
    // not be written); moveIntoPlace() moves it, keeping the previous file aside when
    // keepPrevious; putBack() undoes the move, restoring the previous file or removing
    // the new one.
    void finish();
    void checkReplaceable() const;
    void moveIntoPlace(bool keepPrevious);
    void putBack();

private:
    void open(TemporaryFolders& temporaries);
    std::string failure(const std::string& reason) const;
    std::string failure(int error) const;
    void flushBuffer();

    std::string m_path;                      // as the caller gave it
    std::filesystem::path m_target;          // links followed
    bool m_inPlace = false;
    bool m_existed = false;
    unsigned m_mode = 0;                     // of the replaced file
    unsigned m_owner = 0, m_group = 0;
    std::unique_ptr<TemporaryFolders> m_ownTemporaries;
    TemporaryFolders* m_temporaries = nullptr;
    std::filesystem::path m_temporary;       // empty when written in place
    std::filesystem::path m_previous;        // the replaced file, kept aside by moveIntoPlace
    bool m_previousMoved = false;            // ... by rename rather than a second link
    bool m_moved = false;
    int m_fd = -1;
    std::string m_buffer;
};

// Content written piece by piece into a stream, so that a large output never has to be
// held whole in memory.
using TextProducer = std::function<void(std::ostream&)>;

// Runs produce on a stream into file. A failure to write propagates as FileWriter's
// message; so does an exception from produce, and the file is then not committed.
void produceInto(FileWriter& file, const TextProducer& produce);

// The file a writer of path writes: absolute, every link followed, a link to a file
// that does not exist yet included (the writer creates that file); path itself when it
// cannot be followed (a folder on the way is missing, a link loops).
std::filesystem::path writtenFile(const std::string& path);

// Writes content as one file (see FileWriter).
WriteOutcome writeTextFile(const std::string& path, std::string_view content);
// The same with the content produced as it is written.
WriteOutcome writeTextFile(const std::string& path, const TextProducer& produce);

}  // namespace korvane
