#include "app/divider_line.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

DividerLine::DividerLine(wxWindow* parent) : wxWindow(parent, wxID_ANY) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    const wxSize size = FromDIP(wxSize(-1, 7));
    SetMinSize(wxSize(FromDIP(20), size.y));
    SetMaxSize(wxSize(-1, size.y));
    Bind(wxEVT_PAINT, &DividerLine::onPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        Refresh();
        e.Skip();
    });
}

void DividerLine::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxSize size = GetClientSize();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW), 1));
    dc.DrawLine(0, size.y / 2, size.x, size.y / 2);
}
