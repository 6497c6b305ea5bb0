#pragma once
// "Optimise blade": the optimisation settings of the project in a dialog of their own
// (objective, wind climate, control points, variables, limits, budget). Each field is
// checked against the same value table as the project file, as it is typed: a field out
// of range turns red and the note under the fields says why in the table's words; OK is
// refused, naming the fields, while any is red. The dialog is not modal: the project
// stays in view, and done() receives the settings when OK is accepted.

#include <wx/dialog.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "project/optimisation_settings.h"

class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

class OptimiseDialog : public wxDialog {
public:
    static inline const wxString kTitle = "Optimise blade";
    static inline const wxString kRefusal = "Correct the fields shown in red:";

    // settings: the project's (or the defaults); climates: the names of the turbine's wind
    // climates, in their order.
    OptimiseDialog(wxWindow* parent, const korvane::OptimisationSettings& settings,
                   const std::vector<std::string>& climates,
                   std::function<void(const korvane::OptimisationSettings&)> done);

    // The settings as the fields state them, and what is wrong with them: one line per
    // fault, the field's label first.
    korvane::OptimisationSettings settings() const;
    std::vector<wxString> faults() const;

    // The controls, for tests: text fields by the settings' key (control_points, max_chord,
    // max_thrust, max_thrust_ratio, max_root_moment, budget), check boxes by name
    // (chord, twist, tsr, free_root_chord, designed_start).
    wxTextCtrl* field(const std::string& key) const { return m_fields.at(key); }
    wxCheckBox* box(const std::string& name) const { return m_boxes.at(name); }
    wxChoice* objectiveChoice() const { return m_objective; }
    wxChoice* climateChoice() const { return m_climate; }
    wxStaticText* note() const { return m_note; }

private:
    struct Field {
        const char* key;
        const char* label;
        const char* tooltip;
    };
    wxTextCtrl* addField(wxSizer* grid, const Field& field, const wxString& text);
    wxCheckBox* addBox(wxSizer* sizer, const std::string& name, const wxString& label, bool value,
                       const wxString& tooltip);
    // The label a fault of the settings' key is filed under.
    wxString labelOf(const std::string& key) const;
    // Marks every field and rewrites the note.
    void check();
    void wrapNote();
    void onOk();

    korvane::OptimisationSettings m_start;   // what the dialog does not show is kept
    std::vector<std::string> m_climates;
    std::function<void(const korvane::OptimisationSettings&)> m_done;
    std::map<std::string, wxTextCtrl*> m_fields;
    std::map<std::string, wxString> m_labels;
    std::map<std::string, wxCheckBox*> m_boxes;
    wxChoice* m_objective = nullptr;
    wxChoice* m_climate = nullptr;
    wxStaticText* m_note = nullptr;
};
