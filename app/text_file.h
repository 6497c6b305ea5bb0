#pragma once
// Reading and writing whole text files without a GUI toolkit. Paths are UTF-8. Failures
// are thrown as std::string messages meant for the user.

#include <filesystem>
#include <string>

#include "bemt/TextFile.h"

namespace korvane {

// Reading is the core's, shared with the polar and OpenFAST readers (bemt/TextFile.h).
using bemt::decodeText;
using bemt::openTextStream;
using bemt::readTextFile;

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

}  // namespace korvane
