// RenderHtmlText on a GDI canvas: widths against DrawTextEx, links hit
// where they are drawn, backgrounds, bullets and pictures where the layout
// puts them, the canvas left as found and no GDI object left behind. Glyph
// shapes are never compared.
#include <gtest/gtest.h>

#include "framework/gui/image_list.h"
#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/HtmlRender.h"

namespace kel {
namespace {

using test::Px;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

constexpr uint32_t kPlain = 0x0A141E;  // plain.bmp: 37 by 21 of (10, 20, 30)

class HtmlGdi : public ::testing::Test {
protected:
    void SetUp() override {
        auto* item = store_.Items().Add();
        item->SetName(L"Plain");
        item->Picture().LoadFromFile(test::DataFile("plain.bmp"));
        bmp_.SetSize(300, 200);
        test::FillWhite(bmp_);
        fw::TFont& f = Canvas().Font();
        f.SetName(L"Tahoma");
        f.SetSize(10);
        f.SetColor(fw::clBlack);
        f.SetStyle(0);
    }

    fw::TCanvas& Canvas() { return bmp_.Canvas(); }

    // A piece's width as DrawTextEx measures it in the canvas font.
    int Width(const std::wstring& text, unsigned style = 0) {
        fw::TFont font;
        font.Assign(Canvas().Font());
        font.SetStyle(style);
        HDC dc = Canvas().Handle();
        fw::SelectGuard select(dc, font.Handle());
        RECT r{0, 0, 0, 0};
        DrawTextExW(dc, const_cast<wchar_t*>(text.c_str()), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_EXTERNALLEADING, nullptr);
        return r.right;
    }

    int LineHeight() {
        fw::TFont font;
        font.Assign(Canvas().Font());
        HDC dc = Canvas().Handle();
        fw::SelectGuard select(dc, font.Handle());
        SIZE size{};
        GetTextExtentPoint32W(dc, L"gh", 2, &size);
        return size.cy;
    }

    bool Render(const std::wstring& text, THtmlParams params = {}) {
        params.Text = text;
        if (params.Rect.Right == 0) params.Rect = {0, 0, 300, 200};
        return RenderHtmlText(Canvas(), params, results_, sources_);
    }

    fw::TBitmap bmp_;
    THtmlResults results_;
    THtmlGdiSources sources_;
    TPictureContainer store_{nullptr};
    THTMLPictureCache cache_;
};

TEST_F(HtmlGdi, WidthIsTheSumOfTheMeasuredPiecesPlusTwo) {
    struct Piece {
        std::wstring text;
        unsigned style;
    };
    struct Row {
        std::wstring markup;
        std::vector<Piece> pieces;
    } rows[] = {
        {L"one <B>two</B> three", {{L"one ", 0}, {L"two", fw::fsBold}, {L" ", 0}, {L"three", 0}}},
        {L"a &amp; b", {{L"a ", 0}, {L"& ", 0}, {L"b", 0}}},
        {L"Save&Exit &lt;now&gt;", {{L"Save&Exit ", 0}, {L"<now>", 0}}},
        {L"<I>tail </I>", {{L"tail", fw::fsItalic}}},  // the last blank is not counted
    };
    THtmlParams measure;
    measure.MeasureOnly = true;
    for (const Row& r : rows) {
        int sum = 0;
        for (const Piece& p : r.pieces) sum += Width(p.text, p.style);
        Render(r.markup, measure);
        EXPECT_EQ(results_.TextWidth, sum + 2) << r.markup;
        EXPECT_EQ(results_.TextHeight, LineHeight());
    }
    // Nothing was drawn.
    EXPECT_EQ(test::InkIn(bmp_, 0, 0, 300, 200), 0);
}

TEST_F(HtmlGdi, WordWrapBreaksWhereTheMeasuredWordsNoLongerFit) {
    const int room = Width(L"alpha beta ") + Width(L"ga");
    THtmlParams params;
    params.MeasureOnly = true;
    params.Rect = {0, 0, room, 200};
    Render(L"alpha beta gamma delta", params);
    EXPECT_EQ(results_.TextHeight, 2 * LineHeight());
    EXPECT_EQ(results_.TextWidth, std::max(Width(L"alpha beta"), Width(L"gamma delta")) + 2);
}

TEST_F(HtmlGdi, LinkHitsLandOnTheLinkDrawnThere) {
    for (const wchar_t* align : {L"LEFT", L"CENTER", L"RIGHT"}) {
        const std::wstring markup = std::wstring(L"<P ALIGN=\"") + align +
                                    L"\">see <A href=\"u1\">here</A> and <A href=\"u2\">there</A>";
        const int lineWidth = Width(L"see here and there");
        const int left = align[0] == L'L' ? 0 : align[0] == L'C' ? (300 - lineWidth) / 2 : 300 - lineWidth;
        struct Link {
            const wchar_t* before;
            const wchar_t* text;
            const wchar_t* href;
            int number;
        } links[] = {{L"see ", L"here", L"u1", 1}, {L"see here and ", L"there", L"u2", 2}};
        for (const Link& link : links) {
            const int from = left + Width(link.before);
            const int to = from + Width(link.text);
            THtmlParams params;
            params.HitTestOnly = true;
            params.HitX = (from + to) / 2;
            params.HitY = LineHeight() / 2;
            results_ = THtmlResults{};
            EXPECT_TRUE(Render(markup, params)) << align << " " << link.text;
            EXPECT_EQ(results_.AnchorHref, link.href) << align;
            EXPECT_EQ(results_.LinkUnderPoint, link.number) << align;
            EXPECT_EQ(results_.LinkRect.Left, from) << align;
            EXPECT_EQ(results_.LinkRect.Right, to) << align;
            EXPECT_EQ(results_.LinkCount, 2);
        }
        // Between the links there is none.
        THtmlParams params;
        params.HitTestOnly = true;
        params.HitX = left + Width(L"see here a");
        params.HitY = LineHeight() / 2;
        results_ = THtmlResults{};
        EXPECT_FALSE(Render(markup, params)) << align;
        EXPECT_EQ(results_.AnchorHref, L"") << align;
    }
}

TEST_F(HtmlGdi, BackgroundsAndBulletsSitWhereTheLayoutPutsThem) {
    const int h = LineHeight();
    THtmlParams params;
    params.FocusLinkIndex = 0;
    Render(L"<BODY BGCOLOR=\"#00FF00\">top<UL><LI TYPE=\"SQUARE\" COLOR=\"#0000FF\">item</UL><BR>"
           L"<P BGCOLOR=\"#FF0000\">para</P><A href=\"f\">focused</A>",
           params);
    EXPECT_EQ(Px(bmp_, 299, 1), kGreen);              // the page, to the rect's right edge
    EXPECT_EQ(Px(bmp_, 4, h + 6), kBlue);             // the bullet: (0, top + 2) to (8, top + 10)
    EXPECT_EQ(Px(bmp_, 7, h + 9), kBlue);
    EXPECT_EQ(Px(bmp_, 8, h + 6), kGreen);
    EXPECT_EQ(Px(bmp_, 4, h + 11), kGreen);
    EXPECT_EQ(Px(bmp_, 299, 2 * h + 1), kRed);        // the paragraph's band, full width
    EXPECT_EQ(Px(bmp_, 299, 3 * h - 1), kRed);
    EXPECT_EQ(Px(bmp_, 299, 3 * h + 1), kGreen);      // below it the page again
    EXPECT_EQ(results_.FocusHref, L"f");
    // Text was drawn inside its lines only.
    EXPECT_GT(test::InkIn(bmp_, 12, h, 12 + Width(L"item"), 2 * h), 0);
}

TEST_F(HtmlGdi, PicturesFromTheImageListTheStoreAndPrintMode) {
    fw::TImageList list(nullptr, 16, 16);
    test::AddSolidImage(list, fw::clRed);
    sources_.Images = &list;
    sources_.PictureStore = &store_;

    Render(L"<IMG SRC=\"IDX:0\"><IMG SRC=\"plain\" WIDTH=\"20\" HEIGHT=\"30\">x");
    EXPECT_EQ(Px(bmp_, 0, 0), kRed);
    EXPECT_EQ(Px(bmp_, 15, 15), kRed);
    EXPECT_EQ(Px(bmp_, 16, 29), kPlain);  // stretched to WIDTH x HEIGHT
    EXPECT_EQ(Px(bmp_, 35, 0), kPlain);
    EXPECT_EQ(Px(bmp_, 36, 0), kWhite);
    EXPECT_EQ(results_.TextHeight, std::max(30, LineHeight()));
    EXPECT_EQ(results_.TextWidth, 16 + 20 + Width(L"x") + 2);
    EXPECT_FALSE(store_.PictureByName(L"PLAIN")->Stretch());  // stretched for that drawing only

    test::FillWhite(bmp_);
    Render(L"<IMG SRC=\"Plain\">");
    EXPECT_EQ(Px(bmp_, 36, 20), kPlain);  // its own size
    EXPECT_EQ(Px(bmp_, 37, 20), kWhite);
    EXPECT_EQ(Px(bmp_, 36, 21), kWhite);

    test::FillWhite(bmp_);
    THtmlParams print;
    print.PrintMode = true;
    print.ScaleFactor = 2.0;
    Render(L"<IMG SRC=\"IDX:0\">", print);
    EXPECT_EQ(Px(bmp_, 31, 31), kRed);
    EXPECT_EQ(Px(bmp_, 32, 32), kWhite);
    EXPECT_EQ(results_.TextWidth, 16 + 2);  // the room stays the list's size
}

TEST_F(HtmlGdi, CachePicturesAreLoadedOnceByTheirSource) {
    sources_.PictureCache = &cache_;
    Render(L"<IMG SRC=\"RES://KELTESTANIM\">x");
    EXPECT_EQ(results_.TextWidth, 24 + Width(L"x") + 2);  // the GIF's logical screen
    EXPECT_EQ(results_.TextHeight, std::max(16, LineHeight()));
    EXPECT_EQ(Px(bmp_, 0, 0), kRed);
    EXPECT_EQ(Px(bmp_, 24, 0), kWhite);
    EXPECT_EQ(cache_.Count(), 1);
    Render(L"<IMG SRC=\"RES://KELTESTANIM\">x");
    EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(HtmlGdi, APictureThatFailsToLoadDrawsNothing) {
    sources_.PictureCache = &cache_;
    sources_.PictureStore = &store_;
    const std::wstring markup =
        L"<IMG SRC=\"RES://KELTESTJUNK\"><IMG SRC=\"FILE://Z:\\no\\such.gif\"><IMG SRC=\"http://example.invalid/a.png\">"
        L"<IMG SRC=\"nosuch\">x";
    for (int pass = 0; pass < 2; ++pass) {
        bool hit = true;
        EXPECT_NO_THROW(hit = Render(markup));
        EXPECT_FALSE(hit);
        EXPECT_EQ(results_.TextWidth, Width(L"x") + 2);
        EXPECT_EQ(results_.TextHeight, LineHeight());
        EXPECT_EQ(cache_.Count(), 3);  // each source is tried once
    }
}

TEST_F(HtmlGdi, TheCanvasIsLeftAsFoundAndNoRotatedFontStays) {
    fw::TCanvas& c = Canvas();
    c.Pen().SetColor(fw::clRed);
    c.Pen().SetWidth(3);
    c.Brush().SetColor(fw::clYellow);
    c.Font().SetStyle(fw::fsItalic);
    HDC dc = c.Handle();
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    THtmlParams params;
    params.WordWrap = false;
    Render(L"<FONT FACE=\"Arial\" SIZE=\"5\" COLOR=\"clred\">big</FONT><HR><UL><LI TYPE=\"CIRCLE\">x<E>y</E>"
           L"<BR><R a=\"90\">turned",
           params);
    EXPECT_EQ(c.Font().Name(), L"Tahoma");
    EXPECT_EQ(c.Font().Size(), 10);
    EXPECT_EQ(c.Font().Style(), unsigned(fw::fsItalic));
    EXPECT_EQ(c.Font().Color(), fw::clBlack);
    EXPECT_EQ(c.Pen().Color(), fw::clRed);
    EXPECT_EQ(c.Pen().Width(), 3);
    EXPECT_EQ(c.Brush().Color(), fw::clYellow);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfEscapement, 0);
}

TEST_F(HtmlGdi, AThousandPaintsLeaveNoGdiObjectBehind) {
    fw::TImageList list(nullptr, 16, 16);
    test::AddSolidImage(list, fw::clBlack);
    sources_.Images = &list;
    sources_.PictureStore = &store_;
    sources_.PictureCache = &cache_;
    const std::wstring markup =
        L"<BODY BGCOLOR=\"clinfobk\" BACKGROUND=\"plain\"><P ALIGN=\"CENTER\" BGCOLOR=\"clred\" "
        L"BGCOLORTO=\"clblue\">Title <B>bold</B> <I>it</I> <U>u</U> <S>s</S></P>"
        L"<FONT FACE=\"Arial\" SIZE=\"4\" COLOR=\"#336699\" BGCOLOR=\"clyellow\">font</FONT> "
        L"<A href=\"one\">link one</A>, <A href=\"two\">link two</A><HR>"
        L"<UL><LI>a<LI TYPE=\"SQUARE\" COLOR=\"clred\">b<LI TYPE=\"CIRCLE\">c</UL>"
        L"<IMG SRC=\"IDX:0\"><IMG SRC=\"SSYS:1\"><IMG SRC=\"plain\" WIDTH=\"20\" HEIGHT=\"20\"><IMG SRC=\"RES://KELTESTANIM\">"
        L"<IMG SRC=\"RES://KELTESTJUNK\">"
        L"<SH>shadow</SH> <E>eror</E> x<SUB>2</SUB> y<SUP>3</SUP> <HI>high</HI> <Z>hidden</Z>"
        L"<R a=\"45\">turned</R> <R a=\"90\">left turned";
    THtmlParams params;
    params.FocusLinkIndex = 1;
    params.HoverLinkIndex = 1;
    params.HoverBackColor = fw::clAqua;
    params.HoverTextColor = fw::clRed;
    params.ShadowOffset = 1;
    Render(markup, params);  // caches (the system image list, fonts) fill once
    const int before = test::LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        params.PrintMode = i % 2 == 1;
        params.HitTestOnly = i % 3 == 1;
        Render(markup, params);
    }
    EXPECT_EQ(test::LiveGdiObjects(), before);
}

}  // namespace
}  // namespace kel
