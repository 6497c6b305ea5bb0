#pragma once
// The text of whatever exception is being handled, for the boundaries where the
// program catches everything (the desktop program's worker and event handlers, the
// command line) and must still say what went wrong rather than end.

#include <string>

namespace korvane {

// Call inside a catch block: the message of the program's own errors (bemt::Error), the
// memory advice for an allocation that failed, the what() of another standard exception,
// or a plain sentence for anything else.
std::string currentExceptionText();

}  // namespace korvane
