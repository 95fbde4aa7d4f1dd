// The pager's appearance objects, the styler's change kinds and presets,
// the page rectangle, the tab progress geometry and the tab outlines.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "framework/core/streams.h"

#include "widgets/pager/KelOfficePagerStyler.h"
#include "widgets/pager/KelPagerAppearance.h"
#include "widgets/pager/KelPagerShapes.h"

namespace kel {
inline bool operator==(const TGPIntPoint& a, const TGPIntPoint& b) { return a.X == b.X && a.Y == b.Y; }
inline std::ostream& operator<<(std::ostream& os, const TGPIntPoint& p) { return os << p.X << "," << p.Y; }
}  // namespace kel

namespace kel::pager {
namespace {

struct Counter {
    int n = 0;
    TChangeEvent Handler() {
        return [this] { ++n; };
    }
};

TEST(PagerAppearance, ChangeRulesOfTheSettingsObjects) {
    Counter gradient, vista, tab, font, progress;
    TGradientBackground g;
    g.OnChange = gradient.Handler();
    g.SetColor(g.Color());
    EXPECT_EQ(gradient.n, 1) << "the strip background fires on every write";
    TVistaBackground v;
    v.OnChange = vista.Handler();
    v.SetColor(v.Color());
    EXPECT_EQ(vista.n, 0);
    v.SetColor(fw::clRed);
    EXPECT_EQ(vista.n, 1);

    TTabAppearance t;
    t.OnChange = tab.Handler();
    t.OnFontChange = font.Handler();
    t.SetShadowColor(1), t.SetHighLightColor(2), t.SetBorderColorHot(3), t.SetHighLightColorDown(4);
    EXPECT_EQ(tab.n, 0) << "plain fields fire nothing";
    EXPECT_EQ(t.ShadowColor(), 1u);
    t.BackGround().SetColorTo(fw::clRed);
    EXPECT_EQ(tab.n, 1) << "the background's change is the appearance's";
    t.Font().SetStyle(fsBold);
    EXPECT_EQ(font.n, 1);
    EXPECT_EQ(tab.n, 1) << "a font change fires OnFontChange only";

    TTabProgress p, q;
    p.OnChange = progress.Handler();
    q.SetPosition(10), q.SetMax(20), q.SetVisible(true);
    p.Assign(q);
    EXPECT_EQ(progress.n, 1) << "Assign fires once";
    EXPECT_EQ(p.Position(), 10);
    EXPECT_TRUE(p.Visible());

    // Gradient background Assign copies without firing.
    TGradientBackground h;
    h.SetDirection(gdVertical);
    g.Assign(h);
    EXPECT_EQ(gradient.n, 1);
    EXPECT_EQ(g.Direction(), gdVertical);
}

TEST(PagerAppearance, ScrollerKeepsMinBelowMax) {
    TPagerTabScroller s;
    s.SetMax(5);
    s.SetMax(-1);
    EXPECT_EQ(s.Max(), 5);
    s.SetMin(6);
    EXPECT_EQ(s.Min(), 0);
    EXPECT_FALSE(s.CanScrollBack());
    EXPECT_TRUE(s.CanScrollForward());
    s.SetPosition(5);
    EXPECT_TRUE(s.CanScrollBack());
    EXPECT_FALSE(s.CanScrollForward());
}

TEST(PagerAppearance, ButtonPictureFlagsStaySet) {
    TPageButtonSettings b;
    Counter changes;
    b.OnChange = changes.Handler();
    EXPECT_FALSE(b.NextPictureChanged());
    EXPECT_EQ(b.CloseButtonHint(), L"Close");
    EXPECT_EQ(b.ClosedListButtonHint(), L"Closed Pages");
    TGDIPPicture picture;
    fw::TMemoryStream bytes;
    const char png[] = "\x89PNG\r\n\x1a\n";
    bytes.Write(png, 8);
    bytes.SetPosition(0);
    picture.LoadFromStream(&bytes);
    b.SetPicture(TPageButtonSettings::piNext, picture);
    EXPECT_TRUE(b.NextPictureChanged());
    EXPECT_FALSE(b.PrevPictureChanged());
    b.SetPicture(TPageButtonSettings::piNext, TGDIPPicture());
    EXPECT_TRUE(b.NextPictureChanged()) << "clearing the picture keeps the flag";
    EXPECT_GE(changes.n, 2);
}

TEST(PagerAppearance, PageRectByPosition) {
    const TPagerRect client{0, 0, 316, 464};
    struct Row {
        TTabPosition pos;
        TPagerRect expected;
    } rows[] = {
        {tpTop, {1, 26, 315, 462}},
        {tpBottom, {1, 2, 315, 438}},
        {tpLeft, {26, 2, 315, 462}},
        {tpRight, {1, 2, 290, 462}},
    };
    for (const Row& r : rows) EXPECT_EQ(PagerPageRect(client, r.pos, 26, 1), r.expected) << r.pos;
    const TPagerRect top = PagerPageRect(client, tpTop, 26, 1);
    EXPECT_EQ(top.Width(), 314);
    EXPECT_EQ(top.Height(), 436);
}

TEST(PagerAppearance, ProgressGeometry) {
    TTabProgress p;  // Position 50 of 100
    struct Row {
        int orientation;
        bool depth;
        TPagerRect bar, complete;
        int mode;
        bool reversed;
    } rows[] = {
        {tpTop, false, {0, 1, 102, 20}, {0, 1, 51, 20}, 1, false},
        {tpBottom, false, {0, 0, 101, 20}, {0, 0, 50, 20}, 1, false},  // 50.5 rounds to even
        {tpLeft, true, {0, 0, 100, 19}, {0, 9, 100, 19}, 0, false},
        {tpRight, true, {0, 0, 102, 20}, {0, 0, 102, 10}, 0, true},
        {tpLeft, false, {0, 0, 100, 19}, {0, 0, 50, 19}, 1, false},
    };
    for (const Row& r : rows) {
        TTabProgressGeometry g = TabProgressGeometry(p, TPagerRect{0, 0, 100, 20}, r.orientation, r.depth);
        EXPECT_EQ(g.Bar, r.bar) << r.orientation;
        EXPECT_EQ(g.Complete, r.complete) << r.orientation;
        EXPECT_EQ(g.Mode, r.mode);
        EXPECT_EQ(g.Reversed, r.reversed);
    }
    TTabProgress bad;
    bad.SetMax(0);
    EXPECT_EQ(TabProgressGeometry(bad, TPagerRect{0, 0, 100, 20}, tpBottom, false).Complete.Width(), 0);
    bad.SetMax(10), bad.SetPosition(40);
    EXPECT_EQ(TabProgressGeometry(bad, TPagerRect{0, 0, 100, 20}, tpBottom, false).Complete.Width(), 101)
        << "never past the bar";
    // Exact halves round to even, where doubles land a hair to either side
    // (x87 and SSE differently).
    const struct {
        int position, length, filled;
    } halves[] = {{3, 95, 28}, {7, 45, 32}, {7, 85, 60}, {-1, 5, 0}};
    for (const auto& h : halves) {
        bad.SetPosition(h.position);
        EXPECT_EQ(TabProgressGeometry(bad, TPagerRect{0, 0, h.length - 1, 20}, tpBottom, false).Complete.Width(), h.filled)
            << h.position << " of 10 of " << h.length;
    }
}

struct FakePager : fw::TComponent, IPagerStylerClient {
    using fw::TComponent::TComponent;
    std::vector<int> kinds;
    void StylerChanged(int kind) override { kinds.push_back(kind); }
};

TEST(PagerStyler, ChangeKindsReachEveryAttachedPager) {
    TCustomKelOfficePagerStyler styler(nullptr);
    FakePager a(nullptr), b(nullptr);
    styler.AttachPager(&a);
    styler.AttachPager(&b);
    styler.TabAppearance().SetColorHot(fw::clRed);
    styler.PageAppearance().SetColor(fw::clRed);
    styler.SetRoundedCorners(styler.RoundedCorners());
    styler.GlowButtonAppearance().SetColor(fw::clRed);
    styler.TabAppearance().Font().SetSize(10);
    styler.TabAppearance().SetShadowColor(fw::clRed);
    EXPECT_EQ(a.kinds, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(b.kinds, a.kinds);
    styler.DetachPager(&a);
    styler.SetRoundedCorners(0);
    EXPECT_EQ(a.kinds.size(), 5u);
    EXPECT_EQ(b.kinds.back(), 3);
    {
        FakePager gone(nullptr);
        styler.AttachPager(&gone);
    }
    EXPECT_EQ(styler.Pagers().size(), 1u) << "a freed pager leaves the list";
}

TEST(PagerStyler, NewOfficeStylerCarriesTheBluePreset) {
    TKelOfficePagerOfficeStyler s(nullptr);
    EXPECT_EQ(s.Style(), psOffice2003Blue);
    TTabAppearance& t = s.TabAppearance();
    EXPECT_EQ(t.BackGround().Color(), 14986888u);
    EXPECT_EQ(t.BackGround().ColorTo(), 16440004u);
    EXPECT_EQ(t.BorderColorHot(), fw::clHighlight);
    EXPECT_EQ(t.BorderColorSelected(), fw::clBlack);
    EXPECT_EQ(t.ColorMirrorHotTo(), 9556223u);
    EXPECT_EQ(t.ColorMirrorDisabled(), fw::clWhite);
    EXPECT_EQ(t.TextColorDisabled(), fw::clGray);
    EXPECT_EQ(t.ShadowColor(), 10708799u);
    EXPECT_EQ(s.PageAppearance().Color(), 16640730u);
    EXPECT_EQ(s.GlowButtonAppearance().ColorDown(), 7778289u);
    EXPECT_EQ(s.RoundedCorners(), 1);
    EXPECT_EQ(s.BorderLightening(), 50);
}

TEST(PagerStyler, LunaPresetAndWhatPresetsKeep) {
    TKelOfficePagerOfficeStyler s(nullptr);
    s.TabAppearance().SetColor(fw::clRed);
    s.TabAppearance().Font().SetName(L"Arial");
    s.SetStyle(psOffice2007Luna);
    TTabAppearance& t = s.TabAppearance();
    EXPECT_EQ(t.BackGround().ColorTo(), fw::clNone);
    EXPECT_EQ(t.TextColorSelected(), 9126421u);
    EXPECT_EQ(t.GradientHot(), ggRadial);
    EXPECT_EQ(s.PageAppearance().ColorMirrorTo(), 16773863u);
    EXPECT_EQ(s.GlowButtonAppearance().BorderColorChecked(), 4548219u);
    EXPECT_EQ(t.Color(), fw::clRed) << "presets leave the normal tab colours";
    EXPECT_EQ(t.Font().Name(), L"Arial");

    s.SetStyle(psOffice2003Classic);
    EXPECT_EQ(s.BorderLightening(), 80);
    s.SetStyle(psWindowsVista);
    EXPECT_EQ(s.BorderLightening(), 50);
    EXPECT_EQ(s.RoundedCorners(), 0);
    s.SetStyle(psOffice2007Obsidian);
    EXPECT_EQ(t.BackGround().Direction(), gdVertical);
    EXPECT_EQ(t.GradientMirrorHot(), ggRadial);
}

TEST(PagerStyler, CustomStyleChangesNoColourAndSameStyleDoesNothing) {
    TKelOfficePagerOfficeStyler s(nullptr);
    FakePager p(nullptr);
    s.AttachPager(&p);
    const TColor before = s.TabAppearance().ColorHot();
    s.SetStyle(psCustom);
    EXPECT_EQ(s.TabAppearance().ColorHot(), before);
    EXPECT_EQ(p.kinds, std::vector<int>{2});
    p.kinds.clear();
    s.SetStyle(psCustom);
    EXPECT_TRUE(p.kinds.empty());
    s.ApplyStylePreset(spOffice2010Black);
    EXPECT_EQ(s.Style(), psOffice2010Black);
    EXPECT_EQ(p.kinds.back(), 2) << "a preset ends with kind 2";
}

TEST(PagerStyler, ThemeAdaptationPicksThePresetOfTheScheme) {
    struct Row {
        int scheme;
        TOfficePagerStyle style;
    } rows[] = {{1, psOffice2003Blue}, {2, psOffice2003Olive}, {3, psOffice2003Silver}, {0, psWindowsXP}};
    for (const Row& r : rows) {
        TKelOfficePagerOfficeStyler s(nullptr);
        s.SetStyle(psTerminal);
        s.DetectColorScheme = [&] { return r.scheme; };
        s.Loaded();
        EXPECT_EQ(s.Style(), psTerminal) << "AutoThemeAdapt is off";
        s.SetAutoThemeAdapt(true);
        s.Loaded();
        EXPECT_EQ(s.Style(), r.style);
    }
    EXPECT_EQ(ColorSchemeFromName(L"Metallic"), 3);
    EXPECT_EQ(ColorSchemeFromName(L"Royale"), 0);
    EXPECT_EQ(SwapRedBlue(0x00112233u), 0x00332211u);
}

TEST(PagerStyler, ListAccessOutOfRangeRaises) {
    std::vector<int> list{1, 2};
    EXPECT_EQ(PagerListGet(list, 1), 2);
    EXPECT_THROW(PagerListGet(list, 2), fw::Exception);
    EXPECT_THROW(PagerListGet(list, -1), fw::Exception);
    EXPECT_THROW(PagerListPut(list, 2, 0), fw::Exception);
    try {
        PagerListPut(list, 5, 0);
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), L"Index out of bounds in list write access");
    }
}

TEST(PagerShapes, RampMeetsTheOuterEdge) {
    EXPECT_EQ(TabRampDepth(80, 26, 2, tpTop, true), 10);
    auto out = TabShapeOutline(0, 0, 80, 26, tsLeftRightRamp, 2, tpTop, true);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].Kind, TShapeSegment::skBezier);
    EXPECT_EQ(out[0].Points.front(), IntPoint(0, 26));
    EXPECT_EQ(out[0].Points.back(), IntPoint(14, 0));
    EXPECT_EQ(out[2].Points.front(), IntPoint(80 - 14, 0));
    EXPECT_EQ(out[2].Points.back(), IntPoint(80, 26));

    // One ramp: the other corner is rounded with half the rounding.
    auto left = TabShapeOutline(0, 0, 80, 26, tsLeftRamp, 4, tpTop, true);
    EXPECT_EQ(left.back().Points.back(), IntPoint(80, 26));
    EXPECT_EQ(left[left.size() - 2].Points.front(), IntPoint(80 - 3 * 2, 0));

    // Bottom tabs open at the top; left tabs at the right.
    auto bottom = TabShapeOutline(0, 0, 80, 26, tsRectangle, 2, tpBottom, true);
    EXPECT_EQ(bottom.front().Points.front(), IntPoint(0, 0));
    auto side = TabShapeOutline(0, 0, 26, 80, tsRectangle, 2, tpLeft, true);
    EXPECT_EQ(side.front().Points.front(), IntPoint(26, 0));
    EXPECT_EQ(side.back().Points.back(), IntPoint(26, 80));
}

}  // namespace
}  // namespace kel::pager
