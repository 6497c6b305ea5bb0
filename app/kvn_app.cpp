#include "app/kvn_app.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <string>

#include "app/window_main.h"
#include "bemt/Error.h"
#include "bemt/ThreadCount.h"
#include "project/exception_text.h"
#include "results/error_box.h"

namespace {
// A KORVANE_THREADS the computations cannot use is said once, at start-up; they then use
// every core.
void warnAboutThreadVariable(wxWindow* parent) {
    try {
        bemt::ThreadCount::fromEnvironment();
    } catch (const bemt::Error& error) {
        const std::string text =
            error.message() + " The computations use every core (" + std::to_string(bemt::ThreadCount::cores()) + ").";
        wxMessageBox(wxString::FromUTF8(text), kThreadsCaption, wxOK | wxICON_WARNING | wxCENTRE, parent);
    }
}
}  // namespace

MainWindow* startMainWindow(const wxArrayString& commandLine) {
    auto* window = new MainWindow();
    // Shown first, so that a message about the file stands over the window it concerns,
    // once the window is on the screen.
    window->Show();
    if (commandLine.size() > 1) window->openFile(commandLine[1]);
    window->whenOnScreen([window] { warnAboutThreadVariable(window); });
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
