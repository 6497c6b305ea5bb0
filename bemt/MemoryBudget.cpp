#include "bemt/MemoryBudget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "bemt/Error.h"

namespace bemt::MemoryBudget {

namespace {

std::optional<double> physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || size <= 0) return std::nullopt;
    return static_cast<double>(pages) * static_cast<double>(size);
}

// The address space still free under RLIMIT_AS; nullopt when there is no limit.
std::optional<double> addressSpaceLeft() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    double mapped = 0.0;
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    if (statm >> pages) mapped = static_cast<double>(pages) * static_cast<double>(::sysconf(_SC_PAGESIZE));
    return std::max(0.0, static_cast<double>(limit.rlim_cur) - mapped);
}

}  // namespace

std::optional<double> available() {
    const auto physical = physicalMemory();
    const auto address = addressSpaceLeft();
    if (physical && address) return std::min(*physical, *address);
    return physical ? physical : address;
}

std::string bytesText(double bytes) {
    char text[32];
    if (bytes >= 1e9) {
        std::snprintf(text, sizeof text, "%.3g GB", bytes / 1e9);
    } else {
        std::snprintf(text, sizeof text, "%.3g MB", std::max(bytes, 1e6) / 1e6);
    }
    return text;
}

void check(double bytes, const std::string& what, const std::string& advice) {
    const auto left = available();
    if (!left || bytes <= *left) return;
    throw bemt::Error(
        what + " would need about " + bytesText(bytes) + " of memory, more than the " + bytesText(*left) +
        " this machine allows (the lower of its physical memory and the process's address-space limit). " + advice);
}

}  // namespace bemt::MemoryBudget
