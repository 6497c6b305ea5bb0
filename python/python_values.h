#pragma once
// Python values as the JSON values of setting changes and study rows: None, booleans,
// whole numbers, floats (NaN and infinities kept, for the settings' own refusal), text,
// dicts and lists; other numbers (numpy's, Decimal, Fraction) by their float value.
// Anything else raises ValueError naming where it stands.

#include <pybind11/pybind11.h>

#include <string>

#include <nlohmann/json.hpp>

namespace korvane::python {

nlohmann::json jsonOf(pybind11::handle value, const std::string& place);

}  // namespace korvane::python
