// Any bytes as an AeroDyn airfoil table file: either a polar that answers finite
// coefficients everywhere or a message, never a crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bemt/Error.h"
#include "bemt/ProfileParamsAeroDyn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    bemt::ProfileParamsAeroDyn polar;
    try {
        polar.loadFile(in, "fuzz.dat");
    } catch (const bemt::Error&) {
        return 0;
    }
    for (const double re : {1e5, 1e6, 1e7}) {
        polar.setReynolds(re);
        for (double alpha = -3.2; alpha <= 3.2; alpha += 0.1) {
            if (!std::isfinite(polar.cl(alpha)) || !std::isfinite(polar.cd(alpha))) std::abort();
        }
    }
    return 0;
}
