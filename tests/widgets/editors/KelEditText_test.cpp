// The typed edit's text rules: window text and value, number reading and
// writing, classification, hexadecimal, mixed case, URLs and the measures
// of the key filter.
#include <gtest/gtest.h>

#include <cmath>

#include "widgets/editors/KelEditLocale.h"
#include "widgets/editors/KelEditText.h"

namespace kel {
namespace {

const TNumberSeparators kEnglish{L'.', L','};
const TNumberSeparators kGerman{L',', L'.'};

TEST(KelEditText, ValueOfWindowTextDropsPrefixAndSuffixLength) {
    struct Row {
        const wchar_t* window;
        const wchar_t* prefix;
        const wchar_t* suffix;
        const wchar_t* value;
    } rows[] = {
        {L"$12 EUR", L"$", L" EUR", L"12"},
        {L"12 EUR", L"$", L" EUR", L"12"},
        // The suffix's length goes, whatever the characters are.
        {L"12abcd", L"", L" EUR", L"12"},
        // Shorter than the suffix: unchanged.
        {L"12", L"", L" EUR", L"12"},
        {L"$1", L"$", L" EUR", L"1"},
        {L"x$12", L"$", L"", L"x$12"},
        {L"", L"$", L"%", L""},
    };
    for (const Row& r : rows) EXPECT_EQ(ValueOfWindowText(r.window, r.prefix, r.suffix), r.value) << r.window;
}

TEST(KelEditText, ClassifyNumberText) {
    struct Row {
        const wchar_t* text;
        int expected;
    } rows[] = {
        {L"12", kNumberInteger},      {L"-", kNumberInteger},       {L"-12", kNumberInteger},
        {L"1,234.5", kNumberSeparated}, {L"1,234,567", kNumberSeparated}, {L"12.5", kNumberSeparated},
        {L"1,2,3", kNumberOther},     {L",234", kNumberOther},      {L"1.2.3", kNumberOther},
        {L"--", kNumberOther},        {L"", kNumberOther},          {L"1 2", kNumberOther},
        {L"1A", kNumberHex},          {L"ABC", kNumberHex},         {L"-ff", kNumberHex},
        {L"1G", kNumberOther},
    };
    for (const Row& r : rows) EXPECT_EQ(ClassifyNumberText(r.text, kEnglish), r.expected) << r.text;
    // The locale's separators count: "," is the German decimal separator.
    EXPECT_EQ(ClassifyNumberText(L"1,2,3", kGerman), kNumberOther);
    EXPECT_EQ(ClassifyNumberText(L"1.234,5", kGerman), kNumberSeparated);
}

TEST(KelEditText, TextToNumberReadsTheLocaleOrGivesZero) {
    struct Row {
        const wchar_t* text;
        TNumberSeparators seps;
        double value;
    } rows[] = {
        {L"1,234.5", kEnglish, 1234.5}, {L"-12", kEnglish, -12},    {L" 7 ", kEnglish, 7},
        {L"1.5E3", kEnglish, 1500},     {L"12.", kEnglish, 12},     {L".5", kEnglish, 0.5},
        {L"1.234,5", kGerman, 1234.5},  {L"1.5", kGerman, 15},      {L"abc", kEnglish, 0},
        {L"-", kEnglish, 0},            {L"1-2", kEnglish, 0},      {L"1e999", kEnglish, 0},
        {L"", kEnglish, 0},
    };
    for (const Row& r : rows) EXPECT_DOUBLE_EQ(TextToNumber(r.text, r.seps), r.value) << r.text;
}

TEST(KelEditText, NumberFormats) {
    EXPECT_EQ(FormatFixed(1234.5, 2, kEnglish), L"1234.50");
    EXPECT_EQ(FormatGrouped(1234.5, 2, kEnglish), L"1,234.50");
    EXPECT_EQ(FormatGrouped(-1234567, 0, kEnglish), L"-1,234,567");
    EXPECT_EQ(FormatGrouped(123, 0, kEnglish), L"123");
    EXPECT_EQ(FormatGrouped(1234.5, 2, kGerman), L"1.234,50");
    EXPECT_EQ(FormatFixed(-0.001, 2, kEnglish), L"0.00");
    EXPECT_EQ(FormatFixed(2.5, 0, kEnglish), L"2");
    struct Row {
        double value;
        const wchar_t* text;
    } general[] = {
        {1.5, L"1.5"},       {1.50, L"1.5"},          {0, L"0"},          {-12, L"-12"},
        {0.00001, L"0.00001"}, {0.000001, L"1E-6"},   {1.5e20, L"1.5E20"}, {123456789012345.0, L"123456789012345"},
        {1.0 / 3, L"0.333333333333333"},
    };
    for (const Row& r : general) EXPECT_EQ(FormatGeneral(r.value, kEnglish), r.text) << r.value;
    EXPECT_EQ(FormatGeneral(1.5, kGerman), L"1,5");
}

TEST(KelEditText, Hexadecimal) {
    EXPECT_EQ(HexToInt(L"ff"), 255);
    EXPECT_EQ(HexToInt(L"FF"), 255);
    EXPECT_EQ(HexToInt(L"1x2"), 0x102);  // other characters count 0
    EXPECT_EQ(HexToInt(L"FFFFFFFF"), -1);
    EXPECT_EQ(HexToInt(L"123456789"), 0x23456789);  // 32-bit arithmetic: the ninth digit drops out
    EXPECT_EQ(HexToInt(L""), 0);
    EXPECT_EQ(HexText(0), L"0");
    EXPECT_EQ(HexText(0xABC), L"ABC");
    EXPECT_EQ(HexText(static_cast<uint64_t>(-1)), L"FFFFFFFFFFFFFFFF");
}

TEST(KelEditText, MixedCase) {
    struct Row {
        const wchar_t* in;
        const wchar_t* out;
    } rows[] = {
        {L"mcdonald", L"McDonald"},       {L"macdonald", L"MacDonald"},
        {L"john mcdonald", L"John McDonald"}, {L"henry iii", L"Henry III"},
        {L"o'neil-smith", L"O'Neil-Smith"}, {L"JOHN SMITH", L"John Smith"},
        {L"henry ii", L"Henry II"},       {L"a/b:c*d$e)f\"g", L"A/B:C*D$E)F\"G"},
        {L"", L""},
    };
    for (const Row& r : rows) EXPECT_EQ(ToMixedCase(r.in, LocaleUpper, LocaleLower), r.out) << r.in;
}

TEST(KelEditText, UrlsAndTheirSelection) {
    EXPECT_TRUE(IsURL(L"http://x"));
    EXPECT_TRUE(IsURL(L"a@b"));
    EXPECT_FALSE(IsURL(L"@b"));
    EXPECT_TRUE(IsURL(L"WWW.example.org"));
    EXPECT_FALSE(IsURL(L"example.org"));
    const TTextRange plain = ValueSelection(L"$", L"http://x", false);
    EXPECT_EQ(plain.Start, 1);
    EXPECT_EQ(plain.Length, 8);
    const TTextRange url = ValueSelection(L"$", L"http://host", true);
    EXPECT_EQ(url.Start, 8);
    EXPECT_EQ(url.Length, 4);
    const TTextRange mail = ValueSelection(L"", L"mailto:a@b", true);
    EXPECT_EQ(mail.Start, 7);
    EXPECT_EQ(mail.Length, 3);
}

TEST(KelEditText, FilterMeasures) {
    EXPECT_EQ(IntegerLength(L"1,234.56", kEnglish, false), 4);
    EXPECT_EQ(IntegerLength(L"-123", kEnglish, true), 3);
    EXPECT_EQ(IntegerLength(L"-123", kEnglish, false), 4);
    // Precision 2, "1.23": full decimals with the caret among them.
    EXPECT_TRUE(DecimalsExceeded(L"1.23", 4, 2, L'.'));
    EXPECT_TRUE(DecimalsExceeded(L"1.23", 3, 2, L'.'));
    EXPECT_FALSE(DecimalsExceeded(L"1.23", 1, 2, L'.'));
    EXPECT_FALSE(DecimalsExceeded(L"1.2", 3, 2, L'.'));
    EXPECT_FALSE(DecimalsExceeded(L"1.23", 4, 0, L'.'));
    // A separator three digits behind the last one is admitted.
    EXPECT_FALSE(ThousandSeparatorMisplaced(L"1,234", 5, L','));
    EXPECT_TRUE(ThousandSeparatorMisplaced(L"1,23", 4, L','));
    EXPECT_TRUE(ThousandSeparatorMisplaced(L"1,2345", 6, L','));
    EXPECT_TRUE(ThousandSeparatorMisplaced(L"1,234", 3, L','));
    EXPECT_FALSE(ThousandSeparatorMisplaced(L"1234", 1, L','));
    const TMergedPaste insert = MergePaste(L"abc", 1, 0, L"XY");
    EXPECT_EQ(insert.Value, L"aXYbc");
    EXPECT_EQ(insert.SelStart, 3);
    EXPECT_EQ(insert.SelLength, 0);
    const TMergedPaste replace = MergePaste(L"abc", 1, 1, L"XY");
    EXPECT_EQ(replace.Value, L"aXYc");
    EXPECT_EQ(replace.SelStart, 1);
    EXPECT_EQ(replace.SelLength, 2);
}

TEST(KelEditText, WellFormedNumbers) {
    struct Row {
        const wchar_t* text;
        bool allowSign;
        int decimals;
        bool ok;
    } rows[] = {
        {L"1234.5", true, 2, true},  {L"1,234.50", true, 2, true}, {L"-12", true, 0, true},
        {L"-12", false, 0, false},   {L"1-2", true, 0, false},     {L"1,2", true, 2, false},
        {L"12,34", true, 2, false},  {L"3.4512", true, 2, false},  {L"3.4512", true, -1, true},
        {L"1.5", true, 0, false},    {L"-", true, 0, true},        {L"12.", true, 2, true},
        {L"1,234,567", true, 0, true}, {L"1234,567", true, 0, false}, {L"1a", true, 0, false},
    };
    for (const Row& r : rows) EXPECT_EQ(IsWellFormedNumber(r.text, kEnglish, r.allowSign, r.decimals), r.ok) << r.text;
}

}  // namespace
}  // namespace kel

namespace kel {
namespace {

TEST(KelEditText, OnlyWebAndMailAddressesGoToTheShell) {
    struct Row {
        const wchar_t* value;
        const wchar_t* opened;  // nullptr: refused
    } rows[] = {
        {L"http://example.org", L"http://example.org"},
        {L"HTTPS://example.org/a?b", L"HTTPS://example.org/a?b"},
        {L" ftp://host ", L"ftp://host"},
        {L"mailto:a@b.org", L"mailto:a@b.org"},
        {L"www.example.org", L"http://www.example.org"},
        {L"anna@example.org", L"mailto:anna@example.org"},
        {L"file://C:/Windows/notepad.exe", nullptr},
        {L"C:\\Windows\\notepad.exe", nullptr},
        {L"javascript://x", nullptr},
        {L"http://", nullptr},
        {L"\\\\server@share\\x", nullptr},
        {L"http://a\nb", nullptr},
        {L"calc", nullptr},
    };
    for (const Row& r : rows) {
        const std::optional<std::wstring> got = ShellOpenableURL(r.value);
        if (r.opened) {
            EXPECT_EQ(got, std::optional<std::wstring>(r.opened)) << r.value;
        } else {
            EXPECT_EQ(got, std::nullopt) << r.value;
        }
    }
}

}  // namespace
}  // namespace kel
