// RenderHtmlTextGP on a GDI+ surface over a 32-bit bitmap: widths against
// the GDI+ text measure, the one-pixel inset, link hits, the page colour
// behind text only, bullets and pictures, and no GDI or GDI+ object left
// behind. Glyph shapes are never compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/gui/image_list.h"
#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/HtmlRenderGP.h"

namespace kel {
namespace {

using test::Px;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr uint32_t kPlain = 0x0A141E;  // plain.bmp: 37 by 21 of (10, 20, 30)

class HtmlGdip : public ::testing::Test {
protected:
    void SetUp() override {
        bmp_.SetSize(300, 200);
        test::FillWhite(bmp_);
        font_.SetName(L"Tahoma");
        font_.SetSize(10);
        font_.SetColor(fw::clBlack);
        graphics_ = std::make_unique<TGPGraphics>(bmp_.Canvas().Handle());
    }

    // A piece's width as the GDI+ layer measures it; a lone blank is 0.
    int Width(const std::wstring& text, unsigned style = 0) {
        if (text == L" ") return 0;
        fw::TFont f;
        f.Assign(font_);
        f.SetStyle(style);
        RECT r{0, 0, 100000, 10000};
        graphics_->DrawText(text, -1, r, f, DT_CALCRECT, fw::clNone);
        return r.right - r.left;
    }

    int GhHeight() { return graphics_->TextHeight(L"gh", font_); }

    bool Render(const std::wstring& text, THtmlParams params = {}) {
        params.Text = text;
        if (params.Rect.Right == 0) params.Rect = {0, 0, 300, 200};
        bool hit = RenderHtmlTextGP(*graphics_, font_, params, results_, sources_);
        GdiFlush();
        return hit;
    }

    fw::TBitmap bmp_;
    fw::TFont font_;
    std::unique_ptr<TGPGraphics> graphics_;
    THtmlResults results_;
    THtmlGdipSources sources_;
};

TEST_F(HtmlGdip, WidthIsTheSumOfTheMeasuredPiecesPlusTwo) {
    THtmlParams measure;
    measure.MeasureOnly = true;
    Render(L"one <B>two</B> three", measure);
    EXPECT_EQ(results_.TextWidth, Width(L"one ") + Width(L"two", fw::fsBold) + Width(L" ") + Width(L"three") + 2);
    EXPECT_EQ(results_.TextHeight, GhHeight() + 2);
    Render(L"", measure);
    EXPECT_EQ(results_.TextWidth, 0);
    EXPECT_EQ(results_.TextHeight, GhHeight() + 2);
    EXPECT_EQ(test::InkIn(bmp_, 0, 0, 300, 200), 0);
    // The caller's font is not changed by the markup.
    Render(L"<B><FONT FACE=\"Arial\" SIZE=\"5\" COLOR=\"clred\">x");
    EXPECT_EQ(font_.Name(), L"Tahoma");
    EXPECT_EQ(font_.Style(), 0u);
    EXPECT_EQ(font_.Color(), fw::clBlack);
}

TEST_F(HtmlGdip, TextStartsOnePixelRightAndLinksAreHitWhereDrawn) {
    THtmlParams params;
    params.Rect = {10, 10, 300, 200};
    params.HitTestOnly = true;
    const int left = 11 + Width(L"see ");
    const int right = left + Width(L"here");
    params.HitX = (left + right) / 2;
    params.HitY = 10 + GhHeight() / 2;
    EXPECT_TRUE(Render(L"see <A href=\"u1\">here</A> now", params));
    EXPECT_EQ(results_.AnchorHref, L"u1");
    EXPECT_EQ(results_.LinkUnderPoint, 1);
    EXPECT_EQ(results_.LinkRect.Left, left);
    EXPECT_EQ(results_.LinkRect.Right, right);

    params.HitTestOnly = false;
    params.HitX = params.HitY = 0;
    Render(L"<FONT SIZE=\"16\">llll</FONT>", params);
    EXPECT_EQ(test::InkIn(bmp_, 0, 0, 11, 200), 0);  // nothing left of Rect.Left + 1
    EXPECT_GT(test::InkIn(bmp_, 11, 10, 300, 200), 0);
}

TEST_F(HtmlGdip, ThePageColourBacksTheTextOnly) {
    Render(L"<BODY BGCOLOR=\"#FF0000\">xx<P BGCOLOR=\"#0000FF\">yy");
    EXPECT_EQ(Px(bmp_, 299, 2), kWhite);  // nothing painted over the page
    EXPECT_EQ(Px(bmp_, 150, 150), kWhite);
    int red = 0, blue = 0;
    for (int y = 0; y < GhHeight(); ++y)
        for (int x = 0; x < 60; ++x) {
            red += Px(bmp_, x, y) == kRed;
            blue += Px(bmp_, x, y) == kBlue;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(blue, 0);
}

TEST_F(HtmlGdip, BulletsAndPicturesSitWhereTheLayoutPutsThem) {
    fw::TImageList list(nullptr, 16, 16);
    test::AddSolidImage(list, fw::clRed);
    sources_.Images = &list;
    const int h = GhHeight();

    Render(L"<UL><LI TYPE=\"SQUARE\" COLOR=\"#0000FF\">item</UL><BR><IMG SRC=\"IDX:0\">");
    EXPECT_EQ(Px(bmp_, 1 + 4, h + 6), kBlue);  // (1, top + 2), 8 by 8
    EXPECT_EQ(Px(bmp_, 1 + 7, h + 9), kBlue);
    EXPECT_EQ(Px(bmp_, 1 + 4, h + 11), kWhite);
    EXPECT_EQ(Px(bmp_, 1, 2 * h), kRed);         // the list image at (1, line top)
    EXPECT_EQ(Px(bmp_, 16, 2 * h + 15), kRed);
    EXPECT_EQ(Px(bmp_, 17, 2 * h + 15), kWhite);

    // In print mode list images take their room but are not drawn.
    test::FillWhite(bmp_);
    THtmlParams print;
    print.PrintMode = true;
    print.MeasureOnly = false;
    Render(L"<IMG SRC=\"IDX:0\">x", print);
    EXPECT_EQ(Px(bmp_, 8, 8), kWhite);
    EXPECT_EQ(results_.TextWidth, 16 + Width(L"x") + 2);
}

TEST_F(HtmlGdip, StorePicturesInLinesAndListItemsAndNoCachePictures) {
    TGDIPPictureContainer store(nullptr);
    auto* item = store.Items().Add();
    item->SetName(L"Plain");
    item->Picture().LoadFromFile(test::DataFile("plain.bmp"));
    THTMLPictureCache cache;
    sources_.PictureStore = &store;
    sources_.PictureCache = &cache;
    const int h = GhHeight();

    Render(L"<IMG SRC=\"plain\"><IMG SRC=\"RES://KELTESTANIM\">x<BR><UL><LI TYPE=\"IMAGE\" NAME=\"plain\">y");
    EXPECT_EQ(Px(bmp_, 0, 0), kWhite);
    EXPECT_EQ(Px(bmp_, 1, 0), kPlain);  // its own 37 by 21 at (1, 0)
    EXPECT_EQ(Px(bmp_, 37, 20), kPlain);
    EXPECT_EQ(Px(bmp_, 38, 0), kWhite);
    const int itemTop = std::max(21, h) + h;  // below the picture's line and the "<UL>" line
    EXPECT_EQ(Px(bmp_, 1, itemTop + 2), kPlain);
    EXPECT_EQ(Px(bmp_, 37, itemTop + 22), kPlain);
    EXPECT_EQ(Px(bmp_, 1, itemTop + 1), kWhite);
    EXPECT_EQ(cache.Count(), 0);  // URL pictures are not shown on GDI+
    EXPECT_EQ(results_.TextWidth, std::max(37 + Width(L"x"), 37 + Width(L"y")) + 2);
}

TEST_F(HtmlGdip, AThousandPaintsLeaveNoObjectBehind) {
    fw::TImageList list(nullptr, 16, 16);
    test::AddSolidImage(list, fw::clBlack);
    sources_.Images = &list;
    const std::wstring markup =
        L"<BODY BGCOLOR=\"clinfobk\"><P ALIGN=\"CENTER\">Title <B>bold</B> <I>it</I> <U>u</U></P>"
        L"<FONT FACE=\"Arial\" SIZE=\"4\" COLOR=\"#336699\" BGCOLOR=\"clyellow\">font</FONT> "
        L"<A href=\"one\">link one</A>, <A href=\"two\">link two</A><HR>"
        L"<UL><LI>a<LI TYPE=\"SQUARE\" COLOR=\"clred\">b<LI TYPE=\"CIRCLE\">c</UL>"
        L"<IMG SRC=\"IDX:0\"><IMG SRC=\"SSYS:1\"> <SH>shadow</SH> <E>eror</E> x<SUB>2</SUB> <R a=\"45\">r";
    THtmlParams params;
    params.HoverLinkIndex = 1;
    params.HoverBackColor = fw::clAqua;
    params.ShadowOffset = 1;
    Render(markup, params);
    const int gdi = test::LiveGdiObjects();
    const int gdiplus = LiveGdiplusWrappers();
    for (int i = 0; i < 1000; ++i) {
        params.HitTestOnly = i % 3 == 1;
        Render(markup, params);
    }
    EXPECT_EQ(test::LiveGdiObjects(), gdi);
    EXPECT_EQ(LiveGdiplusWrappers(), gdiplus);
}

}  // namespace
}  // namespace kel
