#include "app/kvn_app.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app/exception_text.h"
#include "app/window_main.h"

KvnApp::KvnApp() {
    // Chart images are saved as PNG.
    wxImage::AddHandler(new wxPNGHandler);
    wxDisableAsserts();
    wxLog::EnableLogging(false);
}

bool KvnApp::OnInit() {
    if (!mainWindow) mainWindow = new MainWindow();
    // Further arguments are ignored.
    if (argc > 1) mainWindow->openFile(argv[1]);
    mainWindow->Show();
    return true;
}

bool KvnApp::OnExceptionInMainLoop() {
    wxMessageBox(wxString::FromUTF8(korvane::currentExceptionText()), "An error has occoured.",
                 wxOK | wxCENTRE | wxSTAY_ON_TOP, GetTopWindow());
    return true;
}
