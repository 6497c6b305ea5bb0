// xfoil-core's reading of the program's messages (coordinates, settings, requests) and
// its preparation of the coordinates for XFOIL, on whatever arrives on its standard
// input. XFOIL itself is not started.

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "AdapterInput.h"
#include "AirfoilGeometry.h"

namespace {

// The adapter reads a file descriptor; an in-memory file stands in for its pipe.
class MemoryInput {
public:
    MemoryInput(const uint8_t* data, size_t size) : m_fd(::memfd_create("xfoil-core-input", 0)) {
        if (m_fd < 0) std::abort();
        for (size_t done = 0; done < size;) {
            const ssize_t n = ::write(m_fd, data + done, size - done);
            if (n <= 0) std::abort();
            done += static_cast<size_t>(n);
        }
        ::lseek(m_fd, 0, SEEK_SET);
    }
    ~MemoryInput() { ::close(m_fd); }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xfoilcore;
    const MemoryInput memory(data, size);
    InputTokens tokens(memory.fd());
    AdapterInput input(tokens);
    const auto coordinates = input.coordinates();
    if (!coordinates) return 0;
    if (coordinates->readable) {
        const PreparedAirfoil airfoil = prepareAirfoil(coordinates->points);
        if (airfoil.valid && (airfoil.points.size() < kMinPoints || airfoil.points.size() > kMaxPoints ||
                              !(airfoil.thickness > 0.0))) {
            std::abort();
        }
    }
    if (!input.settings()) return 0;
    while (const auto request = input.request()) {
        if (request->valid && !(std::fabs(request->alphaDeg) < AdapterInput::kMaxAlphaDeg)) std::abort();
    }
    return 0;
}
