// Any bytes as an OpenFAST driver (.fst) or ElastoDyn input; the first byte chooses
// (bit 0 set: ElastoDyn). Either a message (a std::string) or a rotor within the
// program's limits, never a crash, and never work that grows with a count in the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/ValueLimits.h"
#include "exchange/OpenFastModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool elastoDyn = (data[0] & 1) != 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    try {
        const bemt::KeywordFile file(in, "/fuzz/model.dat");
        if (!elastoDyn) {
            const bemt::OpenFastDriver driver = bemt::OpenFastReader::readDriver(file);
            if (driver.elastoDynFile.empty() || driver.aeroDynFile.empty()) std::abort();
            return 0;
        }
        const bemt::ElastoDynRotor rotor = bemt::OpenFastReader::readElastoDyn(file);
        if (!bemt::Limits::B.contains(rotor.blades) || !bemt::Limits::R.contains(rotor.tipRadius) ||
            !(rotor.hubRadius >= 0.0 && rotor.hubRadius < rotor.tipRadius) ||
            rotor.precone.size() > static_cast<std::size_t>(rotor.blades) ||
            (rotor.rotorSpeedRpm && !(*rotor.rotorSpeedRpm > 0.0)) ||
            (rotor.gearboxEfficiency && !(*rotor.gearboxEfficiency > 0.0 && *rotor.gearboxEfficiency <= 1.0)))
            std::abort();
    } catch (const bemt::Error&) {
        return 0;  // refused with a message: fine
    }
    return 0;
}
