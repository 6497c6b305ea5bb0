#include "cli/airfoil_segments.h"

#include <memory>
#include <mutex>

#include "project/text_file.h"
#include "bemt/ToolsAirfoil.h"

namespace korvane::cli {

std::vector<bemt::AirfoilSegment> buildAirfoilSegments(const std::vector<bemt::AirfoilPoint>& points,
                                                       const bemt::OperatingConditions& conditions,
                                                       const std::function<void(int, const std::string&)>& progress,
                                                       const std::function<bool()>& interrupted) {
    // Read and decoded exactly as the desktop program does (byte-order marks, UTF-16,
    // Latin-1), so that one project gives one result; the builder deletes the streams.
    auto openFile = [](std::string path) { return korvane::openTextStream(path); };
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
