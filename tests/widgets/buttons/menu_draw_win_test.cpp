// Menu drawing in off-screen bitmaps: gradients and their slices, boxes,
// fading lines, clNone painting nothing, the side bar, and whole items.
#include "widgets/buttons/KelMenuDraw.h"

#include <gtest/gtest.h>

#include "framework/gui/actions.h"
#include "framework/gui/image_list.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/buttons/KelMenuItemPainter.h"
#include "widgets/buttons/KelPopupMenu.h"

namespace kel::menus {
namespace {

using test::FillWhite;
using test::InkIn;
using test::Px;
using test::Rgb;

uint32_t Gray(int v) { return Rgb(v, v, v); }

// Pixels of dark text ink in [left, right) x [top, bottom).
int DarkIn(fw::TBitmap& bmp, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint32_t p = Px(bmp, x, y);
            n += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 384;
        }
    return n;
}

TEST(MenuDraw, FillGradientRowsAndSolidFills) {
    fw::TBitmap bmp(10, 8);
    FillWhite(bmp);
    FillGradient(bmp.Canvas(), RECT{0, 0, 10, 4}, gdVertical, fw::clBlack, fw::clWhite);
    const int rows[] = {0, 63, 127, 191};
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Px(bmp, 5, y), Gray(rows[y])) << y;
    FillGradient(bmp.Canvas(), RECT{0, 4, 10, 8}, gdHorizontal, fw::clRed, fw::clNone);
    EXPECT_EQ(Px(bmp, 0, 4), Rgb(255, 0, 0));
    EXPECT_EQ(Px(bmp, 9, 7), Rgb(255, 0, 0));
}

TEST(MenuDraw, NoColourPaintsNothing) {
    fw::TBitmap bmp(20, 20);
    FillWhite(bmp);
    FillGradient(bmp.Canvas(), RECT{0, 0, 20, 20}, gdVertical, fw::clNone, fw::clNone);
    DrawGradientBox(bmp.Canvas(), RECT{0, 0, 20, 20}, fw::clNone, fw::clNone, gdVertical, fw::clNone, true);
    DrawMirrorBox(bmp.Canvas(), RECT{0, 0, 20, 20}, fw::clNone, 0, 0, 0, gdVertical, fw::clNone, true);
    FrameColor(bmp.Canvas(), RECT{0, 0, 20, 20}, fw::clNone);
    EXPECT_EQ(InkIn(bmp, 0, 0, 20, 20), 0);
}

TEST(MenuDraw, GradientPartPaintsItsSliceOfTheWhole) {
    fw::TBitmap bmp(10, 100);
    FillWhite(bmp);
    FillGradientPart(bmp.Canvas(), RECT{0, 0, 10, 100}, RECT{0, 50, 10, 75}, gdVertical, fw::clBlack, fw::clWhite);
    for (int i : {0, 1, 12, 24}) EXPECT_EQ(Px(bmp, 3, 50 + i), Gray(127 + 64 * i / 25)) << i;
    EXPECT_EQ(Px(bmp, 3, 49), Gray(255));
    EXPECT_EQ(Px(bmp, 3, 75), Gray(255));
    // A start colour of clNone counts as white.
    FillGradientPart(bmp.Canvas(), RECT{0, 0, 10, 100}, RECT{0, 0, 10, 10}, gdVertical, fw::clNone, fw::clBlack);
    EXPECT_EQ(Px(bmp, 3, 0), Gray(255));
    EXPECT_EQ(Px(bmp, 3, 9), Gray(255 - 255 * 9 / 100));
}

TEST(MenuDraw, BoxesAndMirrorHalves) {
    fw::TBitmap bmp(20, 20);
    FillWhite(bmp);
    DrawMirrorBox(bmp.Canvas(), RECT{0, 0, 20, 20}, fw::clRed, fw::clNone, fw::clBlue, fw::clNone, gdVertical,
                  fw::clBlack, true);
    EXPECT_EQ(Px(bmp, 0, 0), 0u);
    EXPECT_EQ(Px(bmp, 19, 19), 0u);
    EXPECT_EQ(Px(bmp, 5, 9), Rgb(255, 0, 0));
    EXPECT_EQ(Px(bmp, 5, 10), Rgb(0, 0, 255));
    DrawGradientBox(bmp.Canvas(), RECT{0, 0, 20, 20}, fw::clLime, fw::clLime, gdVertical, fw::clNone, false);
    EXPECT_EQ(Px(bmp, 5, 5), Rgb(255, 0, 0));
}

TEST(MenuDraw, SeparatorLines) {
    fw::TBitmap bmp(60, 4);
    FillWhite(bmp);
    // Solid, 3 pixels shorter at each end.
    DrawGradientLine(bmp.Canvas(), RECT{0, 0, 60, 1}, fw::clBlack, fw::clNone, gdHorizontal, gtBoth, 0, 3);
    EXPECT_EQ(Px(bmp, 2, 0), Gray(255));
    EXPECT_EQ(Px(bmp, 3, 0), 0u);
    EXPECT_EQ(Px(bmp, 56, 0), 0u);
    EXPECT_EQ(Px(bmp, 57, 0), Gray(255));
    // gtLeft with 20: fades from Color to ColorTo, then solid ColorTo.
    DrawGradientLine(bmp.Canvas(), RECT{0, 2, 60, 3}, fw::clBlack, fw::clWhite, gdHorizontal, gtLeft, 20, 0);
    EXPECT_EQ(Px(bmp, 0, 2), 0u);
    EXPECT_EQ(Px(bmp, 10, 2), Gray(127));
    EXPECT_EQ(Px(bmp, 19, 2), Gray(242));
    EXPECT_EQ(Px(bmp, 20, 2), Gray(255));
}

TEST(MenuDraw, SideBarCaptionBorderAndSplitter) {
    TKelMenuStyler styler(nullptr);
    TSideBar& bar = styler.SideBar();
    bar.SetCaption(L"Side");
    bar.Font().SetColor(fw::clBlack);
    bar.Font().SetHeight(-14);
    bar.SetAlignment(fw::TAlignment::taCenter);
    fw::TBitmap bmp(25, 120);
    FillWhite(bmp);
    const RECT sb{0, 0, 25, 120};
    DrawSideBarCaption(bmp.Canvas(), sb, bar);
    // Upright text runs up from the middle: ink in the bar's middle only.
    EXPECT_GT(InkIn(bmp, 2, 30, 22, 90), 20);
    EXPECT_EQ(InkIn(bmp, 0, 0, 25, 15), 0);
    EXPECT_EQ(InkIn(bmp, 0, 105, 25, 120), 0);
    FillWhite(bmp);
    DrawSideBarBorder(bmp.Canvas(), sb, bar);
    DrawSideBarSplitter(bmp.Canvas(), sb, bar);
    EXPECT_EQ(Px(bmp, 0, 60), Rgb(0x9D, 0x9D, 0xA1));
    EXPECT_EQ(Px(bmp, 23, 60), Rgb(0x9D, 0x9D, 0xA1));
    // gtBoth with no fading: one solid splitter in SplitterColor.
    EXPECT_EQ(Px(bmp, 24, 60), Gray(128));
}

TEST(MenuDraw, RotatedFont) {
    fw::TFont font;
    font.SetName(L"Tahoma");
    font.SetStyle(fw::fsBold | fw::fsItalic);
    fw::GdiObject<HFONT> rotated(MakeRotatedFont(font, 90));
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(rotated.get(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(lf.lfHeight, font.Height());
}

// Items painted without an open menu window: the item is the menu area.
class ItemPaint : public ::testing::Test {
protected:
    void SetUp() override {
        FillWhite(bmp);
        canvas = &bmp.Canvas();
        canvas->Font().Assign(fw::MenuFont());
    }
    fw::TMenuItem* Add(const std::wstring& caption) {
        auto* item = new fw::TMenuItem(&menu);
        item->SetCaption(caption);
        menu.Items()->Add(item);
        return item;
    }
    TKelPopupMenu menu{nullptr};
    fw::TBitmap bmp{150, 24};
    fw::TCanvas* canvas = nullptr;
};

TEST_F(ItemPaint, IconColumnBackgroundAndCaption) {
    fw::TMenuItem* item = Add(L"Open");
    TCustomKelMenuStyler& styler = *menu.GetCurrentStyler();
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, 0);
    // Icon column: horizontal gradient starting at IconBar.Color.
    EXPECT_EQ(Px(bmp, 0, 10), Rgb(0xF9, 0xF9, 0xFF));
    EXPECT_EQ(Px(bmp, 60, 2), Rgb(0xFD, 0xFA, 0xFF));
    EXPECT_GT(DarkIn(bmp, 32, 4, 80, 20), 10);
    EXPECT_EQ(styler.IconBar().Size(), 24);
}

TEST_F(ItemPaint, SelectedHighlightAndCheckGlyph) {
    fw::TMenuItem* item = Add(L"Check");
    item->SetChecked(true);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, fw::odSelected);
    // The highlight frame in SelectedItem.BorderColor, fill SelectedItem.Color.
    EXPECT_EQ(Px(bmp, 60, 0), Rgb(0x4B, 0x4B, 0x6F));
    EXPECT_EQ(Px(bmp, 100, 12), Rgb(0xFF, 0xEE, 0xC2));
    // The check box in the selected check colour, with the mark in button text.
    const uint32_t checkColour = Rgb(0xFE, 0x80, 0x3E);
    int box = 0;
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 22; ++x) box += Px(bmp, x, y) == checkColour;
    EXPECT_GT(box, 100);
    const uint32_t text = static_cast<uint32_t>(fw::ToColorRef(fw::clBtnText));
    EXPECT_EQ(Px(bmp, 4 + 6, 4 + 11), ((text & 0xFF) << 16) | (text & 0xFF00) | ((text >> 16) & 0xFF));
}

TEST_F(ItemPaint, NoHighlightColourNoFill) {
    fw::TMenuItem* item = Add(L"Plain");
    menu.GetCurrentStyler()->SelectedItem().SetColorByIndex(0, fw::clNone);
    menu.GetCurrentStyler()->SelectedItem().SetBorderColor(fw::clNone);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, fw::odSelected);
    EXPECT_EQ(Px(bmp, 100, 12), Rgb(0xFD, 0xFA, 0xFF));
    EXPECT_EQ(Px(bmp, 60, 0), Rgb(0xFD, 0xFA, 0xFF));
}

TEST_F(ItemPaint, SeparatorAndSubmenuArrow) {
    fw::TMenuItem* line = Add(L"-");
    DrawMenuItem(line, *canvas, RECT{0, 0, 133, 3}, false, 0);
    // Starts after the icon column, inset by the margin.
    EXPECT_EQ(Px(bmp, 24 + 2, 1), Rgb(0x6E, 0x6D, 0x8F));
    EXPECT_NE(Px(bmp, 24 + 1, 1), Rgb(0x6E, 0x6D, 0x8F));
    EXPECT_EQ(Px(bmp, 130, 1), Rgb(0x6E, 0x6D, 0x8F));
    FillWhite(bmp);
    fw::TMenuItem* parent = Add(L"More");
    auto* child = new fw::TMenuItem(&menu);
    child->SetCaption(L"Inner");
    parent->Add(child);
    DrawMenuItem(parent, *canvas, RECT{0, 0, 133, 24}, false, 0);
    // The arrow's first column is 4 pixels tall... its tip row has one pixel.
    EXPECT_GT(InkIn(bmp, 124, 8, 129, 16), 0);
    EXPECT_EQ(Px(bmp, 126, 11), 0u);
}

TEST_F(ItemPaint, ShortCutTextIsRightAligned) {
    fw::TMenuItem* item = Add(L"Save");
    item->SetShortCut(fw::scCtrl | 'S');
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, 0);
    // The short-cut ends 10 pixels before the right edge.
    EXPECT_GT(DarkIn(bmp, 90, 4, 123, 20), 5);
    EXPECT_EQ(DarkIn(bmp, 124, 4, 133, 20), 0);
}

TEST_F(ItemPaint, NotesGoBelowTheCaptionLine) {
    fw::TMenuItem* item = Add(L"Caption\\nnote");
    fw::TBitmap tall(150, 40);
    FillWhite(tall);
    fw::TCanvas& c = tall.Canvas();
    c.Font().Assign(fw::MenuFont());
    const int lineHeight = c.TextHeight(L"gh");
    RECT r{30, 2, 140, 40};
    DrawMenuItemText(item, c, item->Caption(), r, 0, DT_LEFT | DT_SINGLELINE);
    // The note line starts one caption line lower.
    EXPECT_GT(InkIn(tall, 30, 2, 140, 2 + lineHeight), 0);
    EXPECT_GT(InkIn(tall, 30, 2 + lineHeight + 4, 140, 40), 5);
    // Without notes the whole caption is one line, backslash included.
    menu.SetShowNotes(false);
    FillWhite(tall);
    r = RECT{30, 2, 140, 40};
    DrawMenuItemText(item, c, item->Caption(), r, 0, DT_LEFT | DT_SINGLELINE);
    EXPECT_EQ(InkIn(tall, 30, 2 + lineHeight + 4, 140, 40), 0);
    EXPECT_GT(InkIn(tall, 30, 2, 140, 2 + lineHeight), 0);
}

TEST_F(ItemPaint, SideBarLevels) {
    fw::TMenuItem* top = Add(L"Top");
    auto* inner = new fw::TMenuItem(&menu);
    top->Add(inner);
    TSideBar& bar = menu.GetCurrentStyler()->SideBar();
    struct Row {
        bool visible;
        TSideBarVisibleIn in;
        bool top, inner;
    } rows[] = {
        {false, viAnyLevel, false, false},
        {true, viFirstVisible, false, false},
        {true, viFirstLevel, true, false},
        {true, viAnyLevel, true, true},
    };
    for (const Row& row : rows) {
        bar.SetVisible(row.visible);
        bar.SetVisibleIn(row.in);
        EXPECT_EQ(SideBarShownFor(top), row.top) << int(row.in);
        EXPECT_EQ(SideBarShownFor(inner), row.inner) << int(row.in);
    }
    // Painted beside the first visible item: the bar's background first.
    bar.Background().SetColorByIndex(0, fw::clNavy);
    DrawMenuItem(top, *canvas, RECT{0, 0, 133, 24}, true, 0);
    EXPECT_EQ(Px(bmp, 5, 12), Rgb(0, 0, 0x80));
    EXPECT_EQ(Px(bmp, 25, 12), Rgb(0xF9, 0xF9, 0xFF));
}

TEST_F(ItemPaint, DisabledImagesDrawInColour) {
    fw::TImageList images(nullptr, 16, 16), disabled(nullptr, 16, 16);
    fw::TBitmap red(16, 16), blue(16, 16);
    red.Canvas().Brush().SetColor(fw::clRed);
    red.Canvas().FillRect(RECT{0, 0, 16, 16});
    blue.Canvas().Brush().SetColor(fw::clBlue);
    blue.Canvas().FillRect(RECT{0, 0, 16, 16});
    images.AddMasked(red, fw::clWhite);
    disabled.AddMasked(blue, fw::clWhite);
    menu.SetImages(&images);
    fw::TMenuItem* item = Add(L"Image");
    item->SetImageIndex(0);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, 0);
    EXPECT_EQ(Px(bmp, 12, 12), Rgb(255, 0, 0));
    item->SetEnabled(false);
    menu.SetDisabledImages(&disabled);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, fw::odDisabled);
    EXPECT_EQ(Px(bmp, 12, 12), Rgb(0, 0, 255));
    menu.SetImages(nullptr);
    menu.SetDisabledImages(nullptr);
}

TEST_F(ItemPaint, ActionImagesComeFromTheActionList) {
    fw::TImageList images(nullptr, 16, 16), disabled(nullptr, 16, 16);
    fw::TBitmap red(16, 16), blue(16, 16);
    red.Canvas().Brush().SetColor(fw::clRed);
    red.Canvas().FillRect(RECT{0, 0, 16, 16});
    blue.Canvas().Brush().SetColor(fw::clBlue);
    blue.Canvas().FillRect(RECT{0, 0, 16, 16});
    images.AddMasked(red, fw::clWhite);
    disabled.AddMasked(blue, fw::clWhite);
    fw::TActionList list(nullptr);
    list.SetImages(&images);
    fw::TAction action(nullptr);
    action.SetActionList(&list);
    action.SetImageIndex(0);
    action.SetCaption(L"Act");
    fw::TMenuItem* item = Add(L"");
    item->SetAction(&action);
    EXPECT_EQ(item->Caption(), L"Act");
    // The menu has no images: the action list's draw.
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, 0);
    EXPECT_EQ(Px(bmp, 12, 12), Rgb(255, 0, 0));
    // An action manager's disabled images, in colour, for a disabled item.
    fw::TActionManager manager(nullptr);
    manager.SetImages(&images);
    manager.SetDisabledImages(&disabled);
    action.SetActionList(&manager);
    action.SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    FillWhite(bmp);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, fw::odDisabled);
    EXPECT_EQ(Px(bmp, 12, 12), Rgb(0, 0, 255));
    // A plain action list greys the disabled image instead.
    action.SetActionList(&list);
    FillWhite(bmp);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, fw::odDisabled);
    EXPECT_NE(Px(bmp, 12, 12), Rgb(0, 0, 255));
    EXPECT_NE(Px(bmp, 12, 12), Rgb(255, 0, 0));
    // An index beyond the list draws no image.
    action.SetEnabled(true);
    action.SetImageIndex(3);
    FillWhite(bmp);
    DrawMenuItem(item, *canvas, RECT{0, 0, 133, 24}, false, 0);
    EXPECT_NE(Px(bmp, 12, 12), Rgb(255, 0, 0));
    item->SetAction(nullptr);
}

TEST_F(ItemPaint, RightToLeftMenusUnderAMiddleEastLocale) {
    fw::TMenuItem* parent = Add(L"More");
    auto* child = new fw::TMenuItem(&menu);
    child->SetCaption(L"Inner");
    parent->Add(child);
    const bool systemMiddleEast = fw::SysLocale.MiddleEast;
    struct Row {
        bool middleEast;
        fw::TBiDiMode mode;
        bool textRight, arrow;
    } rows[] = {
        {false, fw::TBiDiMode::bdRightToLeft, false, true},
        {true, fw::TBiDiMode::bdLeftToRight, false, true},
        {true, fw::TBiDiMode::bdRightToLeft, true, false},
        {true, fw::TBiDiMode::bdRightToLeftNoAlign, true, true},
    };
    for (const Row& row : rows) {
        fw::SysLocale.MiddleEast = row.middleEast;
        menu.SetBiDiMode(row.mode);
        FillWhite(bmp);
        RECT r{30, 0, 140, 24};
        DrawMenuItemText(parent, *canvas, L"Text", r, 0, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
        EXPECT_EQ(InkIn(bmp, 100, 0, 140, 24) > 0, row.textRight) << int(row.mode) << row.middleEast;
        EXPECT_EQ(InkIn(bmp, 30, 0, 70, 24) > 0, !row.textRight) << int(row.mode) << row.middleEast;
        FillWhite(bmp);
        DrawMenuItem(parent, *canvas, RECT{0, 0, 133, 24}, false, 0);
        EXPECT_EQ(Px(bmp, 126, 11) == 0u, row.arrow) << int(row.mode) << row.middleEast;
    }
    fw::SysLocale.MiddleEast = systemMiddleEast;
    menu.SetBiDiMode(fw::TBiDiMode::bdLeftToRight);
}

TEST_F(ItemPaint, MeasureThroughTheMenu) {
    fw::TMenuItem* item = Add(L"Open");
    fw::TMenuItem* hidden = Add(L"Gone");
    hidden->SetVisible(false);
    fw::TMenuItem* line = Add(L"-");
    int w = 10, h = 10;
    MeasureMenuItem(hidden, *canvas, w, h, false);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    w = 10, h = 10;
    MeasureMenuItem(line, *canvas, w, h, false);
    EXPECT_EQ(w, -2);
    EXPECT_EQ(h, 3);
    w = 10, h = 20;
    MeasureMenuItem(item, *canvas, w, h, false);
    RECT text{0, 0, 0, 0};
    DrawTextW(canvas->Handle(), L"Open", 4, &text, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(w, 24 + 15 + text.right + 7 + 17);
}

}  // namespace
}  // namespace kel::menus
