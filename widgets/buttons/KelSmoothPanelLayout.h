// The smooth panel's geometry and presets, free of the platform: where the
// caption and the HTML block go, the caption's separator line, the room the
// fill's picture takes and the colours of the style presets.
#pragma once

#include "framework/core/colors.h"
#include "widgets/drawing/GDIPFillGeometry.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel {

enum TKelSmoothPanelLocation {
    plTopLeft,
    plTopCenter,
    plTopRight,
    plCenterLeft,
    plCenterCenter,
    plCenterRight,
    plBottomLeft,
    plBottomCenter,
    plBottomRight,
    plCustom
};

enum TKelSmoothPanelTextRenderingHint { tAntiAlias, tAntiAliasGridFit, tClearType };

namespace panel {

// GDI+'s text rendering hint for the caption setting.
int TextRenderingHintOf(TKelSmoothPanelTextRenderingHint hint);

bool IsBottomLocation(TKelSmoothPanelLocation location);

// A w by h block placed in r; plCustom leaves x and y as they are.
void PlaceByLocation(int& x, int& y, const TGPFloatRect& r, int w, int h, TKelSmoothPanelLocation location);

// The caption's area within the fill's rect: moved right of (or narrowed
// before) a fill picture on the caption's side. Inset is the picture width
// the measuring keeps clear of.
struct TCaptionArea {
    TGPFloatRect Rect;
    int Inset = 0;
};
TCaptionArea CaptionArea(const TGPFloatRect& fillRect, bool hasPicture, int pictureWidth,
                         TFillPicturePosition picturePosition, TKelSmoothPanelLocation location);

// The separator line under (or, for bottom locations, over) the caption.
struct TCaptionLine {
    int X1 = 0;
    int X2 = 0;
    float Y = 0;
};
TCaptionLine CaptionLine(const TGPFloatRect& captionArea, float y, float measuredHeight,
                         TKelSmoothPanelLocation location);

// What the HTML block's placement depends on.
struct THtmlBlockInput {
    int Width = 0;               // panel
    int BorderWidth = 0;         // the fill's
    int ShadowSpace = 0;         // 0 without a shadow colour, else the shadow offset
    int CaptionHeight = 0;       // rounded measured caption height; 0 without a caption
    int Left = 0;                // HTMLLeft
    int Top = 0;                 // HTMLTop
    TKelSmoothPanelLocation Location = plCenterCenter;
    int Available() const { return Width - ShadowSpace - 2 * BorderWidth; }
};
// The rect the measuring pass lays the text out in (bottom 10000).
TIntRect HtmlMeasureRect(const THtmlBlockInput& in);
// The rect the text is drawn (and hit-tested) in, from the fill's rect and
// the measured text size.
TIntRect HtmlDrawRect(const THtmlBlockInput& in, TGPFloatRect fillRect, int textWidth, int textHeight);

// The colours one style preset sets; Known is false for 8 and numbers
// outside 0..15, which set nothing but the always-reset fill kind and glow.
struct TSmoothPanelPreset {
    bool Known = false;
    fw::TColor CaptionStart = fw::clBlack;
    fw::TColor CaptionEnd = fw::clBlack;
    fw::TColor Line = fw::clBlack;
    fw::TColor Color = fw::clNone;
    fw::TColor ColorTo = fw::clNone;
    fw::TColor Mirror = fw::clNone;
    fw::TColor MirrorTo = fw::clNone;
    fw::TColor Border = fw::clNone;
    bool MirrorVertical = false;  // GradientMirrorType gtVertical
    bool GlowRadial = false;      // Glow gmRadial
};
TSmoothPanelPreset SmoothPanelPreset(int style);

}  // namespace panel
}  // namespace kel
