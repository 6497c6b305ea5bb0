#include "app/edit_section.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <locale>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "app/divider_line.h"
#include "results/error_box.h"
#include "bemt/NumberText.h"

namespace {

const int kBorder = 4;

}  // namespace

void scrollPageOnWheel(wxWindow* control) {
    control->Bind(wxEVT_MOUSEWHEEL, [control](wxMouseEvent& event) {
        for (wxWindow* w = control->GetParent(); w && !w->IsTopLevel(); w = w->GetParent()) {
            auto* page = dynamic_cast<wxScrolledWindow*>(w);
            if (!page || event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) continue;
            // wxGTK leaves the wheel of scrolled windows to GTK, which never sees this one:
            // scroll by the lines the wheel asks for.
            const int lines =
                -event.GetWheelRotation() / std::max(1, event.GetWheelDelta()) * event.GetLinesPerAction();
            int x = 0, y = 0;
            page->GetViewStart(&x, &y);
            page->Scroll(-1, std::max(0, y + lines));
            return;
        }
        event.Skip();
    });
}


void flushFieldUpdates() {
    if (wxTheApp) wxTheApp->ProcessPendingEvents();
}


const wxString kPointsFollowTheHub =
    "The blade and airfoil points follow the new hub or rotor radius (they keep their share of the blade "
    "span); Undo restores them.";

const wxString kStatusReady = "Ready.";

const wxString kListRebuildRefused = "No point is inserted or removed";
const wxString kUndoRefused = "Nothing is undone";
const wxString kRedoRefused = "Nothing is redone";

void showPointsFollowNote(wxWindow* window, bool moved, bool radiiBack) {
    auto* frame = wxDynamicCast(wxGetTopLevelParent(window), wxFrame);
    if (!frame || !frame->GetStatusBar()) return;
    if (radiiBack) {
        if (frame->GetStatusBar()->GetStatusText() == kPointsFollowTheHub) frame->SetStatusText(kStatusReady);
    } else if (moved) {
        frame->SetStatusText(kPointsFollowTheHub);
    }
}

void showStatus(wxWindow* window, const wxString& text) {
    if (auto* frame = wxDynamicCast(wxGetTopLevelParent(window), wxFrame); frame && frame->GetStatusBar())
        frame->SetStatusText(text);
}

bool isEditingKey(int keyCode, bool controlDown, bool altDown) {
    if (keyCode == WXK_BACK || keyCode == WXK_DELETE) return true;
    if (controlDown || altDown) return false;
    if (keyCode >= 32 && keyCode <= 126) return true;
    if (keyCode >= WXK_NUMPAD0 && keyCode <= WXK_NUMPAD9) return true;
    switch (keyCode) {
        case WXK_NUMPAD_MULTIPLY:
        case WXK_NUMPAD_ADD:
        case WXK_NUMPAD_SUBTRACT:
        case WXK_NUMPAD_DECIMAL:
        case WXK_NUMPAD_DIVIDE:
            return true;
        default:
            return false;
    }
}


bool readPartner(const wxTextCtrl* field, const bemt::ValueLimit& limits, double& value) {
    return field && parseNumber(field->GetValue(), value) && limits.contains(value);
}

bool readSource(const wxTextCtrl* field, double& value) {
    // wxWindow gives its validator to non-const callers only.
    const auto* rule =
        field ? dynamic_cast<const InputNumberValidator<double>*>(const_cast<wxTextCtrl*>(field)->GetValidator())
              : nullptr;
    if (!rule || rule->acceptsText()) return field && parseNumber(field->GetValue(), value);
    const auto held = rule->heldValue();
    if (held) value = *held;
    return held.has_value();
}

void writeDerived(wxTextCtrl* field, const wxString& text) {
    for (wxWindow* w = field->GetParent(); w; w = w->GetParent()) {
        if (auto* section = dynamic_cast<EditSection*>(w)) return section->writeDerivedText(field, text);
        if (w->IsTopLevel()) break;
    }
    field->SetValue(text);
}

void writeDerived(wxTextCtrl* field, double value) {
    if (std::isfinite(value)) writeDerived(field, formatComputed(value));
}


EditSection::EditSection(wxWindow* parent, const wxString& title)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER),
      m_container(this),
      m_sizer(new wxBoxSizer(wxVERTICAL)),
      m_messageTitle(title) {
    if (!title.empty()) {
        auto* heading = new wxStaticText(this, wxID_ANY, title);
        heading->SetFont(heading->GetFont().Bold().Scaled(1.15f));
        // The size measured before the font changed would cut the title.
        heading->SetMinSize(heading->GetTextExtent(title) + FromDIP(wxSize(4, 0)));
        m_sizer->Add(heading, 0, wxALL, FromDIP(6));
    }
    SetSizer(m_sizer);
}

void EditSection::setContainer(wxWindow* container) { m_container = container ? container : this; }

template <typename F>
void EditSection::forEachValidator(wxWindow* window, F&& f) {
    for (wxWindow* child : window->GetChildren()) {
        if (dynamic_cast<EditSection*>(child)) continue;  // a nested section keeps its own fields
        if (wxValidator* validator = child->GetValidator()) f(validator);
        forEachValidator(child, f);
    }
}

bool EditSection::Validate() {
    bool valid = true;
    forEachValidator(this, [&](wxValidator* v) { valid = v->Validate(this) && valid; });
    return valid;
}

template <typename F>
void EditSection::forEachFieldValidator(F&& f) {
    forEachValidator(this, [&](wxValidator* v) {
        if (auto* field = dynamic_cast<FieldValidator*>(v)) f(field);
    });
}

bool EditSection::TransferDataToWindow() {
    bool ok = true;
    forEachValidator(this, [&](wxValidator* v) { ok = v->TransferToWindow() && ok; });
    m_editing = m_pressed = nullptr;
    m_derived.clear();
    m_typedAt.clear();  // the fields show the project's values, which no one typed here
    Validate();
    return ok;
}

void EditSection::endEdit() {
    forEachFieldValidator([](FieldValidator* v) { v->settle(); });
    m_editing = nullptr;
    m_derived.clear();
    const std::function<void(wxWindow*)> visit = [&](wxWindow* window) {
        for (wxWindow* child : window->GetChildren()) {
            if (auto* nested = dynamic_cast<EditSection*>(child))
                nested->endEdit();
            else
                visit(child);
        }
    };
    visit(this);
}

void EditSection::beginEdit(wxTextCtrl* field) {
    if (m_editing == field) return;
    endEdit();
    m_editing = field;
}

bool EditSection::TransferDataFromWindow() {
    bool ok = true;
    forEachValidator(this, [&](wxValidator* v) { ok = v->TransferFromWindow() && ok; });
    return ok;
}

void EditSection::nameField(const wxWindow* control, const wxString& name) { m_fieldNames[control] = name; }

wxString EditSection::fieldName(const wxWindow* control) const {
    const auto name = m_fieldNames.find(control);
    return name != m_fieldNames.end() ? name->second : control->GetName();
}

const wxWindow* EditSection::blamedField(std::initializer_list<const wxWindow*> fields,
                                         const wxWindow* filedUnder) const {
    const wxWindow* latest = filedUnder;
    std::uint64_t latestChange = 0;
    for (const wxWindow* field : fields) {
        const auto typed = m_typedAt.find(field);
        if (typed != m_typedAt.end() && typed->second > latestChange) {
            latest = field;
            latestChange = typed->second;
        }
    }
    return latest;
}

void EditSection::visitFields(
    const std::function<void(EditSection&, wxWindow*, wxValidator*, const wxString&)>& f) {
    const std::function<void(wxWindow*)> visit = [&](wxWindow* window) {
        for (wxWindow* child : window->GetChildren()) {
            if (auto* nested = dynamic_cast<EditSection*>(child)) {
                nested->visitFields(f);
                continue;
            }
            if (wxValidator* validator = child->GetValidator()) {
                const wxString field = fieldName(child);
                f(*this, child, validator, m_messageTitle.empty() ? field : m_messageTitle + ": " + field);
            }
            visit(child);
        }
    };
    visit(this);
}

std::vector<wxString> EditSection::invalidFields(unsigned unused) {
    // The fields the computation uses that show a valid edit red text holds back.
    std::vector<wxString> heldBack;
    // Each red field in order, and whether the computation uses it.
    std::vector<std::pair<wxString, bool>> red;
    visitFields([&](EditSection& owner, wxWindow* child, wxValidator* validator, const wxString& name) {
        const auto uses = owner.m_fieldUses.find(child);
        const bool used = uses == owner.m_fieldUses.end() || (uses->second & ~unused) != 0;
        if (!validator->Validate(&owner))
            red.emplace_back(name, used);
        else if (const auto* field = dynamic_cast<const FieldValidator*>(validator);
                 used && field && !field->showsHeldValue())
            heldBack.push_back(name);
    });
    std::vector<wxString> fields;
    bool unusedRed = false;
    for (const auto& [field, used] : red) {
        if (used || !heldBack.empty()) fields.push_back(field);
        unusedRed = unusedRed || !used;
    }
    // Red text the computation does not use stops it through the fields it holds back:
    // they are named too.
    if (unusedRed)
        for (const wxString& field : heldBack) fields.push_back(field + " (held back by red text)");
    return fields;
}

std::vector<wxString> EditSection::unstoredFields() {
    std::vector<wxString> fields;
    visitFields([&](EditSection& owner, wxWindow*, wxValidator* validator, const wxString& name) {
        // A red field that shows what the project holds (a file's value out of range, a
        // point inserted on top of another) loses nothing.
        const auto* field = dynamic_cast<const FieldValidator*>(validator);
        if (field && ((!validator->Validate(&owner) && !field->showsHeldText()) || !field->showsHeldValue()))
            fields.push_back(name);
    });
    return fields;
}

bool acceptsAction(wxWindow* parent, const wxString& action, const std::vector<wxString>& unstored) {
    if (unstored.empty()) return true;
    showErrorBox(parent, action + " while fields hold text that is not in the project (shown in red, or held back by "
                                  "red text): it would be lost. Correct it first:" + listedLines(unstored));
    return false;
}

bool EditSection::acceptsAction(const wxString& action) { return ::acceptsAction(this, action, unstoredFields()); }

void EditSection::validateAndTransfer() {
    if (Validate()) {
        TransferDataFromWindow();
        return;
    }
    // Fields derived from red text show the stored values again; fields derived from a
    // valid text keep what it gives, red where that is refused (a step count beyond its
    // limit), so that the form shows why the edit waits and what it stores once the
    // section is valid again.
    bool sourceRefused = false;
    forEachFieldValidator([this, &sourceRefused](FieldValidator* v) {
        if (v->GetWindow() == m_editing && !v->acceptsText()) sourceRefused = true;
    });
    bool rewritten = false;
    forEachFieldValidator([this, sourceRefused, &rewritten](FieldValidator* v) {
        v->revert();
        const wxWindow* field = v->GetWindow();
        if (sourceRefused && field != m_editing && m_derived.count(field))
            rewritten = v->TransferToWindow() || rewritten;
    });
    // The colours follow the texts the fields show now.
    if (rewritten) Validate();
}

void EditSection::writeDerivedText(wxTextCtrl* field, const wxString& text) {
    const wxTextCtrl* before = m_writing;
    m_writing = field;
    field->SetValue(text);
    m_writing = before;
}

void EditSection::restartDerived() {
    forEachFieldValidator([](FieldValidator* v) { v->revert(); });
    forEachFieldValidator([this](FieldValidator* v) {
        if (m_derived.count(v->GetWindow())) v->TransferToWindow();
    });
    m_derived.clear();
}

wxStaticText* EditSection::addLabel(wxGridBagSizer* sizer, int row, int col, const wxString& label,
                                    const wxString& tooltip) {
    auto* text = new wxStaticText(m_container, wxID_ANY, label);
    if (!tooltip.empty()) text->SetToolTip(tooltip);
    sizer->Add(text, wxGBPosition(row, col), wxGBSpan(1, 1), wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, FromDIP(kBorder));
    return text;
}

wxTextCtrl* EditSection::setupInput(wxGridBagSizer* sizer, int row, int col, const wxString& label,
                                    const wxString& units, const wxString& tooltip, int rowSpan, int colSpan,
                                    int flags) {
    addLabel(sizer, row, col, label, tooltip);
    auto* text = new wxTextCtrl(m_container, wxID_ANY);
    // Wide enough for twelve significant digits with sign and point.
    text->SetMinSize(wxSize(text->GetSizeFromTextSize(text->GetTextExtent("-0.123456789012")).x, -1));
    text->SetToolTip(tooltip);
    nameField(text, label);
    sizer->Add(text, wxGBPosition(row, col + 1), wxGBSpan(rowSpan, colSpan), flags | wxALIGN_CENTER_VERTICAL | wxALL,
               FromDIP(2));
    if (!units.empty()) {
        auto* unit = new wxStaticText(m_container, wxID_ANY, units);
        sizer->Add(unit, wxGBPosition(row, col + 1 + colSpan), wxGBSpan(1, 1),
                   wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, FromDIP(kBorder));
    }

    bindEditing(text);
    return text;
}

void EditSection::bindEditing(wxTextCtrl* text) {
    text->Bind(wxEVT_TEXT, [this, text](wxCommandEvent& event) {
        // Written by the program while another field is edited: derived from it. Any
        // other change is the user's, announced by a key or not (a drop, a middle-click
        // paste, an input method).
        const bool derived = text == m_writing;
        if (derived && m_editing && text != m_editing) m_derived.insert(text);
        const bool unannounced = !derived && m_pressed != text;
        if (unannounced) beginEdit(text);
        // A field the edit rewrites (x/R beside the x typed) changes with the field typed.
        if (!derived)
            m_typedAt[text] = ++m_changes;
        else if (m_editing)
            m_typedAt[text] = m_changes;
        // Each change of the edited text derives from where the edit began, not from what
        // the text on the way gave ("2" on the way to "20"): the same text gives the same
        // fields however it was typed.
        if (text == m_editing && !m_derived.empty()) restartDerived();
        validateAndTransfer();
        event.Skip();
        // Typed: the project follows the text as it shows, rather than when the key is
        // released (red text would stand beside the value of its valid prefix meanwhile).
        if (m_pressed == text || unannounced) postUpdatedValue(text);
    });
    text->Bind(wxEVT_KEY_DOWN, [this, text](wxKeyEvent& event) {
        if (isEditingKey(event.GetKeyCode(), event.ControlDown(), event.AltDown())) {
            beginEdit(text);
            m_pressed = text;
        }
        event.Skip();
    });
    // Coming back to a field begins a new edit, from the value it was left with.
    text->Bind(wxEVT_KILL_FOCUS, [this, text](wxFocusEvent& event) {
        if (m_pressed == text) m_pressed = nullptr;
        if (m_editing == text) endEdit();
        // The start of a long number, not its tail, which would read as another number.
        if (!text->IsMultiLine()) text->SetInsertionPoint(0);
        event.Skip();
    });
    const auto postWhenChanged = [this, text](wxClipboardTextEvent& event) {
        beginEdit(text);
        event.Skip();
        const wxString before = text->GetValue();
        text->CallAfter([text, before] {
            if (text->GetValue() != before) postUpdatedValue(text);
        });
    };
    text->Bind(wxEVT_TEXT_CUT, postWhenChanged);
    text->Bind(wxEVT_TEXT_PASTE, postWhenChanged);
}

wxStaticText* EditSection::setupNumberUnits(wxGridBagSizer* sizer, int row, int col, const wxString& label,
                                            double value, const wxString& units, const wxString& tooltip,
                                            bool scaleUnits, int rowSpan, int colSpan, bool bold) {
    wxStaticText* name = addLabel(sizer, row, col, label, tooltip);
    if (bold) name->SetFont(name->GetFont().Bold());
    const NumberWithUnit shown = formatNumberUnits(value, units, scaleUnits);
    auto* number = new wxStaticText(m_container, wxID_ANY, shown.number, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    if (!tooltip.empty()) number->SetToolTip(tooltip);
    sizer->Add(number, wxGBPosition(row, col + 1), wxGBSpan(rowSpan, colSpan),
               wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT | wxLEFT | wxRIGHT, FromDIP(kBorder));
    if (!shown.unit.empty()) {
        auto* unit = new wxStaticText(m_container, wxID_ANY, shown.unit);
        sizer->Add(unit, wxGBPosition(row, col + 1 + colSpan), wxGBSpan(1, 1), wxALIGN_CENTER_VERTICAL | wxRIGHT,
                   FromDIP(kBorder));
    }
    return number;
}

wxCheckBox* EditSection::setupCheckbox(wxGridBagSizer* sizer, int row, int col, const wxString& label, bool* value,
                                       const wxString& tooltip, const wxGBSpan& span, int flags) {
    wxCheckBox* box = setupCheckbox(sizer, row, col, label, tooltip, span, flags);
    box->SetValidator(InputCheckboxValidator(value));
    box->Bind(wxEVT_CHECKBOX, [this, box, value](wxCommandEvent& event) {
        const bool before = *value;
        *value = box->GetValue();
        event.Skip();
        if (*value == before) return;
        // After the page has enabled or disabled the fields the box governs: a red field
        // it disables no longer holds back the section's valid edits, which go with it.
        box->CallAfter([this, box] {
            if (Validate()) TransferDataFromWindow();
            postUpdatedValue(box);
        });
    });
    return box;
}

wxCheckBox* EditSection::setupCheckbox(wxGridBagSizer* sizer, int row, int col, const wxString& label,
                                       const wxString& tooltip, const wxGBSpan& span, int flags) {
    auto* box = new wxCheckBox(m_container, wxID_ANY, label);
    if (!tooltip.empty()) box->SetToolTip(tooltip);
    sizer->Add(box, wxGBPosition(row, col), span, flags | wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(kBorder));
    return box;
}

wxButton* EditSection::setupButton(wxGridBagSizer* sizer, int row, int col, const wxString& label,
                                   const wxString& tooltip, const wxGBSpan& span, int flags,
                                   std::function<void()> handler) {
    auto* button = new wxButton(m_container, wxID_ANY, label);
    if (!tooltip.empty()) button->SetToolTip(tooltip);
    sizer->Add(button, wxGBPosition(row, col), span, flags | wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(2));
    button->Bind(wxEVT_BUTTON, [handler = std::move(handler)](wxCommandEvent&) {
        if (handler) handler();
    });
    return button;
}

wxSlider* EditSection::setupSlider(wxGridBagSizer* sizer, int row, int col, int value, int min, int max,
                                   const wxString& label, const wxString& tooltip, const wxGBSpan& span, int flags) {
    addLabel(sizer, row, col, label, tooltip);
    auto* slider = new wxSlider(m_container, wxID_ANY, value, min, max);
    scrollPageOnWheel(slider);
    if (!tooltip.empty()) slider->SetToolTip(tooltip);
    sizer->Add(slider, wxGBPosition(row, col + 1), span, flags | wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(2));
    return slider;
}

wxWindow* EditSection::setupDivider(wxGridBagSizer* sizer, int row, int colSpan) {
    if (colSpan < 1) throw std::invalid_argument("setupDivider: the column span must be at least 1");
    auto* line = new DividerLine(m_container);
    sizer->Add(line, wxGBPosition(row, 0), wxGBSpan(1, colSpan), wxEXPAND | wxALL, FromDIP(10));
    return line;
}

void EditSection::setupEmptyColumn(wxGridBagSizer* sizer, int row, int col, int width) {
    sizer->Add(FromDIP(width), 1, wxGBPosition(row, col));
}

wxStaticText* EditSection::setupHeading(wxGridBagSizer* sizer, int row, int col, const wxString& text, int colSpan) {
    auto* heading = new wxStaticText(m_container, wxID_ANY, text);
    heading->SetFont(heading->GetFont().Bold());
    heading->SetMinSize(heading->GetTextExtent(text) + FromDIP(wxSize(4, 0)));
    sizer->Add(heading, wxGBPosition(row, col), wxGBSpan(1, colSpan), wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(kBorder));
    return heading;
}

