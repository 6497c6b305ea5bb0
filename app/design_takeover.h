#pragma once
// Takes a result's blade into the project: the twist a result window proposes, the
// twist and chord a design computed, and an optimised blade. A designed distribution goes in at the positions of
// the project's points or, when those cannot carry the design's shape and the user
// agrees, as the design's own points (one undo step either way). Errors reach the user.

#include <wx/string.h>
#include <wx/tracker.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "bemt/spline.h"
#include "project/project_data.h"

struct ComputeDialogs;
class KvpProject;
class wxWindow;

// Trackable: the result windows that call it may outlive it while the program shuts down.
class DesignTakeover : public wxTrackable {
public:
    // Taken over at its points' positions, a design may be off by this fraction of its
    // range before the user is asked; the points offered instead follow it this closely.
    static constexpr double kDesignDeviationAllowed = 0.01;
    static constexpr double kDesignPointsTolerance = 0.005;

    // Questions and errors go to dialogs (kept by the caller), over parent.
    DesignTakeover(wxWindow* parent, KvpProject& project, const ComputeDialogs& dialogs);

    // Asked before the point lists change: false (after saying why) while they hold text
    // that is not in the project, which the new points would drop.
    void setListCheck(std::function<bool()> check) { m_listCheck = std::move(check); }
    // Called after an optimised blade changed the turbine settings or the design point,
    // which the pages showing them take no events for.
    void setPagesFollow(std::function<void()> follow) { m_pagesFollow = std::move(follow); }

    // A twist distribution at the positions of the project's twist points.
    void twist(const std::vector<double>& x, const std::vector<double>& twist);
    void designedTwist(const std::vector<double>& x, const std::vector<double>& twist);
    void designedChord(const std::vector<double>& x, const std::vector<double>& chord);

    // The project with an optimised blade in place of its own (see
    // korvane::optimise::withOptimisedBlade): its points as they are, since the optimiser's
    // control points are the blade, and its tip speed ratio, as one undo step.
    void optimisedBlade(const korvane::ProjectData& optimised);

private:
    // The design's points to use instead of the project's positions, or none.
    std::optional<std::vector<std::pair<double, double>>> designPointsInstead(
        const wxString& what, const std::vector<double>& positions, const std::vector<double>& x,
        const std::vector<double>& values, bemt::spline::spline_type kind);
    void showError(const wxString& message) const;
    bool listsAccept() const { return !m_listCheck || m_listCheck(); }

    wxWindow* m_parent;
    KvpProject& m_project;
    const ComputeDialogs& m_dialogs;
    std::function<bool()> m_listCheck;
    std::function<void()> m_pagesFollow;
};
