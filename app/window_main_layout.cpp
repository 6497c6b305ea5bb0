// The main window's menus, status bar and notebook of editor pages, built once.
#include "app/window_main.h"

#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/stockitem.h>

#include <utility>

#include "app/edit_airfoil_points.h"
#include "app/edit_compute.h"
#include "app/edit_operating_conditions.h"
#include "app/edit_rotor_geometry.h"
#include "app/edit_shape.h"
#include "app/edit_solver_settings.h"
#include "app/edit_stall_delay.h"
#include "app/edit_turbine.h"
#include "app/edit_turbine_compute.h"

void MainWindow::buildMenus() {
    auto* file = new wxMenu();
    file->Append(wxID_NEW);
    file->Append(wxID_OPEN);
    file->Append(wxID_SAVE);
    file->Append(wxID_SAVEAS, wxGetStockLabel(wxID_SAVEAS) + "\tCtrl+Shift+S");
    file->AppendSeparator();
    file->Append(kImportOpenFastId, wxS("Import OpenFAST model…"), "Make a project from an OpenFAST model (.fst)");
    file->Append(kExportAeroDynId, wxS("Export blade to AeroDyn…"),
                 "Write the blade and its airfoil tables as AeroDyn v15 input files");
    file->AppendSeparator();
    file->Append(wxID_EXIT);
    auto* edit = new wxMenu();
    edit->Append(wxID_UNDO);
    edit->Append(wxID_REDO);
    auto* help = new wxMenu();
    help->Append(wxID_HELP, "User guide\tF1", "Opens the user guide.");
    help->Append(wxID_ABOUT);
    auto* bar = new wxMenuBar();
    bar->Append(file, "&File");
    bar->Append(edit, "&Edit");
    bar->Append(help, "&Help");
    SetMenuBar(bar);
    // Redo answers Ctrl+Y as well as the menu's own Ctrl+Shift+Z.
    wxAcceleratorEntry redo(wxACCEL_CTRL, 'Y', wxID_REDO);
    SetAcceleratorTable(wxAcceleratorTable(1, &redo));
}

void MainWindow::buildStatusBar() {
    wxStatusBar* status = CreateStatusBar();
    // The status bar draws itself once the window is mapped and exposed, with or without a
    // window manager: the boxes that wait for the window follow then.
    status->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        event.Skip();
        if (m_drawn) return;
        m_drawn = true;
        CallAfter([this] {
            for (const auto& show : std::exchange(m_whenOnScreen, {})) show();
        });
    });
    m_gauge = new wxGauge(status, wxID_ANY, 100, wxDefaultPosition, FromDIP(wxSize(350, -1)), wxGA_HORIZONTAL);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->AddStretchSpacer(1);
    sizer->Add(m_gauge, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(10) / 4);
    status->SetSizer(sizer);
    status->SetMinHeight(m_gauge->GetBestSize().y + FromDIP(4));
    SetStatusText(kStatusReady);
}

void MainWindow::buildPages() {
    m_notebook = new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxNB_TOP);

    // The first page scrolls when the window is smaller than its two columns.
    auto* first = new wxScrolledWindow(m_notebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                       wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    first->SetScrollRate(FromDIP(10), FromDIP(10));
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    m_conditions = new EditOperatingConditions(first, m_project.get());
    m_solver = new EditSolverSettings(first, m_project.get());
    left->Add(m_conditions, 0, wxEXPAND | wxALL, FromDIP(6));
    left->Add(m_solver, 0, wxEXPAND | wxALL, FromDIP(6));
    m_rotorGeometry = new EditRotorGeometry(first, m_project.get());
    left->Add(m_rotorGeometry, 0, wxEXPAND | wxALL, FromDIP(6));
    auto* right = new wxBoxSizer(wxVERTICAL);
    m_compute = new EditCompute(first, m_project.get(),
                                [this](int percentage, wxString message) { progress(percentage, message); });
    right->Add(m_compute, 0, wxEXPAND | wxALL, FromDIP(6));
    m_stallDelay = new EditStallDelay(first, m_project.get());
    right->Add(m_stallDelay, 0, wxEXPAND | wxALL, FromDIP(6));
    columns->Add(left, 1, wxEXPAND);
    columns->Add(right, 1, wxEXPAND);
    first->SetSizer(columns);

    m_shape = new EditShape(m_notebook, m_project.get());
    m_airfoils = new EditArifoils(m_notebook, m_project.get());
    m_notebook->AddPage(first, "Operating conditions && Compute");
    m_notebook->AddPage(m_shape, "Blade shape");
    m_notebook->AddPage(m_airfoils, "Airfoils data");

    // The turbine around the rotor and the computations that need it.
    auto* turbine = new wxScrolledWindow(m_notebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                         wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    turbine->SetScrollRate(FromDIP(10), FromDIP(10));
    auto* turbineColumns = new wxBoxSizer(wxHORIZONTAL);
    m_turbine = new EditTurbine(turbine, m_project.get());
    m_turbineCompute = new EditTurbineCompute(turbine, m_project.get(), m_compute);
    turbineColumns->Add(m_turbine, 3, wxALIGN_TOP | wxALL, FromDIP(6));
    turbineColumns->Add(m_turbineCompute, 2, wxALIGN_TOP | wxALL, FromDIP(6));
    turbine->SetSizer(turbineColumns);
    m_notebook->AddPage(turbine, "Turbine");
    // Defaults follow the rotor while the project states no turbine: show them as they
    // are when the page comes up.
    m_notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this, turbine](wxBookCtrlEvent& event) {
        event.Skip();
        if (m_notebook->GetPage(static_cast<std::size_t>(event.GetSelection())) != turbine) return;
        if (!m_project->state().turbine) m_turbine->followRotor();
        m_turbineCompute->update();
    });

    for (EditSection* page : {static_cast<EditSection*>(m_conditions), static_cast<EditSection*>(m_solver),
                              static_cast<EditSection*>(m_rotorGeometry), static_cast<EditSection*>(m_stallDelay),
                              static_cast<EditSection*>(m_compute), static_cast<EditSection*>(m_shape),
                              static_cast<EditSection*>(m_airfoils), static_cast<EditSection*>(m_turbine),
                              static_cast<EditSection*>(m_turbineCompute)})
        page->update();
    first->FitInside();
    turbine->FitInside();
}
