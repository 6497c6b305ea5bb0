#include "app/design_takeover.h"

#include "app/compute_dialogs.h"
#include "app/design_transfer.h"
#include "app/edit_section.h"
#include "app/kvp_project.h"
#include "bemt/Error.h"
#include "results/error_box.h"

DesignTakeover::DesignTakeover(wxWindow* parent, KvpProject& project, const ComputeDialogs& dialogs)
    : m_parent(parent), m_project(project), m_dialogs(dialogs) {}

void DesignTakeover::twist(const std::vector<double>& x, const std::vector<double>& twist) {
    if (!listsAccept()) return;
    try {
        m_project.transferTwist(x, twist);
    } catch (const bemt::Error& error) {
        showError(wxString::FromUTF8(error.message()));
    }
}

std::optional<std::vector<std::pair<double, double>>> DesignTakeover::designPointsInstead(
    const wxString& what, const std::vector<double>& positions, const std::vector<double>& x,
    const std::vector<double>& values, bemt::spline::spline_type kind) {
    const design_transfer::Curve design{x, values};
    const double off = design_transfer::deviation(design_transfer::resampled(design, positions), design, kind);
    if (!(off > kDesignDeviationAllowed)) return std::nullopt;
    const design_transfer::Curve following = design_transfer::followingPoints(design, kind, kDesignPointsTolerance);
    const wxString message = wxString::Format(
        "Taken over at the %zu positions of the project's %s points, the designed %s differs from the design by up to "
        "%s %% of its range. Replace the %s points by %zu points that follow the design within %s %%?",
        positions.size(), what, what, formatNumber(off * 100.0), what, following.x.size(),
        formatNumber(kDesignPointsTolerance * 100.0));
    if (!m_dialogs.replaceByDesignPoints || !m_dialogs.replaceByDesignPoints(m_parent, message)) return std::nullopt;
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < following.x.size(); ++i) points.emplace_back(following.x[i], following.values[i]);
    return points;
}

void DesignTakeover::designedTwist(const std::vector<double>& x, const std::vector<double>& twist) {
    if (!listsAccept()) return;
    try {
        std::vector<double> positions;
        for (const auto& p : m_project.twistPoints()) positions.push_back(p.x_rel);
        if (const auto instead = designPointsInstead("twist", positions, x, twist, bemt::spline::cubic)) {
            std::vector<bemt::TwistPoint> points;
            for (const auto& [position, value] : *instead) points.push_back({position, value});
            m_project.replaceTwistPoints(points);
        } else {
            m_project.transferTwist(x, twist);
        }
    } catch (const bemt::Error& error) {
        showError(wxString::FromUTF8(error.message()));
    }
}

void DesignTakeover::designedChord(const std::vector<double>& x, const std::vector<double>& chord) {
    if (!listsAccept()) return;
    try {
        std::vector<double> positions;
        for (const auto& p : m_project.chordPoints()) positions.push_back(p.x_rel);
        // The computations interpolate the chord points linearly.
        if (const auto instead = designPointsInstead("chord", positions, x, chord, bemt::spline::linear)) {
            std::vector<bemt::ChordPoint> points;
            for (const auto& [position, value] : *instead) points.push_back({position, value});
            m_project.replaceChordPoints(points);
        } else {
            m_project.transferChord(x, chord);
        }
    } catch (const bemt::Error& error) {
        showError(wxString::FromUTF8(error.message()));
    }
}

void DesignTakeover::optimisedBlade(const korvane::ProjectData& optimised) {
    if (!listsAccept()) return;
    m_project.takeOptimisedBlade(optimised);
    if (m_pagesFollow) m_pagesFollow();
}

void DesignTakeover::showError(const wxString& message) const { m_dialogs.error(m_parent, message, kErrorCaption); }
