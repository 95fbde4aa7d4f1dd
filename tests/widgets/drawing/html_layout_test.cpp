// The mini-HTML layout engine on a fake surface: tags, entities, wrapping,
// alignment, lists, pictures, links and hits, measuring, and the rules in
// which the GDI+ back end differs. Widths: blank 3, other characters 6 (7
// bold); text height 13.
#include <gtest/gtest.h>

#include <functional>

#include "tests/widgets/drawing/html_fake_surface.h"
#include "widgets/drawing/HtmlLayout.h"

namespace kel {
namespace {

using test::TDrawn;
using test::TFakeRun;
using Texts = std::vector<std::wstring>;

bool SameRect(const TIntRect& a, const TIntRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}
#define EXPECT_RECT(actual, l, t, r, b) EXPECT_TRUE(SameRect(actual, TIntRect{l, t, r, b}))

TEST(HtmlLayout, EmptyTextMeasuresOneLineOfNothing) {
    TFakeRun gdi;
    gdi.results.AnchorHref = L"kept";
    gdi.Run(L"");
    EXPECT_FALSE(gdi.hit);
    EXPECT_EQ(gdi.results.TextWidth, 0);
    EXPECT_EQ(gdi.results.TextHeight, 13);
    EXPECT_EQ(gdi.results.LinkCount, 0);
    EXPECT_EQ(gdi.results.LinkUnderPoint, -1);
    EXPECT_EQ(gdi.results.AnchorHref, L"kept");
    TFakeRun gp(GdipHtmlPolicy());
    EXPECT_EQ(gp.Run(L"").results.TextHeight, 15);
}

TEST(HtmlLayout, OneLineIsTheSumOfItsPiecesInTheirFonts) {
    TFakeRun run;
    run.Run(L"one <B>two</B> three");
    EXPECT_EQ(run.surface.Texts(), (Texts{L"one ", L"two", L" ", L"three"}));
    EXPECT_EQ(run.surface.TextDraw(L"two").rect.Left, 21);
    EXPECT_EQ(run.surface.TextDraw(L"two").font.Style, unsigned(hfsBold));
    EXPECT_EQ(run.surface.TextDraw(L"three").rect.Left, 45);
    EXPECT_EQ(run.surface.TextDraw(L"three").font.Style, 0u);
    EXPECT_EQ(run.results.TextWidth, 21 + 21 + 3 + 30 + 2);
    EXPECT_EQ(run.results.TextHeight, 13);
    EXPECT_EQ(run.results.PlainText, L"one two three");
    // Pieces sit on the line's bottom.
    EXPECT_RECT(run.surface.TextDraw(L"one ").rect, 0, 0, 400, 13);
}

TEST(HtmlLayout, EntitiesAndAmpersandsShowAsWritten) {
    struct Row {
        const wchar_t* text;
        const wchar_t* plain;
    } rows[] = {
        {L"a & b", L"a & b"},
        {L"Save&Exit", L"Save&Exit"},  // no mnemonic prefix
        {L"x &amp; y &AMP;lt;", L"x & y &lt;"},
        {L"&lt;B&gt;x&nbsp;y", L"<B>x\u00A0y"},
        {L"a < b > c", L"a < b > c"},  // a "<" that opens no tag is text
        {L"x <B", L"x <B"},
    };
    for (const Row& r : rows) {
        TFakeRun run;
        run.Run(r.text);
        EXPECT_EQ(run.results.PlainText, r.plain) << r.text;
        for (const TDrawn& d : run.surface.Of(TDrawn::Text)) EXPECT_EQ(d.font.Style, 0u) << r.text;
    }
}

TEST(HtmlLayout, LineBreaks) {
    struct Row {
        const wchar_t* text;
        int height;
        const wchar_t* plain;
    } rows[] = {
        {L"a\r\n\r\nb", 39, L"a\r\rb"},
        {L"a\nb", 13, L"ab"},
        {L"a<br>b", 26, L"a\rb"},
        {L"a<HR>b", 26, L"ab"},
        {L"a</P>b</L>c", 39, L"abc"},
        {L"x<UL>y", 26, L"xy"},
    };
    for (const Row& r : rows) {
        TFakeRun run;
        run.Run(r.text);
        EXPECT_EQ(run.results.TextHeight, r.height) << r.text;
        EXPECT_EQ(run.results.PlainText, r.plain) << r.text;
    }
    TFakeRun rule;
    rule.Run(L"a<HR>b");
    ASSERT_EQ(rule.surface.Of(TDrawn::Lines).size(), 1u);
    const THtmlLine line = rule.surface.Of(TDrawn::Lines)[0].lines[0];
    EXPECT_EQ(line.X1, 0);
    EXPECT_EQ(line.Y1, 14);
    EXPECT_EQ(line.X2, 400);
    EXPECT_EQ(line.Y2, 14);
    EXPECT_EQ(rule.surface.Of(TDrawn::Lines)[0].color, fw::clBlack);
}

TEST(HtmlLayout, WordWrapBreaksBeforeTheWordThatReachesTheEdge) {
    TFakeRun run;
    run.Run(L"aaa bbb ccc", {0, 0, 42, 100});
    EXPECT_EQ(run.surface.Texts(), (Texts{L"aaa ", L"bbb ", L"ccc"}));
    EXPECT_RECT(run.surface.TextDraw(L"bbb ").rect, 0, 13, 42, 26);
    EXPECT_EQ(run.surface.TextDraw(L"ccc").rect.Left, 21);
    EXPECT_EQ(run.results.TextWidth, 41);  // "bbb ccc"; the first line's blank is not counted
    EXPECT_EQ(run.results.PlainText, L"aaa bbb ccc");  // each word once, also when it wrapped

    // A word wider than the box sits alone on its line; leading blanks go.
    run.Run(L"x wwwwwwwwwwww    y", {0, 0, 30, 100});
    EXPECT_EQ(run.surface.TextDraw(L"x ").rect.Top, 0);
    EXPECT_EQ(run.surface.TextDraw(L"wwwwwwwwwwww ").rect.Top, 13);
    EXPECT_RECT(run.surface.TextDraw(L"y").rect, 0, 26, 30, 39);

    // Without word wrap only markup breaks lines.
    run.params.WordWrap = false;
    run.Run(L"aaa bbb ccc<BR>d", {0, 0, 42, 100});
    EXPECT_EQ(run.surface.Texts(), (Texts{L"aaa bbb ccc", L"d"}));
}

TEST(HtmlLayout, ParagraphAlignmentAndIndentStayForLaterLines) {
    TFakeRun run;
    run.Run(L"<P ALIGN=\"RIGHT\">ab<BR>abcd", {10, 0, 110, 100});
    EXPECT_EQ(run.surface.TextDraw(L"ab").rect.Left, 98);
    EXPECT_EQ(run.surface.TextDraw(L"abcd").rect.Left, 86);
    run.Run(L"<P ALIGN=\"CENTER\">ab", {10, 0, 110, 100});
    EXPECT_EQ(run.surface.TextDraw(L"ab").rect.Left, 10 + 44);
    run.Run(L"<P INDENT=\"5\">ab<BR>cd<BR><P INDENT=\"0\">ef", {10, 0, 110, 100});
    EXPECT_EQ(run.surface.TextDraw(L"cd").rect.Left, 15);
    EXPECT_EQ(run.surface.TextDraw(L"ef").rect.Left, 10);
    // "<IN" moves on to an absolute position; "<OF" shifts this and later lines.
    run.Run(L"a<IND x=\"30\">b", {10, 0, 110, 100});
    EXPECT_EQ(run.surface.TextDraw(L"b").rect.Left, 40);
    run.Run(L"a<OF x=\"20\">b<BR>c</O><BR>d", {10, 0, 110, 100});
    EXPECT_EQ(run.surface.TextDraw(L"b").rect.Left, 30);
    EXPECT_EQ(run.surface.TextDraw(L"c").rect.Left, 30);
    EXPECT_EQ(run.surface.TextDraw(L"d").rect.Left, 10);
}

TEST(HtmlLayout, LinkUnderThePoint) {
    TFakeRun run;
    run.params.HitX = 30;
    run.params.HitY = 5;
    run.params.HitTestOnly = true;
    run.Run(L"see <A href=\"u1\">here</A> now");
    EXPECT_TRUE(run.hit);
    EXPECT_EQ(run.results.AnchorHref, L"u1");
    EXPECT_EQ(run.results.LinkUnderPoint, 1);
    EXPECT_RECT(run.results.LinkRect, 21, 0, 45, 13);
    EXPECT_EQ(run.results.LinkCount, 1);
    EXPECT_TRUE(run.surface.Of(TDrawn::Text).empty());

    // A drawing call finds the link too, but only a picture makes it true.
    run.params.HitTestOnly = false;
    run.results = THtmlResults{};
    run.Run(L"see <A href=\"u1\">here</A> now");
    EXPECT_FALSE(run.hit);
    EXPECT_EQ(run.results.AnchorHref, L"u1");
    EXPECT_EQ(run.results.LinkUnderPoint, 1);
    const TDrawn here = run.surface.TextDraw(L"here");
    EXPECT_EQ(here.font.Color, fw::clBlue);
    EXPECT_EQ(here.font.Style, unsigned(hfsUnderline));
    EXPECT_EQ(run.surface.TextDraw(L"now").font.Style, 0u);
    EXPECT_EQ(run.surface.TextDraw(L"now").font.Color, fw::clBlack);

    // Beside the link, nothing is hit and the in/out results are kept.
    run.params.HitX = 10;
    run.results.AnchorHref = L"before";
    run.results.LinkRect = {1, 2, 3, 4};
    run.Run(L"see <A href=\"u1\">here</A> now");
    EXPECT_EQ(run.results.AnchorHref, L"before");
    EXPECT_EQ(run.results.LinkUnderPoint, -1);
    EXPECT_RECT(run.results.LinkRect, 1, 2, 3, 4);
}

TEST(HtmlLayout, HitsCountOnlyWhereTheLineIsDrawn) {
    struct Row {
        const wchar_t* text;
        int hitX, hitY;
        const wchar_t* anchor;
    } rows[] = {
        // Right-aligned: the link is drawn at 176..200, not at 0..24.
        {L"<P ALIGN=\"RIGHT\"><A href=\"u\">link</A>", 180, 5, L"u"},
        {L"<P ALIGN=\"RIGHT\"><A href=\"u\">link</A>", 10, 5, L""},
        // A point below the link's line, at the link's x, is no hit.
        {L"<A href=\"u\">ab</A><BR>cd<BR>ef", 5, 30, L""},
        {L"<A href=\"u\">ab</A><BR>cd<BR>ef", 5, 12, L"u"},
        // A link that runs on to the next line is hit there too.
        {L"<A href=\"u\">ab<BR>cd</A> ef", 5, 20, L"u"},
        {L"<A href=\"u\">ab<BR>cd</A> ef", 20, 20, L""},
        // Lines after an offset are hit where the offset put them.
        {L"<OF x=\"50\">x<BR><A href=\"u\">ab</A>", 55, 20, L"u"},
        {L"<OF x=\"50\">x<BR><A href=\"u\">ab</A>", 5, 20, L""},
    };
    for (const Row& r : rows) {
        for (bool hitTestOnly : {true, false}) {
            TFakeRun run;
            run.params.HitX = r.hitX;
            run.params.HitY = r.hitY;
            run.params.HitTestOnly = hitTestOnly;
            run.Run(r.text, {0, 0, 200, 100});
            EXPECT_EQ(run.results.AnchorHref, r.anchor) << r.text << " at " << r.hitX << "," << r.hitY;
            EXPECT_EQ(run.hit, hitTestOnly && *r.anchor) << r.text << " at " << r.hitX << "," << r.hitY;
        }
    }
}

TEST(HtmlLayout, HoverAndFocusStyles) {
    const std::wstring twoLinks = L"<A href=\"1\">a</A> <A href=\"2\">b</A>";
    TFakeRun run;
    run.params.HoverUnderlineOnly = true;
    run.params.HoverLinkIndex = 2;
    run.Run(twoLinks);
    EXPECT_EQ(run.surface.TextDraw(L"a").font.Style, 0u);
    EXPECT_EQ(run.surface.TextDraw(L"b").font.Style, unsigned(hfsUnderline));
    run.params.HoverUnderlineOnly = false;
    run.Run(twoLinks);
    EXPECT_EQ(run.surface.TextDraw(L"a").font.Style, unsigned(hfsUnderline));
    EXPECT_EQ(run.results.LinkCount, 2);

    // Hover colours on the hovered link only; the brush comes back after it.
    run.params.HoverUnderlineOnly = true;
    run.params.HoverLinkIndex = 1;
    run.params.HoverBackColor = fw::clYellow;
    run.params.HoverTextColor = fw::clRed;
    run.Run(twoLinks);
    EXPECT_EQ(run.surface.TextDraw(L"a").background, fw::clYellow);
    EXPECT_EQ(run.surface.TextDraw(L"a").font.Color, fw::clRed);
    EXPECT_EQ(run.surface.TextDraw(L"b").background, fw::clNone);
    EXPECT_EQ(run.surface.TextDraw(L"b").font.Color, fw::clBlue);

    // The focused link gets a focus rectangle and gives its href.
    TFakeRun focus;
    focus.params.FocusLinkIndex = 1;
    focus.Run(L"x <A href=\"1\">a</A> <A href=\"2\">bc</A>");
    EXPECT_EQ(focus.results.FocusHref, L"2");
    ASSERT_EQ(focus.surface.Of(TDrawn::Focus).size(), 1u);
    EXPECT_RECT(focus.surface.Of(TDrawn::Focus)[0].rect, 17, 0, 31, 13);

    // Selected text keeps its colours; a blinking run takes the blink colour.
    TFakeRun selected;
    selected.params.SelectedMode = true;
    selected.params.BlinkPhase = false;
    selected.Run(L"<A href=\"1\">a</A><FONT COLOR=\"clred\">b</FONT><BL>c");
    EXPECT_EQ(selected.surface.TextDraw(L"a").font.Color, fw::clBlack);
    EXPECT_EQ(selected.surface.TextDraw(L"b").font.Color, fw::clBlack);
    EXPECT_EQ(selected.surface.TextDraw(L"c").font.Color, fw::clWhite);
}

TEST(HtmlLayout, FontTags) {
    TFakeRun run;
    run.Run(L"<FONT FACE=\"Arial\" COLOR=\"#FF0000\" BGCOLOR=\"clyellow\" SIZE=\"4\">a</FONT>b"
            L"<FONT SIZE=\"20\">c</FONT><I>d</I><S>e</S><U>f</U><FONT COLOR=\"#GG0000\">g</FONT>");
    const TDrawn a = run.surface.TextDraw(L"a");
    EXPECT_EQ(a.font.Name, L"ARIAL");
    EXPECT_EQ(a.font.Color, fw::clRed);
    EXPECT_EQ(a.font.Height, -19);  // 14 points at 96 dpi
    EXPECT_EQ(a.background, fw::clYellow);
    const TDrawn b = run.surface.TextDraw(L"b");
    EXPECT_EQ(b.font.Name, L"Tahoma");
    EXPECT_EQ(b.font.Height, -11);
    EXPECT_EQ(b.background, fw::clNone);
    EXPECT_EQ(run.surface.TextDraw(L"c").font.Height, -27);
    EXPECT_EQ(run.surface.TextDraw(L"d").font.Style, unsigned(hfsItalic));
    EXPECT_EQ(run.surface.TextDraw(L"e").font.Style, unsigned(hfsStrikeOut));
    EXPECT_EQ(run.surface.TextDraw(L"f").font.Style, unsigned(hfsUnderline));
    EXPECT_EQ(run.surface.TextDraw(L"g").font.Color, fw::clBlack);
    // The line is as tall as its tallest piece.
    EXPECT_EQ(run.results.TextHeight, 29);
}

TEST(HtmlLayout, ListsIndentTwelvePixelsPerLevel) {
    TFakeRun run;
    run.Run(L"<UL><LI>one<LI>two</UL>");
    EXPECT_EQ(run.results.TextHeight, 39);
    EXPECT_EQ(run.surface.Texts(), (Texts{L"\u00B7", L"one", L"\u00B7", L"two"}));
    const TDrawn bullet = run.surface.Of(TDrawn::Text)[0];
    EXPECT_EQ(bullet.font.Name, L"Symbol");
    EXPECT_EQ(bullet.place, THtmlTextPlace::Plain);
    EXPECT_RECT(bullet.rect, 0, 13, 400, 26);
    EXPECT_EQ(run.surface.TextDraw(L"one").rect.Left, 12);
    EXPECT_EQ(run.surface.TextDraw(L"two").rect.Top, 26);

    run.Run(L"<UL><UL><LI COLOR=\"clred\">x</UL><LI TYPE=\"SQUARE\">y<LI TYPE=\"CIRCLE\" COLOR=\"clblue\">z");
    EXPECT_EQ(run.surface.TextDraw(L"o").rect.Left, 12);
    EXPECT_EQ(run.surface.TextDraw(L"o").font.Color, fw::clRed);
    EXPECT_EQ(run.surface.TextDraw(L"x").rect.Left, 24);
    const auto bullets = run.surface.Of(TDrawn::Bullet);
    ASSERT_EQ(bullets.size(), 2u);
    EXPECT_EQ(bullets[0].bullet, THtmlBullet::Square);
    EXPECT_RECT(bullets[0].rect, 0, 41, 8, 49);
    EXPECT_EQ(bullets[0].color, fw::clBlack);  // no colour: the text colour
    EXPECT_EQ(bullets[1].bullet, THtmlBullet::Circle);
    EXPECT_EQ(bullets[1].color, fw::clBlue);
    EXPECT_EQ(run.surface.TextDraw(L"z").rect.Left, 12);
}

TEST(HtmlLayout, PicturesTakeTheirRoom) {
    struct Row {
        const wchar_t* text;
        THtmlSize dpi;
        int textLeft;  // where the "x" after the picture starts
        int height;
        const wchar_t* drawnSource;
        TIntRect drawnRect;
        bool stretch;
    } rows[] = {
        {L"<IMG SRC=\"IDX:0\">x", {96, 96}, 16, 16, L"IDX:0", {0, 0, 16, 16}, false},
        {L"<IMG SRC=\"IDX:0\">x", {120, 120}, 20, 20, L"IDX:0", {0, 0, 16, 16}, false},
        {L"<IMG SRC=\"SSYS:4\" WIDTH=\"50\" HEIGHT=\"50\">x", {96, 96}, 16, 16, L"SSYS:4", {0, 0, 16, 16}, false},
        {L"<IMG SRC=\"Logo\">x", {96, 96}, 30, 13, L"Logo", {2, 3, 32, 13}, false},
        {L"<IMG SRC=\"Logo\" WIDTH=\"40\" HEIGHT=\"20\">x", {96, 96}, 40, 20, L"Logo", {0, 0, 40, 20}, true},
        {L"<IMG SRC=\"Logo\" WIDTH=\"40\">x", {96, 96}, 30, 13, L"Logo", {2, 3, 32, 13}, false},
        {L"<IMG SRC=\"res://pic\">x", {96, 96}, 25, 25, L"res://pic", {0, 0, 25, 25}, false},
        {L"<IMG SRC=\"IDX:7\">x", {96, 96}, 0, 13, nullptr, {}, false},  // not in the list
        {L"<IMG SRC=\"Empty\">x", {96, 96}, 0, 13, nullptr, {}, false},
        {L"<IMG SRC=\"c:\\x.bmp\">x", {96, 96}, 0, 13, nullptr, {}, false},
    };
    for (const Row& r : rows) {
        TFakeRun run;
        run.surface.pictures[L"IDX:0"] = {16, 16};
        run.surface.pictures[L"SSYS:4"] = {16, 16};
        run.surface.pictures[L"Logo"] = {30, 10, 2, 3};
        run.surface.pictures[L"res://pic"] = {25, 25};
        run.surface.pictures[L"Empty"] = {0, 10};
        run.surface.dpi = r.dpi;
        run.Run(r.text);
        EXPECT_EQ(run.surface.TextDraw(L"x").rect.Left, r.textLeft) << r.text;
        EXPECT_EQ(run.results.TextHeight, r.height) << r.text;
        const auto images = run.surface.Of(TDrawn::Image);
        if (!r.drawnSource) {
            EXPECT_TRUE(images.empty()) << r.text;
            continue;
        }
        ASSERT_EQ(images.size(), 1u) << r.text;
        EXPECT_EQ(images[0].text, r.drawnSource);
        EXPECT_TRUE(SameRect(images[0].rect, r.drawnRect)) << r.text;
        EXPECT_EQ(images[0].stretch, r.stretch) << r.text;
    }
}

TEST(HtmlLayout, LinkedPictureIsHitAndShowsItsAlternative) {
    TFakeRun run;
    run.surface.pictures[L"IDX:0"] = {16, 16};
    run.surface.pictures[L"IDX:1"] = {16, 16};
    run.params.HitX = 20;
    run.params.HitY = 5;
    run.Run(L"ab <A href=\"pic\"><IMG SRC=\"IDX:0\" ALT=\"IDX:1\"></A>");
    EXPECT_TRUE(run.hit);  // pictures are hit in drawing calls too
    EXPECT_EQ(run.results.AnchorHref, L"pic");
    ASSERT_EQ(run.surface.Of(TDrawn::Image).size(), 1u);
    EXPECT_EQ(run.surface.Of(TDrawn::Image)[0].text, L"IDX:1");
    run.params.HitY = 20;  // below the picture
    run.results = THtmlResults{};
    run.Run(L"ab <A href=\"pic\"><IMG SRC=\"IDX:0\" ALT=\"IDX:1\"></A>");
    EXPECT_FALSE(run.hit);
    EXPECT_EQ(run.surface.Of(TDrawn::Image)[0].text, L"IDX:0");
    // A picture wider than what is left of the line starts the next one.
    run.Run(L"abcdef<IMG SRC=\"IDX:0\">", {0, 0, 50, 100});
    EXPECT_RECT(run.surface.Of(TDrawn::Image)[0].rect, 0, 13, 16, 29);
}

TEST(HtmlLayout, MeasureOnlyIgnoresTheRectangleBottom) {
    TFakeRun run;
    run.params.MeasureOnly = true;
    run.Run(L"a<BR>b<BR>c<BR>d", {0, 0, 100, 30});
    EXPECT_EQ(run.results.TextHeight, 52);
    EXPECT_TRUE(run.surface.drawn.empty());
    EXPECT_EQ(run.results.PlainText, L"a\rb\rc\rd");
    run.params.MeasureOnly = false;
    run.Run(L"a<BR>b<BR>c<BR>d", {0, 0, 100, 30});
    EXPECT_EQ(run.results.TextHeight, 26);
    EXPECT_EQ(run.surface.Texts(), (Texts{L"a", L"b"}));
}

TEST(HtmlLayout, FlagsSetOnALineReachOnlyWhatFollowsThem) {
    // Hidden text that runs over a line break hides nothing before its tag.
    TFakeRun run;
    run.Run(L"a <Z>b<BR>c</Z> d");
    EXPECT_EQ(run.surface.Texts(), (Texts{L"a ", L" ", L"d"}));
    EXPECT_EQ(run.results.PlainText, L"a b\rc d");
    // Shadow: a copy in the shadow colour, offset, under the piece.
    run.params.ShadowOffset = 2;
    run.params.ShadowColor = fw::clSilver;
    run.Run(L"a <SH>b<BR>c</SH> d");
    EXPECT_EQ(run.surface.Texts(), (Texts{L"a ", L"b", L"b", L"c", L"c", L" ", L"d"}));
    const auto texts = run.surface.Of(TDrawn::Text);
    EXPECT_EQ(texts[1].font.Color, fw::clSilver);
    EXPECT_EQ(texts[1].rect.Left, texts[2].rect.Left + 2);
    EXPECT_EQ(texts[1].rect.Bottom, texts[2].rect.Bottom + 2);
}

TEST(HtmlLayout, ScriptsRaiseAndLowerWithinTheLine) {
    TFakeRun run;
    run.Run(L"a<SUP>b</SUP>c<SUB>d</SUB>");
    EXPECT_EQ(run.results.TextHeight, 13 + 3 + 3);
    EXPECT_EQ(run.surface.TextDraw(L"a").rect.Bottom, 16);
    EXPECT_EQ(run.surface.TextDraw(L"b").rect.Bottom, 13);
    EXPECT_EQ(run.surface.TextDraw(L"d").rect.Bottom, 19);
    // Scripts end with their line.
    run.Run(L"a<SUP>b<BR>c");
    EXPECT_EQ(run.surface.TextDraw(L"c").rect.Bottom, 29);
}

TEST(HtmlLayout, ErrorUnderlineIsARedZigzagUnderThePiece) {
    TFakeRun run;
    run.Run(L"<E>ab</E>c");
    const auto lines = run.surface.Of(TDrawn::Lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].color, fw::clRed);
    const std::vector<THtmlLine>& z = lines[0].lines;
    ASSERT_EQ(z.size(), 6u);
    EXPECT_EQ(z[0].X1, 0);
    EXPECT_EQ(z[0].Y1, 14);
    EXPECT_EQ(z[0].X2, 2);
    EXPECT_EQ(z[0].Y2, 12);
    EXPECT_EQ(z[5].X2, 12);
    EXPECT_EQ(z[5].Y2, 14);
    for (size_t i = 1; i < z.size(); ++i) EXPECT_EQ(z[i].X1, z[i - 1].X2);  // one polyline
}

TEST(HtmlLayout, PageAndParagraphBackgrounds) {
    TFakeRun run;
    run.Run(L"<BODY BGCOLOR=\"#FF0000\">x<P BGCOLOR=\"clyellow\">y<BR>z</P>w", {0, 0, 100, 100});
    const auto rects = run.surface.Of(TDrawn::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_RECT(rects[0].rect, -2, 0, 100, 100);
    EXPECT_EQ(rects[0].background, fw::clRed);
    EXPECT_RECT(rects[1].rect, 0, 0, 100, 13);  // the paragraph's band, over its line
    EXPECT_EQ(rects[1].background, fw::clYellow);
    EXPECT_RECT(rects[2].rect, 0, 13, 100, 26);  // and every later line's
    EXPECT_EQ(run.surface.TextDraw(L"x").background, fw::clRed);
    EXPECT_EQ(run.surface.TextDraw(L"z").background, fw::clYellow);
    EXPECT_EQ(run.surface.TextDraw(L"w").background, fw::clRed);  // "</P>" gives back the brush

    run.Run(L"<BODY BGCOLOR=\"clred\" BGCOLORTO=\"clblue\" DIR=\"V\">x", {0, 0, 100, 100});
    ASSERT_EQ(run.surface.Of(TDrawn::Gradient).size(), 1u);
    EXPECT_FALSE(run.surface.Of(TDrawn::Gradient)[0].stretch);  // vertical
    EXPECT_EQ(run.surface.TextDraw(L"x").background, fw::clNone);

    // A store picture is tiled over the rectangle, clipped to it.
    run.surface.pictures[L"TILE"] = {40, 60};
    run.Run(L"<BODY BACKGROUND=\"tile\">x", {0, 0, 100, 100});
    const auto tiles = run.surface.Of(TDrawn::Image);
    ASSERT_EQ(tiles.size(), 6u);
    EXPECT_RECT(tiles[5].rect, 80, 60, 120, 120);
    EXPECT_TRUE(tiles[5].clipped);
}

TEST(HtmlLayout, TextWidthIsTheWidestLinePlusTwo) {
    TFakeRun run;
    run.params.MeasureOnly = true;
    run.Run(L"aa<BR>a<B>a</B>");  // 12, then 13
    EXPECT_EQ(run.results.TextWidth, 15);
    run.Run(L"a<B>a</B><BR>aa");
    EXPECT_EQ(run.results.TextWidth, 15);
}

TEST(HtmlLayout, RotationGoesToTheSurface) {
    TFakeRun run;
    run.Run(L"<R a=\"90\">x</R>y");
    const auto rotations = run.surface.Of(TDrawn::Rotate);
    ASSERT_FALSE(rotations.empty());
    EXPECT_EQ(rotations.back().angle, 90);
    EXPECT_EQ(run.surface.Of(TDrawn::EndRotation).size(), rotations.size());
}

// Each row runs the same markup on the GDI and the GDI+ rules.
TEST(HtmlLayout, GdiPlusRules) {
    struct Row {
        const char* rule;
        std::function<void(TFakeRun& gdi, TFakeRun& gp)> check;
    } rows[] = {
        {"text starts one pixel right",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"ab").surface.TextDraw(L"ab").rect.Left, 0);
             EXPECT_EQ(gp.Run(L"ab").surface.TextDraw(L"ab").rect.Left, 1);
         }},
        {"lines are not trimmed",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"a<BR>   b").surface.TextDraw(L"b").rect.Left, 0);
             EXPECT_EQ(gp.Run(L"a<BR>   b").surface.TextDraw(L"b").rect.Left, 10);
         }},
        {"the last line takes no spacing; two more pixels of height",
         [](TFakeRun& gdi, TFakeRun& gp) {
             gdi.params.LineSpacing = gp.params.LineSpacing = 4;
             EXPECT_EQ(gdi.Run(L"a<BR>b<BR>c").results.TextHeight, 39 + 12);
             EXPECT_EQ(gp.Run(L"a<BR>b<BR>c").results.TextHeight, 39 + 8 + 2);
         }},
        {"scripts take half their height and move the top",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"a<SUP>b</SUP>").results.TextHeight, 16);
             gp.Run(L"a<SUP>b</SUP>");
             EXPECT_EQ(gp.results.TextHeight, 19 + 2);
             EXPECT_RECT(gp.surface.TextDraw(L"b").rect, 7, -3, 400, 13);
             EXPECT_EQ(gp.surface.TextDraw(L"a").rect.Top, 0);
         }},
        {"a blank piece measures nothing and is not drawn",
         [](TFakeRun& gdi, TFakeRun& gp) {
             gdi.params.MeasureOnly = gp.params.MeasureOnly = true;
             EXPECT_EQ(gdi.Run(L"<B>x</B> y").results.TextWidth, 18);
             EXPECT_EQ(gp.Run(L"<B>x</B> y").results.TextWidth, 15);
             gp.params.MeasureOnly = false;
             EXPECT_EQ(gp.Run(L"<B>x</B> y").surface.Texts(), (Texts{L"x", L"y"}));
             EXPECT_EQ(gp.surface.TextDraw(L"y").rect.Left, 11);
         }},
        {"a word sets the anchor only within a text height of the line top",
         [](TFakeRun& gdi, TFakeRun& gp) {
             for (TFakeRun* run : {&gdi, &gp}) {
                 run->surface.pictures[L"IDX:0"] = {16, 16};
                 run->params.HitX = 20;
                 run->params.HitY = 14;
                 run->Run(L"<IMG SRC=\"IDX:0\"><A href=\"u\">ab</A>");
             }
             EXPECT_EQ(gdi.results.AnchorHref, L"u");
             EXPECT_EQ(gp.results.AnchorHref, L"");
         }},
        {"underlined link words carry an underscore over the blank",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"<A href=\"u\">one two</A> x").surface.Texts(),
                       (Texts{L"one ", L"two", L" ", L"x"}));
             EXPECT_EQ(gp.Run(L"<A href=\"u\">one two</A> x").surface.Texts(), (Texts{L"one _", L"two", L"x"}));
         }},
        {"without word wrap every piece is drawn",
         [](TFakeRun& gdi, TFakeRun& gp) {
             gdi.params.WordWrap = gp.params.WordWrap = false;
             EXPECT_EQ(gdi.Run(L"aaaa<B>bb</B>", {0, 0, 20, 50}).surface.Texts(), (Texts{L"aaaa"}));
             EXPECT_EQ(gp.Run(L"aaaa<B>bb</B>", {0, 0, 20, 50}).surface.Texts(), (Texts{L"aaaa", L"bb"}));
         }},
        {"a piece that ends on the edge fits",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"aaa bbb", {0, 0, 39, 50}).results.TextHeight, 26);
             EXPECT_EQ(gp.Run(L"aaa bbb", {0, 0, 40, 50}).results.TextHeight, 15);
         }},
        {"a word split by tags never breaks; no trailing blank is subtracted",
         [](TFakeRun& gdi, TFakeRun& gp) {
             EXPECT_EQ(gdi.Run(L"ab<B>cd</B>", {0, 0, 20, 50}).results.TextHeight, 26);
             EXPECT_EQ(gp.Run(L"ab<B>cd</B>", {0, 0, 21, 50}).results.TextHeight, 15);
             EXPECT_EQ(gdi.Run(L"ab <B>").results.TextWidth, 14);
             EXPECT_EQ(gp.Run(L"ab <B>").results.TextWidth, 17);
         }},
        {"backgrounds paint nothing, the page colour backs the text",
         [](TFakeRun& gdi, TFakeRun& gp) {
             const wchar_t* text = L"<BODY BGCOLOR=\"clred\"><P BGCOLOR=\"clblue\">x";
             EXPECT_EQ(gdi.Run(text).surface.Of(TDrawn::Rectangle).size(), 2u);
             gp.Run(text);
             EXPECT_TRUE(gp.surface.Of(TDrawn::Rectangle).empty());
             EXPECT_EQ(gp.surface.TextDraw(L"x").background, fw::clRed);
         }},
        {"list items can show a store picture",
         [](TFakeRun& gdi, TFakeRun& gp) {
             const wchar_t* text = L"<UL><LI TYPE=\"IMAGE\" NAME=\"dot\">x";
             gdi.surface.pictures[L"DOT"] = gp.surface.pictures[L"DOT"] = {20, 5};
             gdi.Run(text);
             EXPECT_TRUE(gdi.surface.Of(TDrawn::Image).empty());
             EXPECT_EQ(gdi.surface.TextDraw(L"x").rect.Left, 12);
             gp.Run(text);
             ASSERT_EQ(gp.surface.Of(TDrawn::Image).size(), 1u);
             EXPECT_RECT(gp.surface.Of(TDrawn::Image)[0].rect, 1, 15, 21, 20);
             EXPECT_EQ(gp.surface.TextDraw(L"x").rect.Left, 21);
         }},
        {"the error zigzag is strokes with one more at the end",
         [](TFakeRun&, TFakeRun& gp) {
             const auto z = gp.Run(L"<E>ab</E>").surface.Of(TDrawn::Lines)[0].lines;
             ASSERT_EQ(z.size(), 8u);  // x from 1 to 13: strokes from 0 to 12, one more at 14
             EXPECT_EQ(z[0].X1, 0);
             EXPECT_EQ(z[0].Y1, 13 - 4);
             EXPECT_EQ(z[0].Y2, 13 - 2);
             EXPECT_EQ(z[1].Y1, 13 - 4 + 2);
             EXPECT_EQ(z[7].X1, 14);
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.rule);
        TFakeRun gdi, gp(GdipHtmlPolicy());
        r.check(gdi, gp);
    }
}

}  // namespace
}  // namespace kel
