#include "results/app_icon.h"

#include <wx/bmpbndl.h>

#include "results/app_icon_svg.h"

const wxIconBundle& korvaneIcons() {
    static const wxIconBundle bundle = [] {
        // The icon the desktop shows (packaging/korvane.svg, compiled in), drawn at the
        // sizes window managers ask for.
        const wxBitmapBundle picture = wxBitmapBundle::FromSVG(kKorvaneIconSvg, wxSize(64, 64));
        wxIconBundle icons;
        for (int size : {16, 32, 48, 64}) icons.AddIcon(picture.GetIcon(wxSize(size, size)));
        return icons;
    }();
    return bundle;
}
