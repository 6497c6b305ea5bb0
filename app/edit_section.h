#pragma once
// The base panel of every editor section and of the read-only parameter panels: rows of
// labelled controls in a grid-bag layout, validators that move values between the
// controls and the section's own fields, red text for invalid input, and the command
// event kvnEVT_UPDATED_VALUE that announces an edit. A section saves its fields into
// the project on that event; nothing is transferred while any field is invalid.

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

#include "bemt/ValueLimits.h"

wxDECLARE_EVENT(kvnEVT_UPDATED_VALUE, wxCommandEvent);

// Queues kvnEVT_UPDATED_VALUE on the control; it reaches the control's own handlers
// first, then travels up to the section.
void postUpdatedValue(wxWindow* control);

// Brings the edits that fields have announced but the event loop has not yet handled
// into the project: the actions that read the project or let it go (Save, Close, New,
// a computation) run it first, for keys that arrive together with their command.
void flushFieldUpdates();

// Red text for invalid input, the system text colour otherwise.
void markValidity(wxWindow* control, bool valid);

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

// Number display with a decimal unit prefix, e.g. 1234567 W as "1.23" and "MW".
struct NumberWithUnit {
    wxString number;
    wxString unit;
};
NumberWithUnit formatNumberUnits(double value, const wxString& units, bool scaleUnits);

// "%.3g" independent of the locale, as read-only displays show numbers.
wxString formatNumber(double value);
// The shortest text that reads back to exactly this double ("1.225", "59.57773941520393"),
// as input fields show stored values: editing one digit changes nothing else.
wxString formatExact(double value);
// value × 10^exponent as the decimal number its shortest text shifted by exponent digits
// reads: 1.0000001 MW is 1000000.1 W, where the product gives 1000000.1000000001.
double scaledDecimal(double value, int exponent);
// A value a field computes from others (x from x/R and R, λ from ω R / V): 15
// significant digits, so that the last bit of a product does not show ("15.6", not
// "15.600000000000001").
wxString formatComputed(double value);
// A whole field's text as a finite number ("." as decimal point, white space around it
// allowed): "1,5", "12abc", "1 000", "1e400" and empty text are none. "-0" reads as 0.
bool parseNumber(const wxString& text, double& value);
// The same for a count, which must be whole and within int: "10" and "10.0" are 10, as
// on the command line; "4.5" is none.
bool parseNumber(const wxString& text, int& value);
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

// A validator of a field whose text the user edits. Its value follows the text only
// while the whole section is valid; otherwise it falls back to the value it had when the
// current edit began, so that text shown in red (or the valid prefix of it, such as
// "1" on the way to "1,5") never reaches the project.
class FieldValidator : public wxValidator {
public:
    // The value as it stands is where the next edit begins.
    virtual void settle() = 0;
    // Back to the value the current edit began with.
    virtual void revert() = 0;
    // Whether the field's text is valid (without colouring it).
    virtual bool acceptsText() const = 0;
    // Whether a valid text is the value the section holds: false while red text elsewhere
    // in the section holds it back, so that it has not reached the project.
    virtual bool showsHeldValue() const { return true; }
    // Whether the field shows the text its held value is shown with: false for text the
    // user typed that differs (red or waiting), true for an untouched field.
    virtual bool showsHeldText() const { return true; }
};

// A field validator bound to a value of type V: the value when the current edit began,
// settle and revert, and the red marking of a text field whose text is not accepted.
template <typename V>
class BoundFieldValidator : public FieldValidator {
public:
    void settle() override {
        if (m_value) m_base = *m_value;
    }
    void revert() override {
        if (m_value) *m_value = m_base;
    }
    bool Validate(wxWindow*) override {
        auto* text = textField();
        if (!text) return false;
        const bool valid = acceptsText();
        markValidity(text, valid);
        return valid;
    }

protected:
    explicit BoundFieldValidator(V* value) : m_value(value) {
        if (m_value) m_base = *m_value;
    }
    BoundFieldValidator(const BoundFieldValidator& other)
        : FieldValidator(), m_value(other.m_value), m_base(other.m_base) {
        Copy(other);
    }
    wxTextCtrl* textField() const { return dynamic_cast<wxTextCtrl*>(GetWindow()); }

    V* m_value;
    V m_base{};
};

// Number field validator. A null field only validates, and shows what showing() gives
// (a value the field is derived from). Numbers are shown exactly, so that a field whose
// text is unchanged gives back the very value it was filled with.
template <typename T>
class InputNumberValidator : public BoundFieldValidator<T> {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, int>);

public:
    using Check = std::function<bool(T)>;
    using Shown = std::function<std::optional<T>()>;

    explicit InputNumberValidator(T* value, bool limited = false, T min = T{}, T max = T{}, Check check = {})
        : BoundFieldValidator<T>(value), m_limited(limited), m_min(min), m_max(max), m_check(std::move(check)) {}
    InputNumberValidator(const InputNumberValidator& other) = default;
    wxObject* Clone() const override { return new InputNumberValidator(*this); }

    // A field without a value of its own shows shown() (nothing when it gives none).
    InputNumberValidator& showing(Shown shown) {
        m_shown = std::move(shown);
        return *this;
    }

    bool TransferToWindow() override {
        auto* text = this->textField();
        if (!text) return false;
        if (m_value) {
            this->m_base = *m_value;
            text->ChangeValue(textOf(*m_value));
        } else if (m_shown) {
            if (const auto shown = m_shown()) text->ChangeValue(derivedTextOf(*shown));
        }
        return true;
    }

    bool TransferFromWindow() override {
        auto* text = this->textField();
        if (!m_value || !text) return !m_value;
        T v{};
        if (!valueOf(text->GetValue(), v)) return false;
        if (!text->IsEnabled() && !accepts(text->GetValue())) return false;  // kept, not corrected
        *m_value = v;
        return true;
    }

    bool acceptsText() const override {
        auto* text = this->textField();
        // A disabled field cannot be corrected, so it must not hold the section back.
        return text && (!text->IsEnabled() || accepts(text->GetValue()));
    }
    bool Validate(wxWindow* parent) override {
        // A disabled field shows what it holds: refused text would look accepted there.
        if (auto* text = this->textField(); text && !text->IsEnabled() && !accepts(text->GetValue()))
            TransferToWindow();
        return BoundFieldValidator<T>::Validate(parent);
    }
    bool showsHeldValue() const override {
        auto* text = this->textField();
        T v{};
        return !m_value || !text || !text->IsEnabled() || !accepts(text->GetValue()) ||
               (valueOf(text->GetValue(), v) && v == *m_value);
    }
    bool showsHeldText() const override {
        auto* text = this->textField();
        const auto held = heldValue();
        return !held || !text || text->GetValue() == (m_value ? textOf(*held) : derivedTextOf(*held));
    }
    // The value the field holds, or for a field without one the value it shows.
    std::optional<T> heldValue() const {
        if (m_value) return *m_value;
        return m_shown ? m_shown() : std::nullopt;
    }

    // Whether the text parses and passes the limits and the check.
    bool accepts(const wxString& text) const {
        T v{};
        return valueOf(text, v) && acceptsValue(v);
    }
    bool acceptsValue(T v) const { return (!m_limited || (m_min <= v && v <= m_max)) && (!m_check || m_check(v)); }

    static wxString textOf(T value) {
        if constexpr (std::is_same_v<T, int>)
            return wxString::Format("%d", value);
        else
            return formatExact(value);
    }

private:
    static bool valueOf(const wxString& text, T& v) { return parseNumber(text, v); }
    static wxString derivedTextOf(T value) {
        if constexpr (std::is_same_v<T, int>)
            return textOf(value);
        else
            return formatComputed(value);
    }

    using BoundFieldValidator<T>::m_value;
    bool m_limited;
    T m_min, m_max;
    Check m_check;
    Shown m_shown;
};

// The check of a field that shows another field's value times scale() (x in m beside
// x/R, c in m beside c/R): it accepts what the other field would accept, so that neither
// form can hold a value the other refuses. The other field's validator is set first.
inline std::function<bool(double)> scaledFieldCheck(wxTextCtrl* relative, std::function<double()> scale) {
    return [relative, scale = std::move(scale)](double value) {
        const auto* rule = dynamic_cast<const InputNumberValidator<double>*>(relative->GetValidator());
        return rule && rule->acceptsValue(value / scale());
    };
}

// Choice validator: item i stands for values[i]. A choice made while another field of
// its section is red waits with the rest of the section, as typed text does.
template <typename T>
class InputChoiceValidator : public BoundFieldValidator<T> {
public:
    InputChoiceValidator(T* value, std::vector<T> values)
        : BoundFieldValidator<T>(value), m_values(std::move(values)) {}
    InputChoiceValidator(const InputChoiceValidator& other) = default;
    wxObject* Clone() const override { return new InputChoiceValidator(*this); }

    bool acceptsText() const override { return chosen().has_value(); }
    bool showsHeldValue() const override {
        const auto value = chosen();
        return !m_value || !value || *value == *m_value;
    }

    bool TransferToWindow() override {
        auto* choice = dynamic_cast<wxChoice*>(this->GetWindow());
        if (!choice || !m_value) return false;
        this->m_base = *m_value;
        int selection = wxNOT_FOUND;
        for (std::size_t i = 0; i < m_values.size(); ++i)
            if (m_values[i] == *m_value) selection = static_cast<int>(i);
        choice->SetSelection(selection);
        return true;
    }
    bool TransferFromWindow() override {
        const auto value = chosen();
        if (!value || !m_value) return false;
        *m_value = *value;
        return true;
    }
    bool Validate(wxWindow*) override {
        auto* choice = dynamic_cast<wxChoice*>(this->GetWindow());
        const bool valid = acceptsText();
        if (choice) markValidity(choice, valid);
        return valid;
    }

private:
    std::optional<T> chosen() const {
        auto* choice = dynamic_cast<wxChoice*>(this->GetWindow());
        if (!choice) return std::nullopt;
        const int selection = choice->GetSelection();
        if (selection == wxNOT_FOUND || selection >= static_cast<int>(m_values.size())) return std::nullopt;
        return m_values[static_cast<std::size_t>(selection)];
    }

    using BoundFieldValidator<T>::m_value;
    std::vector<T> m_values;
};

// Text field validator for narrow (local multibyte) or wide strings.
template <typename S>
class InputStringValidator : public BoundFieldValidator<S> {
public:
    using Check = std::function<bool(const wxString&)>;

    explicit InputStringValidator(S* value, Check check = {})
        : BoundFieldValidator<S>(value), m_check(std::move(check)) {}
    InputStringValidator(const InputStringValidator& other) = default;
    wxObject* Clone() const override { return new InputStringValidator(*this); }

    bool TransferToWindow() override {
        auto* text = this->textField();
        if (!text || !m_value) return false;
        this->m_base = *m_value;
        text->ChangeValue(toText(*m_value));
        return true;
    }
    bool TransferFromWindow() override {
        auto* text = this->textField();
        if (!text || !m_value) return false;
        *m_value = fromText(text->GetValue());
        return true;
    }
    bool acceptsText() const override {
        auto* text = this->textField();
        return text && (!m_check || m_check(text->GetValue()));
    }
    bool showsHeldValue() const override {
        auto* text = this->textField();
        return !m_value || !text || !acceptsText() || fromText(text->GetValue()) == *m_value;
    }
    bool showsHeldText() const override {
        auto* text = this->textField();
        return !m_value || !text || fromText(text->GetValue()) == *m_value;
    }

    static wxString toText(const S& value) {
        if constexpr (std::is_same_v<S, std::string>) {
            wxString text(value.c_str(), *wxConvCurrent);
            // Text the local encoding cannot read is taken as UTF-8 rather than dropped.
            if (text.empty() && !value.empty()) text = wxString::FromUTF8(value.c_str());
            return text;
        } else {
            return wxString(value);
        }
    }
    static S fromText(const wxString& text) {
        if constexpr (std::is_same_v<S, std::string>) {
            const wxCharBuffer local = text.mb_str(*wxConvCurrent);
            if (local.data() && (local.length() > 0 || text.empty())) return std::string(local.data(), local.length());
            return std::string(text.utf8_str());
        } else {
            return S(text.wc_str());
        }
    }

private:
    using BoundFieldValidator<S>::m_value;
    Check m_check;
};

class InputCheckboxValidator : public wxValidator {
public:
    explicit InputCheckboxValidator(bool* value) : m_value(value) {}
    InputCheckboxValidator(const InputCheckboxValidator& other) : wxValidator(), m_value(other.m_value) { Copy(other); }
    wxObject* Clone() const override { return new InputCheckboxValidator(*this); }
    bool TransferToWindow() override;
    bool TransferFromWindow() override;
    bool Validate(wxWindow*) override { return true; }

private:
    bool* m_value;
};

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
