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
    // What the messages call a stream read without a file name.
    static inline const std::string kUnnamedSource = "the CSV data";

    // Appends the points of the data part to the lists (does not clear them or set the
    // angle bounds). name is the file the messages give. Every data line must hold
    // three numbers (in comma mode: three comma-separated fields; in whitespace mode
    // the first three words, blank lines skipped), each field a whole finite number;
    // angles lie within -180 to 180 degrees and increase from line to line, and drag
    // coefficients are not negative. Any other line throws a message naming the file
    // and the line ("line 7 of polar.csv: angles must increase (-9.5 follows -9.5)"),
    // a number with a decimal comma its own one ("decimal comma in line 7 of
    // polar.csv: write 0.8911").
    void parseFile(std::istream* in, const std::string& preceding, CSVSeparator sep,
                   const std::string& name = kUnnamedSource);

    // Replaces the lists by the stream's points and sets the angle bounds. The stream
    // stays the caller's. Throws parseFile's messages, and fileFormatError(name) with
    // the reason when no data line follows the marker.
    void loadFile(std::istream* in, const std::string& preceding, CSVSeparator sep,
                  const std::string& name = kUnnamedSource);

    // The same from a file.
    void loadFile(const std::string& path, const std::string& preceding, CSVSeparator sep);

    static std::string fileFormatError(const std::string& path);
    static std::string unreadableFileError(const std::string& path);
};

}  // namespace bemt
