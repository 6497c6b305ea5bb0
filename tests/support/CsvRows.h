#pragma once
// The rows of a CSV text, each split into its cells at the commas (no quoting: the
// program's CSV files quote nothing). A trailing empty cell is dropped, as getline does.

#include <sstream>
#include <string>
#include <vector>

namespace korvane::testing {

inline std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace korvane::testing
