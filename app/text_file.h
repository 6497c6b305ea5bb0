#pragma once
// Reading and writing whole text files without a GUI toolkit. Paths are UTF-8. Failures
// are thrown as std::string messages meant for the user.

#include <string>

namespace korvane {

// The whole file as UTF-8. A byte-order mark selects UTF-8, UTF-16 or UTF-32 (and is
// dropped); without one the text is taken as UTF-8, or as Latin-1 when it is not valid
// UTF-8, so that no byte is lost.
// Throws "No file name has been provided." for an empty path and
// "The file " + path + " could not be opened." when the file cannot be read.
std::string readTextFile(const std::string& path);

// Replaces the file at path with content so that the previous file survives any
// failure: the content goes to a temporary file in the same folder, is flushed to the
// disk and then renamed over the target. A symbolic link is followed, so the file it
// points to is replaced. An existing file keeps its permissions.
// Throws "The file " + path + " could not be created." on failure, leaving no temporary
// file behind.
void writeFileAtomically(const std::string& path, const std::string& content);

// Text decoding used by readTextFile, exposed for its tests.
std::string decodeText(const std::string& bytes);

}  // namespace korvane
