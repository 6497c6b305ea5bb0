#pragma once
// The questions and messages of the compute panel and the units it hands its work to;
// tests replace them.

#include <wx/string.h>

#include <functional>

class wxWindow;

struct ComputeDialogs {
    // Modal error box: message and caption.
    std::function<void(wxWindow*, const wxString&, const wxString&)> error;
    // "Preprocess outdated airfoil data?"; true for Yes.
    std::function<bool(wxWindow*)> preprocessOutdated;
    // Modal information box: message and caption (the error box when not given).
    std::function<void(wxWindow*, const wxString&, const wxString&)> info;
    // "Keep the design's shape?" with the message; true for Yes (replace the points by
    // the design's). Not given: the points keep their positions.
    std::function<bool(wxWindow*, const wxString&)> replaceByDesignPoints;

    static inline const wxString kDesignShapeCaption = "Keep the design's shape?";

    // Message boxes on top of the program.
    static ComputeDialogs standard();
};
