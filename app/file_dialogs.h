#pragma once
// The file dialogs of the desktop program, shown for the file manager.

#include "app/file_manager.h"

class WxFileDialogs : public FileDialogs {
public:
    wxString choosePath(const FileDialogRequest& request) override;
    bool confirmOverwrite(const wxString& path) override;
};
