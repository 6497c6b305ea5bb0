// The CSV polar reader in both separator modes. The first byte chooses the mode (bit 0:
// whitespace instead of comma) and the marker of the line before the data (bit 1:
// "Alpha", else none); the rest is the file. A file either loads or is refused with a
// message; a loaded polar answers lift and drag all round the circle.

#include <cstdint>
#include <sstream>
#include <string>

#include "bemt/Error.h"
#include "bemt/ProfileParamsCSV.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bemt::CSVSeparator separator = (data[0] & 1) != 0 ? bemt::Whitespace : bemt::Comma;
    const std::string marker = (data[0] & 2) != 0 ? "Alpha" : "";
    std::istringstream file(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    bemt::ProfileParamsCSV polar;
    try {
        polar.loadFile(&file, marker, separator);
        polar.setReynolds(1e6);
        for (double alpha = -3.2; alpha <= 3.2; alpha += 0.4) {
            volatile double lift = polar.cl(alpha);
            volatile double drag = polar.cd(alpha);
            (void)lift;
            (void)drag;
        }
    } catch (const bemt::Error&) {
        // refused with a message: fine
    }
    return 0;
}
