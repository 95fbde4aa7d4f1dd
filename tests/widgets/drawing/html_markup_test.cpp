// The mini-HTML vocabulary: colours, entities, line breaks, "<#", numbers,
// attributes, tag starts and picture sources.
#include <gtest/gtest.h>

#include <climits>

#include "widgets/drawing/HtmlMarkup.h"

namespace kel {
namespace {

using fw::TColor;

TEST(HtmlColors, NamesAndHexValues) {
    struct Row {
        const wchar_t* value;
        TColor color;
    } rows[] = {
        {L"clred", fw::clRed},
        {L"clNavy", fw::clNavy},         // any case
        {L"clbtnface", fw::clBtnFace},   // system colours stay system colours
        {L"clinfobk", fw::clInfoBk},
        {L"cl3ddkshadow", fw::cl3DDkShadow},
        {L"clnosuch", fw::clBlack},      // unknown names are black
        {L"", fw::clBlack},
        {L"#FF8000", fw::RGBColor(0xFF, 0x80, 0x00)},
        {L"#00ff00", fw::clLime},
        {L"#12345", fw::RGBColor(0x12, 0x34, 0)},  // a pair of one character reads 0
        {L"#", fw::clBlack},
        {L"#GG10ZZ", fw::RGBColor(0, 0x10, 0)},    // non-digits count 0, never spill
        {L"#F~0000", fw::RGBColor(0xF0, 0, 0)},
    };
    for (const Row& r : rows) EXPECT_EQ(HtmlColor(r.value), r.color) << r.value;
    EXPECT_EQ(HtmlColorByName(L"clRed"), fw::clBlack);  // the name lookup itself wants lower case
    EXPECT_EQ(HtmlHexColor(L"#0000FF"), fw::clBlue);
}

TEST(HtmlText, ReplaceFirstTextIgnoresCaseAndReplacesOnce) {
    std::wstring text = L"a &AMP; b &amp; c";
    EXPECT_TRUE(ReplaceFirstText(L"&amp;", L"&", text));
    EXPECT_EQ(text, L"a & b &amp; c");
    EXPECT_FALSE(ReplaceFirstText(L"&euro;", L"\u20AC", text));
    EXPECT_FALSE(ReplaceFirstText(L"", L"x", text));
    EXPECT_EQ(text, L"a & b &amp; c");
}

TEST(HtmlText, LineBreaksAndHashTags) {
    EXPECT_EQ(LineBreaksToBR(L"a\r\nb\r\n\r\nc\nd", true), L"a<BR>b<BR><BR>cd");
    EXPECT_EQ(LineBreaksToBR(L"a\r\nb\rc", false), L"abc");
    EXPECT_EQ(UnwrapFirstHashTag(L"x <#tag> y <#two>"), L"x #tag y <#two>");
    EXPECT_EQ(UnwrapFirstHashTag(L"a <#b"), L"a #b");
    EXPECT_EQ(UnwrapFirstHashTag(L"a > <b>"), L"a > <b>");
}

TEST(HtmlText, EntitiesDecodeOnceLeftToRight) {
    struct Row {
        const wchar_t* in;
        const wchar_t* out;
    } rows[] = {
        {L"&amp;", L"&"},
        {L"&AMP;lt;", L"&lt;"},          // what "&amp;" yields is not decoded again
        {L"&amp;amp;", L"&amp;"},
        {L"&lt;B&gt;", L"<B>"},
        {L"a&nbsp;b", L"a\u00A0b"},
        {L"&quot;&sect;&permil;&reg;&copy;&para;&trade;&euro;", L"\"\u00A7\u2030\u00AE\u00A9\u00B6\u2122\u20AC"},
        {L"a & b", L"a & b"},
        {L"&foo; &amp", L"&foo; &amp"},  // unknown or unterminated: kept
        {L"&&amp;;", L"&&;"},
    };
    for (const Row& r : rows) EXPECT_EQ(DecodeHtmlEntities(r.in), r.out) << r.in;
}

TEST(HtmlText, NumbersReadLikeTheRunTime) {
    struct Row {
        const wchar_t* in;
        int value;
        bool complete;
    } rows[] = {
        {L"12", 12, true},    {L"  -7", -7, true},  {L"+3", 3, true},     {L"$1F", 31, true},
        {L"0x10", 16, true},  {L"12px", 12, false}, {L"abc", 0, false},   {L"", 0, false},
        {L"-", 0, false},     {L"12 ", 12, false},  {L"40000", kHtmlNumberLimit, true},
        {L"-40000", -kHtmlNumberLimit, true},        {L"99999999999", kHtmlNumberLimit, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ReadHtmlNumber(r.in), r.value) << r.in;
        int v = -1;
        EXPECT_EQ(TryReadHtmlNumber(r.in, v), r.complete) << r.in;
        EXPECT_EQ(v, r.complete ? r.value : -1) << r.in;
    }
    // Unclamped, the whole int range.
    bool complete = false;
    EXPECT_EQ(ReadRunTimeInteger(L"-2147483648", complete), INT_MIN);
    EXPECT_TRUE(complete);
    EXPECT_EQ(ReadRunTimeInteger(L"2147483648", complete), INT_MAX);
    EXPECT_FALSE(complete);
}

TEST(HtmlText, AttributeValuesAreTheFirstQuotedText) {
    EXPECT_EQ(HtmlAttribute(L" ALIGN=\"RIGHT\" INDENT=\"4\">", L"INDENT").value(), L"4");
    EXPECT_EQ(HtmlAttribute(L" ALIGN=RIGHT>", L"ALIGN").value(), L"");         // unquoted reads empty
    EXPECT_EQ(HtmlAttribute(L" ALIGN=\"RIGHT>", L"ALIGN").value(), L"");       // one quote only
    EXPECT_FALSE(HtmlAttribute(L" ALIGN=\"RIGHT\">", L"INDENT").has_value());
    // Found in an upper-cased copy, read from the original.
    EXPECT_EQ(HtmlAttribute(L" SRC=\"LOGO.PNG\">", L" src=\"Logo.png\">", L"SRC").value(), L"Logo.png");
}

TEST(HtmlText, OnlyALetterSlashOrBangAfterTheBracketStartsATag) {
    struct Row {
        const wchar_t* text;
        size_t tag;
    } rows[] = {
        {L"<b>x", 0},       {L"x</A>", 1},   {L"a < b", std::wstring::npos}, {L"a <b", std::wstring::npos},
        {L"1 <2> <i>", 6},  {L"<", std::wstring::npos}, {L"<#x>", std::wstring::npos}, {L"x<<p>", 2},
        {L"a<!-- note -->", 1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FindHtmlTag(r.text), r.tag) << r.text;
        EXPECT_EQ(StartsHtmlTag(r.text), r.tag == 0) << r.text;
    }
}

TEST(HtmlText, PictureSources) {
    struct Row {
        const wchar_t* source;
        THtmlImageKind kind;
        int index;
        const wchar_t* name;
    } rows[] = {
        {L"IDX:3", THtmlImageKind::ImageList, 3, L""},
        {L"idx:12x", THtmlImageKind::ImageList, 12, L""},
        {L"SSYS:5", THtmlImageKind::SmallIcon, 0, L"5"},
        {L"lsys:c:\\a.txt", THtmlImageKind::LargeIcon, 0, L"c:\\a.txt"},
        {L"Logo", THtmlImageKind::Store, 0, L"Logo"},
        {L"RES://PIC", THtmlImageKind::Url, 0, L"RES://PIC"},
        {L"file://c:\\x.gif", THtmlImageKind::Url, 0, L"file://c:\\x.gif"},
        {L"c:\\x.gif", THtmlImageKind::None, 0, L""},  // a colon never goes to the store
        {L"", THtmlImageKind::None, 0, L""},
    };
    for (const Row& r : rows) {
        THtmlImageRef ref = ClassifyHtmlImage(r.source);
        EXPECT_EQ(ref.Kind, r.kind) << r.source;
        EXPECT_EQ(ref.Index, r.index) << r.source;
        EXPECT_EQ(ref.Source, r.name) << r.source;
    }
}

}  // namespace
}  // namespace kel
