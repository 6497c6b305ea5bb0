#pragma once
// The application object: starts the toolkit, opens the main window and the project
// file named on the command line.

#include <wx/app.h>

class MainWindow;

class KvnApp : public wxApp {
public:
    KvnApp();
    bool OnInit() override;

private:
    MainWindow* mainWindow = nullptr;  // owned by the toolkit
};
