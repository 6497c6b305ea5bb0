#pragma once
// The one project the program edits: operating conditions, solver and compute settings,
// airfoil, chord and twist points, and the path of its file. Setters store a value only
// when it differs from the stored one and then queue change events on the project
// itself; a kvnProjectEvent carries a snapshot of the whole state for the undo history.
// Needs wxBase only.

#include <wx/event.h>
#include <wx/string.h>

#include <string>
#include <vector>

#include "project/project_data.h"
#include "bemt/Records.h"

class FileManager;

// A snapshot of the whole project after a change.
class kvnProjectEvent : public wxEvent {
public:
    kvnProjectEvent(wxEventType type, const bemt::OperatingConditions& conditions,
                    const bemt::SolverSettings& solverSettings, const bemt::ComputeSettings& computeSettings,
                    const std::vector<bemt::AirfoilPoint>& airfoilPoints,
                    const std::vector<bemt::ChordPoint>& chordPoints,
                    const std::vector<bemt::TwistPoint>& twistPoints);
    kvnProjectEvent(wxEventType type, const korvane::ProjectData& state);
    kvnProjectEvent(const kvnProjectEvent& other) = default;

    wxEvent* Clone() const override { return new kvnProjectEvent(*this); }

    const korvane::ProjectData& state() const { return m_state; }
    const bemt::OperatingConditions& operatingConditions() const { return m_state.conditions; }
    const bemt::SolverSettings& solverSettings() const { return m_state.solverSettings; }
    const bemt::ComputeSettings& computeSettings() const { return m_state.computeSettings; }
    const std::vector<bemt::AirfoilPoint>& airfoilPoints() const { return m_state.airfoilPoints; }
    const std::vector<bemt::ChordPoint>& chordPoints() const { return m_state.chordPoints; }
    const std::vector<bemt::TwistPoint>& twistPoints() const { return m_state.twistPoints; }

private:
    korvane::ProjectData m_state;
};

// A change of one part of the project, with no payload (read the project's getters).
// wxBase has no command events, so this plain event stands in for one; handlers may take
// it or wxEvent&.
class kvnChangeEvent : public wxEvent {
public:
    explicit kvnChangeEvent(wxEventType type, int id = 0) : wxEvent(id, type) {}
    wxEvent* Clone() const override { return new kvnChangeEvent(*this); }
};

// A designed or optimised twist distribution: positions x/R and twist in degrees.
// Result windows post it straight to the handler that transfers it (it does not travel
// up the window tree like a command event).
class kvnTwistEvent : public wxEvent {
public:
    kvnTwistEvent(wxEventType type, std::vector<double> x, std::vector<double> twist, int id = 0);
    kvnTwistEvent(const kvnTwistEvent& other) = default;
    wxEvent* Clone() const override { return new kvnTwistEvent(*this); }

    const std::vector<double>& x() const { return m_x; }
    const std::vector<double>& twist() const { return m_twist; }

private:
    std::vector<double> m_x;
    std::vector<double> m_twist;
};

// A designed chord distribution: positions x/R and relative chord c/R.
class kvnChordEvent : public wxEvent {
public:
    kvnChordEvent(wxEventType type, std::vector<double> x, std::vector<double> chord, int id = 0);
    kvnChordEvent(const kvnChordEvent& other) = default;
    wxEvent* Clone() const override { return new kvnChordEvent(*this); }

    const std::vector<double>& x() const { return m_x; }
    const std::vector<double>& chord() const { return m_chord; }

private:
    std::vector<double> m_x;
    std::vector<double> m_chord;
};

// Posted by the project on itself.
wxDECLARE_EVENT(kvnEVT_PROJECT_UNSAVED, kvnProjectEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_RADIUS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_HUB_RADIUS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_REYNOLDS_CONDITIONS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_AIRFOIL_POINTS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_CHORD_POINTS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_TWIST_POINTS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_TRANSFERED_TWIST_POINTS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_TRANSFERED_CHORD_POINTS, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_TURBINE, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_STALL_DELAY, kvnChangeEvent);
wxDECLARE_EVENT(kvnEVT_UPDATED_PREBEND_POINTS, kvnChangeEvent);
// Posted by the result windows to hand a distribution to the project.
wxDECLARE_EVENT(kvnEVT_TRANSFER_DESIGNED_TWIST, kvnTwistEvent);
wxDECLARE_EVENT(kvnEVT_TRANSFER_DESIGNED_CHORD, kvnChordEvent);
wxDECLARE_EVENT(kvnEVT_OPTIMIZE_TWIST, kvnTwistEvent);

class KvpProject : public wxEvtHandler {
public:
    // Starts with the record defaults (not the new-project values); posts nothing.
    // fileManager is not owned and must outlive the project.
    explicit KvpProject(FileManager* fileManager);

    FileManager* fileManager() const { return m_fileManager; }
    bemt::OperatingConditions operatingConditions() const { return m_state.conditions; }
    bemt::SolverSettings solverSettings() const { return m_state.solverSettings; }
    bemt::ComputeSettings computeSettings() const { return m_state.computeSettings; }
    std::vector<bemt::AirfoilPoint> airfoilPoints() const { return m_state.airfoilPoints; }
    std::vector<bemt::ChordPoint> chordPoints() const { return m_state.chordPoints; }
    std::vector<bemt::TwistPoint> twistPoints() const { return m_state.twistPoints; }
    korvane::ProjectData state() const { return m_state; }
    // The turbine settings that apply: the project's own or the defaults for its rotor.
    bemt::TurbineSettings turbineSettings() const { return korvane::turbineSettings(m_state); }
    std::optional<bemt::StallDelaySettings> stallDelay() const { return m_state.stall_delay; }
    bemt::RotorGeometry rotor() const { return m_state.rotor; }
    std::vector<bemt::PrebendPoint> prebendPoints() const { return m_state.prebendPoints; }

    // The full path of the project file; empty for a project never saved or opened.
    wxString filePath() const { return m_filePath; }
    // The file name with extension, or "New project".
    wxString projectFilename() const;

    // Each setter stores a differing value, queues its specific events and, with
    // saveState, a kvnEVT_PROJECT_UNSAVED snapshot. An equal value posts nothing.
    void setOeratingConditions(bemt::OperatingConditions conditions, bool saveState);
    void setSolverSettings(bemt::SolverSettings settings, bool saveState);
    void setComputeSettings(bemt::ComputeSettings settings, bool saveState);
    void setAirfoilPoints(std::vector<bemt::AirfoilPoint> points, bool saveState);
    void setChordPoints(std::vector<bemt::ChordPoint> points, bool saveState);
    void setTwistPoints(std::vector<bemt::TwistPoint> points, bool saveState);
    // Empty: the defaults for the rotor. Posts kvnEVT_UPDATED_TURBINE.
    void setTurbineSettings(std::optional<bemt::TurbineSettings> settings, bool saveState);
    // Empty: the polars stay 2D. Posts kvnEVT_UPDATED_STALL_DELAY.
    void setStallDelay(std::optional<bemt::StallDelaySettings> settings, bool saveState);
    // Cone, tilt, yaw, shear and sectors; the record's defaults: the plain rotor.
    void setRotor(bemt::RotorGeometry rotor, bool saveState);
    // Empty: a straight blade. Posts kvnEVT_UPDATED_PREBEND_POINTS.
    void setPrebendPoints(std::vector<bemt::PrebendPoint> points, bool saveState);

    // Resample a designed distribution (natural cubic spline through x, values) at the
    // positions of the stored points; the positions never change. A change posts the
    // updated and transferred events and a snapshot. Spline errors are thrown.
    void transferTwist(std::vector<double> x, std::vector<double> twist);
    void transferChord(std::vector<double> x, std::vector<double> chord);

    // Replace the points by a designed distribution's own points (positions and values),
    // as one change: the updated and transferred events and one snapshot.
    void replaceTwistPoints(std::vector<bemt::TwistPoint> points);
    void replaceChordPoints(std::vector<bemt::ChordPoint> points);

    // The settings of the blade optimisation; empty: none stated. Posts no event of its own.
    void setOptimisation(std::optional<korvane::OptimisationSettings> settings, bool saveState);
    // Takes the blade of optimised (its chord and twist points, and the turbine settings
    // and design point, which hold a varied tip speed ratio) as one change: the updated
    // and transferred events of the point lists, the turbine's and the conditions', and
    // one snapshot.
    void takeOptimisedBlade(const korvane::ProjectData& optimised);

    // Puts a snapshot back: the specific events of the parts that differ, no snapshot.
    void restoreState(const kvnProjectEvent& snapshot);

    // The new-project values; one snapshot (from the twist points) at most. Empties the
    // file path.
    void newProject();

    // The .kvp document of the current state for a file at projectPath.
    std::string jsonString(const wxString& projectPath) const;
    // Reads a whole document and applies it without snapshots; a bad document throws
    // its message and leaves the project exactly as it was. With outOfLimits, values
    // outside their limits are kept and named there (see korvane::kvp::read).
    void fromJsonString(const std::string& document, const wxString& projectPath,
                        std::vector<std::string>* outOfLimits = nullptr);

    // Takes over an imported project (from another program's files) like a new one:
    // every part, a snapshot, and no file path, so that saving asks for a name.
    void importProject(const korvane::ProjectData& data);

    // Writes the project to its file (as saveAs without one). False when cancelled.
    bool save();
    // Asks for a file name, writes the project there and makes it the project's file.
    // False when cancelled; a failed write throws and keeps the old path.
    bool saveAs();
    // Reads the project at path, or at a path chosen in the open dialog when path is
    // empty. False when cancelled; a failure throws and leaves the project unchanged.
    // Values outside their limits are kept; outOfLimits() names them.
    bool open(const wxString& path);
    // The values outside their limits that the last opened file holds.
    const std::vector<std::string>& outOfLimits() const { return m_outOfLimits; }

private:
    // Every part through its setter (one snapshot, from the twist points, with
    // saveState) the notes and the optimisation settings.
    void apply(const korvane::ProjectData& data, bool saveState);
    void post(wxEventType type);
    void postSnapshot();
    template <typename Point, typename Field>
    std::vector<Point> resampled(const std::vector<Point>& points, Field field, const std::vector<double>& x,
                                 const std::vector<double>& values) const;
    // Stores transferred points: their updated and transferred events and a snapshot.
    template <typename Point>
    void storeTransferred(std::vector<Point>& stored, std::vector<Point> points, wxEventType updated,
                          wxEventType transferred);
    FileManager& files() const;

    FileManager* m_fileManager;
    korvane::ProjectData m_state;
    wxString m_filePath;
    std::vector<std::string> m_outOfLimits;
};
