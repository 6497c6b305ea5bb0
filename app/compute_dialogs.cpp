#include "app/compute_dialogs.h"

#include <wx/msgdlg.h>

ComputeDialogs ComputeDialogs::standard() {
    ComputeDialogs dialogs;
    dialogs.error = [](wxWindow* parent, const wxString& message, const wxString& caption) {
        wxMessageBox(message, caption, wxOK | wxCENTRE | wxSTAY_ON_TOP, parent);
    };
    dialogs.info = [](wxWindow* parent, const wxString& message, const wxString& caption) {
        wxMessageBox(message, caption, wxOK | wxICON_INFORMATION | wxCENTRE | wxSTAY_ON_TOP, parent);
    };
    dialogs.replaceByDesignPoints = [](wxWindow* parent, const wxString& message) {
        return wxMessageBox(message, kDesignShapeCaption, wxYES_NO | wxCENTRE | wxSTAY_ON_TOP, parent) == wxYES;
    };
    dialogs.preprocessOutdated = [](wxWindow* parent) {
        return wxMessageBox(
                   "The preprocessed airfoil data is outdated (the airfoil segments or the operating conditions have "
                   "changed). Would you like to preprocess it again?",
                   "Preprocess outdated airfoil data?", wxYES_NO | wxCENTRE | wxSTAY_ON_TOP, parent) == wxYES;
    };
    return dialogs;
}
