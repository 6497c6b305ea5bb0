#include "app/kvp_project.h"

#include <wx/filename.h>

#include "app/design_transfer.h"
#include "app/file_manager.h"
#include "bemt/Error.h"
#include "project/kvp_codec.h"

using namespace bemt;
using korvane::sameValues;

wxDEFINE_EVENT(kvnEVT_PROJECT_UNSAVED, kvnProjectEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_RADIUS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_HUB_RADIUS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_REYNOLDS_CONDITIONS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_AIRFOIL_POINTS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_CHORD_POINTS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_TWIST_POINTS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_TRANSFERED_TWIST_POINTS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_TRANSFERED_CHORD_POINTS, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_TRANSFER_DESIGNED_TWIST, kvnTwistEvent);
wxDEFINE_EVENT(kvnEVT_TRANSFER_DESIGNED_CHORD, kvnChordEvent);
wxDEFINE_EVENT(kvnEVT_OPTIMIZE_TWIST, kvnTwistEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_TURBINE, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_STALL_DELAY, kvnChangeEvent);
wxDEFINE_EVENT(kvnEVT_UPDATED_PREBEND_POINTS, kvnChangeEvent);

kvnProjectEvent::kvnProjectEvent(wxEventType type, const OperatingConditions& conditions,
                                 const SolverSettings& solverSettings, const ComputeSettings& computeSettings,
                                 const std::vector<AirfoilPoint>& airfoilPoints,
                                 const std::vector<ChordPoint>& chordPoints,
                                 const std::vector<TwistPoint>& twistPoints)
    : kvnProjectEvent(type, korvane::ProjectData{conditions, solverSettings, computeSettings, airfoilPoints,
                                                  chordPoints, twistPoints, std::nullopt, {}, std::nullopt, {}, {},
                                                  std::nullopt}) {}

kvnProjectEvent::kvnProjectEvent(wxEventType type, const korvane::ProjectData& state)
    : wxEvent(0, type), m_state(state) {}

kvnTwistEvent::kvnTwistEvent(wxEventType type, std::vector<double> x, std::vector<double> twist, int id)
    : wxEvent(id, type), m_x(std::move(x)), m_twist(std::move(twist)) {}

kvnChordEvent::kvnChordEvent(wxEventType type, std::vector<double> x, std::vector<double> chord, int id)
    : wxEvent(id, type), m_x(std::move(x)), m_chord(std::move(chord)) {}

KvpProject::KvpProject(FileManager* fileManager) : m_fileManager(fileManager) {}

wxString KvpProject::projectFilename() const {
    if (m_filePath.empty()) return "New project";
    return wxFileName(m_filePath).GetFullName();
}

void KvpProject::post(wxEventType type) { QueueEvent(new kvnChangeEvent(type)); }

void KvpProject::postSnapshot() { QueueEvent(new kvnProjectEvent(kvnEVT_PROJECT_UNSAVED, m_state)); }

void KvpProject::setOeratingConditions(OperatingConditions conditions, bool saveState) {
    const OperatingConditions old = m_state.conditions;
    if (sameValues(old, conditions)) return;
    m_state.conditions = conditions;
    const bool radius = old.R != conditions.R;
    if (radius) post(kvnEVT_UPDATED_RADIUS);
    if (old.Rh != conditions.Rh) post(kvnEVT_UPDATED_HUB_RADIUS);
    // The Reynolds numbers along the blade follow R, V0, TSR, rho and mu.
    if (radius || old.V0 != conditions.V0 || old.TSR != conditions.TSR || old.rho != conditions.rho
        || old.mu != conditions.mu)
        post(kvnEVT_UPDATED_REYNOLDS_CONDITIONS);
    if (saveState) postSnapshot();
}

void KvpProject::setSolverSettings(SolverSettings settings, bool saveState) {
    if (sameValues(m_state.solverSettings, settings)) return;
    m_state.solverSettings = settings;
    if (saveState) postSnapshot();
}

void KvpProject::setComputeSettings(ComputeSettings settings, bool saveState) {
    if (sameValues(m_state.computeSettings, settings)) return;
    m_state.computeSettings = settings;
    if (saveState) postSnapshot();
}

void KvpProject::setAirfoilPoints(std::vector<AirfoilPoint> points, bool saveState) {
    if (sameValues(m_state.airfoilPoints, points)) return;
    m_state.airfoilPoints = std::move(points);
    post(kvnEVT_UPDATED_AIRFOIL_POINTS);
    if (saveState) postSnapshot();
}

void KvpProject::setChordPoints(std::vector<ChordPoint> points, bool saveState) {
    if (sameValues(m_state.chordPoints, points)) return;
    m_state.chordPoints = std::move(points);
    post(kvnEVT_UPDATED_CHORD_POINTS);
    if (saveState) postSnapshot();
}

void KvpProject::setTwistPoints(std::vector<TwistPoint> points, bool saveState) {
    if (sameValues(m_state.twistPoints, points)) return;
    m_state.twistPoints = std::move(points);
    post(kvnEVT_UPDATED_TWIST_POINTS);
    if (saveState) postSnapshot();
}

void KvpProject::setTurbineSettings(std::optional<TurbineSettings> settings, bool saveState) {
    if (sameValues(m_state.turbine, settings)) return;
    m_state.turbine = std::move(settings);
    post(kvnEVT_UPDATED_TURBINE);
    if (saveState) postSnapshot();
}

void KvpProject::setStallDelay(std::optional<StallDelaySettings> settings, bool saveState) {
    if (sameValues(m_state.stall_delay, settings)) return;
    m_state.stall_delay = std::move(settings);
    post(kvnEVT_UPDATED_STALL_DELAY);
    if (saveState) postSnapshot();
}

void KvpProject::setRotor(RotorGeometry rotor, bool saveState) {
    if (Rotor::sameValues(m_state.rotor, rotor)) return;
    m_state.rotor = rotor;
    if (saveState) postSnapshot();
}

void KvpProject::setPrebendPoints(std::vector<PrebendPoint> points, bool saveState) {
    if (sameValues(m_state.prebendPoints, points)) return;
    m_state.prebendPoints = std::move(points);
    post(kvnEVT_UPDATED_PREBEND_POINTS);
    if (saveState) postSnapshot();
}

void KvpProject::setOptimisation(std::optional<korvane::OptimisationSettings> settings, bool saveState) {
    if (sameValues(m_state.optimisation, settings)) return;
    m_state.optimisation = std::move(settings);
    if (saveState) postSnapshot();
}

void KvpProject::takeOptimisedBlade(const korvane::ProjectData& optimised) {
    const korvane::ProjectData before = m_state;
    setOeratingConditions(optimised.conditions, false);
    setTurbineSettings(optimised.turbine, false);
    setChordPoints(optimised.chordPoints, false);
    setTwistPoints(optimised.twistPoints, false);
    if (!sameValues(before.chordPoints, m_state.chordPoints)) post(kvnEVT_TRANSFERED_CHORD_POINTS);
    if (!sameValues(before.twistPoints, m_state.twistPoints)) post(kvnEVT_TRANSFERED_TWIST_POINTS);
    if (!sameValues(before, m_state)) postSnapshot();
}

template <typename Point, typename Field>
std::vector<Point> KvpProject::resampled(const std::vector<Point>& points, Field field, const std::vector<double>& x,
                                         const std::vector<double>& values) const {
    std::vector<double> positions;
    for (const Point& p : points) positions.push_back(p.x_rel);
    const auto designed = design_transfer::resampled({x, values}, positions);
    std::vector<Point> result = points;
    for (std::size_t i = 0; i < result.size(); ++i) result[i].*field = designed.values[i];
    return result;
}

template <typename Point>
void KvpProject::storeTransferred(std::vector<Point>& stored, std::vector<Point> points, wxEventType updated,
                                  wxEventType transferred) {
    if (sameValues(points, stored)) return;
    stored = std::move(points);
    post(updated);
    post(transferred);
    postSnapshot();
}

void KvpProject::transferTwist(std::vector<double> x, std::vector<double> twist) {
    if (m_state.twistPoints.empty()) return;
    storeTransferred(m_state.twistPoints, resampled(m_state.twistPoints, &TwistPoint::twist_deg, x, twist),
                     kvnEVT_UPDATED_TWIST_POINTS, kvnEVT_TRANSFERED_TWIST_POINTS);
}

void KvpProject::transferChord(std::vector<double> x, std::vector<double> chord) {
    if (m_state.chordPoints.empty()) return;
    storeTransferred(m_state.chordPoints, resampled(m_state.chordPoints, &ChordPoint::c_rel, x, chord),
                     kvnEVT_UPDATED_CHORD_POINTS, kvnEVT_TRANSFERED_CHORD_POINTS);
}

void KvpProject::replaceTwistPoints(std::vector<TwistPoint> points) {
    storeTransferred(m_state.twistPoints, std::move(points), kvnEVT_UPDATED_TWIST_POINTS,
                     kvnEVT_TRANSFERED_TWIST_POINTS);
}

void KvpProject::replaceChordPoints(std::vector<ChordPoint> points) {
    storeTransferred(m_state.chordPoints, std::move(points), kvnEVT_UPDATED_CHORD_POINTS,
                     kvnEVT_TRANSFERED_CHORD_POINTS);
}

void KvpProject::restoreState(const kvnProjectEvent& snapshot) {
    setOeratingConditions(snapshot.operatingConditions(), false);
    setSolverSettings(snapshot.solverSettings(), false);
    setComputeSettings(snapshot.computeSettings(), false);
    setAirfoilPoints(snapshot.airfoilPoints(), false);
    setChordPoints(snapshot.chordPoints(), false);
    setTwistPoints(snapshot.twistPoints(), false);
    setTurbineSettings(snapshot.state().turbine, false);
    setStallDelay(snapshot.state().stall_delay, false);
    setRotor(snapshot.state().rotor, false);
    setPrebendPoints(snapshot.state().prebendPoints, false);
    setOptimisation(snapshot.state().optimisation, false);
}

void KvpProject::newProject() {
    setOeratingConditions(korvane::newProjectConditions(), false);
    setSolverSettings(korvane::newProjectSolverSettings(), false);
    setComputeSettings(korvane::newProjectComputeSettings(), false);
    setAirfoilPoints(korvane::newProjectAirfoilPoints(), false);
    setChordPoints(korvane::newProjectChordPoints(), false);
    setTurbineSettings(std::nullopt, false);
    setStallDelay(std::nullopt, false);
    setRotor({}, false);
    setPrebendPoints({}, false);
    setTwistPoints(korvane::newProjectTwistPoints(), true);
    m_state.notes.clear();
    m_state.optimisation.reset();
    m_filePath.clear();
}

void KvpProject::importProject(const korvane::ProjectData& data) {
    apply(data, true);
    m_filePath.clear();
}

void KvpProject::apply(const korvane::ProjectData& data, bool saveState) {
    setOeratingConditions(data.conditions, false);
    setSolverSettings(data.solverSettings, false);
    setComputeSettings(data.computeSettings, false);
    setAirfoilPoints(data.airfoilPoints, false);
    setChordPoints(data.chordPoints, false);
    setTurbineSettings(data.turbine, false);
    setStallDelay(data.stall_delay, false);
    setRotor(data.rotor, false);
    setPrebendPoints(data.prebendPoints, false);
    m_state.notes = data.notes;
    m_state.optimisation = data.optimisation;
    // Last, so that a snapshot it takes holds every part.
    setTwistPoints(data.twistPoints, saveState);
}

std::string KvpProject::jsonString(const wxString& projectPath) const {
    return korvane::kvp::write(m_state, projectPath.utf8_string());
}

void KvpProject::fromJsonString(const std::string& document, const wxString& projectPath,
                                std::vector<std::string>* outOfLimits) {
    // The whole document is read and checked before any part of the project changes.
    apply(korvane::kvp::read(document, projectPath.utf8_string(), outOfLimits), false);
}

FileManager& KvpProject::files() const {
    if (m_fileManager == nullptr) throw bemt::Error("The project has no file manager.");
    return *m_fileManager;
}

bool KvpProject::save() {
    if (m_filePath.empty()) return saveAs();
    files().saveProject(jsonString(m_filePath), m_filePath);
    return true;
}

bool KvpProject::saveAs() {
    const wxString proposed = m_filePath.empty() ? wxString("new_turbine.kvp") : wxFileName(m_filePath).GetFullName();
    wxString chosen = files().saveProjectAsPath(proposed);
    if (chosen.empty()) return false;
    wxFileName absolute(chosen);
    absolute.MakeAbsolute();
    chosen = absolute.GetFullPath();
    files().saveProject(jsonString(chosen), chosen);
    m_filePath = chosen;
    return true;
}

bool KvpProject::open(const wxString& path) {
    wxString chosen = path;
    wxString content;
    if (chosen.empty()) {
        std::tie(chosen, content) = files().loadProjectFile();
        if (chosen.empty()) return false;
    } else {
        content = files().fileString(chosen);
    }
    wxFileName absolute(chosen);
    absolute.MakeAbsolute();
    chosen = absolute.GetFullPath();
    // Values outside the limits of this version are kept, so that nothing is lost: the
    // desktop program shows them in red for the user to correct.
    std::vector<std::string> outOfLimits;
    fromJsonString(content.utf8_string(), chosen, &outOfLimits);
    m_outOfLimits = std::move(outOfLimits);
    m_filePath = chosen;
    files().projectOpened(chosen);
    return true;
}
