#pragma once
// Reading whole text files without a GUI toolkit (file_writer.h writes them). Paths are
// UTF-8. Failures are thrown as std::string messages meant for the user.

#include <filesystem>
#include <string>

#include "bemt/TextFile.h"

namespace korvane {

// Reading is the core's, shared with the polar and OpenFAST readers (bemt/TextFile.h).
using bemt::decodeText;
using bemt::openTextStream;
using bemt::readTextFile;

// A UTF-8 path as a filesystem path, and a filesystem path as UTF-8.
std::filesystem::path pathFromUtf8(const std::string& path);
std::string utf8OfPath(const std::filesystem::path& path);

}  // namespace korvane
