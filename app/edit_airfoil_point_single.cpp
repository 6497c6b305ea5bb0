#include "app/edit_airfoil_point_single.h"

#include <wx/button.h>

#include <algorithm>

#include "app/file_manager.h"
#include "app/kvp_project.h"
#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ValueLimits.h"

wxDEFINE_EVENT(kvnEVT_POINT_CHANGED, wxCommandEvent);

wxArrayString EditSingleAirfoilPoint::typeItems() {
    wxArrayString items;
    for (const char* item : {"CSV data", "Coordinates", "NACA 0012", "NACA 0015", "NACA 0018", "NACA 0021", "NACA 0025",
                             "AeroDyn table", "XFOIL polar file"})
        items.Add(item);
    return items;
}

const std::vector<bemt::AirfoilType>& EditSingleAirfoilPoint::typeValues() {
    static const std::vector<bemt::AirfoilType> values = {bemt::CSVData,  bemt::Coordinates, bemt::NACA0012,
                                                          bemt::NACA0015, bemt::NACA0018,    bemt::NACA0021,
                                                          bemt::NACA0025, bemt::AeroDynTable, bemt::XfoilPolarFile};
    return values;
}

EditSingleAirfoilPoint::EditSingleAirfoilPoint(wxWindow* parent, KvpProject* project, bemt::AirfoilPoint& point,
                                               const bemt::AirfoilPoint* previous, const bemt::AirfoilPoint* next)
    : EditSection(parent), m_project(project), m_point(point), m_previous(previous), m_next(next) {
    m_rows = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    setContainer(m_rows);
    sectionSizer()->Add(m_rows, 0, wxEXPAND);
    Bind(kvnEVT_UPDATED_VALUE, &EditSingleAirfoilPoint::onUpdatedValue, this);
}

double EditSingleAirfoilPoint::rotorRadius() const { return m_project->operatingConditions().R; }

void EditSingleAirfoilPoint::load() {
    m_x = m_point.x_rel;
    m_repeat = m_point.repeat;
    m_type = m_point.data_type;
    m_path = wxString::FromUTF8(m_point.path.c_str()).ToStdWstring();
    m_separator = m_point.csv_separator;
    m_precedingLine = wxString::FromUTF8(m_point.preceeding_line.c_str()).ToStdWstring();
    m_maxPasses = m_point.max_passes;
    m_aMin = m_point.a_min;
    m_aMax = m_point.a_max;
    m_aStep = m_point.a_step;
    m_guessReynolds = m_point.guess_reynolds;
    m_reMin = m_point.rey_min;
    m_reMax = m_point.rey_max;
    m_ncrit = m_point.ncrit;
    m_extension = m_point.extension;
    m_cdMax = m_point.cd_max;
}

void EditSingleAirfoilPoint::buildCommonRows() {
    m_grid = new wxGridBagSizer();
    // The empty rows above the spacers of the column widths take no room.
    m_grid->SetEmptyCellSize(wxSize(0, 0));
    wxGridBagSizer* grid = m_grid;
    int row = 0;
    m_positionCtrl = setupInput(grid, row, 0, "x/R", "[-]", "Relative postition at the blade.");
    m_absoluteCtrl = setupInput(grid, row++, 3, "x", "[m]", "Absolute postition at the blade.");
    m_repeatBox =
        setupCheckbox(grid, row, 0, "Repeat", &m_repeat, "Repeat previous airfoil with the exact same settings.",
                      wxGBSpan(1, 2));
    m_repeatNote = new wxStaticText(m_rows, wxID_ANY, wxEmptyString);
    grid->Add(m_repeatNote, wxGBPosition(row++, 2), wxGBSpan(1, 4), wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(4));
    m_repeatBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        event.Skip();
        applyRepeat();
    });
    m_firstDataChild = m_rows->GetChildren().size();
    m_typeChoice = setupChoice<bemt::AirfoilType>(
        grid, row++, 0, typeItems(), &m_type, typeValues(), "Type",
        "Select the airfoil type used in calculations along the blade starting at this point.", 1, 4);

    m_positionCtrl->SetValidator(InputNumberValidator<double>(&m_x, true, bemt::Limits::position.lowest, bemt::Limits::position.highest, [this](double x) {
        return (!m_previous || x > m_previous->x_rel) && (!m_next || x < m_next->x_rel);
    }));
    m_absoluteCtrl->SetValidator(
        InputNumberValidator<double>(nullptr, false, 0.0, 0.0,
                                     scaledFieldCheck(m_positionCtrl, [this] { return rotorRadius(); }))
            .showing([this] { return std::optional<double>(m_x * rotorRadius()); }));
    m_positionCtrl->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        double x = 0.0;
        if (readSource(m_positionCtrl, x)) writeDerived(m_absoluteCtrl, x * rotorRadius());
        event.Skip();
    });
    m_absoluteCtrl->Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent& event) {
        double x = 0.0;
        if (readSource(m_absoluteCtrl, x)) writeDerived(m_positionCtrl, x / rotorRadius());
        event.Skip();
    });

    m_firstTypeRow = row;
    m_firstTypeChild = m_rows->GetChildren().size();
    m_rows->SetSizer(grid, true);
}

void EditSingleAirfoilPoint::refreshControls() {
    if (!m_built) buildCommonRows();
    // The rows of the previous type go; the fields every type has stay, with the focus
    // and any text in them.
    const std::vector<wxWindow*> children(m_rows->GetChildren().begin(), m_rows->GetChildren().end());
    for (std::size_t i = m_firstTypeChild; i < children.size(); ++i) children[i]->Destroy();
    m_pathCtrl = m_aMinCtrl = m_aMaxCtrl = m_aStepCtrl = m_reMinCtrl = m_reMaxCtrl = m_passesCtrl = m_cdMaxCtrl = nullptr;
    m_extensionChoice = nullptr;
    wxGridBagSizer* grid = m_grid;
    int row = m_firstTypeRow;
    if (hasDataFile(m_type)) {
        const bool csv = m_type == bemt::CSVData;
        m_pathCtrl = setupInput(grid, row, 0, "Data file", "",
                                "Enter the absolute path to the file containig the airfoil data.", 1, 4);
        m_pathCtrl->SetValidator(InputStringValidator<std::wstring>(&m_path));
        setupButton(grid, row++, 5, "Browse", "Browse for the file containig the airfoil data.", wxGBSpan(1, 1), 0,
                    [this] { browse(); });
        if (csv) {
            wxArrayString separators;
            separators.Add("Comma (,)");
            separators.Add("Whitespace ( )");
            setupChoice<bemt::CSVSeparator>(grid, row++, 0, separators, &m_separator, {bemt::Comma, bemt::Whitespace},
                                            "Delimiter",
                                            "Select the delimiter, which separates the values of angle of attack, "
                                            "lift coefficient and drag coefficient.",
                                            1, 4);
            wxTextCtrl* preceding = setupInput(grid, row++, 0, "Preceding line", "",
                                               "Enter a part of the line in CSV file that preceeds the data lines.", 1, 4);
            preceding->SetValidator(InputStringValidator<std::wstring>(&m_precedingLine));
        } else if (m_type == bemt::Coordinates) {
            // Only coordinates are analysed by XFOIL; the polar files bring their own data.
            setupHeading(grid, row++, 0, "Xfoil");
            m_passesCtrl = setupInput(grid, row++, 0, "Max. passes", "",
                                      "This program uses XFoil to precalculate lift and drag coefficients at different "
                                      "angles of attack. Enter the number of maximal passes during analysis. Higher "
                                      "values may improve convergence.");
            m_passesCtrl->SetValidator(InputNumberValidator<int>(&m_maxPasses, true, bemt::Limits::xfoilPasses.lowest, bemt::Limits::xfoilPasses.highest));
            setupHeading(grid, row++, 0, "AOA");
            m_aMinCtrl = setupInput(grid, row, 0, "Min.", wxS("[°]"), "Minimal analyzed angle of attack in degrees.");
            m_aMaxCtrl = setupInput(grid, row++, 3, "Max.", wxS("[°]"), "Maximal analyzed angle of attack in degrees.");
            m_aStepCtrl = setupInput(grid, row++, 0, "Step", wxS("[°]"), "Step size in degrees of the angle of attack analysis.");
            // A step of zero or below would never finish the angle sweep.
            m_aMinCtrl->SetValidator(InputNumberValidator<double>(&m_aMin, true, bemt::Limits::xfoilAngle.lowest, bemt::Limits::xfoilAngle.highest, [this](double min) {
                // A polar needs two angles at least.
                return pairPasses(m_aMinCtrl, m_aMaxCtrl, bemt::Limits::xfoilAngle, m_aMaxCtrl,
                                  [min](double max) { return min < max; });
            }));
            m_aMaxCtrl->SetValidator(InputNumberValidator<double>(&m_aMax, true, bemt::Limits::xfoilAngle.lowest, bemt::Limits::xfoilAngle.highest, [this](double max) {
                return pairPasses(m_aMaxCtrl, m_aMinCtrl, bemt::Limits::xfoilAngle, m_aMaxCtrl,
                                  [max](double min) { return max > min; });
            }));
            m_aStepCtrl->SetValidator(InputNumberValidator<double>(
                &m_aStep, true, bemt::Limits::xfoilAngleStep.lowest, bemt::Limits::xfoilAngleStep.highest, [this](double step) {
                    double min = 0.0, max = 0.0;
                    if (!readPartner(m_aMinCtrl, bemt::Limits::xfoilAngle, min) ||
                        !readPartner(m_aMaxCtrl, bemt::Limits::xfoilAngle, max))
                        return true;
                    // The sweep the project file and the XFOIL run accept.
                    return !bemt::ProfileParamsXfoil::polarRefusal(min, max, step);
                }));
            wxCheckBox* guess = setupCheckbox(
                grid, row++, 0, "Guess Re", &m_guessReynolds,
                "Guess Reynolds number to precalculate lift and drag coefficients for various operating conditions "
                "(wind velocity and rotation speed) at different angles of attacks.");
            guess->Bind(wxEVT_CHECKBOX, [this, guess](wxCommandEvent& event) {
                enableReynoldsFields(guess->GetValue());
                event.Skip();
            });
            setupHeading(grid, row++, 0, "Re");
            m_reMinCtrl = setupInput(grid, row, 0, "Min.", "", "Minimal analyzed Reynolds number.");
            m_reMaxCtrl = setupInput(grid, row++, 3, "Max.", "", "Maximal analyzed Reynolds number.");
            m_reMinCtrl->SetValidator(InputNumberValidator<double>(&m_reMin, true, bemt::Limits::reynolds.lowest, bemt::Limits::reynolds.highest, [this](double min) {
                double max = 0.0;
                return !readPartner(m_reMaxCtrl, bemt::Limits::reynolds, max) || min <= max;
            }));
            m_reMaxCtrl->SetValidator(InputNumberValidator<double>(&m_reMax, true, bemt::Limits::reynolds.lowest, bemt::Limits::reynolds.highest, [this](double max) {
                double min = 0.0;
                return !readPartner(m_reMinCtrl, bemt::Limits::reynolds, min) || max >= min;
            }));
            wxTextCtrl* ncrit = setupInput(grid, row++, 0, "Ncrit", "",
                                           "This parameter describes freestream turbulences. See Xfoil documentation.");
            ncrit->SetValidator(InputNumberValidator<int>(&m_ncrit, true, bemt::Limits::ncrit.lowest, bemt::Limits::ncrit.highest));
        }
        wxArrayString extensions;
        extensions.Add("NACA data");
        extensions.Add("Viterna");
        m_extensionChoice = setupChoice<bemt::ExtensionType>(grid, row++, 0, extensions, &m_extension,
                                         {bemt::ExtensionNaca, bemt::ExtensionViterna}, "Extension",
                                         "How the polar is continued beyond its tabulated angles of attack to -180 "
                                         "and 180 degrees: the built-in NACA data of the nearest thickness, or the "
                                         "Viterna formulas matched to the ends of the table.",
                                         1, 4);
        wxTextCtrl* cdMax = setupInput(grid, row++, 0, wxS("Cd at 90°"), "[-]",
                                       "Drag coefficient at 90 degrees of the Viterna extension; 0 for "
                                       "1.11 + 0.018 times the blade's aspect ratio (R / mean chord, at most 50).");
        cdMax->SetValidator(InputNumberValidator<double>(&m_cdMax, true, 0.0, 5.0));
        m_cdMaxCtrl = cdMax;
        m_extensionChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
            event.Skip();
            enableCdMaxField();
        });
    }
    m_built = true;
    m_builtType = m_type;
}

void EditSingleAirfoilPoint::enableReynoldsFields(bool guessing) {
    if (m_reMinCtrl) m_reMinCtrl->Enable(!guessing && !repeating());
    if (m_reMaxCtrl) m_reMaxCtrl->Enable(!guessing && !repeating());
    Validate();
}

wxString EditSingleAirfoilPoint::typeName(bemt::AirfoilType type) {
    const auto& values = typeValues();
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] == type) return typeItems()[i];
    return wxString::Format("type %d", static_cast<int>(type));
}

void EditSingleAirfoilPoint::setRepeatNote(const wxString& note) {
    if (m_repeatNote && m_repeatNote->GetLabel() != note) {
        m_repeatNote->SetLabel(note);
        Layout();
    }
}

std::vector<wxWindow*> EditSingleAirfoilPoint::ownDataControls() const {
    std::vector<wxWindow*> controls;
    const wxWindowList& children = m_rows->GetChildren();
    std::size_t index = 0;
    for (wxWindow* child : children)
        if (index++ >= m_firstDataChild) controls.push_back(child);
    return controls;
}

bool EditSingleAirfoilPoint::repeating() const {
    // The box rather than the field: the box's own handlers may not have run yet. The
    // first point has nothing before it to repeat: its own data stays in use.
    return m_repeatBox && m_repeatBox->GetValue() && m_previous;
}

void EditSingleAirfoilPoint::enableCdMaxField() {
    if (!m_cdMaxCtrl || !m_extensionChoice) return;
    // The choice rather than the value: its own handler may not have run yet.
    m_cdMaxCtrl->Enable(!repeating() && m_extensionChoice->GetSelection() == 1);  // "Viterna"
    Validate();
}

void EditSingleAirfoilPoint::applyRepeat() {
    for (wxWindow* control : ownDataControls()) control->Enable(!repeating());
    enableReynoldsFields(m_guessReynolds);
    enableCdMaxField();
}

void EditSingleAirfoilPoint::update() {
    Freeze();
    load();
    if (!m_built || m_builtType != m_type) refreshControls();
    TransferDataToWindow();
    Validate();
    applyRepeat();
    Layout();
    Thaw();
    // The list around this point re-lays out for the new rows.
    for (wxWindow* w = GetParent(); w; w = w->GetParent()) {
        w->Layout();
        if (w->IsTopLevel()) break;
    }
}

void EditSingleAirfoilPoint::saveValues() {
    m_point.x_rel = m_x;
    m_point.repeat = m_repeat;
    m_point.data_type = m_type;
    m_point.path = std::string(wxString(m_path).utf8_str());
    m_point.csv_separator = m_separator;
    m_point.preceeding_line = std::string(wxString(m_precedingLine).utf8_str());
    m_point.max_passes = m_maxPasses;
    m_point.a_min = m_aMin;
    m_point.a_max = m_aMax;
    m_point.a_step = m_aStep;
    m_point.guess_reynolds = m_guessReynolds;
    m_point.rey_min = m_reMin;
    m_point.rey_max = m_reMax;
    m_point.ncrit = m_ncrit;
    m_point.extension = m_extension;
    m_point.cd_max = m_cdMax;
    auto* event = new wxCommandEvent(kvnEVT_POINT_CHANGED, GetId());
    event->SetEventObject(this);
    GetEventHandler()->QueueEvent(event);
}

void EditSingleAirfoilPoint::onUpdatedValue(wxCommandEvent& event) {
    saveValues();
    // A new type brings other rows; they are built once the choice's event is over. A
    // type that waited beside red text and went with a key typed elsewhere waits for the
    // end of that edit: rebuilding the rows would take the field being typed into.
    if (m_type == m_builtType) return;
    if (event.GetEventObject() == m_typeChoice) {
        CallAfter([this] { update(); });
    } else {
        m_rowsOutdated = true;
        rebuildOutdatedRows();
    }
}

void EditSingleAirfoilPoint::endEdit() {
    EditSection::endEdit();
    rebuildOutdatedRows();
}

void EditSingleAirfoilPoint::rebuildOutdatedRows() {
    if (!m_rowsOutdated) return;
    CallAfter([this] {
        if (!m_rowsOutdated || editing()) return;  // the end of that edit comes back here
        m_rowsOutdated = false;
        // A focus on a row that goes moves to the type, whose rows come.
        const std::vector<wxWindow*> children(m_rows->GetChildren().begin(), m_rows->GetChildren().end());
        const auto focus = std::find(children.begin(), children.end(), wxWindow::FindFocus());
        const bool focusGoes = focus != children.end() && focus - children.begin() >= static_cast<long>(m_firstTypeChild);
        update();
        if (focusGoes) m_typeChoice->SetFocus();
    });
}

std::vector<int> EditSingleAirfoilPoint::columnWidths() {
    if (!m_grid) return {};  // not built yet
    keepColumnWidths({});
    m_grid->CalcMin();
    const wxArrayInt& widths = m_grid->GetColWidths();
    return std::vector<int>(widths.begin(), widths.end());
}

void EditSingleAirfoilPoint::keepColumnWidths(const std::vector<int>& widths) {
    // A row of spacers far below the rows, as wide as the columns are to be.
    constexpr int kSpacerRow = 100;
    if (!m_grid) return;
    for (std::size_t col = m_widthSpacers.size(); col < widths.size(); ++col)
        m_widthSpacers.push_back(m_grid->Add(0, 0, wxGBPosition(kSpacerRow, static_cast<int>(col))));
    for (std::size_t col = 0; col < m_widthSpacers.size(); ++col)
        m_widthSpacers[col]->SetMinSize(col < widths.size() ? widths[col] : 0, 0);
}

bool EditSingleAirfoilPoint::hasDataFile(bemt::AirfoilType type) {
    return bemt::readsDataFile(type);
}

void EditSingleAirfoilPoint::browse() {
    wxString kind = "coordinates", label = "Coordinates";
    if (m_type == bemt::CSVData) kind = label = "CSV";
    if (m_type == bemt::AeroDynTable) kind = label = "AeroDyn table";
    if (m_type == bemt::XfoilPolarFile) kind = label = "XFOIL polar";
    const wxString wildcard = label + " text files (*.*)|*.*";
    const wxString path = m_project->fileManager()->getAnyFilePath(wildcard, "Open " + kind + " text file", this);
    if (path.empty() || !m_pathCtrl) return;
    m_pathCtrl->SetValue(path);
    postUpdatedValue(m_pathCtrl);
}
