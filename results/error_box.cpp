#include "results/error_box.h"

#include <wx/msgdlg.h>

void showErrorBox(wxWindow* parent, const wxString& message) {
    wxMessageBox(message, kErrorCaption, wxOK | wxCENTRE | wxSTAY_ON_TOP, parent);
}

wxString listedLines(const std::vector<wxString>& items) {
    wxString text;
    for (std::size_t i = 0; i < items.size() && i < kListedItems; ++i) text += "\n" + items[i];
    if (items.size() > kListedItems) text += wxString::Format(wxS("\n… and %zu more."), items.size() - kListedItems);
    return text;
}
