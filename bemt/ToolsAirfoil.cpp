#include "bemt/ToolsAirfoil.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

#include "bemt/AirfoilCoordinates.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/HelperXfoil.h"
#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsAeroDyn.h"
#include "bemt/ProfileParamsCSV.h"
#include "bemt/ProfileParamsCombined.h"
#include "bemt/ProfileParamsNACA.h"
#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ProfileParamsXfoilPolar.h"
#include "bemt/ViternaExtension.h"

namespace bemt {

namespace {

// The Reynolds range guessed for a "Coordinates" point spans a factor of ten in wind
// velocity and tip speed ratio around the design conditions.
constexpr double kSqrt10 = 3.1622776601683795;
// Auxiliary values of the low and high polar of a user-given Reynolds range.
constexpr double kAuxiliaryLo = 0.1;
constexpr double kAuxiliaryHi = 0.3;

NACAairfoil nacaOf(AirfoilType type) {
    switch (type) {
        case NACA0012: return NACA_0012;
        case NACA0015: return NACA_0015;
        case NACA0018: return NACA_0018;
        case NACA0021: return NACA_0021;
        default: return NACA_0025;
    }
}

bool isNaca(AirfoilType type) { return !readsDataFile(type); }

PolarExtension extensionOf(const AirfoilPoint& point) {
    return point.extension == ExtensionViterna ? PolarExtension::Viterna : PolarExtension::Naca;
}

// The cdMax of a point; points whose value was not completed from the blade (see
// withBladeDefaults) get the value of the longest blades.
double cdMaxOf(const AirfoilPoint& point) {
    return point.cd_max > 0.0 ? point.cd_max : ViternaExtension::defaultCdMax(1e9);
}

// Sets the point's extension; a Viterna extension is built at once, so that one that
// cannot be applied is reported with the file before anything is computed.
template <typename Polar>
void extend(Polar& polar, const AirfoilPoint& point) {
    try {
        polar.setExtension(extensionOf(point), cdMaxOf(point));
        if constexpr (!std::is_same_v<Polar, ProfileParamsAeroDyn>) {
            if (point.extension == ExtensionViterna) polar.setSplines();
        }
    } catch (const bemt::Error& error) {
        throw bemt::Error(point.path + ": " + error.message());
    }
}

std::string reynoldsText(double re) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", re);
    return text;
}

bool isSplineMessage(const std::string& message) {
    return message == spline::kSizeMismatch || message == spline::kTooFewPoints || message == spline::kNotOrdered;
}

// One XFOIL polar to compute, with its coordinates already opened.
struct XfoilJob {
    std::string path;
    std::optional<AirfoilCoordinates> coords;
    std::shared_ptr<ProfileParamsXfoil> polar;
    double reynolds = 0.0;
    double auxiliary = 0.0;
    const AirfoilPoint* point = nullptr;
    std::string error;               // why the analysis stopped early, if it did
    std::atomic<int> percent{0};     // sweep progress, read by every worker's report
};

// Runs the XFOIL jobs on one thread each and reports their combined progress. At most
// two sweeps per core run at a time: enough to keep every core busy while sweeps of
// unequal length finish, few enough that a long list of airfoils does not slow each
// XFOIL so much that healthy analyses run into the time limits. Every thread is joined
// before run() returns. Nothing polls on a timer: a job waiting for a sweep slot sleeps
// until a slot is released or a running sweep sees the abort (the channel checks for it
// while it waits on XFOIL, so stopping takes a fraction of a second).
class XfoilPreprocessing {
public:
    XfoilPreprocessing(std::vector<std::unique_ptr<XfoilJob>>& jobs, std::function<void(int, std::string)> progress,
                       std::atomic<bool>* abortRequest, XfoilCommunicator::Settings channel)
        : m_jobs(jobs), m_progress(std::move(progress)), m_abortRequest(abortRequest), m_channel(std::move(channel)),
          m_freeSlots(std::max(2, 2 * static_cast<int>(std::thread::hardware_concurrency()))) {
        m_interrupted = std::move(m_channel.interrupted);
        m_channel.interrupted = [this] { return aborted(); };
    }

    // True when the run was aborted.
    bool run() {
        {
            std::vector<std::jthread> workers;
            workers.reserve(m_jobs.size());
            for (auto& job : m_jobs) workers.emplace_back([this, &job] { work(*job); });
        }  // joined here, in start order
        // Asked again: a Ctrl-C that also ended an adapter may be seen only after the last
        // worker gave up on that adapter's silence, and is then the reason, not a failure.
        return aborted();
    }

private:
    // Takes over the caller's abort request (and the caller's own interruption test), so
    // that one request stops every worker.
    bool aborted() {
        if (m_aborted.load()) return true;
        const bool requested = m_abortRequest && m_abortRequest->exchange(false);
        if (requested || (m_interrupted && m_interrupted())) markAborted();
        return m_aborted.load();
    }

    void markAborted() {
        {
            // Under the lock, so that a job about to wait for a slot cannot miss the news.
            const std::lock_guard<std::mutex> lock(m_slotMutex);
            m_aborted.store(true);
        }
        m_slotChanged.notify_all();
    }

    // Waits for a sweep slot; false when the run was aborted meanwhile.
    bool acquireSlot() {
        std::unique_lock<std::mutex> lock(m_slotMutex);
        m_slotChanged.wait(lock, [this] { return m_freeSlots > 0 || m_aborted.load(); });
        if (m_aborted.load()) return false;
        --m_freeSlots;
        return true;
    }

    void releaseSlot() {
        {
            const std::lock_guard<std::mutex> lock(m_slotMutex);
            ++m_freeSlots;
        }
        m_slotChanged.notify_one();
    }

    void report() {
        int sum = 0;
        for (const auto& job : m_jobs) sum += job->percent.load();
        const int percent = sum / static_cast<int>(m_jobs.size());
        const std::string text = "Processing airfoils (" + std::to_string(m_finished.load()) + "/" +
                                 std::to_string(m_started.load()) + ").";
        try {
            if (m_progress) m_progress(percent, text);
        } catch (...) {
            // A progress callback that throws asks for the run to stop.
            markAborted();
        }
    }

    void work(XfoilJob& job) {
        if (aborted() || !acquireSlot()) return finish(job, false);
        ++m_started;
        if (!aborted()) {
            report();
            auto step = [this, &job](int percent) {
                job.percent.store(percent);
                if (aborted()) throw bemt::Aborted(ToolsAirfoil::kAborted);
                report();
            };
            try {
                job.polar->setupData(*job.coords, job.reynolds, job.auxiliary, job.point->a_min, job.point->a_max,
                                     job.point->a_step, job.point->max_passes, job.point->ncrit, step, m_channel);
            } catch (const std::exception& e) {
                job.error = e.what();
            } catch (...) {
                job.error = "Unknown failure.";
            }
        }
        finish(job, true);
    }

    // started: the job held a sweep slot (it was not aborted while waiting for one).
    void finish(XfoilJob& job, bool started) {
        job.coords.reset();
        job.percent.store(100);
        if (started) {
            releaseSlot();
            ++m_finished;
        }
        aborted();
        report();
    }

    std::vector<std::unique_ptr<XfoilJob>>& m_jobs;
    std::function<void(int, std::string)> m_progress;
    std::atomic<bool>* m_abortRequest;
    XfoilCommunicator::Settings m_channel;
    std::function<bool()> m_interrupted;
    std::mutex m_slotMutex;
    std::condition_variable m_slotChanged;
    int m_freeSlots;
    std::atomic<bool> m_aborted{false};
    std::atomic<int> m_started{0};
    std::atomic<int> m_finished{0};
};

void checkPoints(const std::vector<AirfoilPoint>& points, const OperatingConditions& conditions) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const AirfoilPoint& point = points[i];
        if (!(point.x_rel >= 0.0 && point.x_rel <= 1.0) || (i > 0 && !(point.x_rel > points[i - 1].x_rel))) {
            throw bemt::Error(ToolsAirfoil::kNotOrdered);
        }
        if (point.data_type != Coordinates || (i > 0 && point.repeat)) continue;
        const std::string where = " Airfoil point " + std::to_string(i + 1) + " (" + point.path + "): ";
        if (const auto refusal = ProfileParamsXfoil::polarRefusal(point.a_min, point.a_max, point.a_step))
            throw bemt::Error(ProfileParamsXfoil::kWrongParameters + where + *refusal);
        const auto re = ToolsAirfoil::xfoilReynolds(point, conditions);
        // Written so that NaN fails every test.
        if (!(re.lo > 0.0 && re.hi > 0.0 && re.lo <= re.hi && std::isfinite(re.hi))) {
            throw bemt::Error(ProfileParamsXfoil::kWrongParameters + where + "The Reynolds numbers " +
                              reynoldsText(re.lo) + " to " + reynoldsText(re.hi) +
                              " must be positive, the first not above the second.");
        }
        if (point.max_passes < 1) {
            throw bemt::Error(ProfileParamsXfoil::kWrongParameters + where + "XFOIL needs at least one pass, not " +
                              std::to_string(point.max_passes) + ".");
        }
    }
}

// A polar read from the point's file by load(polar, stream), with the point's extension.
template <typename Polar, typename Open, typename Load>
std::shared_ptr<Polar> tabulatedPolar(const AirfoilPoint& point, const Open& open, const Load& load) {
    auto stream = open(point.path);
    if (!stream) throw bemt::Error(ProfileParamsCSV::unreadableFileError(point.path));
    auto polar = std::make_shared<Polar>();
    load(*polar, *stream);
    extend(*polar, point);
    return polar;
}

}  // namespace

ToolsAirfoil::XfoilReynolds ToolsAirfoil::xfoilReynolds(const AirfoilPoint& point,
                                                         const OperatingConditions& conditions) {
    if (!point.guess_reynolds) return {point.rey_min, point.rey_max, kAuxiliaryLo, kAuxiliaryHi};
    OperatingConditions slow = conditions;
    slow.V0 /= kSqrt10;
    slow.TSR *= kSqrt10;
    OperatingConditions fast = conditions;
    fast.V0 *= kSqrt10;
    fast.TSR /= kSqrt10;
    return {Common::reynolds(point.x_rel, slow), Common::reynolds(point.x_rel, fast), 0.0, 0.0};
}

std::vector<AirfoilSegment> ToolsAirfoil::segmentsFromPoints(std::vector<AirfoilPoint> points,
                                                             std::function<std::istream*(std::string)> openFile,
                                                             OperatingConditions conditions,
                                                             std::function<void(int, std::string)> progress,
                                                             std::atomic<bool>* abortRequest) {
    return segmentsFromPoints(std::move(points), std::move(openFile), conditions, std::move(progress), abortRequest,
                              XfoilCommunicator::Settings{});
}

std::vector<AirfoilSegment> ToolsAirfoil::segmentsFromPoints(std::vector<AirfoilPoint> points,
                                                             std::function<std::istream*(std::string)> openFile,
                                                             OperatingConditions conditions,
                                                             std::function<void(int, std::string)> progress,
                                                             std::atomic<bool>* abortRequest,
                                                             const XfoilCommunicator::Settings& channel) {
    if (progress) progress(0, "Processing airfoils... ");
    // Nothing starts before every point has passed its checks, so that a refused point
    // never leaves analyses running.
    checkPoints(points, conditions);

    auto open = [&openFile](const std::string& path) {
        return std::unique_ptr<std::istream>(openFile ? openFile(path) : nullptr);
    };

    std::vector<std::shared_ptr<ProfileParams>> polars;
    std::vector<std::unique_ptr<XfoilJob>> jobs;
    polars.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const AirfoilPoint& point = points[i];
        if (i > 0 && point.repeat) {
            const std::shared_ptr<ProfileParams>& previous = polars.back();
            if (previous->isReynoldsCombination()) {
                // Its own blend (a ratio of its own) over the same two analyses.
                polars.push_back(std::make_shared<ProfileParamsCombined>(
                    static_cast<const ProfileParamsCombined&>(*previous)));
            } else if (const auto* table = dynamic_cast<const ProfileParamsAeroDyn*>(previous.get());
                       table != nullptr && table->tables().size() > 1) {
                // Its own Reynolds number at its own position.
                polars.push_back(std::make_shared<ProfileParamsAeroDyn>(*table));
            } else if (previous->isNACAProfile()) {
                polars.push_back(
                    std::make_shared<ProfileParamsNACA>(static_cast<const ProfileParamsNACA&>(*previous).airfoil()));
            } else {
                polars.push_back(previous);
            }
            continue;
        }
        if (isNaca(point.data_type)) {
            polars.push_back(std::make_shared<ProfileParamsNACA>(nacaOf(point.data_type)));
        } else if (point.data_type == CSVData) {
            polars.push_back(tabulatedPolar<ProfileParamsCSV>(point, open, [&point](auto& csv, std::istream& in) {
                csv.loadFile(&in, point.preceeding_line, point.csv_separator, point.path);
            }));
        } else if (point.data_type == AeroDynTable) {
            polars.push_back(tabulatedPolar<ProfileParamsAeroDyn>(
                point, open, [&point](auto& table, std::istream& in) { table.loadFile(in, point.path); }));
        } else if (point.data_type == XfoilPolarFile) {
            polars.push_back(tabulatedPolar<ProfileParamsXfoilPolar>(
                point, open, [&point](auto& polar, std::istream& in) { polar.loadFile(in, point.path); }));
        } else {
            const auto re = xfoilReynolds(point, conditions);
            // Read and checked here, so that a faulty file is reported before anything runs.
            auto stream = open(point.path);
            if (!stream) throw bemt::Error(HelperXfoil::unreadableFileError(point.path));
            const AirfoilCoordinates coordinates = AirfoilCoordinates::read(*stream, point.path);
            auto addJob = [&](double reynolds, double auxiliary) {
                auto job = std::make_unique<XfoilJob>();
                job->path = point.path;
                job->coords = coordinates;
                job->polar = std::make_shared<ProfileParamsXfoil>();
                job->polar->setExtension(extensionOf(point), cdMaxOf(point));
                job->reynolds = reynolds;
                job->auxiliary = auxiliary;
                job->point = &point;
                jobs.push_back(std::move(job));
                return jobs.back()->polar;
            };
            if (re.lo != re.hi) {
                auto low = addJob(re.lo, re.auxiliaryLo);
                auto high = addJob(re.hi, re.auxiliaryHi);
                auto combined = std::make_shared<ProfileParamsCombined>();
                combined->setProfiles(std::shared_ptr<ProfileParams>(low), std::shared_ptr<ProfileParams>(high));
                combined->setReynoldsRange(re.lo, re.hi);
                polars.push_back(combined);
            } else {
                polars.push_back(addJob(re.lo, re.auxiliaryLo));
            }
        }
    }

    if (!jobs.empty()) {
        XfoilPreprocessing preprocessing(jobs, progress, abortRequest, channel);
        if (preprocessing.run()) throw bemt::Aborted(kAborted);
        for (const auto& job : jobs) {
            // A sweep given up (the adapter or XFOIL failed, not the airfoil) is reported
            // with its reason even when some angles converged before.
            const bool gaveUp = !job->error.empty() && !isSplineMessage(job->error);
            if (!gaveUp && job->polar->size() >= 2) continue;
            std::string message = "XFOIL could not analyse " + job->path + " at Reynolds number " +
                                  reynoldsText(job->reynolds) + ": ";
            if (gaveUp) {
                message += job->error;
            } else {
                message += "fewer than two angles of attack converged.";
                if (!job->polar->adapterNote().empty()) message += " " + job->polar->adapterNote();
            }
            throw bemt::Error(message);
        }
    }

    std::vector<AirfoilSegment> segments;
    for (std::size_t i = 1; i < points.size(); ++i) {
        segments.push_back({points[i - 1].x_rel, points[i].x_rel, polars[i - 1], polars[i]});
    }
    if (progress) progress(100, "");
    return segments;
}

double ToolsAirfoil::bladeAspectRatio(const std::vector<ChordPoint>& chord) {
    // R / mean chord = 1 / mean(c/R), the mean taken over the span of the chord points.
    if (chord.size() < 2) return std::numeric_limits<double>::infinity();
    double area = 0.0;
    for (std::size_t i = 1; i < chord.size(); ++i) {
        area += 0.5 * (chord[i].c_rel + chord[i - 1].c_rel) * (chord[i].x_rel - chord[i - 1].x_rel);
    }
    const double mean = area / (chord.back().x_rel - chord.front().x_rel);
    if (!(mean > 0.0) || !std::isfinite(mean)) return std::numeric_limits<double>::infinity();
    return 1.0 / mean;
}

std::vector<AirfoilPoint> ToolsAirfoil::withBladeDefaults(std::vector<AirfoilPoint> points,
                                                          const std::vector<ChordPoint>& chord) {
    const double cdMax = ViternaExtension::defaultCdMax(bladeAspectRatio(chord));
    for (AirfoilPoint& point : points) {
        if (!(point.cd_max > 0.0)) point.cd_max = cdMax;
    }
    return points;
}

AirfoilSegment* ToolsAirfoil::findSegment(double x, std::vector<AirfoilSegment>* segments) {
    auto& list = *segments;
    if (x <= list.front().start) return &list.front();
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i].start <= x && x < list[i].end) return &list[i];
    }
    return &list.back();
}

double ToolsAirfoil::positionInSegment(double x, const AirfoilSegment& segment) {
    return (x - segment.start) / (segment.end - segment.start);
}

void ToolsAirfoil::setupReynolds(std::vector<AirfoilSegment>* segments, const spline* chord,
                                 const OperatingConditions& conditions) {
    for (auto& segment : *segments) {
        if (segment.first->hasReynoldsRange()) {
            segment.first->setReynolds(Common::reynolds(segment.start, (*chord)(segment.start), conditions));
        }
        if (segment.second->hasReynoldsRange()) {
            segment.second->setReynolds(Common::reynolds(segment.end, (*chord)(segment.end), conditions));
        }
    }
}

}  // namespace bemt
