#pragma once
// A thin horizontal separator between rows of an editor section.

#include <wx/window.h>

class DividerLine : public wxWindow {
public:
    explicit DividerLine(wxWindow* parent);

private:
    void onPaint(wxPaintEvent& event);
};
