#include "cli/option_checks.h"

#include <cmath>

#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"

namespace korvane::cli {

CLI::Validator numberWithin(const bemt::ValueLimit& limit, bool whole) {
    return CLI::Validator(
        [limit, whole](std::string& input) -> std::string {
            const auto number = bemt::NumberText::wholeDouble(input);
            if (number.kind == bemt::NumberText::Whole::NotANumber) {
                if (bemt::hasDecimalComma(input)) return input + " is written with a decimal comma; write a decimal point.";
                return "\"" + input + "\" is not a number.";
            }
            if (number.kind == bemt::NumberText::Whole::NotFinite) return input + " is not a finite number.";
            if (whole && number.value != std::trunc(number.value)) return input + " is not a whole number.";
            if (!limit.contains(number.value)) return limit.refusal(number.value);
            if (whole) input = bemt::NumberText::formatted("%.0f", number.value);
            return std::string();
        },
        "");
}

double optionNumber(const std::string& text) { return bemt::NumberText::wholeDouble(text).value; }

void refuseEmptyValues(CLI::App& app) {
    const CLI::Validator notEmpty(
        [](std::string& input) {
            return input.empty() ? std::string("the value is empty; give one, or leave the option out.") : std::string();
        },
        "");
    for (CLI::Option* option : app.get_options()) {
        if (option->nonpositional() && option->get_type_size_min() > 0) option->check(notEmpty);
    }
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) refuseEmptyValues(*command);
}

}  // namespace korvane::cli
