#pragma once
// A preview of the blade twist distribution that follows the project's twist points.

#include <wx/frame.h>

#include <vector>

class KvpProject;
class PlotDisplay;
class wxEvent;

class TwistWindow : public wxFrame {
public:
    // slot is the opener's pointer to this window; it is cleared when the window closes.
    TwistWindow(TwistWindow** slot, KvpProject* project, const wxSize& size);
    ~TwistWindow() override;

    // Redraws the twist points of the project.
    void update();

    PlotDisplay* plot() const { return m_plot; }

private:
    void onPointsChanged(wxEvent& event);
    void onClose(wxCloseEvent& event);
    void detach();

    TwistWindow** m_slot;
    KvpProject* m_project;
    PlotDisplay* m_plot;
    std::vector<double> m_x, m_y;
};
