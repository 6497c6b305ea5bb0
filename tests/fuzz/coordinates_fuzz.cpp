// The airfoil coordinate reader: any file either reads into finite points or is
// refused with a message.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bemt/AirfoilCoordinates.h"
#include "bemt/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    try {
        const auto coordinates = bemt::AirfoilCoordinates::read(file, "fuzz.dat");
        if (coordinates.points().empty()) std::abort();
        for (const auto& p : coordinates.points()) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) std::abort();
        }
    } catch (const bemt::Error&) {
        // refused with a message: fine
    }
    return 0;
}
