// The display window's handles as rules.
#include "Display/kynWindowRules.h"

#include "Display/kynSweepEngine.h"

namespace kyn {

const wchar_t* const kProductWebSite = L"https://www.quorvex.com/display";
const wchar_t* const kMakerWebSite = L"https://www.quorvex.com/contact";

TWindowZone ZoneAt(int x, int y, int w, int h) {
    const bool left = x < kEdgeZone, right = x > w - kEdgeZone;
    const bool top = y < kEdgeZone, bottom = y > h - kEdgeZone;
    if (left) return top ? TWindowZone::TopLeft : bottom ? TWindowZone::BottomLeft : TWindowZone::Left;
    if (right) return top ? TWindowZone::TopRight : bottom ? TWindowZone::BottomRight : TWindowZone::Right;
    if (top) return TWindowZone::Top;
    if (bottom) return TWindowZone::Bottom;
    return TWindowZone::Interior;
}

unsigned PressCommand(TWindowZone zone, bool fullScreen) {
    constexpr unsigned kSize = 0xF000;
    switch (zone) {
        case TWindowZone::Interior: return fullScreen ? 0 : 0xF012;
        case TWindowZone::Left: return kSize + 1;
        case TWindowZone::Right: return kSize + 2;
        case TWindowZone::Top: return kSize + 3;
        case TWindowZone::TopLeft: return kSize + 4;
        case TWindowZone::TopRight: return kSize + 5;
        case TWindowZone::Bottom: return kSize + 6;
        case TWindowZone::BottomLeft: return kSize + 7;
        case TWindowZone::BottomRight: return kSize + 8;
    }
    return 0;
}

TCursorKind CursorForZone(TWindowZone zone) {
    switch (zone) {
        case TWindowZone::TopLeft:
        case TWindowZone::BottomRight: return TCursorKind::SizeNWSE;
        case TWindowZone::TopRight:
        case TWindowZone::BottomLeft: return TCursorKind::SizeNESW;
        case TWindowZone::Left:
        case TWindowZone::Right: return TCursorKind::SizeWE;
        case TWindowZone::Top:
        case TWindowZone::Bottom: return TCursorKind::SizeNS;
        case TWindowZone::Interior: break;
    }
    return TCursorKind::Default;
}

TWindowSize WheelScaledSize(TWindowSize stored, int wheelDelta, TWindowSize screen) {
    const double factor = wheelDelta > 0 ? 1.1 : 0.9;
    int w = RoundHalfUp(stored.Width * factor);
    int h = RoundHalfUp(stored.Height * factor);
    if (w < kMinWindowWidth) w = kMinWindowWidth;
    if (w > screen.Width) w = screen.Width;
    if (h < kMinWindowHeight) h = kMinWindowHeight;
    if (h > screen.Height) h = screen.Height;
    return {w, h};
}

THookAction HookActionFor(int code, uintptr_t virtualKey, uintptr_t keyFlags, bool controlPanelExists,
                          bool controlPanelShowing) {
    constexpr int kHcAction = 0;
    constexpr uintptr_t kWasDown = uintptr_t{1} << 30;
    constexpr uintptr_t kGoingUp = uintptr_t{1} << 31;
    if (code != kHcAction || (keyFlags & (kWasDown | kGoingUp)) != 0) return THookAction::None;
    // Keys that come before the control panel exists (a box during start-up)
    // do nothing.
    if (!controlPanelExists) return THookAction::None;
    if (virtualKey == 13) return THookAction::StartRun;
    if (virtualKey == 27 && !controlPanelShowing) return THookAction::ShowControlPanel;
    return THookAction::None;
}

TDisplayDialog StartupInfoDialog() {
    TDisplayDialog d;
    d.Title = L"Application Control Info";
    d.Icon = TDialogIcon::Information;
    d.Instruction = L"Quorvex Display";
    d.Content = L"Press Esc Key for Main Menu or Right Click On Display Panel After Closing this Message Dialog";
    d.ExpandedText = std::wstring(L"For More Information About this Application Go To <a href=\"") + kProductWebSite +
                     L"\">" + kProductWebSite + L"</a> ";
    d.CollapsControlText = L"More";
    d.ExpandControlText = L"Less";
    d.Hyperlinks = true;
    return d;
}

TDisplayDialog RunPromptDialog() {
    TDisplayDialog d;
    d.Title = L"Start Scan Line Run";
    d.Icon = TDialogIcon::Question;
    d.Instruction = L"Press Enter to Start Scan Line Run";
    d.ExpandedText = L"After Run Press Esc Key for Menu or Right Click on Display Panel Area";
    d.CollapsControlText = L"More";
    d.ExpandControlText = L"Less";
    d.CustomButtons = {L"OK"};
    d.DefaultButton = 101;
    return d;
}

TDisplayDialog ConfirmCloseDialog() {
    TDisplayDialog d;
    d.Title = L"Confirm Close";
    d.Icon = TDialogIcon::Question;
    d.Instruction = L"Close Quorvex Display?";
    d.CustomButtons = {L"Close", L"Do Not Close"};
    d.DefaultButton = kDoNotCloseButton;
    return d;
}

TDisplayDialog LanguageInvitationDialog() {
    TDisplayDialog d;
    d.Title = L"Set Your Language";
    d.Icon = TDialogIcon::Question;
    d.Instruction = L"Translate Quorvex Display into Your Language?";
    d.Content = std::wstring(L"Contact us <a href=\"") + kMakerWebSite + L"\">" + kMakerWebSite + L"</a>";
    d.ExpandedText =
        L"If your language is not on the list or you wish to make corrections, please contact us for details";
    d.CollapsControlText = L"More";
    d.ExpandControlText = L"Hide";
    d.Hyperlinks = true;
    return d;
}

std::wstring ShellStartErrorText(uintptr_t result) {
    switch (result) {
        case 0: return L"The operating system is out of memory or resources.";
        case 2: return L"The system cannot find the file specified.";
        case 3: return L"The system cannot find the path specified.";
        case 5: return L"Access is denied.";
        case 8: return L"There is not enough memory to complete the operation.";
        case 11: return L"The program file is invalid or damaged.";
        case 26: return L"A sharing violation occurred.";
        case 27: return L"The file name association is incomplete or invalid.";
        case 28: return L"The request to start the program timed out.";
        case 29: return L"The request to start the program failed.";
        case 30: return L"The program is busy with other requests.";
        case 31: return L"There is no program associated with this kind of file.";
        case 32: return L"A library the program needs was not found.";
        default: break;
    }
    return L"The program could not be started (error " + std::to_wstring(result) + L").";
}

}  // namespace kyn
