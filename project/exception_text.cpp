#include "project/exception_text.h"

#include <exception>
#include <new>

#include "bemt/Error.h"
#include "bemt/MemoryBudget.h"

namespace korvane {

std::string currentExceptionText() {
    try {
        throw;
    } catch (const bemt::Error& error) {
        return error.message();
    } catch (const std::bad_alloc&) {
        return bemt::MemoryBudget::kExhausted;
    } catch (const std::exception& e) {
        return std::string("Unexpected error: ") + e.what();
    } catch (...) {
        return "An unexpected error of unknown kind stopped the action.";
    }
}

}  // namespace korvane
