#include "app/kvn_app.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app/exception_text.h"
#include "app/window_main.h"
#include "results/error_box.h"

MainWindow* startMainWindow(const wxArrayString& commandLine) {
    auto* window = new MainWindow();
    if (commandLine.size() > 1) window->openFile(commandLine[1]);
    window->Show();
    return window;
}

KvnApp::KvnApp() {
    // Chart images are saved as PNG.
    wxImage::AddHandler(new wxPNGHandler);
    wxDisableAsserts();
    wxLog::EnableLogging(false);
}

bool KvnApp::OnInit() {
    if (!mainWindow) mainWindow = startMainWindow(argv.GetArguments());
    return true;
}

bool KvnApp::OnExceptionInMainLoop() {
    showErrorBox(GetTopWindow(), wxString::FromUTF8(korvane::currentExceptionText()));
    return true;
}
