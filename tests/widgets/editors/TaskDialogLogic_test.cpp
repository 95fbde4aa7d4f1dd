// The task dialog's window-free rules: escapes, path choice, the native
// configuration, buttons, auto close, links, units, layout and copy text.
#include "widgets/editors/TaskDialogLogic.h"

#include <gtest/gtest.h>

namespace kel::taskdialog {
namespace {

TEST(TaskDialogEscapes, ConvertLineBreakEscapes) {
    const struct {
        std::wstring in, out;
    } rows[] = {
        {L"a\\nb", L"a\nb"},
        {L"a\\\\nb", L"a\\nb"},
        {L"x\\\\ny\\nz", L"x\\ny\\nz"},  // a doubled escape wins; the single one stays literal
        {L"plain", L"plain"},
        {L"", L""},
    };
    for (const auto& r : rows) EXPECT_EQ(ConvertLineBreakEscapes(r.in), r.out) << std::string(r.in.begin(), r.in.end());
}

TEST(TaskDialogEscapes, HasEscapedLineBreakTellsPathsFromBreaks) {
    const struct {
        std::wstring in;
        bool out;
    } rows[] = {
        {L"\\nstart", true},         {L"C:\\new", false},       {L"C:\\new\\n", false},
        {L"Line\\nC:\\new", true},   {L"no break", false},      {L"", false},
    };
    for (const auto& r : rows) EXPECT_EQ(HasEscapedLineBreak(r.in), r.out) << std::string(r.in.begin(), r.in.end());
}

TEST(TaskDialogEscapes, TrimAndSplitCommandLinkLines) {
    EXPECT_EQ(TrimBlanks(L"   word  "), L"word");
    EXPECT_EQ(TrimBlanks(L"\tword\t"), L"\tword\t");
    EXPECT_EQ(SplitTextLines(L"  Heading  \\n  a note "), (std::vector<std::wstring>{L"Heading", L"a note"}));
    EXPECT_EQ(SplitTextLines(L"One\r\nTwo\r\nThree"), (std::vector<std::wstring>{L"One", L"Two", L"Three"}));
    EXPECT_EQ(SplitTextLines(L"single"), (std::vector<std::wstring>{L"single"}));
    EXPECT_TRUE(SplitTextLines(L"").empty());
    EXPECT_EQ(HtmlLineBreaks(L"a\\nb\nc"), L"a<br>b<br>c");
    EXPECT_EQ(PlainLineBreaks(L"a\\nb"), L"a\rb");
}

TEST(TaskDialogPath, ChoiceByWindowsAndCommonControlsVersion) {
    const struct {
        unsigned windows;
        uint32_t comctl;
        TNonNativeDialog nn;
        TDialogPath path;
    } rows[] = {
        {6, 0x00050051, nndAuto, TDialogPath::Emulated},  // what Wine reports: 5.81
        {6, 0x00060010, nndAuto, TDialogPath::Native},
        {5, 0x00060010, nndAuto, TDialogPath::Emulated},
        {6, 0xFFFFFFFF, nndAuto, TDialogPath::Native},  // unreadable counts as new
        {6, 0x00060010, nndAlways, TDialogPath::Emulated},
    };
    for (const auto& r : rows) EXPECT_EQ(ChooseDialogPath(r.windows, r.comctl, r.nn), r.path);
}

TTaskDialogSettings CloseConfirmation() {
    TTaskDialogSettings s;
    s.Title = L"Confirm Close";
    s.Icon = tiQuestion;
    s.Instruction = L"Close Quorvex Display?";
    s.CustomButtons = {L"Close", L"Do Not Close"};
    s.DefaultButton = 101;
    return s;
}

TEST(TaskDialogNative, ButtonsIdsDefaultsAndTexts) {
    TTaskDialogSettings s = CloseConfirmation();
    s.Title = L"Two\\nlines";
    s.ExpandedText = L"kept\\nas is";
    const TNativeConfig c = BuildNativeConfig(s, false);
    ASSERT_EQ(c.Buttons.size(), 2u);
    EXPECT_EQ(c.Buttons[0].Id, 100);
    EXPECT_EQ(c.Buttons[1].Id, 101);
    EXPECT_EQ(c.DefaultButton, 101);
    EXPECT_EQ(c.Flags, 0u);
    EXPECT_EQ(c.MainIconId, 99);
    EXPECT_EQ(c.Title, L"Two\nlines");
    EXPECT_EQ(c.ExpandedInformation, L"kept\\nas is");
    EXPECT_TRUE(c.VerificationText.empty());

    s.CustomButtons = {L"Only"};
    EXPECT_EQ(BuildNativeConfig(s, false).DefaultButton, 101);  // names no button
    s.CustomButtons = {std::wstring(2000, L'x')};
    EXPECT_EQ(BuildNativeConfig(s, false).Buttons[0].Text.size(), 1023u);
}

TEST(TaskDialogNative, Flags) {
    const struct {
        TTaskDialogOptions options;
        bool customButtons;
        bool autoClose;
        uint32_t flags;
    } rows[] = {
        {{doCommandLinks}, false, false, 0},
        {{doCommandLinks}, true, false, 0x10},
        {{doCommandLinks, doCommandLinksNoIcon}, true, false, 0x20},
        {{doCommandLinksNoIcon}, false, false, 0x20},
        {{}, false, true, 0x800},
        {{doTimer}, false, false, 0x800},
        {{doProgressBar}, false, false, 0x200 | 0x800},
        {{doHyperlinks, doExpandedDefault, doExpandedFooter, doAllowMinimize, doVerifyChecked,
          doNoDefaultRadioButton, doAllowDialogCancel},
         false,
         false,
         0x01 | 0x80 | 0x40 | 0x8000 | 0x100 | 0x4000 | 0x08},
    };
    for (const auto& r : rows) {
        TTaskDialogSettings s;
        s.Options = r.options;
        s.AutoClose = r.autoClose;
        if (r.customButtons) s.CustomButtons = {L"A"};
        EXPECT_EQ(BuildNativeConfig(s, false).Flags, r.flags) << r.options.Bits();
    }
    TTaskDialogSettings s;
    s.DialogPosition = dpOwnerFormCenter;
    s.CommonButtons = {cbOK, cbClose};
    s.FooterIcon = tfiInformation;
    const TNativeConfig c = BuildNativeConfig(s, true);
    EXPECT_EQ(c.Flags, 0x1000u | 0x02u);
    EXPECT_TRUE(c.UseMainIconHandle);
    EXPECT_EQ(c.CommonButtons, 0x21u);
    EXPECT_EQ(c.FooterIconId, 0xFFFD);
}

TEST(TaskDialogRun, CancelButtonAllowsCancellingOnlyForTheRun) {
    TTaskDialogSettings s;
    s.CommonButtons = {cbOK, cbCancel};
    EXPECT_TRUE(EffectiveOptions(s).Contains(doAllowDialogCancel));
    EXPECT_FALSE(s.Options.Contains(doAllowDialogCancel));
    s.CommonButtons = {cbOK};
    EXPECT_FALSE(EffectiveOptions(s).Contains(doAllowDialogCancel));
}

TEST(TaskDialogRun, AutoCloseTicks) {
    const struct {
        bool autoClose;
        int timeout;
        int dueTick;  // 0: never within 50 ticks
    } rows[] = {{true, 300, 4}, {true, 1000, 11}, {true, 0, 0}, {false, 300, 0}};
    for (const auto& r : rows) {
        int elapsed = 0, due = 0;
        for (int tick = 1; tick <= 50 && !due; ++tick) {
            if (TimerTickDue(elapsed, r.autoClose, r.timeout)) due = tick;
        }
        EXPECT_EQ(due, r.dueTick) << r.timeout;
    }
}

TEST(TaskDialogRun, AutoCloseButtonIsTheDefaultOne) {
    TTaskDialogSettings s = CloseConfirmation();
    EXPECT_EQ(AutoCloseButton(s), 101);
    s.DefaultButton = 0;
    EXPECT_EQ(AutoCloseButton(s), 100);
    s.CustomButtons.clear();
    s.CommonButtons = {cbYes, cbNo};
    EXPECT_EQ(AutoCloseButton(s), IdYes);
    s.DefaultButton = IdNo;
    EXPECT_EQ(AutoCloseButton(s), IdNo);
    s.CommonButtons = {cbClose};
    s.DefaultButton = 0;
    EXPECT_EQ(AutoCloseButton(s), IdClose);
    s.CommonButtons = {};
    EXPECT_EQ(AutoCloseButton(s), IdOK);
}

TEST(TaskDialogRun, OnlyWebAndMailLinksOpen) {
    const struct {
        std::wstring href;
        bool open;
    } rows[] = {
        {L"http://example.org/", true},   {L"HTTPS://example.org", true}, {L"mailto:someone@example.org", true},
        {L"file:///C:/windows/system32/calc.exe", false}, {L"C:\\x.exe", false},
        {L"javascript:alert(1)", false},  {L"http://", false},            {L"", false},
    };
    for (const auto& r : rows) EXPECT_EQ(IsOpenableLink(r.href), r.open) << std::string(r.href.begin(), r.href.end());
}

TEST(TaskDialogEmulation, UnitsAndButtonWidths) {
    EXPECT_EQ(MulDivRound(10, 5, 4), 13);  // 12.5 rounds away from zero
    EXPECT_EQ(MulDivRound(8, 13, 8), 13);
    const TDialogUnits u = DialogUnitsOf(6, 13);
    EXPECT_EQ(u.HMargin, 12);
    EXPECT_EQ(u.VMargin, 13);
    EXPECT_EQ(u.HSpacing, 15);
    EXPECT_EQ(u.VSpacing, 16);
    EXPECT_EQ(u.ButtonHeight, 23);
    EXPECT_EQ(u.ButtonGap, 6);
    EXPECT_EQ(PushButtonWidth(20), 60);
    EXPECT_EQ(PushButtonWidth(70), 86);
    EXPECT_EQ(CommonButtonRowOf(cbClose).ModalResult, IdClose);
}

TEST(TaskDialogEmulation, DefaultAndCancelRows) {
    const struct {
        int defaultButton;
        TCommonButtons present;
        int def, cancel;
        bool none;
    } rows[] = {
        {-1, {cbOK, cbCancel}, 0, 0, true},
        {0, {cbOK, cbCancel}, cbOK, cbCancel, false},
        {0, {cbYes, cbNo}, cbYes, cbNo, false},
        {0, {cbRetry}, cbRetry, 0, false},
        {IdOK, {cbYes}, cbYes, 0, false},
        {IdCancel, {cbNo}, cbNo, 0, false},
        {IdNo, {cbYes, cbNo}, cbNo, 0, false},
        {IdClose, {cbClose}, cbClose, 0, false},
        {42, {cbOK}, 0, 0, false},
    };
    for (const auto& r : rows) {
        const TDefaultRows d = DefaultAndCancelRows(r.defaultButton, r.present);
        EXPECT_EQ(d.DefaultRow, r.def) << r.defaultButton;
        EXPECT_EQ(d.CancelRow, r.cancel) << r.defaultButton;
        EXPECT_EQ(d.NoDefault, r.none) << r.defaultButton;
    }
    EXPECT_EQ(CustomDefaultId(-1, {}), 100);
    EXPECT_EQ(CustomDefaultId(-1, {cbOK}), -1);
}

TEST(TaskDialogEmulation, ClientWidthBounds) {
    TClientWidthInput in;
    in.HMargin = 12;
    in.HeaderWidth = 100;
    in.MinWidth = 400 + 50;  // a title 400 pixels wide
    in.FormMinWidth = 350;
    in.ScreenWidth = 1280;
    in.EdgeWidth = 2;
    EXPECT_EQ(EmulatedClientWidth(in), 450);
    in.MinWidth = 0;
    EXPECT_EQ(EmulatedClientWidth(in), 350);
    in.RowWidth = 5000;
    EXPECT_EQ(EmulatedClientWidth(in), 1276);
}

TEST(TaskDialogEmulation, CopyTexts) {
    const std::wstring dash = std::wstring(27, L'-') + L"\r\n";
    EXPECT_EQ(CopySummaryText(L"Cap", L"Do it?", {L"&Yes", L"&No"}),
              dash + L"Cap\r\n" + dash + L"Do it?\r\n" + dash + L"Yes   No   \r\n" + dash);
    EXPECT_EQ(CopyDialogText(L"T", L"I", L"C"), L"T\r\nI\r\nC");
}

// A dialog with content, an expandable text, two custom push buttons and a
// footer; texts measure 20 pixels per 100 characters of width asked.
TArrangeInput ArrangeFixture() {
    TArrangeInput in;
    in.Units = DialogUnitsOf(6, 13);
    in.ClientWidth = 400;
    in.FormWidth = 406;
    in.HasInstruction = true;
    in.InstructionHeight = 18;
    in.HasContent = true;
    in.HasExpandedText = true;
    in.Expanded = true;
    in.CustomButtonWidths = {60, 90};
    in.HasFooter = true;
    in.MeasureContent = [](int w) { return TTdSize{w, 40}; };
    in.MeasureExpanded = [](int w) { return TTdSize{w, 60}; };
    in.MeasureFooter = [](int w) { return TTdSize{w, 15}; };
    return in;
}

TEST(TaskDialogLayout, ButtonRowEndsOneSpacingFromTheRight) {
    const TArrangeInput in = ArrangeFixture();
    const TArrangeResult r = ArrangeTaskDialog(in);
    ASSERT_EQ(r.CustomLefts.size(), 2u);
    const int rightEdge = r.CustomLefts[1] + 90;
    EXPECT_EQ(r.ClientWidth - rightEdge, in.Units.HSpacing + 4);
    EXPECT_EQ(r.CustomLefts[1] - r.CustomLefts[0], 60 + in.Units.ButtonGap);
    EXPECT_EQ(r.Content.Top, in.Units.VMargin + 18 + in.Units.VSpacing);
    EXPECT_EQ(r.FooterBandTop, r.ButtonTop);
    EXPECT_EQ(r.Footer.Bottom, r.ClientHeight);
}

TEST(TaskDialogLayout, CollapsingRemovesTheExpandedText) {
    TArrangeInput in = ArrangeFixture();
    const TArrangeResult open = ArrangeTaskDialog(in);
    in.Expanded = false;
    const TArrangeResult closed = ArrangeTaskDialog(in);
    EXPECT_EQ(open.ClientHeight - closed.ClientHeight, 60 + in.Units.VSpacing);
    EXPECT_EQ(closed.Expanded, TTdRect{});
    EXPECT_EQ(open.ExpandedTop, open.Content.Bottom + in.Units.VSpacing);
    in.Expanded = true;
    in.ExpandedFooter = true;
    EXPECT_EQ(ArrangeTaskDialog(in).FooterBandTop, open.ExpandedTop);
}

TEST(TaskDialogLayout, WideContentWidensTheForm) {
    TArrangeInput in = ArrangeFixture();
    in.MeasureContent = [](int) { return TTdSize{700, 20}; };
    const TArrangeResult r = ArrangeTaskDialog(in);
    EXPECT_EQ(r.ClientWidth, 400 + 700 - (400 - in.Units.HMargin - in.Units.HMargin));
}

TEST(TaskDialogLayout, CommandLinksStackAndLeaveNoBand) {
    TArrangeInput in = ArrangeFixture();
    in.HasExpandedText = false;
    in.HasFooter = false;
    in.CommandLinks = true;
    in.CustomButtonWidths.clear();
    in.LinkHeights = {40, 55};
    in.LinkLefts = {in.Units.HMargin, in.Units.HMargin};
    const TArrangeResult r = ArrangeTaskDialog(in);
    ASSERT_EQ(r.Links.size(), 2u);
    EXPECT_EQ(r.Links[1].Top, r.Links[0].Bottom + 2);
    EXPECT_EQ(r.Links[0].Right, r.ClientWidth - in.Units.HMargin);
    EXPECT_GT(r.FooterBandTop, r.ClientHeight);  // no grey band
}

}  // namespace
}  // namespace kel::taskdialog
