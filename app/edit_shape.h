#pragma once
// The "Blade shape" page: buttons that open the shape and twist previews, and the chord
// and twist distribution editors side by side.

#include "app/edit_section.h"

class KvpProject;
class EditChordPoints;
class EditTwistPoints;
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
    ShapeWindow* shapeWindow() const { return m_shapeWindow; }
    TwistWindow* twistWindow() const { return m_twistWindow; }

private:
    KvpProject* m_project;
    EditChordPoints* m_chord;
    EditTwistPoints* m_twist;
    ShapeWindow* m_shapeWindow = nullptr;
    TwistWindow* m_twistWindow = nullptr;
};
