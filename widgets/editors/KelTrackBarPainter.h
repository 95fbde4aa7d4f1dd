// The trackbar's drawing helpers (GDI gradient bands, bevel frame, rounded
// paths, the glossy two-half fill) and the thumb painter, drawn from a
// state struct. Windows only.
#pragma once

#include <memory>

#include "framework/gui/graphics.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/editors/KelTrackBarGroups.h"
#include "widgets/editors/KelTrackBarLayout.h"
#include "widgets/editors/KelTrackBarShapes.h"

namespace kel::trackbar {

// Solid bands from `from` to `to`; the band size is measured on a span one
// pixel shorter than the rectangle.
void DrawTrackGradientBands(fw::TCanvas& canvas, fw::TColor from, fw::TColor to, bool horizontal, const TRect& r,
                            int steps);
// Without a second colour the first fills alone; without a first nothing
// is filled.
void DrawTrackGradient(fw::TCanvas& canvas, fw::TColor c1, fw::TColor c2, TGradientDirection direction,
                       const TRect& r, int steps);
void DrawBevelFrame(fw::TCanvas& canvas, const TRect& r, bool flag, fw::TColor c1, fw::TColor c2);
std::unique_ptr<TGPGraphicsPath> BuildRoundRectPath(int x, int y, int w, int h, int radius);
void DrawRoundRectPath(TGPGraphics* graphics, int x, int y, int w, int h, int radius, fw::TColor color);
void FillGlossHalf(TGPGraphics& graphics, const TRect& r, fw::TColor c1, fw::TColor c2, TGDIPGradient kind,
                   bool upper);
// Shape 0 is round, 1 rectangular.
void DrawGlossBorder(TGPGraphics& graphics, const TRect& r, int shape, fw::TColor outer, fw::TColor inner,
                     bool vertical);
void DrawGlossShape(TGPGraphics& graphics, const TRect& r, int shape, fw::TColor outer, fw::TColor inner,
                    const TGlossColors& colors, TGDIPGradient gradient, TGDIPGradient gradientMirror, bool vertical);

// Clips the canvas to a region (none: no change) while the guard lives.
class CanvasClip {
public:
    CanvasClip(HDC dc, HRGN region) : dc_(dc), saved_(SaveDC(dc)) {
        if (region) ExtSelectClipRgn(dc, region, RGN_AND);
    }
    ~CanvasClip() { RestoreDC(dc_, saved_); }
    CanvasClip(const CanvasClip&) = delete;
    CanvasClip& operator=(const CanvasClip&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Polylines in the highlight or the border colour; clNone draws nothing.
void DrawStrokes(fw::TCanvas& canvas, const std::vector<TStroke>& strokes, fw::TColor highlight, fw::TColor border);

// What a thumb without a picture is drawn from.
struct TThumbPaint {
    TThumbShape Shape = tsPointer;
    TTickMark Tick = tmBottomRight;
    bool Vertical = false;
    TGlossColors Colors{};
    TGDIPGradient Gradient = ggVertical;
    TGDIPGradient GradientMirror = ggRadial;
    int Steps = 64;
    int Size = 15;
};

void PaintThumbShape(fw::TCanvas& canvas, const TRect& r, const TThumbPaint& paint);

}  // namespace kel::trackbar
