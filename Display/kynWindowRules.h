// The display window's handles as rules: the edge zones and what a press or
// the pointer does in each, the caption bar's reach, the wheel's scaling, the
// keyboard hook's choice, the texts of the four task dialogs and of a failed
// shell start. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kyn {

// The band along each edge that resizes the window, in pixels.
constexpr int kEdgeZone = 6;
// The caption bar shows while the pointer is above this row.
constexpr int kCaptionBarReach = 30;
constexpr int kMinWindowWidth = 320;
constexpr int kMinWindowHeight = 240;

enum class TWindowZone { Interior, TopLeft, BottomLeft, Left, TopRight, BottomRight, Right, Top, Bottom };

// The zone of a client point (x, y) in a window w by h pixels.
TWindowZone ZoneAt(int x, int y, int w, int h);

// The system command a left press starts: 0xF012 (move by the caption) in the
// interior, 0xF000 plus the edge code elsewhere; 0 for nothing (the interior
// in full screen).
unsigned PressCommand(TWindowZone zone, bool fullScreen);

enum class TCursorKind { Default, SizeNWSE, SizeNESW, SizeWE, SizeNS };
TCursorKind CursorForZone(TWindowZone zone);

inline bool CaptionBarVisibleAt(int y) { return y < kCaptionBarReach; }

struct TWindowSize {
    int Width;
    int Height;
    bool operator==(const TWindowSize&) const = default;
};

// The stored size scaled by 1.1 for a positive wheel delta and by 0.9
// otherwise, rounded half up, then kept between the minimum and the screen.
TWindowSize WheelScaledSize(TWindowSize stored, int wheelDelta, TWindowSize screen);

// What the keyboard hook does with one notification. It acts only on
// HC_ACTION, when the key goes down from up (no release, no auto-repeat).
enum class THookAction { None, StartRun, ShowControlPanel };
THookAction HookActionFor(int code, uintptr_t virtualKey, uintptr_t keyFlags, bool controlPanelExists,
                          bool controlPanelShowing);

// The system's major version is the low byte of its version number.
inline bool IsWindows6OrLaterVersion(uint32_t version) { return (version & 0xFF) >= 6; }

// The task dialogs' contents.
enum class TDialogIcon { Information, Question };

struct TDisplayDialog {
    std::wstring Title;
    TDialogIcon Icon = TDialogIcon::Information;
    std::wstring Instruction;
    std::wstring Content;
    std::wstring ExpandedText;
    std::wstring CollapsControlText;  // the expander while the text is hidden
    std::wstring ExpandControlText;   // the expander while the text shows
    bool Hyperlinks = false;
    std::vector<std::wstring> CustomButtons;  // results 100, 101, ...
    int DefaultButton = 0;
};

// The web addresses behind the dialogs' links.
extern const wchar_t* const kProductWebSite;
extern const wchar_t* const kMakerWebSite;

TDisplayDialog StartupInfoDialog();
TDisplayDialog RunPromptDialog();
TDisplayDialog ConfirmCloseDialog();
TDisplayDialog LanguageInvitationDialog();

// The results of the close confirmation's buttons.
constexpr int kCloseButton = 100;
constexpr int kDoNotCloseButton = 101;
// Only the "Close" button closes; a cancelled or failed dialog keeps the display.
inline bool ConfirmCloseCloses(int result) { return result == kCloseButton; }

// The text for a shell start's result of 32 or less. These codes are the
// shell's own, not system error codes (0 means out of memory, not success).
std::wstring ShellStartErrorText(uintptr_t result);

}  // namespace kyn
