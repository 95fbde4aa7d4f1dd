// The smooth panel: its cached bitmap, pixels of fill, caption and HTML
// text, transparency, presets, and links under the real pointer.
#include "widgets/buttons/KelSmoothPanel.h"

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"
#include "tests/widgets/editors/xdotool.h"

namespace kel {
namespace {

using fw::test::PumpUntil;
using fw::test::TestApplication;
using kel::test::Px;

struct Fixture {
    fw::TForm* form;
    TKelSmoothPanel* panel;
    fw::TBitmap bmp{200, 100};

    explicit Fixture(const wchar_t* cls) {
        form = TestApplication().CreateForm<fw::TForm>(std::wstring(cls));
        form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        form->SetColor(fw::clLime);
        form->SetBounds(0, 0, 300, 200);
        panel = new TKelSmoothPanel(form);
        panel->SetBounds(10, 10, 200, 100);
        panel->SetParent(form);
        TGDIPFill& f = panel->Fill();
        f.SetGradientType(gtSolid);
        f.SetColor(fw::clRed);
        f.SetBorderColor(fw::clNone);
        f.SetShadowColor(fw::clNone);
    }
    ~Fixture() { form->Free(); }
    void Paint() {
        kel::test::FillWhite(bmp);
        panel->PaintTo(bmp.Canvas().Handle());
        GdiFlush();
    }
    // Pixels of a colour (within 60 per channel) in a box.
    int Count(uint32_t rgb, int l, int t, int r, int b) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if (kel::test::Near(Px(bmp, x, y), rgb, 60)) ++n;
        return n;
    }
};

TEST(SmoothPanel, Defaults) {
    Fixture f(L"TKelSpDefaults");
    TKelSmoothPanel p(nullptr);
    EXPECT_EQ(p.Width(), 256);
    EXPECT_EQ(p.Height(), 128);
    EXPECT_TRUE(p.Transparent());
    EXPECT_EQ(p.Version(), L"1.0.9.2");
    EXPECT_EQ(p.Caption().Font().Name(), L"Tahoma");
    EXPECT_EQ(p.Caption().Font().Size(), 12);
    EXPECT_EQ(p.Caption().LineColor(), 0xB0721Cu);
    EXPECT_EQ(p.Caption().HTMLLocation(), plCenterCenter);
    EXPECT_EQ(p.Caption().HTMLShadowOffset(), 5);
}

TEST(SmoothPanel, CacheIsRebuiltOnlyAfterAChange) {
    Fixture f(L"TKelSpCache");
    f.Paint();
    EXPECT_EQ(f.panel->CacheBuilds(), 1);
    EXPECT_TRUE(kel::test::Near(Px(f.bmp, 100, 50), 0xFF0000, 2));
    f.Paint();
    EXPECT_EQ(f.panel->CacheBuilds(), 1) << "a repaint without a change reuses the cache";

    struct Row {
        const char* what;
        std::function<void()> change;
    } rows[] = {
        {"fill colour", [&] { f.panel->Fill().SetColor(fw::clBlue); }},
        {"caption text", [&] { f.panel->Caption().SetText(L"Hello"); }},
        {"caption font", [&] { f.panel->Caption().Font().SetSize(9); }},
        {"HTML text", [&] { f.panel->Caption().SetHTMLText(L"<b>x</b>"); }},
        {"resize", [&] { f.panel->SetBounds(10, 10, 190, 100); }},
        {"transparent", [&] { f.panel->SetTransparent(false); }},
    };
    int builds = 1;
    for (const Row& r : rows) {
        r.change();
        f.Paint();
        EXPECT_EQ(f.panel->CacheBuilds(), ++builds) << r.what;
        f.Paint();
        EXPECT_EQ(f.panel->CacheBuilds(), builds) << r.what;
    }
    EXPECT_TRUE(kel::test::Near(Px(f.bmp, 150, 80), 0x0000FF, 2));
    // Setting a value it already has changes nothing.
    f.panel->Caption().SetText(L"Hello");
    f.Paint();
    EXPECT_EQ(f.panel->CacheBuilds(), builds);
}

TEST(SmoothPanel, NarrowPanelPaintsNothingButFiresOnDraw) {
    Fixture f(L"TKelSpNarrow");
    int draws = 0;
    f.panel->OnDraw = [&](fw::TComponent*, fw::TCanvas&, RECT r) {
        ++draws;
        EXPECT_EQ(r.right, 1);
    };
    f.panel->SetBounds(10, 10, 1, 100);
    f.Paint();
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(f.panel->CacheBuilds(), 0);
}

TEST(SmoothPanel, CaptionTextAndLine) {
    Fixture f(L"TKelSpCaption");
    TKelSmoothPanelCaption& c = f.panel->Caption();
    c.SetText(L"WWWW");
    c.SetGradientType(gtSolid);
    c.SetColorStart(fw::clBlue);
    c.SetLineColor(fw::clLime);
    f.Paint();
    EXPECT_GT(f.Count(0x0000FF, 0, 0, 100, 25), 20) << "blue caption text at the top left";
    EXPECT_GT(f.Count(0x00FF00, 0, 10, 200, 30), 50) << "the separator line under it";

    // A radial caption brush draws no text but still the line.
    c.SetGradientType(gtRadial);
    f.Paint();
    EXPECT_EQ(f.Count(0x0000FF, 0, 0, 100, 25), 0);
    EXPECT_GT(f.Count(0x00FF00, 0, 10, 200, 30), 50);

    // Bottom right: the text and the line above it move down.
    c.SetGradientType(gtSolid);
    c.SetLocation(plBottomRight);
    f.Paint();
    EXPECT_EQ(f.Count(0x0000FF, 0, 0, 100, 25), 0);
    EXPECT_GT(f.Count(0x0000FF, 100, 70, 200, 100), 20);
}

TEST(SmoothPanel, TransparentOverItsParent) {
    Fixture f(L"TKelSpTransparent");
    f.panel->Fill().SetRounding(20);
    f.Paint();
    EXPECT_EQ(Px(f.bmp, 0, 0), 0x00FF00u) << "the parent's colour shows in the rounded corner";
    EXPECT_TRUE(kel::test::Near(Px(f.bmp, 100, 50), 0xFF0000, 2));
    f.panel->SetTransparent(false);
    f.panel->SetColor(fw::clYellow);
    f.Paint();
    EXPECT_EQ(Px(f.bmp, 0, 0), 0xFFFF00u);
}

TEST(SmoothPanel, PresetsAndAssign) {
    Fixture f(L"TKelSpPresets");
    TGDIPFill& fill = f.panel->Fill();
    fill.SetGlow(gmRadial);
    f.panel->ApplyStylePreset(8);
    EXPECT_EQ(fill.GradientType(), gtVertical);
    EXPECT_EQ(fill.Glow(), gmNone);
    EXPECT_EQ(fill.Color(), fw::clRed) << "style 8 changes no colours";

    f.panel->ApplyStylePreset(4);
    EXPECT_EQ(fill.Color(), 0xFAF1E9u);
    EXPECT_EQ(fill.ColorMirrorTo(), 0xFFF2E7u);
    EXPECT_EQ(fill.BorderColor(), 0xE3B28Du);
    EXPECT_EQ(fill.GradientMirrorType(), gtVertical);
    EXPECT_EQ(f.panel->Caption().ColorStart(), 0xB0721Cu);
    f.panel->ApplyStylePreset(13);
    EXPECT_EQ(fill.Glow(), gmRadial);

    TKelSmoothPanel other(nullptr);
    f.panel->Caption().SetText(L"Copied");
    f.panel->SetTransparent(false);
    other.Assign(f.panel);
    EXPECT_NE(&other.Caption(), &f.panel->Caption());
    EXPECT_NE(&other.Fill(), &f.panel->Fill());
    EXPECT_EQ(other.Caption().Text(), L"Copied");
    EXPECT_EQ(other.Fill().Color(), 0xFDF6EFu);
    EXPECT_FALSE(other.Transparent());
    other.Caption().SetText(L"Own");
    EXPECT_EQ(f.panel->Caption().Text(), L"Copied");
}

TEST(SmoothPanel, HtmlBlockAvoidsTheShadow) {
    Fixture f(L"TKelSpShadow");
    f.panel->Fill().SetShadowColor(fw::clGray);
    f.panel->Fill().SetShadowOffset(5);
    f.panel->Caption().SetHTMLText(L"a b c d e f g h i j k l m n o p q r s t u v w x y z");
    f.panel->Caption().SetHTMLLocation(plCustom);
    f.Paint();
    // Custom: from HTMLLeft to the available width W - 5 - 2b.
    EXPECT_EQ(f.panel->HTMLRect().Right, 200 - 5 - 2);
}

TEST(SmoothPanel, LinkUnderThePointerShowsTheHandAndClicks) {
    Fixture f(L"TKelSpLink");
    f.panel->Caption().SetHTMLText(L"<a href=\"page2\">LINKLINKLINK</a>");
    f.panel->Caption().SetHTMLLocation(plTopLeft);
    std::vector<std::wstring> clicks;
    f.panel->OnAnchorClick = [&](fw::TComponent*, const std::wstring& a) { clicks.push_back(a); };
    f.form->SetFormStyle(fw::TFormStyle::fsStayOnTop);
    f.form->Show();
    PumpUntil([&] { return f.panel->CacheBuilds() > 0; }, 3000);
    const TIntRect r = f.panel->HTMLRect();
    ASSERT_GT(r.Right, r.Left);
    const int lx = (r.Left + r.Right) / 2;
    const int ly = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(f.panel->AnchorAt(lx, ly), L"page2");
    EXPECT_EQ(f.panel->AnchorAt(r.Right + 5, ly), L"");
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "no xdotool";
    const POINT on = f.panel->ClientToScreen(POINT{lx, ly});
    const POINT off = f.panel->ClientToScreen(POINT{lx, 90});
    const HCURSOR hand = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(on.x) + L" " + std::to_wstring(on.y)));
    EXPECT_TRUE(PumpUntil([&] { return f.panel->Cursor() == hand; }, 3000));
    ASSERT_TRUE(kel::test::Xdotool(L"click 1"));
    EXPECT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 3000));
    EXPECT_EQ(clicks, std::vector<std::wstring>{L"page2"});
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(off.x) + L" " + std::to_wstring(off.y)));
    EXPECT_TRUE(PumpUntil([&] { return f.panel->Cursor() == nullptr; }, 3000)) << "its own cursor returns";
    ASSERT_TRUE(kel::test::Xdotool(L"click 1"));
    EXPECT_EQ(clicks.size(), 1u);
}

}  // namespace
}  // namespace kel
