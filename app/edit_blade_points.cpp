#include "app/edit_blade_points.h"

#include <wx/button.h>

#include "app/field_rules.h"
#include "app/kvp_project.h"

template <typename Point>
EditBladePoints<Point>::EditBladePoints(wxWindow* parent, KvpProject* project, const wxString& title,
                                        ValueField field)
    : EditSection(parent, title), m_project(project), m_field(std::move(field)) {
    m_scroll = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxTAB_TRAVERSAL);
    m_scroll->SetScrollRate(0, FromDIP(10));
    setContainer(m_scroll);
    sectionSizer()->Add(m_scroll, 1, wxEXPAND | wxALL, FromDIP(2));

    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { saveValues(); });
    m_project->Bind(kvnEVT_UPDATED_RADIUS, &EditBladePoints::remapRange, this);
    m_project->Bind(kvnEVT_UPDATED_HUB_RADIUS, &EditBladePoints::remapRange, this);
}

template <typename Point>
EditBladePoints<Point>::~EditBladePoints() {
    m_project->Unbind(kvnEVT_UPDATED_RADIUS, &EditBladePoints::remapRange, this);
    m_project->Unbind(kvnEVT_UPDATED_HUB_RADIUS, &EditBladePoints::remapRange, this);
}

template <typename Point>
double EditBladePoints<Point>::rotorRadius() const {
    return m_project->operatingConditions().R;
}

template <typename Point>
void EditBladePoints<Point>::update() {
    Freeze();
    // A field with the focus goes with the rows: its successor takes the focus, so that
    // the keys (Ctrl+Y after the Ctrl+Z that rebuilt the list) still reach the window.
    const wxWindow* focus = wxWindow::FindFocus();
    std::vector<wxTextCtrl*>* focusedColumn = nullptr;
    std::size_t focusedRow = 0;
    for (auto* column : {&m_positionCtrls, &m_absolutePositionCtrls, &m_valueCtrls, &m_absoluteValueCtrls})
        for (std::size_t i = 0; i < column->size(); ++i)
            if (focus && (*column)[i] == focus) focusedColumn = column, focusedRow = i;
    m_scroll->DestroyChildren();
    m_positionCtrls.clear();
    m_absolutePositionCtrls.clear();
    m_valueCtrls.clear();
    m_absoluteValueCtrls.clear();
    m_points = projectPoints();
    const bemt::OperatingConditions c = m_project->operatingConditions();
    m_hubFraction = c.Rh / c.R;
    if (m_remapping)
        m_remapBase.remapped(m_points);
    else
        m_remapBase.reset(m_points, m_hubFraction);
    refreshControls();
    TransferDataToWindow();
    fillAbsoluteFields();
    Validate();
    m_scroll->FitInside();
    Layout();
    Thaw();
    if (focusedColumn) {
        wxWindow* successor = focusedRow < focusedColumn->size() ? (*focusedColumn)[focusedRow] : nullptr;
        (successor ? successor : static_cast<wxWindow*>(this))->SetFocus();
    }
}

template <typename Point>
void EditBladePoints<Point>::fillAbsoluteFields() {
    const double radius = rotorRadius();
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        m_absolutePositionCtrls[i]->ChangeValue(formatComputed(m_points[i].x_rel * radius));
        if (m_field.absolute) m_absoluteValueCtrls[i]->ChangeValue(formatComputed(m_points[i].*m_field.member * radius));
    }
}

template <typename Point>
void EditBladePoints<Point>::refreshControls() {
    auto* grid = new wxGridBagSizer();
    int row = 0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        wxTextCtrl* position = setupInput(grid, row, 0, "x/R", "[-]", "Relative postition at the blade.");
        wxTextCtrl* absolute = setupInput(grid, row, 3, "x", "[m]", "Absolute postition at the blade.");
        setupButton(grid, row, 6, "Ins", "Add point after", wxGBSpan(1, 1), wxEXPAND, [this, i] { insertAfter(i); });
        ++row;
        wxTextCtrl* value = setupInput(grid, row, 0, m_field.label, m_field.unit, m_field.tooltip);
        wxTextCtrl* absoluteValue = nullptr;
        if (m_field.absolute) absoluteValue = setupInput(grid, row, 3, m_field.absoluteLabel, "[m]", m_field.absoluteTooltip);
        setupButton(grid, row, 6, "Del", "Remove current point", wxGBSpan(1, 1), wxEXPAND, [this, i] { remove(i); });
        ++row;
        if (i + 1 < m_points.size()) setupDivider(grid, row++, 7);

        // Positions increase along the list; the neighbours' texts are read as they stand.
        position->SetValidator(InputNumberValidator<double>(&m_points[i].x_rel, true, bemt::Limits::position.lowest,
                                                            bemt::Limits::position.highest, [this, i](double x) {
            // A neighbour out of the blade is red by itself; the order waits for its value.
            // Two points out of order mark the one typed last (the later one when neither was).
            const wxTextCtrl* self = m_positionCtrls[i];
            if (i > 0 && !pairPasses(self, m_positionCtrls[i - 1], bemt::Limits::position, self,
                                     [x](double before) { return x > before; }))
                return false;
            return i + 1 >= m_positionCtrls.size() ||
                   pairPasses(self, m_positionCtrls[i + 1], bemt::Limits::position, m_positionCtrls[i + 1],
                              [x](double after) { return x < after; });
        }));
        const auto radius = [this] { return rotorRadius(); };
        absolute->SetValidator(InputNumberValidator<double>(nullptr, false, 0.0, 0.0, scaledFieldCheck(position, radius))
                                   .showing([this, i] {
            return std::optional<double>(m_points[i].x_rel * rotorRadius());
        }));
        value->SetValidator(InputNumberValidator<double>(&(m_points[i].*m_field.member), true, m_field.min, m_field.max,
                                                         [this](double v) { return !m_field.limit || m_field.limit->contains(v); }));
        if (absoluteValue) {
            absoluteValue->SetValidator(
                InputNumberValidator<double>(nullptr, false, 0.0, 0.0, scaledFieldCheck(value, radius)).showing([this, i] {
                return std::optional<double>(m_points[i].*m_field.member * rotorRadius());
            }));
        }

        // Relative and absolute forms rewrite each other (while a field is red, the other
        // shows the stored value: see validateAndTransfer).
        position->Bind(kvnEVT_UPDATED_VALUE, [this, position, absolute](wxCommandEvent& event) {
            double x = 0.0;
            if (readSource(position, x)) writeDerived(absolute, x * rotorRadius());
            event.Skip();
        });
        absolute->Bind(kvnEVT_UPDATED_VALUE, [this, position, absolute](wxCommandEvent& event) {
            double x = 0.0;
            if (readSource(absolute, x)) writeDerived(position, x / rotorRadius());
            event.Skip();
        });
        if (absoluteValue) {
            value->Bind(kvnEVT_UPDATED_VALUE, [this, value, absoluteValue](wxCommandEvent& event) {
                double v = 0.0;
                if (readSource(value, v)) writeDerived(absoluteValue, v * rotorRadius());
                event.Skip();
            });
            absoluteValue->Bind(kvnEVT_UPDATED_VALUE, [this, value, absoluteValue](wxCommandEvent& event) {
                double v = 0.0;
                if (readSource(absoluteValue, v)) writeDerived(value, v / rotorRadius());
                event.Skip();
            });
        }
        const wxString point = wxString::Format("point %zu, ", i + 1);
        nameField(position, point + "x/R");
        nameField(absolute, point + "x");
        nameField(value, point + m_field.label);
        if (absoluteValue) nameField(absoluteValue, point + m_field.absoluteLabel);
        m_positionCtrls.push_back(position);
        m_absolutePositionCtrls.push_back(absolute);
        m_valueCtrls.push_back(value);
        m_absoluteValueCtrls.push_back(absoluteValue);
    }
    m_scroll->SetSizer(grid, true);
}

template <typename Point>
void EditBladePoints<Point>::saveValues() {
    m_remapBase.edited(m_points, m_hubFraction);
    storePoints(m_points);
}

template <typename Point>
void EditBladePoints<Point>::storeAndRebuild(const std::vector<Point>& points) {
    // After the button's own click handling has finished, and after the edits still on
    // their way, which store the list as it was.
    CallAfter([this, points] {
        storePoints(points);
        update();
    });
}

template <typename Point>
void EditBladePoints<Point>::insertAfter(std::size_t i) {
    if (i >= m_points.size() || !acceptsAction(kListRebuildRefused)) return;
    std::vector<Point> points = m_points;
    Point added = points[i];
    if (i + 1 < points.size()) {
        added.x_rel = (points[i].x_rel + points[i + 1].x_rel) / 2.0;
        added.*m_field.member = (points[i].*m_field.member + points[i + 1].*m_field.member) / 2.0;
    }
    points.insert(points.begin() + static_cast<std::ptrdiff_t>(i) + 1, added);
    storeAndRebuild(points);
}

template <typename Point>
void EditBladePoints<Point>::remove(std::size_t i) {
    if (i >= m_points.size() || !acceptsAction(kListRebuildRefused)) return;
    std::vector<Point> points = m_points;
    points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
    storeAndRebuild(points);
}

template <typename Point>
void EditBladePoints<Point>::remapRange(wxEvent& event) {
    const bemt::OperatingConditions c = m_project->operatingConditions();
    // Only a hub that moved since the list was shown moves the points: the radius
    // events of a file being opened or an undo find the list already in place.
    if (c.Rh / c.R == m_hubFraction) {
        fillAbsoluteFields();  // a new rotor radius still changes them
        event.Skip();
        return;
    }
    // From the list as it was before the radii began to change, so that the values a
    // radius field passes through while it is typed do not add up.
    std::vector<Point> points = m_remapBase.points;
    field_rules::remapPositions(points, m_remapBase.hubFraction, c.Rh / c.R);
    showPointsFollowNote(this, !korvane::sameValues(points, m_remapBase.points),
                         c.Rh / c.R == m_remapBase.hubFraction);
    storePoints(points);
    // The fields show the new positions (and absolute values for the new radius), so that
    // the next edit does not write the old ones back.
    m_remapping = true;
    update();
    m_remapping = false;
    event.Skip();
}

template class EditBladePoints<bemt::ChordPoint>;
template class EditBladePoints<bemt::TwistPoint>;
template class EditBladePoints<bemt::PrebendPoint>;
