#include "cli/airfoil_segments.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "app/text_file.h"
#include "bemt/ToolsAirfoil.h"

namespace korvane::cli {

std::vector<bemt::AirfoilSegment> buildAirfoilSegments(const std::vector<bemt::AirfoilPoint>& points,
                                                       const bemt::OperatingConditions& conditions,
                                                       const std::function<void(int, const std::string&)>& progress,
                                                       const std::function<bool()>& interrupted) {
    // Read and decoded exactly as the desktop program does (byte-order marks, UTF-16,
    // Latin-1), so that one project gives one result; the builder deletes the streams.
    auto openFile = [](std::string path) { return korvane::openTextStream(path); };
    std::atomic<bool> abortRequest{false};
    // XFOIL analyses report only between angles: a watcher turns an interruption into the
    // builder's abort request at once, which ends the running analyses.
    std::jthread watcher([&](std::stop_token stop) {
        while (!stop.stop_requested() && !abortRequest) {
            if (interrupted()) abortRequest = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    std::mutex reporting;
    auto report = [&](int percent, std::string text) {
        // Workers report concurrently; the terminal is drawn by one at a time.
        const std::lock_guard<std::mutex> lock(reporting);
        progress(percent, text);
    };
    return bemt::ToolsAirfoil::segmentsFromPoints(points, openFile, conditions, report, &abortRequest);
}

}  // namespace korvane::cli
