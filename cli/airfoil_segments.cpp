#include "cli/airfoil_segments.h"

#include <fstream>
#include <memory>
#include <mutex>

#include "bemt/ToolsAirfoil.h"

namespace korvane::cli {

std::vector<bemt::AirfoilSegment> buildAirfoilSegments(const std::vector<bemt::AirfoilPoint>& points,
                                                       const bemt::OperatingConditions& conditions,
                                                       const std::function<void(int, const std::string&)>& progress,
                                                       const std::function<bool()>& interrupted) {
    // The builder deletes the streams it is given; a file that cannot be opened is
    // answered with none, and the builder names it in its message.
    auto openFile = [](std::string path) -> std::istream* {
        auto stream = std::make_unique<std::ifstream>(path, std::ios::binary);
        return stream->is_open() ? stream.release() : nullptr;
    };
    std::mutex reporting;
    auto report = [&](int percent, std::string text) {
        // Workers report concurrently; the terminal is drawn by one at a time.
        const std::lock_guard<std::mutex> lock(reporting);
        progress(percent, text);
    };
    // The XFOIL channels test the interruption while they wait on XFOIL, so Ctrl-C ends
    // the running analyses at once, and nothing waits on a timer when none runs.
    bemt::XfoilCommunicator::Settings channel;
    channel.interrupted = interrupted;
    return bemt::ToolsAirfoil::segmentsFromPoints(points, openFile, conditions, report, nullptr, channel);
}

}  // namespace korvane::cli
