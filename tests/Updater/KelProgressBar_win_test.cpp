// The progress bar painted off-screen: rounded corners, levels, stacked
// segments, Brimlet's thin bar, range clamping and the infinite marker; and
// a screenshot of its states.
#include "Updater/KelProgressBar.h"

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"

namespace oru {
namespace {

using kel::test::Near;
using kel::test::Px;

struct BarFixture {
    fw::TForm* form;
    TKelProgressBar* bar;
    BarFixture() {
        form = fw::test::TestApplication().CreateForm<fw::TForm>(std::wstring(L"TKelBarTestForm"));
        form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 300, 200);
        bar = new TKelProgressBar(form);
        bar->SetParent(form);
    }
    ~BarFixture() { form->Free(); }
    // Paints the bar over a background of `under` (0x00BBGGRR).
    void Paint(fw::TBitmap& bmp, fw::TColor under) {
        bmp.SetSize(bar->Width(), bar->Height());
        kel::test::Fill(bmp, under);
        bar->PaintTo(bmp.Canvas().Handle());
        GdiFlush();
    }
};

TEST(KelProgressBar, Defaults) {
    BarFixture f;
    EXPECT_EQ(f.bar->Width(), 128);
    EXPECT_EQ(f.bar->Height(), 18);
    EXPECT_EQ(f.bar->Position(), 50);
    EXPECT_EQ(f.bar->Version(), L"1.2.0.1");
    EXPECT_EQ(f.bar->Font().Name(), L"Verdana");
    EXPECT_EQ(f.bar->Font().Size(), 10);
    EXPECT_FALSE(f.bar->AnimationRunning());
}

TEST(KelProgressBar, RoundedCornersStayTransparent) {
    BarFixture f;
    fw::TBitmap bmp;
    f.Paint(bmp, 0xFF0000);  // blue beneath
    for (auto [x, y] : {std::pair{0, 0}, {127, 0}, {0, 17}, {127, 17}}) EXPECT_EQ(Px(bmp, x, y), 0x0000FFu) << x << "," << y;
    EXPECT_EQ(Px(bmp, 64, 0), 0x808080u) << "the frame";
    f.bar->SetRounded(false);
    f.Paint(bmp, 0xFF0000);
    EXPECT_EQ(Px(bmp, 0, 0), 0x808080u) << "a square frame covers its corners";
}

TEST(KelProgressBar, StackedSegmentsAndSolidLevels) {
    BarFixture f;
    f.bar->SetStacked(true);
    f.bar->SetShowGradient(false);
    f.bar->SetShowPosition(false);
    f.bar->SetPosition(100);
    fw::TBitmap bmp;
    f.Paint(bmp, fw::clWhite);
    EXPECT_EQ(Px(bmp, 50, 9), 0x00FF00u) << "level 0";
    EXPECT_EQ(Px(bmp, 100, 9), 0xFFFF00u) << "level 1";
    EXPECT_EQ(Px(bmp, 125, 9), 0xFFA953u) << "level 2 reaches the inner end";
    // One colour by level when not stacked: full is level 3 (red), in blocks.
    f.bar->SetStacked(false);
    f.Paint(bmp, fw::clWhite);
    EXPECT_EQ(Px(bmp, 4, 9), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 10, 9), 0xFFFFFFu) << "the gap between blocks";
}

TEST(KelProgressBar, BrimletsThinBarFillsUpToThePosition) {
    BarFixture f;
    f.bar->SetBounds(0, 0, 202, 4);
    f.bar->SetStacked(true);
    f.bar->SetLevel1Perc(100);
    f.bar->SetLevel2Perc(100);
    f.bar->SetShowPosition(false);
    f.bar->SetLevel0Color(fw::clBlack);
    f.bar->SetLevel0ColorTo(fw::clBlack);
    f.bar->SetPosition(25);
    fw::TBitmap bmp;
    f.Paint(bmp, fw::clWhite);
    EXPECT_EQ(Px(bmp, 30, 2), 0x000000u);
    EXPECT_EQ(Px(bmp, 60, 2), 0xFFFFFFu);
}

TEST(KelProgressBar, OutOfRangeClampsAndRangeChangesReclamp) {
    BarFixture f;
    f.form->Show();
    fw::test::PumpUntil([] { return false; }, 100);
    const int paints = f.bar->PaintCount();
    f.bar->SetPosition(500);
    EXPECT_EQ(f.bar->Position(), 100);
    EXPECT_EQ(f.bar->PaintCount(), paints) << "no paint at once";
    f.bar->SetPosition(80);
    EXPECT_GT(f.bar->PaintCount(), paints) << "an in-range change paints at once";
    f.bar->SetMax(40);
    EXPECT_EQ(f.bar->Position(), 40);
    EXPECT_EQ(f.bar->Percentage(), 100);
}

TEST(KelProgressBar, InfiniteMarkerMovesOnlyWhenAnimated) {
    BarFixture f;
    f.form->Show();
    f.bar->SetInfiniteInterval(10);
    f.bar->SetCompletionSmooth(true);
    f.bar->SetInfinite(true);
    EXPECT_FALSE(f.bar->AnimationRunning());
    fw::test::PumpUntil([] { return false; }, 150);
    EXPECT_EQ(f.bar->MarkerPosition(), 0);
    f.bar->SetAnimated(true);
    EXPECT_TRUE(f.bar->AnimationRunning());
    EXPECT_TRUE(fw::test::PumpUntil([&] { return f.bar->MarkerPosition() >= 8; }, 10000));
    f.bar->SetAnimated(false);
    EXPECT_FALSE(f.bar->AnimationRunning());
    // The bar is level 0 throughout, cleared but for the marker.
    f.bar->SetShowPosition(false);
    f.bar->SetShowGradient(false);
    fw::TBitmap bmp;
    f.Paint(bmp, fw::clWhite);
    const int at = 2 + f.bar->MarkerPosition() * 124 / 100;
    EXPECT_EQ(Px(bmp, at, 9), 0x00FF00u);
    EXPECT_EQ(Px(bmp, at + 30 < 120 ? at + 30 : 4, 9), 0xFFFFFFu);
}

TEST(KelProgressBar, ScreenshotOfItsStates) {
    fw::TForm* form = fw::test::TestApplication().CreateForm<fw::TForm>(std::wstring(L"TKelBarShotForm"));
    form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
    form->SetColor(0xF0F0F0);
    form->SetBounds(40, 40, 330, 200);
    struct Row {
        int pos;
        std::function<void(TKelProgressBar&)> set;
    } rows[] = {
        {40, [](TKelProgressBar&) {}},
        {80, [](TKelProgressBar& b) { b.SetCompletionSmooth(true); }},
        {95, [](TKelProgressBar& b) { b.SetStacked(true); }},
        {100, [](TKelProgressBar& b) { b.SetStacked(true); b.SetRounded(false); }},
        {60, [](TKelProgressBar& b) { b.SetShowPercentage(false); b.SetFormat(L"%d of %d"); b.SetLevel0BkColor(0xE0E0E0); }},
        {0, [](TKelProgressBar& b) { b.SetInfinite(true); }},
    };
    int top = 10;
    for (auto& row : rows) {
        auto* bar = new TKelProgressBar(form);
        bar->SetBounds(10, top, 240, 20);
        row.set(*bar);
        bar->SetPosition(row.pos);
        bar->SetParent(form);
        top += 30;
    }
    auto* vertical = new TKelProgressBar(form);
    vertical->SetBounds(270, 10, 24, 170);
    vertical->SetOrientation(TGaugeOrientation::goVertical);
    vertical->SetCompletionSmooth(true);
    vertical->SetPosition(75);
    vertical->SetParent(form);
    form->Show();
    fw::test::PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(fw::test::SaveWindowShot(form->Handle(), "progress_bar_states").empty());
    form->Free();
}

}  // namespace
}  // namespace oru
