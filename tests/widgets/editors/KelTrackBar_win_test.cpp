// The trackbar as a control: position and event rules, keys, wheel, buttons,
// clicks and a real drag under the pointer, and its painting in off-screen
// bitmaps.
#include "widgets/editors/KelTrackBar.h"

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"

namespace kel::trackbar {
namespace {

using fw::test::PumpUntil;
using fw::test::TestApplication;
using kel::test::Px;

// 0xRRGGBB of a 0xBBGGRR colour.
uint32_t Rgb(fw::TColor c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

struct Fixture {
    fw::TForm* form;
    TKelTrackBar* bar;
    int changes = 0;

    explicit Fixture(const wchar_t* cls, fw::TColor formColor = 0x00FF00) {
        auto& app = TestApplication();
        form = app.CreateForm<fw::TForm>(std::wstring(cls));
        form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        form->SetColor(formColor);
        form->SetBounds(0, 0, 300, 200);
        bar = new TKelTrackBar(form);
        bar->SetBounds(20, 20, 150, 26);
        bar->SetParent(form);
        bar->OnChange = [this](fw::TComponent*) { ++changes; };
    }
    ~Fixture() { form->Free(); }
    void Show() {
        form->Show();
        SetForegroundWindow(form->Handle());
        PumpUntil([] { return false; }, 100);
    }
};

TEST(TrackBar, NewTrackBarDefaults) {
    Fixture f(L"TKelTbDefaults");
    TKelTrackBar& b = *f.bar;
    EXPECT_EQ(b.Width(), 150);
    EXPECT_EQ(b.Height(), 26);
    EXPECT_EQ(b.Min(), 0);
    EXPECT_EQ(b.Max(), 10);
    EXPECT_EQ(b.Position(), 0);
    EXPECT_EQ(b.PageSize(), 1);
    EXPECT_TRUE(b.TabStop());
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.Color(), fw::clNone);
    EXPECT_EQ(b.Version(), L"1.6.2.0");
    EXPECT_EQ(b.Thumb().Shape(), tsPointer);
    EXPECT_EQ(b.Slider().BorderColor(), 0xC29674u);
    EXPECT_EQ(b.TrackLabel().Format(), L"Pos: %d");
    EXPECT_EQ(b.TickMark().Font().Name(), L"Tahoma");
    EXPECT_FALSE(b.Buttons().Visible());
}

// A style preset clears the pictures, resets the shapes and writes the
// colours of its row; the Office styles also write hot and down colours, and
// an index without a row keeps the colours.
TEST(TrackBar, StylePresetsWriteTheirRowAndClearPictures) {
    Fixture f(L"TKelTbStyles");
    TKelTrackBar& b = *f.bar;
    const TGlossColors before = b.Thumb().Normal();
    const fw::TColor borderBefore = b.Slider().BorderColor();
    const TGlossColors hotBefore = b.Thumb().Hot();

    b.ApplyStylePreset(8);
    EXPECT_EQ(b.Thumb().Normal(), before);
    EXPECT_EQ(b.Slider().BorderColor(), borderBefore);

    fw::TBitmap pic(4, 4);
    b.Thumb().Picture().Assign(pic);
    b.Thumb().SetShape(tsRectangle);
    b.Slider().SetOffset(3);
    b.ApplyStylePreset(4);
    EXPECT_TRUE(b.Thumb().Picture().Empty());
    EXPECT_EQ(b.Thumb().Shape(), tsPointer);
    EXPECT_EQ(b.Slider().Offset(), 10);
    EXPECT_EQ(b.Slider().BorderColor(), 0x4A8CBAu);
    EXPECT_EQ(b.TickMark().Color(), 0x4A8CBAu) << "ticks follow the slider border";
    EXPECT_EQ(b.Thumb().Normal().BorderColor, 0x4A8CBAu);
    EXPECT_EQ(b.Thumb().Hot(), hotBefore) << "only the Office styles write hot colours";

    b.ApplyStylePreset(1);
    EXPECT_EQ(b.Thumb().Hot().Color, 0xCCF4FFu);
    EXPECT_EQ(b.Buttons().Down().Color, 0x76AFF1u);
}

TEST(TrackBar, PositionRangeAndChangeEvents) {
    Fixture f(L"TKelTbPosition");
    TKelTrackBar& b = *f.bar;
    struct Row {
        const char* what;
        std::function<void()> act;
        int position;
        int changes;
    } rows[] = {
        {"the current value fires nothing", [&] { b.SetPosition(0); }, 0, 0},
        {"a new value fires once", [&] { b.SetPosition(7); }, 7, 1},
        {"beyond Max clamps", [&] { b.SetPosition(99); }, 10, 1},
        {"beyond Max at Max still fires", [&] { b.SetPosition(15); }, 10, 1},
        {"below Min clamps", [&] { b.SetPosition(-3); }, 0, 1},
        {"Min above the position moves it up", [&] { b.SetMin(4); }, 4, 1},
        {"Max below the position moves it down", [&] { b.SetPosition(9), b.SetMax(6); }, 6, 2},
        {"a range at the int extremes keeps the value", [&] { b.SetMin(INT_MIN), b.SetMax(INT_MAX), b.SetPosition(INT_MAX); }, INT_MAX, 1},
    };
    for (const Row& r : rows) {
        f.changes = 0;
        r.act();
        EXPECT_EQ(b.Position(), r.position) << r.what;
        EXPECT_EQ(f.changes, r.changes) << r.what;
    }
}

TEST(TrackBar, KeysAndWheelMoveByOrientation) {
    Fixture f(L"TKelTbKeys");
    TKelTrackBar& b = *f.bar;
    struct Row {
        bool vertical;
        WORD key;
        fw::TShiftState shift;
        int from, to;
    } rows[] = {
        {false, VK_RIGHT, 0, 5, 6},   {false, VK_LEFT, 0, 5, 4},  {false, VK_HOME, 0, 5, 0},
        {false, VK_END, 0, 5, 10},    {false, VK_PRIOR, 0, 5, 8}, {false, VK_NEXT, 0, 5, 2},
        {true, VK_UP, 0, 5, 6},       {true, VK_DOWN, 0, 5, 4},   {true, VK_HOME, 0, 5, 10},
        {true, VK_END, 0, 5, 0},      {true, VK_PRIOR, 0, 5, 8},  {false, VK_RIGHT, fw::ssShift, 5, 5},
        {false, VK_RIGHT, 0, 10, 10},
    };
    b.SetPageSize(3);
    for (const Row& r : rows) {
        b.SetOrientation(r.vertical ? trVertical : trHorizontal);
        b.SetPosition(r.from);
        WORD key = r.key;
        b.KeyDown(key, r.shift);
        EXPECT_EQ(b.Position(), r.to) << "key " << r.key << (r.vertical ? " vertical" : " horizontal");
    }
    // Turning the bar swaps its sides.
    EXPECT_EQ(b.Width(), 150);
    b.SetOrientation(trVertical);
    EXPECT_EQ(b.Width(), 26);
    EXPECT_EQ(b.Height(), 150);

    b.SetPosition(5);
    EXPECT_TRUE(b.DoMouseWheel(0, -360, POINT{0, 0}));
    EXPECT_EQ(b.Position(), 4);  // one unit whatever the delta
    EXPECT_TRUE(b.DoMouseWheel(0, 120, POINT{0, 0}));
    EXPECT_EQ(b.Position(), 5);
}

TEST(TrackBar, ButtonsStepOnReleaseInsideAndRepeatWhileHeld) {
    Fixture f(L"TKelTbButtons");
    TKelTrackBar& b = *f.bar;
    b.Buttons().SetVisible(true);
    f.Show();
    const TTrackBarLayout lay = b.Layout();
    const TRect maxB = lay.MaxButton(), minB = lay.MinButton();
    const int mx = (maxB.Left + maxB.Right) / 2, my = (maxB.Top + maxB.Bottom) / 2;
    b.SetPosition(5);
    f.changes = 0;
    b.MouseDown(fw::TMouseButton::mbLeft, 0, mx, my);
    EXPECT_EQ(b.Position(), 5) << "a press does not step";
    b.MouseUp(fw::TMouseButton::mbLeft, 0, mx, my);
    EXPECT_EQ(b.Position(), 6);
    b.MouseDown(fw::TMouseButton::mbLeft, 0, minB.Left + 2, my);
    b.MouseUp(fw::TMouseButton::mbLeft, 0, minB.Left + 2, my);
    EXPECT_EQ(b.Position(), 5);
    // Released outside the button: no step.
    b.MouseMove(0, mx, my);
    b.MouseDown(fw::TMouseButton::mbLeft, 0, mx, my);
    b.MouseUp(fw::TMouseButton::mbLeft, 0, 70, 1);
    EXPECT_EQ(b.Position(), 5);
    // Moving off the button ends its press.
    b.MouseMove(0, 70, 1);
    EXPECT_EQ(b.Position(), 5);

    // Held with the capture: the timer steps after the first pause.
    b.Buttons().SetInitRepeatPause(40);
    b.Buttons().SetRepeatPause(20);
    SetCapture(b.Handle());
    b.MouseMove(0, mx, my);
    b.MouseDown(fw::TMouseButton::mbLeft, 0, mx, my);
    EXPECT_TRUE(PumpUntil([&] { return b.Position() >= 8; }, 3000));
    ReleaseCapture();
    b.MouseUp(fw::TMouseButton::mbLeft, 0, mx, my);
    const int held = b.Position();
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(b.Position(), held) << "the timer stops on release";
}

TEST(TrackBar, ClicksPageOrJumpWhereTheMappingSays) {
    Fixture f(L"TKelTbClicks");
    TKelTrackBar& b = *f.bar;
    b.SetMax(100);
    f.Show();
    const TTrackBarLayout lay = b.Layout();
    const TRect t = lay.Track();
    const int y = (t.Top + t.Bottom) / 2;
    // mcStep: a click right of the thumb pages toward it.
    b.SetPageSize(10);
    b.MouseDown(fw::TMouseButton::mbLeft, 0, t.Right - 5, y);
    b.MouseUp(fw::TMouseButton::mbLeft, 0, t.Right - 5, y);
    EXPECT_EQ(b.Position(), 10);
    // mcMove: the left button jumps, the right one does nothing.
    b.SetMoveOnClick(mcMove);
    for (int x : {40, 90, t.Right - 1, t.Left}) {
        const int expected = b.Layout().ValueFromPoint(x, y);
        b.MouseDown(fw::TMouseButton::mbLeft, 0, x, 2);
        b.MouseUp(fw::TMouseButton::mbLeft, 0, x, 2);
        EXPECT_EQ(b.Position(), expected) << "x " << x;
    }
    const int before = b.Position();
    b.MouseDown(fw::TMouseButton::mbRight, 0, 120, y);
    EXPECT_EQ(b.Position(), before);
}

TEST(TrackBar, RealDragMovesThumbAndShowsTheHint) {
    Fixture f(L"TKelTbDrag");
    TKelTrackBar& b = *f.bar;
    b.SetMax(100);
    b.SetTrackHint(true);
    f.Show();
    const TRect thumb = b.Layout().Thumb();
    POINT start = b.ClientToScreen(POINT{(thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2});
    SetCursorPos(start.x, start.y);
    PumpUntil([] { return false; }, 50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    PumpUntil([] { return false; }, 80);
    const int targetX = 100;
    const int expected = b.Layout().ValueFromPoint(targetX, (thumb.Top + thumb.Bottom) / 2);
    POINT to = b.ClientToScreen(POINT{targetX, (thumb.Top + thumb.Bottom) / 2});
    SetCursorPos(to.x, to.y);
    EXPECT_TRUE(PumpUntil([&] { return b.Position() == expected; }, 3000));
    EXPECT_TRUE(b.HintShowing());
    EXPECT_TRUE(IsWindowVisible(b.HintWindow().Handle()));
    RECT hr;
    GetWindowRect(b.HintWindow().Handle(), &hr);
    EXPECT_EQ(hr.left, to.x + 10);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !b.HintShowing(); }, 3000));
    EXPECT_FALSE(IsWindowVisible(b.HintWindow().Handle()));
    EXPECT_EQ(b.Position(), expected);

    // A real click beside the thumb with mcMove jumps to the mapped value.
    b.SetMoveOnClick(mcMove);
    const int clickX = 30;
    const int clicked = b.Layout().ValueFromPoint(clickX, 2);
    const POINT at = b.ClientToScreen(POINT{clickX, 2});
    SetCursorPos(at.x, at.y);
    PumpUntil([] { return false; }, 50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return b.Position() == clicked; }, 3000));
    EXPECT_NE(clicked, expected);
}

TEST(TrackBar, PictureThumbTakesThePictureSize) {
    Fixture f(L"TKelTbPicture");
    TKelTrackBar& b = *f.bar;
    fw::TBitmap bmp(7, 19);
    TGDIPPicture pic;
    pic.Assign(bmp);
    b.Thumb().SetPicture(pic);
    EXPECT_EQ(b.Thumb().Width(), 7);
    EXPECT_EQ(b.Thumb().Size(), 19);
    b.Thumb().SetWidth(30);
    b.Thumb().SetSize(30);
    EXPECT_EQ(b.Thumb().Width(), 7);
    EXPECT_EQ(b.Thumb().Size(), 19);
}

// Paints the bar into a bitmap over its parent's background.
void PaintBar(TKelTrackBar& bar, fw::TBitmap& bmp) {
    kel::test::FillWhite(bmp);
    bar.PaintTo(bmp.Canvas().Handle());
    GdiFlush();
}

TEST(TrackBarPaint, TransparentBarShowsTheParentAndTheCompletedPart) {
    Fixture f(L"TKelTbPaintBack", 0x00FF00);
    TKelTrackBar& b = *f.bar;
    b.SetBounds(20, 20, 150, 30);
    b.Slider().SetSize(6);
    b.Slider().SetColor(0xFF0000);  // blue
    b.Slider().SetColorTo(0xFF0000);
    b.Slider().SetColorCompleted(0x0000FF);  // red, solid
    b.Slider().SetBorderColor(fw::clNone);
    b.TickMark().SetStyle(tsNone);
    b.SetPosition(5);
    fw::TBitmap bmp(150, 30);
    PaintBar(b, bmp);
    const TTrackBarLayout lay = b.Layout();
    const TRect s = lay.Slider();
    const TRect t = lay.Thumb();
    const int y = (s.Top + s.Bottom) / 2;
    EXPECT_EQ(Px(bmp, 1, 1), 0x00FF00u) << "the parent shows through";
    EXPECT_EQ(Px(bmp, s.Left + 2, y), 0xFF0000u) << "completed part before the thumb";
    EXPECT_EQ(Px(bmp, s.Right - 2, y), 0x0000FFu) << "the rest after it";
    EXPECT_NE(Px(bmp, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2), 0x00FF00u) << "the thumb";

    b.SetPosition(10);
    PaintBar(b, bmp);
    EXPECT_EQ(Px(bmp, s.Right - 15, y), 0xFF0000u) << "all completed at Max";

    // Without a completed part the bar is the slider's gradient, light to
    // dark along the track.
    b.Slider().SetColorCompleted(fw::clNone);
    b.Slider().SetColor(0xFFFFFF);
    b.Slider().SetColorTo(0x000000);
    b.SetPosition(0);
    PaintBar(b, bmp);
    const uint32_t start = Px(bmp, s.Left + 20, y) & 0xFF, middle = Px(bmp, (s.Left + s.Right) / 2, y) & 0xFF,
                   end = Px(bmp, s.Right - 3, y) & 0xFF;
    EXPECT_GT(start, middle);
    EXPECT_GT(middle, end);

    // Opaque with no colours: nothing painted, never black.
    b.SetTransparent(false);
    PaintBar(b, bmp);
    EXPECT_NE(Px(bmp, 1, 1), 0x000000u);
    b.SetColor(0x00FFFF);
    PaintBar(b, bmp);
    EXPECT_EQ(Px(bmp, 1, 1), Rgb(0x00FFFF));
}

TEST(TrackBarPaint, OpaqueBarWithoutColourIsNeverBlackOnScreen) {
    Fixture f(L"TKelTbScreen", 0x00FF00);
    TKelTrackBar& b = *f.bar;
    b.SetTransparent(false);
    f.Show();
    b.Repaint();
    HDC screen = GetDC(nullptr);
    const POINT p = b.ClientToScreen(POINT{1, 1});
    const COLORREF got = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(got, 0x00FF00u) << "the form's colour shows through the double-buffered paint";
}

TEST(TrackBarPaint, TicksSitWhereTheLayoutPutsThem) {
    Fixture f(L"TKelTbPaintTicks", 0xFFFFFF);
    TKelTrackBar& b = *f.bar;
    b.SetBounds(0, 0, 150, 30);
    b.Thumb().SetShowAtMinMax(false);
    b.SetPosition(0);
    b.TickMark().SetColor(0x0000FF);
    fw::TBitmap bmp(150, 30);
    PaintBar(b, bmp);
    const TTrackBarLayout lay = b.Layout();
    const TRect band = lay.BottomRightTicks();
    const auto ticks = lay.TickMarks(false);
    ASSERT_EQ(ticks.size(), 11u);
    for (const TTickPlacement& t : ticks) {
        EXPECT_EQ(Px(bmp, band.Left + t.Offset, band.Bottom - 2), 0xFF0000u) << "tick " << t.Value;
        EXPECT_NE(Px(bmp, band.Left + t.Offset + 2, band.Bottom - 2), 0xFF0000u) << "beside tick " << t.Value;
    }
    // Only multiples of the image step, or only the tick at the thumb.
    b.TickMark().SetShowImageAtSteps(5);
    PaintBar(b, bmp);
    for (const TTickPlacement& t : ticks)
        EXPECT_EQ(Px(bmp, band.Left + t.Offset, band.Bottom - 2) == 0xFF0000u, t.Value % 5 == 0) << t.Value;
    b.TickMark().SetShowImageAtSteps(1);
    b.TickMark().SetShowImageAtThumbOnly(true);
    b.SetPosition(3);
    PaintBar(b, bmp);
    for (const TTickPlacement& t : ticks)
        EXPECT_EQ(Px(bmp, band.Left + t.Offset, band.Bottom - 2) == 0xFF0000u, t.Value == 3) << t.Value;
    b.TickMark().SetShowImageAtThumbOnly(false);

    // A disabled bar ticks in the disabled colour.
    b.TickMark().SetColorDisabled(0x00FF00);
    b.SetEnabled(false);
    PaintBar(b, bmp);
    EXPECT_EQ(Px(bmp, band.Left, band.Bottom - 2), 0x00FF00u);
    b.SetEnabled(true);

    b.TickMark().SetStyle(tsManual);
    PaintBar(b, bmp);
    EXPECT_NE(Px(bmp, band.Left, band.Bottom - 2), 0xFF0000u) << "manual ticks draw nothing";
}

TEST(TrackBarPaint, EveryThumbShapeFillsAndOutlinesItsRectangle) {
    Fixture f(L"TKelTbPaintThumbs", 0xFFFFFF);
    TKelTrackBar& b = *f.bar;
    b.SetBounds(0, 0, 150, 40);
    b.Slider().SetVisible(false);
    b.TickMark().SetStyle(tsNone);
    b.Thumb().SetSize(20);
    b.Thumb().SetWidth(16);
    b.SetPosition(5);
    // A flat fill (no mirror colours) in pure red, border blue.
    b.Thumb().SetColor(0x0000FF);
    b.Thumb().SetColorTo(0x0000FF);
    b.Thumb().SetColorMirror(fw::clNone);
    b.Thumb().SetColorMirrorTo(fw::clNone);
    b.Thumb().SetBorderColor(0xFF0000);
    fw::TBitmap bmp(150, 40);
    for (int shape = tsPointer; shape <= tsTriangleRight; ++shape) {
        b.Thumb().SetShape(static_cast<TThumbShape>(shape));
        PaintBar(b, bmp);
        const TRect r = b.Layout().Thumb();
        int fill = 0, border = 0, outside = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 150; ++x) {
                const uint32_t p = Px(bmp, x, y);
                const bool in = x >= r.Left - 1 && x <= r.Right && y >= r.Top - 1 && y <= r.Bottom;
                if (p == 0xFF0000) ++fill;
                if (p == 0x0000FF) ++border;
                if (!in && p != 0xFFFFFF) ++outside;
            }
        EXPECT_GT(fill, 10) << "shape " << shape;
        if (shape != tsLine) {
            EXPECT_GT(border, 2) << "shape " << shape;
        }
        EXPECT_EQ(outside, 0) << "shape " << shape;
    }
    // The glossy fill: mirror colours set, lower and upper halves differ.
    b.Thumb().SetShape(tsRectangle);
    b.Thumb().SetColorMirror(0x00FF00);
    b.Thumb().SetColorMirrorTo(0x00FF00);
    PaintBar(b, bmp);
    const TRect r = b.Layout().Thumb();
    const int cx = (r.Left + r.Right) / 2 - 3;
    EXPECT_TRUE(kel::test::Near(Px(bmp, cx, r.Top + 4), 0xFF0000, 40));
    EXPECT_TRUE(kel::test::Near(Px(bmp, cx, r.Bottom - 4), 0x00FF00, 40));
}

// A solid picture whose bottom-left pixel (the transparency key) differs.
void SolidPicture(TGDIPPicture& pic, fw::TColor color) {
    fw::TBitmap bmp(10, 10);
    bmp.Canvas().Brush().SetColor(color);
    bmp.Canvas().FillRect(RECT{0, 0, 10, 10});
    bmp.Canvas().SetPixel(0, 9, 0xFFFFFF);
    pic.Assign(bmp);
}

TEST(TrackBarPaint, RateModeShowsPicturesAndTakesClicks) {
    Fixture f(L"TKelTbRate", 0xFFFFFF);
    TKelTrackBar& b = *f.bar;
    b.SetBounds(0, 0, 150, 40);
    b.SetMax(5);
    b.SetPosition(2);
    TGDIPPicture on, off;
    SolidPicture(on, 0x0000FF);
    SolidPicture(off, 0xFF0000);
    b.SetRateActive(on);
    b.SetRateInActive(off);
    ASSERT_TRUE(b.RateMode());
    f.Show();
    fw::TBitmap bmp(150, 40);
    PaintBar(b, bmp);
    const TTrackBarLayout lay = b.Layout();
    for (int v = 1; v <= 5; ++v) {
        const TRect c = lay.RateCell(v, 10, 10);
        EXPECT_EQ(Px(bmp, c.Left + 5, c.Top + 5), v <= 2 ? 0xFF0000u : 0x0000FFu) << v;
    }
    const TRect c4 = lay.RateCell(4, 10, 10), c1 = lay.RateCell(1, 10, 10);
    b.MouseUp(fw::TMouseButton::mbLeft, 0, c4.Left + 3, c4.Top + 3);
    EXPECT_EQ(b.Position(), 4);
    b.MouseUp(fw::TMouseButton::mbLeft, 0, c1.Left - 2, c1.Top + 3);
    EXPECT_EQ(b.Position(), 0) << "just left of the first picture clears the rating";
}

TEST(TrackBarPaint, GlossyButtonsShowMinusAndPlus) {
    Fixture f(L"TKelTbPaintButtons", 0xFFFFFF);
    TKelTrackBar& b = *f.bar;
    b.SetBounds(0, 0, 150, 30);
    b.Buttons().SetVisible(true);
    fw::TBitmap bmp(150, 30);
    PaintBar(b, bmp);
    const TTrackBarLayout lay = b.Layout();
    const TRect mn = lay.MinButton(), mx = lay.MaxButton();
    EXPECT_GT(kel::test::InkIn(bmp, mn.Left, mn.Top, mn.Right, mn.Bottom), 40);
    // The plus has ink in its upright bar above the middle; the minus not.
    const int up = (mn.Top + mn.Bottom) / 2 - 3;
    const uint32_t border = Rgb(b.Buttons().Normal().BorderColor);
    auto coreAt = [&](const TRect& r) {
        const int mid = (r.Left + r.Right) / 2;
        for (int x = mid - 2; x <= mid + 2; ++x)
            if (Px(bmp, x, up) == border) return true;
        return false;
    };
    EXPECT_TRUE(coreAt(mx));
    EXPECT_FALSE(coreAt(mn));
}

}  // namespace
}  // namespace kel::trackbar
