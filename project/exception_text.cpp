#include "project/exception_text.h"

#include <exception>
#include <new>

namespace korvane {

std::string currentExceptionText() {
    try {
        throw;
    } catch (const std::string& message) {
        return message;
    } catch (const std::bad_alloc&) {
        return "There was not enough memory for the action.";
    } catch (const std::exception& e) {
        return std::string("Unexpected error: ") + e.what();
    } catch (...) {
        return "An unexpected error of unknown kind stopped the action.";
    }
}

}  // namespace korvane
