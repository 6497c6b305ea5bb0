#pragma once
// The two message exchanges with the `xfoil-core` child: sending an airfoil's
// coordinates and asking for lift and drag at one angle of attack. Numbers go out as
// single-precision values in "%f" form, one per line; answers come back as a word and
// three numbers, converged exactly when the word starts with 'T'.

#include <istream>
#include <string>

#include "bemt/XfoilCommunicator.h"

namespace bemt {

struct XfoilAnswer {
    float first = 0.0f;  // echoed by the child, not used
    float cl = 0.0f;
    float cd = 0.0f;
    bool converged = false;
};

class HelperXfoil {
public:
    // Reads the coordinates (every line starting with two numbers x y; other lines such
    // as a title are skipped) and sends: the point count, then x and y of each point on
    // lines of their own, then an empty line. name is for the caller only.
    static void loadCoords(XfoilCommunicator& comm, const std::string& name, std::istream* coords);
    // The same from a file. Throws "Input file <path> could not be read.".
    static void loadCoords(XfoilCommunicator& comm, const std::string& path);

    // Sends alpha (radians), reynolds and auxiliary on three lines and an empty line,
    // and reads the answer. An answer that is missing, late, malformed or not finite
    // counts as not converged.
    static XfoilAnswer liftAndDrag(XfoilCommunicator& comm, float reynolds, float auxiliary, float alpha);

    // "%f" of a single-precision value.
    static std::string formatNumber(float value);

    static std::string unreadableFileError(const std::string& path);
};

}  // namespace bemt
