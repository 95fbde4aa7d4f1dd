// The control panel's colour rule, toggles and theme tables.
#include "Display/kynControlPanelLooks.h"

#include "Display/kynSweepEngine.h"

namespace kyn {

bool ApplyColourRule(common::TDisplayColour& colour, int choice, double contrast) {
    switch (choice) {
        case common::ccBlack:
            colour.Red = colour.Green = colour.Blue = contrast;
            return true;
        case common::ccWhite:
            colour.Red = colour.Green = colour.Blue = 1.0 - contrast;
            return true;
        case common::ccGreen:
            colour.Red = 0.0;
            colour.Green = 1.0 - contrast;
            colour.Blue = 0.0;
            return true;
        default:
            return false;
    }
}

int ContrastPosition(double contrast) { return RoundHalfUp(contrast * 255.0); }

int NextRunOption(int value) { return value == 1 ? -1 : 1; }

int NextTheme(int theme) { return theme == common::thLight ? common::thDark : common::thLight; }

TFlagChange LanguageFlag(int language, int count) {
    if (language == 0) return {true, -1};
    // Only pictures the list holds; a larger value would read past it.
    if (language >= 1 && language <= 9 && language < count) return {false, language};
    return {false, -1};
}

namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGrey = 0x808080;
constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kFaint = 0xEBEBEB;
constexpr TColor kHot = 0xF4F4F4;
constexpr TColor kSand = 0xC8C0C0;
constexpr TColor kActionBlue = 0xFF8A20;
constexpr TColor kOrange = 0x2084FF;
constexpr TColor kTabBlue = 0xFF8420;

TButtonLook Look(bool single, TColor border, TColor borderDown, TColor borderHot, TColor c, TColor cTo, TColor mirror,
                 TColor mirrorTo, TColor down, TColor downTo, TColor hot, TColor hotTo, TColor mirrorHot,
                 TColor mirrorHotTo) {
    TButtonLook l;
    l.BorderSingle = single;
    l.BorderColor = border, l.BorderColorDown = borderDown, l.BorderColorHot = borderHot;
    l.Color = c, l.ColorTo = cTo, l.ColorMirror = mirror, l.ColorMirrorTo = mirrorTo;
    l.ColorDown = down, l.ColorDownTo = downTo;
    l.ColorHot = hot, l.ColorHotTo = hotTo, l.ColorMirrorHot = mirrorHot, l.ColorMirrorHotTo = mirrorHotTo;
    return l;
}

TButtonLook Font(TButtonLook l, TColor color, std::optional<bool> bold) {
    l.FontColor = color;
    l.FontBold = bold;
    return l;
}

}  // namespace

TButtonLook ButtonLook(TLook look) {
    switch (look) {
        case TLook::LightButton:
            return Look(true, kGrey, kBlack, kBlack, kWhite, kFaint, kFaint, kFaint, kWhite, kFaint, kHot, kFaint,
                        kFaint, kFaint);
        case TLook::DarkButton:
            return Look(false, kGrey, kBlack, kGrey, kSand, kSand, kSand, kSand, kFaint, kFaint, kHot, kFaint, kFaint,
                        kFaint);
        case TLook::DarkActionButton:
            return Font(Look(true, kActionBlue, kActionBlue, kGrey, kActionBlue, kActionBlue, kActionBlue, kActionBlue,
                             kWhite, kFaint, kHot, kFaint, kFaint, kFaint),
                        kWhite, true);
        case TLook::LightTab:
            return Font(Look(false, kGrey, kBlack, kBlack, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, kWhite, kWhite,
                             kWhite, kWhite, kWhite, kWhite),
                        kBlack, true);
        case TLook::DarkTab:
            return Font(Look(false, kGrey, kBlack, kGrey, 0x303030, 0x303030, 0x303030, 0x303030, kWhite, kWhite,
                             kTabBlue, kTabBlue, kTabBlue, kTabBlue),
                        kWhite, std::nullopt);
        case TLook::LightSelectedTab:
            return Font(Look(false, kSilver, kGrey, kGrey, kTabBlue, kTabBlue, kTabBlue, kTabBlue, kWhite, kWhite,
                             0xFF9834, 0xFF9834, 0xFF9834, 0xFF9834),
                        kWhite, true);
        case TLook::DarkSelectedTab:
        default: {
            TButtonLook l = ButtonLook(TLook::DarkTab);
            l.Color = l.ColorTo = l.ColorMirror = l.ColorMirrorTo = kOrange;
            l.ColorHot = l.ColorHotTo = l.ColorMirrorHot = l.ColorMirrorHotTo = kOrange;
            return l;
        }
    }
}

std::optional<TButtonLook> TabLook(int theme) {
    if (theme == common::thLight) return ButtonLook(TLook::LightTab);
    if (theme == common::thDark) return ButtonLook(TLook::DarkTab);
    return std::nullopt;
}

std::optional<TButtonLook> SelectedTabLook(int theme, bool configureButton) {
    if (theme == common::thLight) return ButtonLook(TLook::LightSelectedTab);
    if (theme != common::thDark) return std::nullopt;
    TButtonLook l = ButtonLook(TLook::DarkSelectedTab);
    if (configureButton) l.ColorDownTo = 0xF8F8F8;
    return l;
}

std::optional<TButtonLook> PauseLook(int theme, bool paused) {
    std::optional<TButtonLook> l;
    if (theme == common::thLight) l = ButtonLook(TLook::LightButton);
    if (theme == common::thDark) l = ButtonLook(TLook::DarkButton);
    if (l && paused) l->Color = l->ColorTo = l->ColorMirror = l->ColorMirrorTo = kOrange;
    return l;
}

TPauseText PauseText(bool paused) {
    if (paused) return {L"Resume", kWhite, true};
    return {L"Pause", kBlack, false};
}

std::optional<TTabPlace> SelectedTabPlace(int theme) {
    if (theme == common::thLight) return TTabPlace{2, 22};
    if (theme == common::thDark) return TTabPlace{4, 18};
    return std::nullopt;
}

std::optional<TMenuTheme> PopupMenuTheme(int theme) {
    if (theme == common::thLight) {
        return TMenuTheme{kWhite,   kWhite, 0xEEEEEE, 0xEEEEEE, 32,    kSilver, kBlack, false,
                          0xDC600C, 0xFF660C, 0xFF7012, kWhite, false, kSilver, kSilver};
    }
    if (theme == common::thDark) {
        return TMenuTheme{0x6C6C6C, 0x6C6C6C, 0x303030, 0x303030,     32,     kBlack, 0xF0F0F0, true,
                          kTabBlue, kTabBlue, fw::clNone, kWhite, true, kGrey,  kGrey};
    }
    return std::nullopt;
}

std::optional<TMenuTheme> DropDownMenuTheme(int theme) {
    if (theme == common::thLight) {
        return TMenuTheme{0xF8F8F8, 0xF8F8F8, 0xF8F8F8, 0xF8F8F8, 2,     kSilver, kBlack, false,
                          0xDC600C, 0xFF660C, 0xFF7012, kWhite,   false, kSilver, kSilver};
    }
    if (theme == common::thDark) {
        return TMenuTheme{0x6C6C6C, 0x6C6C6C, 0x6C6C6C, 0x6C6C6C,   2,      kBlack, 0xF0F0F0, true,
                          kTabBlue, kTabBlue, fw::clNone, kWhite, true, kGrey,  kGrey};
    }
    return std::nullopt;
}

std::optional<TPanelTheme> PanelTheme(int theme) {
    TPanelTheme t{};
    if (theme == common::thLight) {
        t.FillBorder = kGrey, t.FillColor = kWhite, t.FillColorTo = 0xDCDCDC;
        t.FillMirror = t.FillMirrorTo = fw::clNone;
        t.CaptionStart = t.CaptionEnd = kBlack, t.CaptionLine = kSilver, t.CaptionBold = false;
        t.DropDownButtons = TLook::LightButton, t.PlainButtons = TLook::LightButton;
        t.ActionButtons = TLook::LightButton;
        t.ButtonFontColor = kBlack;
        t.PageBorder = kSilver, t.PageColor = 0xF8F8F8, t.TabBackground = 0xEEEEEE;
        t.TabText = t.TabTextHot = t.TabTextSelected = t.TabTextDisabled = kBlack;
        t.TabSelectedBorder = t.TabSelectedHotBorder = kSilver;
        t.TitleColor = kBlack, t.LabelColor = kBlack, t.LabelBold = false;
        t.SliderSize = 5, t.SliderOffset = 5, t.SliderBorder = kGrey;
        t.SliderCompleted = 0xFF0000, t.SliderCompletedTo = 0xFFFF00;
        t.MemoBackground = kWhite, t.BevelExtent = 3;
        return t;
    }
    if (theme == common::thDark) {
        t.FillBorder = kBlack, t.FillColor = t.FillColorTo = t.FillMirror = t.FillMirrorTo = 0x303030;
        t.CaptionStart = t.CaptionEnd = kWhite, t.CaptionLine = kGrey, t.CaptionBold = true;
        t.DropDownButtons = TLook::DarkButton, t.PlainButtons = TLook::DarkButton;
        t.ActionButtons = TLook::DarkActionButton;
        t.ButtonFontColor = kBlack;
        t.PageBorder = kBlack, t.PageColor = 0x6C6C6C, t.TabBackground = 0x303030;
        t.TabText = kWhite, t.TabTextHot = t.TabTextSelected = t.TabTextDisabled = kBlack;
        t.TabSelectedBorder = kWhite, t.TabSelectedHotBorder = kGrey;
        t.TitleColor = kWhite, t.LabelColor = 0xD4D4D4, t.LabelBold = true;
        t.SliderSize = 3, t.SliderOffset = 6, t.SliderBorder = fw::clNone;
        t.SliderCompleted = 0x9CC4DC, t.SliderCompletedTo = kOrange;
        t.MemoBackground = 0x6C6C6C, t.BevelExtent = 1;
        return t;
    }
    return std::nullopt;
}

const TColor kThemePalette[kThemePaletteSize] = {0xD4D4D4, 0x000000, 0x2084FF, 0xFF8A20, 0x303030,
                                                 0xEEEEEE, 0x9CC4DC, 0xFF0000, 0xC8C0C0, 0x4040FF};

}  // namespace kyn
