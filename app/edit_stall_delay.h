#pragma once
// "Stall delay": the rotational stall delay of the project's polars (the lift model, the
// drag model, the fit window of the lift line, the fade, the largest lift change and the
// outer limit of the correction), within the limits the project file reader applies.
// Off while the lift model is "None": the other fields rest, and the project states no
// stall delay (its file has no "stall_delay"). A file's settings with lift "none" are
// shown as they are and kept until the user changes them.

#include <optional>

#include "app/edit_section.h"
#include "bemt/StallDelay.h"

class KvpProject;

class EditStallDelay : public EditSection {
public:
    EditStallDelay(wxWindow* parent, KvpProject* project);

    void update() override;
    void saveValues() override;

    // What the fields stand for: nothing without a lift model.
    static std::optional<bemt::StallDelaySettings> stated(const bemt::StallDelaySettings& settings);

    wxChoice* liftChoice() const { return m_lift; }
    wxChoice* dragChoice() const { return m_drag; }
    wxTextCtrl* fitMinField() const { return m_fitMin; }
    wxTextCtrl* fitMaxField() const { return m_fitMax; }
    wxTextCtrl* fadeStartField() const { return m_fadeStart; }
    wxTextCtrl* fadeEndField() const { return m_fadeEnd; }
    wxTextCtrl* maxDeltaClField() const { return m_maxDeltaCl; }
    wxTextCtrl* outerLimitField() const { return m_outerLimit; }

private:
    // The fields of the model take input only while a lift model is chosen.
    void enableModel(bool enable);

    KvpProject* m_project;
    bemt::StallDelaySettings m_settings;
    wxString m_outerText;  // x/R, or empty for the whole blade

    wxChoice* m_lift = nullptr;
    wxChoice* m_drag = nullptr;
    wxTextCtrl* m_fitMin = nullptr;
    wxTextCtrl* m_fitMax = nullptr;
    wxTextCtrl* m_fadeStart = nullptr;
    wxTextCtrl* m_fadeEnd = nullptr;
    wxTextCtrl* m_maxDeltaCl = nullptr;
    wxTextCtrl* m_outerLimit = nullptr;
};
