// The .kvp reader: any document either reads or is refused with a message (a
// std::string); one that reads writes a document that reads back to the same text.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "bemt/Error.h"
#include "project/kvp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string document(reinterpret_cast<const char*>(data), size);
    const std::string path = "/fuzz/project.kvp";
    std::string written;
    try {
        written = korvane::kvp::write(korvane::kvp::read(document, path), path);
    } catch (const bemt::Error&) {
        return 0;  // refused with a message: fine
    }
    // What the program writes, it must read back unchanged.
    if (korvane::kvp::write(korvane::kvp::read(written, path), path) != written) std::abort();
    return 0;
}
