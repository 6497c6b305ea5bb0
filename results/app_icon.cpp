#include "results/app_icon.h"

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <cmath>
#include <memory>

namespace {

wxIcon drawIcon(int size) {
    wxBitmap bitmap(size, size, 32);
    bitmap.UseAlpha();
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(wxColour(0, 110, 0)));
        dc.Clear();
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (gc) {
            const double c = size / 2.0;
            gc->SetBrush(wxBrush(*wxWHITE));
            gc->SetPen(*wxTRANSPARENT_PEN);
            for (int blade = 0; blade < 3; ++blade) {
                const double a = -M_PI / 2.0 + blade * 2.0 * M_PI / 3.0;
                wxGraphicsPath path = gc->CreatePath();
                const double r = 0.46 * size, w = 0.11 * size;
                path.MoveToPoint(c + std::cos(a + 1.2) * w * 0.6, c + std::sin(a + 1.2) * w * 0.6);
                path.AddLineToPoint(c + std::cos(a) * r + std::cos(a + M_PI / 2) * w * 0.25,
                                    c + std::sin(a) * r + std::sin(a + M_PI / 2) * w * 0.25);
                path.AddLineToPoint(c + std::cos(a) * r, c + std::sin(a) * r);
                path.AddLineToPoint(c + std::cos(a - 1.2) * w * 0.6, c + std::sin(a - 1.2) * w * 0.6);
                path.CloseSubpath();
                gc->FillPath(path);
            }
            gc->SetBrush(wxBrush(wxColour(235, 172, 35)));
            gc->DrawEllipse(c - 0.09 * size, c - 0.09 * size, 0.18 * size, 0.18 * size);
        }
        dc.SelectObject(wxNullBitmap);
    }
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    return icon;
}

}  // namespace

const wxIconBundle& korvaneIcons() {
    static const wxIconBundle bundle = [] {
        wxIconBundle icons;
        for (int size : {16, 32, 48, 64}) icons.AddIcon(drawIcon(size));
        return icons;
    }();
    return bundle;
}
