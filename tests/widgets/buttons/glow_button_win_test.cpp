// The glow button as a control: defaults, drawing checked in off-screen
// bitmaps, real input through the X server (hover fade, repeat, drop-down),
// freeing from its own handlers, exceptions from clicks and the key tip.
#include "widgets/buttons/KelGlowButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/gui/actions.h"
#include "framework/gui/forms.h"
#include "framework/gui/graphic_control.h"
#include "framework/gui/image_list.h"
#include "framework/gui/timer.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/buttons/KelPaintHelpers.h"
#include "widgets/buttons/KelPopupMenu.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel::glow {
namespace {

using fw::test::FindOwnWindow;
using fw::test::PumpUntil;
using fw::test::TestApplication;
using kel::test::Near;
using kel::test::Px;
using kel::test::Rgb;

constexpr fw::TColor kParent = 0x00FF00;  // green under the corners

struct Fixture {
    fw::TForm* form;
    TKelGlowButton* button;
    explicit Fixture(const wchar_t* cls) {
        form = TestApplication().CreateForm<fw::TForm>(std::wstring(cls));
        form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        form->SetColor(kParent);
        form->SetBounds(0, 0, 300, 200);
        button = new TKelGlowButton(form);
        button->SetBounds(20, 20, 100, 41);
        button->SetParent(form);
    }
    ~Fixture() { form->Free(); }
    void Show() {
        form->SetFormStyle(fw::TFormStyle::fsStayOnTop);
        form->Show();
        SetForegroundWindow(form->Handle());
        PumpUntil([] { return false; }, 150);
    }
    POINT Screen(int x, int y) const { return button->ClientToScreen(POINT{x, y}); }
};

// The button painted on its own into a bitmap of its size.
void Paint(TKelCustomGlowButton& b, fw::TBitmap& bmp) {
    bmp.SetSize(b.Width(), b.Height());
    kel::test::FillWhite(bmp);
    b.PaintTo(bmp.Canvas().Handle());
    GdiFlush();
}

uint32_t RgbOf(fw::TColor c) { return Rgb(fw::ColorR(c), fw::ColorG(c), fw::ColorB(c)); }

TEST(GlowButton, NewButtonDefaults) {
    Fixture f(L"TGlowDefaults");
    TKelGlowButton& b = *f.button;
    TKelGlowButton fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 100);
    EXPECT_EQ(fresh.Height(), 41);
    EXPECT_EQ(b.Model().State, vsUp);
    EXPECT_EQ(b.ImageIndex(), -1);
    EXPECT_EQ(b.Spacing(), 2);
    EXPECT_EQ(b.MarginHorz(), 1);
    EXPECT_EQ(b.MarginVert(), 1);
    EXPECT_TRUE(b.Rounded());
    EXPECT_TRUE(b.WordWrap());
    EXPECT_TRUE(b.ShowCaption());
    EXPECT_TRUE(b.ShowDisabled());
    EXPECT_TRUE(b.DropDownSplit());
    EXPECT_EQ(b.AntiAlias(), aaClearType);
    EXPECT_FALSE(b.TabStop());
    EXPECT_EQ(b.InitRepeatPause(), 400);
    EXPECT_EQ(b.RepeatPause(), 100);
    EXPECT_EQ(b.NotesFont().Name(), L"Tahoma");
    EXPECT_EQ(b.NotesFont().Size(), 8);
    EXPECT_EQ(b.GetVersion(), L"2.0.1.1");
    b.SetVersion(L"9.9");
    EXPECT_EQ(b.GetVersion(), L"2.0.1.1");
}

TEST(GlowButton, FaceBorderAndCornersShowTheParent) {
    Fixture f(L"TGlowFace");
    TKelGlowButton& b = *f.button;
    fw::TBitmap bmp;
    Paint(b, bmp);
    EXPECT_TRUE(Near(Px(bmp, 50, 8), 0xFFFFFF, 4)) << std::hex << Px(bmp, 50, 8);
    // The lower half runs from white at the middle to silver at the bottom.
    const uint32_t middle = Px(bmp, 50, 22), low = Px(bmp, 50, 38);
    EXPECT_GT(middle & 0xFF, low & 0xFF);
    EXPECT_TRUE(Near(low, 0xC0C0C0, 24)) << std::hex << low;
    EXPECT_TRUE(Near(Px(bmp, 50, 40), 0xC0C0C0, 40)) << "bottom border " << std::hex << Px(bmp, 50, 40);
    EXPECT_TRUE(Near(Px(bmp, 0, 20), 0xC0C0C0, 40)) << "left border " << std::hex << Px(bmp, 0, 20);
    for (POINT c : {POINT{0, 0}, POINT{99, 0}, POINT{0, 40}, POINT{99, 40}})
        EXPECT_EQ(Px(bmp, c.x, c.y), 0x00FF00u) << c.x << "," << c.y;

    struct Row {
        TButtonPosition pos;
        bool leftGreen, rightGreen;
    } rows[] = {{bpLeft, true, false}, {bpMiddle, false, false}, {bpRight, false, true}};
    for (const Row& r : rows) {
        b.SetPosition(r.pos);
        Paint(b, bmp);
        EXPECT_EQ(Px(bmp, 0, 0) == 0x00FF00u, r.leftGreen) << r.pos;
        EXPECT_EQ(Px(bmp, 99, 0) == 0x00FF00u, r.rightGreen) << r.pos;
        EXPECT_NE(Px(bmp, 50, 0), 0x00FF00u) << "the top edge is border, not parent: " << r.pos;
    }
    // Inner joints of a row are darker lines; a middle button's left edge is
    // light unless hot or down.
    b.SetPosition(bpMiddle);
    Paint(b, bmp);
    EXPECT_LT(Px(bmp, 99, 20) & 0xFF, 0xE0u) << std::hex << Px(bmp, 99, 20);
}

TEST(GlowButton, DisabledAndStyledFaces) {
    Fixture f(L"TGlowStates");
    TKelGlowButton& b = *f.button;
    b.SetEnabled(false);
    fw::TBitmap bmp;
    Paint(b, bmp);
    EXPECT_EQ(b.Model().State, vsDisabled);
    EXPECT_TRUE(Near(Px(bmp, 50, 8), Rgb(242, 242, 242), 4)) << std::hex << Px(bmp, 50, 8);
    b.SetEnabled(true);
    b.ApplyStylePreset(spOffice2010Black);
    Paint(b, bmp);
    EXPECT_TRUE(Near(Px(bmp, 50, 2), RgbOf(0xBFBFBF), 16)) << std::hex << Px(bmp, 50, 2);
    EXPECT_TRUE(Near(Px(bmp, 50, 18), RgbOf(0x919191), 16)) << std::hex << Px(bmp, 50, 18);
}

TKelCustomGlowButton::TDrawInputs PlainInputs(fw::TFont& font) {
    TKelCustomGlowButton::TDrawInputs in;
    in.Rect = RECT{0, 0, 100, 41};
    TGlowButtonAppearance a;
    in.Colors = a.Normal();
    in.Font = &font;
    return in;
}

TEST(GlowButton, FocusRingAndDropDownArrow) {
    fw::TFont font;
    fw::TBitmap bmp(100, 41);
    kel::test::FillWhite(bmp);
    auto in = PlainInputs(font);
    in.FocusBorder = true;
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    // The solid ring in 0xE4AD89 at one pixel in, the dotted grey one inside.
    bool ring = false;
    for (int x : {1, 2}) {
        const uint32_t px = Px(bmp, x, 20);
        ring |= (px & 0xFF) > ((px >> 16) & 0xFF) + 20;
    }
    EXPECT_TRUE(ring) << std::hex << Px(bmp, 1, 20) << " " << Px(bmp, 2, 20);
    int grey = 0;
    for (int y = 4; y < 36; ++y) grey += Near(Px(bmp, 2, y), 0x808080, 40) || Near(Px(bmp, 3, y), 0x808080, 40);
    EXPECT_GT(grey, 6) << "dots of the inner ring";

    kel::test::FillWhite(bmp);
    in = PlainInputs(font);
    in.DropDownButton = true;
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    // Part (86..100); point (86 + 4, 1 + 19).
    for (int x = 90; x < 95; ++x) EXPECT_EQ(Px(bmp, x, 20), 0u) << x;
    EXPECT_EQ(Px(bmp, 92, 22), 0u);
    EXPECT_EQ(Px(bmp, 90, 21), 0xFFFFFFu) << "highlight";
    in.Enabled = false;
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    EXPECT_EQ(Px(bmp, 90, 20), 0x808080u);
    in.ArrowDown = false;
    in.Enabled = true;
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    for (int y = 20; y < 25; ++y) EXPECT_EQ(Px(bmp, 90, y), 0u) << y;
}

TEST(GlowButton, SplitPartUnderTheCursorIsDarker) {
    fw::TFont font;
    fw::TBitmap bmp(100, 41);
    auto in = PlainInputs(font);
    TGlowButtonAppearance a;
    in.Colors = a.Hot();
    in.Colors.Gradient = in.Colors.GradientMirror = ggVertical;
    in.DropDownButton = true;
    in.Highlighted = true;
    in.HasBorder = false;
    in.DropDownState = 2;
    kel::test::FillWhite(bmp);
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    const uint32_t bodyOver = Px(bmp, 40, 10), partOver = Px(bmp, 93, 10);
    in.DropDownState = 1;
    TKelCustomGlowButton::DrawButton(bmp.Canvas(), in);
    GdiFlush();
    const uint32_t bodyHot = Px(bmp, 40, 10), partHot = Px(bmp, 93, 10);
    EXPECT_LT(partOver & 0xFF, bodyOver & 0xFF) << std::hex << partOver << " " << bodyOver;
    EXPECT_LT(bodyHot & 0xFF, partHot & 0xFF) << std::hex << bodyHot << " " << partHot;
}

// A 16 by 16 BMP: magenta (the key, bottom-left) with a red 8 by 8 middle.
void KeyedPicture(TGDIPPicture& picture) {
    fw::TBitmap image(16, 16);
    kel::test::Fill(image, fw::clFuchsia);
    image.Canvas().Brush().SetColor(fw::clRed);
    image.Canvas().FillRect(RECT{4, 4, 12, 12});
    GdiFlush();
    picture.Assign(image);
}

TEST(GlowButton, KeyedPictureShowsTheFaceThroughItsKeyColour) {
    Fixture f(L"TGlowPicture");
    TKelGlowButton& b = *f.button;
    TGDIPPicture picture;
    KeyedPicture(picture);
    b.SetPicture(picture);
    fw::TBitmap bmp;
    Paint(b, bmp);
    // Centred in the content rectangle: (42, 12).
    EXPECT_EQ(Px(bmp, 50, 20), 0xFF0000u);
    EXPECT_TRUE(Near(Px(bmp, 43, 13), 0xFFFFFF, 4)) << std::hex << Px(bmp, 43, 13);
    int magenta = 0;
    for (int y = 12; y < 28; ++y)
        for (int x = 42; x < 58; ++x) magenta += Px(bmp, x, y) == 0xFF00FFu;
    EXPECT_EQ(magenta, 0);
}

TEST(GlowButton, AutoSizeFollowsTheMeasuredCaption) {
    Fixture f(L"TGlowAutoSize");
    TKelGlowButton& b = *f.button;
    b.SetCaption(L"Hello there");
    b.SetAutoSize(true);
    fw::TBitmap bmp;
    Paint(b, bmp);
    // The same measurement the button makes.
    HDC dc = GetDC(nullptr);
    float width = 0, height = 0;
    {
        TGPGraphics g(dc);
        auto family = MakeFontFamily(b.Font().Name());
        TGPFont font(family.get(), static_cast<float>(b.Font().Size()), 0, gpUnitPoint);
        TGPStringFormat format(0);
        format.SetAlignment(gpStringAlignmentCenter);
        format.SetLineAlignment(gpStringAlignmentCenter);
        format.SetHotkeyPrefix(gpHotkeyPrefixShow);
        TGPFloatRect box{};
        g.MeasureString(L"Hello there", -1, &font, FloatRect(0, 0, 4096, 4096), &format, box);
        width = box.Width;
        height = box.Height;
    }
    ReleaseDC(nullptr, dc);
    ASSERT_GT(width, 20);
    EXPECT_EQ(b.Width(), 2 * 3 + (RoundHalfEven(width) + 2) + 2 + 2);
    EXPECT_EQ(b.Height(), 2 * 2 + (RoundHalfEven(height) + 2) + 2);

    // The glyph-only size state drops the caption.
    b.SetMinButtonSizeState(bsGlyph);
    b.SetMaxButtonSizeState(bsGlyph);
    Paint(b, bmp);
    EXPECT_EQ(b.SizeState(), bsGlyph);
    EXPECT_EQ(b.Width(), 2 * 3 + 2 + 2 + 2);
}

TEST(GlowButton, WithoutAntiAliasTheTextGoesThroughGdi) {
    Fixture f(L"TGlowGdiText");
    TKelGlowButton& b = *f.button;
    b.SetCaption(L"Hello there");
    b.SetAntiAlias(aaNone);
    b.SetAutoSize(true);
    fw::TBitmap bmp;
    Paint(b, bmp);
    HDC dc = GetDC(nullptr);
    RECT calc{0, 0, 4096, 0};
    int th = 0;
    {
        fw::SelectGuard font(dc, b.Font().Handle());
        th = DrawTextW(dc, L"Hello there", -1, &calc, DT_CALCRECT | DT_WORDBREAK);
    }
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(b.Width(), 2 * 3 + (calc.right + 2) + 2 + 2);
    EXPECT_EQ(b.Height(), 2 * 2 + std::max(th + 2, 2) + 2);
    Paint(b, bmp);
    int ink = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) ink += (Px(bmp, x, y) & 0xFF) < 0x60;
    EXPECT_GT(ink, 20) << "the caption is drawn";
}

TEST(GlowButton, GroupsAmongSiblingsAndKeyTip) {
    Fixture f(L"TGlowGroups");
    auto* second = new TKelGlowButton(f.form);
    second->SetParent(f.form);
    f.button->SetGroupIndex(1);
    second->SetGroupIndex(1);
    f.button->SetDown(true);
    second->SetDown(true);
    EXPECT_FALSE(f.button->Down());
    EXPECT_TRUE(second->Down());

    auto* tip = new TShortCutHintWindow(f.button);
    tip->SetBounds(0, 0, 2, 12);
    EXPECT_GE(tip->Width(), 9) << "at least the width of O plus 8";
    f.button->SetShortCutHintWindow(tip);
    f.button->Appearance().SetColor(0x123456);
    EXPECT_EQ(tip->Color(), fw::clWhite);
    EXPECT_EQ(tip->ColorTo(), 0x123456);
}

class RedBox : public fw::TGraphicControl {
public:
    using fw::TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(fw::clRed);
        Canvas().FillRect(RECT{0, 0, Width(), Height()});
    }
};

TEST(GlowButton, ParentGraphicControlsPaintIntoAGivenDC) {
    Fixture f(L"TGlowGraphic");
    auto* first = new RedBox(f.form);
    first->SetBounds(5, 5, 10, 10);
    first->SetParent(f.form);
    auto* second = new RedBox(f.form);
    second->SetBounds(30, 5, 10, 10);
    second->SetParent(f.form);
    fw::TBitmap bmp(60, 30);
    kel::test::FillWhite(bmp);
    PaintParentGraphicControls(f.form, bmp.Canvas().Handle());
    EXPECT_EQ(Px(bmp, 8, 8), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 33, 8), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 20, 8), 0xFFFFFFu);
    kel::test::FillWhite(bmp);
    PaintParentGraphicControls(f.form, bmp.Canvas().Handle(), second);
    EXPECT_EQ(Px(bmp, 8, 8), 0xFFFFFFu) << "from the second on";
    EXPECT_EQ(Px(bmp, 33, 8), 0xFF0000u);
}

TEST(GlowButton, SpaceClicksDirectlyAndSetsTheFormsModalResult) {
    Fixture f(L"TGlowSpace");
    int clicks = 0;
    f.button->OnClick = [&](fw::TComponent*) { ++clicks; };
    f.button->SetModalResult(fw::mrOk);
    HWND h = f.button->Handle();
    SendMessageW(h, WM_CHAR, L' ', 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.form->ModalResult(), fw::mrOk);
}

TEST(GlowButton, AltAcceleratorClicksAndEnterReachesTheDefaultButton) {
    Fixture f(L"TGlowAccel");
    f.Show();
    int clicks = 0, defaults = 0;
    f.button->SetCaption(L"&Go");
    f.button->OnClick = [&](fw::TComponent*) { ++clicks; };
    auto* ok = new TKelGlowButton(f.form);
    ok->SetBounds(150, 20, 100, 41);
    ok->SetDefault(true);
    ok->SetParent(f.form);
    ok->OnClick = [&](fw::TComponent*) { ++defaults; };
    // Alt held while the character arrives.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(f.form->Handle(), WM_SYSCHAR, L'g', 0);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(clicks, 1);
    SendMessageW(f.form->Handle(), WM_SYSCHAR, L'x', 0);
    EXPECT_EQ(clicks, 1);
    // Enter on a control that is not a glow button reaches the default one.
    auto* edit = new fw::TCustomControl(f.form);
    edit->SetBounds(0, 100, 50, 20);
    edit->SetParent(f.form);
    edit->SetTabStop(true);
    edit->SetFocus();
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(GlowButton, FreedFromItsOwnClickAndByAMessageItPosted) {
    Fixture f(L"TGlowFree");
    f.Show();
    TKelGlowButton* b = f.button;
    b->OnClick = [b](fw::TComponent*) { b->Free(); };
    HWND h = b->Handle();
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(f.form->ControlCount(), 0);
    EXPECT_FALSE(IsWindow(h));
    PumpUntil([] { return false; }, 200);  // the fade timer went with it

    auto* other = new TKelGlowButton(f.form);
    other->SetParent(f.form);
    other->OnClick = [&f, other](fw::TComponent*) {
        auto* later = new fw::TTimer(f.form);
        later->SetInterval(1);
        later->OnTimer = [other, later](fw::TComponent*) {
            other->Free();
            later->Free();
        };
    };
    h = other->Handle();
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 10));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(PumpUntil([&] { return f.form->ControlCount() == 0; }, 2000));
    PumpUntil([] { return false; }, 200);
}

TEST(GlowButton, AnExceptionFromAClickReachesTheApplication) {
    Fixture f(L"TGlowThrow");
    auto& app = TestApplication();
    int caught = 0;
    std::wstring message;
    auto saved = app.OnException;
    app.OnException = [&](fw::TComponent*, std::exception_ptr e) {
        ++caught;
        try {
            std::rethrow_exception(e);
        } catch (const fw::Exception& x) {
            message = x.Message();
        } catch (...) {
        }
    };
    f.button->OnClick = [](fw::TComponent*) { throw fw::Exception(L"click failed"); };
    HWND h = f.button->Handle();
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    app.OnException = saved;
    EXPECT_EQ(caught, 1);
    EXPECT_EQ(message, L"click failed");
}

TEST(GlowButton, ActionLinkCarriesCheckedGroupAndImage) {
    Fixture f(L"TGlowAction");
    auto* images = new fw::TImageList(f.form, 16, 16);
    fw::TBitmap image(16, 16);
    kel::test::Fill(image, fw::clFuchsia);
    image.Canvas().Brush().SetColor(fw::clBlue);
    image.Canvas().FillRect(RECT{4, 4, 12, 12});
    GdiFlush();
    images->AddMasked(image, fw::clFuchsia);
    auto* list = new fw::TActionList(f.form);
    list->SetImages(images);
    auto* first = new fw::TAction(f.form);
    auto* second = new fw::TAction(f.form);
    for (fw::TAction* a : {first, second}) {
        a->SetActionList(list);
        a->SetGroupIndex(1);
        a->SetAutoCheck(true);
    }
    first->SetCaption(L"First");
    first->SetImageIndex(0);
    int runs = 0;
    first->OnExecute = [&](fw::TComponent*) { ++runs; };
    auto* other = new TKelGlowButton(f.form);
    other->SetBounds(150, 20, 100, 41);
    other->SetParent(f.form);
    f.button->SetAction(first);
    other->SetAction(second);
    EXPECT_EQ(f.button->Caption(), L"First");
    EXPECT_EQ(f.button->GroupIndex(), 1);
    EXPECT_EQ(f.button->ImageIndex(), 0);

    first->SetChecked(true);
    EXPECT_TRUE(f.button->Down());
    second->SetChecked(true);
    EXPECT_FALSE(first->Checked());
    EXPECT_FALSE(f.button->Down()) << "the button follows its unchecked action";
    EXPECT_TRUE(other->Down());

    // A click runs the action, which checks it; the button follows.
    HWND h = f.button->Handle();
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(first->Checked());
    EXPECT_TRUE(f.button->Down());
    EXPECT_FALSE(other->Down());

    // The action list's image, keyed on its bottom-left pixel.
    f.button->SetShowCaption(false);
    fw::TBitmap bmp;
    Paint(*f.button, bmp);
    EXPECT_EQ(Px(bmp, 50, 20), 0x0000FFu);
    EXPECT_NE(Px(bmp, 43, 13), 0xFF00FFu);
}

// ---- real input through the X server

RECT* g_menuRect = nullptr;

// Runs inside the menu loop: notes where the menu opened and closes it.
void CALLBACK CloseMenuWhenOpen(HWND owner, UINT, UINT_PTR id, DWORD) {
    HWND window = FindOwnWindow(L"#32768");
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(owner, id);
    GetWindowRect(window, g_menuRect);
    EndMenu();
}

TEST(GlowButtonLive, HoverFadeRepeatAndDropDown) {
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "no xdotool";
    Fixture f(L"TGlowLive");
    TKelGlowButton& b = *f.button;
    b.SetCaption(L"Repeat");
    b.SetRepeatClick(true);
    std::vector<int> levels;
    b.OnDrawButton = [&](fw::TComponent*, fw::TCanvas&, const RECT&, TGlowButtonState) {
        levels.push_back(b.Model().HotLevel);
    };
    DWORD pressedAt = 0;
    std::vector<DWORD> repeats;
    int releaseClicks = 0;
    b.OnMouseDown = [&](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { pressedAt = GetTickCount(); };
    b.OnClick = [&](fw::TComponent*) {
        if (GetCapture() == b.Handle())
            repeats.push_back(GetTickCount());
        else
            ++releaseClicks;
    };

    auto* dd = new TKelGlowButton(f.form);
    dd->SetBounds(150, 20, 100, 41);
    dd->SetCaption(L"Menu");
    dd->SetDropDownButton(true);
    dd->SetParent(f.form);
    auto* menu = new menus::TKelPopupMenu(f.form);
    for (const wchar_t* caption : {L"One", L"Two"}) {
        auto* item = new fw::TMenuItem(menu);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    dd->SetDropDownMenu(menu);
    int dropDowns = 0, ddClicks = 0;
    dd->OnDropDown = [&](fw::TComponent*) { ++dropDowns; };
    dd->OnClick = [&](fw::TComponent*) { ++ddClicks; };
    f.Show();

    // Hover: the level climbs in steps of 20 and the timer stops at 100.
    POINT p = f.Screen(50, 20);
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y)));
    EXPECT_TRUE(PumpUntil([&] { return b.Model().HotLevel == 100 && !b.FadeTimerRunning(); }, 3000));
    EXPECT_TRUE(b.Model().Hot);
    bool climbed = false;
    for (int level : levels) climbed |= level > 0 && level < 100;
    EXPECT_TRUE(climbed);

    if (const char* hold = std::getenv("KYN_GLOW_HOLD_MS")) PumpUntil([] { return false; }, atoi(hold));

    // Holding: the first repeat after 400 ms, then every 100 ms, and the
    // ordinary click at the release.
    ASSERT_TRUE(kel::test::Xdotool(L"mousedown 1"));
    EXPECT_TRUE(PumpUntil([&] { return repeats.size() >= 3; }, 5000));
    ASSERT_TRUE(kel::test::Xdotool(L"mouseup 1"));
    PumpUntil([&] { return releaseClicks > 0; }, 2000);
    EXPECT_EQ(releaseClicks, 1);
    ASSERT_GE(repeats.size(), 3u);
    EXPECT_GE(repeats[0] - pressedAt, 380u);
    for (size_t i = 1; i < repeats.size(); ++i) EXPECT_GE(repeats[i] - repeats[i - 1], 85u) << i;
    const size_t repeated = repeats.size();
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(repeats.size(), repeated) << "the repeat stops at the release";

    // The drop-down opens below the button, at its left edge.
    RECT menuRect{};
    g_menuRect = &menuRect;
    SetTimer(fw::PopupListWindow(), 0x4757, 50, CloseMenuWhenOpen);
    const POINT ddCentre = dd->ClientToScreen(POINT{93, 20});  // the part of a split button
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(ddCentre.x) + L" " + std::to_wstring(ddCentre.y) +
                                   L" click 1"));
    PumpUntil([&] { return menuRect.bottom != 0; }, 3000);
    KillTimer(fw::PopupListWindow(), 0x4757);
    const POINT below = dd->ClientToScreen(POINT{0, dd->Height()});
    EXPECT_EQ(dropDowns, 1);
    EXPECT_EQ(ddClicks, 0);
    EXPECT_NEAR(menuRect.top, below.y, 3);
    EXPECT_NEAR(menuRect.left, below.x, 20);
    PumpUntil([&] { return !dd->Model().Pressed; }, 2000);
    EXPECT_FALSE(dd->Model().LeftDown);
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove 600 600"));
}

// Holds a form of buttons in their states on the screen for a screenshot
// (KYN_GLOW_HOLD_MS); skipped otherwise.
TEST(GlowButtonLive, Showcase) {
    const char* hold = std::getenv("KYN_GLOW_HOLD_MS");
    if (!hold) GTEST_SKIP() << "only for screenshots";
    Fixture f(L"TGlowShowcase");
    f.form->SetColor(0xF0E0D0);
    f.form->SetBounds(0, 0, 460, 220);
    f.button->SetCaption(L"Plain");
    auto add = [&](int x, int y, const wchar_t* caption) {
        auto* b = new TKelGlowButton(f.form);
        b->SetBounds(x, y, 100, 41);
        b->SetCaption(caption);
        b->SetParent(f.form);
        return b;
    };
    add(130, 20, L"Disabled")->SetEnabled(false);
    auto* dd = add(240, 20, L"Drop-down");
    dd->SetDropDownButton(true);
    auto* checked = add(350, 20, L"Checked");
    checked->SetGroupIndex(1);
    checked->SetDown(true);
    TGDIPPicture picture;
    KeyedPicture(picture);
    auto* pic = add(20, 80, L"Picture");
    pic->SetPicture(picture);
    auto* notes = add(130, 80, L"Notes");
    notes->Notes().Add(L"second line");
    auto* blue = add(240, 80, L"Office 2007");
    blue->ApplyStylePreset(spOffice2007Luna);
    auto* black = add(350, 80, L"Office 2010");
    black->ApplyStylePreset(spOffice2010Black);
    const TButtonPosition row[] = {bpLeft, bpMiddle, bpMiddle, bpRight};
    for (int i = 0; i < 4; ++i) {
        auto* b = add(20 + 80 * i, 140, i == 0 ? L"Left" : i == 3 ? L"Right" : L"Middle");
        b->SetBounds(20 + 80 * i, 140, 80, 30);
        b->SetPosition(row[i]);
    }
    auto* focus = add(350, 140, L"Focused");
    focus->SetTabStop(true);
    f.Show();
    focus->SetFocus();
    PumpUntil([] { return false; }, static_cast<DWORD>(atoi(hold)));
}

}  // namespace
}  // namespace kel::glow
