#pragma once
// The base panel of every editor section and of the read-only parameter panels: rows of
// labelled controls in a grid-bag layout whose validators (app/field_validators.h) move
// values between the controls and the section's own fields. A section saves its fields
// into the project on kvnEVT_UPDATED_VALUE; nothing is transferred while any field is
// invalid.

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/event.h>
#include <wx/gbsizer.h>
#include <wx/panel.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/validate.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "app/field_validators.h"
#include "bemt/ValueLimits.h"

// Brings the edits that fields have announced but the event loop has not yet handled
// into the project: the actions that read the project or let it go (Save, Close, New,
// a computation) run it first, for keys that arrive together with their command.
void flushFieldUpdates();


// The text in the status bar of the frame that holds window (if it has one).
void showStatus(wxWindow* window, const wxString& text);
// What the status bar says when a new hub or rotor radius moved the points of the lists.
extern const wxString kPointsFollowTheHub;
// What it says when there is nothing to report.
extern const wxString kStatusReady;
// After a remap of the points for a new hub or rotor radius: the note when they moved
// from where the edit began; none once the radii are back where it began (a valid "2" on
// the way to a red "2,5" moved them and moved them back).
void showPointsFollowNote(wxWindow* window, bool moved, bool radiiBack);

// What a point list says when a point is to be inserted or removed beside red text, and
// Undo and Redo.
extern const wxString kListRebuildRefused;
extern const wxString kUndoRefused;
extern const wxString kRedoRefused;
// Before an action that shows the project's values in the fields again (a point inserted
// or removed, Undo, Redo): false, after an error box that begins with action and names
// them, while the fields unstored hold text that is not in the project, which the action
// would drop.
bool acceptsAction(wxWindow* parent, const wxString& action, const std::vector<wxString>& unstored);

// Whether releasing this key edited the text of a field.
bool isEditingKey(int keyCode, bool controlDown, bool altDown);

// The text of another field that a rule between fields reads: a number within that
// field's own range. False while that field is red by itself, so that the rule leaves the
// fault to it instead of turning a valid field red as well.
bool readPartner(const wxTextCtrl* field, const bemt::ValueLimit& limits, double& value);
// The number a field stands for where other fields follow it: its text, or while that is
// red the value it holds (the project's), so that no field is computed from red text.
bool readSource(const wxTextCtrl* field, double& value);
// Writes a value one field follows from others (a tip speed ratio, a step, x in m): its
// section takes the change as the program's, part of the edit of the field it follows,
// where any other change of a field's text is the user's (a key, a paste, a drop). A
// number that is not finite leaves the field alone.
void writeDerived(wxTextCtrl* field, const wxString& text);
void writeDerived(wxTextCtrl* field, double value);

// The mouse wheel over a choice or slider inside a scrolled page scrolls the page, as it
// does over the rest of the page: turning the wheel to read on must not change a setting
// on its way (GTK turns such controls by the wheel). Outside a scrolled page the control
// keeps its own wheel behaviour.
void scrollPageOnWheel(wxWindow* control);

// Fields that only some computations use, so that red text in them stops those alone.
enum FieldUse : unsigned {
    kDesignPoint = 1u,            // wind, rotation speed and tip speed ratio of the design point
    kCharacteristicsRange = 2u,   // the range of the characteristics
    kDesignChordLimit = 4u,       // the chord limit of the blade design
    kPitchSweep = 8u,             // the pitch angles of the design point
    kDefaultRotorSpeeds = 16u,    // the rotation speed, which the default turbine's rotor speeds follow
    kRotorGeometry = 32u,         // cone, tilt, yaw, shear and sectors, which the blade design leaves out
};

class EditSection : public wxPanel {
public:
    // A non-empty title heads the section.
    explicit EditSection(wxWindow* parent, const wxString& title = wxEmptyString);

    // The window that holds the rows: the section itself unless a derived section
    // supplies another one (a scrolled inner panel, for example).
    wxWindow* getContainer() const { return m_container; }
    void setContainer(wxWindow* container);

    // Loads the project's values into the section's fields and controls.
    virtual void update() {}
    // Writes the section's fields into the project.
    virtual void saveValues() {}

    // The fields of this section and the sections inside it that hold invalid input,
    // each as "<section>: <field>" (checking them colours them).
    // Fields marked with a use in `unused` (fields a computation does not use) are left out,
    // unless they hold back a valid edit of a field the computation uses: that edit has not
    // reached the project, which would compute with what the form no longer shows.
    std::vector<wxString> invalidFields(unsigned unused = 0);
    // The fields whose text is not in the project: red text typed, or a valid text that
    // red text holds back. Leaving the project loses them, so the user is asked first.
    std::vector<wxString> unstoredFields();
    // acceptsAction() for the fields of this section.
    bool acceptsAction(const wxString& action);
    // The computations that use a field only some of them use (FieldUse bits).
    void markFieldUse(const wxWindow* field, unsigned uses) { m_fieldUses[field] = uses; }
    // How messages name this section and its fields (the heading, unless set).
    void setMessageTitle(const wxString& title) { m_messageTitle = title; }
    void nameField(const wxWindow* control, const wxString& name);
    // The name messages give the field (its label, unless set).
    wxString fieldName(const wxWindow* control) const;
    // Of fields that a rule joins (an order, a sum), the one a broken rule marks: the one
    // the user changed last since the section showed its values, so that the field just
    // typed turns red and the untouched one stays as it is; filedUnder while the user has
    // changed none of them (a file's values).
    const wxWindow* blamedField(std::initializer_list<const wxWindow*> fields, const wxWindow* filedUnder) const;
    // Whether field is the one blamedField names.
    bool blames(const wxWindow* field, std::initializer_list<const wxWindow*> fields, const wxWindow* filedUnder) const {
        return blamedField(fields, filedUnder) == field;
    }
    // The check of field against other, which a rule joins to it (the radius above the hub,
    // the first angle not above the last): it passes while other is red by itself (its
    // own fault), while holds(other's number) and while a broken rule marks other.
    bool pairPasses(const wxTextCtrl* field, const wxTextCtrl* other, const bemt::ValueLimit& otherLimits,
                    const wxTextCtrl* filedUnder, const std::function<bool(double)>& holds) const {
        double value = 0.0;
        return !readPartner(other, otherLimits, value) || holds(value) || !blames(field, {field, other}, filedUnder);
    }

    // Validators of this section only (nested sections keep their own): every field is
    // checked and coloured; transfers visit every field.
    bool Validate() override;
    // Shows the section's values; the next edit begins from them.
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // The edit of the field being typed into ends: its value is where the next edit
    // of any field of this section and the sections inside it begins.
    virtual void endEdit();

    // See writeDerived().
    void writeDerivedText(wxTextCtrl* field, const wxString& text);

protected:
    wxBoxSizer* sectionSizer() const { return m_sizer; }
    // When the user last changed each field (see blamedField), to keep across a reload
    // that shows the user's text again.
    using TypingOrder = std::map<const wxWindow*, std::uint64_t>;
    const TypingOrder& typingOrder() const { return m_typedAt; }
    void restoreTypingOrder(TypingOrder order) { m_typedAt = std::move(order); }
    // Whether the user is typing into a field of this section (an edit not yet ended).
    bool editing() const { return m_editing != nullptr; }

    // Row builders. Each places its controls in the container and returns the main one.
    wxTextCtrl* setupInput(wxGridBagSizer* sizer, int row, int col, const wxString& label, const wxString& units,
                           const wxString& tooltip, int rowSpan = 1, int colSpan = 1, int flags = wxEXPAND);
    wxStaticText* setupNumberUnits(wxGridBagSizer* sizer, int row, int col, const wxString& label, double value,
                                   const wxString& units, const wxString& tooltip, bool scaleUnits = true,
                                   int rowSpan = 1, int colSpan = 1, bool bold = false);
    template <typename T>
    wxChoice* setupChoice(wxGridBagSizer* sizer, int row, int col, const wxArrayString& items, T* value,
                          const std::vector<T>& values, const wxString& label, const wxString& tooltip,
                          int rowSpan = 1, int colSpan = 1, int flags = wxEXPAND);
    wxCheckBox* setupCheckbox(wxGridBagSizer* sizer, int row, int col, const wxString& label, bool* value,
                              const wxString& tooltip, const wxGBSpan& span = wxGBSpan(1, 3), int flags = 0);
    wxCheckBox* setupCheckbox(wxGridBagSizer* sizer, int row, int col, const wxString& label, const wxString& tooltip,
                              const wxGBSpan& span = wxGBSpan(1, 3), int flags = 0);
    wxButton* setupButton(wxGridBagSizer* sizer, int row, int col, const wxString& label, const wxString& tooltip,
                          const wxGBSpan& span, int flags, std::function<void()> handler);
    wxSlider* setupSlider(wxGridBagSizer* sizer, int row, int col, int value, int min, int max, const wxString& label,
                          const wxString& tooltip, const wxGBSpan& span = wxGBSpan(1, 2), int flags = wxEXPAND);
    wxWindow* setupDivider(wxGridBagSizer* sizer, int row, int colSpan);
    void setupEmptyColumn(wxGridBagSizer* sizer, int row, int col, int width = 10);
    // A bold heading of a group of rows.
    wxStaticText* setupHeading(wxGridBagSizer* sizer, int row, int col, const wxString& text, int colSpan = 3);

    // Validates every field and, when all pass, transfers them into the section's fields.
    // Otherwise every field falls back to its value at the start of the current edit;
    // when the text being edited is red, the fields the edit rewrote (derived ones) show
    // that value again: they follow the project, not text shown in red.
    void validateAndTransfer();
    // A text field of the section edits like those of setupInput: validated on every
    // change, kvnEVT_UPDATED_VALUE after each editing key, cut and paste.
    void bindEditing(wxTextCtrl* text);

private:
    // The user begins to change the text of field (a key, cut or paste).
    void beginEdit(wxTextCtrl* field);
    // The fields derived during the current edit show their values from its start again.
    void restartDerived();
    template <typename F>
    void forEachFieldValidator(F&& f);
    // Visits every field with a validator of this section and the sections inside it:
    // f(owner, field, validator, name as messages give it).
    void visitFields(const std::function<void(EditSection&, wxWindow*, wxValidator*, const wxString&)>& f);

    template <typename F>
    void forEachValidator(wxWindow* window, F&& f);
    wxStaticText* addLabel(wxGridBagSizer* sizer, int row, int col, const wxString& label, const wxString& tooltip);

    wxWindow* m_container;
    wxBoxSizer* m_sizer;
    wxString m_messageTitle;
    std::map<const wxWindow*, wxString> m_fieldNames;
    std::map<const wxWindow*, unsigned> m_fieldUses;
    const wxTextCtrl* m_editing = nullptr;  // the field of the current edit
    const wxTextCtrl* m_pressed = nullptr;  // the field an editing key went down in
    const wxTextCtrl* m_writing = nullptr;  // the field the program writes a derived value into
    std::set<const wxWindow*> m_derived;     // fields the current edit has rewritten
    TypingOrder m_typedAt;                   // the user's last change of each field, counted
    std::uint64_t m_changes = 0;             // the user's changes counted so far
};

template <typename T>
wxChoice* EditSection::setupChoice(wxGridBagSizer* sizer, int row, int col, const wxArrayString& items, T* value,
                                   const std::vector<T>& values, const wxString& label, const wxString& tooltip,
                                   int rowSpan, int colSpan, int flags) {
    addLabel(sizer, row, col, label, tooltip);
    auto* choice = new wxChoice(m_container, wxID_ANY, wxDefaultPosition, wxDefaultSize, items);
    scrollPageOnWheel(choice);
    nameField(choice, label);
    choice->SetToolTip(tooltip);
    choice->SetValidator(InputChoiceValidator<T>(value, values));
    sizer->Add(choice, wxGBPosition(row, col + 1), wxGBSpan(rowSpan, colSpan), flags | wxALIGN_CENTER_VERTICAL);
    choice->Bind(wxEVT_CHOICE, [this, choice, value](wxCommandEvent& event) {
        const T before = *value;
        if (Validate()) TransferDataFromWindow();
        endEdit();
        event.Skip();
        if (!(*value == before)) postUpdatedValue(choice);
    });
    return choice;
}
