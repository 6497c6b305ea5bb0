#pragma once
// Validators of the fields a section edits: the value a field holds follows its text only
// while the text is valid, red text for invalid input, and the command event
// kvnEVT_UPDATED_VALUE that announces an edit.

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/event.h>
#include <wx/textctrl.h>
#include <wx/validate.h>

#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

#include "app/field_text.h"

wxDECLARE_EVENT(kvnEVT_UPDATED_VALUE, wxCommandEvent);

// Queues kvnEVT_UPDATED_VALUE on the control; it reaches the control's own handlers
// first, then travels up to the section.
void postUpdatedValue(wxWindow* control);

// Red text for invalid input, the system text colour otherwise.
void markValidity(wxWindow* control, bool valid);


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
