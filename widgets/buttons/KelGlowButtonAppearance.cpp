// The glow button's appearance: defaults, assignment and style presets.
#include "widgets/buttons/KelGlowButtonAppearance.h"

#include <optional>

#include "widgets/drawing/StylePreset.h"

#include "widgets/drawing/KelGDIPColors.h"

namespace kel::glow {

using fw::TColor;

TGlowButtonAppearance::TGlowButtonAppearance() {
    SetColor(fw::clWhite);
    SetColorTo(fw::clWhite);
    SetColorMirror(fw::clSilver);
    SetColorMirrorTo(fw::clWhite);
    SetColorHot(fw::RGBColor(225, 240, 245));
    SetColorHotTo(fw::RGBColor(178, 210, 249));
    SetColorMirrorHot(fw::RGBColor(173, 200, 245));
    SetColorMirrorHotTo(fw::RGBColor(244, 248, 255));
    SetColorDown(ScaleColorChannels(ColorHot(), -10, -10, 0));
    SetColorDownTo(ScaleColorChannels(ColorHotTo(), -10, -10, 0));
    SetColorMirrorDown(ScaleColorChannels(ColorMirrorHot(), -10, -10, 0));
    SetColorMirrorDownTo(ScaleColorChannels(ColorMirrorHotTo(), -10, -10, 0));
    SetColorChecked(ColorDown());
    SetColorCheckedTo(ColorDownTo());
    SetColorMirrorChecked(ColorMirrorDown());
    SetColorMirrorCheckedTo(ColorMirrorDownTo());
    SetColorDisabled(ScaleColorChannels(fw::clWhite, -5, -5, -5));
    SetColorDisabledTo(ScaleColorChannels(fw::clWhite, -5, -5, -5));
    SetColorMirrorDisabled(ScaleColorChannels(fw::clSilver, -5, -5, -5));
    SetColorMirrorDisabledTo(ScaleColorChannels(fw::clWhite, -5, -5, -5));
    SetBorderColor(fw::clSilver);
    SetBorderColorHot(fw::clBlue);
    SetBorderColorChecked(fw::clBlue);
    SetBorderColorDown(fw::clNavy);
    SetBorderColorDisabled(fw::clGray);
    SetGradient(ggVertical);
    SetGradientMirror(ggVertical);
    SetGradientMirrorChecked(ggVertical);
    SetGradientHot(ggRadial);
    SetGradientMirrorHot(ggRadial);
    SetGradientDown(ggRadial);
    SetGradientMirrorDown(ggRadial);
    SetGradientChecked(ggRadial);
    SetGradientDisabled(ggRadial);
    SetGradientMirrorDisabled(ggRadial);
    SetSystemFont(true);
}

void TGlowButtonAppearance::Assign(const TGlowButtonAppearance* source) {
    if (!source) return;
#define KEL_GLOW_COPY(name) Set##name(source->name());
    KEL_GLOW_COLORS(KEL_GLOW_COPY)
    KEL_GLOW_GRADIENTS(KEL_GLOW_COPY)
#undef KEL_GLOW_COPY
    SetSystemFont(source->SystemFont());
}

TGlowColorSet TGlowButtonAppearance::Normal() const {
    return {Color_, ColorTo_, ColorMirror_, ColorMirrorTo_, BorderColor_, Gradient_, GradientMirror_};
}
TGlowColorSet TGlowButtonAppearance::Hot() const {
    return {ColorHot_, ColorHotTo_, ColorMirrorHot_, ColorMirrorHotTo_, BorderColorHot_, GradientHot_,
            GradientMirrorHot_};
}
TGlowColorSet TGlowButtonAppearance::Down() const {
    return {ColorDown_, ColorDownTo_, ColorMirrorDown_, ColorMirrorDownTo_, BorderColorDown_, GradientDown_,
            GradientMirrorDown_};
}
TGlowColorSet TGlowButtonAppearance::Checked() const {
    return {ColorChecked_, ColorCheckedTo_, ColorMirrorChecked_, ColorMirrorCheckedTo_, BorderColorChecked_,
            GradientChecked_, GradientMirrorChecked_};
}
TGlowColorSet TGlowButtonAppearance::Disabled() const {
    return {ColorDisabled_, ColorDisabledTo_, ColorMirrorDisabled_, ColorMirrorDisabledTo_, BorderColorDisabled_,
            GradientDisabled_, GradientMirrorDisabled_};
}

namespace {

struct Four {
    TColor c, to, mirror, mirrorTo;
};

struct HighlightSet {
    Four hot;
    TColor borderHot;
    Four down;
    TColor borderDown;
    Four checked;
    std::optional<TColor> borderChecked;
    bool setsGradients;
};

constexpr Four All(TColor c) { return {c, c, c, c}; }

const HighlightSet kWarm{{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF}, 0x99CEDB,
                         {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD}, 0x45667B,
                         {0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE}, std::nullopt, true};
const HighlightSet kWindowsXP{All(0xEFD3C6), fw::clHighlight, All(0xB59284), fw::clHighlight,
                              All(0xB9D8DC), fw::clBlack, true};
const HighlightSet kVista{{fw::clNone, 0xFFFAF0, 0xFFFAF0, 0xFFFAF0}, 0xFCF2DA,
                          {0xFCEFD5, 0xFCEFD5, 0xFDF4E3, 0xFDF4E3}, 0xFEDF9A,
                          {0xFCEFD5, 0xFAE9C6, 0xF7DAA2, 0xFBEDD3}, 0xFEDF9A, true};
const HighlightSet kWindows7{{0xFDFBFA, 0xFDF3EB, 0xFDF3EB, 0xFDFBFA}, 0xFBD6B8,
                             {0xFCEBDC, 0xFCDBC1, 0xFCDBC1, 0xFCEBDC}, 0xCEA27D,
                             {0xFDFBFA, 0xFDF3EB, 0xFCEBDC, 0xFCEBDC}, fw::clHighlight, true};
const HighlightSet kTerminal{All(fw::clSilver), fw::clGray, All(fw::clHighlight), fw::clHighlight,
                             All(fw::clGray), fw::clGray, false};
const HighlightSet kOffice2010{{0x8AE3FD, 0xD9F9FD, 0xD9F9FD, 0x8AE3FD}, 0x58CAF1,
                               {0x6CD0FF, 0x7BEEFF, 0x7BEEFF, 0x6CD0FF}, 0x308AC2,
                               {0xD9F9FD, 0x6CD0FF, 0x6CD0FF, 0x6CD0FF}, 0x308AC2, true};

struct Preset {
    int style;
    Four normal;
    std::optional<TColor> border;
    const HighlightSet* highlight;
    std::optional<TColor> borderChecked;
};

const Preset kPresets[] = {
    {0, {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0}, 0xE0B99B, &kWarm, std::nullopt},
    {1, {0xE6E9E2, 0xE6D8D8, 0xE6E9E2, 0xC8B2B3}, 0x927476, &kWarm, std::nullopt},
    {2, {0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1}, 0x8CC0B1, &kWarm, std::nullopt},
    {3, {fw::clWhite, 0xC9D1D5, fw::clWhite, 0xC9D1D5}, fw::clBlack, &kWarm, std::nullopt},
    {4, {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0}, 0xE0B99B, &kWarm, 0x45667B},
    {5, {0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0}, 0xC0BCB2, &kWarm, 0x45667B},
    {6, {fw::clWhite, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC}, 0xB9D8DC, &kWindowsXP, std::nullopt},
    {7, {fw::clWhite, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0}, 0x99A8AC, &kWarm, std::nullopt},
    {9, {0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6}, 0xCCCAC9, &kWarm, 0x45667B},
    {10, {0xFDF8F1, 0xFDF8F1, 0xFCEFD5, 0xFDF8F1}, 0xFDDE99, &kVista, std::nullopt},
    {11, {0xFCEBDC, 0xFCDBC1, 0xFCDBC1, 0xFCDBC1}, 0xCEA27D, &kWindows7, std::nullopt},
    {12, All(fw::clBtnFace), std::nullopt, &kTerminal, std::nullopt},
    {13, {0xFDF6EF, 0xF0DAC7, 0xF0DAC7, 0xF0DAC7}, 0xC7B29F, &kOffice2010, std::nullopt},
    {14, {fw::clWhite, 0xEDE5E0, 0xEDE5E0, 0xEDE5E0}, 0xD2CDC8, &kOffice2010, std::nullopt},
    {15, {0xBFBFBF, 0x919191, 0x919191, 0x919191}, 0x6D6D6D, &kOffice2010, std::nullopt},
};

}  // namespace

bool ApplyGlowButtonPreset(TGlowButtonAppearance& a, int style) {
    const Preset* preset = nullptr;
    for (const Preset& p : kPresets)
        if (p.style == style) preset = &p;
    if (!preset) return false;
    const HighlightSet& h = *preset->highlight;
    a.SetColor(preset->normal.c);
    a.SetColorTo(preset->normal.to);
    a.SetColorMirror(preset->normal.mirror);
    a.SetColorMirrorTo(preset->normal.mirrorTo);
    if (preset->border) a.SetBorderColor(*preset->border);
    if (style != kel::spTerminal) {
        a.SetGradient(ggVertical);
        a.SetGradientMirror(ggVertical);
    }
    a.SetColorHot(h.hot.c);
    a.SetColorHotTo(h.hot.to);
    a.SetColorMirrorHot(h.hot.mirror);
    a.SetColorMirrorHotTo(h.hot.mirrorTo);
    a.SetBorderColorHot(h.borderHot);
    a.SetColorDown(h.down.c);
    a.SetColorDownTo(h.down.to);
    a.SetColorMirrorDown(h.down.mirror);
    a.SetColorMirrorDownTo(h.down.mirrorTo);
    a.SetBorderColorDown(h.borderDown);
    a.SetColorChecked(h.checked.c);
    a.SetColorCheckedTo(h.checked.to);
    a.SetColorMirrorChecked(h.checked.mirror);
    a.SetColorMirrorCheckedTo(h.checked.mirrorTo);
    if (h.borderChecked) a.SetBorderColorChecked(*h.borderChecked);
    if (preset->borderChecked) a.SetBorderColorChecked(*preset->borderChecked);
    if (h.setsGradients) {
        a.SetGradientHot(ggVertical);
        a.SetGradientMirrorHot(ggVertical);
        a.SetGradientDown(ggVertical);
        a.SetGradientMirrorDown(ggVertical);
        a.SetGradientChecked(ggVertical);
        a.SetGradientMirrorChecked(ggVertical);
    }
    return true;
}

}  // namespace kel::glow
