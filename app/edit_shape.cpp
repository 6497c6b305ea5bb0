#include "app/edit_shape.h"

#include "app/edit_chord_points.h"
#include "app/edit_prebend_points.h"
#include "app/kvp_project.h"
#include "app/edit_twist_points.h"
#include "results/window_shape.h"
#include "results/window_twist.h"
#include "results/result_window_frame.h"

namespace {

template <typename Window>
void bringToFront(Window* window) {
    window->update();
    showResultWindow(window);
}

}  // namespace

EditShape::EditShape(wxWindow* parent, KvpProject* project) : EditSection(parent, "Options"), m_project(project) {
    auto* grid = new wxGridBagSizer();
    setupButton(grid, 0, 0, "Display shape", "Opens a new window with the shape plot.", wxGBSpan(1, 1), 0,
                [this] { displayShapeWindow(); });
    setupButton(grid, 0, 1, "Display blade twist", "Opens a new window with the twist distribution plot.",
                wxGBSpan(1, 1), 0, [this] { displayTwistWindow(); });
    m_prebendBox = setupCheckbox(grid, 0, 2, "Prebent blade",
                                 "Shows the prebend of the blade for editing, starting straight; cleared, the blade is "
                                 "straight again.",
                                 wxGBSpan(1, 1));
    m_prebendBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        event.Skip();
        // After the click's own handling, and after the edits still on their way.
        CallAfter([this, prebent = event.IsChecked()] { onPrebendBox(prebent); });
    });
    sectionSizer()->Add(grid, 0, wxALL, FromDIP(4));

    m_chord = new EditChordPoints(this, project);
    m_twist = new EditTwistPoints(this, project);
    m_prebend = new EditPrebendPoints(this, project);
    auto* editors = new wxBoxSizer(wxHORIZONTAL);
    editors->Add(m_chord, 1, wxEXPAND | wxALL, FromDIP(4));
    editors->Add(m_twist, 1, wxEXPAND | wxALL, FromDIP(4));
    editors->Add(m_prebend, 1, wxEXPAND | wxALL, FromDIP(4));
    sectionSizer()->Add(editors, 1, wxEXPAND);
}

void EditShape::onPrebendBox(bool prebent) {
    const bool stated = !m_project->prebendPoints().empty();
    if (prebent && !stated) m_project->setPrebendPoints(m_prebend->straightPoints(), true);
    if (!prebent && stated) m_project->setPrebendPoints({}, true);
    showPrebend();
    m_prebend->update();
}

void EditShape::showPrebend() {
    const bool prebent = !m_project->prebendPoints().empty();
    m_prebendBox->SetValue(prebent);
    if (m_prebend->IsShown() == prebent) return;
    // The keys go on to the page (Ctrl+Y right after the Ctrl+Z that hid the list).
    wxWindow* focus = wxWindow::FindFocus();
    if (!prebent && focus && m_prebend->IsDescendant(focus)) m_prebendBox->SetFocus();
    m_prebend->Show(prebent);
    Layout();
}

EditShape::~EditShape() {
    // The previews are top-level windows of their own: close them while the project
    // they follow still exists.
    if (m_shapeWindow) m_shapeWindow->Close(true);
    if (m_twistWindow) m_twistWindow->Close(true);
}

void EditShape::update() {
    m_chord->update();
    m_twist->update();
    showPrebend();  // first: the focus leaves a list that goes before its fields do
    m_prebend->update();
}

void EditShape::displayShapeWindow() {
    if (!m_shapeWindow) m_shapeWindow = new ShapeWindow(&m_shapeWindow, m_project, wxSize(600, 300));
    bringToFront(m_shapeWindow);
}

void EditShape::displayTwistWindow() {
    if (!m_twistWindow) m_twistWindow = new TwistWindow(&m_twistWindow, m_project, wxSize(600, 400));
    bringToFront(m_twistWindow);
}
