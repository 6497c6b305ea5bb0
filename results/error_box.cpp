#include "results/error_box.h"

#include <wx/msgdlg.h>

void showErrorBox(wxWindow* parent, const wxString& message) {
    wxMessageBox(message, kErrorCaption, wxOK | wxCENTRE | wxSTAY_ON_TOP, parent);
}
