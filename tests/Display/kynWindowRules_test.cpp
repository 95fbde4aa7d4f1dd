// The display window's rules: zones, presses, cursors, wheel scaling, the
// keyboard hook's choice, the dialogs' contents and the shell's error texts.
#include "Display/kynWindowRules.h"

#include <gtest/gtest.h>

namespace kyn {
namespace {

TEST(WindowRules, ZonePressAndCursorOfAPoint) {
    using Z = TWindowZone;
    using C = TCursorKind;
    struct Row {
        int x, y;
        Z zone;
        unsigned press, pressFullScreen;
        C cursor;
    } rows[] = {
        {5, 5, Z::TopLeft, 0xF004, 0xF004, C::SizeNWSE},
        {6, 6, Z::Interior, 0xF012, 0, C::Default},
        {314, 100, Z::Interior, 0xF012, 0, C::Default},
        {315, 100, Z::Right, 0xF002, 0xF002, C::SizeWE},
        {0, 100, Z::Left, 0xF001, 0xF001, C::SizeWE},
        {5, 235, Z::BottomLeft, 0xF007, 0xF007, C::SizeNESW},
        {5, 234, Z::Left, 0xF001, 0xF001, C::SizeWE},
        {319, 0, Z::TopRight, 0xF005, 0xF005, C::SizeNESW},
        {319, 239, Z::BottomRight, 0xF008, 0xF008, C::SizeNWSE},
        {160, 5, Z::Top, 0xF003, 0xF003, C::SizeNS},
        {160, 234, Z::Interior, 0xF012, 0, C::Default},
        {160, 235, Z::Bottom, 0xF006, 0xF006, C::SizeNS},
    };
    for (const Row& r : rows) {
        const Z zone = ZoneAt(r.x, r.y, 320, 240);
        EXPECT_EQ(zone, r.zone) << r.x << "," << r.y;
        EXPECT_EQ(PressCommand(zone, false), r.press) << r.x << "," << r.y;
        EXPECT_EQ(PressCommand(zone, true), r.pressFullScreen) << r.x << "," << r.y;
        EXPECT_EQ(CursorForZone(zone), r.cursor) << r.x << "," << r.y;
    }
}

TEST(WindowRules, CaptionBarShowsAboveRowThirty) {
    EXPECT_TRUE(CaptionBarVisibleAt(0));
    EXPECT_TRUE(CaptionBarVisibleAt(29));
    EXPECT_FALSE(CaptionBarVisibleAt(30));
}

TEST(WindowRules, WheelScalesTheStoredSizeWithinTheMinimumAndTheScreen) {
    const TWindowSize screen{1024, 768};
    struct Row {
        TWindowSize stored;
        int delta;
        TWindowSize expected;
    } rows[] = {
        {{320, 240}, -120, {320, 240}},   // towards the user: held at the minimum
        {{320, 240}, 120, {352, 264}},    // away: 1.1 times
        {{1000, 700}, 120, {1024, 768}},  // the screen caps 1100 and 770
        {{500, 400}, -120, {450, 360}},
        {{345, 245}, 120, {380, 270}},    // 379.5 and 269.5 round up
        {{335, 255}, -240, {320, 240}},   // 301.5 and 229.5: clamped up
        {{2000, 2000}, -120, {1024, 768}},
        {{320, 240}, 0, {320, 240}},      // no turn counts as towards the user
    };
    for (const Row& r : rows) {
        EXPECT_EQ(WheelScaledSize(r.stored, r.delta, screen), r.expected) << r.stored.Width << " " << r.delta;
    }
}

TEST(WindowRules, HookActsOncePerPressOnlyOnActionAndOnlyWithAPanel) {
    constexpr uintptr_t kRepeat = uintptr_t{1} << 30, kUp = uintptr_t{1} << 31;
    using A = THookAction;
    struct Row {
        int code;
        uintptr_t key, flags;
        bool panelExists, panelShowing;
        A expected;
    } rows[] = {
        {0, 13, 1, true, false, A::StartRun},
        {0, 13, 1, true, true, A::StartRun},
        {0, 13, 1 | kRepeat, true, false, A::None},      // auto-repeat of a held key
        {0, 13, 1 | kRepeat | kUp, true, false, A::None},  // release
        {3, 13, 1, true, false, A::None},                // HC_NOREMOVE: a peek, not the key
        {0, 27, 1, true, false, A::ShowControlPanel},
        {0, 27, 1, true, true, A::None},
        {0, 27, 1 | kRepeat, true, false, A::None},
        {0, 13, 1, false, false, A::None},  // before the control panel exists
        {0, 27, 1, false, false, A::None},
        {0, 'A', 1, true, false, A::None},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(HookActionFor(r.code, r.key, r.flags, r.panelExists, r.panelShowing), r.expected)
            << r.code << " " << r.key << " " << r.flags;
    }
}

TEST(WindowRules, OnlyTheCloseButtonCloses) {
    EXPECT_TRUE(ConfirmCloseCloses(kCloseButton));
    for (int result : {kDoNotCloseButton, -1, 0, 1, 2, 8}) EXPECT_FALSE(ConfirmCloseCloses(result)) << result;
}

TEST(WindowRules, WindowsSixOrLaterReadsTheLowByte) {
    EXPECT_TRUE(IsWindows6OrLaterVersion(0x1DB10106));  // 6.1
    EXPECT_TRUE(IsWindows6OrLaterVersion(0x4A61000A));  // 10.0
    EXPECT_FALSE(IsWindows6OrLaterVersion(0x0A280105));  // 5.1
    EXPECT_FALSE(IsWindows6OrLaterVersion(0x00000605));  // 5 with minor 6
}

TEST(WindowRules, DialogsCarryTheirTextsButtonsAndDefaults) {
    const TDisplayDialog start = StartupInfoDialog();
    EXPECT_EQ(start.Title, L"Application Control Info");
    EXPECT_EQ(start.Icon, TDialogIcon::Information);
    EXPECT_EQ(start.Instruction, L"Quorvex Display");
    EXPECT_EQ(start.ExpandedText.rfind(L"For More Information About this Application Go To <a href=", 0), 0u);
    EXPECT_EQ(start.ExpandedText.back(), L' ');
    EXPECT_TRUE(start.Hyperlinks);
    EXPECT_TRUE(start.CustomButtons.empty());

    const TDisplayDialog run = RunPromptDialog();
    EXPECT_EQ(run.Title, L"Start Scan Line Run");
    EXPECT_EQ(run.CustomButtons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(run.DefaultButton, 101);
    EXPECT_EQ(run.Content, L"");
    EXPECT_FALSE(run.Hyperlinks);

    const TDisplayDialog close = ConfirmCloseDialog();
    EXPECT_EQ(close.Instruction, L"Close Quorvex Display?");
    EXPECT_EQ(close.CustomButtons, (std::vector<std::wstring>{L"Close", L"Do Not Close"}));
    EXPECT_EQ(close.DefaultButton, kDoNotCloseButton);
    EXPECT_EQ(close.ExpandedText, L"");
    EXPECT_EQ(close.CollapsControlText, L"");

    // Each dialog is built whole: nothing of the close confirmation stays.
    const TDisplayDialog language = LanguageInvitationDialog();
    EXPECT_TRUE(language.CustomButtons.empty());
    EXPECT_EQ(language.DefaultButton, 0);
    EXPECT_EQ(language.ExpandControlText, L"Hide");
    EXPECT_EQ(language.Content.rfind(L"Contact us <a href=", 0), 0u);
}

TEST(WindowRules, ShellResultsGetTheShellsOwnTexts) {
    EXPECT_EQ(ShellStartErrorText(2), L"The system cannot find the file specified.");
    EXPECT_EQ(ShellStartErrorText(0), L"The operating system is out of memory or resources.");
    EXPECT_EQ(ShellStartErrorText(31), L"There is no program associated with this kind of file.");
    EXPECT_EQ(ShellStartErrorText(17), L"The program could not be started (error 17).");
}

}  // namespace
}  // namespace kyn
