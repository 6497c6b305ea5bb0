#pragma once
// How many threads the sweeps use: every core unless the environment variable
// KORVANE_THREADS (or a caller, such as `korvane-cli --threads`) says otherwise.

#include <optional>
#include <string>

namespace bemt::ThreadCount {

inline constexpr int kMax = 1024;
inline const std::string kVariable = "KORVANE_THREADS";

// The number of cores (at least 1).
int cores();

// KORVANE_THREADS as a number; nullopt when it is unset or empty. Throws a message
// naming the variable when it is not a whole number from 1 to kMax.
std::optional<int> fromEnvironment();

// KORVANE_THREADS when it holds a valid number, otherwise every core.
int standard();

// The message for a thread count outside 1 to kMax, naming where it came from.
std::string invalidCountError(const std::string& source, const std::string& value);

}  // namespace bemt::ThreadCount
