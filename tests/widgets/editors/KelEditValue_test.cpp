// Writing and reading the typed edit's value: formatting by type, numeric
// access, regrouping.
#include <gtest/gtest.h>

#include "tests/widgets/editors/edit_options.h"
#include "widgets/editors/KelEditSimulation.h"

namespace kel {
namespace {

using test::Opt;
using T = TKelEditType;

TEST(KelEditValue, WritingTextFormatsByType) {
    struct Row {
        Opt options;
        const wchar_t* written;
        const wchar_t* window;
    } rows[] = {
        {Opt(T::etNumeric), L"", L"0"},
        {Opt(T::etNumeric).AllowNull(), L"", L""},
        {Opt(T::etHex), L"", L"0"},
        {Opt(T::etString), L"", L""},
        {Opt(T::etFloat).Precision(2), L"1234.5", L"1234.50"},
        {Opt(T::etMoney).Precision(2), L"1234.5", L"1,234.50"},
        {Opt(T::etFloat).Precision(2).Shortest(), L"1.50", L"1.5"},
        {Opt(T::etMoney).Shortest(), L"1,234.50", L"1234.5"},
        {Opt(T::etFloat).Precision(2), L"abc", L"0.00"},
        {Opt(T::etHex), L"ff", L"FF"},
        // Writing does not filter: a program can write any text.
        {Opt(T::etNumeric), L"abc", L"abc"},
        {Opt(T::etString).Prefix(L"$").Suffix(L" EUR"), L"12", L"$12 EUR"},
    };
    for (const Row& r : rows) {
        TSimulatedEdit edit(r.options);
        edit.Core().SetText(r.written);
        EXPECT_EQ(edit.Text, r.window) << r.written;
        EXPECT_FALSE(edit.Core().ModifiedState());
    }
}

TEST(KelEditValue, ValueAsFloatByType) {
    struct Row {
        Opt options;
        const wchar_t* window;
        double value;
    } rows[] = {
        {Opt(T::etNumeric), L"-", 0},          {Opt(T::etNumeric), L"-12", -12},
        {Opt(T::etFloat), L"1,234.5", 1234.5}, {Opt(T::etMoney), L"1,234.", 1234},
        {Opt(T::etMoney), L"-", 0},            {Opt(T::etHex), L"ff", 255},
        {Opt(T::etHex), L"", 0},               {Opt(T::etString), L"12.5", 12.5},
        {Opt(T::etString), L"1,5", 0},         {Opt(T::etUppercase), L"12", 0},
        {Opt(T::etFloat).Prefix(L"$").Suffix(L"%"), L"$2.5%", 2.5},
    };
    for (const Row& r : rows) {
        TSimulatedEdit edit(r.options);
        edit.Load(r.window, 0, 0);
        EXPECT_DOUBLE_EQ(edit.Core().ValueAsFloat(), r.value) << r.window;
    }
}

TEST(KelEditValue, NumericWrites) {
    struct Row {
        Opt options;
        bool integer;
        double value;
        const wchar_t* window;
    } rows[] = {
        {Opt(T::etMoney), true, 1234, L"1,234"},
        {Opt(T::etMoney).Precision(2), true, 1234, L"1,234.00"},
        {Opt(T::etMoney).Precision(2).NoGrouping(), true, 1234, L"1234.00"},
        {Opt(T::etHex), true, -1, L"FFFFFFFF"},
        {Opt(T::etHex), false, 255.9, L"FF"},
        {Opt(T::etHex), false, 1e30, L"7FFFFFFFFFFFFFFF"},
        {Opt(T::etNumeric), true, -7, L"-7"},
        {Opt(T::etNumeric), false, 1234, L"1,234"},
        {Opt(T::etNumeric).Precision(-1), false, 0.5, L"0.5"},
        {Opt(T::etFloat).Precision(3), false, 2.5, L"2.500"},
        {Opt(T::etString).Precision(-1), false, 1e20, L"1E20"},
        {Opt(T::etUppercase), true, 5, L"keep"},
    };
    for (const Row& r : rows) {
        TSimulatedEdit edit(r.options);
        edit.Load(L"keep", 0, 0);
        if (r.integer) {
            edit.Core().SetValueAsInteger(static_cast<int32_t>(r.value));
        } else {
            edit.Core().SetValueAsFloat(r.value);
        }
        EXPECT_EQ(edit.Text, r.window) << r.value;
        EXPECT_TRUE(edit.Core().ModifiedState());
    }
}

TEST(KelEditValue, ReformatThousandsKeepsTheCaretFromTheEnd) {
    TSimulatedEdit edit(Opt(T::etMoney).Precision(2));
    edit.Load(L"-1234567.5", 4, 0);
    edit.Core().ReformatThousands();
    EXPECT_EQ(edit.Text, L"-1,234,567.5");
    EXPECT_EQ(edit.Caret, 6);
    EXPECT_EQ(edit.Changes, 0);  // the regrouping's own change is not passed on
    TSimulatedEdit plain(Opt(T::etFloat).NoGrouping());
    plain.Load(L"1,234.5", 0, 0);
    plain.Core().ReformatThousands();
    EXPECT_EQ(plain.Text, L"1234.5");
}

TEST(KelEditValue, SelectValueAndModifiedState) {
    TSimulatedEdit edit(Opt(T::etString).Prefix(L"<").Suffix(L">"));
    edit.Load(L"<abc>", 0, 0);
    edit.Core().SelectValue();
    EXPECT_EQ(edit.Anchor, 1);
    EXPECT_EQ(edit.Caret, 4);
    edit.Core().Options.ShowURL = true;
    edit.Load(L"<http://x>", 0, 0);
    edit.Core().SelectValue();
    EXPECT_EQ(edit.Anchor, 8);
    // Nothing while loading or read-only.
    edit.Core().Loading = true;
    edit.Core().SetModifiedState(true);
    EXPECT_FALSE(edit.Core().ModifiedState());
    edit.Core().Loading = false;
    edit.Core().Options.ReadOnly = true;
    edit.Core().SetModifiedState(true);
    EXPECT_FALSE(edit.Core().ModifiedState());
}

}  // namespace
}  // namespace kel
