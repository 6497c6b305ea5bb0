#pragma once
// Airfoil coordinate files (Selig order: from the trailing edge over the upper surface
// to the leading edge and back along the lower surface): an optional title line, then
// one point per line, x and y separated by white space (anything after them is
// ignored). Blank lines are skipped. A line that is not a pair of finite numbers, a
// file without points and mirrored coordinates are refused with the file (and line)
// named, before any analysis starts.

#include <istream>
#include <string>
#include <vector>

namespace bemt {

class AirfoilCoordinates {
public:
    struct Point {
        double x = 0.0;
        double y = 0.0;
    };

    // Reads and checks the coordinates; file names them in the messages (thrown as
    // std::string).
    static AirfoilCoordinates read(std::istream& text, const std::string& file);

    const std::vector<Point>& points() const { return m_points; }
    const std::string& file() const { return m_file; }

private:
    AirfoilCoordinates(std::vector<Point> points, std::string file)
        : m_points(std::move(points)), m_file(std::move(file)) {}

    std::vector<Point> m_points;
    std::string m_file;
};

}  // namespace bemt
