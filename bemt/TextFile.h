#pragma once
// Reading the text files the program is given by path: projects, polars, coordinates and
// OpenFAST or AeroDyn inputs all go through here, so that each of them refuses special
// files and oversized files alike and decodes the same encodings. Paths are UTF-8.
// Failures are thrown as std::string messages meant for the user.

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>

namespace bemt {

// The most a text input may hold: far above any polar, model or project file, far below
// what would exhaust the memory.
constexpr std::uintmax_t kMaxTextFileBytes = 64u << 20;

// The whole file as UTF-8, decoded by decodeText.
// Throws "No file name has been provided." for an empty path,
// "The file " + path + " could not be opened: REASON." when the file cannot be read,
// with the system's reason or "it is a folder", "... could not be opened: it is not a regular file." for a device, pipe or
// socket, which is never read (it could block or be read for ever), and "... could not
// be opened: it holds more than 64 MiB, more than a text input may." past the limit.
std::string readTextFile(const std::string& path);

// The file as a stream of UTF-8 text, read as readTextFile reads it; the caller deletes
// it. This is how the desktop program and the command line both read airfoil files.
std::istream* openTextStream(const std::string& path);

// path made absolute, with the symbolic links and ".." of its folders resolved as the
// system resolves them when the file is opened (behind a linked folder ".." leads into
// the link's target, not back to where the link is); the file name itself stays, so a
// linked file keeps its name. Folders that do not exist are kept as written.
std::filesystem::path physicalPath(const std::filesystem::path& path);

// A byte-order mark selects UTF-8, UTF-16 or UTF-32 (and is dropped); without one the
// text is taken as UTF-8, or as Latin-1 when it is not valid UTF-8, so that no byte is
// lost.
std::string decodeText(const std::string& bytes);

}  // namespace bemt
