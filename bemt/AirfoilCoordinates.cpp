#include "bemt/AirfoilCoordinates.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "bemt/Error.h"

namespace bemt {

namespace {

std::vector<std::string_view> tokens(std::string_view line) {
    std::vector<std::string_view> found;
    std::size_t pos = 0;
    auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (pos < line.size()) {
        while (pos < line.size() && space(line[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && !space(line[pos])) ++pos;
        if (pos > start) found.push_back(line.substr(start, pos - start));
    }
    return found;
}

enum class Field { Number, OutOfRange, NotANumber };

// The whole token as a number ("0.5x" and "0,5" are none).
Field wholeNumber(std::string_view token, double& value) {
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
        if (token.empty() || token.front() == '+' || token.front() == '-') return Field::NotANumber;
    }
    const char* last = token.data() + token.size();
    const auto [end, error] = std::from_chars(token.data(), last, value);
    if (end != last) return Field::NotANumber;
    if (error == std::errc::result_out_of_range) return Field::OutOfRange;
    return error == std::errc() ? Field::Number : Field::NotANumber;
}

// The line as it can be shown in a message.
std::string shown(std::string_view line) {
    std::string text;
    for (char c : line.substr(0, 60)) text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return line.size() > 60 ? text + "..." : text;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value + 0.0);  // no "-0"
    return text;
}

// Two leading fields that are numbers, finite or not: a data line, even a faulty one.
bool startsWithTwoNumbers(std::string_view line) {
    const auto fields = tokens(line);
    double ignored = 0.0;
    return fields.size() >= 2 && wholeNumber(fields[0], ignored) != Field::NotANumber &&
           wholeNumber(fields[1], ignored) != Field::NotANumber;
}

class LineReader {
public:
    LineReader(const std::string& file, std::size_t line) : m_file(file), m_line(line) {}

    std::string where() const { return "line " + std::to_string(m_line) + " of " + m_file; }

    // The point of a data line; throws why it is none.
    AirfoilCoordinates::Point point(std::string_view text) const {
        const auto fields = tokens(text);
        if (fields.size() < 2) throw bemt::Error(notAPair(text));
        AirfoilCoordinates::Point p;
        coordinate(fields[0], text, p.x);
        coordinate(fields[1], text, p.y);
        return p;
    }

private:
    std::string notAPair(std::string_view text) const {
        return "The " + where() + " is not a pair of coordinates x y: \"" + shown(text) + "\".";
    }

    void coordinate(std::string_view field, std::string_view text, double& value) const {
        switch (wholeNumber(field, value)) {
            case Field::Number:
                if (!std::isfinite(value)) {
                    throw bemt::Error("The " + where() +
                                      " holds a coordinate that is not a finite number: " + shown(field) + ".");
                }
                // They go to the adapter in single precision.
                if (std::fabs(value) <= FLT_MAX) return;
                [[fallthrough]];
            case Field::OutOfRange:
                throw bemt::Error("The " + where() + " holds a number out of range: " + shown(field) + ".");
            case Field::NotANumber: {
                std::string dotted(field);
                const auto comma = dotted.find(',');
                if (comma != std::string::npos) {
                    dotted[comma] = '.';
                    double ignored = 0.0;
                    if (wholeNumber(dotted, ignored) == Field::Number) {
                        throw bemt::Error("decimal comma in " + where() + ": write " + dotted);
                    }
                }
                throw bemt::Error(notAPair(text));
            }
        }
    }

    const std::string& m_file;
    std::size_t m_line;
};

// The trailing edge (mid-point of the first and last point) must lie to the right of
// the leading edge (the point farthest from it); mirrored files put it at x = -1.
void checkDirection(const std::vector<AirfoilCoordinates::Point>& points, const std::string& file) {
    if (points.size() < 3) return;
    const double teX = (points.front().x + points.back().x) / 2;
    const double teY = (points.front().y + points.back().y) / 2;
    double farthest = -1.0;
    double leX = teX;
    for (const auto& p : points) {
        const double d = std::hypot(p.x - teX, p.y - teY);
        if (d > farthest) {
            farthest = d;
            leX = p.x;
        }
    }
    if (leX > teX) {
        throw bemt::Error(
            "The coordinates in " + file + " are mirrored: the trailing edge lies at x = " + number(teX) +
            ", left of the leading edge at x = " + number(leX) +
            ". Give them with the trailing edge on the right (x = 1 at the trailing edge, 0 at the leading edge).");
    }
}

}  // namespace

AirfoilCoordinates AirfoilCoordinates::read(std::istream& text, const std::string& file) {
    std::vector<Point> points;
    bool titleAllowed = true;
    std::string line;
    for (std::size_t number = 1; std::getline(text, line); ++number) {
        std::string_view content(line);
        if (number == 1 && content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
        if (tokens(content).empty()) continue;
        const LineReader reader(file, number);
        // The first line that holds anything may be the airfoil's name.
        const bool title = titleAllowed && !startsWithTwoNumbers(content);
        titleAllowed = false;
        if (!title) points.push_back(reader.point(content));
    }
    if (text.bad()) throw bemt::Error("The file " + file + " could not be read to its end.");
    if (points.empty()) throw bemt::Error("The file " + file + " holds no airfoil coordinates (lines of x and y).");
    checkDirection(points, file);
    return AirfoilCoordinates(std::move(points), file);
}

}  // namespace bemt
