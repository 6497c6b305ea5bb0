#pragma once
// The message of the program's error an action throws: the message is what the user reads.

#include <functional>
#include <string>

#include "bemt/Error.h"

namespace korvane::testing {

// The message of the bemt::Error thrown by action, or "" when it throws none.
inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const bemt::Error& error) {
        return error.message();
    }
    return "";
}

}  // namespace korvane::testing
