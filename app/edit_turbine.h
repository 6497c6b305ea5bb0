#pragma once
// "Turbine": the turbine around the rotor (rated power, efficiency, control mode, rotor
// speed and pitch limits, cut-in and cut-out, the wind speeds of the power curve, the
// wind climates of the annual energy and the availability). A project that states none
// shows the defaults for its rotor; the first valid edit stores them in the project.
// Values the turbine cannot hold turn their fields red and are not stored.

#include <map>
#include <optional>
#include <string>

#include "app/edit_section.h"
#include "turbine/TurbineSettings.h"

class KvpProject;
class wxButton;

class EditTurbine : public EditSection {
public:
    EditTurbine(wxWindow* parent, KvpProject* project);

    void update() override;
    // The defaults of the project's rotor, while the project states no turbine settings,
    // keeping any red text.
    void followRotor();
    void saveValues() override;
    void endEdit() override;

    // Climates as the field shows them: one per line, "k, A, name".
    static std::string climatesText(const std::vector<bemt::WindClimate>& climates);
    // The climates of the field's text; false when a line does not read as "k, A[, name]"
    // (a comma between two digits is refused as a possible decimal comma), with why
    // naming the line.
    static bool parseClimates(const wxString& text, std::vector<bemt::WindClimate>& climates,
                              wxString* why = nullptr);

    wxTextCtrl* field(const std::string& key) const;
    wxChoice* controlChoice() const { return m_controlChoice; }
    wxCheckBox* automaticTsrBox() const { return m_automaticBox; }
    wxButton* defaultsButton() const { return m_defaultsBtn; }
    wxStaticText* sourceLabel() const { return m_sourceLabel; }

private:
    // Says where the settings come from, or why red text is not stored.
    void showNote(const wxString& text);
    bemt::TurbineSettings settingsFromFields() const;
    // The settings the texts of the fields give, where they hold numbers.
    bemt::TurbineSettings settingsFromTexts() const;
    // The message of a rule the texts break for key, if any.
    std::optional<std::string> problemOf(const std::string& key) const;
    // For a rule that orders two fields: whether it marks the field of key; empty for
    // any other problem.
    std::optional<bool> orderMarks(const bemt::TurbineSettingProblem& problem, const std::string& key) const;
    // The keys of the two fields a problem says are out of order, first and second; empty
    // for any other problem.
    static std::optional<std::pair<std::string, std::string>> orderedPair(const bemt::TurbineSettingProblem& problem);
    // Of two fields out of order, the key of the one marked red.
    std::string orderMarked(const std::pair<std::string, std::string>& pair) const;
    void showSource();
    // Says why the fields shown in red are not stored.
    void showRedNote();
    // A problem as the page names it: field labels for keys, megawatts for rated power.
    wxString problemText(const bemt::TurbineSettingProblem& problem) const;

    KvpProject* m_project;
    bemt::TurbineSettings m_settings;
    double m_ratedMw = 0.0;
    bool m_automaticTsr = true;
    static constexpr double kShownAutomaticTsr = 7.0;
    double m_tsr = kShownAutomaticTsr;
    std::string m_climates;
    std::optional<bemt::TurbineSettings> m_editStart;  // the project's at the start of the edit

    std::map<std::string, wxTextCtrl*> m_fields;  // by the key of the project file
    wxChoice* m_controlChoice = nullptr;
    wxCheckBox* m_automaticBox = nullptr;
    wxButton* m_defaultsBtn = nullptr;
    wxStaticText* m_sourceLabel = nullptr;
};
