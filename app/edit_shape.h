#pragma once
// The "Blade shape" page: buttons that open the shape and twist previews, and the chord
// and twist distribution editors side by side, with the prebend list beside them once the
// blade is prebent (the "Prebent blade" box starts it straight and ends it).

#include "app/edit_section.h"

class KvpProject;
class EditChordPoints;
class EditTwistPoints;
class EditPrebendPoints;
class ShapeWindow;
class TwistWindow;

class EditShape : public EditSection {
public:
    EditShape(wxWindow* parent, KvpProject* project);
    ~EditShape() override;

    void update() override;

    // Opens the preview (one at most) or brings the open one to the front.
    void displayShapeWindow();
    void displayTwistWindow();

    EditChordPoints* chordEditor() const { return m_chord; }
    EditTwistPoints* twistEditor() const { return m_twist; }
    EditPrebendPoints* prebendEditor() const { return m_prebend; }
    wxCheckBox* prebendBox() const { return m_prebendBox; }
    ShapeWindow* shapeWindow() const { return m_shapeWindow; }
    TwistWindow* twistWindow() const { return m_twistWindow; }

private:
    // The box checked: a straight prebend list to edit; cleared: a straight blade again.
    void onPrebendBox(bool prebent);
    // The list shows while the project's blade is prebent.
    void showPrebend();

    KvpProject* m_project;
    EditChordPoints* m_chord;
    EditTwistPoints* m_twist;
    EditPrebendPoints* m_prebend;
    wxCheckBox* m_prebendBox;
    ShapeWindow* m_shapeWindow = nullptr;
    TwistWindow* m_twistWindow = nullptr;
};
