// Any bytes as an XFOIL polar save file: a polar with finite coefficients or a message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bemt/Error.h"
#include "bemt/ProfileParamsXfoilPolar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    bemt::ProfileParamsXfoilPolar polar;
    try {
        polar.loadFile(in, "fuzz.txt");
        polar.setReynolds(polar.fileReynolds());
    } catch (const bemt::Error&) {
        return 0;
    }
    for (double alpha = -3.2; alpha <= 3.2; alpha += 0.1) {
        if (!std::isfinite(polar.cl(alpha)) || !std::isfinite(polar.cd(alpha))) std::abort();
    }
    return 0;
}
