#pragma once
// Reading and writing whole text files without a GUI toolkit. Paths are UTF-8. Failures
// are thrown as std::string messages meant for the user.

#include <filesystem>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

namespace korvane {

// The whole file as UTF-8. A byte-order mark selects UTF-8, UTF-16 or UTF-32 (and is
// dropped); without one the text is taken as UTF-8, or as Latin-1 when it is not valid
// UTF-8, so that no byte is lost.
// Throws "No file name has been provided." for an empty path,
// "The file " + path + " could not be opened." when the file cannot be read, and
// "... could not be opened: it is not a regular file." for a device, pipe or socket,
// which is never opened (it could be read for ever).
std::string readTextFile(const std::string& path);

// The file as a stream of UTF-8 text, decoded as readTextFile does; the caller deletes
// it. This is how the desktop program and the command line both read airfoil files.
// Throws readTextFile's messages.
std::istream* openTextStream(const std::string& path);

// Replaces the file at path with content so that the previous file survives any
// failure: the content goes to a temporary file in the same folder, is flushed to the
// disk and then renamed over the target. A symbolic link is followed, so the file it
// points to is replaced. An existing file keeps its permissions.
// Throws "The file " + path + " could not be created." on failure, leaving no temporary
// file behind.
void writeFileAtomically(const std::string& path, const std::string& content);

// The same, saying whether a file was replaced, and on failure why:
// "The file out.json could not be written: No space left on device.".
enum class WriteOutcome { Created, Replaced };
WriteOutcome writeFileExplained(const std::string& path, const std::string& content);

// Content written piece by piece into a stream, so that a large output never has to be
// held whole in memory.
using TextProducer = std::function<void(std::ostream&)>;
// The same with content produced as it is written; an exception from produce leaves the
// target as it was and propagates.
WriteOutcome writeFileExplained(const std::string& path, const TextProducer& produce);

// Removes the hidden temporaries that writes of an earlier, killed run left in folder:
// only names of the form ".<name>.<8 hex digits>.tmp" (files or folders) that were last
// changed before this program started. Every write calls it for its folder.
void removeStaleTemporaries(const std::string& folder);

// Creates a new hidden folder ".<name>.<8 hex digits>.tmp" in folder and returns its
// path, for a set of files that is moved into place when complete. Throws a message
// with the reason.
std::string makeTemporaryFolder(const std::string& folder, const std::string& name);

// A UTF-8 path as a filesystem path, and a filesystem path as UTF-8.
std::filesystem::path pathFromUtf8(const std::string& path);
std::string utf8OfPath(const std::filesystem::path& path);

// Text decoding used by readTextFile, exposed for its tests.
std::string decodeText(const std::string& bytes);

}  // namespace korvane
