#pragma once
// The text of whatever exception is being handled, for the boundaries where the
// program catches everything (file opening, event handlers) and must still say what
// went wrong rather than end.

#include <string>

namespace korvane {

// Call inside a catch block: the message of a thrown std::string, the what() of a
// standard exception, or a plain sentence for anything else.
std::string currentExceptionText();

}  // namespace korvane
