// The office check box and radio button: state and click rules, glyphs and
// captions in off-screen bitmaps, links, keys, and real clicks under Xvfb.
#include "widgets/buttons/KelOfficeButtons.h"

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/drawing/UxThemeBinder.h"

namespace kel {
namespace {

using fw::test::PumpUntil;
using fw::test::TestApplication;
using kel::test::Px;

// One form for all: hiding a shown top-level window takes Wine two
// seconds, so the controls come and go on a form that stays.
fw::TForm* SharedForm() {
    static fw::TForm* form = [] {
        fw::TForm* f = TestApplication().CreateForm<fw::TForm>(std::wstring(L"TKelObForm"));
        f->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        f->SetColor(fw::clLime);
        f->SetBounds(40, 40, 300, 120);
        return f;
    }();
    return form;
}

struct Fixture {
    fw::TForm* form;
    TKelOfficeCheckBox* box;
    TKelOfficeRadioButton* radio1;
    TKelOfficeRadioButton* radio2;
    int boxClicks = 0, radio1Clicks = 0, radio2Clicks = 0, mouseDowns = 0;
    std::vector<std::wstring> anchors, opened;
    std::vector<fw::TComponent*> extra;

    explicit Fixture() {
        ResetOfficeButtonServices();
        OfficeButtonServices().OpenLink = [this](const std::wstring& href) { opened.push_back(href); };
        form = SharedForm();
        box = new TKelOfficeCheckBox(form);
        box->SetBounds(10, 10, 150, 20);
        box->SetParent(form);
        box->OnClick = [this](fw::TComponent*) { ++boxClicks; };
        box->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { ++mouseDowns; };
        box->OnAnchorClick = [this](fw::TComponent*, const std::wstring& a) { anchors.push_back(a); };
        radio1 = new TKelOfficeRadioButton(form);
        radio1->SetBounds(10, 40, 150, 20);
        radio1->SetParent(form);
        radio1->OnClick = [this](fw::TComponent*) { ++radio1Clicks; };
        radio2 = new TKelOfficeRadioButton(form);
        radio2->SetBounds(10, 70, 150, 20);
        radio2->SetParent(form);
        radio2->OnClick = [this](fw::TComponent*) { ++radio2Clicks; };
    }
    ~Fixture() {
        for (fw::TComponent* c : extra) c->Free();
        radio2->Free();
        radio1->Free();
        box->Free();
        ResetOfficeButtonServices();
    }
    void Show() {
        form->Show();
        SetForegroundWindow(form->Handle());
        PumpUntil([] { return false; }, 50);
    }
    static void Click(fw::TWinControl* c, int x = 5, int y = 10) {
        SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static void Space(fw::TWinControl* c) {
        SendMessageW(c->Handle(), WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(c->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    }
    void ResetCounts() { boxClicks = radio1Clicks = radio2Clicks = mouseDowns = 0; }
};

TEST(OfficeButtons, Defaults) {
    Fixture f;
    TKelOfficeCheckBox box(nullptr);
    TKelOfficeRadioButton radio(nullptr);
    EXPECT_EQ(box.Width(), 120);
    EXPECT_EQ(radio.Width(), 135);
    EXPECT_EQ(box.Height(), 20);
    EXPECT_EQ(box.Version(), L"1.3.0.0");
    EXPECT_EQ(radio.Version(), L"1.3.0.0");
    EXPECT_EQ(box.State(), cbUnchecked);
    EXPECT_FALSE(radio.Checked());
    EXPECT_EQ(box.URLColor(), 0xFF0000u);
    EXPECT_EQ(box.ShadowOffset(), 1);
    EXPECT_EQ(box.DisabledFontColor(), 0x808080u);
    EXPECT_TRUE(box.ShowFocus());
    EXPECT_FALSE(box.Themed());
}

TEST(OfficeButtons, CheckBoxStateFromCodeFiresNoClick) {
    Fixture f;
    f.box->SetChecked(true);
    EXPECT_EQ(f.box->State(), cbChecked);
    f.box->SetState(cbGrayed);
    EXPECT_FALSE(f.box->Checked());
    f.box->Toggle();
    EXPECT_EQ(f.box->State(), cbChecked) << "a grayed box toggles to checked";
    EXPECT_EQ(f.boxClicks, 0);
}

TEST(OfficeButtons, SpaceSequences) {
    Fixture f;
    f.Show();
    f.box->SetFocus();
    f.box->SetAllowGrayed(true);
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked};
    for (TCheckBoxState s : expected) {
        Fixture::Space(f.box);
        EXPECT_EQ(f.box->State(), s);
    }
    EXPECT_EQ(f.boxClicks, 3);

    f.box->SetAllowGrayed(false);
    f.box->SetReadOnly(true);
    Fixture::Space(f.box);
    Fixture::Click(f.box);
    EXPECT_EQ(f.box->State(), cbUnchecked) << "read-only";
    EXPECT_EQ(f.boxClicks, 5) << "yet OnClick fires";
}

TEST(OfficeButtons, RadioGroups) {
    Fixture f;
    auto* other = new TKelOfficeRadioButton(f.form);  // group 1
    f.extra.push_back(other);
    other->SetGroupIndex(1);
    other->SetParent(f.form);
    other->SetChecked(true);
    fw::TForm* second = TestApplication().CreateForm<fw::TForm>(L"TKelObGroups2");
    auto* elsewhere = new TKelOfficeRadioButton(second);  // group 0, another parent
    elsewhere->SetParent(second);
    elsewhere->SetChecked(true);

    f.radio2->SetChecked(true);
    EXPECT_TRUE(f.radio2->TabStop());
    f.ResetCounts();
    f.radio1->SetChecked(true);
    EXPECT_TRUE(f.radio1->Checked());
    EXPECT_FALSE(f.radio2->Checked());
    EXPECT_FALSE(f.radio2->TabStop()) << "an unchecked radio stops being a tab stop";
    EXPECT_TRUE(other->Checked()) << "another group keeps its state";
    EXPECT_TRUE(elsewhere->Checked()) << "another parent keeps its state";
    EXPECT_EQ(f.radio1Clicks, 1);
    EXPECT_EQ(f.radio2Clicks, 0);
    f.radio1->SetChecked(true);
    EXPECT_EQ(f.radio1Clicks, 1) << "unchanged: nothing";
    second->Free();
}

TEST(OfficeButtons, ClickSequencesFireOneClickEach) {
    struct Row {
        const char* what;
        bool radio, focused, checked;
        bool checkedAfter;
        int clicks;
    } rows[] = {
        {"unfocused check box", false, false, false, true, 1},
        {"focused unchecked check box", false, true, false, true, 1},
        {"focused checked check box", false, true, true, false, 1},
        {"unfocused unchecked radio", true, false, false, true, 1},
        {"focused unchecked radio", true, true, false, true, 1},
        {"focused checked radio", true, true, true, true, 1},
    };
    for (const Row& r : rows) {
        Fixture f;
        f.Show();
        fw::TWinControl* target = r.radio ? static_cast<fw::TWinControl*>(f.radio1) : f.box;
        if (r.focused) target->SetFocus();
        if (r.radio) {
            f.radio1->SetChecked(r.checked);
            if (r.focused && !r.checked) f.radio2->SetChecked(true);  // unchecks radio1
        } else {
            f.box->SetChecked(r.checked);
        }
        f.ResetCounts();
        Fixture::Click(target);
        const bool checked = r.radio ? f.radio1->Checked() : f.box->Checked();
        EXPECT_EQ(checked, r.checkedAfter) << r.what;
        EXPECT_EQ(r.radio ? f.radio1Clicks : f.boxClicks, r.clicks) << r.what;
        EXPECT_TRUE(target->Focused()) << r.what;
    }
}

TEST(OfficeButtons, TabbingIntoAnUncheckedRadioChecksAndClicks) {
    Fixture f;
    f.Show();
    f.radio2->SetFocus();
    EXPECT_TRUE(f.radio2->Checked());
    EXPECT_EQ(f.radio2Clicks, 1);
}

TEST(OfficeButtons, CaptionLinks) {
    Fixture f;
    f.box->SetCaption(L"<a href=\"LINKID\">WWWWWWWW</a>");
    f.Show();
    // The first click focuses and toggles, even on the link.
    Fixture::Click(f.box, 40, 10);
    EXPECT_TRUE(f.box->Checked());
    EXPECT_TRUE(f.anchors.empty());
    EXPECT_EQ(f.box->AnchorAt(40, 10), L"LINKID") << "the hit test finds the painted link";
    EXPECT_EQ(f.box->AnchorAt(140, 10), L"");

    // Hovering the link of a focused box: the hand and OnAnchorEnter; off
    // it, the saved cursor and OnAnchorExit.
    std::vector<std::wstring> entered, left;
    f.box->OnAnchorEnter = [&](fw::TComponent*, const std::wstring& a) { entered.push_back(a); };
    f.box->OnAnchorExit = [&](fw::TComponent*, const std::wstring& a) { left.push_back(a); };
    SendMessageW(f.box->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 10));
    EXPECT_EQ(f.box->Cursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    SendMessageW(f.box->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(140, 10));
    EXPECT_EQ(f.box->Cursor(), nullptr);
    EXPECT_EQ(entered, std::vector<std::wstring>{L"LINKID"});
    EXPECT_EQ(left, std::vector<std::wstring>{L""});

    struct Row {
        const wchar_t* href;
        bool shell;
    } rows[] = {
        {L"LINKID", false}, {L"http://example.com/", true}, {L"mailto:a@b.c", true}, {L"file:///etc/passwd", false},
    };
    for (const Row& r : rows) {
        f.box->SetCaption(std::wstring(L"<a href=\"") + r.href + L"\">WWWWWWWW</a>");
        f.anchors.clear();
        f.opened.clear();
        f.ResetCounts();
        const bool before = f.box->Checked();
        Fixture::Click(f.box, 40, 10);
        EXPECT_EQ(f.opened.size(), r.shell ? 1u : 0u) << r.href;
        EXPECT_EQ(f.anchors.size(), r.shell ? 0u : 1u) << r.href;
        if (!r.shell && !f.anchors.empty()) {
            EXPECT_EQ(f.anchors[0], r.href);
        }
        EXPECT_EQ(f.mouseDowns, 0) << "a link press is no mouse-down";
        EXPECT_NE(f.box->Checked(), before) << "the release still toggles";
        EXPECT_EQ(f.boxClicks, 1);
    }
}

// Pixels of the glyph drawn at its place in a painted control.
struct Painted {
    fw::TBitmap bmp{150, 20};
    explicit Painted(fw::TWinControl* c) {
        kel::test::FillWhite(bmp);
        c->PaintTo(bmp.Canvas().Handle());
        GdiFlush();
    }
};

TEST(OfficeButtons, BitmapGlyphPixels) {
    Fixture f;
    f.Show();
    struct Row {
        const char* what;
        fw::TWinControl* control;
        std::function<void()> set;
        const wchar_t* resource;
    } rows[] = {
        {"unchecked box", f.box, [] {}, L"KELMOFCU"},
        {"checked box", f.box, [&] { f.box->SetChecked(true); }, L"KELMOFCC"},
        {"grayed box", f.box, [&] { f.box->SetState(cbGrayed); }, L"KELMOFCG"},
        {"pressed grayed box", f.box, [&] { f.box->SetDown(true); }, L"KELMOFCGD"},
        {"unchecked radio", f.radio1, [] {}, L"KELMOFRU"},
        {"checked radio", f.radio1, [&] { f.radio1->SetChecked(true); }, L"KELMOFRC"},
    };
    for (const Row& r : rows) {
        r.set();
        Painted p(r.control);
        const auto glyph = office::OfficeGlyphResource(r.resource);
        ASSERT_TRUE(glyph);
        // Glyph at the left, top 4 (for the check box Tahoma's "gh" height
        // is the bitmap's height within a pixel or two).
        int matches = 0;
        int opaque = 0;
        for (int dy = -1; dy <= 1 && matches < opaque * 9 / 10 + 1; ++dy) {
            matches = opaque = 0;
            for (int y = 0; y < glyph->Height; ++y)
                for (int x = 0; x < glyph->Width; ++x) {
                    if (glyph->At(x, y) == glyph->TransparentColor()) continue;
                    ++opaque;
                    if (Px(p.bmp, x, 4 + dy + y) == glyph->At(x, y)) ++matches;
                }
        }
        EXPECT_GT(matches, opaque * 9 / 10) << r.what;
        EXPECT_EQ(Px(p.bmp, 0, 4), 0x00FF00u) << r.what << ": the corner shows the parent";
    }
}

TEST(OfficeButtons, ThemedGlyphThroughTheVersionProbe) {
    Fixture f;
    f.Show();
    AOBXPVS.BindUxTheme();
    f.box->SetThemed(true);
    OfficeButtonServices().ComCtlVersionMS = [] { return int64_t{0x00050051}; };  // 5.81, as Wine says
    EXPECT_FALSE(f.box->UsesThemedGlyph());
    Painted bitmapGlyph(f.box);
    OfficeButtonServices().ComCtlVersionMS = [] { return int64_t{0x00060000}; };
    EXPECT_TRUE(f.box->UsesThemedGlyph());
    Painted themedGlyph(f.box);
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 16; ++x)
            if (Px(bitmapGlyph.bmp, x, y) != Px(themedGlyph.bmp, x, y)) ++differing;
    EXPECT_GT(differing, 10) << "the visual-styles glyph is not the bitmap";
    OfficeButtonServices().ComCtlVersionMS = [] { return int64_t{-1}; };
    EXPECT_FALSE(f.box->UsesThemedGlyph()) << "an unreadable version is no version 6";
    // Themes not there (uxtheme not bound): the bitmaps.
    OfficeButtonServices().ComCtlVersionMS = [] { return int64_t{0x00060000}; };
    AOBXPVS.UnbindUxTheme();
    EXPECT_FALSE(f.box->UsesThemedGlyph());
    f.box->SetThemed(false);
    AOBXPVS.BindUxTheme();
    EXPECT_FALSE(f.box->UsesThemedGlyph());
    AOBXPVS.UnbindUxTheme();
}

int CountColor(fw::TBitmap& bmp, uint32_t rgb, int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            if (Px(bmp, x, y) == rgb) ++n;
    return n;
}

TEST(OfficeButtons, DisabledCaptionIsEmbossed) {
    Fixture f;
    f.box->SetCaption(L"<b>WWWW</b> <a href=\"x\">link</a>");
    f.radio1->SetCaption(L"<b>WWWW</b> <a href=\"x\">link</a>");
    f.Show();
    for (fw::TWinControl* c : {static_cast<fw::TWinControl*>(f.box), static_cast<fw::TWinControl*>(f.radio1)}) {
        Painted enabled(c);
        EXPECT_EQ(CountColor(enabled.bmp, 0xFFFFFF, 16, 0, 150, 20), 0);
        c->SetEnabled(false);
        Painted disabled(c);
        EXPECT_GT(CountColor(disabled.bmp, 0xFFFFFF, 16, 0, 150, 20), 10) << "the white copy";
        EXPECT_GT(CountColor(disabled.bmp, 0x808080, 16, 0, 150, 20), 10) << "the grey text and links";
        EXPECT_EQ(CountColor(disabled.bmp, 0x0000FF, 16, 0, 150, 20), 0) << "no blue link";
    }
}

TEST(OfficeButtons, DottedFocusOutline) {
    Fixture f;
    f.box->SetCaption(L"Caption");
    f.box->Font().SetColor(fw::clRed);
    f.Show();
    f.box->SetFocus();
    Painted focused(f.box);
    const int dots = CountColor(focused.bmp, 0xFF0000, 16, 4, 150, 5);
    EXPECT_GT(dots, 5) << "a dotted line along the caption's top";
    // Alternate pixels: no two neighbours on the top edge.
    bool neighbours = false;
    for (int x = 17; x < 60; ++x)
        if (Px(focused.bmp, x, 4) == 0xFF0000 && Px(focused.bmp, x + 1, 4) == 0xFF0000) neighbours = true;
    EXPECT_FALSE(neighbours);
    f.box->SetShowFocus(false);
    Painted hidden(f.box);
    EXPECT_EQ(CountColor(hidden.bmp, 0xFF0000, 16, 4, 150, 5), 0);
}

TEST(OfficeButtons, AcceleratorAndReturnIsTab) {
    Fixture f;
    f.box->SetCaption(L"&Grid");
    f.radio2->SetCaption(L"&Lines");
    f.Show();
    EXPECT_FALSE(f.box->DialogChar(L'x'));
    EXPECT_TRUE(f.box->DialogChar(L'g'));
    EXPECT_TRUE(f.box->Checked());
    EXPECT_EQ(f.boxClicks, 1);
    EXPECT_TRUE(f.box->Focused());
    EXPECT_TRUE(f.radio2->DialogChar(L'L'));
    EXPECT_TRUE(f.radio2->Checked());
    EXPECT_TRUE(f.radio2->Focused());

    // The form hands Alt+character on to them.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(f.form->Handle(), WM_SYSCHAR, L'g', 0);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(f.box->Checked());
    EXPECT_EQ(f.boxClicks, 2);

    // Enter moves on like Tab.
    f.box->SetReturnIsTab(true);
    f.box->SetFocus();
    SendMessageW(f.box->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([&] { return f.radio2->Focused(); }, 3000));
}

TEST(OfficeButtons, CheckBoxFollowsItsAction) {
    Fixture f;
    f.Show();
    auto* action = new fw::TAction(f.form);
    f.extra.push_back(action);
    action->SetCaption(L"<b>Grid</b>");
    action->SetChecked(true);
    int executed = 0;
    action->OnExecute = [&](fw::TComponent*) { ++executed; };
    f.box->SetAction(action);
    EXPECT_EQ(f.box->Caption(), L"<b>Grid</b>");
    EXPECT_TRUE(f.box->Checked());
    action->SetChecked(false);
    EXPECT_FALSE(f.box->Checked());
    action->SetCaption(L"Lines");
    EXPECT_EQ(f.box->Caption(), L"Lines");
    EXPECT_EQ(f.boxClicks, 0) << "the action's state reaches the box without a click";
    // A click toggles the box and runs the action instead of OnClick.
    Fixture::Click(f.box);
    EXPECT_TRUE(f.box->Checked());
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(f.boxClicks, 0);
    action->SetEnabled(false);
    EXPECT_FALSE(f.box->Enabled());
    f.box->SetAction(nullptr);
}

TEST(OfficeButtons, RealClicksAndKeysUnderX) {
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "no xdotool";
    Fixture f;
    f.box->SetCaption(L"Live check box");
    f.Show();
    const auto clickAt = [](fw::TWinControl* c, int x, int y) {
        const POINT p = c->ClientToScreen(POINT{x, y});
        return kel::test::Xdotool(L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y) + L" click 1");
    };
    ASSERT_TRUE(clickAt(f.box, 6, 10));
    EXPECT_TRUE(PumpUntil([&] { return f.box->Checked(); }, 3000));
    EXPECT_EQ(f.boxClicks, 1);
    ASSERT_TRUE(kel::test::Xdotool(L"key space"));
    EXPECT_TRUE(PumpUntil([&] { return !f.box->Checked(); }, 3000));
    EXPECT_EQ(f.boxClicks, 2);
    ASSERT_TRUE(clickAt(f.radio2, 6, 10));
    EXPECT_TRUE(PumpUntil([&] { return f.radio2->Checked(); }, 3000));
    EXPECT_EQ(f.radio2Clicks, 1);
    ASSERT_TRUE(clickAt(f.radio1, 6, 10));
    EXPECT_TRUE(PumpUntil([&] { return f.radio1->Checked(); }, 3000));
    EXPECT_FALSE(f.radio2->Checked());
    EXPECT_EQ(f.radio1Clicks, 1);
}

}  // namespace
}  // namespace kel
