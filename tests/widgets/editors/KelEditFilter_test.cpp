// The key and clipboard filters as functions of (settings, text, selection,
// key or pasted text), run on the model of the system edit.
#include <gtest/gtest.h>

#include "tests/widgets/editors/edit_options.h"
#include "widgets/editors/KelEditSimulation.h"

namespace kel {
namespace {

using test::Opt;
using T = TKelEditType;
const TNumberSeparators kGerman{L',', L'.'};

struct Row {
    const char* name;
    Opt options;
    const wchar_t* text;
    int selStart;
    int selLength;
    const wchar_t* input;
    const wchar_t* expectText;
    int expectStart;
    int expectLength = 0;
};

void Check(const Row& r, const TEditOutcome& out) {
    EXPECT_EQ(out.State.WindowText, r.expectText) << r.name;
    EXPECT_EQ(out.State.SelStart, r.expectStart) << r.name;
    EXPECT_EQ(out.State.SelLength, r.expectLength) << r.name;
}

TEST(KelEditFilter, TypingByEditType) {
    const Row rows[] = {
        {"string takes everything", Opt(T::etString), L"ab", 2, 0, L"c!", L"abc!", 4},
        {"password takes everything", Opt(T::etPassword), L"", 0, 0, L"x y", L"x y", 3},
        {"uppercase maps", Opt(T::etUppercase), L"", 0, 0, L"abC", L"ABC", 3},
        {"lowercase maps", Opt(T::etLowerCase), L"", 0, 0, L"ABc", L"abc", 3},
        {"mixed case rewrites as it goes", Opt(T::etMixedCase), L"", 0, 0, L"john mcdonald", L"John McDonald", 13},
        {"mixed case keeps the prefix", Opt(T::etMixedCase).Prefix(L"Mr "), L"Mr ", 3, 0, L"smith", L"Mr Smith", 8},
        {"alphanumeric refuses blank and punctuation", Opt(T::etAlphaNumeric), L"", 0, 0, L"a1 !b", L"a1b", 3},
        {"valid chars refuses others but takes Backspace", Opt(T::etValidChars).Valid(L"ABC"), L"", 0, 0, L"ADB\bC",
         L"AC", 2},
        {"hex takes a minus sign and hex digits", Opt(T::etHex), L"", 0, 0, L"-1fG", L"-1f", 3},
        {"numeric refuses letters", Opt(T::etNumeric), L"", 0, 0, L"1a2", L"12", 2},
        {"unsigned numeric drops minus", Opt(T::etNumeric), L"12", 2, 0, L"-", L"12", 2},
        {"signed minus puts the sign in front", Opt(T::etNumeric).Signed(), L"12", 2, 0, L"-", L"-12", 3},
        {"signed minus again takes it away", Opt(T::etNumeric).Signed(), L"-12", 3, 0, L"-", L"12", 2},
        {"signed minus over the whole value", Opt(T::etNumeric).Signed(), L"12", 0, 2, L"-", L"-", 1},
        {"range builds a list", Opt(T::etRange), L"", 0, 0, L"1,-2;;3", L"1,2;3", 5},
        {"range refuses a separator at the start", Opt(T::etRange), L"", 0, 0, L",", L"", 0},
        {"range refuses a separator in front of another", Opt(T::etRange), L"1,2", 1, 0, L";", L"1,2", 1},
        {"float drops a digit behind full decimals", Opt(T::etFloat).Precision(2), L"1.23", 4, 0, L"5", L"1.23", 4},
        {"float digit overwrites among full decimals", Opt(T::etFloat).Precision(2), L"1.23", 3, 0, L"9", L"1.29", 4},
        {"float with precision 0 drops the point", Opt(T::etFloat), L"12", 2, 0, L".", L"12", 2},
        {"float point behind digits stays there", Opt(T::etFloat).Precision(2), L"12", 2, 0, L".", L"12.", 3},
        {"float second point moves behind the first", Opt(T::etFloat).Precision(2), L"1.5", 1, 0, L".", L"1.5", 2},
        {"float point into an empty value", Opt(T::etFloat).Precision(2), L"", 0, 0, L".5", L"0.5", 3},
        {"float sign toggle", Opt(T::etFloat).Signed().Precision(2), L"1.50", 0, 0, L"-", L"-1.50", 1},
        {"unsigned float drops minus", Opt(T::etFloat).Precision(2), L"1.50", 0, 0, L"-", L"1.50", 0},
        {"float thousand separator only three digits apart", Opt(T::etFloat).Precision(2), L"1234", 1, 0, L",,",
         L"1,234", 2},
        {"float refuses other characters", Opt(T::etFloat), L"", 0, 0, L"1;a", L"1", 1},
        {"float in a German locale", Opt(T::etFloat).Precision(2).Seps(kGerman), L"", 0, 0, L"12,5", L"12,5", 4},
        {"money regroups while typing", Opt(T::etMoney), L"", 0, 0, L"1234", L"1,234", 5},
        {"money decimals", Opt(T::etMoney).Precision(2), L"", 0, 0, L"1234.5", L"1,234.5", 7},
        {"money point into an empty value", Opt(T::etMoney).Precision(2), L"", 0, 0, L".", L"0.", 2},
        {"money with precision 0 drops the point", Opt(T::etMoney), L"12", 2, 0, L".", L"12", 2},
        {"money refuses a comma", Opt(T::etMoney), L"1", 1, 0, L",", L"1", 1},
        {"money point over the whole value", Opt(T::etMoney).Precision(2), L"1,234.00", 0, 8, L".", L"0.00", 2},
        {"Backspace at the start of the value keeps the prefix", Opt(T::etNumeric).Prefix(L"$"), L"$12", 1, 0, L"\b",
         L"$12", 1},
        {"typing behind the prefix", Opt(T::etNumeric).Prefix(L"$"), L"$12", 3, 0, L"3", L"$123", 4},
        {"typing in front of the suffix", Opt(T::etNumeric).Suffix(L" EUR"), L"12 EUR", 2, 0, L"3", L"123 EUR", 3},
        {"length limit refuses another digit", Opt(T::etNumeric).Limit(3), L"123", 3, 0, L"4", L"123", 3},
        {"length limit admits the point and decimals", Opt(T::etFloat).Precision(2).Limit(3), L"123", 3, 0, L".4",
         L"123.4", 5},
        {"length limit refuses a digit in front of the point", Opt(T::etFloat).Precision(2).Limit(3), L"123.4", 1, 0,
         L"9", L"123.4", 1},
        {"Enter inserts nothing", Opt(T::etString), L"ab", 2, 0, L"\r", L"ab", 2},
        {"a read-only edit takes no sign", Opt(T::etNumeric).Signed().ReadOnly(), L"12", 2, 0, L"-", L"12", 2},
        {"a read-only edit takes no characters", Opt(T::etMixedCase).ReadOnly(), L"ab", 2, 0, L"c", L"ab", 2},
    };
    for (const Row& r : rows) Check(r, TypeText(r.options, {r.text, r.selStart, r.selLength}, r.input));
}

TEST(KelEditFilter, CharacterFacts) {
    // Ctrl: a numeric edit passes any character, Ctrl+Enter is answered 1.
    TSimulatedEdit edit(Opt(T::etNumeric));
    intptr_t result = 0;
    EXPECT_TRUE(edit.Core().KeyChar(L'x', TCharInfo{true, false}, result));
    EXPECT_FALSE(edit.Core().KeyChar(L'\r', TCharInfo{true, false}, result));
    EXPECT_EQ(result, 1);
    // Enter raises OnKeyPress with #13 and goes no further.
    EXPECT_FALSE(edit.Type(L'\r'));
    EXPECT_EQ(edit.KeyPresses, L"x\r");
    // The keypad's "." and "," type the locale's decimal separator; the
    // main keyboard's "," stays the thousand separator.
    const Opt excel = Opt(T::etFloat).Precision(2).Excel();
    EXPECT_EQ(TypeChar(excel, {L"1", 1, 0}, L',', TCharInfo{false, true}).State.WindowText, L"1.");
    EXPECT_EQ(TypeChar(excel, {L"1", 1, 0}, L',').State.WindowText, L"1,");
}

TEST(KelEditFilter, ChangesAndModifiedState) {
    // Typing over the whole value reports no change for that keystroke.
    const TEditOutcome over = TypeChar(Opt(T::etString), {L"abc", 0, 3}, L'x');
    EXPECT_EQ(over.State.WindowText, L"x");
    EXPECT_EQ(over.Changes, 0);
    EXPECT_TRUE(over.State.ModifiedState);
    const TEditOutcome plain = TypeChar(Opt(T::etString), {L"abc", 3, 0}, L'x');
    EXPECT_EQ(plain.Changes, 1);
    // Typing 1234 into a money edit reports one change per digit; the
    // regrouping reports none of its own.
    EXPECT_EQ(TypeText(Opt(T::etMoney), {}, L"1234").Changes, 4);
}

TEST(KelEditFilter, RefusedKeyOverWholeValueHidesNoLaterChange) {
    TSimulatedEdit edit(Opt(T::etNumeric));
    edit.Load(L"12", 0, 2);
    EXPECT_FALSE(edit.Type(L'a'));
    edit.Press(vk::End);
    edit.Type(L'3');
    EXPECT_EQ(edit.Text, L"123");
    EXPECT_EQ(edit.Changes, 1);
}

TEST(KelEditFilter, TabOnFullLength) {
    EXPECT_TRUE(TypeText(Opt(T::etNumeric).Limit(3).TabOnFull(), {}, L"123").TabPosted);
    EXPECT_FALSE(TypeText(Opt(T::etNumeric).Limit(3).TabOnFull(), {}, L"12").TabPosted);
    // The full length counts in the value, behind a prefix too.
    EXPECT_TRUE(TypeText(Opt(T::etNumeric).Limit(3).TabOnFull().Prefix(L"$"), {L"$", 1, 0}, L"123").TabPosted);
    EXPECT_TRUE(TypeText(Opt(T::etFloat).Precision(2).Limit(3).TabOnFull(), {}, L"123").TabPosted);
}

struct KeyRow {
    const char* name;
    Opt options;
    const wchar_t* text;
    int selStart;
    int selLength;
    uint16_t key;
    TKeyModifiers mods;
    const wchar_t* expectText;
    int expectStart;
    int expectLength;
    bool passed;
};

TEST(KelEditFilter, KeyDowns) {
    const TKeyModifiers none, shift{true, false, false};
    const Opt dollar = Opt(T::etNumeric).Prefix(L"$");
    const Opt euro = Opt(T::etNumeric).Suffix(L" EUR");
    const KeyRow rows[] = {
        {"Right stops in front of the suffix", euro, L"12 EUR", 2, 0, vk::Right, none, L"12 EUR", 2, 0, false},
        {"Right inside the value", euro, L"12 EUR", 1, 0, vk::Right, none, L"12 EUR", 2, 0, true},
        {"Left stops behind the prefix", dollar, L"$12", 1, 0, vk::Left, none, L"$12", 1, 0, false},
        {"Left inside the value", dollar, L"$12", 2, 0, vk::Left, none, L"$12", 1, 0, true},
        {"Home goes behind the prefix", dollar, L"$12", 3, 0, vk::Home, none, L"$12", 1, 0, false},
        {"Shift+Home selects the value", dollar, L"$12", 3, 0, vk::Home, shift, L"$12", 1, 2, false},
        {"End stops in front of the suffix", euro, L"12 EUR", 0, 0, vk::End, none, L"12 EUR", 2, 0, false},
        {"Shift+End selects to the suffix", euro, L"12 EUR", 1, 0, vk::End, shift, L"12 EUR", 1, 1, false},
        {"Delete keeps the suffix", euro, L"12 EUR", 2, 0, vk::Delete, none, L"12 EUR", 2, 0, false},
        {"Delete inside the value", euro, L"12 EUR", 0, 0, vk::Delete, none, L"2 EUR", 0, 0, true},
        {"Delete that would pass the length limit", Opt(T::etFloat).Precision(2).Limit(3), L"123.4", 3, 0, vk::Delete,
         none, L"123.4", 3, 0, false},
        {"Delete in a money value regroups", Opt(T::etMoney), L"1,234", 2, 0, vk::Delete, none, L"134", 1, 0, true},
        {"Backspace key-down next to the prefix", dollar, L"$12", 2, 0, vk::Back, none, L"$12", 2, 0, false},
        {"Home without a prefix is the window's", Opt(T::etString), L"ab", 2, 0, vk::Home, none, L"ab", 0, 0, true},
    };
    for (const KeyRow& r : rows) {
        const TEditOutcome out = PressKey(r.options, {r.text, r.selStart, r.selLength}, r.key, r.mods);
        EXPECT_EQ(out.State.WindowText, r.expectText) << r.name;
        EXPECT_EQ(out.State.SelStart, r.expectStart) << r.name;
        EXPECT_EQ(out.State.SelLength, r.expectLength) << r.name;
        EXPECT_EQ(out.Passed, r.passed) << r.name;
    }
    EXPECT_TRUE(PressKey(Opt(T::etString).ReturnIsTab(), {}, vk::Return).TabPosted);
}

TEST(KelEditFilter, MouseReleaseKeepsTheCaretInTheValue) {
    TSimulatedEdit edit(Opt(T::etNumeric).Prefix(L"$").Suffix(L" EUR"));
    struct Case {
        int start, length, expectStart, expectLength;
    } cases[] = {
        {0, 0, 1, 2},  // in front of the prefix: the value is selected
        {5, 0, 3, 0},  // inside the suffix: at the end of the value
        {2, 3, 2, 1},  // a selection into the suffix is cut back
        {1, 1, 1, 1},  // inside the value: as it is
    };
    for (const Case& c : cases) {
        edit.Load(L"$12 EUR", c.start, c.length);
        edit.Core().MouseReleased();
        int s = 0, e = 0;
        edit.GetSelection(s, e);
        EXPECT_EQ(s, c.expectStart) << c.start;
        EXPECT_EQ(e - s, c.expectLength) << c.start;
    }
}

struct PasteRow {
    const char* name;
    Opt options;
    const wchar_t* text;
    int selStart;
    int selLength;
    std::optional<std::wstring> clipboard;
    const wchar_t* expectText;
    int expectStart;
    int expectLength = 0;
};

TEST(KelEditFilter, PasteByEditType) {
    const PasteRow rows[] = {
        {"string inserts at the caret", Opt(T::etString), L"ab", 1, 0, L"XY", L"aXYb", 3},
        {"string replaces the selection and selects it", Opt(T::etString), L"abc", 1, 1, L"XY", L"aXYc", 1, 2},
        {"only the first line goes into the edit", Opt(T::etString), L"", 0, 0, L"one\r\ntwo", L"one", 3},
        {"numeric refuses letters", Opt(T::etNumeric), L"12", 2, 0, L"ab", L"12", 2},
        {"numeric takes digits", Opt(T::etNumeric), L"", 0, 0, L"12", L"12", 2},
        {"numeric refuses a sign inside", Opt(T::etNumeric).Signed(), L"", 0, 0, L"1-2", L"", 0},
        {"signed numeric takes a leading sign", Opt(T::etNumeric).Signed(), L"", 0, 0, L"-5", L"-5", 2},
        {"unsigned numeric refuses a sign", Opt(T::etNumeric), L"", 0, 0, L"-5", L"", 0},
        {"numeric refuses passing the length limit", Opt(T::etNumeric).Limit(3), L"12", 2, 0, L"34", L"12", 2},
        {"float refuses digits its precision would cut", Opt(T::etFloat).Precision(2), L"3.45", 4, 0, L"12", L"3.45",
         4},
        {"float formats what it takes", Opt(T::etFloat).Precision(2), L"", 0, 0, L"1234.5", L"1234.50", 6},
        {"float with precision 0 refuses a point", Opt(T::etFloat), L"12", 2, 0, L".5", L"12", 2},
        {"float refuses misplaced separators", Opt(T::etFloat).Precision(2), L"", 0, 0, L"1,2", L"", 0},
        {"money formats and selects", Opt(T::etMoney).Precision(2), L"", 0, 0, L"1234", L"1,234.00", 0, 8},
        {"range refuses every paste", Opt(T::etRange), L"1", 1, 0, L"2", L"1", 1},
        {"hex upper-cases", Opt(T::etHex), L"", 0, 0, L"ff", L"FF", 2},
        {"hex refuses other letters", Opt(T::etHex), L"", 0, 0, L"1g", L"", 0},
        {"uppercase maps", Opt(T::etUppercase), L"", 0, 0, L"ab", L"AB", 2},
        {"mixed case rewrites", Opt(T::etMixedCase), L"", 0, 0, L"john smith", L"John Smith", 10},
        {"alphanumeric refuses a blank", Opt(T::etAlphaNumeric), L"", 0, 0, L"a b", L"", 0},
        {"valid chars takes its characters", Opt(T::etValidChars).Valid(L"AB"), L"A", 1, 0, L"BA", L"ABA", 3},
        {"valid chars refuses others", Opt(T::etValidChars).Valid(L"AB"), L"A", 1, 0, L"C", L"A", 1},
        {"a paste beyond MaxLength is refused whole", Opt(T::etString).MaxLength(4), L"ab", 2, 0, L"cde", L"ab", 2},
        {"a read-only edit takes nothing", Opt(T::etString).ReadOnly(), L"ab", 2, 0, L"c", L"ab", 2},
        {"between prefix and suffix", Opt(T::etNumeric).Prefix(L"$").Suffix(L"%"), L"$12%", 2, 0, L"3", L"$132%", 3},
        {"no text on the clipboard", Opt(T::etString), L"ab", 1, 0, std::nullopt, L"ab", 1},
    };
    for (const PasteRow& r : rows) {
        const TEditOutcome out = PasteText(r.options, {r.text, r.selStart, r.selLength}, r.clipboard);
        EXPECT_EQ(out.State.WindowText, r.expectText) << r.name;
        EXPECT_EQ(out.State.SelStart, r.expectStart) << r.name;
        EXPECT_EQ(out.State.SelLength, r.expectLength) << r.name;
    }
}

TEST(KelEditFilter, ClipboardEventsMayVeto) {
    TSimulatedEdit edit(Opt(T::etString).Prefix(L"$"));
    std::wstring seen;
    bool allow = false;
    edit.OnClipboard = [&](TClipboardAction, const std::wstring& value) {
        seen = value;
        return allow;
    };
    edit.Load(L"$abc", 1, 2);
    edit.Clipboard = L"old";
    edit.Core().Copy();
    EXPECT_EQ(seen, L"ab");  // the selected part of the value
    EXPECT_EQ(edit.Clipboard, L"old");
    edit.Core().Cut();
    EXPECT_EQ(edit.Text, L"$abc");
    edit.Clipboard = L"Z";
    edit.Load(L"$abc", 4, 0);
    edit.Core().Paste();
    EXPECT_EQ(seen, L"abcZ");  // the merged value
    EXPECT_EQ(edit.Text, L"$abc");
    allow = true;
    edit.Load(L"$abc", 1, 1);
    edit.Core().Cut();
    EXPECT_EQ(edit.Text, L"$bc");
    EXPECT_EQ(edit.Clipboard, L"a");
}

TEST(KelEditFilter, PasteToFullLengthMovesTheFocus) {
    EXPECT_TRUE(PasteText(Opt(T::etNumeric).Limit(3).TabOnFull(), {}, std::wstring(L"123")).FocusMoved);
    EXPECT_FALSE(PasteText(Opt(T::etNumeric).Limit(3).TabOnFull(), {}, std::wstring(L"12")).FocusMoved);
}

}  // namespace
}  // namespace kel

namespace kel {
namespace {

TEST(KelEditFilter, DroppedTextFollowsThePasteRules) {
    using test::Opt;
    TSimulatedEdit numeric(Opt(TKelEditType::etNumeric));
    numeric.Load(L"12", 0, 0);
    EXPECT_FALSE(numeric.Core().DropText(L"12", 1, L"ab"));
    EXPECT_EQ(numeric.Text, L"12");
    EXPECT_TRUE(numeric.Core().DropText(L"12", 1, L"34\r\nignored"));
    EXPECT_EQ(numeric.Text, L"1342");
    EXPECT_EQ(numeric.Caret, 3);
    // A part moved inside the edit: the rest of the value is the base.
    TSimulatedEdit text(Opt(TKelEditType::etString).Prefix(L"$"));
    text.Load(L"$abcd", 1, 2);
    EXPECT_TRUE(text.Core().DropText(L"cd", 2, L"ab"));
    EXPECT_EQ(text.Text, L"$cdab");
    TSimulatedEdit readOnly(Opt(TKelEditType::etString).ReadOnly());
    EXPECT_FALSE(readOnly.Core().DropText(L"", 0, L"x"));
}

}  // namespace
}  // namespace kel
