#include "bemt/ProfileParamsCSV.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/TextFile.h"

namespace bemt {

namespace {

constexpr double kLargestAngleDeg = 180.0;

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string counted(std::size_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\f\v");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\f\v") - first + 1);
}

// The number a field with a decimal comma means ("0,8911" gives "0.8911"), if it is one.
std::optional<std::string> decimalCommaNumber(std::string_view field) {
    field = trimmed(field);
    const std::size_t comma = field.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 1 >= field.size()) return std::nullopt;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!isDigit(field[comma - 1]) || !isDigit(field[comma + 1])) return std::nullopt;
    std::string corrected(field);
    corrected[comma] = '.';
    if (NumberText::wholeDouble(corrected).kind != NumberText::Whole::Finite) return std::nullopt;
    return corrected;
}

// The first number written with a decimal comma in a line whose fields are separated by
// semicolons or white space.
std::optional<std::string> decimalCommaInLine(std::string_view line) {
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find_first_of("; \t", start);
        if (end == std::string_view::npos) end = line.size();
        if (auto number = decimalCommaNumber(line.substr(start, end - start))) return number;
        start = end + 1;
    }
    return std::nullopt;
}

// The text before the first comma, between the first and the second, and between the
// second and the third comma or the end of the line; anything after a third comma is
// ignored. Empty for fewer than three fields.
std::optional<std::array<std::string_view, 3>> commaFields(std::string_view line) {
    std::array<std::string_view, 3> fields;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            if (i < 2) return std::nullopt;
            fields[i] = line;
            return fields;
        }
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    return fields;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t start = line.find_first_not_of(" \t\r\f\v");
    while (start != std::string_view::npos && result.size() < 3) {
        const std::size_t end = line.find_first_of(" \t\r\f\v", start);
        result.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end == std::string_view::npos ? end : line.find_first_not_of(" \t\r\f\v", end);
    }
    return result;
}

// Reads the data lines of one file, checking each as it comes.
class DataLines {
public:
    DataLines(const std::string& name, std::size_t previousCount, double previousAngle)
        : m_name(name), m_count(previousCount), m_previousAngle(previousAngle) {}

    // The three values of a data line; number is the line's number in the file.
    std::array<double, 3> values(std::string_view line, std::size_t number, CSVSeparator sep) {
        m_line = number;
        std::array<std::string_view, 3> fields;
        if (sep == Comma) {
            const auto split = commaFields(line);
            if (!split) {
                refuseShortLine(line, trimmed(line).empty()
                                          ? "an empty line"
                                          : counted(std::count(line.begin(), line.end(), ',') + 1, "field"));
            }
            fields = *split;
        } else {
            const auto found = words(line);
            if (found.size() < 3) refuseShortLine(line, counted(found.size(), "word"));
            std::copy(found.begin(), found.end(), fields.begin());
        }
        std::array<double, 3> v{};
        for (std::size_t i = 0; i < 3; ++i) v[i] = value(fields[i], line);
        checkPoint(v);
        return v;
    }

private:
    [[noreturn]] void refuse(const std::string& problem) const {
        throw bemt::Error("line " + std::to_string(m_line) + " of " + m_name + ": " + problem);
    }

    [[noreturn]] void refuseShortLine(std::string_view line, const std::string& found) const {
        if (auto number = decimalCommaInLine(line)) refuseDecimalComma(*number);
        refuse("three numbers expected (angle of attack, cl, cd), found " + found + ".");
    }

    [[noreturn]] void refuseDecimalComma(const std::string& corrected) const {
        throw bemt::Error("decimal comma in line " + std::to_string(m_line) + " of " + m_name + ": write " + corrected);
    }

    double value(std::string_view field, std::string_view line) const {
        const auto whole = NumberText::wholeDouble(field);
        if (whole.kind == NumberText::Whole::Finite) return whole.value;
        if (auto number = decimalCommaNumber(field)) refuseDecimalComma(*number);
        if (auto number = decimalCommaInLine(line)) refuseDecimalComma(*number);
        const std::string text(trimmed(field));
        if (whole.kind == NumberText::Whole::NotFinite) refuse(text + " is not a finite number.");
        refuse("\"" + text + "\" is not a number (three numbers expected: angle of attack, cl, cd).");
    }

    void checkPoint(const std::array<double, 3>& v) {
        const double angle = v[0];
        if (angle < -kLargestAngleDeg || angle > kLargestAngleDeg)
            refuse("the angle of attack " + numberText(angle) + " lies outside -180 to 180 degrees.");
        if (m_count > 0 && !(angle > m_previousAngle))
            refuse("angles must increase (" + numberText(angle) + " follows " + numberText(m_previousAngle) + ")");
        if (v[2] < 0.0) refuse("the drag coefficient " + numberText(v[2]) + " is negative.");
        m_previousAngle = angle;
        ++m_count;
    }

    const std::string& m_name;
    std::size_t m_count;
    double m_previousAngle;
    std::size_t m_line = 0;
};

}  // namespace

void ProfileParamsCSV::parseFile(std::istream* in, const std::string& preceding, CSVSeparator sep,
                                 const std::string& name) {
    DataLines data(name, m_alpha.size(), m_alpha.empty() ? 0.0 : m_alpha.back());
    std::string line;
    std::size_t number = 0;
    bool markerSeen = false;
    while (std::getline(*in, line)) {
        ++number;
        if (!markerSeen) {
            markerSeen = line.find(preceding) != std::string::npos;
            continue;
        }
        // White space separates nothing on a blank line; a comma file has no blank lines.
        if (sep != Comma && trimmed(line).empty()) continue;
        const auto v = data.values(line, number, sep);
        appendPoint(v[0], v[1], v[2]);
    }
}

void ProfileParamsCSV::loadFile(std::istream* in, const std::string& preceding, CSVSeparator sep,
                                const std::string& name) {
    emptyData();
    parseFile(in, preceding, sep, name);
    if (m_alpha.empty())
        throw bemt::Error(fileFormatError(name) + " No data lines follow a line containing \"" + preceding + "\".");
    setBoundsFromList();
    m_splinesReady = false;
}

void ProfileParamsCSV::loadFile(const std::string& path, const std::string& preceding, CSVSeparator sep) {
    std::istringstream file(readTextFile(path));
    loadFile(&file, preceding, sep, path);
}

std::string ProfileParamsCSV::fileFormatError(const std::string& path) {
    return "The CSV file " + path + " could not be read properly. Check the format.";
}

std::string ProfileParamsCSV::unreadableFileError(const std::string& path) {
    return "File " + path + " does not exist or is not readable.";
}

}  // namespace bemt
