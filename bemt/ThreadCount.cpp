#include "bemt/ThreadCount.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "bemt/Error.h"
#include "bemt/NumberText.h"

namespace bemt::ThreadCount {

int cores() { return std::max(1u, std::thread::hardware_concurrency()); }

std::string invalidCountError(const std::string& source, const std::string& value) {
    return source + " must be a whole number of threads from 1 to " + std::to_string(kMax) + ", not \"" + value +
           "\".";
}

std::optional<int> fromEnvironment() {
    const char* text = std::getenv(kVariable.c_str());
    if (!text || !*text) return std::nullopt;
    const std::string_view view(text);
    const auto parsed = NumberText::leadingDouble(view);
    const bool whole = parsed && parsed->used == view.size() && parsed->value >= 1.0 && parsed->value <= kMax &&
                       parsed->value == static_cast<int>(parsed->value);
    if (!whole) throw bemt::Error(invalidCountError(kVariable, text));
    return static_cast<int>(parsed->value);
}

int standard() {
    try {
        if (const auto threads = fromEnvironment()) return *threads;
    } catch (const bemt::Error&) {
        // Programs that can tell the user check the variable themselves (korvane-cli
        // does); the others use every core.
    }
    return cores();
}

}  // namespace bemt::ThreadCount
