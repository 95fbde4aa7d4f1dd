// What a glow button paint works out before it draws, without the
// platform: the colour set for the state and its blending while a fade
// runs, the face rectangles, the content and drop-down rectangles, the
// text and image placement, the measured size and the auto size.
#pragma once

#include <string>
#include <vector>

#include "widgets/buttons/KelGlowButtonAppearance.h"
#include "widgets/buttons/KelGlowButtonTypes.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel::glow {

using TRect = kel::TIntRect;

struct TColorInputs {
    TVisualState State = vsUp;
    bool Enabled = true;
    bool ShowDisabled = true;
    TKelButtonStyle Style = bsButton;
    int GroupIndex = 0;
    bool FadeRunning = false;
    bool MouseInFlag = false;
    bool MouseOver = false;
    bool Pressed = false;
    bool Transparent = false;
    int HotLevel = 0;
    int DownLevel = 0;
    TButtonPosition Position = bpStandalone;
    bool LeftDown = false;
    bool Focused = false;
    TFocusType FocusType = ftBorder;
};

struct TColorChoice {
    TGlowColorSet Set;
    bool Highlighted = false;
};

// The colour set a paint draws with (its steps 4, 5 and 9 to 11).
TColorChoice ChooseColors(const TGlowButtonAppearance& a, const TColorInputs& in);

// One half of the face, filled by FillGradientHalf.
struct THalfFill {
    TRect Rect;
    fw::TColor First = 0, Second = 0;
    TGDIPGradient Kind = ggVertical;
    bool Upper = true;
    friend bool operator==(const THalfFill&, const THalfFill&) = default;
};

// Drop-down part D and content rectangle K of a client rectangle.
TRect DropDownRect(const TRect& r, TDropDownPosition pos);
TRect ContentRect(const TRect& r, bool dropDownButton, TDropDownPosition pos);

// The face halves in drawing order (split drawing when the drop-down part
// is separate and the button is highlighted).
std::vector<THalfFill> FaceFills(const TRect& r, const TGlowColorSet& c, bool dropDownButton, bool highlighted,
                                 bool dropDownSplit, TDropDownPosition pos, int dropDownState);

// The caption with each "\n" (any case) turned into a line break, or into a
// blank when the picture has a forced size.
std::wstring ExpandLineBreaks(const std::wstring& caption, bool forcedPictureSize);

// Image size (P, Q) after the spacing that a caption adds.
struct TImageSize {
    int P = 0, Q = 0;
};
TImageSize SpacedImageSize(TImageSize image, bool hasCaption, TButtonLayout layout, int spacing);

// Content size of a measuring pass.
struct TSize {
    int Width = 0, Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};
struct TTextMetrics {
    double TextWidth = 0, TextHeight = 0, NotesWidth = 0, NotesHeight = 0;
};
TSize MeasuredSizeGP(TButtonLayout layout, const TTextMetrics& m, TImageSize img, int spacing);
TSize MeasuredSizeGDI(TButtonLayout layout, const TTextMetrics& m, TImageSize img, int spacing);

// The button's size from a measured content size (AutoSize).
TSize AutoSizeFor(TSize content, int spacing, int marginHorz, int marginVert, bool dropDownButton,
                  TDropDownPosition pos);

// Placement of the text rectangle and the image (step 14 of DrawButton).
struct TPlacement {
    double X = 0, Y = 0, Width = 0, Height = 0;
    int X0 = 0, Y0 = 0;
};
struct TPlacementInputs {
    TButtonLayout Layout = blGlyphLeft;
    bool Gdi = false;
    bool WordWrap = true;
    TRect K;
    TImageSize Img;
    double TextWidth = 0, TextHeight = 0;
    // GDI+: the measured text box's left; GDI: the text x of the measuring.
    double TextLeft = 0;
    int GdiTextX = 0;
    int Spacing = 2;
};
TPlacement PlaceContent(const TPlacementInputs& in);

// Top-left of a w by h image centred in K.
TSize CentreIn(const TRect& k, int w, int h);

// The point the drop-down arrow is drawn at.
struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};
TPoint ArrowPoint(const TRect& d, TDropDownPosition pos, bool hasCaption, int textReferenceLine);

// The arrow's pixels: the colour ones, then the highlight ones.
struct TArrowPixels {
    std::vector<TPoint> Ink, Highlight;
};
TArrowPixels DropDownArrowPixels(TPoint at, bool pointingDown);

// Corner pixels repainted from the parent after a rounded paint.
std::vector<TPoint> CornerPixels(int width, int height, TButtonPosition pos);

}  // namespace kel::glow
