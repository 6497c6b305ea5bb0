#pragma once
// The application object: starts the toolkit, opens the main window and the project
// file named on the command line.

#include <wx/app.h>

class MainWindow;

// Creates and shows the main window for a command line (the program's name first);
// the first argument, when there is one, is opened as the project, exactly as File >
// Open would open it. Further arguments are ignored. A KORVANE_THREADS that is not a
// thread count is reported in a message box with this caption.
MainWindow* startMainWindow(const wxArrayString& commandLine);
inline const wxString kThreadsCaption = "Threads";

class KvnApp : public wxApp {
public:
    KvnApp();
    bool OnInit() override;
    // An exception that leaves an event handler is shown in the error box, and the
    // program goes on.
    bool OnExceptionInMainLoop() override;

private:
    MainWindow* mainWindow = nullptr;  // owned by the toolkit
};
