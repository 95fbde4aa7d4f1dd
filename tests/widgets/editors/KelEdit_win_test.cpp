// TKelEdit under Wine: the live window follows the rules' model for typed
// characters, key-downs and pastes; value and property writes; focus, error
// and modified colours; Esc.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/gui/clipboard.h"
#include "tests/widgets/editors/edit_form.h"
#include "tests/widgets/editors/edit_options.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/editors/KelEditSimulation.h"

namespace kel {
namespace {

using test::EditForm;
using test::Opt;
using T = TKelEditType;

const ::testing::Environment* const kOle = ::testing::AddGlobalTestEnvironment(new test::OleEnvironment);

void Load(TKelEdit& edit, const TEditState& s) {
    edit.WriteWindowText(s.WindowText);
    edit.SetSelection(s.SelStart, s.SelStart + s.SelLength);
}

TEditState Read(const TKelEdit& edit) {
    int start = 0, end = 0;
    edit.GetSelection(start, end);
    return TEditState{edit.WindowText(), start, end - start, edit.ModifiedState()};
}

// X input reaches the window some time after xdotool has ended, later still
// on a loaded machine: read once the window shows the model's state, or
// after a few seconds.
TEditState ReadSettled(const TKelEdit& edit, const TEditState& model) {
    fw::test::PumpUntil(
        [&] {
            const TEditState live = Read(edit);
            return live.WindowText == model.WindowText && live.SelStart == model.SelStart &&
                   live.SelLength == model.SelLength;
        },
        5000);
    return Read(edit);
}

void ExpectSame(const TEditState& live, const TEditState& model, const char* name) {
    EXPECT_EQ(live.WindowText, model.WindowText) << name;
    EXPECT_EQ(live.SelStart, model.SelStart) << name;
    EXPECT_EQ(live.SelLength, model.SelLength) << name;
}

struct LiveRow {
    const char* name;
    Opt options;
    TEditState start;
    const wchar_t* typed;
};

TEST(KelEditLive, TypedCharactersMatchTheModel) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    f.Show();
    const LiveRow rows[] = {
        {"signed minus twice", Opt(T::etNumeric).Signed(), {L"12", 2, 0}, L"-3-"},
        {"numeric refuses letters", Opt(T::etNumeric), {L"", 0, 0}, L"1a2"},
        {"money regroups", Opt(T::etMoney), {L"", 0, 0}, L"1234567"},
        {"money decimals", Opt(T::etMoney).Precision(2), {L"", 0, 0}, L"12.345"},
        {"float overwrites decimals", Opt(T::etFloat).Precision(2), {L"1.23", 3, 0}, L"98"},
        {"float point into empty", Opt(T::etFloat).Precision(2), {L"", 0, 0}, L".5"},
        {"mixed case", Opt(T::etMixedCase), {L"", 0, 0}, L"john mcdonald iii"},
        {"range", Opt(T::etRange), {L"", 0, 0}, L",1,-2;;3"},
        {"prefix Backspace", Opt(T::etNumeric).Prefix(L"$"), {L"$12", 2, 0}, L"\b\b\b3"},
        {"suffix", Opt(T::etNumeric).Suffix(L" EUR"), {L"12 EUR", 2, 0}, L"34"},
        {"hex", Opt(T::etHex), {L"", 0, 0}, L"-1fGz"},
        {"valid chars", Opt(T::etValidChars).Valid(L"AB"), {L"", 0, 0}, L"ACB\bB"},
        {"Enter", Opt(T::etString), {L"ab", 1, 0}, L"\rX"},
        {"over the whole value", Opt(T::etString), {L"abc", 0, 3}, L"xy"},
        {"length limit", Opt(T::etFloat).Precision(2).Limit(3), {L"", 0, 0}, L"12345.678"},
    };
    for (const LiveRow& r : rows) {
        edit->SetFocus();
        Apply(*edit, r.options);
        Load(*edit, r.start);
        int changes = 0;
        edit->OnChange = [&](fw::TComponent*) { ++changes; };
        for (const wchar_t* c = r.typed; *c; ++c) SendMessageW(edit->Handle(), WM_CHAR, *c, 1);
        edit->OnChange = nullptr;
        const TEditOutcome model = TypeText(r.options, r.start, r.typed);
        ExpectSame(Read(*edit), model.State, r.name);
        EXPECT_EQ(changes, model.Changes) << r.name;
    }
}

TEST(KelEditLive, KeyDownsMatchTheModel) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    f.Show();
    struct Row {
        const char* name;
        Opt options;
        TEditState start;
        WORD key;
    } rows[] = {
        {"Home behind the prefix", Opt(T::etNumeric).Prefix(L"$"), {L"$12", 3, 0}, VK_HOME},
        {"Left stops at the prefix", Opt(T::etNumeric).Prefix(L"$"), {L"$12", 1, 0}, VK_LEFT},
        {"End in front of the suffix", Opt(T::etNumeric).Suffix(L" EUR"), {L"12 EUR", 0, 0}, VK_END},
        {"Right stops at the suffix", Opt(T::etNumeric).Suffix(L" EUR"), {L"12 EUR", 2, 0}, VK_RIGHT},
        {"Delete keeps the suffix", Opt(T::etNumeric).Suffix(L" EUR"), {L"12 EUR", 2, 0}, VK_DELETE},
        {"Delete regroups money", Opt(T::etMoney), {L"1,234", 2, 0}, VK_DELETE},
    };
    for (const Row& r : rows) {
        edit->SetFocus();
        Apply(*edit, r.options);
        Load(*edit, r.start);
        SendMessageW(edit->Handle(), WM_KEYDOWN, r.key, 1);
        ExpectSame(Read(*edit), PressKey(r.options, r.start, r.key).State, r.name);
    }
}

TEST(KelEditLive, PastesMatchTheModel) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    f.Show();
    struct Row {
        const char* name;
        Opt options;
        TEditState start;
        const wchar_t* clipboard;
    } rows[] = {
        {"letters into numeric", Opt(T::etNumeric), {L"12", 2, 0}, L"ab"},
        {"digits into numeric", Opt(T::etNumeric), {L"12", 1, 0}, L"34"},
        {"digits a precision would cut", Opt(T::etFloat).Precision(2), {L"3.45", 4, 0}, L"12"},
        {"a number into money", Opt(T::etMoney).Precision(2), {L"", 0, 0}, L"1234.5"},
        {"two lines into a string", Opt(T::etString), {L"ab", 1, 1}, L"x\r\ny"},
        {"anything into a range", Opt(T::etRange), {L"1", 1, 0}, L"2"},
    };
    for (const Row& r : rows) {
        Apply(*edit, r.options);
        Load(*edit, r.start);
        fw::Clipboard().SetAsText(r.clipboard);
        SendMessageW(edit->Handle(), WM_PASTE, 0, 0);
        ExpectSame(Read(*edit), PasteText(r.options, r.start, std::wstring(r.clipboard)).State, r.name);
    }
    // Ctrl+V as a character reaches the same paste while Ctrl is down.
    Apply(*edit, Opt(T::etNumeric));
    Load(*edit, {L"", 0, 0});
    fw::Clipboard().SetAsText(L"77");
    SendMessageW(edit->Handle(), WM_CHAR, 22, 1);
    EXPECT_EQ(edit->WindowText(), L"");
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(edit->Handle(), WM_CHAR, 22, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(edit->WindowText(), L"77");
}

// Keys through the X server, as a user types them: the same results as the
// model's characters and pastes.
TEST(KelEditLive, RealTypingAndPastingMatchTheModel) {
    if (!test::XdotoolAvailable()) GTEST_SKIP() << "xdotool is not installed";
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 200, 24);
    f.Show();
    const POINT inside = edit->ClientToScreen(POINT{100, 8});
    ASSERT_TRUE(test::Xdotool(L"mousemove " + std::to_wstring(inside.x) + L" " + std::to_wstring(inside.y) +
                              L" click 1"));
    ASSERT_EQ(GetFocus(), edit->Handle());
    struct Row {
        const char* name;
        Opt options;
        TEditState start;
        const wchar_t* typed;      // typed, or nullptr
        const wchar_t* clipboard;  // pasted with Ctrl+V, or nullptr
    } rows[] = {
        {"signed minus twice", Opt(T::etNumeric).Signed(), {L"12", 2, 0}, L"-3-", nullptr},
        {"numeric refuses letters", Opt(T::etNumeric), {L"", 0, 0}, L"1a2", nullptr},
        {"money regroups", Opt(T::etMoney), {L"", 0, 0}, L"1234567", nullptr},
        {"float decimals", Opt(T::etFloat).Precision(2), {L"", 0, 0}, L"12.345", nullptr},
        {"mixed case", Opt(T::etMixedCase), {L"", 0, 0}, L"john mcdonald", nullptr},
        {"hex with shift", Opt(T::etHex), {L"", 0, 0}, L"-1fGzA", nullptr},
        {"prefix and suffix", Opt(T::etNumeric).Prefix(L"#").Suffix(L" kg"), {L"#12 kg", 2, 0}, L"34", nullptr},
        {"letters pasted into numeric", Opt(T::etNumeric), {L"12", 2, 0}, nullptr, L"ab"},
        {"digits pasted into numeric", Opt(T::etNumeric), {L"12", 1, 0}, nullptr, L"34"},
        {"a number pasted into money", Opt(T::etMoney).Precision(2), {L"", 0, 0}, nullptr, L"1234.5"},
        {"paste past the precision", Opt(T::etFloat).Precision(2), {L"3.45", 4, 0}, nullptr, L"12"},
    };
    for (const Row& r : rows) {
        Apply(*edit, r.options);
        Load(*edit, r.start);
        if (r.typed) {
            ASSERT_TRUE(test::Xdotool(L"type --delay 20 -- '" + std::wstring(r.typed) + L"'")) << r.name;
            const TEditState model = TypeText(r.options, r.start, r.typed).State;
            ExpectSame(ReadSettled(*edit, model), model, r.name);
        } else {
            fw::Clipboard().SetAsText(r.clipboard);
            ASSERT_TRUE(test::Xdotool(L"key ctrl+v")) << r.name;
            const TEditState model = PasteText(r.options, r.start, std::wstring(r.clipboard)).State;
            ExpectSame(ReadSettled(*edit, model), model, r.name);
        }
    }
}

TEST(KelEditValue, WritesAndProperties) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    EXPECT_EQ(edit->GetVersion(), L"2.8.6.9");
    edit->SetPrefix(L"$");
    edit->SetSuffix(L" EUR");
    edit->SetText(L"12");
    EXPECT_EQ(edit->WindowText(), L"$12 EUR");
    EXPECT_EQ(edit->Text(), L"12");
    edit->SetSuffix(L"%");
    EXPECT_EQ(edit->WindowText(), L"$12%");
    // Switching to a number type turns a text that is none into 0.
    edit->SetPrefix(L"");
    edit->SetSuffix(L"");
    edit->SetText(L"abc");
    edit->SetEditType(T::etNumeric);
    EXPECT_EQ(edit->Text(), L"0");
    edit->SetPrecision(2);
    EXPECT_EQ(edit->Precision(), 0);  // ignored for etNumeric
    edit->SetEditType(T::etFloat);
    edit->SetPrecision(2);
    EXPECT_EQ(edit->Text(), L"0.00");
    edit->SetValueAsFloat(-2.5);
    EXPECT_EQ(edit->ValueAsInteger(), -2);
    edit->SetEditType(T::etHex);
    edit->SetText(L"ff");
    EXPECT_EQ(edit->ValueAsInteger(), 255);
    // A precision written into a string edit leaves a text that is no number.
    edit->SetEditType(T::etString);
    edit->SetText(L"My PC");
    edit->SetPrecision(3);
    EXPECT_EQ(edit->Text(), L"My PC");
    edit->SetPrecisionDisplay(TPrecisionDisplay::pdShortest);
    EXPECT_EQ(edit->Text(), L"My PC");
    edit->SetText(L"1.5");
    edit->SetPrecision(2);
    EXPECT_EQ(edit->Text(), L"1.50");
    // The password type is a single-line window without undo.
    edit->SetEditType(T::etPassword);
    EXPECT_EQ(edit->PasswordChar(), L'*');
    EXPECT_FALSE(edit->CanUndo());
    EXPECT_EQ(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_MULTILINE, 0);
    edit->SetEditType(T::etString);
    EXPECT_NE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_MULTILINE, 0);
    EXPECT_EQ(edit->PasswordChar(), 0);
}

TEST(KelEditFocus, ColoursFormattingAndEsc) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    TKelEdit* other = f.Add(L"KelEdit2", 10, 50);
    edit->SetEditType(T::etFloat);
    edit->SetPrecision(2);
    edit->SetFocusColor(fw::clYellow);
    edit->SetFocusFontColor(fw::clNavy);
    f.Show();
    edit->SetText(L"1.5");
    edit->SetFocus();
    EXPECT_EQ(edit->Color(), fw::clYellow);
    EXPECT_EQ(edit->Font().Color(), fw::clNavy);
    int start = 0, end = 0;
    edit->GetSelection(start, end);
    EXPECT_EQ(end - start, 4);  // AutoSelect selects the value
    edit->SetSelection(4, 4);
    SendMessageW(edit->Handle(), WM_CHAR, L'\b', 1);
    SendMessageW(edit->Handle(), WM_CHAR, L'\b', 1);
    EXPECT_EQ(edit->Text(), L"1.");
    other->SetFocus();
    EXPECT_EQ(edit->Text(), L"1.00");  // formatted as the focus leaves
    EXPECT_EQ(edit->Color(), fw::clWindow);
    EXPECT_EQ(edit->Font().Color(), fw::clWindowText);
    // Esc brings back the value the edit had when it got the focus.
    edit->SetFocus();
    edit->SetSelection(0, 4);
    SendMessageW(edit->Handle(), WM_CHAR, L'7', 1);
    EXPECT_EQ(edit->Text(), L"7");
    EXPECT_TRUE(edit->ModifiedState());
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(edit->Text(), L"1.00");
    EXPECT_FALSE(edit->ModifiedState());
    // An empty numeric value becomes 0 when the focus leaves.
    other->SetEditType(T::etNumeric);
    other->SetFocus();
    other->WriteWindowText(L"");
    edit->SetFocus();
    EXPECT_EQ(other->Text(), L"0");
    other->SetAllowNumericNullValue(true);
    other->SetFocus();
    other->WriteWindowText(L"");
    edit->SetFocus();
    EXPECT_EQ(other->Text(), L"");
}

TEST(KelEditFocus, ErrorColoursFollowTheValidation) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    TKelEdit* other = f.Add(L"KelEdit2", 10, 50);
    edit->SetShowError(true);
    edit->SetErrorColor(0x2084FF);
    edit->SetColor(fw::clAqua);
    edit->SetFocusColor(fw::clYellow);
    edit->OnValueValidate = [](fw::TComponent*, const std::wstring& value, bool& valid) { valid = value != L"bad"; };
    f.Show();
    edit->SetFocus();
    edit->SetText(L"bad");
    EXPECT_TRUE(edit->ErrorState());
    EXPECT_EQ(edit->Color(), 0x2084FF);
    EXPECT_EQ(edit->Font().Color(), fw::clWhite);
    edit->SetText(L"good");
    EXPECT_FALSE(edit->ErrorState());
    EXPECT_EQ(edit->Color(), fw::clYellow);
    other->SetFocus();
    EXPECT_EQ(edit->Color(), fw::clAqua);
}

TEST(KelEditFocus, ModifiedColourAndReadOnly) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    edit->SetShowModified(true);
    edit->SetModifiedColor(fw::clRed);
    edit->SetFocusFontColor(fw::clNone);
    f.Show();
    edit->SetFocus();
    SendMessageW(edit->Handle(), WM_CHAR, L'x', 1);
    EXPECT_TRUE(edit->ModifiedState());
    EXPECT_EQ(edit->Font().Color(), fw::clRed);
    edit->SetText(L"y");
    EXPECT_FALSE(edit->ModifiedState());
    EXPECT_EQ(edit->Font().Color(), fw::clWindowText);
    // A read-only numeric edit takes no sign either.
    edit->SetEditType(T::etNumeric);
    edit->SetSigned(true);
    edit->SetText(L"5");
    edit->SetReadOnly(true);
    SendMessageW(edit->Handle(), WM_CHAR, L'-', 1);
    SendMessageW(edit->Handle(), WM_CHAR, L'6', 1);
    EXPECT_EQ(edit->Text(), L"5");
}

}  // namespace
}  // namespace kel
