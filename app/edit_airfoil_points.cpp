#include "app/edit_airfoil_points.h"

#include <wx/button.h>
#include <wx/filename.h>

#include <algorithm>

#include "app/edit_airfoil_point_single.h"
#include "app/field_rules.h"
#include "app/kvp_project.h"

EditAirfoilPoints::EditAirfoilPoints(wxWindow* parent, KvpProject* project)
    : EditSection(parent, "Airfoil segments"), m_project(project) {
    m_scroll = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxTAB_TRAVERSAL);
    m_scroll->SetScrollRate(0, FromDIP(10));
    setContainer(m_scroll);
    sectionSizer()->Add(m_scroll, 1, wxEXPAND | wxALL, FromDIP(2));

    Bind(kvnEVT_POINT_CHANGED, [this](wxCommandEvent&) { saveValues(); });
    m_project->Bind(kvnEVT_UPDATED_RADIUS, &EditAirfoilPoints::remapRange, this);
    m_project->Bind(kvnEVT_UPDATED_HUB_RADIUS, &EditAirfoilPoints::remapRange, this);
}

EditAirfoilPoints::~EditAirfoilPoints() {
    m_project->Unbind(kvnEVT_UPDATED_RADIUS, &EditAirfoilPoints::remapRange, this);
    m_project->Unbind(kvnEVT_UPDATED_HUB_RADIUS, &EditAirfoilPoints::remapRange, this);
}

void EditAirfoilPoints::update() {
    Freeze();
    m_editors.clear();  // before they go: a layout on the way aligns none of them
    m_scroll->DestroyChildren();
    m_points = m_project->airfoilPoints();
    const bemt::OperatingConditions c = m_project->operatingConditions();
    m_hubFraction = c.Rh / c.R;
    if (m_remapping)
        m_remapBase.remapped(m_points);
    else
        m_remapBase.reset(m_points, m_hubFraction);

    auto* grid = new wxGridBagSizer();
    int row = 0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const bemt::AirfoilPoint* previous = i > 0 ? &m_points[i - 1] : nullptr;
        const bemt::AirfoilPoint* next = i + 1 < m_points.size() ? &m_points[i + 1] : nullptr;
        auto* editor = new EditSingleAirfoilPoint(m_scroll, m_project, m_points[i], previous, next);
        editor->setMessageTitle(wxString::Format("Airfoil segments: point %zu", i + 1));
        grid->Add(editor, wxGBPosition(row, 0), wxGBSpan(2, 1), wxEXPAND);
        // Both buttons at the top of the point's rows.
        setupButton(grid, row++, 1, "Add point after", "", wxGBSpan(1, 1), wxEXPAND, [this, i] { addPointAfter(i); });
        auto* remove = setupButton(grid, row++, 1, "Remove current point", "", wxGBSpan(1, 1), 0,
                                   [this, i] { removePoint(i); });
        grid->GetItem(remove)->SetFlag(wxALIGN_TOP | wxALL);
        if (i + 1 < m_points.size()) setupDivider(grid, row++, 2);
        m_editors.push_back(editor);
    }
    m_scroll->SetSizer(grid, true);
    for (auto* editor : m_editors) editor->update();
    refreshRepeatNotes();
    m_scroll->FitInside();
    Layout();
    Thaw();
}

void EditAirfoilPoints::saveValues() {
    m_remapBase.edited(m_points, m_hubFraction);
    m_project->setAirfoilPoints(m_points, true);
    refreshRepeatNotes();
}

bool EditAirfoilPoints::Layout() {
    std::vector<int> widths;
    for (auto* editor : m_editors) {
        const std::vector<int> own = editor->columnWidths();
        if (widths.size() < own.size()) widths.resize(own.size(), 0);
        for (std::size_t col = 0; col < own.size(); ++col) widths[col] = std::max(widths[col], own[col]);
    }
    for (auto* editor : m_editors) editor->keepColumnWidths(widths);
    return EditSection::Layout();
}

void EditAirfoilPoints::refreshRepeatNotes() {
    for (std::size_t i = 0; i < m_editors.size(); ++i) {
        wxString note;
        if (m_points[i].repeat) {
            // A repeating point takes over what the point it repeats uses, itself perhaps repeated.
            std::size_t source = i;
            while (source > 0 && m_points[source].repeat) --source;
            const bemt::AirfoilPoint& used = m_points[source];
            if (source == i) {
                note = "Nothing to repeat: the first point uses its own data.";
            } else {
                note = wxString::Format("Repeats point %zu: ", source + 1) + EditSingleAirfoilPoint::typeName(used.data_type);
                if (bemt::readsDataFile(used.data_type) && !used.path.empty())
                    note += " (" + wxFileName(wxString::FromUTF8(used.path)).GetFullName() + ")";
            }
        }
        m_editors[i]->setRepeatNote(note);
    }
}

void EditAirfoilPoints::storeAndRebuild(const std::vector<bemt::AirfoilPoint>& points) {
    // After the edits still on their way, which store the list as it was.
    CallAfter([this, points] {
        m_project->setAirfoilPoints(points, true);
        update();
    });
}

void EditAirfoilPoints::addPointAfter(std::size_t i) {
    if (i >= m_points.size() || !acceptsAction(kListRebuildRefused)) return;
    std::vector<bemt::AirfoilPoint> points = m_points;
    bemt::AirfoilPoint added = points[i];
    added.x_rel = i + 1 < points.size() ? (points[i].x_rel + points[i + 1].x_rel) * 0.5 : points.back().x_rel;
    points.insert(points.begin() + static_cast<std::ptrdiff_t>(i) + 1, added);
    storeAndRebuild(points);
}

void EditAirfoilPoints::removePoint(std::size_t i) {
    if (i >= m_points.size() || !acceptsAction(kListRebuildRefused)) return;
    std::vector<bemt::AirfoilPoint> points = m_points;
    points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
    storeAndRebuild(points);
}

void EditAirfoilPoints::remapRange(wxEvent& event) {
    const bemt::OperatingConditions c = m_project->operatingConditions();
    // Only a hub that moved since the list was shown moves the points: the radius
    // events of a file being opened or an undo find the list already in place.
    if (c.Rh / c.R == m_hubFraction) {
        for (auto* editor : m_editors) editor->update();  // the absolute positions follow the radius
        event.Skip();
        return;
    }
    // From the list as it was before the radii began to change (see EditBladePoints).
    std::vector<bemt::AirfoilPoint> points = m_remapBase.points;
    field_rules::remapPositions(points, m_remapBase.hubFraction, c.Rh / c.R);
    showPointsFollowNote(this, !korvane::sameValues(points, m_remapBase.points),
                         c.Rh / c.R == m_remapBase.hubFraction);
    m_project->setAirfoilPoints(points, true);
    // Show the new positions, so that the next edit does not write the old ones back.
    m_remapping = true;
    update();
    m_remapping = false;
    event.Skip();
}

EditArifoils::EditArifoils(wxWindow* parent, KvpProject* project) : EditSection(parent) {
    m_points = new EditAirfoilPoints(this, project);
    sectionSizer()->Add(m_points, 1, wxEXPAND | wxALL, FromDIP(4));
}

void EditArifoils::update() { m_points->update(); }
