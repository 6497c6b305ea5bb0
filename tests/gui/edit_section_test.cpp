#include "app/edit_section.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <functional>
#include <limits>

#include "ControlCommands.h"
#include "UserSimulation.h"
#include "WxTestApp.h"

namespace {

using korvane::testing::processEvents;
using korvane::testing::red;

TEST(NumberUnits, PrefixFollowsTheTruncatedDecade) {
    const auto check = [](double value, const wxString& unit, const wxString& number, const wxString& shownUnit) {
        const NumberWithUnit shown = formatNumberUnits(value, unit, true);
        EXPECT_EQ(shown.number, number) << value;
        EXPECT_EQ(shown.unit, shownUnit) << value;
    };
    check(1234567.0, "W", "1.23", "MW");
    check(0.005, "W", "0.005", "W");        // log10 = -2.3 truncates to 0: no prefix
    check(0.0, "W", "0", "W");
    check(5e-20, "m", "5e-08", "pm");       // the exponent stops at -12
    check(-45000.0, "N", "-45", "kN");
    check(3.2e15, "W", "3.2e+03", "TW");    // and at 12
    check(2e-5, "m", "0.02", "mm");           // -4.7 truncates to -4, the prefix to milli
    check(3e-7, "m", "0.3", wxS("µm"));
    check(999.0, "W", "999", "W");
}

TEST(NumberUnits, UnscaledOrUnitlessValuesKeepTheirForm) {
    EXPECT_EQ(formatNumberUnits(1234567.0, "W", false).number, "1.23e+06");
    EXPECT_EQ(formatNumberUnits(1234567.0, "W", false).unit, "W");
    EXPECT_EQ(formatNumberUnits(1234567.0, "", true).number, "1.23e+06");
    EXPECT_EQ(formatNumberUnits(0.4567, "", true).number, "0.457");
}

TEST(NumberParsing, WholeTextMustBeAFiniteNumber) {
    double d = 7.0;
    EXPECT_TRUE(parseNumber("1.5", d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(parseNumber(" 2e-3 ", d));
    EXPECT_EQ(d, 2e-3);
    for (const char* bad : {"", "abc", "1.5x", "1,5", "nan", "inf", "-inf", "1e999"}) {
        d = 7.0;
        EXPECT_FALSE(parseNumber(bad, d)) << bad;
        EXPECT_EQ(d, 7.0) << bad;
    }
    int i = 3;
    EXPECT_TRUE(parseNumber("42", i));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(parseNumber(" 1e2 ", i));  // as the command line reads a count
    EXPECT_EQ(i, 100);
    for (const char* bad : {"4.5", "0x10", "", "99999999999"}) EXPECT_FALSE(parseNumber(bad, i)) << bad;
}

TEST(EditingKeys, OnlyKeysThatEditTheTextPostAnUpdate) {
    EXPECT_TRUE(isEditingKey('5', false, false));
    EXPECT_TRUE(isEditingKey(' ', false, false));
    EXPECT_TRUE(isEditingKey('~', false, false));
    EXPECT_TRUE(isEditingKey(WXK_NUMPAD7, false, false));
    EXPECT_TRUE(isEditingKey(WXK_NUMPAD_DECIMAL, false, false));
    EXPECT_TRUE(isEditingKey(WXK_NUMPAD_SUBTRACT, false, false));
    EXPECT_TRUE(isEditingKey(WXK_BACK, true, false));
    EXPECT_TRUE(isEditingKey(WXK_DELETE, false, true));
    EXPECT_FALSE(isEditingKey('V', true, false));  // Ctrl+V posts through the paste event instead
    EXPECT_FALSE(isEditingKey('5', false, true));
    EXPECT_FALSE(isEditingKey(WXK_CONTROL, true, false));
    EXPECT_FALSE(isEditingKey(WXK_LEFT, false, false));
    EXPECT_FALSE(isEditingKey(WXK_TAB, false, false));
}

// A section with two limited numbers coupled by a cross-field rule, a choice and a check box.
class TestSection : public EditSection {
public:
    explicit TestSection(wxWindow* parent) : EditSection(parent, "Test") {
        auto* grid = new wxGridBagSizer();
        radius = setupInput(grid, 0, 0, "Rotor radius", "[m]", "");
        radius->SetValidator(InputNumberValidator<double>(&m_radius, true, 1.0, 100.0, [this](double v) {
            double hub = 0.0;
            return !parseNumber(hubText->GetValue(), hub) || v > hub;
        }));
        hubText = setupInput(grid, 1, 0, "Hub radius", "[m]", "");
        hubText->SetValidator(InputNumberValidator<double>(&m_hub, true, 0.0, 50.0));
        blades = setupInput(grid, 2, 0, "Blades", "", "");
        blades->SetValidator(InputNumberValidator<int>(&m_blades, true, 1, 10));
        choice = setupChoice<int>(grid, 3, 0, items(), &m_solver, {2, 1, 0},
                                  "Solver", "");
        box = setupCheckbox(grid, 4, 0, "Enable", &m_flag, "");
        setupDivider(grid, 5, 3);
        sectionSizer()->Add(grid);
        Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { ++saves; });
    }
    static wxArrayString items() {
        wxArrayString a;
        for (const char* s : {"2D Fixed Point", "Newton-Raphson", "Ning"}) a.Add(s);
        return a;
    }
    double m_radius = 10.0;
    double m_hub = 1.0;
    int m_blades = 3;
    int m_solver = 1;
    bool m_flag = false;
    int saves = 0;
    wxTextCtrl *radius, *hubText, *blades;
    wxChoice* choice;
    wxCheckBox* box;
};

class EditSectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        frame = new wxFrame(nullptr, wxID_ANY, "section");
        section = new TestSection(frame);
        section->TransferDataToWindow();
        processEvents();
    }
    void TearDown() override {
        korvane::testing::destroyNow(frame);
        korvane::testing::processEvents();
    }
    // A key pressed in the field, and the text it leaves there (none: it typed nothing).
    void press(wxTextCtrl* w, int code, const wxString& text = {}, bool control = false) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.SetControlDown(control);
        event.SetEventObject(w);
        w->GetEventHandler()->ProcessEvent(event);
        if (!text.empty()) w->SetValue(text);
        processEvents();
    }
    wxFrame* frame = nullptr;
    TestSection* section = nullptr;
};

// Rows in turn: a field's text, whether it shows red, and the value stored after it (red
// text leaves the value where this edit of the field began).
TEST_F(EditSectionTest, LimitsIncludeTheirEnds) {
    TestSection& t = *section;
    const auto radius = [&] { return t.m_radius; };
    const auto blades = [&] { return double(t.m_blades); };
    const struct {
        wxTextCtrl* field;
        const char* text;
        bool red;
        std::function<double()> stored;
        double value;
    } rows[] = {
        {t.radius, "2x", true, radius, 10.0},       {t.radius, "25", false, radius, 25.0},
        {t.radius, "100", false, radius, 100.0},    {t.radius, "100.01", true, radius, 10.0},
        {t.hubText, "0", false, [&] { return t.m_hub; }, 1.0},  // held back by the red radius
        {t.radius, "1", false, radius, 1.0},        {t.blades, "11", true, blades, 3.0},
        {t.blades, "2.5", true, blades, 3.0},
    };
    for (const auto& row : rows) {
        row.field->SetValue(row.text);
        EXPECT_EQ(red(row.field), row.red) << row.text;
        EXPECT_EQ(row.stored(), row.value) << row.text;
    }
}

TEST_F(EditSectionTest, OneInvalidFieldHoldsBackEveryTransfer) {
    section->hubText->SetValue("10");  // equal to the radius: the radius rule fails
    EXPECT_TRUE(red(section->radius));
    EXPECT_FALSE(red(section->hubText));
    EXPECT_EQ(section->m_hub, 1.0);
    section->blades->SetValue("5");
    EXPECT_EQ(section->m_blades, 3);
    section->radius->SetValue("12");
    EXPECT_FALSE(red(section->radius));
    EXPECT_EQ(section->m_hub, 10.0);
    EXPECT_EQ(section->m_blades, 5);
    EXPECT_EQ(section->m_radius, 12.0);
}

TEST_F(EditSectionTest, FieldsShowEverySignificantDigit) {
    // The shortest text that reads back to the same double.
    const std::vector<std::pair<double, const char*>> shown = {
        {1.225, "1.225"}, {1.789e-5, "1.789e-05"}, {59.57773941520393, "59.57773941520393"},
        {0.1 + 0.2, "0.30000000000000004"}, {25.0, "25"}, {-0.5, "-0.5"}};
    for (const auto& [value, text] : shown) {
        section->m_hub = value;
        section->TransferDataToWindow();
        EXPECT_EQ(section->hubText->GetValue(), text);
        section->radius->SetValue("20");  // an edit elsewhere transfers every field
        EXPECT_EQ(section->m_hub, value) << text;
    }
    // The sizers give the field room for twelve significant digits.
    wxTextCtrl* field = section->hubText;
    EXPECT_GE(field->GetEffectiveMinSize().x, field->GetSizeFromTextSize(field->GetTextExtent("-10.5732277212")).x);
    // Editing one digit changes that digit only.
    section->m_hub = 1.225;
    section->TransferDataToWindow();
    section->hubText->SetValue("1.226");
    EXPECT_EQ(section->m_hub, 1.226);
    // Values a field computes from others hide the last bit of a product.
    EXPECT_EQ(formatComputed(0.624 * 25.0), "15.6");
    EXPECT_EQ(formatComputed(M_PI), "3.14159265358979");
    // Read-only displays keep three digits.
    EXPECT_EQ(formatNumber(1.225), "1.23");
}

TEST_F(EditSectionTest, TextTypedPostsOneUpdatePerChange) {
    writeDerived(section->radius, "12");  // written by the program, following another field
    processEvents();
    EXPECT_EQ(section->saves, 0);
    section->radius->SetValue("13");  // changed without a key: a drop, a middle-click paste
    processEvents();
    EXPECT_EQ(section->saves, 1);
    press(section->radius, '5', "135");
    EXPECT_EQ(section->saves, 2);
    press(section->radius, WXK_CONTROL, {}, true);
    press(section->radius, 'C', {}, true);
    EXPECT_EQ(section->saves, 2);
    press(section->radius, WXK_BACK, "13");
    EXPECT_EQ(section->saves, 3);
}

TEST_F(EditSectionTest, ChoiceOutsideItsValuesHasNoSelectionUntilPickedAndEachPickOrTickIsStored) {
    section->m_solver = 7;
    section->TransferDataToWindow();
    EXPECT_EQ(section->choice->GetSelection(), wxNOT_FOUND);
    EXPECT_FALSE(section->Validate());
    EXPECT_TRUE(red(section->choice));

    korvane::testing::choose(section->choice, 2);
    EXPECT_EQ(section->m_solver, 0);  // "Ning"
    EXPECT_EQ(section->saves, 1);
    EXPECT_FALSE(red(section->choice));
    korvane::testing::tick(section->box, true);
    EXPECT_TRUE(section->m_flag);
    EXPECT_EQ(section->saves, 2);
}

TEST(StringValidator, NarrowAndWideStringsRoundTrip) {
    const std::wstring wide = L"/data/profil_č.dat";
    EXPECT_EQ(InputStringValidator<std::wstring>::fromText(InputStringValidator<std::wstring>::toText(wide)), wide);
    const std::string ascii = "/data/naca.csv";
    EXPECT_EQ(InputStringValidator<std::string>::fromText(InputStringValidator<std::string>::toText(ascii)), ascii);
}

}  // namespace
