#pragma once
// A preview window with one chart that follows one kind of change of the project: it
// redraws on every such change, leaves the project alone once it closes, and clears the
// opener's pointer to it then. It opens and closes (Esc, Ctrl+W) as a result window does.

#include <wx/frame.h>

#include <functional>
#include <vector>

class KvpProject;
class PlotDisplay;
class kvnChangeEvent;
class wxEvent;

class ProjectPreviewWindow : public wxFrame {
public:
    ~ProjectPreviewWindow() override;

    // Redraws the curve from the project.
    void update();

    PlotDisplay* plot() const { return m_plot; }

protected:
    // title heads both the window and the chart (x/R across, yLabel up); changed is the
    // project event that redraws it; releaseSlot clears the opener's pointer to the window.
    // The window of the derived class calls update() once it is built.
    ProjectPreviewWindow(std::function<void()> releaseSlot, KvpProject* project,
                         const wxEventTypeTag<kvnChangeEvent>& changed, const wxString& title, const wxString& yLabel,
                         const wxSize& size);

    // Fills the curve from the project (before the chart's range is reset).
    virtual void drawCurve(const KvpProject& project, std::vector<double>& x, std::vector<double>& y) = 0;

    // Clears the opener's pointer to window when it still points to it.
    template <class Window>
    static std::function<void()> slotReleaser(Window** slot, Window* window) {
        return [slot, window] {
            if (slot && *slot == window) *slot = nullptr;
        };
    }

private:
    void onProjectChanged(wxEvent& event);
    void onClose(wxCloseEvent& event);
    void detach();

    std::function<void()> m_releaseSlot;
    KvpProject* m_project;
    wxEventType m_changed;
    PlotDisplay* m_plot;
    std::vector<double> m_x, m_y;
};
