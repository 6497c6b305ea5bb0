#pragma once
// The two message exchanges with the `xfoil-core` child: sending an airfoil's
// coordinates and asking for lift and drag at one angle of attack. Numbers go out as
// single-precision values in "%f" form, one per line; answers come back as a word and
// three numbers, converged exactly when the word starts with 'T'.

#include <istream>
#include <string>

#include "bemt/AirfoilCoordinates.h"
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
    // Sends the coordinate message: the point count, then x and y of each point on
    // lines of their own, then an empty line.
    static void loadCoords(XfoilCommunicator& comm, const AirfoilCoordinates& coordinates);
    // Reads the coordinates (AirfoilCoordinates, whose messages name the file by name)
    // and sends them.
    static void loadCoords(XfoilCommunicator& comm, const std::string& name, std::istream* coords);
    // The same from a file. Throws "Input file <path> could not be read.".
    static void loadCoords(XfoilCommunicator& comm, const std::string& path);

    // Sends alpha (radians), reynolds and auxiliary on three lines and an empty line,
    // and reads the answer. An answer with numbers that are not finite (or beyond single
    // precision) counts as not converged. A missing or late answer, or one that is not a
    // word and three numbers, ends the conversation: the channel's failure (the
    // adapter's own diagnostic where it gave one) is thrown as a std::string.
    static XfoilAnswer liftAndDrag(XfoilCommunicator& comm, float reynolds, float auxiliary, float alpha);

    // The next token or number of the child's answer, with the same failures.
    static std::string nextToken(XfoilCommunicator& comm);
    static double nextNumber(XfoilCommunicator& comm);
    static inline const std::string kNoAnswer = "The XFOIL adapter gave no answer.";

    // "%f" of a single-precision value.
    static std::string formatNumber(float value);

    static std::string unreadableFileError(const std::string& path);
};

}  // namespace bemt
