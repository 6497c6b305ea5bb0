#pragma once
// The editor of one airfoil point: its position, the "Repeat" flag, the kind of airfoil
// data and the settings of that kind (a CSV polar file, or a coordinate file analysed by
// XFOIL). The rows follow the chosen kind.

#include <string>

#include "app/edit_section.h"
#include "bemt/Records.h"

class KvpProject;

// Posted (queued, travelling up to the list) when a point's values were written.
wxDECLARE_EVENT(kvnEVT_POINT_CHANGED, wxCommandEvent);

class EditSingleAirfoilPoint : public EditSection {
public:
    // point lives in the list's vector; previous and next are its neighbours (null at the ends).
    EditSingleAirfoilPoint(wxWindow* parent, KvpProject* project, bemt::AirfoilPoint& point,
                           const bemt::AirfoilPoint* previous, const bemt::AirfoilPoint* next);

    // Builds the rows for the edited type (the rows every type has once).
    void refreshControls();
    // Loads the point into the fields and controls (rebuilding the rows when the type changed).
    void update() override;
    // Ends the edit; a type that changed with it brings its rows now.
    void endEdit() override;
    // Writes the fields into the point (texts as UTF-8) and posts kvnEVT_POINT_CHANGED.
    void saveValues() override;

    wxChoice* typeChoice() const { return m_typeChoice; }
    wxTextCtrl* positionField() const { return m_positionCtrl; }
    wxTextCtrl* absoluteField() const { return m_absoluteCtrl; }
    wxTextCtrl* pathField() const { return m_pathCtrl; }
    wxTextCtrl* aoaMinField() const { return m_aMinCtrl; }
    wxTextCtrl* aoaMaxField() const { return m_aMaxCtrl; }
    wxTextCtrl* aoaStepField() const { return m_aStepCtrl; }
    wxTextCtrl* reMinField() const { return m_reMinCtrl; }
    wxTextCtrl* reMaxField() const { return m_reMaxCtrl; }
    wxTextCtrl* maxPassesField() const { return m_passesCtrl; }

    // The items of the "Type" choice and the values behind them.
    static wxArrayString typeItems();
    static const std::vector<bemt::AirfoilType>& typeValues();
    // The item that names a type ("NACA 0012").
    static wxString typeName(bemt::AirfoilType type);

    // What a repeating point repeats ("Repeats point 1: NACA 0015"), shown under "Repeat".
    void setRepeatNote(const wxString& note);
    wxStaticText* repeatNote() const { return m_repeatNote; }
    wxCheckBox* repeatBox() const { return m_repeatBox; }
    // The controls of the point's own airfoil data (type and its settings): greyed out
    // while the point repeats the previous one.
    std::vector<wxWindow*> ownDataControls() const;
    // The widths of the rows' columns, and the widths they keep at least (the widest of
    // every point of the list, so that the fields of all points line up).
    std::vector<int> columnWidths();
    void keepColumnWidths(const std::vector<int>& widths);
    // The kinds of data read from a file named in the "Data file" row.
    static bool hasDataFile(bemt::AirfoilType type);

private:
    void load();
    // The rows every type has: position, repeat and type.
    void buildCommonRows();
    void browse();
    // "Guess Re" checked disables the Reynolds number fields.
    void enableReynoldsFields(bool guessing);
    // The drag at 90 degrees belongs to the Viterna extension alone: the NACA data need
    // none, and a project file keeps none beside them.
    void enableCdMaxField();
    // Greys out the point's own data while it repeats the previous point's.
    void applyRepeat();
    bool repeating() const;
    void onUpdatedValue(wxCommandEvent& event);
    // Rows of a type that changed beside another edit are built once no field of the
    // point is being typed into.
    void rebuildOutdatedRows();
    double rotorRadius() const;

    KvpProject* m_project;
    bemt::AirfoilPoint& m_point;
    const bemt::AirfoilPoint* m_previous;
    const bemt::AirfoilPoint* m_next;

    double m_x = 0.0;
    bool m_repeat = false;
    bemt::AirfoilType m_type = bemt::NACA0018;
    std::wstring m_path;
    bemt::CSVSeparator m_separator = bemt::Comma;
    std::wstring m_precedingLine;
    int m_maxPasses = 5;
    double m_aMin = -10.0, m_aMax = 20.0, m_aStep = 0.5;
    bool m_guessReynolds = true;
    double m_reMin = 1e6, m_reMax = 1e7;
    int m_ncrit = 9;
    bemt::ExtensionType m_extension = bemt::ExtensionNaca;
    double m_cdMax = 0.0;

    bool m_built = false;
    bemt::AirfoilType m_builtType = bemt::NACA0018;
    wxPanel* m_rows;
    bool m_rowsOutdated = false;  // the type changed while another field was typed into
    wxChoice* m_typeChoice = nullptr;
    wxStaticText* m_repeatNote = nullptr;
    wxCheckBox* m_repeatBox = nullptr;
    std::size_t m_firstDataChild = 0;  // the rows' children from here on are the own data
    std::size_t m_firstTypeChild = 0;  // and from here on the rows of the type
    int m_firstTypeRow = 0;
    wxGridBagSizer* m_grid = nullptr;  // the rows' sizer
    std::vector<wxSizerItem*> m_widthSpacers;  // below the rows, one a column
    wxTextCtrl* m_positionCtrl = nullptr;
    wxTextCtrl* m_absoluteCtrl = nullptr;
    wxTextCtrl* m_pathCtrl = nullptr;
    wxTextCtrl *m_aMinCtrl = nullptr, *m_aMaxCtrl = nullptr, *m_aStepCtrl = nullptr;
    wxTextCtrl *m_reMinCtrl = nullptr, *m_reMaxCtrl = nullptr, *m_passesCtrl = nullptr;
    wxChoice* m_extensionChoice = nullptr;
    wxTextCtrl* m_cdMaxCtrl = nullptr;
};
