#include "app/edit_stall_delay.h"

#include "app/kvp_project.h"
#include "bemt/ValueLimits.h"

namespace {

// The settings of a project that states none.
bemt::StallDelaySettings off() {
    bemt::StallDelaySettings settings;
    settings.lift = bemt::StallLift::None;
    return settings;
}

// x/R of the outer limit: empty text is none (the whole blade).
bool readOuterLimit(const wxString& text, std::optional<double>& limit) {
    if (text.Strip(wxString::both).empty()) {
        limit.reset();
        return true;
    }
    double x = 0.0;
    if (!parseNumber(text, x) || !bemt::Limits::stallOuterLimit.contains(x)) return false;
    limit = x;
    return true;
}

// A field whose value must lie below (or above) its partner's, once the partner's own
// text is a value within its range.
InputNumberValidator<double> ordered(double* value, const bemt::ValueLimit& limit, const wxTextCtrl* partner,
                                     bool below) {
    return InputNumberValidator<double>(value, true, limit.lowest, limit.highest, [partner, limit, below](double v) {
        double other = 0.0;
        return !readPartner(partner, limit, other) || (below ? v < other : v > other);
    });
}

}  // namespace

EditStallDelay::EditStallDelay(wxWindow* parent, KvpProject* project)
    : EditSection(parent, "Stall delay"), m_project(project), m_settings(off()) {
    auto* grid = new wxGridBagSizer();
    wxArrayString lifts;
    for (const auto lift : {bemt::StallLift::None, bemt::StallLift::DuSelig, bemt::StallLift::Snel})
        lifts.Add(wxString::FromUTF8(bemt::StallDelay::liftLabel(lift)));
    m_lift = setupChoice<bemt::StallLift>(
        grid, 0, 0, lifts, &m_settings.lift, {bemt::StallLift::None, bemt::StallLift::DuSelig, bemt::StallLift::Snel},
        "Lift model",
        "Rotational stall delay of the 2D polars: none, Du and Selig's model (1998) or Snel's (1994). Polars that "
        "are already corrected (as the NREL 5-MW tables) need none.");
    wxArrayString drags;
    for (const auto drag : {bemt::StallDrag::None, bemt::StallDrag::Eggers})
        drags.Add(wxString::FromUTF8(bemt::StallDelay::dragLabel(drag)));
    m_drag = setupChoice<bemt::StallDrag>(grid, 0, 3, drags, &m_settings.drag,
                                          {bemt::StallDrag::None, bemt::StallDrag::Eggers}, "Drag model",
                                          "The drag change that goes with the lift change: Eggers et al. (2003) "
                                          "or none.");
    m_fitMin = setupInput(grid, 1, 0, "Fit from", wxS("[°]"),
                          "Start of the angle window of the least-squares lift line. -30 to 30 degrees.");
    m_fitMax = setupInput(grid, 1, 3, "Fit to", wxS("[°]"),
                          "End of the angle window of the least-squares lift line, above its start.");
    m_fadeStart = setupInput(grid, 2, 0, "Fade start", wxS("[°]"),
                             "Angle of attack up to which the full correction applies. 0 to 80 degrees.");
    m_fadeEnd = setupInput(grid, 2, 3, "Fade end", wxS("[°]"),
                           "Angle of attack beyond which nothing is corrected, above the fade start.");
    m_maxDeltaCl = setupInput(grid, 3, 0, wxS("Max. Δcl"), "[-]",
                              "Largest change of the lift coefficient, either way. 0 to 2.");
    m_outerLimit = setupInput(grid, 3, 3, "Up to x/R", "[-]",
                              "Relative position beyond which nothing is corrected; empty: the whole blade (the "
                              "models fade out outboard by themselves).");
    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    using bemt::Limits::stallFadeAngle;
    using bemt::Limits::stallFitAngle;
    m_fitMin->SetValidator(ordered(&m_settings.fit_min, stallFitAngle, m_fitMax, true));
    m_fitMax->SetValidator(ordered(&m_settings.fit_max, stallFitAngle, m_fitMin, false));
    m_fadeStart->SetValidator(ordered(&m_settings.fade_start, stallFadeAngle, m_fadeEnd, true));
    m_fadeEnd->SetValidator(ordered(&m_settings.fade_end, stallFadeAngle, m_fadeStart, false));
    m_maxDeltaCl->SetValidator(InputNumberValidator<double>(&m_settings.max_delta_cl, true,
                                                            bemt::Limits::stallMaxDeltaCl.lowest,
                                                            bemt::Limits::stallMaxDeltaCl.highest));
    m_outerLimit->SetValidator(InputStringValidator<wxString>(&m_outerText, [](const wxString& text) {
        std::optional<double> limit;
        return readOuterLimit(text, limit);
    }));

    // Bound after the choice's own handler, so it runs first: the fields are enabled or
    // disabled before the section validates and stores the choice.
    m_lift->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        enableModel(m_lift->GetSelection() > 0);
        event.Skip();
    });
    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { saveValues(); });
}

std::optional<bemt::StallDelaySettings> EditStallDelay::stated(const bemt::StallDelaySettings& settings) {
    if (settings.lift == bemt::StallLift::None) return std::nullopt;
    return settings;
}

void EditStallDelay::enableModel(bool enable) {
    for (wxWindow* field : std::initializer_list<wxWindow*>{m_drag, m_fitMin, m_fitMax, m_fadeStart, m_fadeEnd,
                                                             m_maxDeltaCl, m_outerLimit})
        field->Enable(enable);
    Validate();
}

void EditStallDelay::update() {
    m_settings = m_project->stallDelay().value_or(off());
    m_outerText = m_settings.x_max ? formatExact(*m_settings.x_max) : wxString();
    TransferDataToWindow();
    enableModel(m_settings.lift != bemt::StallLift::None);
}

void EditStallDelay::saveValues() {
    bemt::StallDelaySettings settings = m_settings;
    readOuterLimit(m_outerText, settings.x_max);
    m_project->setStallDelay(stated(settings), true);
}
