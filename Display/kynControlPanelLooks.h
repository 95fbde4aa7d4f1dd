// What the control panel shows, as values: the colour rule of the
// background and the scan line, the run options' and theme's toggles, the
// language flag rule, and the two themes' looks of buttons, tabs, section
// panels, sliders and menus. The forms apply these to their widgets.
#pragma once

#include <optional>

#include "common/GeneralSettings.h"
#include "framework/core/colors.h"

namespace kyn {

using fw::TColor;

// ---- colour model

// Sets the colour's red, green and blue from a choice (1 black, 2 white,
// 3 green) and a contrast from 0 to 1. False, and nothing changed, for any
// other choice.
bool ApplyColourRule(common::TDisplayColour& colour, int choice, double contrast);
// The contrast slider's position for a contrast (0 to 255).
int ContrastPosition(double contrast);

// ---- toggles

// StartDelayOn and ResetBeforeRun: 1 becomes -1, anything else 1.
int NextRunOption(int value);
// The theme toggle: 1 from 0, else 0.
int NextTheme(int theme);

// ---- language flag

constexpr int kLanguageFlagCount = 3;  // "XX", "US", "NL"
// What the flag image does for a language value: 0 keeps the picture; a
// value with a picture in a list of `count` pictures shows it; any other
// value leaves the image empty.
struct TFlagChange {
    bool Keep = false;
    int Picture = -1;  // -1: none
};
TFlagChange LanguageFlag(int language, int count = kLanguageFlagCount);

// ---- glow button looks

enum class TLook { LightButton, DarkButton, DarkActionButton, LightTab, DarkTab, LightSelectedTab, DarkSelectedTab };

struct TButtonLook {
    bool BorderSingle = true;
    TColor BorderColor = 0, BorderColorDown = 0, BorderColorHot = 0;
    TColor Color = 0, ColorTo = 0, ColorMirror = 0, ColorMirrorTo = 0;
    TColor ColorDown = 0, ColorDownTo = 0;
    TColor ColorHot = 0, ColorHotTo = 0, ColorMirrorHot = 0, ColorMirrorHotTo = 0;
    // The font the look sets; none leaves the font as it is.
    std::optional<TColor> FontColor;
    std::optional<bool> FontBold;

    bool operator==(const TButtonLook&) const = default;
};

TButtonLook ButtonLook(TLook look);
// The selected tab's look; "Configure" takes a lighter down colour in the
// dark theme. None for a theme other than 0 and 1.
std::optional<TButtonLook> SelectedTabLook(int theme, bool configureButton);
std::optional<TButtonLook> TabLook(int theme);
// The Pause button's look by theme and state; none for other themes.
std::optional<TButtonLook> PauseLook(int theme, bool paused);
// The font of the Pause button: bold white while paused, else regular black.
struct TPauseText {
    const wchar_t* Caption;
    TColor FontColor;
    bool Bold;
};
TPauseText PauseText(bool paused);

// Tab buttons: 14 high at top 6 unselected; the selected one raised.
struct TTabPlace {
    int Top;
    int Height;
};
constexpr TTabPlace kTabPlace{6, 14};
std::optional<TTabPlace> SelectedTabPlace(int theme);

// ---- themes of the panel

struct TMenuTheme {
    TColor Background, BackgroundTo;
    TColor IconBar, IconBarTo;
    int IconBarWidth;
    TColor MenuBorder;
    TColor ItemFontColor;
    bool ItemBold;
    TColor Selected, SelectedTo;
    TColor SelectedBorder;  // clNone: none
    TColor SelectedFontColor;
    bool SelectedBold;
    TColor Separator, SeparatorTo;
};
// The display's popup-menu styler and the panel's drop-down menu styler.
std::optional<TMenuTheme> PopupMenuTheme(int theme);
std::optional<TMenuTheme> DropDownMenuTheme(int theme);

struct TPanelTheme {
    // Section panels' fill.
    TColor FillBorder, FillColor, FillColorTo, FillMirror, FillMirrorTo;
    // Their captions.
    TColor CaptionStart, CaptionEnd, CaptionLine;
    bool CaptionBold;
    TLook DropDownButtons, PlainButtons, ActionButtons;
    // Font of the drop-down buttons and, for the light theme, the action buttons.
    TColor ButtonFontColor;
    // Pager styler.
    TColor PageBorder, PageColor;
    TColor TabBackground;
    TColor TabText, TabTextHot, TabTextSelected, TabTextDisabled;
    TColor TabSelectedBorder, TabSelectedHotBorder;
    // Labels.
    TColor TitleColor;
    TColor LabelColor;
    bool LabelBold;
    // Sliders.
    int SliderSize, SliderOffset;
    TColor SliderBorder, SliderCompleted, SliderCompletedTo;
    TColor MemoBackground;
    int BevelExtent;
};
std::optional<TPanelTheme> PanelTheme(int theme);

// The ten colours written each time the display's theme is applied.
constexpr int kThemePaletteSize = 10;
extern const TColor kThemePalette[kThemePaletteSize];

}  // namespace kyn
