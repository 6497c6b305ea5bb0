#pragma once
// The .kvp project file: one compact JSON document with sorted keys, numbers in their
// shortest round-trip form, UTF-8 text written as it is, and airfoil data paths stored
// relative to the project file. No GUI here, so the command line reads and writes
// projects exactly as the desktop program does.
//
// Paths are UTF-8. Failures are thrown as std::string messages that name the file and
// the problem.

#include <optional>
#include <string>
#include <vector>

#include "project/project_data.h"

namespace korvane::kvp {

// Whether settings at their defaults that files omit (the rotor object, the solver's model
// switches when on) are written: Omitted for files, Stated for reading every setting by name.
enum class Defaults { Omitted, Stated };

// The document for data, to be stored at projectPath (which makes the airfoil data
// paths relative to it).
std::string write(const ProjectData& data, const std::string& projectPath, Defaults defaults = Defaults::Omitted);

// Parses and checks the whole document before returning anything, so a bad document
// never yields a partial project. Keys a file may omit get the record defaults ("rho",
// "mu", "cair", "ncrit", and the three point arrays, which may also be null); L and TSR
// follow from R, Rh, Om and V0. A float read into an integer field is truncated toward
// zero. A null where a float is expected reads as NaN, which is how a NaN or an infinity
// was written. With outOfLimits, values outside their limits (as files of earlier
// versions may hold) are kept and each refusal ("\"solver_settings.accuracy\": ...") is
// collected there instead of refusing the document.
ProjectData read(const std::string& document, const std::string& projectPath,
                 std::vector<std::string>* outOfLimits = nullptr);

// Why read() would refuse the document, without the opening naming the project file
// ("\"conditions.R\": the rotor radius R [m] 400 lies outside its range, 0.1 to 300."),
// or nothing when it reads: for a writer that must not write what cannot be opened.
std::optional<std::string> openingProblem(const std::string& document, const std::string& projectPath);

// An airfoil data path as stored: relative to the project file's full path taken as a
// folder, so a file beside the project becomes "../name.csv". Both paths are first
// resolved as the system resolves them (linked folders followed, and a link to the
// project file, also to one not yet written, as the file writer follows it), so that the
// project finds its files whether it is opened by its real path or through a link. Empty stays
// empty.
std::string storedPath(const std::string& absolutePath, const std::string& projectPath);

// The absolute path of a stored one: "/" and "\" become the native separator, a leading
// "~" the home folder, and the path is resolved against the project file's full path
// taken as a folder (resolved as storedPath resolves it), with "." and ".." removed.
// Empty stays empty.
std::string resolvedPath(const std::string& stored, const std::string& projectPath);

}  // namespace korvane::kvp
