#include "app/optimise_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cmath>

#include "app/edit_section.h"
#include "bemt/NumberText.h"
#include "results/error_box.h"

namespace {

// The integer fields, then the limits that may be left empty (no limit).
const char* const kCounts[] = {"control_points", "budget"};
const char* const kLimits[] = {"max_chord", "max_thrust", "max_thrust_ratio", "max_root_moment"};

using LimitMember = double korvane::OptimisationSettings::*;
using CountMember = int korvane::OptimisationSettings::*;

LimitMember limitMember(const std::string& key) {
    using S = korvane::OptimisationSettings;
    if (key == "max_chord") return &S::max_chord;
    if (key == "max_thrust") return &S::max_thrust;
    if (key == "max_thrust_ratio") return &S::max_thrust_ratio;
    return &S::max_root_moment;
}

CountMember countMember(const std::string& key) {
    using S = korvane::OptimisationSettings;
    return key == "budget" ? &S::budget : &S::control_points;
}

}  // namespace

OptimiseDialog::OptimiseDialog(wxWindow* parent, const korvane::OptimisationSettings& settings,
                               const std::vector<std::string>& climates,
                               std::function<void(const korvane::OptimisationSettings&)> done)
    : wxDialog(parent, wxID_ANY, kTitle, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_start(settings),
      m_climates(climates),
      m_done(std::move(done)) {
    auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(8, 4)));
    grid->AddGrowableCol(1);
    const auto label = [&](const wxString& text) {
        grid->Add(new wxStaticText(this, wxID_ANY, text), 0, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
    };

    label("Objective");
    m_objective = new wxChoice(this, wxID_ANY);
    m_objective->Append("Annual energy (AEP) of a wind climate");
    m_objective->Append("Cp at the design point");
    m_objective->SetSelection(settings.objective == korvane::OptimisationObjective::PowerCoefficient ? 1 : 0);
    m_objective->SetToolTip("The annual energy under the turbine settings' control, as the power curve computes it, "
                            "or the power coefficient at the project's design point.");
    grid->Add(m_objective, 0, wxEXPAND);
    label("Wind climate");
    m_climate = new wxChoice(this, wxID_ANY);
    for (const std::string& name : climates) m_climate->Append(wxString::FromUTF8(name));
    int chosen = 0;
    for (std::size_t i = 0; i < climates.size(); ++i)
        if (climates[i] == settings.climate) chosen = static_cast<int>(i);
    if (!climates.empty()) m_climate->SetSelection(chosen);
    m_climate->SetToolTip("The wind climate of the turbine settings whose annual energy is maximised.");
    grid->Add(m_climate, 0, wxEXPAND);
    m_labels["climate"] = "Wind climate";

    addField(grid, {"control_points", "Control points", "Chord and twist points, evenly between the first and last chord point."},
             wxString::Format("%d", settings.control_points));
    label("Vary");
    auto* vary = new wxBoxSizer(wxHORIZONTAL);
    addBox(vary, "chord", "Chord", settings.vary_chord, "The chord at the control points.");
    addBox(vary, "twist", "Twist", settings.vary_twist, "The twist at the control points.");
    addBox(vary, "tsr", "Tip speed ratio", settings.vary_tsr,
           "The controller's target tip speed ratio (the design point's for Cp).");
    grid->Add(vary);
    m_labels["vary"] = "Vary";
    grid->AddSpacer(0);
    addBox(grid, "free_root_chord", "Free the root chord", settings.free_root_chord,
           "A blade's root chord is set by its hub connection: it stays as the project has it unless freed.");
    grid->AddSpacer(0);
    addBox(grid, "designed_start", "Start from the blade design", settings.start_designed,
           "Start from the blade of optimal performance (with the largest chord allowed) instead of the project's.");
    const auto limitText = [](double value) { return std::isnan(value) ? wxString() : formatExact(value); };
    addField(grid, {"max_chord", "Max. chord [m]", "The largest chord of the blade; empty: no limit."},
             limitText(settings.max_chord));
    addField(grid, {"max_thrust", "Max. thrust [N]", "The largest rotor thrust over the power curve; empty: no limit."},
             limitText(settings.max_thrust));
    addField(grid, {"max_thrust_ratio", "Max. thrust ratio [-]",
                    "The largest rotor thrust as a share of the starting blade's; empty: no limit."},
             limitText(settings.max_thrust_ratio));
    addField(grid, {"max_root_moment", "Max. root moment [N m]",
                    "The largest root flapwise bending moment of one blade over the power curve; empty: no limit."},
             limitText(settings.max_root_moment));
    addField(grid, {"budget", "Budget [evaluations]",
                    "Blade evaluations at most, finite differences included; the best feasible blade found is kept."},
             wxString::Format("%d", settings.budget));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 0, wxEXPAND | wxALL, FromDIP(10));
    m_note = new wxStaticText(this, wxID_ANY, wxEmptyString);
    sizer->Add(m_note, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(sizer);
    SetMinSize(GetSize());

    m_objective->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { check(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onOk(); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Destroy(); }, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
    check();
}

wxTextCtrl* OptimiseDialog::addField(wxSizer* grid, const Field& field, const wxString& text) {
    grid->Add(new wxStaticText(this, wxID_ANY, field.label), 0, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
    auto* control = new wxTextCtrl(this, wxID_ANY, text);
    control->SetToolTip(field.tooltip);
    control->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { check(); });
    grid->Add(control, 0, wxEXPAND);
    m_fields[field.key] = control;
    m_labels[field.key] = field.label;
    return control;
}

wxCheckBox* OptimiseDialog::addBox(wxSizer* sizer, const std::string& name, const wxString& label, bool value,
                                   const wxString& tooltip) {
    auto* box = new wxCheckBox(this, wxID_ANY, label);
    box->SetValue(value);
    box->SetToolTip(tooltip);
    box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { check(); });
    sizer->Add(box, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(8));
    m_boxes[name] = box;
    return box;
}

korvane::OptimisationSettings OptimiseDialog::settings() const {
    korvane::OptimisationSettings s = m_start;
    s.objective = m_objective->GetSelection() == 1 ? korvane::OptimisationObjective::PowerCoefficient
                                                   : korvane::OptimisationObjective::AnnualEnergy;
    // The first climate stays "the first" unless another is chosen.
    const int climate = m_climate->GetSelection();
    if (climate > 0 || (climate == 0 && !m_start.climate.empty()))
        s.climate = m_climates[static_cast<std::size_t>(climate)];
    s.vary_chord = m_boxes.at("chord")->GetValue();
    s.vary_twist = m_boxes.at("twist")->GetValue();
    s.vary_tsr = m_boxes.at("tsr")->GetValue();
    s.free_root_chord = m_boxes.at("free_root_chord")->GetValue();
    s.start_designed = m_boxes.at("designed_start")->GetValue();
    for (const char* key : kCounts) {
        int value = 0;
        if (parseNumber(m_fields.at(key)->GetValue(), value)) s.*countMember(key) = value;
    }
    for (const char* key : kLimits) {
        const wxString text = m_fields.at(key)->GetValue().Strip(wxString::both);
        double value = 0.0;
        if (text.empty())
            s.*limitMember(key) = korvane::OptimisationSettings::kNone;
        else if (parseNumber(text, value))
            s.*limitMember(key) = value;
    }
    return s;
}

wxString OptimiseDialog::labelOf(const std::string& key) const {
    const auto it = m_labels.find(key);
    // A setting the dialog does not show, as the project file names it.
    return it != m_labels.end() ? it->second : wxString::FromUTF8("\"optimisation." + key + "\"");
}

std::vector<wxString> OptimiseDialog::faults() const {
    std::vector<wxString> found;
    for (const char* key : kCounts) {
        int value = 0;
        const wxString text = m_fields.at(key)->GetValue();
        if (!parseNumber(text, value)) found.push_back(labelOf(key) + ": \"" + text + "\" is not a whole number.");
    }
    for (const char* key : kLimits) {
        double value = 0.0;
        const wxString text = m_fields.at(key)->GetValue();
        if (text.Strip(wxString::both).empty() || parseNumber(text, value)) continue;
        const bool infinite = bemt::NumberText::wholeDouble(text.utf8_string()).kind ==
                              bemt::NumberText::Whole::NotFinite;
        found.push_back(labelOf(key) + ": \"" + text + (infinite ? "\" is not a finite number." : "\" is not a number."));
    }
    for (const auto& problem : korvane::Optimisation::problems(settings())) {
        // The checks name the other settings as the project file does: name them as the dialog does.
        wxString message = wxString::FromUTF8(problem.message);
        for (const auto& [key, label] : m_labels) message.Replace(wxString::FromUTF8(key) + " ", label + " ");
        for (const auto& [key, label] : m_labels) message.Replace(wxString::FromUTF8(key) + ",", label + ",");
        found.push_back(labelOf(problem.key) + ": " + message);
    }
    return found;
}

void OptimiseDialog::check() {
    m_climate->Enable(m_objective->GetSelection() == 0 && !m_climates.empty());
    const std::vector<wxString> found = faults();
    for (const auto& [key, field] : m_fields) {
        const wxString prefix = labelOf(key) + ": ";
        bool valid = true;
        for (const wxString& fault : found) valid = valid && !fault.StartsWith(prefix);
        markValidity(field, valid);
    }
    m_note->SetLabel(found.empty() ? wxString() : found.front());
    wrapNote();
    Layout();
}

void OptimiseDialog::wrapNote() {
    // As wide as the fields above it.
    m_note->Wrap(std::max(GetClientSize().x - FromDIP(20), FromDIP(300)));
}

void OptimiseDialog::onOk() {
    const std::vector<wxString> found = faults();
    if (!found.empty()) {
        m_note->SetLabel(kRefusal + listedLines(found));
        wrapNote();
        Fit();
        return;
    }
    const korvane::OptimisationSettings chosen = settings();
    const auto done = m_done;
    Destroy();
    done(chosen);
}
