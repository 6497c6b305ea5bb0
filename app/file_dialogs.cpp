#include "app/file_dialogs.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

wxString WxFileDialogs::choosePath(const FileDialogRequest& request) {
    const long style = request.kind == FileDialogRequest::Kind::Open ? wxFD_OPEN | wxFD_FILE_MUST_EXIST
                                                                      : wxFD_SAVE | wxFD_OVERWRITE_PROMPT;
    wxFileDialog dialog(request.parent, request.title, request.directory, request.fileName, request.wildcard, style);
    if (dialog.ShowModal() != wxID_OK) return wxEmptyString;
    return dialog.GetPath();
}

bool WxFileDialogs::confirmOverwrite(const wxString& path) {
    return wxMessageBox("The file " + path + " already exists. Do you want to replace it?", "Replace the file?",
                        wxYES_NO | wxNO_DEFAULT | wxCENTRE | wxSTAY_ON_TOP) == wxYES;
}
