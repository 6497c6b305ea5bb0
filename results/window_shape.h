#pragma once
// A preview of the blade outline seen from the wind, with the blade area, that follows
// the project's chord points.

#include <wx/frame.h>

#include <vector>

class KvpProject;
class PlotDisplay;
class wxEvent;

class ShapeWindow : public wxFrame {
public:
    // slot is the opener's pointer to this window; it is cleared when the window closes.
    ShapeWindow(ShapeWindow** slot, KvpProject* project, const wxSize& size);
    ~ShapeWindow() override;

    // Redraws the outline and its area from the project's chord points.
    void update();

    PlotDisplay* plot() const { return m_plot; }

    // The legend: "Area = A ⋅ R² ( = A·R² m²)".
    static wxString areaLegend(double relativeArea, double radius);

private:
    void onPointsChanged(wxEvent& event);
    void onClose(wxCloseEvent& event);
    void detach();

    ShapeWindow** m_slot;
    KvpProject* m_project;
    PlotDisplay* m_plot;
    std::vector<double> m_x, m_y;
};
