#pragma once
// The checks every option of korvane-cli shares: numbers read by the program's own rules
// (NumberText) within a setting's limits, and no empty values.

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <type_traits>

#include "bemt/ValueLimits.h"

namespace korvane::cli {

// One finite number written with a decimal point, within the setting's range, and for a
// count a whole number (written back without its fraction, "10.0" as "10").
CLI::Validator numberWithin(const bemt::ValueLimit& limit, bool whole = false);

// The number numberWithin accepted, read by the same rules: CLI11's own conversion
// (strtold) never reads a number of the command line.
double optionNumber(const std::string& text);

// Options whose range the turbine settings check as a whole.
inline constexpr bemt::ValueLimit kAnyNumber{"the value", -bemt::ValueLimit::kUnbounded,
                                             bemt::ValueLimit::kUnbounded};

// An option of one number within limit, a whole one for T = int, handed to set.
template <typename T>
CLI::Option* addNumberOption(CLI::App& command, const std::string& name, std::function<void(T)> set,
                             const std::string& description, const bemt::ValueLimit& limit) {
    CLI::Option* option = command.add_option_function<std::string>(
        name, [set = std::move(set)](const std::string& text) { set(static_cast<T>(optionNumber(text))); },
        description);
    if constexpr (std::is_integral_v<T>) return option->transform(numberWithin(limit, true));
    return option->check(numberWithin(limit));
}

// An empty value would read as an option not given and be ignored: every option that
// takes a value, of app and of all its subcommands, refuses it by name.
void refuseEmptyValues(CLI::App& app);

}  // namespace korvane::cli
