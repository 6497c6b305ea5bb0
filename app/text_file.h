#pragma once
// Reading whole text files without a GUI toolkit (file_writer.h writes them). Paths are
// UTF-8. Failures are thrown as std::string messages meant for the user.

#include <filesystem>
#include <istream>
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

// A UTF-8 path as a filesystem path, and a filesystem path as UTF-8.
std::filesystem::path pathFromUtf8(const std::string& path);
std::string utf8OfPath(const std::filesystem::path& path);

// Text decoding used by readTextFile, exposed for its tests.
std::string decodeText(const std::string& bytes);

}  // namespace korvane
