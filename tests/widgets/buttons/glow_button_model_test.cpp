// The glow button's state machine against a fake control and clock: fades,
// auto-repeat, groups, the drop-down part, release outcomes and keys.
#include "widgets/buttons/KelGlowButtonModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "tests/widgets/buttons/glow_button_fake_host.h"

namespace kel::glow {
namespace {

using test::FakeButton;

TEST(GlowButtonModel, HoverFadeRisesTwentyPerTickAndStopsOnTheTickAfter) {
    FakeButton b;
    b.model.MouseEnter();
    EXPECT_TRUE(b.model.Hot);
    EXPECT_TRUE(b.model.MouseOver);
    EXPECT_TRUE(b.fadeTimer);
    const int before = b.invalidates;
    for (int level : {20, 40, 60, 80, 100}) {
        b.Advance(30);
        EXPECT_EQ(b.model.HotLevel, level);
        EXPECT_TRUE(b.fadeTimer);
    }
    EXPECT_EQ(b.invalidates - before, 5);
    b.Advance(30);  // the sixth tick, about 180 ms in
    EXPECT_EQ(b.model.HotLevel, 100);
    EXPECT_FALSE(b.fadeTimer);
    EXPECT_EQ(b.model.FadeKind, fkDone);
    EXPECT_EQ(b.invalidates - before, 5) << "no invalidation on the last tick";

    b.model.MouseLeave();
    EXPECT_FALSE(b.model.Hot);
    for (int level : {80, 60, 40, 20, 0}) {
        b.Advance(30);
        EXPECT_EQ(b.model.HotLevel, level);
    }
    b.Advance(30);
    EXPECT_EQ(b.model.HotLevel, 0);
    EXPECT_FALSE(b.fadeTimer);
}

TEST(GlowButtonModel, LeavingHalfWayStartsTheFallFromFull) {
    FakeButton b;
    b.model.MouseEnter();
    b.Advance(60);
    EXPECT_EQ(b.model.HotLevel, 40);
    b.model.MouseLeave();
    EXPECT_EQ(b.model.HotLevel, 100);
    b.Advance(30);
    EXPECT_EQ(b.model.HotLevel, 80);
    // Entering again continues from where the level is.
    b.model.MouseEnter();
    b.Advance(30);
    EXPECT_EQ(b.model.HotLevel, 100);
}

TEST(GlowButtonModel, PressFadeAndReleaseFade) {
    FakeButton b;
    b.model.MouseEnter();
    b.Press();
    EXPECT_TRUE(b.model.Pressed);
    EXPECT_TRUE(b.model.Tracking);
    EXPECT_EQ(b.model.State, vsDown);
    EXPECT_EQ(b.model.FadeKind, fkDown);
    b.Advance(90);
    EXPECT_EQ(b.model.DownLevel, 60);
    b.Release();
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(b.model.State, vsUp);
    b.Advance(90);
    EXPECT_EQ(b.model.DownLevel, 0);
    EXPECT_TRUE(b.model.Pressed) << "pressed stays until the fade-out ends";
    b.Advance(30);
    EXPECT_FALSE(b.model.Pressed);
    EXPECT_FALSE(b.fadeTimer);
}

TEST(GlowButtonModel, RepeatClicksAfter400ThenEvery100AndOnEveryPress) {
    FakeButton b;
    b.model.RepeatClick = true;
    for (int press = 0; press < 2; ++press) {
        b.clicks = 0;
        b.Press();
        b.Advance(399);
        EXPECT_EQ(b.clicks, 0);
        b.Advance(1);
        EXPECT_EQ(b.clicks, 1);
        b.Advance(100);
        EXPECT_EQ(b.clicks, 2);
        b.Advance(500);
        EXPECT_EQ(b.clicks, 7);
        b.Release();
        b.model.MouseLeave();
        b.Advance(1000);
        EXPECT_FALSE(b.repeatEnabled) << "press " << press;
        EXPECT_EQ(b.clicks, 8) << "the release adds the ordinary click";
    }
}

TEST(GlowButtonModel, RepeatNeedsPressedAndCapture) {
    FakeButton b;
    b.model.RepeatClick = true;
    b.Press();
    b.capture = false;
    b.Advance(1000);
    EXPECT_EQ(b.clicks, 0);
    EXPECT_EQ(b.repeatInterval, 100);
}

TEST(GlowButtonModel, ARepeatedClickThatThrowsStopsTheTimerAndPassesOn) {
    FakeButton b;
    b.model.RepeatClick = true;
    b.onClick = [] { throw std::runtime_error("click failed"); };
    b.Press();
    EXPECT_THROW(b.Advance(400), std::runtime_error);
    EXPECT_FALSE(b.repeatEnabled);
}

TEST(GlowButtonModel, DownRulesAndGroups) {
    std::vector<FakeButton*> group;
    FakeButton a, b, plain, check;
    group = {&a, &b};
    a.group = b.group = &group;
    a.model.GroupIndex = b.model.GroupIndex = 1;

    plain.model.SetDown(true);
    EXPECT_FALSE(plain.model.Down()) << "a plain button never stays down";
    EXPECT_EQ(plain.model.State, vsUp);

    a.model.SetDown(true);
    EXPECT_TRUE(a.model.Down());
    EXPECT_EQ(a.model.State, vsChecked);
    b.model.SetDown(true);
    EXPECT_TRUE(b.model.Down());
    EXPECT_FALSE(a.model.Down()) << "the sibling is released";
    EXPECT_EQ(a.model.State, vsUp);

    b.model.SetDown(false);
    EXPECT_TRUE(b.model.Down()) << "not without AllowAllUp";
    b.model.AllowAllUp = true;
    b.model.SetDown(false);
    EXPECT_FALSE(b.model.Down());

    check.model.Style = bsCheck;
    check.model.SetDown(true);
    EXPECT_TRUE(check.model.Down());
    EXPECT_EQ(check.model.State, vsDown);
    check.model.SetDown(false);
    EXPECT_EQ(check.model.State, vsUp);

    FakeButton loading;
    loading.loading = true;
    loading.model.GroupIndex = 2;
    loading.model.SetDown(true);
    EXPECT_TRUE(loading.model.DownReadWhileLoading);
}

TEST(GlowButtonModel, DropDownZones) {
    struct Row {
        const char* what;
        bool dropDownButton, split;
        TDropDownPosition pos;
        TKelButtonStyle style;
        int groupIndex;
        bool clickOpens;
        int x, y;
        bool opens;
    } rows[] = {
        {"split, right part at Width - 13", true, true, dpRight, bsButton, 0, false, 87, 10, true},
        {"split, right body at Width - 14", true, true, dpRight, bsButton, 0, false, 86, 10, false},
        {"split, bottom part", true, true, dpBottom, bsButton, 0, false, 10, 28, true},
        {"split, bottom body", true, true, dpBottom, bsButton, 0, false, 10, 27, false},
        {"unsplit plain button: anywhere", true, false, dpRight, bsButton, 0, false, 5, 5, true},
        {"unsplit check button presses", true, false, dpRight, bsCheck, 0, false, 5, 5, false},
        {"unsplit grouped button presses", true, false, dpRight, bsButton, 1, false, 5, 5, false},
        {"no drop-down part, click opens", false, true, dpRight, bsButton, 0, true, 5, 5, true},
        {"no drop-down part", false, true, dpRight, bsButton, 0, false, 95, 5, false},
    };
    for (const Row& r : rows) {
        FakeButton b;
        b.model.DropDownButton = r.dropDownButton;
        b.model.DropDownSplit = r.split;
        b.model.DropDownPosition = r.pos;
        b.model.Style = r.style;
        b.model.GroupIndex = r.groupIndex;
        b.clickOpensDropDown = r.clickOpens;
        EXPECT_EQ(b.model.PressOpensDropDown(r.x, r.y), r.opens) << r.what;
    }
}

TEST(GlowButtonModel, HotStripIsTwoPixelsNarrowerThanThePressZone) {
    FakeButton b;
    b.model.DropDownButton = true;
    b.model.MouseMove(87, 10);
    EXPECT_FALSE(b.model.OverDropDown);
    b.model.MouseMove(89, 10);
    EXPECT_TRUE(b.model.OverDropDown);
    b.model.MouseInFlag = true;
    EXPECT_EQ(b.model.DropDownState(), 2);
    b.model.MouseMove(20, 10);
    EXPECT_EQ(b.model.DropDownState(), 1);
}

TEST(GlowButtonModel, DropDownPressOpensTheMenuWithoutAClick) {
    FakeButton b;
    b.model.DropDownButton = true;
    b.model.DropDownSplit = false;
    b.hasMenu = true;
    int eventsBeforePopup = -1;
    b.onPopup = [&] {
        eventsBeforePopup = b.dropDownEvents;
        EXPECT_TRUE(b.model.Pressed) << "an unsplit button shows pressed while its menu is open";
        EXPECT_FALSE(b.model.Hot);
    };
    b.model.MouseEnter();
    b.cursorInside = false;
    b.Press(30, 20);
    EXPECT_EQ(eventsBeforePopup, 1) << "OnDropDown fires before the menu shows";
    EXPECT_EQ(b.popups, 1);
    EXPECT_FALSE(b.model.Pressed);
    EXPECT_FALSE(b.model.MouseOver) << "the menu closed with the cursor outside";
    EXPECT_FALSE(b.model.Tracking);
    b.Release(30, 20);
    EXPECT_EQ(b.clicks, 0);

    FakeButton none;  // OnDropDown also fires without a menu
    none.model.DropDownButton = true;
    none.model.DropDownSplit = false;
    none.Press();
    EXPECT_EQ(none.dropDownEvents, 1);
    EXPECT_EQ(none.popups, 0);
}

TEST(GlowButtonModel, ReleaseOutcomes) {
    struct Row {
        const char* what;
        TKelButtonStyle style;
        int groupIndex;
        bool downBefore;
        bool inside;
        bool downAfter;
        TVisualState state;
        int clicks;
    } rows[] = {
        {"plain inside clicks", bsButton, 0, false, true, false, vsUp, 1},
        {"plain outside does not", bsButton, 0, false, false, false, vsUp, 0},
        {"grouped inside goes down", bsButton, 1, false, true, true, vsChecked, 1},
        {"grouped down inside stays down", bsButton, 1, true, true, true, vsChecked, 1},
        {"grouped down outside keeps Down, shows checked", bsButton, 1, true, false, true, vsChecked, 0},
        {"check inside toggles on", bsCheck, 0, false, true, true, vsDown, 1},
        {"check inside toggles off", bsCheck, 0, true, true, false, vsUp, 1},
        {"check outside while down is released", bsCheck, 0, false, false, false, vsUp, 0},
    };
    for (const Row& r : rows) {
        FakeButton b;
        b.model.Style = r.style;
        b.model.GroupIndex = r.groupIndex;
        if (r.downBefore) b.model.SetDown(true);
        b.Press();
        const int x = r.inside ? 10 : 150;
        b.model.MouseMove(x, 10);
        b.Release(x, 10);
        b.model.NormaliseState();
        EXPECT_EQ(b.model.Down(), r.downAfter) << r.what;
        EXPECT_EQ(b.model.State, r.state) << r.what;
        EXPECT_EQ(b.clicks, r.clicks) << r.what;
    }
}

TEST(GlowButtonModel, TrackingStateFollowsTheCursor) {
    FakeButton b;
    b.Press();
    b.model.MouseMove(150, 10);
    EXPECT_EQ(b.model.State, vsUp);
    b.model.MouseMove(99, 41);  // the row below the bottom edge counts as inside
    EXPECT_EQ(b.model.State, vsDown);
    b.model.MouseMove(100, 10);  // the column right of the right edge does not
    EXPECT_EQ(b.model.State, vsUp);
}

TEST(GlowButtonModel, LeavingWhileHeldAndComingBack) {
    FakeButton b;
    b.model.MouseEnter();
    b.Press();
    b.model.MouseLeave();
    EXPECT_FALSE(b.model.Pressed);
    EXPECT_TRUE(b.model.LeftWhilePressed);
    b.model.MouseEnter();
    EXPECT_TRUE(b.model.Pressed);
}

TEST(GlowButtonModel, CheckMouseOverSendsLeaveAndEnter) {
    FakeButton b;
    b.model.MouseEnter();
    b.underCursorSelf = false;
    b.model.MouseInFlag = false;
    b.model.CheckMouseOver();
    EXPECT_EQ(b.leaves, 0) << "already outside";
    b.model.MouseInFlag = true;
    b.model.CheckMouseOver();
    EXPECT_EQ(b.leaves, 1);
    EXPECT_FALSE(b.model.Hot);
    b.underCursorSelf = true;
    b.model.CheckMouseOver();
    EXPECT_EQ(b.enters, 1);
    EXPECT_TRUE(b.model.Hot);
}

TEST(GlowButtonModel, KeysPressAndRelease) {
    FakeButton b;
    uint16_t key = kKeySpace;
    b.model.KeyDown(key, 0);
    EXPECT_TRUE(b.model.Pressed);
    EXPECT_EQ(b.model.State, vsDown);
    b.model.KeyUp();
    EXPECT_FALSE(b.model.Pressed);
    EXPECT_EQ(b.model.State, vsUp);
    b.model.KeyPress(L' ');
    b.model.KeyPress(L'\r');
    b.model.KeyPress(L'a');
    EXPECT_EQ(b.keyClicks, 2);
    EXPECT_EQ(b.clicks, 0) << "typed keys fire OnClick directly";

    FakeButton g;  // a grouped button that is down keeps its checked look
    g.model.GroupIndex = 3;
    g.model.SetDown(true);
    key = kKeyEnter;
    g.model.KeyDown(key, 0);
    g.model.KeyUp();
    EXPECT_EQ(g.model.State, vsChecked);
    g.model.Enter();
    g.model.Exit();
    EXPECT_EQ(g.model.State, vsChecked);
}

TEST(GlowButtonModel, F4OpensTheMenu) {
    FakeButton b;
    b.hasMenu = true;
    uint16_t key = kKeyF4;
    b.model.KeyDown(key, 0);
    EXPECT_EQ(b.popups, 1);
    EXPECT_EQ(b.internalDropDowns, 1);
    EXPECT_EQ(b.model.State, vsUp);
}

TEST(GlowButtonModel, DialogKeys) {
    struct Row {
        const char* what;
        bool defaultFlag, cancel;
        uint16_t key;
        unsigned shift;
        bool canFocus;
        bool handled;
    } rows[] = {
        {"Enter on a default button", true, false, kKeyEnter, 0, true, true},
        {"Enter on another button", false, false, kKeyEnter, 0, true, false},
        {"Esc on a cancel button", false, true, kKeyEscape, 0, true, true},
        {"Esc on another button", true, false, kKeyEscape, 0, true, false},
        {"Ctrl+Enter", true, false, kKeyEnter, kCtrlKey, true, false},
        {"Shift+Esc", false, true, kKeyEscape, kShiftKey, true, false},
        {"a button that cannot take the focus", true, false, kKeyEnter, 0, false, false},
    };
    for (const Row& r : rows) {
        FakeButton b;
        b.model.Default = r.defaultFlag;
        b.model.Cancel = r.cancel;
        b.model.WindowCreated();
        b.canFocus = r.canFocus;
        EXPECT_EQ(b.model.DialogKey(r.key, r.shift), r.handled) << r.what;
        EXPECT_EQ(b.clicks, r.handled ? 1 : 0) << r.what;
    }
    FakeButton b;  // the focus on another glow button takes the default away
    b.model.Default = true;
    b.model.FocusChanged(true, false);
    EXPECT_FALSE(b.model.DialogKey(kKeyEnter, 0));
    b.model.FocusChanged(false, false);
    EXPECT_TRUE(b.model.DialogKey(kKeyEnter, 0));
}

TEST(GlowButtonModel, Accelerators) {
    struct Row {
        const wchar_t* caption;
        wchar_t ch;
        bool match;
    } rows[] = {
        {L"&Open", L'o', true}, {L"&Open", L'O', true}, {L"Op&en", L'e', true}, {L"Open", L'o', false},
        {L"&&Open", L'o', false}, {L"A&&B &Cut", L'c', true}, {L"End&", L'd', false},
    };
    for (const Row& r : rows) EXPECT_EQ(IsAccelerator(r.ch, r.caption), r.match) << int(r.ch);

    FakeButton b;
    EXPECT_FALSE(b.model.DialogChar(L'o', 0, L"&Open")) << "only with Alt";
    EXPECT_TRUE(b.model.DialogChar(L'o', kAltKey, L"&Open"));
    EXPECT_EQ(b.clicks, 1);
    b.hasMenu = true;
    EXPECT_TRUE(b.model.DialogChar(L'o', kAltKey, L"&Open"));
    EXPECT_EQ(b.popups, 1);
}

TEST(GlowButtonModel, KeyboardActivationOfDropDownsAndChecks) {
    FakeButton dd;
    dd.model.DropDownButton = true;
    dd.model.DropDownSplit = false;
    dd.hasMenu = true;
    dd.model.ClickOrDropDown();
    EXPECT_EQ(dd.popups, 1);
    EXPECT_EQ(dd.clicks, 0);

    FakeButton check;
    check.model.Style = bsCheck;
    check.model.ClickOrDropDown();
    EXPECT_TRUE(check.model.Down());
    EXPECT_EQ(check.clicks, 1);
}

TEST(GlowButtonModel, NormalisationAfterDisablingAndEnabling) {
    FakeButton b;
    b.model.GroupIndex = 1;
    b.model.SetDown(true);
    b.Press();
    b.enabled = false;
    b.model.NormaliseState();
    EXPECT_EQ(b.model.State, vsDisabled);
    EXPECT_FALSE(b.model.Tracking);
    b.enabled = true;
    b.model.NormaliseState();
    EXPECT_EQ(b.model.State, vsChecked);
}

// A handler may free the button; the model touches nothing of it after.
TEST(GlowButtonModel, FreedFromItsOwnHandlers) {
    {
        auto* b = new FakeButton;
        b->onClick = [b] { delete b; };
        b->Press();
        b->Release();  // frees the button from the click
    }
    {
        auto* b = new FakeButton;
        b->model.DropDownButton = true;
        b->model.DropDownSplit = false;
        b->hasMenu = true;
        b->onPopup = [b] { delete b; };
        b->Press();
    }
    {
        auto* b = new FakeButton;
        b->model.Default = true;
        b->model.WindowCreated();
        b->onClick = [b] { delete b; };
        EXPECT_TRUE(b->model.DialogKey(kKeyEnter, 0));
    }
    {
        auto* b = new FakeButton;
        b->model.DropDownButton = true;
        b->model.DropDownSplit = false;
        b->onDropDown = [b] { delete b; };
        b->Press();
    }
}

}  // namespace
}  // namespace kel::glow

namespace kel::glow {
namespace {

TEST(GlowButtonModel, ALinkedActionUnchecksAGroupedButton) {
    test::FakeButton b;
    b.model.GroupIndex = 1;
    b.model.SetDown(true);
    b.model.SetDown(false);
    EXPECT_TRUE(b.model.Down()) << "setting Down alone keeps it";
    b.model.FollowActionChecked(false);
    EXPECT_FALSE(b.model.Down());
    EXPECT_EQ(b.model.State, vsUp);
    test::FakeButton plain;
    plain.model.FollowActionChecked(true);
    EXPECT_FALSE(plain.model.Down());
}

}  // namespace
}  // namespace kel::glow
