#pragma once
// How much memory a computation may take: the lower of the machine's physical memory and
// the process's address-space limit (RLIMIT_AS, `ulimit -v`), less what the process
// maps already. Computations estimate what they will hold and are refused before any
// work when it does not fit, rather than failing half-way with an allocation error.

#include <cstdint>
#include <optional>
#include <string>

namespace bemt::MemoryBudget {

// What the user reads when an allocation fails after all.
inline const std::string kExhausted =
    "There is not enough memory to finish: compute fewer points or fewer elements, or allow the program more "
    "memory.";

// Bytes the process may still allocate; nullopt when neither limit can be read.
std::optional<double> available();

// "1.4 GB", "350 MB": a byte count as the messages show it.
std::string bytesText(double bytes);

// Throws "<what> would need about X of memory, more than the Y this machine allows
// (...). <advice>" when bytes exceed available().
void check(double bytes, const std::string& what, const std::string& advice);

}  // namespace bemt::MemoryBudget
