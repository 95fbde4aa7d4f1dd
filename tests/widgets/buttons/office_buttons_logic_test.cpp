// The office check box's and radio button's platform-free rules.
#include "widgets/buttons/KelOfficeButtonsLogic.h"

#include <gtest/gtest.h>

namespace kel::office {
namespace {

TEST(OfficeButtonsLogic, ToggleSequences) {
    struct Row {
        const char* what;
        bool allowGrayed, readOnly;
        TCheckBoxState from, to;
    } rows[] = {
        {"plain checks", false, false, cbUnchecked, cbChecked},
        {"plain unchecks", false, false, cbChecked, cbUnchecked},
        {"grayed becomes checked", false, false, cbGrayed, cbChecked},
        {"three states: unchecked to grayed", true, false, cbUnchecked, cbGrayed},
        {"three states: grayed to checked", true, false, cbGrayed, cbChecked},
        {"three states: checked to unchecked", true, false, cbChecked, cbUnchecked},
        {"read-only keeps unchecked", false, true, cbUnchecked, cbUnchecked},
        {"read-only keeps grayed", true, true, cbGrayed, cbGrayed},
    };
    for (const Row& r : rows) EXPECT_EQ(ToggledState(r.from, r.allowGrayed, r.readOnly), r.to) << r.what;
}

TEST(OfficeButtonsLogic, ThemeStatesAndGlyphNames) {
    struct Row {
        TCheckBoxState value;
        bool enabled, down, hot;
        int state;
        const wchar_t* check;
        const wchar_t* radio;
    } rows[] = {
        {cbUnchecked, true, false, false, 1, L"KELMOFCU", L"KELMOFRU"},
        {cbUnchecked, true, false, true, 3, L"KELMOFCUH", L"KELMOFRUH"},
        {cbUnchecked, true, true, true, 3, L"KELMOFCUD", L"KELMOFRUD"},
        {cbUnchecked, false, true, true, 4, L"KELMOFCUD", L"KELMOFRUD"},
        {cbChecked, true, false, false, 5, L"KELMOFCC", L"KELMOFRC"},
        {cbChecked, true, false, true, 7, L"KELMOFCCH", L"KELMOFRCH"},
        {cbChecked, false, false, false, 8, L"KELMOFCC", L"KELMOFRC"},
        {cbGrayed, true, false, false, 9, L"KELMOFCG", L"KELMOFRU"},
        {cbGrayed, true, false, true, 10, L"KELMOFCGH", L"KELMOFRUH"},
        {cbGrayed, true, true, false, 11, L"KELMOFCGD", L"KELMOFRUD"},
        {cbGrayed, false, false, true, 12, L"KELMOFCGH", L"KELMOFRUH"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ThemeState(r.value, r.enabled, r.down, r.hot), r.state) << r.state;
        EXPECT_EQ(GlyphResourceName(false, r.value, r.down, r.hot), r.check) << r.state;
        EXPECT_EQ(GlyphResourceName(true, r.value, r.down, r.hot), r.radio) << r.state;
    }
}

TEST(OfficeButtonsLogic, VersionTests) {
    EXPECT_FALSE(IsWinXPOrLater(0x00000005));  // 5.0
    EXPECT_TRUE(IsWinXPOrLater(0x00000105));   // 5.1
    EXPECT_TRUE(IsWinXPOrLater(0x00000106));   // 6.1
    EXPECT_FALSE(IsWinXPOrLater(0x00000A04));  // 4.10
    EXPECT_EQ(MajorFileVersion(0x00050051), 5);   // 5.81, as Wine reports
    EXPECT_EQ(MajorFileVersion(0x00060000), 6);
    EXPECT_EQ(MajorFileVersion(-1), 0);           // unreadable: not themed
}

TEST(OfficeButtonsLogic, OnlyWebAndMailLinksGoToTheShell) {
    struct Row {
        const wchar_t* href;
        bool shell;
    } rows[] = {
        {L"http://example.com", true},   {L"HTTPS://example.com/a", true}, {L"mailto:a@b.c", true},
        {L"file:///c:/windows", false},  {L"ftp://host/x", false},        {L"javascript:x()", false},
        {L"page1", false},               {L"see mailto:a@b.c", false},    {L"x://http://a", false},
        {L"", false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(OpensInShell(r.href), r.shell);
    }
}

TEST(OfficeButtonsLogic, Accelerators) {
    EXPECT_TRUE(IsAccelerator(L'g', L"&Grid"));
    EXPECT_TRUE(IsAccelerator(L'R', L"G&rid"));
    EXPECT_FALSE(IsAccelerator(L'g', L"Grid"));
    EXPECT_FALSE(IsAccelerator(L'x', L"a && b"));
    EXPECT_TRUE(IsAccelerator(L'b', L"a && &b"));
    EXPECT_FALSE(IsAccelerator(L'a', L"trailing &"));
}

TEST(OfficeButtonsLogic, GlyphPlaces) {
    TGlyphPlace p;
    p.ClientWidth = 120;
    p.ClientHeight = 20;
    p.TextHeightGh = 13;
    struct Row {
        bool radio, themed, right;
        TTextLayout align;
        TIntRect rect;
    } rows[] = {
        {false, false, false, tlTop, {0, 4, 13, 17}},
        {false, true, false, tlTop, {0, 3, 16, 19}},
        {true, false, false, tlTop, {0, 4, 12, 16}},
        {true, true, false, tlTop, {0, 4, 16, 20}},
        {false, false, false, tlCenter, {0, 4, 13, 17}},
        {true, false, false, tlCenter, {0, 4, 12, 16}},
        {false, true, false, tlCenter, {0, 2, 16, 18}},
        {false, false, false, tlBottom, {0, 7, 13, 20}},
        {true, false, false, tlBottom, {0, 6, 12, 18}},
        {true, true, false, tlBottom, {0, 4, 16, 20}},
        {false, false, true, tlTop, {106, 4, 119, 17}},
        {true, false, true, tlTop, {107, 4, 119, 16}},
        {false, true, true, tlTop, {103, 3, 119, 19}},
    };
    for (const Row& r : rows) {
        p.Radio = r.radio;
        p.Themed = r.themed;
        p.AtRight = r.right;
        p.VertAlign = r.align;
        p.BitmapWidth = p.BitmapHeight = r.radio ? 12 : 13;
        EXPECT_EQ(GlyphRect(p), r.rect) << r.radio << r.themed << r.right << r.align;
    }
    EXPECT_EQ(GlyphStrip(120, 20, false), (TIntRect{0, 0, 20, 20}));
    EXPECT_EQ(GlyphStrip(120, 20, true), (TIntRect{100, 0, 120, 20}));
}

TEST(OfficeButtonsLogic, CaptionAndFocusRectangles) {
    EXPECT_EQ(CaptionBox(false, 120, 20, false), (TIntRect{16, 4, 120, 20}));
    EXPECT_EQ(CaptionBox(true, 135, 20, false), (TIntRect{18, 4, 135, 20}));
    EXPECT_EQ(CaptionBox(false, 120, 20, true), (TIntRect{0, 4, 104, 20}));
    // Right-to-left: flush right, 3 pixels in.
    EXPECT_EQ(PlaceCaption(false, TIntRect{0, 4, 104, 20}, 50, true, tlTop, 0), (TIntRect{51, 4, 104, 20}));
    // The radio caption follows the vertical alignment; the check box's does not.
    EXPECT_EQ(PlaceCaption(true, TIntRect{18, 4, 135, 40}, 50, false, tlCenter, 14).Top, 12);
    EXPECT_EQ(PlaceCaption(true, TIntRect{18, 4, 135, 40}, 50, false, tlBottom, 14).Top, 23);
    EXPECT_EQ(PlaceCaption(false, TIntRect{16, 4, 135, 40}, 50, false, tlBottom, 14).Top, 4);
    EXPECT_EQ(FocusOutline(false, TIntRect{16, 4, 120, 20}, 40, 13, 20), (TIntRect{16, 4, 59, 17}));
    EXPECT_EQ(FocusOutline(true, TIntRect{18, 4, 135, 20}, 40, 13, 20), (TIntRect{0, 3, 59, 19}));
}

TEST(OfficeButtonsLogic, GlyphBitmaps) {
    const wchar_t* names[] = {L"KELMOFCU", L"KELMOFCUH", L"KELMOFCUD", L"KELMOFCC", L"KELMOFCCH", L"KELMOFCCD",
                              L"KELMOFCG", L"KELMOFCGH", L"KELMOFCGD", L"KELMOFRU", L"KELMOFRUH", L"KELMOFRUD",
                              L"KELMOFRC", L"KELMOFRCH", L"KELMOFRCD"};
    for (const wchar_t* name : names) {
        const auto g = OfficeGlyphResource(name);
        ASSERT_TRUE(g) << name;
        const bool radio = name[6] == L'R';
        EXPECT_EQ(g->Width, radio ? 12 : 13);
        EXPECT_EQ(g->Height, radio ? 12 : 13);
        // The corners are the transparent colour, the middle is not.
        EXPECT_EQ(g->At(0, 0), g->TransparentColor());
        EXPECT_NE(g->At(g->Width / 2, g->Height / 2), g->TransparentColor());
    }
    // Checked differs from unchecked in the middle; hot and down differ
    // from normal at the border.
    EXPECT_NE(OfficeGlyphResource(L"KELMOFCC")->At(5, 8), OfficeGlyphResource(L"KELMOFCU")->At(5, 8));
    EXPECT_NE(OfficeGlyphResource(L"KELMOFRC")->At(5, 5), OfficeGlyphResource(L"KELMOFRU")->At(5, 5));
    EXPECT_NE(OfficeGlyphResource(L"KELMOFCUH")->At(6, 0), OfficeGlyphResource(L"KELMOFCU")->At(6, 0));
    EXPECT_NE(OfficeGlyphResource(L"KELMOFCUD")->At(6, 0), OfficeGlyphResource(L"KELMOFCUH")->At(6, 0));
    for (const wchar_t* bad : {L"KELMOFRG", L"KELMOFCX", L"KELMOFCUX", L"KELMOF", L"KELCHECKITEM"})
        EXPECT_FALSE(OfficeGlyphResource(bad)) << bad;
}

}  // namespace
}  // namespace kel::office
