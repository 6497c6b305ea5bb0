#include "app/edit_turbine.h"

#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/scrolwin.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "app/kvp_project.h"
#include "bemt/NumberText.h"

namespace {

constexpr int kColumns = 6;

// The fields that show a setting as it is stored (rated power shows megawatts, and the
// tip speed ratio may be automatic).
const std::pair<const char*, double bemt::TurbineSettings::*> kPlainNumbers[] = {
    {"efficiency", &bemt::TurbineSettings::efficiency}, {"rpm_min", &bemt::TurbineSettings::rpm_min},
    {"rpm_max", &bemt::TurbineSettings::rpm_max},       {"fine_pitch", &bemt::TurbineSettings::fine_pitch},
    {"max_pitch", &bemt::TurbineSettings::max_pitch},   {"cut_in", &bemt::TurbineSettings::cut_in},
    {"cut_out", &bemt::TurbineSettings::cut_out},       {"wind_min", &bemt::TurbineSettings::wind_min},
    {"wind_max", &bemt::TurbineSettings::wind_max},     {"wind_step", &bemt::TurbineSettings::wind_step},
    {"availability", &bemt::TurbineSettings::availability},
};

// The rules that order two fields, which the turbine's checks file under the second.
const std::pair<std::string, std::string> kOrderedPairs[] = {
    {"rpm_min", "rpm_max"}, {"fine_pitch", "max_pitch"}, {"cut_in", "cut_out"}, {"wind_min", "wind_max"}};

// A number as the turbine's rules write it ("%g", in any locale).
std::string shortNumber(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr;
    return std::string(buffer, end);
}

}  // namespace

EditTurbine::EditTurbine(wxWindow* parent, KvpProject* project) : EditSection(parent, "Turbine"), m_project(project) {
    auto* grid = new wxGridBagSizer();
    const wxGBSpan fullRow(1, kColumns);
    // The rules between fields (speeds, pitch and wind ordered, cut-in below cut-out) hold
    // the texts as they stand, so that the field of the key a rule names turns red.
    auto number = [&](const std::string& key, double* value, int row, int col, const wxString& label,
                      const wxString& units, const wxString& tooltip) {
        wxTextCtrl* field = setupInput(grid, row, col, label, units, tooltip);
        field->SetValidator(InputNumberValidator<double>(value, false, 0.0, 0.0, [this, key](double) {
            return !problemOf(key);
        }));
        m_fields[key] = field;
    };
    number("rated_power", &m_ratedMw, 0, 0, "Rated power", "[MW]",
           "Electrical power the controller holds above the rated wind speed.");
    number("efficiency", &m_settings.efficiency, 0, 3, "Efficiency", "[-]",
           "Drivetrain and generator efficiency: electrical power over rotor power, over 0 and at most 1.");
    wxArrayString modes;
    modes.Add("Variable speed, variable pitch");
    modes.Add("Variable speed, fixed pitch");
    modes.Add("Fixed speed, variable pitch");
    modes.Add("Fixed speed, fixed pitch");
    m_controlChoice = setupChoice<bemt::ControlMode>(
        grid, 1, 0, modes, &m_settings.control,
        {bemt::ControlMode::VariableSpeedVariablePitch, bemt::ControlMode::VariableSpeedFixedPitch,
         bemt::ControlMode::FixedSpeedVariablePitch, bemt::ControlMode::FixedSpeedFixedPitch},
        "Control", "Variable speed holds the tip speed ratio between the rotor speed limits; variable pitch turns the "
                   "blades towards feather above rated power.",
        1, 4);
    number("rpm_min", &m_settings.rpm_min, 2, 0, "Min. rotor speed", "[rpm]", "Lowest rotor speed.");
    number("rpm_max", &m_settings.rpm_max, 2, 3, "Max. rotor speed", "[rpm]",
           "Highest rotor speed; a fixed-speed rotor runs at this speed.");
    m_automaticBox = setupCheckbox(grid, 3, 0, "Automatic tip speed ratio", &m_automaticTsr,
                                   "The tip speed ratio of maximal power coefficient at fine pitch.");
    number("tsr_target", &m_tsr, 3, 3, "Tip speed ratio", "[-]", "Tip speed ratio held below rated power.");
    number("fine_pitch", &m_settings.fine_pitch, 4, 0, "Fine pitch", wxS("[°]"), "Blade pitch below rated power.");
    number("max_pitch", &m_settings.max_pitch, 4, 3, "Max. pitch", wxS("[°]"), "Largest pitch towards feather.");
    number("cut_in", &m_settings.cut_in, 5, 0, "Cut-in", "[m/s]", "Lowest wind speed of operation.");
    number("cut_out", &m_settings.cut_out, 5, 3, "Cut-out", "[m/s]", "Highest wind speed of operation.");
    setupDivider(grid, 6, kColumns);
    number("wind_min", &m_settings.wind_min, 7, 0, "Min. wind", "[m/s]", "First wind speed of the power curve.");
    number("wind_max", &m_settings.wind_max, 7, 3, "Max. wind", "[m/s]", "Last wind speed of the power curve.");
    number("wind_step", &m_settings.wind_step, 8, 0, "Wind step", "[m/s]",
           "Step of the power curve's wind speeds, and the width of the annual energy's wind bins.");
    number("availability", &m_settings.availability, 8, 3, "Availability", "[-]",
           "Share of the year the turbine runs, 0 to 1.");
    setupHeading(grid, 9, 0, "Wind climates (Weibull shape k, scale A in m/s, name; one per line)", kColumns);
    auto* climates = new wxTextCtrl(getContainer(), wxID_ANY, wxEmptyString, wxDefaultPosition,
                                    FromDIP(wxSize(-1, 70)), wxTE_MULTILINE);
    climates->SetToolTip("For example \"2, 9.59, Rayleigh, mean 8.5 m/s\": commas separate k, A and the name, \".\" is "
                         "the decimal point. The annual energy is computed for each.");
    climates->SetValidator(InputStringValidator<std::string>(&m_climates, [this](const wxString& text) {
        std::vector<bemt::WindClimate> parsed;
        return parseClimates(text, parsed) && !problemOf("wind_climates");
    }));
    bindEditing(climates);
    grid->Add(climates, wxGBPosition(10, 0), fullRow, wxEXPAND | wxALL, FromDIP(2));
    m_fields["wind_climates"] = climates;
    nameField(climates, "Wind climates");
    m_sourceLabel = new wxStaticText(getContainer(), wxID_ANY, wxEmptyString);
    // A row of its own under the button: a refusal names a line and what is wrong with it.
    // It takes the row's width and asks for none, so that no note widens a column and
    // moves the fields or the button above it.
    m_sourceLabel->SetMinSize(wxSize(1, -1));
    grid->Add(m_sourceLabel, wxGBPosition(12, 0), fullRow, wxEXPAND | wxALL, FromDIP(2));
    m_defaultsBtn = setupButton(grid, 11, 4, "Defaults for the rotor",
                                "Forgets the project's turbine settings: the defaults for its rotor apply again.",
                                wxGBSpan(1, 2), wxEXPAND, [this] {
                                    m_project->setTurbineSettings(std::nullopt, true);
                                    update();
                                });
    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    m_automaticBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        m_fields["tsr_target"]->Enable(!event.IsChecked());
        event.Skip();
    });
    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { saveValues(); });
}

wxTextCtrl* EditTurbine::field(const std::string& key) const {
    const auto it = m_fields.find(key);
    return it == m_fields.end() ? nullptr : it->second;
}

std::string EditTurbine::climatesText(const std::vector<bemt::WindClimate>& climates) {
    std::string text;
    for (const auto& c : climates) {
        if (!text.empty()) text += "\n";
        // Every digit, as the number fields show them: an untouched line reads back exactly.
        text += formatExact(c.k).utf8_string() + ", " + formatExact(c.A).utf8_string() + ", " + c.name;
    }
    return text;
}

bool EditTurbine::parseClimates(const wxString& text, std::vector<bemt::WindClimate>& climates, wxString* why) {
    climates.clear();
    const auto refuse = [why](std::size_t line, const wxString& reason) {
        if (why) *why = wxString::Format("Wind climates, line %zu: ", line) + reason;
        return false;
    };
    // A separating comma between two digits ("9,5") reads as a decimal comma as well.
    const auto decimalComma = [](const wxString& s, int comma) {
        return comma > 0 && static_cast<size_t>(comma) + 1 < s.length() && wxIsdigit(s[static_cast<size_t>(comma) - 1])
               && wxIsdigit(s[static_cast<size_t>(comma) + 1]);
    };
    const wxArrayString lines = wxSplit(text, '\n', '\0');
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const wxString line = wxString(lines[n]).Strip(wxString::both);
        if (line.empty()) continue;
        const int first = line.Find(',');
        if (first == wxNOT_FOUND) return refuse(n + 1, "\"" + line + "\" is not \"k, A, name\".");
        const wxString rest = line.Mid(first + 1);
        const int second = rest.Find(',');
        if (decimalComma(line, first) || decimalComma(rest, second))
            return refuse(n + 1, "\"" + line + "\" has a comma between two digits, which could be a decimal comma: "
                                 "write \".\" as the decimal point and a space after each separating comma.");
        bemt::WindClimate c;
        const wxString kText = line.Left(first).Strip(wxString::both);
        const wxString aText = (second == wxNOT_FOUND ? rest : rest.Left(second)).Strip(wxString::both);
        if (!parseNumber(kText, c.k)) return refuse(n + 1, "the shape k \"" + kText + "\" is not a number.");
        if (!parseNumber(aText, c.A)) return refuse(n + 1, "the scale A \"" + aText + "\" is not a number.");
        c.name = second == wxNOT_FOUND ? ("Climate " + std::to_string(climates.size() + 1))
                                       : rest.Mid(second + 1).Strip(wxString::both).utf8_string();
        climates.push_back(c);
    }
    return true;
}

void EditTurbine::update() {
    m_settings = m_project->turbineSettings();
    m_ratedMw = m_settings.rated_power / 1e6;
    m_automaticTsr = m_settings.automaticTsr();
    // The greyed field of an automatic ratio shows the ratio a new project starts from,
    // not one a state undone or redone left behind.
    m_tsr = m_automaticTsr ? kShownAutomaticTsr : m_settings.tsr_target;
    m_climates = climatesText(m_settings.wind_climates);
    TransferDataToWindow();
    m_editStart = m_project->state().turbine;
    m_fields["tsr_target"]->Enable(!m_automaticTsr);
    Validate();
    showSource();
}

void EditTurbine::followRotor() {
    // Text the user typed (red, or waiting beside red text) is what the user is at: it
    // stays, and the untouched fields show the new defaults, which a correction then
    // stores beside it.
    std::map<std::string, wxString> typed;
    for (const auto& [key, field] : m_fields)
        if (const auto* validator = dynamic_cast<const FieldValidator*>(field->GetValidator());
            validator && !validator->showsHeldText())
            typed[key] = field->GetValue();
    // The control and the automatic tip speed ratio differ from the defaults only when
    // the user chose them: with settings stored, the page would not follow the rotor.
    const int control = m_controlChoice->GetSelection();
    const bool automatic = m_automaticBox->GetValue();
    const TypingOrder typing = typingOrder();
    update();
    restoreTypingOrder(typing);
    const bool chosen = control != m_controlChoice->GetSelection() || automatic != m_automaticBox->GetValue();
    if (typed.empty() && !chosen) return;
    m_controlChoice->SetSelection(control);
    m_automaticBox->SetValue(automatic);
    m_automaticTsr = automatic;
    m_fields.at("tsr_target")->Enable(!automatic);
    for (const auto& [key, text] : typed) m_fields.at(key)->ChangeValue(text);
    // Text that the new rotor's defaults make valid is stored, as if typed now; text still
    // red is named.
    if (Validate()) {
        TransferDataFromWindow();
        saveValues();
    } else {
        showRedNote();
    }
}

bemt::TurbineSettings EditTurbine::settingsFromTexts() const {
    // The stored values, with every number that a field's text holds in its place.
    bemt::TurbineSettings s = settingsFromFields();
    const auto typed = [this](const std::string& key, double& into, double scale = 1.0) {
        double v = 0.0;
        if (parseNumber(m_fields.at(key)->GetValue(), v)) into = v * scale;
    };
    typed("rated_power", s.rated_power, 1e6);
    if (!m_automaticTsr) typed("tsr_target", s.tsr_target);
    for (const auto& [key, member] : kPlainNumbers) typed(key, s.*member);
    std::vector<bemt::WindClimate> climates;
    if (parseClimates(m_fields.at("wind_climates")->GetValue(), climates)) s.wind_climates = climates;
    return s;
}

std::optional<std::string> EditTurbine::problemOf(const std::string& key) const {
    for (const auto& p : bemt::Turbine::problems(settingsFromTexts())) {
        if (const auto marked = orderMarks(p, key)) {
            if (*marked) return p.message;
        } else if (p.key == key || (key == "wind_climates" && p.key.rfind("wind_climates", 0) == 0)) {
            return p.message;
        }
    }
    return std::nullopt;
}

std::optional<bool> EditTurbine::orderMarks(const bemt::TurbineSettingProblem& problem, const std::string& key) const {
    const auto pair = orderedPair(problem);
    if (!pair) return std::nullopt;
    return key == orderMarked(*pair);
}

std::optional<std::pair<std::string, std::string>> EditTurbine::orderedPair(
    const bemt::TurbineSettingProblem& problem) {
    for (const auto& [first, second] : kOrderedPairs)
        if (problem.key == second && problem.message.find(first) != std::string::npos) return std::pair{first, second};
    return std::nullopt;
}

std::string EditTurbine::orderMarked(const std::pair<std::string, std::string>& pair) const {
    // The field the user typed last is the one to correct; with neither typed (a file's
    // values), the one the rule is filed under.
    const wxTextCtrl* first = m_fields.at(pair.first);
    const wxTextCtrl* second = m_fields.at(pair.second);
    return blamedField({first, second}, second) == first ? pair.first : pair.second;
}

bemt::TurbineSettings EditTurbine::settingsFromFields() const {
    bemt::TurbineSettings s = m_settings;
    // An untouched field keeps the stored watts exactly.
    if (m_ratedMw != m_settings.rated_power / 1e6) s.rated_power = scaledDecimal(m_ratedMw, 6);
    s.tsr_target = m_automaticTsr ? std::numeric_limits<double>::quiet_NaN() : m_tsr;
    parseClimates(wxString::FromUTF8(m_climates), s.wind_climates);
    return s;
}

void EditTurbine::endEdit() {
    EditSection::endEdit();
    m_editStart = m_project->state().turbine;
}

void EditTurbine::saveValues() {
    if (!Validate()) {
        // The project goes back to where the edit began (a project that stated no turbine
        // settings states none again).
        m_project->setTurbineSettings(m_editStart, true);
        m_defaultsBtn->Enable(m_project->state().turbine.has_value());
        showRedNote();
        return;
    }
    // An edit that changes no value stores nothing: defaults retyped as they are keep
    // following the rotor.
    const bemt::TurbineSettings typed = settingsFromFields();
    const bemt::TurbineSettings start =
        m_editStart ? *m_editStart : bemt::Turbine::defaults(m_project->operatingConditions());
    m_project->setTurbineSettings(korvane::sameValues(typed, start) ? m_editStart : typed, true);
    showSource();
}

void EditTurbine::showRedNote() {
    // Red text is not stored: say why, or at least that it is not.
    const auto problems = bemt::Turbine::problems(settingsFromTexts());
    std::vector<bemt::WindClimate> climates;
    wxString why = "Fields shown in red are not stored.";
    if (!parseClimates(m_fields.at("wind_climates")->GetValue(), climates, &why) || problems.empty())
        showNote(why);
    else
        showNote(problemText(problems.front()));
}

wxString EditTurbine::problemText(const bemt::TurbineSettingProblem& problem) const {
    // The rules name keys of the file in its units; the page shows labels, and megawatts.
    bemt::TurbineSettingProblem shown = problem;
    if (shown.key == "rated_power") {
        bemt::TurbineSettings inMw = settingsFromTexts();
        inMw.rated_power /= 1e6;
        for (const auto& p : bemt::Turbine::problems(inMw))
            if (p.key == shown.key) shown = p;
    }
    // Two fields out of order: the message names the field marked, the one to correct.
    if (const auto pair = orderedPair(shown); pair && orderMarked(*pair) == pair->first) {
        const bemt::TurbineSettings texts = settingsFromTexts();
        const auto value = [&texts](const std::string& key) {
            for (const auto& [plain, member] : kPlainNumbers)
                if (key == plain) return shortNumber(texts.*member);
            return std::string();
        };
        // Cut-in must lie below cut-out; the other pairs may be equal.
        const std::string relation = pair->first == "cut_in" ? "must be below " : "must not be above ";
        shown = {pair->first, relation + pair->second + " (" + value(pair->second) + "), not " + value(pair->first) + "."};
    }
    wxString text = wxString::FromUTF8(shown.key + " " + shown.message);
    if (shown.key.rfind("wind_climates[", 0) == 0) {
        // "wind_climates[0].k" is the first climate's shape k.
        const auto close = shown.key.find(']');
        const unsigned long index = std::stoul(shown.key.substr(14, close - 14));
        text = wxString::Format("%s, climate %lu: %s %s", fieldName(m_fields.at("wind_climates")), index + 1,
                                shown.key.substr(close + 2), shown.message);
    }
    for (const auto& [key, field] : m_fields) text.Replace(wxString::FromUTF8(key), fieldName(field));
    return text;
}

void EditTurbine::showSource() {
    const bool stated = m_project->state().turbine.has_value();
    showNote(stated ? "Stored in the project." : "Defaults for the rotor (not stored yet).");
    m_defaultsBtn->Enable(stated);
}

void EditTurbine::showNote(const wxString& text) {
    if (m_sourceLabel->GetLabel() == text) return;
    m_sourceLabel->SetLabel(text);
    // Wrapped to the width of the climates box above it (the full row), the page growing
    // downwards with it, so that no word is cut and no column moves.
    const int width = m_fields.at("wind_climates")->GetSize().x;
    if (width > 0) m_sourceLabel->Wrap(width);
    m_sourceLabel->SetMinSize(wxSize(1, -1));  // a new label sets the size it asks for
    if (wxWindow* page = GetParent()) {
        page->Layout();
        if (auto* scrolled = dynamic_cast<wxScrolledWindow*>(page)) scrolled->FitInside();
    }
}
