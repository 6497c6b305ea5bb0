#pragma once
// A measured or published polar read from a text table: one line per angle of attack
// (degrees), lift coefficient, drag coefficient. The data start after the first line
// containing the user's "preceding line" text.

#include <istream>
#include <string>

#include "bemt/ProfileParamsList.h"
#include "bemt/Records.h"

namespace bemt {

class ProfileParamsCSV : public ProfileParamsList {
public:
    static inline const std::string kFormatError = "The CSV file could not be read properly. Check the format.";

    // Appends the points of the data part to the lists (does not clear them or set the
    // angle bounds). A field that holds no number, and in comma mode a line with fewer
    // than three fields, throws kFormatError; in whitespace mode blank lines are skipped
    // and a short line leaves the lists of unequal length.
    void parseFile(std::istream* in, const std::string& preceding, CSVSeparator sep);

    // Replaces the lists by the stream's points and sets the angle bounds. The stream
    // stays the caller's. Throws kFormatError when no point was read or the lists
    // differ in length.
    void loadFile(std::istream* in, const std::string& preceding, CSVSeparator sep);

    // The same from a file; its messages name the file.
    void loadFile(const std::string& path, const std::string& preceding, CSVSeparator sep);

    static std::string fileFormatError(const std::string& path);
    static std::string unreadableFileError(const std::string& path);
};

}  // namespace bemt
