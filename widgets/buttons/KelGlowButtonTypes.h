// Value types of the glow button, shared by its model, its drawing and the
// control. Ordinal values follow the list order from 0.
#pragma once

namespace kel::glow {

// The gradient kind of a glossy face half.
enum TGDIPGradient { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };

enum TButtonLayout {
    blGlyphLeft,
    blGlyphTop,
    blGlyphRight,
    blGlyphBottom,
    blGlyphLeftAdjusted,
    blGlyphRightAdjusted,
    blGlyphTopAdjusted,
    blGlyphBottomAdjusted
};

enum TDropDownPosition { dpRight, dpBottom };
enum TDropDownDirection { ddDown, ddRight };
// Ordered from the smallest: image only, image and caption, large.
enum TButtonSizeState { bsGlyph, bsLabel, bsLarge };
enum TKelButtonStyle { bsButton, bsCheck };
enum TGlowBorderStyle { bsNone, bsSingle };
// Border shape by the button's place in a row of buttons.
enum TButtonPosition { bpStandalone, bpLeft, bpMiddle, bpRight };
enum TFocusType { ftBorder, ftHot, ftHotBorder };
// Which image list an action's image comes from.
enum TImageListType { ipActionList, ipButton };
enum TGlowButtonState { gsNormal, gsHot, gsDown };

enum TShortCutHintPos {
    shpLeft,
    shpTop,
    shpRight,
    shpBottom,
    shpCenter,
    shpAuto,
    shpTopLeft,
    shpTopRight,
    shpAboveTop,
    shpAboveTopLeft,
    shpAboveTopRight,
    shpBottomLeft,
    shpBottomRight,
    shpBelowBottom,
    shpBelowBottomLeft,
    shpBelowBottomRight,
    shpBelowBottomCenter
};

// The colour set a paint shows (numbers as the button keeps them).
enum TVisualState { vsUp = 0, vsDisabled = 1, vsDown = 2, vsChecked = 4 };

// Width of the drop-down part a press treats as such; the hot strip is 12.
constexpr int kDropDownPart = 14;
constexpr int kDropDownHotStrip = 12;

}  // namespace kel::glow
